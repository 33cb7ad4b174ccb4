// Number reading and writing of the C runtime in the "C" locale, whatever
// the process locale is; long is 32 bits wide, so strtol saturates there.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vandrel {

// strtol: blanks, a sign, digits of the base (0: "0x" hexadecimal, "0" octal,
// else decimal; 16: an optional "0x"); saturates at the 32-bit limits.
int32_t CStrtol(std::string_view text, int base);
inline int32_t CAtoi(std::string_view text) { return CStrtol(text, 10); }
double CAtof(std::string_view text);
// "%.10f" and "%d".
std::string FormatFixed10(double value);
inline std::string FormatInt(long long value) { return std::to_string(value); }

}  // namespace vandrel
