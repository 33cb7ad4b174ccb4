// Step 12: one access list per variable in RAM_ALL.
#pragma once

#include "run/step_result.h"

namespace vandrel {

StepResult WriteAccessLists();

}  // namespace vandrel
