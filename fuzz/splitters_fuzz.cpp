// The line splitters over the input as one line: the parts of SplitAtTab,
// SplitPrototype and SplitCallText are cut from the line, ParseDeclaration
// makes nothing longer than it, and StripSubscripts only shortens and
// leaves its own result as it is.
#include "fuzz/fuzz_support.h"
#include "platform/cp932.h"
#include "reader/splitters.h"

namespace {

using namespace vandrel;
using fuzz::Check;

bool IsPrefix(std::string_view part, std::string_view line) { return line.starts_with(part); }
bool IsSuffix(std::string_view part, std::string_view line) { return line.ends_with(part); }
bool IsPiece(std::string_view part, std::string_view line) {
  return line.find(part) != std::string_view::npos;
}

void CheckPrototype(const std::string& line, const std::string& returnPart,
                    const std::string& name, const std::string& params) {
  Check(IsPrefix(returnPart, line), "return part", returnPart);
  Check(IsPiece(name, line), "name", name);
  Check(IsSuffix(params, line), "parameter part", params);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::InstallSilentHost();
  const std::string line(fuzz::AsText(data, size));

  std::string left, right;
  SplitAtTab(line, left, right);
  Check(left + right == line, "SplitAtTab parts", left);

  std::string returnPart, name, params;
  SplitPrototype(line, returnPart, name, params);
  CheckPrototype(line, returnPart, name, params);

  std::string first, callName, callParams = "untouched";
  SplitCallText(line, first, callName, callParams);
  if (MbContains(line, " (")) {
    CheckPrototype(line, first, callName, callParams);
  } else {
    Check(first == "NoDefine" && callParams == "untouched", "SplitCallText without \" (\"");
    Check(IsPrefix(callName, line), "SplitCallText name", callName);
  }

  std::string typePart, declName;
  ParseDeclaration(line, typePart, declName);
  Check(typePart.size() <= line.size() && declName.size() <= line.size(),
        "ParseDeclaration grew the line");

  std::string stripped = line;
  const int balanced = StripSubscripts(stripped);
  Check(balanced == 0 || balanced == 1, "StripSubscripts result");
  Check(stripped.size() <= line.size(), "StripSubscripts grew the line", stripped);
  if (line.find('[') == std::string::npos) Check(stripped == line, "nothing to strip", stripped);
  std::string again = stripped;
  Check(StripSubscripts(again) == balanced && again == stripped, "StripSubscripts twice", again);
  return 0;
}
