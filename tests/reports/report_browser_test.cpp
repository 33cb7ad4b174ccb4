// Opens a report's index.html in headless Chromium and follows its links.
#include <gtest/gtest.h>

#include <thread>

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

  // Starts the browser, opens the frame set and waits for its four frames.
  void OpenReport(const fs::path& index) {
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
    ASSERT_TRUE(browser->Call("Page.navigate", "{\"url\":" + Quote("file://" + index.string()) + "}", session));
    ASSERT_TRUE(browser->WaitForEvent("Page.loadEventFired"));
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

}  // namespace
}  // namespace vandrel

