// Step 7: func_als2 -> func_als3, reconciliation across files.
#pragma once

#include "run/step_result.h"

namespace vandrel {

StepResult ReconcileAcrossFiles();

}  // namespace vandrel
