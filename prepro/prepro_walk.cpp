#include "prepro/prepro_walk.h"

namespace vandrel {

int PreprocessTree(const std::string& mask, const std::string& folder) { return 0; }

}  // namespace vandrel
