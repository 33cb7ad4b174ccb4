#include "prepro/header_list.h"

#include <string.h>

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/cp932.h"
#include "platform/dir_scan.h"
#include "platform/file_ops.h"
#include "platform/host.h"
#include "platform/os_path.h"
#include "platform/text_file.h"
#include "prepro/left_out_folders.h"
#include "prepro/source_line.h"
#include "prepro/texts.h"
#include "run/run_state.h"
#include "run/texts.h"
#include "run/work_folder.h"

namespace vandrel {

// Spelled out, as kWorkDir may not be initialised yet.
const std::string kHeaderListPath = "./vcwk012345/DEF/Header_List.txt";

bool IsSourceExtension(const std::string& ext) {
  return ext == ".h" || ext == ".H" || ext == ".C" || ext == ".c" || ext == ".cpp" || ext == ".CPP";
}

namespace {

// The header list as last read, with the answers given so far; read again
// whenever the file has changed since.
struct HeaderListCache {
  bool loaded = false;
  FileStamp stamp;
  std::string joined;                           // the lines, each before a "\n"
  std::vector<size_t> starts;                   // of each line in joined
  std::unordered_map<std::string, int> named;   // a header's name -> its first line
  std::unordered_map<std::string, int> answers;  // name -> line, -1 for none

  bool Refresh() {
    FileStamp now;
    if (!GetFileStamp(kHeaderListPath, now)) {
      loaded = false;
      return false;
    }
    if (loaded && now == stamp) return true;
    TextFile file;
    if (!file.Open(kHeaderListPath, TextFile::Mode::Read)) {
      loaded = false;
      return false;
    }
    joined.clear();
    starts.clear();
    named.clear();
    answers.clear();
    for (std::string line; file.ReadLine(line);) {
      named.emplace(line.substr(0, line.find('\t')), static_cast<int>(starts.size()));
      starts.push_back(joined.size());
      joined += line;
      joined += '\n';
    }
    stamp = now;
    loaded = true;
    return true;
  }
  // Line i of the list, without its "\n".
  std::string_view Line(size_t i) const {
    const size_t end = i + 1 < starts.size() ? starts[i + 1] : joined.size();
    return std::string_view(joined).substr(starts[i], end - 1 - starts[i]);
  }
  // The first line that holds the name. A line that begins with it bounds
  // the search; the byte search then skips the lines without it.
  int Find(const std::string& name) {
    auto it = answers.find(name);
    if (it != answers.end()) return it->second;
    int found = -1;
    auto own = named.find(name);
    const size_t end =
        own == named.end() ? joined.size() : starts[static_cast<size_t>(own->second)] + name.size();
    for (size_t from = 0; from < end;) {
      const void* at = memmem(joined.data() + from, end - from, name.data(), name.size());
      if (!at) break;
      const size_t hit = static_cast<size_t>(static_cast<const char*>(at) - joined.data());
      // The line of the hit and the start of the next.
      const size_t next = static_cast<size_t>(std::upper_bound(starts.begin(), starts.end(), hit) - starts.begin());
      if (MbContains(Line(next - 1), name)) {
        found = static_cast<int>(next - 1);
        break;
      }
      from = next < starts.size() ? starts[next] : end;
    }
    answers.emplace(name, found);
    return found;
  }
};

}  // namespace

void SplitFileName(const std::string& name, std::string& title, std::string& extension) {
  size_t dot = MbReverseFind(name, '.');
  if (dot == std::string::npos) {
    title = name;
    extension.clear();
  } else {
    title = name.substr(0, dot);
    extension = name.substr(dot);
  }
}

void BuildHeaderList(const std::string& mask, const std::string& folder) {
  DirScan scan;
  bool more = scan.FindFile(JoinPath(folder, mask));
  while (more) {
    if (g_abortRequested.load() == 1) return;
    more = scan.FindNextFile();
    if (scan.IsDots()) continue;
    if (scan.IsDirectory()) {
      if (FindLeftOutFolder(scan.GetRoot(), scan.GetFileName()) == LeftOutFolder::None)
        BuildHeaderList(mask, scan.GetFilePath());
      continue;
    }
    const std::string& name = scan.GetFileName();
    SetStatusDetail(name);
    std::string title, ext;
    SplitFileName(name, title, ext);
    if (IsSourceExtension(ext)) ++g_progressTotal;
    if (ext != ".h" && ext != ".H") continue;
    TextFile list;
    if (!list.Open(kHeaderListPath, TextFile::Mode::Append)) {
      CurrentHost().MessageBox(kMsgHeaderListNotOpen, kCaptionEnd, MessageButtons::Ok);
      continue;
    }
    list.Write(name + "\t" + scan.GetFilePath() + "\n");
    list.Close();
  }
}

int FindHeaderPath(std::string name, std::string& path) {
  thread_local HeaderListCache cache;
  if (!cache.Refresh()) return 0;
  int found = cache.Find(name);
  if (found < 0) return 0;
  const std::string_view line = cache.Line(static_cast<size_t>(found));
  const size_t tab = line.find('\t');
  path = std::string(tab == std::string_view::npos ? line : line.substr(tab + 1));
  return 1;
}

int MakeIncludeName(std::string_view operand, std::string folder, std::string strip,
                    std::string& result) {
  std::string name(operand);
  std::erase(name, '"');
  result = MbRemoveAll(folder, strip) + name;
  return 1;
}

}  // namespace vandrel
