#include "pipeline/report_trees.h"

namespace vandrel {

StepResult WriteReportTrees() { return StepResult::Done; }

}  // namespace vandrel
