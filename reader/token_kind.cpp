#include "reader/token_kind.h"

namespace vandrel {

// Placeholder until the classifiers are written.
int ClassifyToken(std::string_view token) { return token.empty() ? kKindEmpty : kKindOther; }
int ClassifyTokenNoArrow(std::string_view token) { return ClassifyToken(token); }

}  // namespace vandrel
