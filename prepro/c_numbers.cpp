#include "prepro/c_numbers.h"

#include <charconv>
#include <cstdlib>
#include <locale.h>

namespace vandrel {
namespace {

bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

locale_t CLocale() {
  static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return loc;
}

}  // namespace

int32_t CStrtol(std::string_view s, int base) {
  size_t i = 0;
  while (i < s.size() && IsCSpace(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  bool hexPrefix = i + 2 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X') &&
                   DigitValue(s[i + 2]) < 16;
  if (base == 0) {
    base = hexPrefix ? 16 : (i < s.size() && s[i] == '0') ? 8 : 10;
  }
  if (base == 16 && hexPrefix) i += 2;
  long long value = 0;
  const long long limit = negative ? -static_cast<long long>(INT32_MIN) : INT32_MAX;
  for (; i < s.size() && DigitValue(s[i]) < base; ++i) {
    value = value * base + DigitValue(s[i]);
    if (value > limit) value = limit;
  }
  return static_cast<int32_t>(negative ? -value : value);
}

double CAtof(std::string_view s) {
  std::string text(s);
  return strtod_l(text.c_str(), nullptr, CLocale());
}

std::string FormatFixed10(double value) {
  char buf[400];
  auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 10);
  return std::string(buf, r.ptr);
}

}  // namespace vandrel
