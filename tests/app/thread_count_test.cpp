// One work thread and eight give the same bytes: every file the commands
// leave, the log (time stamps aside), and what the batch prints.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/batch_run.h"
#include "test_support.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;

class ThreadCountTest : public test::TempDirTest {};

// A path or printed text with the names of the stamped result folders
// (below out*/) and query folders ("/" ten digits "_") put aside.
std::string WithoutStamps(std::string text) {
  for (size_t at = text.find("out"); at != std::string::npos; at = text.find("out", at + 1)) {
    if (at > 0 && text[at - 1] != '/' && text[at - 1] != '\n') continue;
    size_t from = at + 3;
    while (from < text.size() && std::isdigit(static_cast<unsigned char>(text[from]))) ++from;
    if (from >= text.size() || text[from] != '/') continue;
    const size_t to = text.find_first_of("/\n", from + 1);
    text.replace(from + 1, (to == std::string::npos ? text.size() : to) - from - 1, "RESULT");
  }
  for (size_t at = text.find('/'); at != std::string::npos; at = text.find('/', at + 1)) {
    size_t digits = 0;
    while (at + 1 + digits < text.size() && std::isdigit(static_cast<unsigned char>(text[at + 1 + digits]))) ++digits;
    if (digits == 10 && at + 11 < text.size() && text[at + 11] == '_') text.replace(at + 1, 10, "STAMP");
  }
  return text;
}

// The files below the current folder, read, with stamps put aside (the
// log's time stamps too).
std::map<std::string, std::string> FilesHere() {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(".")) {
    if (entry.is_directory()) continue;
    const std::string path = entry.path().lexically_relative(".").string();
    std::string bytes = test::ReadBytes(entry.path());
    if (path.ends_with("AnalyzeLog.txt")) bytes = test::LogTimesAsTime(bytes);
    // Large pages (the budgeted call trees) as their size and hash.
    if (bytes.size() > (1 << 20))
      bytes = "size " + std::to_string(bytes.size()) + ", hash " + std::to_string(std::hash<std::string>{}(bytes));
    files[WithoutStamps(path)] = std::move(bytes);
  }
  return files;
}

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Analyses `tree` (made in the empty current folder by makeTree), then draws
// the call trees of the first and the last function and the accesses of the
// first and the last variable; returns everything, as FilesHere and the
// batch's output.
std::map<std::string, std::string> RunAll(unsigned threads, const std::function<std::string()>& makeTree) {
  for (const auto& entry : fs::directory_iterator(".")) fs::remove_all(entry.path());
  const std::string tree = makeTree();
  const std::string env = "VANDREL_THREADS=" + std::to_string(threads) + " ";
  std::vector<std::string> commands = {"analyse '" + tree + "' out"};
  fs::create_directory("out");
  test::BatchOutcome o = test::RunBatch(commands[0], env);
  EXPECT_EQ(o.status, 0) << o.err;
  std::map<std::string, std::string> printed = {{"analyse", o.out + o.err}};
  const std::vector<std::string> functions = Names("vcwk012345/FunctionList4");
  const std::vector<std::string> variables = Names("vcwk012345/RAM");
  EXPECT_FALSE(functions.empty() || variables.empty());
  if (functions.empty() || variables.empty()) return printed;
  int n = 1;
  for (const std::string& query : {"call-tree " + functions.front(), "call-tree " + functions.back(),
                                   "variable " + variables.front(), "variable " + variables.back()}) {
    const std::string out = "out" + std::to_string(n++);
    fs::create_directory(out);
    o = test::RunBatch(query + " " + out, env);
    EXPECT_EQ(o.status, 0) << query << "\n" << o.err;
    printed[query] = o.out + o.err;
  }
  std::map<std::string, std::string> all = FilesHere();
  for (auto& [command, text] : printed)
    all["printed by " + command] = WithoutStamps(text);
  return all;
}

void ExpectSameBytes(const std::function<std::string()>& makeTree) {
  const auto one = RunAll(1, makeTree);
  const auto eight = RunAll(8, makeTree);
  for (const auto& [path, bytes] : one) {
    auto it = eight.find(path);
    if (it == eight.end()) {
      ADD_FAILURE() << path << " only with one thread";
    } else if (it->second != bytes) {
      const size_t at = static_cast<size_t>(
          std::mismatch(bytes.begin(), bytes.end(), it->second.begin(), it->second.end()).first - bytes.begin());
      ADD_FAILURE() << path << " differs from byte " << at << ": one thread\n"
                    << bytes.substr(at > 200 ? at - 200 : 0, 400) << "\neight threads\n"
                    << it->second.substr(at > 200 ? at - 200 : 0, 400);
    }
  }
  for (const auto& [path, bytes] : eight)
    if (!one.count(path)) ADD_FAILURE() << path << " only with eight threads";
  EXPECT_GT(one.size(), 50u);
}

TEST_F(ThreadCountTest, TheSampleGivesTheSameBytes) {
  ExpectSameBytes([] {
    const fs::path sample = fs::path(VANDREL_SOURCE_DIR) / "examples/sample";
    fs::copy_file(sample / "DefList.txt", "DefList.txt");
    return sample.string();
  });
}

// Generated trees of both shapes, large enough that every step has items
// running ahead of their turn, their call trees cut by the run's budget.
TEST_F(ThreadCountTest, GeneratedTreesGiveTheSameBytes) {
  for (const char* shape : {"--dense", ""}) {
    SCOPED_TRACE(shape);
    ExpectSameBytes([shape] {
      const std::string cmd = std::string("'") + VANDREL_GEN_TREE_EXE + "' gen --lines 8000 " + shape;
      EXPECT_EQ(std::system(cmd.c_str()), 0);
      return (fs::current_path() / "gen").string();
    });
  }
}

}  // namespace
}  // namespace vandrel
