// Step 10: the written-variable list ValList2.txt.
#pragma once

#include "pipeline/step_result.h"

namespace vandrel {

StepResult WriteWrittenVariableList();

}  // namespace vandrel
