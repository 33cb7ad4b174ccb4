/* メイン処理：初期化して周期処理を回す */
#include "common.h"
#include "config.h"
#include "motor.h"
#include "sensor.h"

u1 g_errorCount;                /* 異常回数 */
MODE_T g_systemMode;            /* システムモード */
const char *g_boardName = BOARD_NAME;

static void System_Check(void)
{
    u2 speed;

    speed = Motor_GetSpeed();
    if (speed > MAX_SPEED) {
        g_errorCount++;
        g_systemMode = MODE_ERROR;
    }
    switch (g_systemMode) {
    case MODE_STOP:
        Motor_SetTarget(0);
        break;
    case MODE_RUN:
        Motor_SetTarget(Sensor_Average());
        break;
    default:
        break;
    }
}

void System_Cycle(void)
{
    Sensor_Read();
    Motor_Control();
    System_Check();
}

int main(void)
{
    int count;

    Motor_Init();
    Sensor_Init();
    g_systemMode = MODE_RUN;
    for (count = 0; count < 100; count++) {
        System_Cycle();
    }
    return 0;
}
