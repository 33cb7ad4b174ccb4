// Step 6: func_als1_5 -> func_als2, read, written and called names listed once.
#pragma once

#include "pipeline/step_result.h"

namespace vandrel {

StepResult RemoveDuplicateEntries();

}  // namespace vandrel
