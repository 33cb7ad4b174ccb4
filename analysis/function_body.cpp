// AnalyzeFunctionBody: the token loop over one function body and the
// statement states below 100 (statement starts, declarations, local struct
// bodies and statements that begin with a name).
#include "analysis/function_body.h"

#include <limits>

#include "analysis/access_setters.h"
#include "analysis/body_texts.h"
#include "analysis/function_body_states.h"
#include "analysis/function_outputs.h"
#include "platform/file_ops.h"
#include "platform/html_text.h"
#include "reader/string_table.h"
#include "reader/token_kind.h"
#include "run/analysis_log.h"
#include "run/run_state.h"
#include "run/work_folder.h"

namespace vandrel {
namespace {

constexpr int kStatementTokenLimit = 30000;
// Body lines are read whole: a line cut at a buffer size would end the body
// at the cut (its piece has no line end, so the lexer gives the empty token).
constexpr size_t kWholeLine = std::numeric_limits<size_t>::max() / 2;

bool IsUsedNameKind(int kind) {
  return kind == kKindAssign || kind == kKindIncrement || kind == kKindDecrement ||
         kind == kKindComparison || kind == kKindOperator;
}

// One call: the body from the caller's line and file up to its closing brace.
class BodyRun {
 public:
  BodyRun(TextFile& source, const std::vector<std::string>& head, LineBuffer& line,
          const std::string& sourcePath, const WalkState& state)
      : source_(source), head_(head), line_(line), sourcePath_(sourcePath), walk_(state) {}

  int Analyze();
  // Reads the rest of the body without analysing it.
  void Skip();

 private:
  // The next line of the body; false at the end of the file.
  bool ReadLine(bool counted);
  // The first token of the next line that is not empty; false at the end of
  // the file (the token is then left as it was).
  bool NextLineToken(std::string& token, int& indent);
  void TokenLoop();

  TextFile& source_;
  const std::vector<std::string>& head_;
  LineBuffer& line_;
  const std::string& sourcePath_;
  const WalkState& walk_;

  FunctionFiles files_;
  BodyMachine machine_;
  LineCounts counts_;
  int braceDepth_ = 1;
  int commentOpen_ = 0;
  bool firstOnLine_ = false;
};

bool BodyRun::ReadLine(bool counted) {
  std::string text;
  if (!source_.ReadLineRaw(text, kWholeLine)) return false;
  ++g_lineCounter;
  if (counted) {
    g_functionPassTrace1 = text;
    g_wordPassTrace1 = text;
    ++counts_.lines;
    machine_.lineIsNew = 1;
    if (commentOpen_) ++counts_.comments;
  }
  line_.Assign(std::move(text));
  return true;
}

bool BodyRun::NextLineToken(std::string& token, int& indent) {
  for (;;) {
    if (!ReadLine(true)) return false;
    indent = 0;
    token = NextRawTokenAlt(line_, indent);
    firstOnLine_ = true;
    if (token != "\n") return true;
    files_.page.Write(kPageLineBreak);  // an empty line
  }
}

int BodyRun::Analyze() {
  g_unityValCount = 0;
  g_usedNameCount = 0;  // what an interrupted body left belongs to no file
  g_functionPassTrace1 = g_functionPassTrace2 = "start";
  const std::string& name = head_.at(static_cast<size_t>(walk_.nameTokenIndex));
  bool duplicate = PathExists(WorkPath("func_als/" + name));
  if (!IsUsableFileName(name) || !files_.Open(name)) {
    Skip();
    return 255;
  }
  if (duplicate) AppendAnalyzeLog(name, kLogDuplicateFunction + sourcePath_ + "\n");
  files_.WriteHeads(head_, walk_.headLastTokenIndex);
  g_functionPassTrace1 = line_.Text();
  files_.WriteRecordHead(walk_, name);

  machine_.files = &files_;
  machine_.line = &line_;
  machine_.Reset();
  TokenLoop();

  files_.FlushUsedNames();
  files_.WriteResultSections(machine_.rows);
  AppendFunctionCounts(walk_.fileName, counts_);
  files_.Finish();
  return 1;
}

void BodyRun::TokenLoop() {
  BodyMachine& m = machine_;
  std::string token;
  for (;;) {
    if (m.index >= kStatementTokenLimit) {
      AppendAnalyzeLogEntry(LogKind{kMsgMemoryOver}, g_currentSourceFile, g_lineCounter, g_wordPassTrace1,
                            kMsgMemoryOver + g_wordPassTrace2);
      m.index = 0;
    }
    int indent = 0;
    token = NextRawTokenAlt(line_, indent);
    if (token.empty()) return;
    if (token == "\n") {
      files_.page.Write(kPageLineBreak);
      files_.source.Write("\n");
      if (m.state >= 1000 && m.At(m.index - 1) != "\\") m.Reset();
      // At the end of the file the "\n" itself goes on; the next token,
      // empty, then ends the body.
      if (NextLineToken(token, indent) && token.empty()) return;
    }
    m.Put(token);
    int kind = ClassifyToken(token);

    if (kind == kKindOpenBrace) {
      ++braceDepth_;
    } else if (kind == kKindCloseBrace) {
      if (--braceDepth_ == 0) return;
    } else if (kind == kKindComment) {
      ++counts_.comments;
      commentOpen_ = 0;
      files_.page.Write(kPageCommentOpen + EscapeHtml(token) + kPageCommentClose);
      files_.source.Write(token);
      continue;  // not fed; its slot is reused
    } else if (kind == kKindCommentStart) {
      ++counts_.comments;
      commentOpen_ = 1;
      files_.page.Write(kPageCommentOpen);
    } else if (kind == kKindCommentEnd) {
      commentOpen_ = 0;
      files_.page.Write(kPageCommentClose);
    } else if (kind != kKindBackslash && m.lineIsNew) {
      ++counts_.validLines;
      m.lineIsNew = 0;
    }

    if (firstOnLine_) {
      if (token != "#") files_.page.Write(IndentFor(braceDepth_));
      firstOnLine_ = false;
    } else if (indent != 0) {
      files_.page.Write(kIdeographicSpace);
    }
    if (indent != 0) files_.source.Write(" ");
    files_.page.Write(EscapeHtml(token));
    files_.source.Write(token);
    if (IsUsedNameKind(kind)) AddUsedName(token);

    g_functionPassTrace2 = std::to_string(m.state);
    g_wordPassTrace2 = g_functionPassTrace2;
    m.Feed(token, kind);
    ++m.index;
  }
}

void BodyRun::Skip() {
  for (;;) {
    int indent = 0;
    std::string token = NextRawTokenAlt(line_, indent);
    if (token.empty()) return;
    if (token == "\n") {
      if (!ReadLine(false)) return;
      continue;
    }
    int kind = ClassifyToken(token);
    if (kind == kKindOpenBrace) ++braceDepth_;
    if (kind == kKindCloseBrace && --braceDepth_ == 0) return;
  }
}

}  // namespace

void BodyMachine::FeedStatementStates(const std::string& t, int kind) {
  switch (state) {
    case 0:  // statement start
      if (kind == kKindQualifier || kind == kKindTypeName) {
        typeStart = index;
        state = 10;
      } else if (t == "union" || t == "struct") {
        structKind = t == "union" ? 2 : 1;
        state = 15;
      } else if (t == "enum" || t == "break" || t == "\\") {
      } else if (kind == kKindOther) {
        anchor = index;
        state = 70;
      } else if (t == "*" || t == "**") {
        anchor = index;
        state = 40;
      } else if (t == "++" || t == "--") {
        state = 30;
      } else if (t == "(") {
        ++parenDepth;
        state = 25;
      } else if (t == "if") {
        parenDepth = 0;
        state = 200;
      } else if (t == "while") {
        state = 300;
      } else if (t == "for") {
        state = 400;
      } else if (t == "do") {
        state = 500;
      } else if (t == "switch") {
        state = 600;
      } else if (t == "case" || t == "default") {
        state = 650;
      } else if (t == "return") {
        parenDepth = 0;
        state = 750;
      } else if (t == "continue") {
        state = 800;
      } else if (t == "else" || t == "{" || t == "}" || t == ";") {
        Reset();
      } else if (t == "#") {
        state = 1000;
      } else if (t.find("/*") != std::string::npos) {
        state = 950;
      } else {
        state = 900;
      }
      break;

    // Declarations: type, names, initialisers.
    case 10:
    case 11:  // next declarator: the type span stays
      if (kind == kKindOther) {
        if (state == 10) typeEnd = index - 1;
        anchor = index;
      } else if (t == ";") {
        Temporary();
        Reset();
      } else if (t == ",") {
        Temporary();
        state = 11;
      } else if (t == "=") {
        Temporary();
        anchor = 0;
        state = 12;
      }
      break;
    case 12:  // initialiser
      if (kind == kKindOther) {
        anchor = index;
      } else if (t == "," || t == ";") {
        if (anchor != 0) Read(anchor, index - 1);
        if (t == ";")
          Reset();
        else
          state = 11;
      }
      break;

    // Local struct and union bodies: the members are temporaries.
    case 15:
      if (t == "{") {
        ++braceCount;
        state = 16;
      }
      break;
    case 16:
      if (kind == kKindQualifier || kind == kKindTypeName) {
        typeStart = index;
        state = 17;
      } else if (t == "{") {
        ++braceCount;
      } else if (t == "}") {
        if (--braceCount == 0) state = 18;
      }
      break;
    case 17:  // a member
      if (kind == kKindOther) {
        typeEnd = index - 1;
        anchor = index;
      } else if (t == "{") {
        ++braceCount;
      } else if (t == "}") {
        --braceCount;
      } else if (t == ";") {
        tokens[typeStart] = (structKind == 2 ? "union " : "struct ") + tokens[typeStart];
        Temporary();
        state = 16;
      }
      break;
    case 18:  // after the body
      if (kind == kKindOther) state = 19;
      break;

    // "(" at a statement start.
    case 25:
      if (t == "(") {
        ++parenDepth;
      } else if (t == ")") {
        if (--parenDepth == 0) state = At(index - 1) == "void" ? 0 : 26;
      } else if (kind == kKindOther) {
        anchor = index;
      }
      break;
    case 26:  // "(...)" then "=": a write through the expression
    case 42:  // "*name" or "*(...)" then "=": a write through the pointer
      if (t == "=") {
        Write(anchor, AssignedSpanEnd());
        state = 100;
      }
      break;

    // "++" or "--" at a statement start.
    case 30:
      if (kind == kKindOther) {
        anchor = index;
        state = 31;
      }
      break;
    case 31:
      if (t == ";") {
        Write(anchor, index - 1);
        Reset();
      } else if (kind == kKindAssign) {
        Write(anchor, AssignedSpanEnd());
        state = 100;
      }
      break;

    // "*" at a statement start.
    case 40:
      if (kind == kKindOther) {
        state = 42;
      } else if (t == "(") {
        ++parenDepth;
        state = 41;
      }
      break;
    case 41:
      if (t == "(") {
        ++parenDepth;
      } else if (t == ")") {
        if (--parenDepth == 0) state = 42;
      }
      break;

    // Statements that begin with a name; the anchor is the name.
    case 70:
      if (t == "(") {
        ++parenDepth;
        state = 80;
      } else if (t == "=" || t == "+=" || t == "-=" || t == ">>=" || t == "<<=" || t == "|=" ||
                 t == "&=") {
        Write(anchor, AssignedSpanEnd());
        state = 100;
      } else if (t == "++" || t == "--") {
        Write(anchor, index - 1);
        state = 71;
      } else if (t == "[") {
        subAnchor = 0;
        state = 75;
      } else if (t == "." || t == "->") {
        state = 73;
      } else if (t == ":") {
        Reset();  // a label
      } else if (t == ";") {
        Read(anchor, index - 1);
        state = 0;
      } else if (kind == kKindOther) {
        typeStart = anchor;  // two names: a declaration with an unknown type
        typeEnd = index - 1;
        anchor = index;
        state = 77;
      }
      break;
    case 71:  // after x++
      if (t == "=") state = 100;
      break;
    case 73:  // a member: the chain stays one span
      if (kind == kKindOther) state = 70;
      break;
    case 75:
      FeedSubscript(t, kind, subAnchor, 70, 76);
      break;
    case 76:
      if (t == "]") FeedSubscript(t, kind, subAnchor, 75, 0);
      break;
    case 77:  // two names
      if (t == "=") {
        Temporary();
        state = 100;
      } else if (t == ";") {
        AddTypeName(At(typeStart));
        Temporary();
        Reset();
      }
      break;

    // A call statement.
    case 80:
      FeedCall(t, kind, parenDepth, 82, 81);
      break;
    case 82:  // an argument
      FeedArgument(t, parenDepth, 80, 81);
      break;
    default:  // 19 and 81 wait for ";"
      break;
  }
}

int AnalyzeFunctionBody(TextFile& source, std::vector<std::string>& headTokens, LineBuffer& line,
                        std::string sourcePath, WalkState state) {
  LogGroup lines;  // one line per kind for the function
  BodyRun run(source, headTokens, line, sourcePath, state);
  try {
    return run.Analyze();
  } catch (...) {
    AppendAnalyzeLogEntry(g_currentSourceFile, g_lineCounter, g_functionPassTrace1,
                          kMsgBodyException + g_functionPassTrace2);
  }
  try {
    run.Skip();  // the word pass goes on after the body
  } catch (...) {
  }
  return 1;
}

}  // namespace vandrel
