/* 共通定義ヘッダ */
#ifndef COMMON_H
#define COMMON_H

typedef unsigned char  u1;
typedef unsigned short u2;
typedef unsigned long  u4;
typedef signed short   s2;

/* 動作モード */
typedef enum {
    MODE_STOP = 0,
    MODE_RUN,
    MODE_ERROR
} MODE_T;

/* モータ状態 */
typedef struct {
    u2 speed;       /* 現在速度 */
    u2 target;      /* 目標速度 */
    MODE_T mode;    /* 動作モード */
} MOTOR_STATE;

#define TRUE        (1)
#define FALSE       (0)
#define MAX_SPEED   (1000)
#define HALF_SPEED  (MAX_SPEED / 2)
#define SENSOR_CH   (4)
#define LIMIT(v, lo, hi)  (((v) < (lo)) ? (lo) : (((v) > (hi)) ? (hi) : (v)))

extern u1 g_errorCount;
extern MODE_T g_systemMode;

#endif
