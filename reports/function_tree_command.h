// The call tree of one chosen function, from the last run's records.
#pragma once

#include "reports/query_request.h"

namespace vandrel {

// True when the command ran to its end.
bool OnButton7(const QueryRequest& request);

}  // namespace vandrel
