#include "analysis/function_body.h"

namespace vandrel {

// Placeholder until the statement machine is written: reads past the body.
int AnalyzeFunctionBody(TextFile& source, std::vector<std::string>& headTokens, LineBuffer& line,
                        std::string sourcePath, WalkState state) {
  return 1;
}

}  // namespace vandrel
