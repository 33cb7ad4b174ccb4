#include "analysis/control_spec.h"

#include "analysis/body_texts.h"
#include "analysis/control_spec_texts.h"
#include "platform/text_file.h"
#include "reader/lexer.h"
#include "reader/token_kind.h"
#include "run/analysis_log.h"
#include "run/run_state.h"
#include "run/work_folder.h"

namespace vandrel {

thread_local std::vector<std::string> g_specPieceTable(kSpecPieceSlots);
thread_local int g_specPieceCount = 0;

namespace {

std::vector<std::string> LabelTable() {
  std::vector<std::string> t(kDesignLabelSlots);
  for (int n = 0; n < 20; ++n) t[n] = std::to_string(n + 1);
  return t;
}

const std::string& Label(const std::vector<std::string>& table, int index) {
  static const std::string none;
  return index >= 0 && index < static_cast<int>(table.size()) ? table[index] : none;
}

constexpr size_t kLineBytes = 30000;
constexpr int kTokenLimit = 30000;

// Statement states; the number goes into the trace at every token.
enum State : int {
  kStart = 0,
  kDeclaration = 10,
  kParenStart = 25,  // "(" ... ")" then an assignment
  kAfterParen = 26,
  kExpression = 70,  // every token is a piece up to ";"
  kIfKeyword = 200,
  kCondition = 201,  // the tokens inside the outer parentheses are pieces
  kAfterCondition = 210,
  kElse = 220,
  kElseIf = 221,
  kWhileKeyword = 300,
  kForKeyword = 400,
  kForHeader = 410,
  kDo = 500,
  kSwitchKeyword = 600,
  kCase = 650,
  kDefault = 660,
  kDefaultRest = 661,
  kBreak = 700,
  kBreakRest = 701,
  kReturn = 750,
  kReturnRest = 751,
  kWaitSemicolon = 780,
  kOther = 900,
  kComment = 950,
  kPreprocessor = 1000,
};

bool IsAssignment(const std::string& tok, int kind) {
  return kind == kKindAssign || tok == "&=" || tok == "|=" || tok == ">>=" || tok == "<<=";
}

// What a statement gives, by its first tokens (the pieces after the tag):
//   type or qualifier ... ;          nothing
//   name, *, ++ or -- ... ;          [処理] and every token up to ";"
//   ( ... ) = ... ;                  [処理] from the assignment on ("(void)" starts anew)
//   if ( ... )   else if ( ... )     [条件 IF] / [条件 ELIF] and the tokens inside, up to "{" or ";"
//   else {                           [条件 ELSE] one level out
//   while ( ... )   for ( ... )      [繰返し] and the tokens inside / the whole header
//   switch ( ... ) {                 [ケース条件] and the tokens inside
//   case ... :   default :           [ケース] / [デフォルト] up to ":"
//   break ;   return ... ;           [ブレイク] one level deeper / [終了] up to ";"
//   do, {, }, ;, # line, /* ... */   nothing
struct SpecWriter {
  explicit SpecWriter(TextFile& f) : out(f) {}
  TextFile& out;
  int state = kStart;
  int tokenIndex = 0;
  int parens = 0;
  int depth = 0;
  int braces = 1;
  std::string previous;  // the token before the current one

  bool Full() {
    if (g_specPieceCount < kSpecPieceSlots) return false;
    AppendAnalyzeLogEntry(LogKind{kSpecPieceOver}, g_currentSourceFile, g_lineCounter, g_specPassTrace1,
                          kSpecPieceOver);
    return true;
  }
  void Piece(const std::string& piece) {
    if (!Full()) g_specPieceTable[g_specPieceCount++] = piece;
  }
  void Tag(const std::string& tag, int atDepth) {
    if (!Full()) SetDesignTAG(tag, atDepth, g_specPieceTable[g_specPieceCount++]);
  }
  void End() {
    if (g_specPieceCount != 0) {
      std::string line;
      for (int i = 0; i < g_specPieceCount; ++i) line += g_specPieceTable[i] + kIdeographicSpace;
      out.Write(line + "\n");
      g_specPieceCount = 0;
    }
    state = kStart;
    tokenIndex = 0;
    parens = 0;
  }
  // Enters a keyword's state; its "(" opens the condition at depth 1.
  void Keyword(State s) {
    parens = 0;
    state = s;
  }
  // After "if", "while", ... : "(" opens the condition.
  void OpenCondition(const std::string& tok, const std::string& tag, State next) {
    if (tok != "(") {
      state = kWaitSemicolon;
      return;
    }
    Tag(tag, depth);
    state = next;
  }
  // "break", "return", "default": pieces up to the end token, which is a
  // piece of its own when it follows at once.
  void UpTo(const std::string& tok, const char* end, bool first, State rest) {
    if (tok == end) {
      if (first) Piece(tok);
      return End();
    }
    Piece(tok);
    state = rest;
  }

  void Start(const std::string& tok, int kind) {
    if (kind == kKindQualifier || kind == kKindTypeName) {
      state = kDeclaration;
    } else if (tok == "if") {
      Keyword(kIfKeyword);
    } else if (tok == "else") {
      state = kElse;
    } else if (tok == "while") {
      Keyword(kWhileKeyword);
    } else if (tok == "for") {
      Keyword(kForKeyword);
    } else if (tok == "switch") {
      Keyword(kSwitchKeyword);
    } else if (tok == "case") {
      Tag(kTagCase, depth);
      state = kCase;
    } else if (tok == "default") {
      Tag(kTagDefault, depth);
      state = kDefault;
    } else if (tok == "break") {
      Tag(kTagBreak, depth + 1);
      state = kBreak;
    } else if (tok == "return") {
      Tag(kTagReturn, depth);
      state = kReturn;
    } else if (tok == "do") {
      state = kDo;
    } else if (tok == "{" || tok == "}" || tok == ";") {
      End();
    } else if (tok == "#") {
      state = kPreprocessor;
    } else if (kind == kKindCommentStart) {
      state = kComment;
    } else if (kind == kKindOther || tok == "*" || tok == "**" || kind == kKindIncrement ||
               kind == kKindDecrement) {
      Tag(kTagProcess, depth);
      Piece(tok);
      state = kExpression;
    } else if (tok == "(") {
      state = kParenStart;
    } else {
      state = kOther;
    }
  }

  void Feed(const std::string& tok, int kind) {
    switch (state) {
      case kStart: return Start(tok, kind);
      case kDeclaration:
      case kWaitSemicolon:
        if (tok == ";") End();
        return;
      case kParenStart:
        if (tok == ")" && parens == 0) state = previous == "void" ? kStart : kAfterParen;
        return;
      case kAfterParen:
        if (tok == ";") return End();
        if (IsAssignment(tok, kind)) {
          Tag(kTagProcess, depth);
          Piece(tok);
          state = kExpression;
        }
        return;
      case kExpression:
        if (tok == ";") return End();
        return Piece(tok);
      case kIfKeyword: return OpenCondition(tok, kTagIf, kCondition);
      case kElseIf: return OpenCondition(tok, kTagElseIf, kCondition);
      case kWhileKeyword: return OpenCondition(tok, kTagLoop, kCondition);
      case kSwitchKeyword: return OpenCondition(tok, kTagSwitch, kCondition);
      case kForKeyword:
        OpenCondition(tok, kTagLoop, kForHeader);
        if (state == kForHeader) Piece(tok);
        return;
      case kCondition:
        if (tok == ")" && parens == 0) {
          state = kAfterCondition;
          return;
        }
        return Piece(tok);
      case kForHeader:
        Piece(tok);
        if (tok == ")" && parens == 0) state = kAfterCondition;
        return;
      case kAfterCondition:
        if (tok == "{" || tok == ";") End();
        return;
      case kElse:
        if (tok == "if") {
          Keyword(kElseIf);
        } else if (tok == "{") {
          Tag(kTagElse, depth - 1);
          End();
        }
        return;
      case kCase:
        if (tok == ":") return End();
        return Piece(tok);
      case kDefault: return UpTo(tok, ":", true, kDefaultRest);
      case kDefaultRest: return UpTo(tok, ":", false, kDefaultRest);
      case kBreak: return UpTo(tok, ";", true, kBreakRest);
      case kBreakRest: return UpTo(tok, ";", false, kBreakRest);
      case kReturn: return UpTo(tok, ";", true, kReturnRest);
      case kReturnRest: return UpTo(tok, ";", false, kReturnRest);
      case kDo:
        if (tok == "{" || tok == "}") End();
        return;
      case kOther:
        if (tok == ";" || tok == "{" || tok == "}") End();
        return;
      case kComment:
        if (MbContains(tok, "*/")) End();
        return;
      default: return;  // a preprocessor line ends with its line
    }
  }
};

}  // namespace

const std::vector<std::string> g_designLevelTable = LabelTable();
const std::vector<std::string> g_designBranchTable = LabelTable();
thread_local int g_designElifCount = 0;

void SetDesignTAG(std::string tag, int depth, std::string& slot) {
  try {
    if (tag == kTagIf) {
      tag = kTagBranchOpen + Label(g_designLevelTable, depth) + "] ";
      g_designElifCount = 0;
    } else if (tag == kTagElseIf) {
      tag = kTagBranchOpen + Label(g_designLevelTable, depth) + "-" +
            Label(g_designBranchTable, g_designElifCount) + "] ";
      ++g_designElifCount;
    } else if (tag == kTagElse) {
      tag = kTagOtherwise;
      g_designElifCount = 0;
    }
    slot = std::string(depth + 1 > 0 ? depth + 1 : 0, '\t') + tag;
  } catch (...) {
    AppendAnalyzeLogEntry("SetDesignTAG", 0, kDesignTagException, "-");
  }
}

int WordAlsFuncltion_Als3(std::string path, std::string name) {
  LogGroup lines;  // one line per kind for the function
  g_specPassTrace1 = "start";
  g_specPassTrace2 = "start";
  g_designElifCount = 0;
  // Pieces that an unfinished statement of the last function left behind
  // belong to no line of this one.
  g_specPieceCount = 0;
  try {
    TextFile in, out;
    if (!IsUsableFileName(name) || !in.Open(path, TextFile::Mode::Read) ||
        !out.Open(WorkPath("SOURCE3/" + name), TextFile::Mode::Write))
      return 255;
    std::string raw;
    for (int i = 0; i < 3 && in.ReadLineRaw(raw, kLineBytes); ++i) {
      ++g_lineCounter;
      if (i == 2) g_specPassTrace1 = raw.substr(0, raw.find('\n'));
    }

    SpecWriter w(out);
    LineBuffer line("\n");  // the body begins with the line after the three
    std::string lastOnLine;
    int indentation = 0;
    for (;;) {
      if (w.tokenIndex > kTokenLimit) {
        AppendAnalyzeLogEntry(LogKind{kSpecTokenOver}, g_currentSourceFile, g_lineCounter, g_specPassTrace1,
                              kSpecTokenOver + g_specPassTrace2);
        w.tokenIndex = 0;
      }
      std::string tok = NextRawTokenAlt(line, indentation);
      while (tok == "\n") {
        if (w.state == kPreprocessor && lastOnLine != "\\") w.End();
        if (!in.ReadLineRaw(raw, kLineBytes)) return 1;
        ++g_lineCounter;
        line.Assign(raw);
        lastOnLine.clear();
        tok = NextRawTokenAlt(line, indentation);
      }
      if (tok.empty()) return 1;
      lastOnLine = tok;

      const int kind = ClassifyToken(tok);
      if (kind == kKindOpenParen) ++w.parens;
      if (kind == kKindCloseParen) --w.parens;
      if (kind == kKindOpenBrace) {
        ++w.depth;
        ++w.braces;
      }
      if (kind == kKindCloseBrace) {
        --w.depth;
        if (--w.braces == 0) return 1;
      }
      if (kind == kKindComment) continue;
      g_specPassTrace2 = std::to_string(w.state);
      w.Feed(tok, kind);
      w.previous = tok;
      ++w.tokenIndex;
    }
  } catch (...) {
    AppendAnalyzeLogEntry(g_currentSourceFile, g_lineCounter, g_specPassTrace1,
                          kSpecException + g_specPassTrace2);
    return 1;
  }
}

}  // namespace vandrel
