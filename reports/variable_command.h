// The accesses of one chosen variable, from the last run's records.
#pragma once

#include "reports/query_request.h"

namespace vandrel {

// True when the command ran to its end.
bool OnButton8(const QueryRequest& request);

}  // namespace vandrel
