#include "pipeline/final_records_pass.h"

namespace vandrel {

StepResult WriteFinalRecords() { return StepResult::Done; }

}  // namespace vandrel
