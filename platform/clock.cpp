#include "platform/clock.h"

#include <ctime>

namespace vandrel {

std::string FormatLocalTime(const std::string& format) {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  char buf[256];
  size_t n = std::strftime(buf, sizeof buf, format.c_str(), &tm);
  return std::string(buf, n);
}

}  // namespace vandrel
