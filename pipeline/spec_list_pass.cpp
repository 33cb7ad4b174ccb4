#include "pipeline/spec_list_pass.h"

namespace vandrel {

StepResult WriteControlSpecifications() { return StepResult::Done; }

}  // namespace vandrel
