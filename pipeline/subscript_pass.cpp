#include "pipeline/subscript_pass.h"

namespace vandrel {

StepResult ExpandSubscriptReferences() { return StepResult::Done; }

}  // namespace vandrel
