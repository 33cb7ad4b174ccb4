#include "prepro/file_prepro.h"

#include <vector>

#include "platform/dir_scan.h"
#include "platform/file_ops.h"
#include "platform/host.h"
#include "platform/os_path.h"
#include "prepro/condition.h"
#include "prepro/define.h"
#include "prepro/define_table.h"
#include "prepro/header_list.h"
#include "prepro/include_repeats.h"
#include "prepro/source_check.h"
#include "prepro/source_line.h"
#include "prepro/texts.h"
#include "run/analysis_log.h"
#include "run/run_state.h"
#include "run/texts.h"
#include "run/work_folder.h"

namespace vandrel {
namespace {

// Slots of one top-level line before "メモリOVER".
constexpr int kLineSlots = 999;
// Headers nested below a source file; a deeper include is refused.
constexpr size_t kMaxIncludeDepth = 200;
// A file may stand twice on the include chain (a guarded header that
// includes itself again, directly or not); a third time is a cycle.
constexpr int kMaxChainRepeats = 2;

// A file being preprocessed. Once an include of it has been cut as a cycle,
// it is not entered again while it stays on the chain: a header that
// includes itself n times would otherwise be read n times over, each time
// meeting the same cycle n times.
struct ChainLink {
  FileStamp stamp;
  bool cycleCut = false;
};

// The files being preprocessed, outermost first.
std::vector<ChainLink>& IncludeChain() {
  thread_local std::vector<ChainLink> chain;
  return chain;
}

struct ChainEntry {
  explicit ChainEntry(const FileStamp& stamp) { IncludeChain().push_back({stamp}); }
  ~ChainEntry() { IncludeChain().pop_back(); }
  ChainEntry(const ChainEntry&) = delete;
  ChainEntry& operator=(const ChainEntry&) = delete;
};

// The log text of an include refused as a cycle or as too deep, or null.
const std::string* IncludeRefusal(const FileStamp& stamp) {
  std::vector<ChainLink>& chain = IncludeChain();
  int repeats = 0;
  bool cut = false;
  for (const ChainLink& l : chain) {
    if (!l.stamp.SameFile(stamp)) continue;
    ++repeats;
    cut = cut || l.cycleCut;
  }
  if (cut || repeats >= kMaxChainRepeats) {
    for (ChainLink& l : chain) l.cycleCut = l.cycleCut || l.stamp.SameFile(stamp);
    return &kLogIncludeLoop;
  }
  if (chain.size() > kMaxIncludeDepth) return &kLogIncludeTooDeep;  // the source file and 200 headers
  return nullptr;
}

// Resolves the include operand and preprocesses the header; the caller's
// output is flushed first and left at its end after, so that a nested copy
// of the same file lands in order.
void IncludeOperand(const std::string& operand, PreproFile& file) {
  std::string candidate;
  MakeIncludeName(operand, file.path, file.name, candidate);
  std::string includeName = operand;
  std::erase(includeName, '"');
  DirScan scan;
  if (!scan.FindFile(candidate)) FindHeaderPath(includeName, candidate);
  file.out.SeekToEnd();
  PreprocessFile(candidate, 0);
  file.out.SeekToEnd();
}

// Takes the operand after "include", includes it and reads the rest of the
// line; returns how many tokens followed the operand (`tokens`, when given,
// receives the operand and those tokens).
int IncludeDirective(LineBuffer& line, PreproFile& file, std::vector<std::string>* tokens) {
  std::string operand = NextRawToken(line);
  IncludeOperand(operand, file);
  int rest = 0;
  if (IsBlankToken(operand)) return rest;
  if (tokens) tokens->push_back(operand);
  for (std::string t = NextRawToken(line); !IsBlankToken(t); t = NextRawToken(line)) {
    if (tokens) tokens->push_back(t);
    ++rest;
  }
  return rest;
}

void JoinTokensLine(PreproFile& file, const std::vector<std::string>& tokens) {
  std::string text;
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (i) text += '\t';
    text += tokens[i];
  }
  text += '\n';
  WriteSourceText(file.out, text);
}

void RunFile(PreproFile& file) {
  std::string raw;
  LineBuffer line;
  while (ReadSourceLine(file.in, raw)) {
    if (g_abortRequested.load() == 1) return;
    line.Assign(raw);
    int writeFlag = 1;
    int slot = 0;
    for (;;) {
      std::string token = NextRawToken(line);
      if (IsBlankToken(token)) {
        if (writeFlag == 1) WriteSourceText(file.out, raw);
        break;
      }
      if (token != "#") {
        slot = 0;
        continue;
      }
      ++slot;
      std::string directive = NextRawToken(line);
      if (directive == "include") {
        ++slot;
        slot += IncludeDirective(line, file, nullptr);
      } else if (directive == "ifdef" || directive == "ifndef") {
        ++slot;
        std::string name = NextRawToken(line);
        if (directive == "ifdef")
          ProcessIfdefBlock(name, file, writeFlag);
        else
          ProcessIfndefBlock(name, file, writeFlag);
        writeFlag = 0;
      } else if (directive == "if") {
        ProcessIfBlock(line, file, writeFlag);
        writeFlag = 0;
      } else if (directive == "define") {
        ProcessDefine(line, file.in, file.out, raw);
        break;
      }
      if (++slot >= kLineSlots) {
        CurrentHost().MessageBox(kMsgPreproMemoryOver + file.path, kCaptionEnd, MessageButtons::Ok);
        slot = 0;
      }
    }
  }
}

// The state of an #ifdef (wantDefined) or #ifndef block.
int DefinedBlockActive(const std::string& name, int enclosingActive, bool wantDefined) {
  return (enclosingActive == 1 && IsDefined(name) == wantDefined) ? 1 : 0;
}

}  // namespace

void PreprocessFile(std::string path, int mode) {
  // A missing or unreadable include is skipped silently, a file of the tree
  // with a log line.
  FileStamp stamp;
  PreproFile file;
  const bool found = GetFileStamp(path, stamp);
  if (found && mode == 0) {
    if (const std::string* refusal = IncludeRefusal(stamp)) {
      AppendPreproLog(LogKind{*refusal}, g_preproFileTitle, *refusal + path + "\n");
      return;
    }
    if (SkipsRepeatedInclude(stamp)) return;
  }
  if (mode == 1) ForgetIncludes();
  if (!found || !file.in.Open(path, TextFile::Mode::Read)) {
    if (mode == 1) AppendPreproLog(g_preproFileTitle, kLogNotReadable + path + "\n");
    return;
  }
  if (IsBinaryText(file.in.Contents())) {
    AppendPreproLog(LogKind{kLogBinaryFile}, g_preproFileTitle, kLogBinaryFile + path + "\n");
    return;
  }
  if (mode == 1) LogSourceProblems(g_preproFileTitle, path, file.in.Contents());
  file.path = path;
  file.name = LastComponent(path);
  const std::string outPath =
      mode == 1 ? JoinPath(g_defOutputDir.Get(), file.name) : WorkPath("DEF/TMP/" + file.name);
  if (!file.out.Open(outPath, TextFile::Mode::Append)) {
    file.in.Close();
    if (mode == 1)
      CurrentHost().MessageBox(kMsgInputNotOpen + file.name, kCaptionEnd, MessageButtons::Ok);
    return;
  }
  ChainEntry entry(stamp);
  const unsigned long long version = DefineTableVersion();
  RunFile(file);
  if (mode == 0 && g_abortRequested.load() != 1) NoteIncludeDone(stamp, version);
}

void ProcessIfdefBlock(std::string name, PreproFile& file, int enclosingActive) {
  RunConditionalBlock(DefinedBlockActive(name, enclosingActive, true), enclosingActive, file, false);
}

void ProcessIfndefBlock(std::string name, PreproFile& file, int enclosingActive) {
  RunConditionalBlock(DefinedBlockActive(name, enclosingActive, false), enclosingActive, file, false);
}

void RunConditionalBlock(int active, int enclosingActive, PreproFile& file, bool ifBlock) {
  // The open blocks, innermost last: a nested block is an entry here, not a
  // call, so that no depth of nesting runs out of stack.
  struct Block {
    int active;
    int enclosingActive;
    bool ifBlock;  // writes its #include lines as TAB-joined tokens
  };
  std::vector<Block> open{{active, enclosingActive, ifBlock}};
  std::string raw;
  LineBuffer line;
  std::vector<std::string> includeTokens;
  while (ReadSourceLine(file.in, raw)) {
    if (g_abortRequested.load() == 1) return;
    Block& b = open.back();
    line.Assign(raw);
    if (NextRawToken(line) != "#") {
      if (b.active == 1) WriteSourceText(file.out, raw);
      continue;
    }
    std::string directive = NextRawToken(line);
    if (directive == "include") {
      if (b.active != 1) continue;
      includeTokens.assign({"#", directive});
      IncludeDirective(line, file, b.ifBlock ? &includeTokens : nullptr);
      if (b.ifBlock)
        JoinTokensLine(file, includeTokens);
      else
        WriteSourceText(file.out, raw);
    } else if (directive == "define") {
      if (b.active == 1) ProcessDefine(line, file.in, file.out, raw);
    } else if (directive == "ifdef" || directive == "ifndef") {
      const bool wantDefined = directive == "ifdef";
      const int outer = b.active;
      open.push_back({DefinedBlockActive(NextRawToken(line), outer, wantDefined), outer, false});
    } else if (directive == "if") {
      const int outer = b.active;
      open.push_back({IfBlockActive(line, file.in, outer), outer, true});
    } else if (directive == "else") {
      if (b.enclosingActive == 1) b.active = b.active == 1 ? 0 : 1;
    } else if (directive == "elif") {
      int holds = EvaluateCondition(line, file.in) ? 1 : 0;
      b.active = (b.enclosingActive == 1 && holds == 1) ? 1 : 0;
    } else if (directive == "endif") {
      open.pop_back();
      if (open.empty()) return;
    } else if (b.active == 1) {
      WriteSourceText(file.out, raw);
    }
  }
}

}  // namespace vandrel
