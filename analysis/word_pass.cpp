#include "analysis/word_pass.h"

#include <vector>

#include "analysis/body_texts.h"
#include "analysis/file_texts.h"
#include "analysis/function_body.h"
#include "analysis/pass_reader.h"
#include "platform/cp932.h"
#include "platform/host.h"
#include "platform/os_path.h"
#include "platform/text_file.h"
#include "prepro/texts.h"
#include "reader/string_table.h"
#include "reader/token_kind.h"
#include "run/analysis_log.h"
#include "run/run_state.h"
#include "run/texts.h"
#include "run/work_folder.h"

namespace vandrel {
namespace {

// Kept tokens of one statement; one more shows the memory message and
// drops the statement.
constexpr int kStatementSlots = 30000;

// What a row of the state table does with the token besides its state change.
enum class Step {
  kKeep,        // the token takes its slot
  kNotKept,     // the slot is reused by the next token
  kToSlot1,     // the next token goes to slot 1
  kDrop,        // the statement is abandoned, a fresh line started
  kGlobal,      // global declaration ends at this ";"
  kPrototype,   // prototype ends at this ";"
  kDefinition,  // function head ends at this "{"
};

bool IsStructOrUnion(const std::string& t) { return t == "struct" || t == "union"; }

// Text of a parameter declaration: its tokens each followed by a TAB, with
// the trailing blanks removed.
std::string ParameterText(const std::vector<std::string>& tokens, int from, int to) {
  std::string text;
  for (int i = from; i <= to; ++i) text += tokens[i] + "\t";
  size_t end = text.find_last_not_of(" \t\n\r\f\v");
  text.erase(end == std::string::npos ? 0 : end + 1);
  return text;
}

// The five files of one source file. F_ and the INF_ head are appended, so
// that a second file of the same name adds to the first one's lines.
struct WordFiles {
  TextFile declarations;  // F_<file>
  TextFile prototypes;    // FuncList_ProtType.txt
  TextFile heads;         // FuncList_Body.txt
  TextFile globals;       // ValList.txt
  std::string infoPath;   // FILEINFO/INF_<file>

  // The message of the file that failed, or "" when all are open.
  std::string Open(const std::string& fileName) {
    infoPath = WorkPath("FILEINFO/INF_" + fileName);
    if (!declarations.Open(WorkPath("F_" + fileName), TextFile::Mode::Append))
      return kMsgFileNotOpen;
    if (!prototypes.Open(WorkPath("FuncList_ProtType.txt"), TextFile::Mode::Append) ||
        !heads.Open(WorkPath("FuncList_Body.txt"), TextFile::Mode::Append))
      return kMsgFuncListNotOpened;
    if (!globals.Open(WorkPath("ValList.txt"), TextFile::Mode::Append)) return kMsgValListFailed;
    TextFile info;
    if (!info.Open(infoPath, TextFile::Mode::Append)) return kMsgFileInfoFailed;
    return "";
  }

  void Close() {
    declarations.Close();
    prototypes.Close();
    heads.Close();
    globals.Close();
  }

  // Opened for each piece and closed again; skipped when it cannot be opened.
  void AppendInfo(const std::string& text) const {
    TextFile info;
    if (!info.Open(infoPath, TextFile::Mode::Append)) return;
    info.Write(text);
    info.Close();
  }
};

struct WordMachine {
  std::vector<std::string> tokens = std::vector<std::string>(kStatementSlots);
  WalkState walk;
  // Per statement; reset with every fresh line.
  int state = 0;
  int slot = 0;
  int parenDepth = 0;
  int braceDepth = 0;
  int global = 0;
  int parameterStart = 0;
  int tagSlot = 0;
  // Define statements.
  bool defineMode = false;
  bool continuation = false;

  void FreshLine() { state = slot = parenDepth = braceDepth = global = 0; }

  void StartName() {
    walk.nameTokenIndex = slot;
    walk.argumentCount = 0;
    walk.arguments.clear();
  }

  // Slots 0 to the current one, joined by TABs.
  std::string StatementLine() const {
    std::string line = tokens[0];
    for (int i = 1; i <= slot; ++i) line += "\t" + tokens[i];
    return line;
  }

  // Slots before the current one ("{"), each followed by a TAB.
  std::string HeadLine() const {
    std::string line;
    for (int i = 0; i < slot; ++i) line += tokens[i] + "\t";
    return line;
  }

  Step Apply(const std::string& t, int kind);
};

Step WordMachine::Apply(const std::string& t, int kind) {
  const bool typeWord = kind == kKindQualifier || kind == kKindTypeName;
  const bool nameWord = kind == kKindOther;
  switch (state) {
    case 0:
      if (typeWord) {
        state = 1;
      } else if (t == "typedef") {
        state = 100;
      } else if (IsStructOrUnion(t)) {
        state = 150;
      } else if (t == "enum") {
        // stays
      } else if (nameWord) {
        state = 50;
      } else if (t == "#") {
        state = 200;
      } else {
        return Step::kDrop;
      }
      return Step::kKeep;
    case 1:
      if (typeWord || t == "*") return Step::kKeep;
      if (IsStructOrUnion(t)) {
        state = slot > 0 && tokens[slot - 1] == "static" ? 20 : 110;
        return Step::kKeep;
      }
      if (nameWord) {
        StartName();
        state = 2;
        return Step::kKeep;
      }
      return Step::kDrop;
    case 2:
      if (t == "(") {
        ++parenDepth;
        state = 3;
      } else if (t == "[") {
        state = 15;
      } else if (t == ";") {
        return Step::kGlobal;
      } else {
        return Step::kDrop;
      }
      return Step::kKeep;
    case 15:
      if (t == "]") state = 2;
      return Step::kKeep;
    case 3:
      if (t == "(") {
        ++parenDepth;
      } else if (t == ")") {
        if (--parenDepth < 1) state = 4;
      } else if (IsStructOrUnion(t) || t == "enum") {
        // stays
      } else if (typeWord || nameWord) {
        AddTypeName(t);
        parameterStart = slot;
        state = 10;
      }
      return Step::kKeep;
    case 10:
      if (t == ",") {
        state = 3;
      } else if (nameWord) {
        // Parameters beyond 30 are kept: the list grows.
        walk.arguments.push_back(ParameterText(tokens, parameterStart, slot));
        ++walk.argumentCount;
        state = 3;
      } else if (t == ")") {
        if (--parenDepth < 1) state = 4;
      }
      return Step::kKeep;
    case 4:
      if (t == "{") return Step::kDefinition;
      if (t == ";") return Step::kPrototype;
      return Step::kKeep;
    case 50:
      if (nameWord || kind == kKindTypeName) {
        StartName();
        state = 51;
        return Step::kKeep;
      }
      if (kind == kKindQualifier) return Step::kKeep;
      state = 0;
      return Step::kToSlot1;
    case 51:
      // The word two slots back is the return type.
      if (t == "(") {
        ++parenDepth;
        AddTypeName(tokens[slot - 2]);
        state = 3;
        return Step::kKeep;
      }
      if (t == ";") {
        AddTypeName(tokens[slot - 2]);
        return Step::kGlobal;
      }
      return Step::kDrop;
    case 20:
      if (kind == kKindTypeName) {
        state = 21;
      } else if (nameWord) {
        AddTypeName(t);
        state = 21;
      } else if (t == "{") {
        state = 24;
      } else if (t == ";") {
        return Step::kGlobal;
      } else {
        return Step::kDrop;
      }
      return Step::kKeep;
    case 21:
      if (nameWord) {
        state = 22;
      } else if (t == "{") {
        state = 27;
      } else {
        return Step::kDrop;
      }
      return Step::kKeep;
    case 22:
    case 26:
      return t == ";" ? Step::kGlobal : Step::kDrop;
    case 24:
      if (t == "}" && braceDepth <= 0) state = 25;
      return Step::kKeep;
    case 25:
      if (!nameWord) return Step::kDrop;
      state = 26;
      return Step::kKeep;
    case 27:
      if (t == "}" && braceDepth <= 0) state = 28;
      return Step::kKeep;
    case 28:
      if (!nameWord) return Step::kDrop;
      AddTypeName(t);
      state = 29;
      return Step::kKeep;
    case 29:
      return Step::kDrop;
    case 100:
      if (IsStructOrUnion(t) || t == "enum") {
        state = 110;
      } else if (kind == kKindTypeName) {
        state = 115;
      } else {
        return Step::kDrop;
      }
      return Step::kKeep;
    case 110:
      if (t == "{") {
        state = 111;
      } else if (t == "}" && braceDepth < 1) {
        state = 116;
      } else if (kind == kKindTypeName) {
        state = 120;
      } else if (nameWord) {
        AddTypeName(t);
        state = 112;
      }
      return Step::kKeep;
    case 111:
      if (t == "}" && braceDepth < 1) {
        state = 112;
        return Step::kKeep;
      }
      return Step::kNotKept;
    case 112:
      if (nameWord || kind == kKindTypeName) {
        state = 113;
      } else if (t == "{") {
        state = 111;
      }
      return Step::kKeep;
    case 113:
    case 121:
      if (t == ";") {
        AddTypeName(tokens[slot - 1]);
        return Step::kDrop;
      }
      return Step::kKeep;
    case 115:
      if (nameWord) {
        AddTypeName(t);
        state = 116;
      } else if (kind == kKindTypeName) {
        state = 116;
      }
      return Step::kKeep;
    case 116:
      return t == ";" ? Step::kDrop : Step::kKeep;
    case 120:
      if (nameWord || kind == kKindTypeName) state = 121;
      return Step::kKeep;
    case 150:
      if (nameWord || kind == kKindTypeName) {
        tagSlot = slot;
        state = 151;
      }
      return Step::kKeep;
    case 151:
      if (t == "{") {
        AddTypeName(tokens[tagSlot]);
        state = 152;
        return Step::kKeep;
      }
      state = 0;
      return Step::kToSlot1;
    case 152:
      if (t == "}" && braceDepth <= 0) state = 153;
      return Step::kToSlot1;
    case 153:
      return t == ";" ? Step::kDrop : Step::kKeep;
    case 200:
      if (t != "define") return Step::kDrop;
      defineMode = true;
      state = 201;
      return Step::kKeep;
    case 201:
      if (t == "\\") continuation = true;
      return Step::kKeep;
  }
  return Step::kKeep;
}

class WordPass {
 public:
  WordPass(TextFile& source, WordFiles& files, const std::string& path)
      : source_(source), files_(files), reader_(source, g_wordPassTrace1) {
    m_.walk.sourcePath = path;
    m_.walk.fileName = LastComponent(path);
    m_.walk.folderName = MbUpper(LastComponent(ParentFolder(path)));
  }

  void WriteInfoHead() const {
    files_.AppendInfo("[DOM]\n" + m_.walk.folderName + "\n[FILENAME]\n" + m_.walk.fileName + "\n");
  }

  void Run() {
    while (reader_.FreshLine()) {
      m_.FreshLine();
      if (!ReadStatement()) return;
    }
  }

  const std::string& FileName() const { return m_.walk.fileName; }

 private:
  static std::string ParentFolder(const std::string& path) {
    std::string p = StripTrailingSeparators(path);
    return p.substr(0, p.size() - LastComponent(p).size());
  }

  // Reads tokens up to the end of the statement or of the line; false at the
  // end of the file.
  bool ReadStatement() {
    for (;;) {
      if (m_.slot >= kStatementSlots) {
        AppendAnalyzeLogEntry(LogKind{kLogMemoryOverWordPass}, g_currentSourceFile, g_lineCounter,
                              g_wordPassTrace1, kLogMemoryOverWordPass + std::to_string(m_.state));
        CurrentHost().MessageBox(kMsgMemoryOver, kCaptionEnd, MessageButtons::Ok);
        return true;
      }
      std::string token = reader_.NextToken();
      if (token.empty()) return true;
      if (token == "\n") {
        if (m_.defineMode && !m_.continuation) {
          m_.defineMode = false;
          m_.state = m_.slot = 0;
        } else if (m_.continuation) {
          m_.continuation = false;
        }
        std::optional<std::string> next = reader_.ContinueStatement(true);
        if (!next) return false;
        token = std::move(*next);
      }
      m_.tokens[m_.slot] = token;
      int kind = ClassifyToken(token);
      if (IsIgnoredAsComment(kind, inComment_)) continue;
      if (token == "{") ++m_.braceDepth;
      if (token == "}") --m_.braceDepth;
      g_wordPassTrace2 = std::to_string(m_.state);
      switch (m_.Apply(token, kind)) {
        case Step::kKeep: ++m_.slot; break;
        case Step::kNotKept: break;
        case Step::kToSlot1: m_.slot = 1; break;
        case Step::kDrop: return true;
        case Step::kGlobal: EndGlobal(); return true;
        case Step::kPrototype: EndPrototype(); return true;
        case Step::kDefinition: EndDefinition(); return true;
      }
    }
  }

  void EndGlobal() {
    m_.global = 1;
    std::string line = m_.StatementLine() + "\n";
    files_.declarations.Write(line);
    if (line.find("extern") == std::string::npos) files_.globals.Write(line);
  }

  void EndPrototype() {
    std::string line = m_.StatementLine() + "\n";
    files_.declarations.Write(line);
    files_.prototypes.Write(line);
  }

  void EndDefinition() {
    m_.walk.bodyOpen = 1;
    m_.walk.headLastTokenIndex = m_.slot;
    files_.AppendInfo("[FUNCNAME]\n" + m_.tokens[m_.walk.nameTokenIndex] + "\n");
    files_.heads.Write(m_.HeadLine() + "\n");
    AnalyzeFunctionBody(source_, m_.tokens, reader_.Line(), m_.walk.sourcePath, m_.walk);
  }

  TextFile& source_;
  WordFiles& files_;
  PassReader reader_;
  WordMachine m_;
  bool inComment_ = false;
};

}  // namespace

void WordAlsFuncltion(std::string path) {
  LogGroup lines;  // one line per kind for the file (its functions keep their own)
  TextFile source;
  WordFiles files;
  try {
    g_wordPassTrace1 = "start";
    g_wordPassTrace2 = "start";
    if (!OpenPassSource(source, path)) return;
    WordPass pass(source, files, path);
    if (std::string failed = files.Open(pass.FileName()); !failed.empty()) {
      files.Close();
      source.Close();
      CurrentHost().MessageBox(failed + path, kCaptionEnd, MessageButtons::Ok);
      return;
    }
    pass.WriteInfoHead();
    pass.Run();
  } catch (...) {
    files.Close();
    source.Close();
    AppendAnalyzeLogEntry(g_currentSourceFile, g_lineCounter, g_wordPassTrace1,
                          kLogWordPassException + g_wordPassTrace2);
  }
}

}  // namespace vandrel
