#include "pipeline/access_list_pass.h"

namespace vandrel {

StepResult WriteAccessLists() { return StepResult::Done; }

}  // namespace vandrel
