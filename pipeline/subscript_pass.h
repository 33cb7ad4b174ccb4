// Step 5: func_als -> func_als1_5, subscript references listed on their own.
#pragma once

#include "run/step_result.h"

namespace vandrel {

StepResult ExpandSubscriptReferences();

}  // namespace vandrel
