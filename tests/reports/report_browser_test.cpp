// Opens a report's index.html in headless Chromium and follows its links.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <thread>

#include "app/batch_run.h"
#include "reports/devtools_pipe.h"
#include "reports/report_fixture.h"
#include "reports/report_pages.h"
#include "reports/report_trees.h"
#include "run/run_state.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;
using test::HeadlessChromium;
using test::Json;
using test::Quote;

// Frame name -> {frame id, URL}.
struct Frame {
  std::string id, url;
};
using Frames = std::map<std::string, Frame>;

void Collect(const Json& node, Frames& frames) {
  const Json& f = node["frame"];
  frames[f["name"].text] = {f["id"].text, f["url"].text};
  for (const Json& child : node["childFrames"].items) Collect(child, frames);
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

class ReportBrowserTest : public test::TempDirTest {
 protected:
  // A report written by the report step from fixture records and lists, laid
  // out as in a result folder.
  void WriteResultFolder() {
    fs::create_directories("vcwk012345/HTML/CallTree");
    test::WriteRecord({"main", {"helper(1)"}, {"count"}, {}, {"count [R]"}});
    test::WriteRecord({"helper", {}, {}, {"count"}, {"count [w]"}, {{"main"}}});
    test::WriteBytes("vcwk012345/HTML/main.html", "<BODY>source of main");
    test::WriteBytes("vcwk012345/HTML/helper.html", "<BODY>source of helper");
    test::WriteWorkLines("FuncList_ProtType.txt", {"int\tmain\t(\tvoid\t)\t;", "void\thelper\t(\tint\tn\t)\t;"});
    test::WriteWorkLines("ValList.txt", {"int\tcount\t;"});
    test::WriteBytes("vcwk012345/DEF/main_DEF_C.dat", "MAX\t10\r\n");
    g_runParameters.m_sourceFolder = "src";
    ASSERT_TRUE(WriteTopPage());
    ASSERT_EQ(WriteReportPages(), StepResult::Done);
    ASSERT_EQ(WriteReportTrees(), StepResult::Done);
    g_runParameters = RunParameters();

    fs::create_directories("result");
    for (const char* f : {"index.html", "tarnibel.html"}) fs::copy_file("vcwk012345/" + std::string(f), "result/" + std::string(f));
    for (const char* d : {"HTML", "FunctionList4", "RAM"})
      fs::copy("vcwk012345/" + std::string(d), "result/" + std::string(d), fs::copy_options::recursive);
    test::WriteBytes("result/FileFuncInfo.txt", "function information");
  }

  Frames FrameTree() {
    Frames frames;
    if (std::optional<Json> r = browser->Call("Page.getFrameTree", "{}", session)) Collect((*r)["frameTree"], frames);
    return frames;
  }
  // Runs a script in a frame, apart from the page's own scripts.
  std::string Evaluate(const std::string& frameId, const std::string& script) {
    std::optional<Json> world =
        browser->Call("Page.createIsolatedWorld", "{\"frameId\":" + Quote(frameId) + "}", session);
    if (!world) return "";
    std::optional<Json> r = browser->Call(
        "Runtime.evaluate",
        "{\"expression\":" + Quote(script) + ",\"contextId\":" +
            std::to_string(static_cast<long>((*world)["executionContextId"].number)) + "}",
        session);
    return r ? (*r)["result"]["value"].text : "";
  }
  // Clicks the first link of a frame whose href holds `piece` (the pages
  // carry no character set, so their texts are not matched).
  bool Click(const std::string& frame, const std::string& piece) {
    return Evaluate(FrameTree()[frame].id,
                    "(() => { const a = [...document.links].find(l => l.getAttribute('href').includes(" +
                        Quote(piece) + ")); if (a) a.click(); return a ? 'clicked' : ''; })()") ==
           "clicked";
  }
  // Waits until each named frame shows a URL that ends as given.
  bool WaitFor(const std::map<std::string, std::string>& urls) {
    for (int i = 0; i < 150; ++i) {
      Frames frames = FrameTree();
      bool all = true;
      for (const auto& [name, tail] : urls) all = all && EndsWith(frames[name].url, tail);
      if (all) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
  }
  std::string Text(const std::string& frame) {
    return Evaluate(FrameTree()[frame].id, "document.body ? document.body.innerText : ''");
  }

  // Starts the browser and attaches to its page.
  void Start() {
    browser = std::make_unique<HeadlessChromium>(chromium, (dir() / "profile").string());
    std::optional<Json> targets = browser->Call("Target.getTargets");
    ASSERT_TRUE(targets) << "no answer from chromium";
    std::string target;
    for (const Json& t : (*targets)["targetInfos"].items)
      if (t["type"].text == "page") target = t["targetId"].text;
    ASSERT_FALSE(target.empty());
    std::optional<Json> attached = browser->Call(
        "Target.attachToTarget", "{\"targetId\":" + Quote(target) + ",\"flatten\":true}");
    ASSERT_TRUE(attached);
    session = (*attached)["sessionId"].text;
    ASSERT_TRUE(browser->Call("Page.enable", "{}", session));
  }
  void Navigate(const fs::path& page) {
    ASSERT_TRUE(browser->Call("Page.navigate", "{\"url\":" + Quote("file://" + page.string()) + "}", session));
    ASSERT_TRUE(browser->WaitForEvent("Page.loadEventFired"));
  }
  // Starts the browser, opens the frame set and waits for its four frames.
  void OpenReport(const fs::path& index) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Navigate(index));
    ASSERT_TRUE(WaitFor({{"top", "/HTML/top.html"},
                         {"list", "/HTML/Funclist.html"},
                         {"mid", "/tarnibel.html"},
                         {"view", "/FileFuncInfo.txt"}}));
  }

  std::string chromium = test::FindProgram("chromium");
  std::unique_ptr<HeadlessChromium> browser;
  std::string session;
  test::RecordingHost host;
};

TEST_F(ReportBrowserTest, TheSampleReportLoadsAndItsLinksFillTheFrames) {
  if (chromium.empty()) GTEST_SKIP() << "chromium is not installed";
  fs::create_directories("out");
  fs::copy_file(fs::path(VANDREL_SOURCE_DIR) / "examples/sample/DefList.txt", "DefList.txt");
  std::string cmd = std::string("'") + VANDREL_BATCH_EXE + "' analyse '" +
                    (fs::path(VANDREL_SOURCE_DIR) / "examples/sample").string() + "' out 2>/dev/null";
  std::string index;
  FILE* p = popen(cmd.c_str(), "r");
  char buf[4096];
  for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) index.append(buf, n);
  ASSERT_EQ(pclose(p), 0);
  while (!index.empty() && index.back() == '\n') index.pop_back();
  ASSERT_TRUE(fs::exists(index)) << index;

  ASSERT_NO_FATAL_FAILURE(OpenReport(fs::absolute(index)));
  // A function of the list shows its record in "mid" and its source page in "view".
  ASSERT_TRUE(Click("list", "FunctionList4/Motor_Init'"));
  ASSERT_TRUE(WaitFor({{"mid", "/FunctionList4/Motor_Init"}, {"view", "/HTML/Motor_Init.html"}}));
  EXPECT_NE(Text("mid").find("motor.c"), std::string::npos);
  EXPECT_NE(Text("view").find("g_pwmDuty"), std::string::npos);
  // The call-tree list, the tree page of main, a function of that tree.
  ASSERT_TRUE(Click("top", "CallTree_index.html"));
  ASSERT_TRUE(WaitFor({{"list", "/HTML/CallTree/CallTree_index.html"}}));
  ASSERT_TRUE(Click("list", "CallTree_main.html"));
  ASSERT_TRUE(WaitFor({{"mid", "/HTML/CallTree/CallTree_main.html"}}));
  ASSERT_TRUE(Click("mid", "Sensor_Average.html"));
  ASSERT_TRUE(WaitFor({{"view", "/HTML/Sensor_Average.html"}}));
  ASSERT_TRUE(Click("top", "FileFuncInfo.txt"));
  ASSERT_TRUE(WaitFor({{"view", "/FileFuncInfo.txt"}}));
}

TEST_F(ReportBrowserTest, VariablePagesAndTheWholeTreeFromTheReportWriters) {
  if (chromium.empty()) GTEST_SKIP() << "chromium is not installed";
  WriteResultFolder();
  ASSERT_NO_FATAL_FAILURE(OpenReport(dir() / "result" / "index.html"));
  EXPECT_NE(Text("list").find("helper"), std::string::npos);
  EXPECT_NE(Text("view").find("function information"), std::string::npos);

  ASSERT_TRUE(Click("list", "FunctionList4/helper'"));
  ASSERT_TRUE(WaitFor({{"mid", "/result/FunctionList4/helper"}, {"view", "/result/HTML/helper.html"}}));
  EXPECT_NE(Text("view").find("source of helper"), std::string::npos);

  ASSERT_TRUE(Click("top", "CallTree_index.html"));
  ASSERT_TRUE(WaitFor({{"list", "/result/HTML/CallTree/CallTree_index.html"}}));
  ASSERT_TRUE(Click("list", "call_tree.txt"));
  ASSERT_TRUE(WaitFor({{"view", "/result/HTML/CallTree/call_tree.txt"}}));
  EXPECT_NE(Text("view").find("--helper"), std::string::npos);

  // A variable of the list shows its two pages.
  ASSERT_TRUE(Click("top", "ValList.html"));
  ASSERT_TRUE(WaitFor({{"list", "/result/HTML/ValList.html"}}));
  ASSERT_TRUE(Click("list", "RAM/count'"));
  ASSERT_TRUE(WaitFor({{"mid", "/result/RAM/count"}, {"view", "/result/HTML/RAM/count.html"}}));
  EXPECT_NE(Text("view").find("count [w]"), std::string::npos);
  ASSERT_TRUE(Click("view", "helper.html"));
  ASSERT_TRUE(WaitFor({{"view", "/result/HTML/helper.html"}}));
}

// A program whose sources hold "<", ">" and "&" in code, comments, literals,
// declarations and macro values, right beside double-byte text, in a
// source folder whose name holds them too. Texts are UTF-8.
const char kMarkupFolder[] = "s<b>&c";
const char kMarkupDefinition[] = "LIMIT\t(a<b)&&c>表示";  // a line of DefList.txt
const std::vector<std::string> kMarkupHeader = {
    "#define CMP(x,y) ((x)<(y))", "#define TAG \"<b>表</b>\"", "typedef struct { int a; int b; } ST;",
    "int Check(int a, int b);", "int main(void);"};
struct MarkupFunction {
  std::string name, head;
  // Between the lines "{" and "}"; a comment after code stands without a
  // blank before it, as the source page writes it.
  std::vector<std::string> body;
};
const std::vector<MarkupFunction> kMarkupFunctions = {
    {"Check",
     "int Check(int a, int b)",
     {"    int r = 0;", "    if (a<b) {", "        r = a;", "    }", "    /* x<y && y>z */",
      "    /* <script>alert(1)</script> */", "    /* <!-- */", "    g_flags = g_flags&1;", "    g_n = g_st.a<g_n;",
      "    s_ops->run(a);", "    return r;"}},
    {"main",
     "int main(void)",
     {"    const char *s = \"&amp;\";", "    const char *t = \"表示<温度>&ソ\";", "    int i;",
      "    for (i=0; i<g_n; i++) {", "        g_n = Check(i, g_n);/* 値<上限 */", "    }", "    return 0;"}},
};

void WriteMarkupSources() {
  const fs::path src = kMarkupFolder;
  test::WriteBytes(src / "calc.h", test::CrLfLines(kMarkupHeader));
  std::vector<std::string> main = {"/* 温度<上限&&下限>値 */", "#include \"calc.h\"", "", "ST g_st;", "int g_n;",
                                   "int g_flags;"};
  for (const MarkupFunction& f : kMarkupFunctions) {
    main.insert(main.end(), {"", f.head, "{"});
    main.insert(main.end(), f.body.begin(), f.body.end());
    main.push_back("}");
  }
  test::WriteBytes(src / "main.c", test::CrLfLines(main));
  test::WriteBytes("DefList.txt", test::Sj(kMarkupDefinition) + "\r\n");
}

// The bytes of a text that the browser decoded from a page without a
// character set: windows-1252 maps each byte to one character, Shift_JIS
// (as CP932) the double-byte ones.
std::string PageBytes(const std::string& utf8, const std::string& charset) {
  if (charset == "Shift_JIS") return ToCp932(utf8);
  EXPECT_EQ(charset, "windows-1252");
  static const char16_t k80To9F[32] = {0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021,
                                       0x2C6,  0x2030, 0x160,  0x2039, 0x152,  0x8D,   0x17D,  0x8F,
                                       0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178};
  std::string bytes;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char c = utf8[i];
    int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    unsigned cp = n == 1 ? c : c & (0xFF >> (n + 1));
    for (int k = 1; k < n && i + k < utf8.size(); ++k) cp = cp << 6 | (utf8[i + k] & 0x3F);
    i += n;
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
      bytes += static_cast<char>(cp);
      continue;
    }
    const char16_t* at = std::find(k80To9F, k80To9F + 32, cp);
    EXPECT_NE(at, k80To9F + 32) << "U+" << std::hex << cp;
    bytes += static_cast<char>(0x80 + (at - k80To9F));
  }
  return bytes;
}

// What a page shows: its text, line by line as its line breaks cut it, and
// the markup that the browser built from it.
struct ShownPage {
  std::vector<std::string> lines;  // CP932, without the pages' own line ends
  std::set<std::string> tags;
  int comments = 0, scripts = 0;
};

// A line of a page as the source has it: without the indentation, the page's
// blanks (U+3000) as ASCII blanks, and without the link marks after calls.
std::string AsSource(const std::string& shown) {
  const std::string ideographic = "\x81\x40";
  std::string s = shown;
  while (s.rfind(ideographic, 0) == 0) s.erase(0, 2);
  return MbRemoveAll(MbReplaceAll(s, ideographic, " "), test::Sj("◆"));
}

std::string Trimmed(const std::string& line) { return line.substr(line.find_first_not_of(' ')); }

class MarkupReportTest : public ReportBrowserTest {
 protected:
  ShownPage Show(const fs::path& page) {
    ShownPage shown;
    Navigate(page);
    std::optional<Json> tree = browser->Call("Page.getFrameTree", "{}", session);
    if (!tree) {
      ADD_FAILURE() << "no frame tree for " << page;
      return shown;
    }
    std::optional<Json> r = Json::Parse(Evaluate((*tree)["frameTree"]["frame"]["id"].text, R"((() => {
      const lines = [''];
      const walk = node => {
        for (const c of node.childNodes) {
          if (c.nodeType === Node.TEXT_NODE) lines[lines.length - 1] += c.data.replace(/[\r\n]/g, '');
          else if (c.nodeName === 'BR') lines.push('');
          else walk(c);
        }
      };
      if (document.body) walk(document.body);
      const comments = document.createNodeIterator(document, NodeFilter.SHOW_COMMENT);
      let n = 0;
      while (comments.nextNode()) ++n;
      return JSON.stringify({charset: document.characterSet, lines, comments: n,
                             scripts: document.scripts.length,
                             tags: [...new Set([...document.getElementsByTagName('*')].map(e => e.nodeName))]});
    })())"));
    if (!r) {
      ADD_FAILURE() << "no text from " << page;
      return shown;
    }
    for (const Json& line : (*r)["lines"].items) shown.lines.push_back(PageBytes(line.text, (*r)["charset"].text));
    for (const Json& tag : (*r)["tags"].items) shown.tags.insert(tag.text);
    shown.comments = static_cast<int>((*r)["comments"].number);
    shown.scripts = static_cast<int>((*r)["scripts"].number);
    return shown;
  }
};

// After a whole run and the two query commands on sources full of markup
// characters, every page holds only its own markup, and the pages show the
// source lines, definitions, names and access entries as they are written.
TEST_F(MarkupReportTest, EveryPageShowsTheSourceTextAsWritten) {
  if (chromium.empty()) GTEST_SKIP() << "chromium is not installed";
  WriteMarkupSources();
  fs::create_directories("out");
  test::BatchOutcome run = test::RunBatch(std::string("analyse '") + kMarkupFolder + "' out");
  ASSERT_EQ(run.status, 0) << run.err;
  const fs::path result = fs::absolute(run.out.substr(0, run.out.find('\n'))).parent_path();
  ASSERT_TRUE(fs::exists(result / "index.html")) << result;
  for (const char* query : {"call-tree main out", "variable 'g_st.a<g_n' out"}) {
    test::BatchOutcome o = test::RunBatch(query);
    ASSERT_EQ(o.status, 0) << query << "\n" << o.err;
  }
  fs::path treeRun, variableRun;
  for (const auto& e : fs::directory_iterator("out")) {
    const std::string name = e.path().filename();
    if (name.ends_with("_main")) treeRun = fs::absolute(e.path());
    if (name.ends_with("_g_st.a<g_n")) variableRun = fs::absolute(e.path());
  }
  ASSERT_FALSE(treeRun.empty());
  ASSERT_FALSE(variableRun.empty());

  // The lines each page shows (UTF-8), as AsSource gives them.
  std::map<fs::path, std::vector<std::string>> expected = {
      {result / "HTML/top.html", {"<< s<b>&c >> 解析結果"}},
      {result / "HTML/RAM/g_st.html", {"g_st.a<g_n [R]"}},
      {result / "HTML/CallTree/CallTree_main.html", {"|   |   |--s_ops->run[non]"}},
      {treeRun / "call_tree_main.html", {"mainコールツリー", "|   |--s_ops->run[non]"}},
      {variableRun / "Ram_g_st.a<g_n.html", {"g_st.a<g_nコールツリー", "g_st.a<g_n [R]"}},
      {result / "HTML/DEF/main_C.html", {kMarkupDefinition}},
  };
  for (const MarkupFunction& f : kMarkupFunctions)
    for (const std::string& line : f.body) expected[result / "HTML" / (f.name + ".html")].push_back(Trimmed(line));
  // A definition page shows its definition file line by line.
  for (const auto& [dat, page] : {std::pair{"main_DEF_C.dat", "main_C.html"}, {"calc_DEF_H.dat", "calc_H.html"}}) {
    const std::string file = test::ReadBytes(fs::path("vcwk012345/DEF") / dat);
    ASSERT_FALSE(file.empty()) << dat;
    for (size_t at = 0, end; (end = file.find("\r\n", at)) != std::string::npos; at = end + 2)
      expected[result / "HTML/DEF" / page].push_back(ToUtf8(file.substr(at, end - at)));
  }

  ASSERT_NO_FATAL_FAILURE(Start());
  const std::set<std::string> ownTags = {"HTML", "HEAD", "TITLE", "BODY", "FONT", "A", "BR",
                                         "B", "H3", "H5", "SCRIPT", "FRAMESET", "FRAME"};
  for (const fs::path& folder : {result, treeRun, variableRun}) {
    for (auto it = fs::recursive_directory_iterator(folder); it != fs::recursive_directory_iterator(); ++it) {
      if (it->path().filename() == "[解析テンポラリ]") {  // the copy of the work folder
        it.disable_recursion_pending();
        continue;
      }
      if (it->path().extension() != ".html") continue;
      const fs::path page = it->path();
      const std::string name = page.filename();
      ShownPage shown = Show(page);
      for (const std::string& tag : shown.tags) EXPECT_TRUE(ownTags.count(tag)) << page << ": " << tag;
      EXPECT_EQ(shown.tags.count("B"), name == "top.html" ? 1u : 0u) << page;
      EXPECT_EQ(shown.scripts, name == "Funclist.html" || name == "ValList.html" ? 1 : 0) << page;
      EXPECT_EQ(shown.comments, 0) << page;
      auto want = expected.find(page);
      if (want == expected.end()) continue;
      std::set<std::string> lines;
      for (const std::string& l : shown.lines) lines.insert(AsSource(l));
      for (const std::string& line : want->second)
        EXPECT_TRUE(lines.count(ToCp932(line))) << page << " does not show: " << line;
      expected.erase(want);
    }
  }
  EXPECT_TRUE(expected.empty()) << expected.size() << " pages not found, first " << expected.begin()->first;
}

}  // namespace
}  // namespace vandrel

