#include "reports/variable_command.h"

namespace vandrel {

bool OnButton8(const QueryRequest& request) { return false; }

}  // namespace vandrel
