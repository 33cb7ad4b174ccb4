// Step 8: func_als3 -> FunctionList4, the final per-function records.
#pragma once

#include "run/step_result.h"

namespace vandrel {

StepResult WriteFinalRecords();

}  // namespace vandrel
