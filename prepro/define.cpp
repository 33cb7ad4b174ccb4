#include "prepro/define.h"

#include "prepro/arithmetic.h"
#include "prepro/define_table.h"
#include "prepro/source_line.h"
#include "prepro/texts.h"
#include "reader/token_kind.h"
#include "run/analysis_log.h"

namespace vandrel {
namespace {

bool IsNumberKind(int kind) { return kind == kKindDecimal || kind == kKindHex; }

// Reads the name and value tokens of a definition up to the blank token,
// following continuation lines (which are written to `out`). False when the
// array was too small; the rest of the definition is still read and written.
bool ReadDefineTokens(LineBuffer& line, TextFile& in, TextFile& out, const std::string& logText,
                      TokenArray& array) {
  bool fits = true;
  std::string next;
  for (bool first = true;; first = false) {
    std::string token = NextRawToken(line);
    if (!first) {
      if (token == "\\") {
        if (ReadSourceLine(in, next)) {
          WriteSourceText(out, next);
          line.Assign(next);
        } else {
          AppendPreproLog(g_preproFileTitle, logText);
          WriteSourceText(out, line.Rest());
        }
        continue;
      }
      size_t open = token.find("/*");
      if (open != std::string::npos && token.find("*/", open + 2) != std::string::npos) continue;
    }
    bool blank = IsBlankToken(token) == 1;
    if (fits && !array.Push(std::move(token))) {
      fits = false;
      AppendPreproLog(LogKind{kLogTokenArrayOver}, g_preproFileTitle, kLogTokenArrayOver + logText);
    }
    if (blank) return fits;
  }
}

// The name pass: known names replaced by their values, "U" and "UL" after
// numbers dropped. True when every word was resolved.
bool ResolveNames(std::vector<std::string>& t) {
  bool resolved = true;
  for (size_t i = 1; i < t.size() && !IsBlankToken(t[i]); ++i) {
    int kind = ClassifyToken(t[i]);
    if (kind == kKindOther) {
      std::string text;
      int code = LookupDefine(t[i], text);
      if (code == kLookupNumber || code == kLookupWord) t[i] = text;
      if (code == kLookupWord || code == kLookupNone) resolved = false;
    } else if (IsNumberKind(kind) && i + 1 < t.size() && (t[i + 1] == "U" || t[i + 1] == "UL")) {
      t.erase(t.begin() + static_cast<long>(i) + 1);
    }
  }
  return resolved;
}

// Values do not grow past this through back-substitution: a name defined
// again and again with a value that mentions it several times would
// otherwise multiply the earlier values.
constexpr size_t kMaxSubstitutedValue = 65536;

// A name given one value token rewrites the earlier values that mention it.
void BackSubstitute(const std::string& name, const std::string& valueToken) {
  for (int pos : ValuesMentioning(name)) {
    std::string replaced = MbReplaceAll(g_defineValueList[pos], name, valueToken);
    if (replaced.size() > kMaxSubstitutedValue) {
      AppendPreproLog(LogKind{kLogValueTooLong}, g_preproFileTitle, kLogValueTooLong + g_defineNameList[pos] + "\n");
      continue;
    }
    std::string evaluated;
    EvaluateArithmetic(evaluated, replaced);
    SetDefineValue(pos, std::move(evaluated));
  }
}

}  // namespace

int LookupDefine(std::string name, std::string& out) {
  for (int pos : DefinePositions(name)) {
    LineBuffer value(g_defineValueList[pos]);
    std::string token = NextRawToken(value);
    if (IsBlankToken(token)) {
      out.clear();
      return kLookupEmpty;
    }
    int kind = ClassifyToken(token);
    if (IsNumberKind(kind)) {
      out = token;
      return kLookupNumber;
    }
    if (kind == kKindOther) {
      out = token;
      return kLookupWord;
    }
    if (token == "*") {
      std::string number = NextRawToken(value);
      if (IsNumberKind(ClassifyToken(number))) {
        out = "*" + number;
        return kLookupNumber;
      }
    }
  }
  return kLookupNone;
}

void ProcessDefine(LineBuffer& line, TextFile& in, TextFile& out, const std::string& rawLine) {
  WriteSourceText(out, rawLine);
  const std::string logText(line.Rest());
  TokenArray array(static_cast<size_t>(TokenArrayCapacity()));
  if (!ReadDefineTokens(line, in, out, logText, array)) return;
  std::vector<std::string>& t = array.Tokens();
  if (IsBlankToken(t[0])) return;  // "#define" without a name defines nothing

  const bool resolved = ResolveNames(t);
  size_t count = 0;
  while (count < t.size() && !IsBlankToken(t[count])) ++count;
  if (resolved && count >= 3) {
    ReduceConstantTokens(t, &logText);
    count = 0;
    while (count < t.size() && !IsBlankToken(t[count])) ++count;
  }
  if (count == 2) BackSubstitute(t[0], t[1]);

  std::string value = "\t";
  for (size_t i = 1; i < count; ++i) {
    value += t[i];
    value += '\t';
  }
  std::erase(value, '\n');
  AppendDefine(t[0], std::move(value));
}

}  // namespace vandrel
