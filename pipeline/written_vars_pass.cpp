#include "pipeline/written_vars_pass.h"

namespace vandrel {

StepResult WriteWrittenVariableList() { return StepResult::Done; }

}  // namespace vandrel
