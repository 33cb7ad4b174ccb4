#include "reports/design_info.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_set>

#include "analysis/body_texts.h"
#include "platform/cp932.h"
#include "platform/host.h"
#include "platform/os_path.h"
#include "platform/text_file.h"
#include "reports/texts.h"
#include "run/texts.h"
#include "run/work_folder.h"

namespace vandrel {
namespace {

// Longer names are looked up by a plain scan.
constexpr size_t kMaxIndexedName = 64;

bool IsPlainAscii(std::string_view s) {
  return std::all_of(s.begin(), s.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80 && c != '\t'; });
}

bool ReadLines(const std::string& path, std::vector<std::string>& lines) {
  TextFile f;
  if (!f.Open(path, TextFile::Mode::Read)) return false;
  std::string line;
  while (f.ReadLine(line)) lines.push_back(line);
  return true;
}

// A table of the builder: entries in the order first met.
struct DesignTable {
  std::vector<std::string> entries;
  std::unordered_set<std::string> seen;

  bool IsInList(const std::string& text) const { return seen.count(text) != 0; }
  void Add(const std::string& text) {
    entries.push_back(text);
    seen.insert(text);
  }
  void AddUnique(const std::string& text) {
    if (!IsInList(text)) Add(text);
  }
};

// What the records of one source file's functions hold.
struct FileDesign {
  std::vector<std::string> functions;
  DesignTable calls, reads, writes, definitions, locals;
};

// The record sections the builder reads, and where each entry goes.
void ReadRecord(TextFile& record, FileDesign& d) {
  struct Section {
    const std::string& tag;
    DesignTable& table;
    bool stripped;
  };
  const Section sections[] = {
      {kTagCallees, d.calls, false},        {kTagReads, d.reads, true},
      {kTagWrites, d.writes, true},       {kTagDefinedValues, d.definitions, false},
      {kTagTemporaries, d.locals, true},  {kTagArguments, d.locals, false},
  };
  std::string line;
  while (record.ReadLine(line)) {
    const Section* s = nullptr;
    for (const Section& candidate : sections)
      if (line == candidate.tag) s = &candidate;
    if (!s) continue;
    bool first = true, none = false;
    while (record.ReadLine(line) && !line.empty()) {
      if (first && (line == "NONE" || (&s->tag == &kTagArguments && line == "void"))) none = true;
      first = false;
      if (!none) s->table.AddUnique(s->stripped ? StripBracketText(line) : line);
    }
  }
}

// The value part from the first TAB on parses as a number (strtol, base 0).
bool IsNumericDefinition(const std::string& entry) {
  size_t tab = entry.find('\t');
  std::string value = tab == std::string::npos ? entry : entry.substr(tab);
  const char* start = value.c_str();
  char* end = nullptr;
  std::strtol(start, &end, 0);
  return end != start;
}

void WriteSection(TextFile& out, const char* tag, const std::vector<std::string>& entries) {
  out.Write(tag);
  out.Write("\n");
  for (const std::string& e : entries) out.Write(e + "\n");
  out.Write("\n");
}

// The thirteen list sections, after the input has been read whole.
void WriteListSections(TextFile& out, const FileDesign& d, const std::string& sourceName,
                       DesignLookups& lookups) {
  WriteSection(out, "[FUNCTION_LIST]", d.functions);

  std::vector<std::string> global, internal;
  for (const std::string& f : d.functions) {
    int where = lookups.FindNameInSourceCopies(sourceName, f);
    if (where & 2)
      global.push_back(lookups.LookupFunctionBody(f));
    else if (where & 1)
      internal.push_back(lookups.LookupFunctionBody(f));
  }
  WriteSection(out, "[GLOBAL_FUNCTION_LIST]", global);
  WriteSection(out, "[INTERNAL_FUNCTION_LIST]", internal);

  std::vector<std::string> macros;
  for (const std::string& call : d.calls.entries)
    if (call.find(' ') == std::string::npos) macros.push_back(call);
  WriteSection(out, "[FUNCTION_CALL_LIST]", d.calls.entries);

  // Variables that no function of the file declares locally, sorted by
  // where they are declared: 1 public, 2 private, 0 or 3 external.
  DesignTable publicVars, privateVars, externalVars;
  auto writeVariables = [&](const char* tag, const DesignTable& table) {
    std::vector<std::string> listed;
    for (const std::string& v : table.entries) {
      if (IsNameDeclared(v, d.locals.entries)) continue;
      listed.push_back(v);
      int where = lookups.FindNameInSourceCopies(sourceName, v);
      (where == 1 ? publicVars : where == 2 ? privateVars : externalVars).AddUnique(v);
    }
    WriteSection(out, tag, listed);
  };
  writeVariables("[READ_VALUE]", d.reads);
  writeVariables("[WRITE_VALUE]", d.writes);
  WriteSection(out, "[PUBLIC_VALUE]", publicVars.entries);
  WriteSection(out, "[PRIVATE_VALUE]", privateVars.entries);
  WriteSection(out, "[EXTERN_VALUE]", externalVars.entries);
  WriteSection(out, "[DEF_VALUE]", {});

  std::vector<std::string> numeric;
  for (const std::string& def : d.definitions.entries)
    (IsNumericDefinition(def) ? numeric : macros).push_back(def);
  WriteSection(out, "[EXT_DEF]", numeric);
  WriteSection(out, "[MACRO_VALUE]", macros);
  WriteSection(out, "[TEMP_VAL_LIST]", d.locals.entries);
  out.Write("\n");
}

void ShowBox(const std::string& text) {
  CurrentHost().MessageBox(text, kCaptionEnd, MessageButtons::Ok);
}

std::string WithoutInfoPrefix(const std::string& name) {
  return name.rfind("INF_", 0) == 0 ? name.substr(4) : name;
}

bool Build(const std::string& infoPath, DesignLookups& lookups) {
  TextFile in;
  if (!in.Open(infoPath, TextFile::Mode::Read)) {
    ShowBox(kMsgInfoFileNotOpen);
    return false;
  }
  const std::string fileName = LastComponent(infoPath);  // a file name already
  TextFile out;
  if (!out.Open(WorkPath("fileinfo2/" + fileName), TextFile::Mode::Append)) {
    ShowBox(kMsgInfoFileNotOpen);
    return false;
  }
  // The name the lookups use: the source name once "[DOM]" has been read.
  std::string heldName = fileName;
  FileDesign design;
  std::string line;
  while (in.ReadLine(line)) {
    if (line == "[DOM]") {
      std::string dom;
      in.ReadLine(dom);
      out.Write("[DOM NAME]\n" + dom + "\n\n");
      if (heldName.find('.') != std::string::npos) {
        std::string source = WithoutInfoPrefix(heldName);
        out.Write("[BUHIN KOUSEI]\n" + source.substr(0, source.find('.')) + ".c\n\n");
      }
      heldName = WithoutInfoPrefix(heldName);
    } else if (line == "[FUNCNAME]") {
      std::string name;
      if (!in.ReadLine(name) || name.empty()) break;
      TextFile record;
      if (!IsUsableFileName(name) || !record.Open(WorkPath("FunctionList4/" + name), TextFile::Mode::Read)) {
        ShowBox(kMsgOpenFailed);
        return false;
      }
      design.functions.push_back(name);
      ReadRecord(record, design);
    }
  }
  WriteListSections(out, design, heldName, lookups);
  return out.Close();
}

}  // namespace

TabFieldIndex::TabFieldIndex(std::vector<std::string> lines) : lines_(std::move(lines)) {
  for (long i = 0; i < static_cast<long>(lines_.size()); ++i) {
    std::string_view line = lines_[i];
    size_t asciiRun = 0;  // where the current field's last run of ASCII characters begins
    for (size_t pos = 0; pos < line.size();) {
      size_t next = MbNextChar(line, pos);
      if (line[pos] == '\t') {
        for (size_t s = std::max(asciiRun, pos > kMaxIndexedName ? pos - kMaxIndexedName : 0); s < pos; ++s)
          suffixes_.emplace_back(line.substr(s, pos - s), i);
        asciiRun = next;
      } else if (next != pos + 1 || static_cast<unsigned char>(line[pos]) >= 0x80) {
        asciiRun = next;
      }
      pos = next;
    }
  }
  // Sorted by text; of equal texts only the last line is kept.
  std::sort(suffixes_.begin(), suffixes_.end());
  std::vector<std::pair<std::string_view, long>> kept;
  for (size_t k = 0; k < suffixes_.size(); ++k)
    if (k + 1 == suffixes_.size() || suffixes_[k + 1].first != suffixes_[k].first) kept.push_back(suffixes_[k]);
  suffixes_.swap(kept);
}

long TabFieldIndex::LastLineWith(std::string_view name) const {
  if (name.empty() || name.size() > kMaxIndexedName || !IsPlainAscii(name)) {
    std::string needle = std::string(name) + "\t";
    for (long i = static_cast<long>(lines_.size()) - 1; i >= 0; --i)
      if (MbContains(lines_[i], needle)) return i;
    return -1;
  }
  auto it = std::lower_bound(suffixes_.begin(), suffixes_.end(), name,
                             [](const auto& entry, std::string_view key) { return entry.first < key; });
  return it != suffixes_.end() && it->first == name ? it->second : -1;
}

const TabFieldIndex* DesignLookups::Copy(const std::string& path) {
  auto it = copies_.find(path);
  if (it == copies_.end()) {
    std::vector<std::string> lines;
    std::unique_ptr<TabFieldIndex> index;
    if (ReadLines(path, lines)) index = std::make_unique<TabFieldIndex>(std::move(lines));
    it = copies_.emplace(path, std::move(index)).first;
  }
  return it->second.get();
}

int DesignLookups::FindNameInSourceCopies(const std::string& sourceName, const std::string& name) {
  std::string base = sourceName.size() >= 2 ? sourceName.substr(0, sourceName.size() - 2) : "";
  const TabFieldIndex* c = Copy(WorkPath("F_" + base + ".c"));
  const TabFieldIndex* h = Copy(WorkPath("F_" + base + ".h"));
  if (!c || !h) return 1;
  return (c->LastLineWith(name) >= 0 ? 1 : 0) | (h->LastLineWith(name) >= 0 ? 2 : 0);
}

std::string DesignLookups::LookupFunctionBody(const std::string& name) {
  const TabFieldIndex* body = Copy(WorkPath("FuncList_Body.txt"));
  long at = body ? body->LastLineWith(name) : -1;
  if (at < 0) return name;
  std::string head;
  for (char c : body->Line(at))
    if (c != ';') head += c == '\t' ? ' ' : c;
  return head;
}

bool BuildFileInfoSummary(std::string infoPath, DesignLookups& lookups) {
  try {
    return Build(infoPath, lookups);
  } catch (...) {
    // Ends the call without a log line or a message; the caller goes on.
    return false;
  }
}

bool BuildFileInfoSummary(std::string infoPath) {
  DesignLookups lookups;
  return BuildFileInfoSummary(std::move(infoPath), lookups);
}

std::string StripBracketText(std::string text) {
  size_t pos = 0;
  for (;;) {
    size_t open = MbFind(text, "[", pos);
    size_t close = MbFind(text, "]", pos);
    if (open == std::string::npos || close == std::string::npos || close + 1 == text.size()) break;
    if (close > open) {
      text.erase(open + 1, close - open - 1);
      close = open + 1;
    }
    pos = close + 1;
  }
  return text;
}

bool IsNameDeclared(const std::string& name, const std::vector<std::string>& declarations) {
  auto cut = [](std::string_view s) { return s.substr(0, std::min(s.size(), MbFind(s, "["))); };
  std::string_view wanted = cut(name);
  for (const std::string& line : declarations) {
    size_t blank = MbReverseFind(line, ' ');
    size_t tab = MbReverseFind(line, '\t');
    size_t last = blank == std::string::npos ? tab : tab == std::string::npos ? blank : std::max(blank, tab);
    std::string_view declared = last == std::string::npos ? std::string_view(line)
                                                          : std::string_view(line).substr(last + 1);
    if (cut(declared) == wanted) return true;
  }
  return false;
}

}  // namespace vandrel
