// Fixed texts of the reader, held as CP932.
#pragma once

#include <string>

#include "platform/cp932.h"

namespace vandrel {

// A lead byte without a valid trail byte.
inline const std::string kMsgBrokenDoubleByte = ToCp932("失敗!");

}  // namespace vandrel
