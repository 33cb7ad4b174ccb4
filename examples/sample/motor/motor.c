/*
 * モータ制御モジュール
 * 目標速度に向けて現在速度を少しずつ変える。
 */
#include "motor.h"
#include "config.h"

MOTOR_STATE g_motor;            /* モータ状態 */
static u2 s_step = 10;          /* 加減速の刻み */
u2 g_pwmDuty;                   /* PWM デューティ */

static u2 Motor_Clamp(u2 value)
{
    return LIMIT(value, 0, MAX_SPEED);
}

void Motor_Init(void)
{
    g_motor.speed = 0;
    g_motor.target = 0;
    g_motor.mode = MODE_STOP;
    g_pwmDuty = 0;
}

void Motor_SetTarget(u2 target)
{
    g_motor.target = Motor_Clamp(target);
    if (g_motor.target == 0) {
        g_motor.mode = MODE_STOP;
    } else {
        g_motor.mode = MODE_RUN;
    }
}

void Motor_Control(void)
{
    u2 diff;

    if (g_systemMode == MODE_ERROR) {
        g_motor.speed = 0;
        return;
    }
    if (g_motor.speed < g_motor.target) {
        diff = g_motor.target - g_motor.speed;
        if (diff > s_step) {
            g_motor.speed = g_motor.speed + s_step;
        } else {
            g_motor.speed = g_motor.target;
        }
    } else if (g_motor.speed > g_motor.target) {
        g_motor.speed = g_motor.speed - s_step;
    }
    g_pwmDuty = (g_motor.speed * PWM_PERIOD) / MAX_SPEED;
}

u2 Motor_GetSpeed(void)
{
    return g_motor.speed;
}
