#include "analysis/control_spec.h"

namespace vandrel {

void WordAlsFuncltion_Als3(std::string path, std::string name) {}

}  // namespace vandrel
