// Step 9: the caller section of every final record.
#pragma once

#include "run/step_result.h"

namespace vandrel {

StepResult AppendCallerLists();

}  // namespace vandrel
