#include "prepro/condition.h"

#include <vector>

#include "platform/host.h"
#include "prepro/c_numbers.h"
#include "prepro/define.h"
#include "prepro/define_table.h"
#include "prepro/source_line.h"
#include "prepro/texts.h"
#include "reader/token_kind.h"
#include "run/analysis_log.h"
#include "run/texts.h"

namespace vandrel {
namespace {

// Entries of an #if condition before it fills again from entry 0.
constexpr size_t kIfConditionEntries = 1000;

template <typename T>
bool Compare(T l, T r, const std::string& op) {
  if (op == "==") return l == r;
  if (op == "!=") return l != r;
  if (op == "<") return l < r;
  if (op == "<=") return l <= r;
  if (op == ">") return l > r;
  if (op == ">=") return l >= r;
  if (op == "&&") return l != 0 && r != 0;
  if (op == "||") return l != 0 || r != 0;
  return false;
}

const char* Bit(bool b) { return b ? "1" : "0"; }

// Reads the tokens of a condition into an array, following continuation
// lines. The #if reader drops comments closed on the line and fills again
// from entry 0 at its fixed bound; the #elif reader refuses a condition
// longer than its array.
class ConditionReader {
 public:
  ConditionReader(LineBuffer& line, TextFile& in, bool ifReader)
      : line_(line),
        in_(in),
        ifReader_(ifReader),
        logText_(line.Rest()),
        capacity_(ifReader ? kIfConditionEntries : static_cast<size_t>(TokenArrayCapacity())) {}

  // The next token, stored; false after the blank token (also stored).
  bool Next(std::string& token) {
    for (;;) {
      token = NextRawToken(line_);
      if (token == "\\") {
        std::string next;
        if (ReadSourceLine(in_, next))
          line_.Assign(next);
        else if (!ifReader_)
          AppendPreproLog(g_preproFileTitle, logText_);
        continue;
      }
      if (ifReader_) {
        size_t open = token.find("/*");
        if (open != std::string::npos && token.find("*/") != std::string::npos) continue;
      }
      break;
    }
    if (entries_.size() >= capacity_) {
      if (ifReader_) {
        CurrentHost().MessageBox(kMsgIfTokenOver, kCaptionEnd, MessageButtons::Ok);
        AppendPreproLog(LogKind{kMsgIfTokenOver}, g_preproFileTitle, logText_);
        entries_.clear();
        ++generation_;
      } else if (!refused_) {
        refused_ = true;
        AppendPreproLog(LogKind{kLogTokenArrayOver}, g_preproFileTitle, kLogTokenArrayOver + logText_);
      }
    }
    if (!refused_) entries_.push_back(token);
    return !IsBlankToken(token);
  }

  std::vector<std::string>& Entries() { return entries_; }
  int Generation() const { return generation_; }
  // True while the entries read since `generation` are all still there.
  bool Holds(int generation) const { return !refused_ && generation == generation_; }
  bool Refused() const { return refused_; }
  // Drops the blank token that ended the reading.
  void DropEnd() {
    if (!entries_.empty() && IsBlankToken(entries_.back())) entries_.pop_back();
  }
  // Entry i becomes the result, the entries after it are free again.
  void Fold(size_t i, bool result) {
    entries_.resize(i + 1);
    entries_[i] = Bit(result);
  }

 private:
  LineBuffer& line_;
  TextFile& in_;
  bool ifReader_;
  std::string logText_;
  size_t capacity_;
  std::vector<std::string> entries_;
  int generation_ = 0;
  bool refused_ = false;
};

// Folds parentheses, "!" (for #if) and comparisons of decimal numbers in
// parentheses; the condition holds when entry 0 is then "1".
bool Reduce(std::vector<std::string>& t, bool withNot) {
  for (size_t p = 0; p < t.size(); ++p) {
    if (t[p] != ")") continue;
    if (p >= 2 && t[p - 2] == "(") {
      size_t r = p - 2;
      std::string x = t[p - 1];
      if (withNot && r >= 1 && t[r - 1] == "!") {
        --r;
        t[r] = Bit(x == "0");
      } else {
        t[r] = x;
      }
      EraseTokens(t, r + 1, p + 1);
      p = r;
      if (r >= 2 && (t[r - 1] == "&&" || t[r - 1] == "||") &&
          ClassifyToken(t[r - 2]) == kKindDecimal && ClassifyToken(t[r]) == kKindDecimal) {
        t[r - 2] = Bit(ApplyComparisonOperator(t[r - 2], t[r], t[r - 1]));
        EraseTokens(t, r - 1, r + 1);
        p = r - 2;
      }
    } else if (p >= 1 && ClassifyToken(t[p - 1]) == kKindDecimal) {
      size_t o = p;
      while (o > 0 && t[o - 1] != "(") --o;
      if (o == 0) continue;
      --o;
      for (size_t j = o + 1; j + 2 < p && ClassifyToken(t[j]) == kKindDecimal &&
                             ClassifyToken(t[j + 2]) == kKindDecimal;
           j += 2) {
        t[j + 2] = Bit(ApplyComparisonOperator(t[j], t[j + 2], t[j + 1]));
        t[j].clear();
        t[j + 1].clear();
      }
      t[o] = t[p - 1];
      EraseTokens(t, o + 1, p + 1);
      p = o;
    }
  }
  return !t.empty() && t[0] == "1";
}

// Reads a condition. #if: "defined" of a known name settles it at once (the
// rest of the line is not read), words take their values, a word and a
// comparison with a number or a word fold to "1" or "0". #elif: a lone word
// settles it at once (defined or not); a defined word compared with a number
// or with another defined word folds, their values compared.
bool ReadCondition(ConditionReader& reader, bool ifRules, int& decided) {
  std::vector<std::string>& t = reader.Entries();
  std::string token;
  bool more = reader.Next(token);
  while (more) {
    if (ifRules && token == "defined") {
      bool negated = t.size() >= 2 && t[t.size() - 2] == "!";
      while ((more = reader.Next(token)) && token == "(") {
      }
      if (!more) break;
      std::string text;
      if (LookupDefine(token, text) != kLookupNone) {
        decided = negated ? 0 : 1;
        return true;
      }
    }
    if (ClassifyToken(token) != kKindOther) {
      more = reader.Next(token);
      continue;
    }
    std::string text;
    const int code = LookupDefine(token, text);
    const size_t left = t.size() - 1;
    const int generation = reader.Generation();
    if (ifRules && (code == kLookupNumber || code == kLookupWord)) t[left] = text;
    std::string op;
    if (!(more = reader.Next(op))) {
      if (!ifRules && !reader.Refused()) {
        decided = code != kLookupNone ? 1 : 0;
        return true;
      }
      break;
    }
    const int opKind = ClassifyToken(op);
    if (opKind == kKindComparison || (!ifRules && opKind == kKindOperator)) {
      std::string right, rightText;
      if (!(more = reader.Next(right))) break;
      const int kind = ClassifyToken(right);
      const int rightCode = kind == kKindOther ? LookupDefine(right, rightText) : kLookupNone;
      if (reader.Holds(generation)) {
        if (ifRules) {
          if (rightCode == kLookupNumber) right = rightText;
          if (kind == kKindDecimal || kind == kKindOther)
            reader.Fold(left, ApplyComparisonOperator(t[left], right, op));
        } else if (code != kLookupNone) {
          if (kind == kKindDecimal && ClassifyToken(text) == kKindDecimal)
            reader.Fold(left, ApplyComparisonOperator(text, right, op));
          else if (kind == kKindOther && rightCode != kLookupNone)
            reader.Fold(left, ApplyComparisonOperator(text, rightText, op));
        }
      }
    }
    more = reader.Next(token);
  }
  return false;
}

// Reads and decides a condition with the #if rules or the #elif rules.
bool ConditionHolds(LineBuffer& line, TextFile& in, bool ifRules) {
  ConditionReader reader(line, in, ifRules);
  int decided = 0;
  if (ReadCondition(reader, ifRules, decided)) return decided == 1;
  if (reader.Refused()) return false;  // only the #elif reader refuses
  reader.DropEnd();
  return Reduce(reader.Entries(), ifRules);
}

}  // namespace

bool ApplyComparisonOperator(std::string left, std::string right, std::string op) {
  int kl = ClassifyToken(left);
  int kr = ClassifyToken(right);
  if (kl == kKindDecimal && kr == kKindDecimal) return Compare(CAtoi(left), CAtoi(right), op);
  if (kl == kKindHex && kr == kKindHex) return Compare(CStrtol(left, 0), CStrtol(right, 0), op);
  if (kl == kKindOther && kr == kKindOther) {
    if (op == "==") return left == right;
    if (op == "!=") return left != right;
    return op == "&&" || op == "||";
  }
  return false;
}

bool EvaluateCondition(LineBuffer& line, TextFile& in) { return ConditionHolds(line, in, false); }

int IfBlockActive(LineBuffer& line, TextFile& in, int enclosingActive) {
  return ConditionHolds(line, in, true) && enclosingActive == 1 ? 1 : 0;
}

void ProcessIfBlock(LineBuffer& line, PreproFile& file, int enclosingActive) {
  RunConditionalBlock(IfBlockActive(line, file.in, enclosingActive), enclosingActive, file, true);
}

}  // namespace vandrel
