#include "pipeline/caller_pass.h"

namespace vandrel {

StepResult AppendCallerLists() { return StepResult::Done; }

}  // namespace vandrel
