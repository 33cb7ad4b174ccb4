// The control specification of one function: SOURCE/<f> -> SOURCE3/<f>.
#pragma once

#include <string>

namespace vandrel {

void WordAlsFuncltion_Als3(std::string path, std::string name);

}  // namespace vandrel
