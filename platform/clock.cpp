#include "platform/clock.h"

#include <ctime>

namespace vandrel {

std::string FormatLocalTime(const std::string& format) {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  return FormatTime(format, tm);
}

std::string FormatTime(const std::string& format, const std::tm& time) {
  char buf[512];
  size_t n = std::strftime(buf, sizeof buf, format.c_str(), &time);
  return std::string(buf, n);
}

}  // namespace vandrel
