// Analyses a source tree with vandrel-batch and prints the wall time of each
// of the fourteen steps, the copy into the result folder, the total, the peak
// resident memory, the processor time, the bytes left in the work folder and
// the result folder and the sizes of the call-tree files:
//   run_bench TREE [--batch PATH_TO_VANDREL_BATCH] [--keep]
// It runs in a fresh folder below $TMPDIR (default /tmp; the work folder is
// relative to it), deleted afterwards unless --keep is given.
#include <sys/resource.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// The status text each step starts with, then the end of step 14 and of the copies.
const char* const kMarks[] = {
    "ヘッダ・プリプロ解析中", "プリプロ解析ソフト作成中", "プログラム定義解析中", "ファイル内部解析中",
    "ファイル内部解析+", "解析結果整合中", "ファイル間の整合解析中", "解析結果の最適化中",
    "コールリスト呼出し作成中", "変数抽出・整合中", "制御仕様作成中", "RAMアクセス解析中",
    "コールツリー作成中・・", "関数情報抽出中", "関数情報抽出完了", "解析終了",
};
const char* const kStepNames[] = {
    "1 header list", "2 preprocessing", "3 definitions", "4 file analysis", "5 subscripts",
    "6 de-duplication", "7 reconciliation", "8 final records", "9 callers", "10 written variables",
    "11 control design", "12 access lists", "13 call trees and report", "14 function information",
    "copies into the result folder",
};
constexpr int kMarkCount = sizeof kMarks / sizeof kMarks[0];

// File sizes, and the blocks the files take on the disk.
struct Bytes {
  long files = 0;
  uintmax_t bytes = 0, onDisk = 0;
  void Add(const fs::directory_entry& e) {
    struct stat st {};
    if (lstat(e.path().c_str(), &st) != 0) return;
    ++files;
    bytes += static_cast<uintmax_t>(st.st_size);
    onDisk += static_cast<uintmax_t>(st.st_blocks) * 512;
  }
};

// The regular files below a folder (links are not followed).
Bytes FilesBelow(const fs::path& folder) {
  Bytes b;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (it->is_regular_file() && !it->is_symlink()) b.Add(*it);
  return b;
}

void PrintBytes(const char* label, const Bytes& b) {
  std::printf("%-30s %8.1f MB in %ld files, %.1f MB on disk\n", label, b.bytes / 1e6, b.files, b.onDisk / 1e6);
}

// The whole-program call trees: the two text trees and the pages of the roots.
void PrintCallTreeFiles(const fs::path& folder) {
  Bytes all, pages;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!it->is_regular_file()) continue;
    if (name == "call_tree.txt" || name == "call_tree_ram.txt") {
      Bytes one;
      one.Add(*it);
      PrintBytes(name.c_str(), one);
      all.Add(*it);
    } else if (name.rfind("CallTree_", 0) == 0 && name != "CallTree_index.html") {
      pages.Add(*it);
      all.Add(*it);
    }
  }
  PrintBytes("CallTree_<root>.html", pages);
  PrintBytes("call-tree files together", all);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: run_bench TREE [--batch PATH] [--keep]\n");
    return 2;
  }
  fs::path tree = fs::absolute(argv[1]);
  fs::path batch = fs::absolute(argv[0]).parent_path() / "vandrel-batch";
  bool keep = false;
  for (int i = 2; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--batch" && i + 1 < argc) batch = fs::absolute(argv[++i]);
    else if (a == "--keep") keep = true;
  }
  std::string tmpl = (fs::temp_directory_path() / "vandrel-bench-XXXXXX").string();
  fs::path run = mkdtemp(tmpl.data());
  fs::create_directories(run / "out");

  int pipefd[2];
  if (pipe(pipefd) != 0) return 1;
  auto start = Clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    dup2(pipefd[1], STDERR_FILENO);
    int devnull = open("/dev/null", O_WRONLY);
    dup2(devnull, STDOUT_FILENO);
    close(pipefd[0]);
    if (chdir(run.c_str()) != 0) _exit(127);
    execl(batch.c_str(), batch.c_str(), "analyse", tree.c_str(), "out", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipefd[1]);
  FILE* err = fdopen(pipefd[0], "r");
  std::vector<double> at(kMarkCount, -1);
  int next = 0;
  char line[8192];
  while (std::fgets(line, sizeof line, err)) {
    std::string s(line);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    if (next < kMarkCount && s == kMarks[next]) {
      at[next++] = std::chrono::duration<double>(Clock::now() - start).count();
    }
  }
  std::fclose(err);
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  double total = std::chrono::duration<double>(Clock::now() - start).count();

  for (int i = 0; i + 1 < kMarkCount; ++i) {
    if (at[i] < 0 || at[i + 1] < 0) {
      std::printf("%-30s      -\n", kStepNames[i]);
      continue;
    }
    std::printf("%-30s %8.2f s\n", kStepNames[i], at[i + 1] - at[i]);
  }
  std::printf("%-30s %8.2f s\n", "total", total);
  std::printf("%-30s %8.1f MiB\n", "peak resident memory", usage.ru_maxrss / 1024.0);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  std::printf("%-30s %8.2f s user, %.2f s system\n", "processor time", seconds(usage.ru_utime),
              seconds(usage.ru_stime));
  std::printf("%-30s %8d\n", "exit status", WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  PrintBytes("work folder", FilesBelow(run / "vcwk012345"));
  PrintBytes("result folder", FilesBelow(run / "out"));
  PrintCallTreeFiles(run / "vcwk012345" / "HTML" / "CallTree");
  if (keep)
    std::printf("run folder: %s\n", run.c_str());
  else
    fs::remove_all(run);
  return 0;
}
