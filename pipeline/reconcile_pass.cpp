#include "pipeline/reconcile_pass.h"

namespace vandrel {

StepResult ReconcileAcrossFiles() { return StepResult::Done; }

}  // namespace vandrel
