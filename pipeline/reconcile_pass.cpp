#include "pipeline/reconcile_pass.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "analysis/body_texts.h"
#include "pipeline/line_search.h"
#include "pipeline/record_io.h"
#include "pipeline/texts.h"
#include "platform/cp932.h"
#include "platform/host.h"
#include "reader/lexer.h"
#include "reader/splitters.h"
#include "run/run_state.h"
#include "run/texts.h"
#include "run/work_folder.h"

namespace vandrel {
namespace {

// A memo of searches by their key, for records reconciled at once.
class SearchMemo {
 public:
  template <class Search>
  int Get(const std::string& key, Search&& search) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      auto it = memo_.find(key);
      if (it != memo_.end()) return it->second;
    }
    const int found = search();
    std::lock_guard<std::mutex> lock(mutex_);
    memo_.emplace(key, found);
    return found;
  }

 private:
  std::mutex mutex_;
  std::unordered_map<std::string, int> memo_;
};

// The definition file of one source file ("DEF/" base "_DEF_C.dat"), read once.
struct DefinitionFile {
  bool exists = false;
  LineSearch head;  // the lines up to the first empty line
  SearchMemo defined;
  // The first line with "(": a function-like macro when its text before the
  // "(" is its name and a TAB, and its parentheses close.
  bool isMacro = false;
  std::string macroHead;    // text before that "("
  std::string replacement;  // the token after the closing ")"

  explicit DefinitionFile(const std::string& path) {
    std::vector<std::string> lines;
    exists = ReadLines(path, lines);
    auto withParen = std::find_if(lines.begin(), lines.end(),
                                  [](const std::string& l) { return MbContains(l, "("); });
    if (withParen != lines.end()) ReadMacroLine(*withParen);
    lines.erase(std::find(lines.begin(), lines.end(), std::string()), lines.end());
    head.Assign(std::move(lines));
  }

  void ReadMacroLine(const std::string& line) {
    macroHead = line.substr(0, MbFind(line, "("));
    LineBuffer buf(line);
    for (int depth = 0;;) {
      std::string t = NextRawToken(buf);
      if (IsBlankToken(t)) return;
      if (t == "(") ++depth;
      if (t == ")" && --depth == 0) {
        replacement = NextRawToken(buf);
        isMacro = true;
        return;
      }
    }
  }

  // The line holding name + TAB, or -1: the name is a defined value.
  int DefinedValueLine(const std::string& name) {
    const std::string pattern = name + "\t";
    return defined.Get(name, [&] {
      return head.FirstLine(pattern, [&](std::string_view l) { return MbContains(l, pattern); });
    });
  }

  bool IsMacro(const std::string& name) const { return isMacro && macroHead == name + "\t"; }
};

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  if (from.empty()) return text;
  for (size_t pos = MbFind(text, from); pos != std::string::npos;
       pos = MbFind(text, from, pos + to.size()))
    text.replace(pos, from.size(), to);
  return text;
}

// a[i] [R] -> a[] [R]: the text of each subscript goes; the tag that ends the
// line keeps its text.
std::string EmptySubscripts(std::string e) {
  for (size_t start = 0;;) {
    size_t open = MbFind(e, "[", start), close = MbFind(e, "]", start);
    if (open == std::string::npos || close == std::string::npos || close + 1 == e.size()) break;
    if (close > open) e.erase(open + 1, close - open - 1);
    start = open + 2;
  }
  return e;
}

// The prototype line as a call entry: TABs become blanks, ";" goes.
std::string PrototypeText(std::string line) {
  std::replace(line.begin(), line.end(), '\t', ' ');
  line.erase(std::remove(line.begin(), line.end(), ';'), line.end());
  return line;
}

void WriteAddedSection(std::string& out, const std::string& tag,
                       const std::vector<std::string>& entries) {
  AddLine(out, tag);
  for (const std::string& e : entries) AddLine(out, e);
  if (entries.empty()) AddLine(out, "NONE");
  AddLine(out, "");
}

// The step's tables: the prototype list and the definition files, each read
// once, for the records that are reconciled at once.
struct ReconcileTables {
  LineSearch prototypes;
  SearchMemo functionTypes, callPrototypes;
  std::mutex definitionsMutex;
  std::unordered_map<std::string, std::unique_ptr<DefinitionFile>> definitions;
  bool includeLocals = false;

  ReconcileTables() {
    std::vector<std::string> lines;
    ReadLines(WorkPath("FuncList_ProtType.txt"), lines);
    prototypes.Assign(std::move(lines));
    includeLocals = g_runParameters.m_includeLocals != 0;
  }

  DefinitionFile& Definitions(const std::string& base) {
    std::lock_guard<std::mutex> lock(definitionsMutex);
    std::unique_ptr<DefinitionFile>& d = definitions[base];
    if (!d) d = std::make_unique<DefinitionFile>(WorkPath("DEF/" + base + "_DEF_C.dat"));
    return *d;
  }
};

// One record being reconciled.
struct Reconciler {
  explicit Reconciler(ReconcileTables& t) : tables(t), prototypes(t.prototypes), includeLocals(t.includeLocals) {}

  ReconcileTables& tables;
  LineSearch& prototypes;
  const bool includeLocals;
  const std::vector<std::string>* in = nullptr;
  size_t next = 0;
  std::string base;                        // of the definition file
  std::vector<std::string> locals;         // "[引数定義]" and "[テンポラリ変数]" lines
  std::vector<std::string> definedValues;  // definition lines of names read

  DefinitionFile& Definitions() { return tables.Definitions(base); }

  bool Next(std::string& line) {
    if (next >= in->size()) return false;
    line = (*in)[next++];
    ++g_lineCounter;
    return true;
  }

  // The first prototype line holding name + TAB anywhere.
  int FunctionTypeLine(const std::string& name) {
    const std::string pattern = name + "\t";
    return tables.functionTypes.Get(name, [&] {
      return prototypes.FirstLineBeforeTab(name, pattern,
                                           [&](std::string_view l) { return MbContains(l, pattern); });
    });
  }

  // The first prototype line whose text before its first "(" holds TAB name TAB.
  int CallPrototypeLine(const std::string& name) {
    const std::string pattern = "\t" + name + "\t";
    return tables.callPrototypes.Get(name, [&] {
      return prototypes.FirstLineBeforeTab(name, pattern, [&](std::string_view l) {
        size_t paren = MbFind(l, "(");
        return paren != std::string::npos && MbContains(l.substr(0, paren), pattern);
      });
    });
  }

  // A read or written name, cut at "->" and dropped when it is part of a
  // local line (unless locals are kept), its subscripts emptied.
  bool ReduceAccessName(std::string& e) const {
    if (!includeLocals) {
      size_t arrow = MbFind(e, "->");
      if (arrow != std::string::npos) e.resize(arrow);
      for (const std::string& l : locals)
        if (MbContains(l, e)) return false;
    }
    if (MbContains(e, "[")) StripSubscripts(e);
    return true;
  }

  // One record; false when a definition file is missing (the step ends).
  bool Reconcile(const std::vector<std::string>& record, std::string& out) {
    in = &record;
    next = 0;
    base.clear();
    locals.clear();
    definedValues.clear();
    std::string line;
    while (Next(line)) {
      AddLine(out, line);
      if (line == kTagFileName) {
        if (Next(line)) {
          AddLine(out, line);
          size_t dot = MbReverseFind(line, '.');
          base = dot == std::string::npos ? std::string() : line.substr(0, dot);
        }
      } else if (line == kTagFunctionName) {
        FunctionName(out);
      } else if (line == kTagTemporaries || line == kTagArguments) {
        while (Next(line)) {
          AddLine(out, line);
          if (line.empty()) break;
          locals.push_back(line);
        }
      } else if (line == kTagReads) {
        if (!Reads(out)) return false;
      } else if (line == kTagWrites) {
        Writes(out);
      } else if (line == kTagCallees) {
        Calls(out);
      } else if (line == kTagAccesses) {
        while (Next(line)) {
          if (line.empty() || line == "NONE") {
            AddLine(out, "");
            break;
          }
          AddLine(out, EmptySubscripts(line));
        }
      }
    }
    return true;
  }

  // "[関数名称]": the name, an empty line, and "[関数型]" with the tokens
  // before the name in its prototype line (the TAB before the name dropped).
  void FunctionName(std::string& out) {
    std::string name;
    if (!Next(name)) return;
    AddLine(out, name);
    AddLine(out, "");
    int l = FunctionTypeLine(name);
    if (l < 0) return;
    const std::string& proto = prototypes.Line(l);
    size_t p = MbFind(proto, name + "\t");
    AddLine(out, kTagFunctionType);
    AddLine(out, p == 0 ? std::string() : proto.substr(0, p - 1));
  }

  bool Reads(std::string& out) {
    bool wrote = false;
    std::string e;
    while (Next(e) && !e.empty() && e != "NONE") {
      DefinitionFile& def = Definitions();
      if (!def.exists) {
        CurrentHost().MessageBox(kMsgDefFileNotOpen, kCaptionEnd, MessageButtons::OkCancel);
        return false;
      }
      if (int d = def.DefinedValueLine(e); d >= 0) {
        definedValues.push_back(def.head.Line(d));
        continue;
      }
      if (ReduceAccessName(e)) {
        AddLine(out, e);
        wrote = true;
      }
    }
    if (!wrote) AddLine(out, "NONE");
    AddLine(out, "");
    WriteAddedSection(out, kTagDefinedValues, definedValues);
    return true;
  }

  void Writes(std::string& out) {
    bool wrote = false;
    std::string e;
    while (Next(e) && !e.empty() && e != "NONE") {
      if (ReduceAccessName(e)) {
        AddLine(out, e);
        wrote = true;
      }
    }
    if (!wrote) AddLine(out, "NONE");
    AddLine(out, "");
  }

  // "[コール関数]": each call as its prototype, with a function-like macro
  // replaced, or as it is; then the three sections that sort them.
  void Calls(std::string& out) {
    std::vector<std::string> withPrototype, withoutDefinition, macros;
    std::string e;
    bool endedByEmptyLine = false;
    while (Next(e)) {
      if (e.empty()) {
        endedByEmptyLine = true;
        break;
      }
      size_t paren = MbFind(e, "(");
      std::string name = paren == std::string::npos ? std::string() : e.substr(0, paren);
      if (paren == std::string::npos) {
        withoutDefinition.push_back(e);
      } else if (int l = CallPrototypeLine(name); l >= 0) {
        e = PrototypeText(prototypes.Line(l));
        withPrototype.push_back(e);
      } else if (DefinitionFile& def = Definitions(); def.IsMacro(name)) {
        // A missing definition file counts as empty here.
        e = ReplaceAll(e, name, def.replacement);
        macros.push_back(name + "\t\t" + def.replacement);
      } else {
        withoutDefinition.push_back(e);
      }
      AddLine(out, e);
    }
    if (endedByEmptyLine) AddLine(out, "");
    WriteAddedSection(out, kTagCallsDefined, withPrototype);
    WriteAddedSection(out, kTagCallsUndefined, withoutDefinition);
    WriteAddedSection(out, kTagMacroCalls, macros);
  }
};

}  // namespace

StepResult ReconcileAcrossFiles() {
  ReconcileTables tables;
  return TransformRecordFolder(WorkPath("func_als2"), WorkPath("func_als3"), kMsgStep3NotOpen,
                               [&](const std::vector<std::string>& in, std::string& out) {
                                 return Reconciler(tables).Reconcile(in, out);
                               });
}

}  // namespace vandrel
