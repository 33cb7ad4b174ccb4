#include "pipeline/subscript_pass.h"

#include <vector>

#include "analysis/body_texts.h"
#include "analysis/subscript_scanner.h"
#include "pipeline/record_io.h"
#include "platform/cp932.h"
#include "reader/lexer.h"
#include "run/work_folder.h"

namespace vandrel {
namespace {

// a[i] -> "i", "a[]": the references found in the subscripts, then the entry
// rebuilt from its tokens with its subscripts replaced by their closing tokens.
void ExpandEntry(const std::string& entry, std::string& out) {
  std::vector<std::string> references;
  g_referenceCount = 0;
  LineBuffer line(entry);
  std::string rebuilt;
  for (;;) {
    std::string t = NextRawToken(line);
    if (IsBlankToken(t)) break;
    rebuilt += t;
    if (t == "[") rebuilt += ScanSubscriptReferences(line, references);
  }
  for (int i = 0; i < g_referenceCount && i < static_cast<int>(references.size()); ++i)
    out += references[i];
  AddLine(out, rebuilt);
}

// Copies the record; in "[参照変数]" every entry with "[" is expanded, and
// "NONE" gets a second empty line.
bool ExpandRecord(const std::vector<std::string>& in, std::string& out) {
  for (size_t i = 0; i < in.size(); ++i) {
    AddLine(out, in[i]);
    if (in[i] != kTagReads) continue;
    for (++i; i < in.size(); ++i) {
      const std::string& e = in[i];
      if (e == "NONE") {
        AddLine(out, "NONE");
        AddLine(out, "");
        break;
      }
      if (e.empty()) {
        AddLine(out, "");
        break;
      }
      if (!MbContains(e, "["))
        AddLine(out, e);
      else
        ExpandEntry(e, out);
    }
  }
  return true;
}

}  // namespace

StepResult ExpandSubscriptReferences() {
  return TransformRecordFolder(WorkPath("func_als"), WorkPath("func_als1_5"), std::string(),
                               ExpandRecord);
}

}  // namespace vandrel
