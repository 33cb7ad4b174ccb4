// Number reading and writing as the C runtime of a 32-bit Windows program
// does it, in the "C" locale whatever the process locale is: long is 32 bits
// and saturates, atof reads decimal text only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vandrel {

// strtol: blanks, a sign, digits of the base (0: "0x" hexadecimal, "0" octal,
// else decimal; 16: an optional "0x"); saturates at the 32-bit limits.
int32_t CStrtol(std::string_view text, int base);
inline int32_t CAtoi(std::string_view text) { return CStrtol(text, 10); }
// atof: blanks, a sign, a decimal number with fraction and exponent.
double CAtof(std::string_view text);
// "%.10f" and "%d".
std::string FormatFixed10(double value);
inline std::string FormatInt(long long value) { return std::to_string(value); }

}  // namespace vandrel
