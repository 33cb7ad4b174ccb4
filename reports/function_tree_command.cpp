#include "reports/function_tree_command.h"

namespace vandrel {

bool OnButton7(const QueryRequest& request) { return false; }

}  // namespace vandrel
