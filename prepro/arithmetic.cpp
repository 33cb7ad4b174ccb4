#include "prepro/arithmetic.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>

#include "prepro/c_numbers.h"
#include "prepro/define_table.h"
#include "prepro/source_line.h"
#include "prepro/texts.h"
#include "reader/lexer.h"
#include "reader/token_kind.h"
#include "reader/vocabulary.h"
#include "run/analysis_log.h"

namespace vandrel {
namespace {

constexpr int kStandStillLimit = 10;
constexpr int kStepLimit = 65536;

bool IsNumber(const std::string& t) {
  int k = ClassifyToken(t);
  return k == kKindDecimal || k == kKindHex;
}

double OperandValue(const std::string& t) {
  return ClassifyToken(t) == kKindHex ? CStrtol(t, 0) : CAtof(t);
}

// Truncation toward zero to 64 bits; what does not fit gives the
// processor's "integer indefinite" (the top bit alone).
uint32_t Low32(double d) {
  if (!(d > -9223372036854775808.0 && d < 9223372036854775808.0)) return 0;
  return static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(d)));
}

bool IsOneOf(const std::string& t, std::initializer_list<const char*> ops) {
  return std::any_of(ops.begin(), ops.end(), [&](const char* op) { return t == op; });
}

// One operator pass over the group [start, close): the operator after m,
// its operands at m and m + 2, both inside the group.
void OperatorPass(std::vector<std::string>& t, size_t start, size_t& close,
                  std::initializer_list<const char*> ops, bool numbersOnly) {
  for (size_t m = start; m + 2 < close; ++m) {
    if (!IsOneOf(t[m + 1], ops)) continue;
    if (numbersOnly && !(IsNumber(t[m]) && IsNumber(t[m + 2]))) continue;
    t[m] = FormatFixed10(ApplyArithmeticOperator(t[m], t[m + 2], t[m + 1]));
    EraseTokens(t, m + 1, m + 3);
    close -= 2;
  }
}

// Applies the rule for the group that ends at the ")" at p; returns false
// when the scan ends there, else sets p to where it goes on.
bool ReduceGroup(std::vector<std::string>& t, size_t& p) {
  size_t o = 0;
  for (size_t j = p - 1; j >= 1; --j) {
    if (t[j] == "(") {
      o = j;
      break;
    }
  }
  if (o == 0) {  // no "(" before it
    ++p;
    return true;
  }
  const size_t cnt = p - o - 1;
  if (cnt == 0 || std::all_of(t.begin() + static_cast<long>(o) + 1, t.begin() + static_cast<long>(p),
                              [](const std::string& s) { return s == "."; }))
    return false;

  std::string out;
  if (cnt == 1) {
    const std::string x = t[o + 1];
    if (ClassifyToken(x) == kKindTypeName) {
      if (IsNumber(t[p + 1])) {  // ( T ) number
        ApplyCast(x, t[p + 1], out);
        t[o] = out;
        EraseTokens(t, o + 1, p + 2);
        p = o + 1;
      } else if (t[p + 1] == "~" || t[p + 1] == "^") {
        EraseTokens(t, o, p + 1);
        p = o + 1;
      } else {
        ++p;
      }
    } else if (o >= 4 && t[o - 1] == ")" && ClassifyToken(t[o - 2]) == kKindTypeName) {
      ApplyCast(t[o - 2], x, out);  // ( T ) ( X )
      t[o - 3] = out;
      EraseTokens(t, o - 2, p + 1);
      p = o - 2;
    } else {
      t[o] = x;
      EraseTokens(t, o + 1, p + 1);
      p = o + 1;
    }
    return true;
  }
  if (cnt == 2) {
    const std::string& a = t[o + 1];
    const std::string& b = t[o + 2];
    if (b == "*" && ClassifyToken(a) == kKindTypeName) {  // pointer cast
      EraseTokens(t, o, p + 1);
      p = o + 1;
    } else if (a == "*" && IsNumber(b)) {
      EraseTokens(t, p, p + 1);
      EraseTokens(t, o, o + 1);
      p = o + 1;
    } else if (a == "~" && IsNumber(b)) {
      t[o] = FormatInt(~CStrtol(b, 16));
      EraseTokens(t, o + 1, p + 1);
      return false;
    } else {
      ++p;
    }
    return true;
  }
  int first = ClassifyToken(t[o + 1]);
  if (first == kKindTypeName || first == kKindQualifier) {  // (unsigned short int) ...
    EraseTokens(t, o, p + 1);
    p = o + 1;
    return true;
  }
  size_t close = p;
  OperatorPass(t, o + 1, close, {"*", "/"}, false);
  OperatorPass(t, o, close, {"+", "-", "|", "&"}, false);
  OperatorPass(t, o, close, {"<<", ">>"}, true);
  p = close;
  return true;
}

}  // namespace

double ApplyArithmeticOperator(std::string left, std::string right, std::string op) {
  const double l = OperandValue(left);
  const double r = OperandValue(right);
  if (op == "+") return l + r;
  if (op == "-") return l - r;
  if (op == "*") return l * r;
  if (op == "/") return l / r;
  uint32_t result;
  if (op == "|") {
    result = Low32(l) | Low32(r);
  } else if (op == "&") {
    result = Low32(l) & Low32(r);
  } else if (op == "<<") {
    result = Low32(l) << (Low32(r) & 31);
  } else if (op == ">>") {
    result = Low32(l) >> (Low32(r) & 31);
  } else {
    return 0.0;
  }
  return static_cast<double>(result);
}

int ApplyCast(std::string type, std::string value, std::string& out) {
  bool keyword = false;
  for (const std::string& k : g_castKeywordTable) {
    if (k == kNameSentinel) break;
    if (k == type) {
      keyword = true;
      break;
    }
  }
  if (ClassifyToken(value) == kKindHex) value = FormatInt(CStrtol(value, 0));
  out = keyword ? FormatInt(CAtoi(value)) : FormatFixed10(CAtof(value));
  return keyword ? 1 : 0;
}

void ReduceConstantTokens(std::vector<std::string>& t, const std::string* standStillLog) {
  size_t p = 1;
  size_t previous = 0;
  int standStill = 0;
  for (int steps = 0; p < t.size() && !IsBlankToken(t[p]); ++steps) {
    if (steps == kStepLimit) {
      if (standStillLog) AppendPreproLog(g_preproFileTitle, *standStillLog);
      return;
    }
    if (p == previous) {
      if (standStill == kStandStillLimit) {
        if (standStillLog) AppendPreproLog(g_preproFileTitle, *standStillLog);
        standStill = 0;
        ++p;
        continue;
      }
      ++standStill;
    }
    previous = p;
    if (t[p] != ")") {
      ++p;
    } else if (!ReduceGroup(t, p)) {
      return;
    }
  }
}

std::string& EvaluateArithmetic(std::string& out, std::string value) {
  TokenArray array(static_cast<size_t>(TokenArrayCapacity()));
  std::vector<std::string>& t = array.Tokens();
  array.Push(std::string());  // entry 0 is not used
  LineBuffer line(value);
  for (;;) {
    std::string token = NextRawToken(line);
    bool blank = IsBlankToken(token) == 1;
    if (!array.Push(std::move(token))) {
      AppendPreproLog(LogKind{kLogTokenArrayOver}, g_preproFileTitle, kLogTokenArrayOver + value + "\n");
      return out = value;
    }
    if (blank) break;
  }
  for (size_t i = 2; i < t.size(); ++i) {
    if (ClassifyToken(t[i]) == kKindOther) return out = value;
  }
  ReduceConstantTokens(t, nullptr);
  out.clear();
  for (size_t i = 1; i < t.size(); ++i) {
    out += '\t';
    out += t[i];
    if (IsBlankToken(t[i])) break;
  }
  return out;
}

}  // namespace vandrel
