#include "pipeline/dedup_pass.h"

namespace vandrel {

StepResult RemoveDuplicateEntries() { return StepResult::Done; }

}  // namespace vandrel
