#include "analysis/typedef_pass.h"

#include <cstdlib>

#include "analysis/file_texts.h"
#include "analysis/pass_reader.h"
#include "platform/host.h"
#include "platform/os_path.h"
#include "platform/text_file.h"
#include "reader/string_table.h"
#include "reader/token_kind.h"
#include "run/analysis_log.h"
#include "run/run_state.h"
#include "run/texts.h"
#include "run/work_folder.h"

namespace vandrel {
namespace {

// What a row of the state table does with the token besides its state change.
enum class Step {
  kKeep,     // the token takes its slot
  kNotKept,  // the slot is reused by the next token
  kFinish,   // statement over: state 0
  kDrop,     // the rest of the line is ignored
};

// Value of a number token as the C runtime reads it: leading digits only.
int LeadingValue(const std::string& text, int base) {
  long long v = std::strtoll(text.c_str(), nullptr, base);
  return static_cast<int>(static_cast<unsigned long long>(v));
}

int Successor(int v) { return static_cast<int>(static_cast<unsigned>(v) + 1u); }

// The statement machine. Of a statement's kept tokens only the last one is
// ever read back ("the token before ;"), so that is all that is kept.
struct TypedefMachine {
  TypedefMachine(TextFile& list, std::string defPath) : typedefList(list), defFile(std::move(defPath)) {}

  TextFile& typedefList;
  std::string defFile;  // DEF/<base>_DEF_C.dat
  TextFile def;
  bool defOpened = false;
  int state = 0;
  int depth = 0;    // brace depth, for the whole file
  int counter = 0;  // value of the next enumerator without "="
  std::string lastKept;
  std::string tag;
  std::string enumerator;

  void WriteTypeName(const std::string& name) {
    typedefList.Write(name + "\n");
    AddTypeName(name);
  }

  // Appended at the end of the definition file, which stays open for the
  // rest of the source file. A definition file that cannot be opened loses
  // the lines; nothing else changes.
  void WriteEnumerator(const std::string& name, const std::string& value) {
    if (!defOpened) {
      defOpened = true;
      def.Open(defFile, TextFile::Mode::Append);
    }
    def.Write(name + "\t" + value + "\n");
  }

  void EnumeratorWithCounter() {
    WriteEnumerator(enumerator, std::to_string(counter));
    counter = Successor(counter);
  }

  // "}" in the states that count the brace depth: true when it falls below 1.
  bool Close() { return --depth < 1; }

  // Inside a struct or union body: the braces count, other tokens take no
  // slot; the closing brace goes to `after`.
  Step InBody(bool open, bool close, int after) {
    if (open) {
      ++depth;
    } else if (close) {
      if (Close()) state = after;
    } else {
      return Step::kNotKept;
    }
    return Step::kKeep;
  }

  Step Apply(const std::string& t, int kind);
};

Step TypedefMachine::Apply(const std::string& t, int kind) {
  const bool open = t == "{", close = t == "}", semi = t == ";";
  switch (state) {
    case 0:
      if (t == "typedef") {
        depth = 0;
        state = 1;
      } else if (t == "struct" || t == "union") {
        state = 150;
      } else if (t == "enum") {
        counter = 0;
        state = 102;
      } else if (t == "#") {
        return Step::kDrop;
      } else {
        return Step::kFinish;
      }
      return Step::kKeep;
    case 1:
      if (t == "struct" || t == "union") {
        state = 2;
      } else if (t == "enum") {
        counter = 0;
        state = 102;
      } else if (t == "unsigned" || t == "signed") {
        state = 20;
      } else if (kind == kKindTypeName || kind == kKindOther) {
        state = 10;
      } else if (kind == kKindBaseType) {
        state = 30;
      }
      return Step::kKeep;
    case 2:
      if (open) {
        ++depth;
        state = 3;
      } else if (close) {
        if (Close()) state = 10;
      } else if (kind == kKindTypeName) {
        state = 5;
      }
      // Any other token (a tag not yet a type name) stays; the next one
      // goes to slot 1, which nothing reads back.
      return Step::kKeep;
    case 3:
      return InBody(open, close, 10);
    case 5:
      if (kind == kKindOther) state = 6;
      return Step::kKeep;
    case 6:
      if (semi) {
        WriteTypeName(lastKept);
        return Step::kFinish;
      }
      if (t == "(") state = 7;
      return Step::kKeep;
    case 7:
      return semi ? Step::kFinish : Step::kKeep;
    case 10:
      if (kind == kKindOther) {
        WriteTypeName(t);
      } else if (t == "(") {
        return Step::kDrop;
      } else if (semi) {
        return Step::kFinish;
      }
      return Step::kKeep;
    case 20:
      if (kind == kKindBaseType) {
        state = 30;
      } else if (kind == kKindQualifier) {
        state = 40;
      }
      return Step::kKeep;
    case 30:
      if (kind == kKindOther) {
        WriteTypeName(t);
        return Step::kFinish;
      }
      return t == "(" ? Step::kDrop : Step::kKeep;
    case 40:
      if (kind == kKindTypeName) {
        state = 41;
      } else if (kind == kKindOther) {
        state = 42;
      }
      return Step::kKeep;
    case 41:
      if (kind == kKindOther) state = 42;
      return Step::kKeep;
    case 42:
      if (semi) {
        WriteTypeName(lastKept);
        return Step::kFinish;
      }
      return Step::kKeep;
    case 102:
      if (open) {
        ++depth;
        state = 103;
      } else if (close) {
        if (Close()) state = 110;
      } else if (kind == kKindTypeName || kind == kKindOther) {
        tag = t;
        state = 120;
      }
      return Step::kKeep;
    case 103:
      if (open) {
        ++depth;
      } else if (close) {
        if (Close()) state = 110;
      } else if (kind == kKindOther) {
        enumerator = t;
        state = 105;
      }
      return Step::kKeep;
    case 105:
      if (t == ",") {
        EnumeratorWithCounter();
        state = 103;
      } else if (close) {
        EnumeratorWithCounter();
        --depth;
        state = 110;
      } else if (t == "=") {
        state = 108;
      }
      return Step::kKeep;
    case 108:
      // After the number the rest of the value (a suffix such as U, which
      // the lexer cuts off, or more of an expression) is passed over up to
      // "," or "}", so that it is not read as the next enumerator.
      if (kind == kKindDecimal) {
        WriteEnumerator(enumerator, t);
        counter = Successor(LeadingValue(t, 10));
      } else if (kind == kKindHex) {
        // The counter goes on after a hexadecimal value as after a decimal one.
        WriteEnumerator(enumerator, t);
        counter = Successor(LeadingValue(t, 16));
      }
      // A value that does not start with a number (a name, a sign, a
      // parenthesis, a cast) writes no line, and the counter stays.
      state = 109;
      return Step::kKeep;
    case 109:
      if (t == ",") {
        state = 103;
      } else if (close) {
        if (Close()) state = 110;
      }
      return Step::kKeep;
    case 110:
      if (kind == kKindOther) {
        WriteTypeName(t);
      } else if (semi) {
        return Step::kFinish;
      }
      return Step::kKeep;
    case 120:
      if (open) {
        WriteTypeName(tag);
        ++depth;
        state = 103;
        return Step::kKeep;
      }
      if (kind == kKindOther) {
        state = 121;
        return Step::kKeep;
      }
      return Step::kFinish;
    case 121:
      if (t == "(") WriteTypeName(tag);
      return Step::kFinish;
    case 150:
      if (kind == kKindOther || kind == kKindTypeName) {
        tag = t;
        state = 151;
      }
      return Step::kKeep;
    case 151:
      if (open) {
        WriteTypeName(tag);
        ++depth;
        state = 152;
        return Step::kKeep;
      }
      return Step::kFinish;
    case 152:
      return InBody(open, close, 153);
    case 153:
      return semi ? Step::kDrop : Step::kKeep;
  }
  return Step::kKeep;
}

// Up to its first ".": the base of the definition file.
std::string DefinitionBase(const std::string& fileName) {
  return fileName.substr(0, fileName.find('.'));
}

void ReadTypeDefinitions(TextFile& source, TypedefMachine& m) {
  PassReader reader(source, g_typedefPassTrace1);
  bool inComment = false;
  while (reader.FreshLine()) {
    m.state = 0;
    for (;;) {
      std::string token = reader.NextToken();
      // "\n" does not end a statement: it goes on with the next line.
      while (token == "\n") {
        std::optional<std::string> next = reader.ContinueStatement(false);
        if (!next) return;
        token = std::move(*next);
      }
      if (token.empty()) break;
      int kind = ClassifyTokenNoArrow(token);
      if (IsIgnoredAsComment(kind, inComment)) continue;
      Step step = m.Apply(token, kind);
      if (step == Step::kDrop) break;
      if (step == Step::kFinish) m.state = 0;
      if (step != Step::kNotKept) m.lastKept = token;
    }
  }
}

}  // namespace

void ExtractTypeDefinitions(std::string path) {
  TextFile source;
  TextFile typedefList;
  try {
    g_typedefPassTrace1 = "start";
    g_typedefPassTrace2 = "start";
    if (!OpenPassSource(source, path)) return;
    if (!typedefList.Open(WorkPath("Typedef.txt"), TextFile::Mode::Append)) {
      CurrentHost().MessageBox(kMsgTypedefListFailed, kCaptionEnd, MessageButtons::Ok);
      return;
    }
    const std::string fileName = LastComponent(path);
    SetStatusDetail(fileName);
    TypedefMachine machine(typedefList, WorkPath("DEF/" + DefinitionBase(fileName) + "_DEF_C.dat"));
    ReadTypeDefinitions(source, machine);
  } catch (...) {
    source.Close();
    typedefList.Close();
    AppendAnalyzeLogEntry(g_currentSourceFile, g_lineCounter, g_typedefPassTrace1,
                          kLogTypedefException);
  }
}

}  // namespace vandrel
