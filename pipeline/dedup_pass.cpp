#include "pipeline/dedup_pass.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

#include "analysis/body_texts.h"
#include "pipeline/record_io.h"
#include "pipeline/texts.h"
#include "run/run_state.h"
#include "run/work_folder.h"

namespace vandrel {

void WriteDeduplicatedSections(const std::vector<std::string>& in,
                               const std::vector<std::string>& tags, std::string& out) {
  static const std::string kEndMarker = "eeed";
  std::unordered_set<std::string_view> seen;
  for (size_t i = 0; i < in.size(); ++i) {
    AddLine(out, in[i]);
    if (std::find(tags.begin(), tags.end(), in[i]) == tags.end()) continue;
    // The table grows with the section: nothing is lost however many entries it holds.
    seen.clear();
    seen.insert(kEndMarker);
    for (++i; i < in.size() && !in[i].empty(); ++i) {
      if (seen.insert(in[i]).second) AddLine(out, in[i]);
    }
    AddLine(out, "");
  }
}

StepResult RemoveDuplicateEntries() {
  const std::vector<std::string> tags = {kTagReads, kTagWrites, kTagCallees};
  return TransformRecordFolder(
      WorkPath("func_als1_5"), WorkPath("func_als2"), kMsgStep2NotOpen,
      [&](const std::vector<std::string>& in, std::string& out) {
        g_lineCounter += static_cast<int>(in.size());
        WriteDeduplicatedSections(in, tags, out);
        return true;
      });
}

}  // namespace vandrel
