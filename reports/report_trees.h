// Step 13, second half: call trees of the root functions and the variable pages.
#pragma once

#include "run/step_result.h"

namespace vandrel {

StepResult WriteReportTrees();

}  // namespace vandrel
