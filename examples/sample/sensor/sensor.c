/* センサ入力モジュール：チャネルごとの値を平均する */
#include "sensor.h"
#include "config.h"

u2 g_sensorValue[SENSOR_CH];    /* チャネル別の値 */
u2 g_sensorAverage;             /* 平均値 */
static u1 s_channel;            /* 読み取り中のチャネル */

void Sensor_Init(void)
{
    int i;

    for (i = 0; i < SENSOR_CH; i++) {
        g_sensorValue[i] = 0;
    }
    s_channel = 0;
    g_sensorAverage = 0;
}

static u2 Sensor_ReadPort(u1 ch)
{
    /* ポート読み込み（ダミー） */
    return (u2)(ch * 100);
}

void Sensor_Read(void)
{
    g_sensorValue[s_channel] = Sensor_ReadPort(s_channel) >> FILTER_SHIFT;
    s_channel++;
    if (s_channel >= SENSOR_CH) {
        s_channel = 0;
        g_sensorAverage = Sensor_Average();
    }
}

u2 Sensor_Average(void)
{
    u4 sum;
    int i;

    sum = 0;
    for (i = 0; i < SENSOR_CH; i++) {
        sum = sum + g_sensorValue[i];
    }
    return (u2)(sum / SENSOR_CH);
}
