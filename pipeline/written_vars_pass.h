// Step 10: the written-variable list ValList2.txt.
#pragma once

#include "run/step_result.h"

namespace vandrel {

StepResult WriteWrittenVariableList();

}  // namespace vandrel
