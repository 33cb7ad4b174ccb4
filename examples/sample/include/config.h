/* ビルド構成 */
#ifndef CONFIG_H
#define CONFIG_H

#if BOARD_TYPE == 2
#define PWM_PERIOD  (200)
#define BOARD_NAME  "評価ボード"
#elif BOARD_TYPE == 1
#define PWM_PERIOD  (100)
#define BOARD_NAME  "量産ボード"
#else
#define PWM_PERIOD  (50)
#define BOARD_NAME  "不明"
#endif

#ifdef USE_SENSOR_FILTER
#define FILTER_SHIFT  (2)
#else
#define FILTER_SHIFT  (0)
#endif

#endif
