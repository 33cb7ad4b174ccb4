/* ÉÇÅ[É^êßå‰ */
#ifndef MOTOR_H
#define MOTOR_H

#include "common.h"

void Motor_Init(void);
void Motor_SetTarget(u2 target);
void Motor_Control(void);
u2 Motor_GetSpeed(void);

#endif
