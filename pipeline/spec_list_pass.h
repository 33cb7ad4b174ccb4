// Step 11: the control design of every SOURCE file.
#pragma once

#include "run/step_result.h"

namespace vandrel {

StepResult WriteControlSpecifications();

}  // namespace vandrel
