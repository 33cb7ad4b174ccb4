// A whole analysis run, as the batch front end starts it, over a small source
// tree cut from the input. Each form feed starts the next file:
//   src/main.c, src/main.h, src/部品/part.c, src/部品/part.h, DefList.txt
// (the last takes the rest); the low bit of the last byte sets the
// local-variables box. The run must end within its time bound and write
// nothing but the work folder, the log and one result folder under out/;
// the sources stay as they were; and one work thread and eight must give
// the same bytes.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "commands/analyse_command.h"
#include "fuzz/fuzz_support.h"
#include "platform/ordered_work.h"
#include "prepro/define_table.h"
#include "reports/call_tree_writer.h"
#include "run/run_state.h"

namespace {

using namespace vandrel;
namespace fs = std::filesystem;

// The files of the tree, in the order the input gives them (names in UTF-8,
// as they are on disk).
const char* const kTreeFiles[] = {"src/main.c", "src/main.h", "src/部品/part.c",
                                  "src/部品/part.h", "DefList.txt"};

// The dialog's side: the progress box closes on the end-of-run signal.
class ClosingView : public AnalyseView {
 public:
  explicit ClosingView(fuzz::SilentHost& host) : host_(host) {}
  void RunProgressBox() override { host_.WaitForEndOfRun(); }
  void WaitUntil(const std::function<bool()>& done) override {
    while (!done()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  void DisableResultCommands() override {}
  void EnableResultCommands() override {}
  void AddFunctionNames(const std::vector<std::string>&) override {}
  void AddVariableNames(const std::vector<std::string>&) override {}

 private:
  fuzz::SilentHost& host_;
};

std::vector<std::pair<std::string, std::string>> WriteTree(std::string_view input) {
  std::vector<std::pair<std::string, std::string>> files;
  const size_t count = std::size(kTreeFiles);
  for (size_t i = 0; i < count; ++i) {
    const size_t end = i + 1 < count ? input.find('\f') : std::string_view::npos;
    files.emplace_back(kTreeFiles[i], std::string(input.substr(0, end)));
    if (end == std::string_view::npos) break;
    input.remove_prefix(end + 1);
  }
  for (const auto& [name, bytes] : files) {
    fs::create_directories(fs::path(name).parent_path().empty() ? "." : fs::path(name).parent_path());
    std::ofstream(name, std::ios::binary) << bytes;
  }
  return files;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Everything written lies in run/: its sources unchanged, the work folder,
// the log, the lock file and a single result folder.
void CheckWrites(const std::vector<std::pair<std::string, std::string>>& sources) {
  std::string resultFolder;
  for (const std::string& file : fuzz::FilesHere()) {
    fuzz::Check(file.rfind("run/", 0) == 0, "a file written outside the run folder", file);
    const std::string path = file.substr(4);
    if (path.rfind("vcwk012345/", 0) == 0 || path == "AnalyzeLog.txt" || path == ".vandrel.lock") continue;
    if (path.rfind("out/", 0) == 0) {
      const std::string folder = path.substr(0, path.find('/', 4));
      fuzz::Check(folder.size() < path.size(), "a file beside the result folder", path);
      fuzz::Check(resultFolder.empty() || resultFolder == folder, "two result folders", path);
      resultFolder = folder;
      continue;
    }
    bool source = false;
    for (const auto& [name, bytes] : sources) source = source || name == path;
    fuzz::Check(source, "a file written outside the work and result folders", path);
  }
  for (const auto& [name, bytes] : sources)
    fuzz::Check(ReadBytes("run/" + name) == bytes, "a source file changed", name);
}

// Everything the run left under the current folder, with the result
// folder's name and the log's time stamps put aside, and what the host was told.
std::string Outcome(fuzz::SilentHost& host) {
  static const std::regex stamp("\\d\\d\\.\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d");
  static const std::regex resultFolder("^run/out/[^/]+");
  std::string all = host.TakeTranscript();
  for (const std::string& file : fuzz::FilesHere()) {
    std::string bytes = ReadBytes(file);
    if (file.ends_with("AnalyzeLog.txt")) bytes = std::regex_replace(bytes, stamp, "TIME");
    all += "== " + std::regex_replace(file, resultFolder, "run/out/RESULT") + "\n" + bytes;
  }
  return all;
}

}  // namespace

// Each input runs with one work thread and with eight: the same bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::SilentHost& host = fuzz::InstallSilentHost();
  std::string oneThread;
  for (unsigned threads : {1u, 8u}) {
    SetWorkThreadsForTesting(threads);
    fuzz::EnterEmptyScratchFolder();
    fs::create_directories("run/out");
    fs::current_path("run");
    ClearDefineTable();
    SetAllTraces("init");
    // A small tree budget keeps the runs short; its compact form is reached all the same.
    g_callTreeLimits = {2000, 10000};
    const auto sources = WriteTree(fuzz::AsText(data, size));
    const bool includeLocals = size > 0 && (data[size - 1] & 1);
    {
      fuzz::ScopedTimeBound bound(size, std::chrono::seconds(3), std::chrono::milliseconds(1));
      ClosingView view(host);
      OnAnalyse(AnalyseRequest{"src", "out", 1, includeLocals}, view);
      JoinAnalysisWorker();
    }
    fs::current_path("..");
    CheckWrites(sources);
    const std::string outcome = Outcome(host);
    if (threads == 1) {
      oneThread = outcome;
      continue;
    }
    const auto [one, many] = std::mismatch(oneThread.begin(), oneThread.end(), outcome.begin(), outcome.end());
    if (one != oneThread.end() || many != outcome.end()) {
      const size_t at = static_cast<size_t>(one - oneThread.begin());
      const size_t from = oneThread.rfind("\n== ", at);
      const size_t begin = from == std::string::npos ? 0 : from + 1;
      fuzz::Fail("eight work threads differ from one", oneThread.substr(begin, at - begin + 80));
    }
  }
  SetWorkThreadsForTesting(0);
  return 0;
}
