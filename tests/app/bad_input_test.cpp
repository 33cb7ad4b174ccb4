// Whole analysis runs over source trees that real users have: broken or
// foreign text, odd structure, odd names, link loops, unreadable files, a
// source folder that goes away and a full disk. Every run must end, say what
// it met, and change nothing but the work folder, the log and its result
// folder.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <sstream>

#include "app/batch_run.h"
#include "commands/analyse_command.h"
#include "commands/command_fixture.h"
#include "commands/design_command.h"
#include "platform/cp932.h"
#include "platform/os_path.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::Sj;
using test::WriteBytes;

// A function that every fixture ends with, so that a run shows it went on.
const std::string kLastFunction = "int last(void)\r\n{\r\n  return 0;\r\n}\r\n";

class BadInputTest : public test::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    fs::create_directories("src");
    fs::create_directories("out");
  }
  void TearDown() override {
    JoinAnalysisWorker();
    TempDirTest::TearDown();
  }

  // The source tree as it stands: every path with its bytes (a link with its
  // target), links not followed.
  static std::map<std::string, std::string> Tree(const fs::path& root) {
    std::map<std::string, std::string> tree;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
      const fs::path& p = it->path();
      std::string content;
      if (it->is_symlink())
        content = "-> " + fs::read_symlink(p).string();
      else if (it->is_regular_file())
        content = ReadBytes(p);
      else
        content = it->is_directory() ? "<dir>" : "<special>";
      tree[p.string()] = content;
    }
    return tree;
  }

  AnalyseResult Analyse() {
    const auto before = Tree("src");
    AnalyseResult r = OnAnalyse(AnalyseRequest{"src", "out", 1, false}, view);
    JoinAnalysisWorker();
    ExpectOnlyRunOutputsChanged(before);
    return r;
  }

  // Nothing but the work folder, the log, the lock file and one result
  // folder are new, and the sources are as they were.
  void ExpectOnlyRunOutputsChanged(const std::map<std::string, std::string>& sourcesBefore) {
    EXPECT_EQ(Tree("src"), sourcesBefore);
    const std::set<std::string> allowed = {"src",        "out",           "vcwk012345", "AnalyzeLog.txt",
                                           "stderr.txt", ".vandrel.lock"};
    for (const auto& e : fs::directory_iterator("."))
      EXPECT_TRUE(allowed.count(e.path().filename().string())) << e.path();
    EXPECT_LE(std::distance(fs::directory_iterator("out"), fs::directory_iterator()), 1);
  }

  static std::string Log() { return ToUtf8(ReadBytes("AnalyzeLog.txt")); }

  // The names of the final per-function records.
  static std::set<std::string> Records() {
    std::set<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator("vcwk012345/FunctionList4", ec))
      names.insert(FromOsName(e.path().filename().string()));
    return names;
  }

  // Every path of the preprocessed tree.
  static std::set<std::string> Mirrored() {
    std::set<std::string> paths;
    for (const auto& e : fs::recursive_directory_iterator("vcwk012345/DEF/src")) paths.insert(e.path().string());
    return paths;
  }

  test::RecordingHost host;
  test::TestView view{host};
};

TEST_F(BadInputTest, ABinaryFileNamedDotCIsLeftOutWithOneLogLineAndNoBoxes) {
  std::mt19937 random(11);
  std::string bytes;
  for (int i = 0; i < 20000; ++i) bytes += static_cast<char>(random() & 0xFF);
  bytes[100] = '\0';
  WriteBytes("src/bin.c", bytes);
  WriteBytes("src/main.c", kLastFunction);
  AnalyseResult r = Analyse();
  EXPECT_EQ(r.outcome, AnalyseOutcome::Completed);
  EXPECT_TRUE(host.BoxTexts() == std::vector<std::string>{Sj("解析完了 結果を起動します")})
      << host.boxes.size() << " boxes";
  EXPECT_NE(Log().find("プリプロ解析 bin : バイナリファイル 解析対象外 src/bin.c\r\n"), std::string::npos);
  EXPECT_FALSE(fs::exists("vcwk012345/DEF/src/bin.c"));
  EXPECT_EQ(Records(), std::set<std::string>{"last"});
}

// Text the analysis goes on with: one preprocessor line names the file and
// the line, and the functions around the fault are still found.
TEST_F(BadInputTest, TextFaultsAreNamedByFileAndLineAndTheRunGoesOn) {
  const std::string longLine = "int wide = 1" + std::string(100000 - 13, ' ') + ";";
  struct Case {
    const char* what;
    std::string source;
    std::string logLine;  // "" for none
    std::set<std::string> records;
  } cases[] = {
      {"broken double-byte character", "int g;\r\n/* ok */ int \x82 bad;\r\n" + kLastFunction,
       "2バイト文字異常 src/a.c:2", {"last"}},
      {"UTF-8 text", "/* \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E */\r\nint g;\r\n" + kLastFunction,
       "UTF-8のファイル Shift-JISとして解析 src/a.c", {"last"}},
      {"a line of 100,000 bytes", "int g;\r\n" + longLine + "\r\n" + kLastFunction,
       "1999バイトを超える行 分割して解析 src/a.c:2", {"last"}},
      {"a brace that never closes",
       "int f(void)\r\n{\r\n  if (f) {\r\n    return 1;\r\n}\r\n" + kLastFunction, "閉じない { src/a.c:2",
       {"f"}},
      {"a brace too many", "int f(void)\r\n{\r\n  return 1;\r\n}\r\n}\r\n" + kLastFunction,
       "対応のない } src/a.c:5", {"f", "last"}},
      {"a parenthesis that never closes", "int f(void)\r\n{\r\n  return (1;\r\n}\r\n" + kLastFunction,
       "閉じない ( src/a.c:3", {"f", "last"}},
      {"a parenthesis too many", "int f(void)\r\n{\r\n  return 1);\r\n}\r\n" + kLastFunction,
       "対応のない ) src/a.c:3", {"f", "last"}},
      {"a comment that never ends", "int f(void)\r\n{\r\n  return 1;\r\n}\r\n/* open\r\n" + kLastFunction,
       "閉じないコメント src/a.c:5", {"f"}},
      {"a literal that never ends",
       "char *s = \"open;\r\nint f(void)\r\n{\r\n  return 'x;\r\n}\r\n" + kLastFunction,
       "閉じないリテラル src/a.c:1 ほか1行", {"f", "last"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all("out");
    fs::create_directories("out");
    WriteBytes("src/a.c", c.source);
    AnalyseResult r = Analyse();
    EXPECT_EQ(r.outcome, AnalyseOutcome::Completed);
    EXPECT_NE(Log().find("プリプロ解析 a : " + c.logLine + "\r\n"), std::string::npos) << Log();
    EXPECT_EQ(Records(), c.records);
    // The preprocessed copy keeps the bytes (a long line as it was).
    EXPECT_EQ(ReadBytes("vcwk012345/DEF/src/a.c"), c.source);
  }
}

TEST_F(BadInputTest, AnIncludeCycleIsCutWithALogLine) {
  WriteBytes("src/a.c", "#include \"a.h\"\r\n" + kLastFunction);
  WriteBytes("src/a.h", "#include \"b.h\"\r\nint x;\r\n");
  WriteBytes("src/b.h", "#include \"a.h\"\r\nint y;\r\n");
  EXPECT_EQ(Analyse().outcome, AnalyseOutcome::Completed);
  EXPECT_NE(Log().find("プリプロ解析 a : インクルード循環 src/a.h\r\n"), std::string::npos) << Log();
  EXPECT_EQ(Records(), std::set<std::string>{"last"});
}

// The log holds one line per kind of line and file (per function for a
// function's own lines): the first, with how many more lines had it.
TEST_F(BadInputTest, EachKindOfLogLineIsWrittenOncePerFileWithTheCountOfTheOthers) {
  std::string selfIncludes;
  for (int i = 0; i < 800; ++i) selfIncludes += "#include \"self.h\"\r\n";
  std::string ones = " 1";
  for (int i = 0; i < 600; ++i) ones += "+1";  // more tokens than the array holds, on a line
  auto statements = [](int n) {
    std::string body;
    for (int i = 0; i < n; ++i) body += "  g_a = g_b;\r\n";
    return body;
  };
  const std::string longName(300, 'v');
  auto longNamed = [&](int files) {
    std::map<std::string, std::string> tree;
    for (int i = 0; i < files; ++i)
      tree["a" + std::to_string(i) + ".c"] = "int " + longName + ";\r\nint f" + std::to_string(i) +
                                              "(void)\r\n{\r\n  " + longName + " = 1;\r\n  return 0;\r\n}\r\n";
    return tree;
  };
  struct Case {
    const char* what;
    std::map<std::string, std::string> files;
    std::vector<std::string> lines;  // the log's lines but the steps'
  } cases[] = {
      // Below the first self.h, a second one whose 800 includes are cut;
      // then the first one's 799 more. self.h is a file of the tree too.
      {"a header that includes itself 800 times",
       {{"a.c", "#include \"self.h\"\r\n" + kLastFunction}, {"self.h", selfIncludes}},
       {"プリプロ解析 a : インクルード循環 src/self.h ほか1598行",
        "プリプロ解析 self : インクルード循環 src/self.h ほか1598行"}},
      {"definitions too long for the token array, two in one file",
       {{"a.c", "#define BIG1" + ones + "\r\n#define BIG2" + ones + "\r\n" + kLastFunction},
        {"b.c", "#define BIG3" + ones + "\r\n"}},
       {"プリプロ解析 a : トークン配列OVER  BIG1" + ones + " ほか1行", "プリプロ解析 b : トークン配列OVER  BIG3" + ones}},
      {"a binary header included three times",
       {{"a.c", "#include \"bin.h\"\r\n#include \"bin.h\"\r\n#include \"bin.h\"\r\n" + kLastFunction},
        {"bin.h", std::string("int\0x;\r\n", 8)}},
       {"プリプロ解析 a : バイナリファイル 解析対象外 src/bin.h ほか2行",
        "プリプロ解析 bin : バイナリファイル 解析対象外 src/bin.h"}},
      // A write is logged from the 2000th access on, a read once 5000 are
      // stored: in 50,000 statements of a write and a read, 49,000 writes and
      // 47,500 reads; in 3,000, 2,000 and 500.
      {"functions of 50,000 and 3,000 statements, each with more accesses than a function keeps",
       {{"a.c", "int g_a;\r\nint g_b;\r\nvoid big(void)\r\n{\r\n" + statements(50000) + "}\r\n" +
                    "void small(void)\r\n{\r\n" + statements(3000) + "}\r\n"}},
       {"SetWValList : 0 : UNITY VAL 配列OVER : - ほか48999行", "SetRValList : 0 : UNITY VAL 配列OVER : - ほか47499行",
        "SetWValList : 0 : UNITY VAL 配列OVER : - ほか1999行", "SetRValList : 0 : UNITY VAL 配列OVER : - ほか499行"}},
      // The access lists meet it once per declaration, the report twice.
      {"a global whose name cannot be a file name, declared in five files", longNamed(5),
       {"プログラム解析 [" + longName + "] : NOT A FILE NAME ほか4行",
        "プログラム解析 [" + longName + "] : NOT A FILE NAME ほか9行"}},
  };
  const std::regex stepLine(".* : \\d\\d\\.\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all("src");
    fs::remove_all("out");
    fs::create_directories("src");
    fs::create_directories("out");
    for (const auto& [name, text] : c.files) WriteBytes("src/" + name, text);
    EXPECT_EQ(Analyse().outcome, AnalyseOutcome::Completed);
    std::vector<std::string> lines;
    std::istringstream log(Log());
    for (std::string line; std::getline(log, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!std::regex_match(line, stepLine)) lines.push_back(line);
    }
    EXPECT_EQ(lines, c.lines);
  }
}

// Every include line of a header that includes itself is read once or
// twice, however many there are: 800 took 40 s when each was read again.
TEST_F(BadInputTest, AHeaderThatIncludesItselfIsCutInTimeLinearInItsIncludes) {
  std::string selfIncludes;
  for (int i = 0; i < 800; ++i) selfIncludes += "#include \"self.h\"\r\n";
  WriteBytes("src/self.h", selfIncludes);
  WriteBytes("src/a.c", "#include \"self.h\"\r\n" + kLastFunction);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Analyse().outcome, AnalyseOutcome::Completed);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  EXPECT_LT(took.count(), 10.0);
  // self.h's copy below a.c holds it twice, the one below itself once.
  EXPECT_EQ(ReadBytes("vcwk012345/DEF/TMP/self.h").size(), 3 * selfIncludes.size());
}

TEST_F(BadInputTest, TwoHundredNestedIfBlocksArePreprocessedWhole) {
  std::string on, off;
  for (int i = 0; i < 200; ++i) {
    on += i % 2 ? "#if 1\r\n" : "#ifndef NONE\r\n";
    off += i == 100 ? "#if 0\r\n" : "#if 1\r\n";
  }
  std::string ends;
  for (int i = 0; i < 200; ++i) ends += "#endif\r\n";
  WriteBytes("src/a.c", on + "int inside;\r\n" + ends + off + "int hidden;\r\n" + ends + kLastFunction);
  EXPECT_EQ(Analyse().outcome, AnalyseOutcome::Completed);
  EXPECT_EQ(ReadBytes("vcwk012345/DEF/src/a.c"), "int inside;\r\n" + kLastFunction);
  EXPECT_EQ(Log().find("プリプロ解析"), std::string::npos) << Log();
  EXPECT_EQ(Records(), std::set<std::string>{"last"});
}

// Far deeper than the worker's stack could hold one call per level.
TEST_F(BadInputTest, DeeplyNestedBlocksArePreprocessedWhole) {
  auto nested = [](const char* open, int depth, const std::string& inner) {
    std::string text;
    for (int i = 0; i < depth; ++i) text += open;
    text += inner;
    for (int i = 0; i < depth; ++i) text += "#endif\r\n";
    return text;
  };
  const std::string inside = "int inside(void)\r\n{\r\n  return 0;\r\n}\r\n";
  WriteBytes("src/a.c", nested("#ifdef A\r\n", 25000, "int hidden(void)\r\n{\r\n  return 0;\r\n}\r\n") +
                            nested("#if 1\r\n", 200000, inside) + kLastFunction);
  EXPECT_EQ(Analyse().outcome, AnalyseOutcome::Completed);
  EXPECT_EQ(ReadBytes("vcwk012345/DEF/src/a.c"), inside + kLastFunction);
  EXPECT_EQ(Log().find("プリプロ解析"), std::string::npos) << Log();
  EXPECT_EQ(Records(), (std::set<std::string>{"inside", "last"}));
}

TEST_F(BadInputTest, NamesThatCannotBeFileNamesAreLeftOutWithALogLine) {
  const std::string longName(300, 'x');  // longer than a file name may be
  const std::string foreign = "\xEB\x40";  // a double-byte code that CP932 leaves unassigned
  ASSERT_FALSE(TryToUtf8(foreign).has_value());
  const std::string longVariable(300, 'v');
  WriteBytes("src/a.c", "int " + longVariable + ";\r\nint " + longName + "(void)\r\n{\r\n  return 0;\r\n}\r\n" +
                            "int " + foreign + "(void)\r\n{\r\n  return 0;\r\n}\r\n" +
                            "int last(void)\r\n{\r\n  " + longVariable + " = 1;\r\n  return 0;\r\n}\r\n");
  EXPECT_EQ(Analyse().outcome, AnalyseOutcome::Completed);
  const std::string log = ReadBytes("AnalyzeLog.txt");
  for (const std::string& name : {longName, foreign, longVariable})
    EXPECT_NE(log.find(Sj("プログラム解析 ") + "[" + name + "] : NOT A FILE NAME\r\n"), std::string::npos)
        << name.size();
  EXPECT_EQ(Records(), std::set<std::string>{"last"});
  EXPECT_TRUE(fs::is_empty("vcwk012345/RAM_ALL"));
}

// The report's own pages keep their names; a function named as one of them
// gets a source page of its own, and every link to that page leads there.
TEST_F(BadInputTest, FunctionsNamedAsTheReportsOwnPagesGetSourcePagesOfTheirOwn) {
  WriteBytes("src/a.c",
             "int top(void);\r\nint Funclist(void);\r\nint DefList(void);\r\n"  // DefList: no body
             "int top(void)\r\n{\r\n  Funclist();\r\n  return 0;\r\n}\r\n"
             "int Funclist(void)\r\n{\r\n  ValList();\r\n  Top();\r\n  return 0;\r\n}\r\n"
             "int ValList(void)\r\n{\r\n  return 0;\r\n}\r\n"
             "int Top(void)\r\n{\r\n  return 0;\r\n}\r\n");
  EXPECT_EQ(Analyse().outcome, AnalyseOutcome::Completed);
  const fs::path html = "vcwk012345/HTML";
  std::string taken;
  for (const char* name : {"top", "Funclist", "ValList", "DefList"})
    taken += std::string("プログラム解析 ./vcwk012345/HTML/") + name + ".html : PAGE NAME IN USE\r\n";
  std::string logged;
  std::istringstream log(Log());
  for (std::string line; std::getline(log, line);)
    if (line.find("PAGE NAME IN USE") != std::string::npos) logged += line + "\n";
  EXPECT_EQ(logged, taken);

  // The report's pages as the report writes them.
  const std::string top = ReadBytes(html / "top.html");
  EXPECT_EQ(std::count(top.begin(), top.end(), '\n'), 1) << top;
  EXPECT_TRUE(top.ends_with(Sj("<A href= .\\DefList.html target='list'>　[参照定義]</A>"))) << top;
  EXPECT_TRUE(ReadBytes(html / "DefList.html").starts_with(Sj("参照定義 （ファイル毎）<BR><BR>\r\n")));
  // The functions' pages under their own names; "Top" is not the report's.
  for (const char* name : {"top", "Funclist", "ValList"})
    EXPECT_TRUE(ReadBytes(html / (std::string(name) + ".func.html")).starts_with(Sj("<BODY"))) << name;
  EXPECT_EQ(ReadBytes(html / "DefList.func.html"), "Not Found Function");
  EXPECT_TRUE(fs::exists(html / "Top.html"));
  EXPECT_FALSE(fs::exists(html / "Top.func.html"));
  // The links: function list, callee links of a page, call tree.
  const std::string list = ReadBytes(html / "Funclist.html");
  EXPECT_NE(list.find("mysetFrame( '../FunctionList4/top','top.func.html')"), std::string::npos) << list;
  EXPECT_NE(list.find("mysetFrame( '../FunctionList4/DefList','DefList.func.html')"), std::string::npos);
  EXPECT_NE(ReadBytes(html / "Funclist.func.html").find("<A href= ValList.func.html>"), std::string::npos);
  EXPECT_NE(ReadBytes(html / "CallTree/CallTree_top.html").find("<A href= ..\\Funclist.func.html target='view'>"),
            std::string::npos);
  // Nothing below HTML but the menu links to the report's own pages.
  for (const auto& e : fs::recursive_directory_iterator(html)) {
    if (!e.is_regular_file() || e.path() == html / "top.html") continue;
    const std::string page = ReadBytes(e.path());
    for (const std::string own : {"top.html", "Funclist.html", "ValList.html", "DefList.html"})
      for (const std::string& link : {"href= " + own, "\\" + own, "'" + own})
        EXPECT_EQ(page.find(link), std::string::npos) << e.path() << " links " << own;
  }
}

// Every work file named after a source file must fit the 255 bytes of a
// file name; the longest is its definition file (the title and
// "_DEF_C.dat"). A name that does not fit leaves its file out with one log
// line and no box; every name that fits keeps all it gives: the accesses
// through its own macros, its definition page, its design information.
TEST_F(BadInputTest, ASourceNameTooLongForAnyOfItsWorkFilesIsLeftOutWithOneLogLine) {
  struct Case {
    size_t length;  // bytes of the name with its extension
    std::string extension;
  };
  std::vector<Case> cases;
  for (size_t length = 230; length <= 255; ++length) cases.push_back({length, ".c"});
  for (size_t length : {246, 247, 248, 249}) cases.push_back({length, ".h"});
  for (size_t length : {248, 249, 250, 251}) cases.push_back({length, ".cpp"});
  auto tag = [](const Case& c) { return std::to_string(c.length) + c.extension.substr(1); };
  auto title = [&](const Case& c) {
    const std::string front = "n" + tag(c) + "_";
    return front + std::string(c.length - front.size() - c.extension.size(), 'x');
  };
  for (const Case& c : cases) {
    std::string text = "#define LIMIT_X 5\r\nint g_val" + tag(c) + ";\r\n";
    // A function in a header looks for the definitions of a ".c" file.
    if (c.extension != ".h") text += "void f" + tag(c) + "(void)\r\n{\r\n  g_val" + tag(c) + " = LIMIT_X;\r\n}\r\n";
    WriteBytes("src/" + title(c) + c.extension, text);
  }
  WriteBytes("src/main.c", kLastFunction);
  EXPECT_EQ(Analyse().outcome, AnalyseOutcome::Completed);
  struct NoBusyBox : BusyBox {
    void Open() override {}
    void Close() override {}
  } busyBox;
  EXPECT_TRUE(OnDesignDocButton("out", busyBox));
  EXPECT_EQ(host.BoxTexts(), (std::vector<std::string>{Sj("解析完了 結果を起動します"),
                                                       Sj("EXL設計書作成開始します")}));
  const std::string log = Log();
  EXPECT_EQ(log.find("NOT A FILE NAME"), std::string::npos) << log;
  const std::set<std::string> records = Records();
  auto exists = [](const std::string& path) {
    std::error_code ec;  // a name too long for the OS is no file
    return fs::exists(path, ec);
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(tag(c));
    const bool fits = title(c).size() + sizeof("_DEF_C.dat") - 1 <= 255;
    const std::string name = title(c) + c.extension;
    const std::string line = "プログラム解析 ./vcwk012345/DEF/src/" + name + " : NAME TOO LONG, NOT ANALYSED\r\n";
    const size_t at = log.find(line);
    EXPECT_EQ(at != std::string::npos, !fits);
    if (at != std::string::npos) {
      EXPECT_EQ(log.find(line, at + 1), std::string::npos) << "twice";
    }
    const char kind = c.extension == ".h" ? 'H' : 'C';
    EXPECT_EQ(exists("vcwk012345/HTML/DEF/" + title(c) + "_" + kind + ".html"), fits);
    if (c.extension == ".h") continue;
    EXPECT_EQ(records.count("f" + tag(c)), fits ? 1u : 0u);
    if (fits) {
      EXPECT_NE(ReadBytes("vcwk012345/FunctionList4/f" + tag(c)).find(Sj("[書込み変数]\r\ng_val") + tag(c) + "\r\n"),
                std::string::npos);
    }
    if (c.extension == ".c") {
      EXPECT_EQ(exists("vcwk012345/fileinfo2/INF_" + name), fits);
    }
  }
  // The names that fit keep the counts of their functions.
  const std::string info = ReadBytes("vcwk012345/FILEINFO/FileFuncInfo.txt");
  for (const char* name : {"f230c", "f247c"})
    EXPECT_TRUE(std::regex_search(info, std::regex(std::string("\r\n  ") + name + "\t\t\\d+\t\\d+\t\\d+\r\n")))
        << name << "\n" << info;
}

TEST_F(BadInputTest, ALinkLoopInTheSourceTreeIsNotWalkedAndLoggedOnce) {
  WriteBytes("src/sub/a.c", kLastFunction);
  fs::create_directory_symlink("..", "src/sub/back");
  fs::create_directory_symlink(".", "src/self");
  EXPECT_EQ(Analyse().outcome, AnalyseOutcome::Completed);
  const std::string log = Log();
  for (const char* loop : {"src/sub/back", "src/self"}) {
    const std::string line = std::string("プログラム解析 ") + loop + " : FOLDER LOOP, NOT WALKED\r\n";
    const size_t at = log.find(line);
    EXPECT_NE(at, std::string::npos) << loop << "\n" << log;
    EXPECT_EQ(log.find(line, at + 1), std::string::npos) << loop;
  }
  EXPECT_EQ(Mirrored(), (std::set<std::string>{"vcwk012345/DEF/src/sub", "vcwk012345/DEF/src/sub/a.c"}));
  EXPECT_EQ(Records(), std::set<std::string>{"last"});
}

// Run as root, nothing is unreadable for want of permission. A file that a
// folder lists but that cannot be read is simulated by a link to no file, a
// FIFO (which must not block the run) and a device that never ends.
TEST_F(BadInputTest, AFileThatCannotBeReadIsNamedInTheLog) {
  WriteBytes("src/main.c", kLastFunction);
  fs::create_symlink("nowhere.c", "src/gone.c");
  ASSERT_EQ(mkfifo("src/pipe.c", 0644), 0) << std::strerror(errno);
  fs::create_symlink("/dev/zero", "src/zero.c");
  WriteBytes("src/dir.c/inner.c", "int inner(void)\r\n{\r\n  return 0;\r\n}\r\n");  // a folder named x.c
  EXPECT_EQ(Analyse().outcome, AnalyseOutcome::Completed);
  const std::string log = Log();
  for (const char* name : {"gone", "pipe", "zero"}) {
    std::string line = std::string("プリプロ解析 ") + name + " : ファイル読込不可 src/" + name + ".c\r\n";
    EXPECT_NE(log.find(line), std::string::npos) << line << log;
  }
  EXPECT_EQ(Records(), (std::set<std::string>{"inner", "last"}));
}

TEST_F(BadInputTest, ASourceFolderThatVanishesAfterTheHeaderListStopsTheRun) {
  WriteBytes("src/main.c", kLastFunction);
  WriteBytes("src/a.h", "int x;\r\n");
  host.onStatusText = [](const std::string& text) {
    if (text == Sj("ヘッダ・プリプロ解析終了")) fs::remove_all("src");
  };
  AnalyseResult r = OnAnalyse(AnalyseRequest{"src", "out", 1, false}, view);
  JoinAnalysisWorker();
  EXPECT_NE(r.outcome, AnalyseOutcome::Completed);
  EXPECT_EQ(host.BoxTexts(), std::vector<std::string>{Sj("プロジェクトフォルダが見つかりません")});
  EXPECT_NE(Log().find("プログラム解析 src : FILE NOT OPEN\r\n"), std::string::npos) << Log();
  EXPECT_EQ(Log().find("DEFINE ALS START"), std::string::npos);
  EXPECT_TRUE(fs::is_empty("out"));
}

TEST_F(BadInputTest, IncludesFindTheirHeaderWhateverTheCaseOfItsName) {
  WriteBytes("src/main.c", "#include \"Motor.h\"\r\n#include \"sub/Gear.H\"\r\n" + kLastFunction);
  WriteBytes("src/motor.h", "#define SPEED 3\r\n");
  WriteBytes("src/Sub/gear.h", "#define TEETH 4\r\n");
  EXPECT_EQ(Analyse().outcome, AnalyseOutcome::Completed);
  EXPECT_EQ(ReadBytes("vcwk012345/DEF/main_DEF_C.dat"), "SPEED\t3\t\r\nTEETH\t4\t\r\n");
  // Written names are the ones the system makes: the copy under the
  // include's own spelling, the mirror under the names on disk.
  EXPECT_EQ(ReadBytes("vcwk012345/DEF/TMP/Motor.h"), "#define SPEED 3\r\n");
  EXPECT_TRUE(fs::exists("vcwk012345/DEF/src/motor.h"));
  EXPECT_TRUE(fs::exists("vcwk012345/DEF/src/Sub/gear.h"));
}

TEST_F(BadInputTest, FileNamesThatAreNotCp932AreLeftOutWithOneLogLineEach) {
  WriteBytes("src/日本.c", kLastFunction);
  struct Case {
    std::string osName, logged;  // logged with what CP932 lacks as "?"
  } cases[] = {
      {"caf\xC3\xA9.c", "caf?.c"},     // UTF-8, but no CP932 character
      {"caf\xE9.c", "caf?.c"},         // no UTF-8 at all
      {"a\\b.c", "a\\b.c"},            // a separator on the way back
      {"\xE3\x80\x9C.c", Sj("～") + ".c"},  // WAVE DASH comes back as FULLWIDTH TILDE
      {"d\xE9", "d?"},                  // a folder
  };
  for (const Case& c : cases) {
    if (c.osName == "d\xE9")
      WriteBytes("src/" + c.osName + "/in.c", "int in(void)\r\n{\r\n  return 0;\r\n}\r\n");
    else
      WriteBytes("src/" + c.osName, "int other(void)\r\n{\r\n  return 0;\r\n}\r\n");
  }
  EXPECT_EQ(Analyse().outcome, AnalyseOutcome::Completed);
  const std::string log = ReadBytes("AnalyzeLog.txt");
  for (const Case& c : cases) {
    const std::string line = Sj("プログラム解析 ") + "src/" + c.logged + " : NAME NOT IN CP932, SKIPPED\r\n";
    EXPECT_NE(log.find(line), std::string::npos) << c.logged;
  }
  EXPECT_EQ(Mirrored(), std::set<std::string>{"vcwk012345/DEF/src/日本.c"});
  EXPECT_EQ(Records(), std::set<std::string>{"last"});
}

// A small tmpfs on a folder of the test stands for a full disk. A run that
// lost writes, in its work files or in its copies, leaves no result that
// looks complete: no completion mark, no result folder, no closing question,
// and status 1 after its box.
class FullDiskTest : public BadInputTest {
 protected:
  void TearDown() override {
    for (const std::string& m : mounts_) umount2(m.c_str(), MNT_DETACH);
    BadInputTest::TearDown();
  }
  // Mounts a tmpfs of `bytes` on the folder. The mounts live in a mount
  // namespace of this test process's own, so that they go with it however it
  // ends; TearDown unmounts them before. False where this process may not
  // mount (not root, no privilege here, or threads that share its mounts).
  bool MountSmallDisk(const std::string& folder, uintmax_t bytes, std::string& why) {
    static const int entered = [] {
      if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return errno;
      return 0;
    }();
    if (entered != 0) {
      why = std::string("no mount namespace of its own: ") + std::strerror(entered);
      return false;
    }
    fs::create_directories(folder);
    const std::string options = "size=" + std::to_string(bytes / 1024) + "k";
    if (mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0) {
      why = std::strerror(errno);
      return false;
    }
    mounts_.push_back(fs::absolute(folder).string());
    return true;
  }
  void Unmount(const std::string& folder) {
    umount2(folder.c_str(), MNT_DETACH);
    std::erase(mounts_, fs::absolute(folder).string());
  }
  void WriteTree() { fs::copy(fs::path(VANDREL_SOURCE_DIR) / "examples/sample", "src", fs::copy_options::recursive); }
  // What the files below a folder take on a tmpfs (whole pages).
  static uintmax_t TmpfsBytes(const fs::path& folder) {
    uintmax_t bytes = 0;
    for (const auto& e : fs::recursive_directory_iterator(folder))
      if (e.is_regular_file()) bytes += (e.file_size() + 4095) / 4096 * 4096;
    return bytes;
  }
  // What a run that lost writes must leave: status 1 after a box and without
  // the closing question, no result folder in the output folder, no
  // completion mark, and results that the commands on them refuse.
  static void ExpectNoResult(const test::BatchOutcome& o, const std::string& output = "out") {
    EXPECT_EQ(o.status, 1) << o.err;
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err.find("解析完了 結果を起動します"), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("終了: "), std::string::npos) << o.err;
    EXPECT_FALSE(fs::exists("vcwk012345/AnalysisCompleted.txt"));
    test::BatchOutcome design = test::RunBatch("design-doc " + output);
    EXPECT_EQ(design.status, 1);
    EXPECT_TRUE(design.err.ends_with("終了: ソフト解析結果なし、先に解析を実行してくださ\n")) << design.err;
    EXPECT_TRUE(fs::is_empty(output));
  }

 private:
  std::vector<std::string> mounts_;
};

TEST_F(FullDiskTest, AFullWorkFolderEndsTheRunWithoutClaimingSuccess) {
  WriteTree();
  ASSERT_EQ(test::RunBatch("analyse src out").status, 0);
  const uintmax_t needed = TmpfsBytes("vcwk012345");
  fs::remove_all("vcwk012345");
  fs::remove_all("out");
  fs::create_directories("out");
  // From a disk that takes almost nothing to one that lacks only the last files.
  for (uintmax_t bytes : {uintmax_t{16384}, needed / 4, needed * 19 / 20}) {
    SCOPED_TRACE(bytes);
    std::string why;
    if (!MountSmallDisk("vcwk012345", bytes, why)) GTEST_SKIP() << "cannot mount a tmpfs here: " << why;
    const auto before = Tree("src");
    test::BatchOutcome o = test::RunBatch("analyse src out");
    ExpectOnlyRunOutputsChanged(before);
    ExpectNoResult(o);
    EXPECT_NE(Log().find(" : FILE WRITE FAIL\r\n"), std::string::npos) << Log();
    Unmount("vcwk012345");
  }
}

// The run folder (the current directory, with the log) on the full disk:
// the runs that reach the pipeline's end with lost writes say so in their box.
TEST_F(FullDiskTest, AFullRunFolderLeavesNoResult) {
  WriteTree();
  uintmax_t needed = 0;
  {
    test::InFolder run("run");
    ASSERT_EQ(test::RunBatch("analyse ../src ../out").status, 0);
    needed = TmpfsBytes(".");
  }
  fs::remove_all("run");
  fs::remove_all("out");
  fs::create_directories("out");
  int reachedTheEnd = 0;
  for (uintmax_t bytes : {needed / 2, needed * 19 / 20, needed - 8192, needed - 4096}) {
    SCOPED_TRACE(bytes);
    std::string why;
    if (!MountSmallDisk("run", bytes, why)) GTEST_SKIP() << "cannot mount a tmpfs here: " << why;
    {
      test::InFolder run("run");
      test::BatchOutcome o = test::RunBatch("analyse ../src ../out");
      ExpectNoResult(o, "../out");
      if (o.err.ends_with("終了: ファイル書込み失敗 解析結果は不完全です\n")) ++reachedTheEnd;
    }
    Unmount("run");
    fs::remove_all("run");
  }
  EXPECT_GT(reachedTheEnd, 0);
}

// The output folder on the full disk: the copies fail with their boxes, and
// the result folder the run made goes again, whatever it held by then.
TEST_F(FullDiskTest, AFullOutputFolderFailsTheCopiesWithTheirBoxes) {
  WriteTree();
  ASSERT_EQ(test::RunBatch("analyse src out").status, 0);
  const auto folders = test::ResultFolders("out");
  ASSERT_EQ(folders.size(), 1u);
  const uintmax_t needed = TmpfsBytes(folders[0]);
  fs::remove_all("out");
  for (uintmax_t bytes : {uintmax_t{32768}, needed / 2, needed * 19 / 20}) {
    SCOPED_TRACE(bytes);
    std::string why;
    if (!MountSmallDisk("out", bytes, why)) GTEST_SKIP() << "cannot mount a tmpfs here: " << why;
    test::BatchOutcome o = test::RunBatch("analyse src out");
    ExpectNoResult(o);
    EXPECT_NE(o.err.find("コピー失敗\n"), std::string::npos) << o.err;  // which ones, the copies' order decides
    if (bytes == 32768) {
      EXPECT_NE(o.err.find("終了: コピー失敗\n"), std::string::npos) << o.err;
      EXPECT_NE(o.err.find("終了: [解析テンポラリ]コピー失敗\n"), std::string::npos) << o.err;
    }
    Unmount("out");
  }
}

}  // namespace
}  // namespace vandrel
