#include "prepro/header_list.h"

namespace vandrel {

void BuildHeaderList(const std::string& mask, const std::string& folder) {  }

}  // namespace vandrel
