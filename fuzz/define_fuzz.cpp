// #define processing: every line of the input is the rest of a "#define"
// line (a "\" reads the next line on), then every name is looked up and
// every stored value, and every input line as a value, goes through
// EvaluateArithmetic. The table grows by at most one entry a line, its two
// lists stay in step and every value begins with a TAB.
#include <fstream>

#include "fuzz/fuzz_support.h"
#include "platform/text_file.h"
#include "prepro/arithmetic.h"
#include "prepro/define.h"
#include "prepro/define_table.h"
#include "prepro/source_line.h"

namespace {

using namespace vandrel;
using fuzz::Check;

void CheckEvaluated(const std::string& value) {
  std::string out;
  EvaluateArithmetic(out, value);
  Check(out == value || (!out.empty() && out[0] == '\t'), "EvaluateArithmetic", out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::InstallSilentHost();
  fuzz::EnterEmptyScratchFolder();
  ClearDefineTable();
  g_preproFileTitle = "fuzz.c";
  std::ofstream("fuzz.c", std::ios::binary) << fuzz::AsText(data, size);

  TextFile in("fuzz.c", TextFile::Mode::Read);
  TextFile out("fuzz.out", TextFile::Mode::Truncate);
  std::string raw;
  LineBuffer line;
  std::vector<std::string> lines;
  while (ReadSourceLine(in, raw)) {
    lines.push_back(raw);
    line.Assign(raw);
    const size_t before = g_defineNameList.size();
    ProcessDefine(line, in, out, raw);
    Check(g_defineNameList.size() <= before + 1, "more than one definition from a line", raw);
  }
  Check(g_defineNameList.size() == g_defineValueList.size() &&
            g_defineCount == static_cast<int>(g_defineNameList.size()),
        "the table's lists are out of step");

  for (size_t i = 0; i < g_defineNameList.size(); ++i) {
    const std::string& value = g_defineValueList[i];
    Check(!value.empty() && value[0] == '\t', "a value without its TAB", value);
    std::string text;
    const int code = LookupDefine(g_defineNameList[i], text);
    Check(code >= kLookupNone && code <= kLookupEmpty, "LookupDefine code");
    CheckEvaluated(value);
  }
  for (const std::string& l : lines) CheckEvaluated("\t" + l);
  return 0;
}
