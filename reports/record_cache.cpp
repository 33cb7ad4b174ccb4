#include "reports/record_cache.h"

#include "analysis/body_texts.h"
#include "pipeline/work_folder.h"
#include "platform/os_path.h"
#include "platform/text_file.h"
#include "reader/splitters.h"
#include "reports/command_texts.h"

namespace vandrel {
namespace {

// Position after the tag line, or the line count when there is none.
size_t AfterTag(const std::vector<std::string>& lines, const std::string& tag) {
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i] == tag) return i + 1;
  return lines.size() + 1;
}

CachedRecord ReadRecord(const std::string& path) {
  CachedRecord r;
  TextFile f;
  if (!f.Open(path, TextFile::Mode::Read)) return r;
  r.exists = true;
  std::vector<std::string> lines;
  std::string line;
  while (f.ReadLine(line)) lines.push_back(line);

  for (size_t i = AfterTag(lines, kTagCallees); i < lines.size(); ++i) {
    const std::string& e = lines[i];
    if (e.empty() || e == "NONE" || e == kNoCallMarker) break;
    std::string first, name, params;
    SplitCallText(e, first, name, params);
    r.callees.push_back(name);
  }
  for (size_t i = AfterTag(lines, kTagAccesses); i < lines.size(); ++i) {
    const std::string& e = lines[i];
    if (e.empty() || e == "NONE") {
      r.accessesClosed = true;
      break;
    }
    r.accesses.push_back(e);
  }
  return r;
}

}  // namespace

const CachedRecord& RecordCache::Get(const std::string& name) {
  auto it = records_.find(name);
  if (it == records_.end()) {
    CachedRecord r;
    if (IsUsableFileName(name)) r = ReadRecord(JoinPath(folder_, name));
    it = records_.emplace(name, std::move(r)).first;
  }
  return it->second;
}

}  // namespace vandrel
