// Step 14: FILEINFO/FileFuncInfo.txt from the per-file information files.
#pragma once

#include "run/step_result.h"

namespace vandrel {

// Creates the list with its header line, before the step's START line.
void CreateFunctionInfoList();
StepResult WriteFunctionInfoList();

}  // namespace vandrel
