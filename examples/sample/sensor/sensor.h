/* ƒZƒ“ƒT“ü—Í */
#ifndef SENSOR_H
#define SENSOR_H

#include "common.h"

void Sensor_Init(void);
void Sensor_Read(void);
u2 Sensor_Average(void);

#endif
