// Local time formatting.
#pragma once

#include <ctime>
#include <string>

namespace vandrel {

// strftime over the local time now; the format may hold CP932 text.
std::string FormatLocalTime(const std::string& format);
// strftime over a given broken-down time.
std::string FormatTime(const std::string& format, const std::tm& time);

}  // namespace vandrel
