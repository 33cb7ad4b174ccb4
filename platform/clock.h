// Local time formatting.
#pragma once

#include <string>

namespace vandrel {

// strftime over the local time now; the format may hold CP932 text.
std::string FormatLocalTime(const std::string& format);

}  // namespace vandrel
