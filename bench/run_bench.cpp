// Analyses a source tree with vandrel-batch and prints the wall time of each
// of the fourteen steps, the copy into the result folder, the total, the peak
// resident memory, the processor time, the bytes left in the work folder and
// the result folder and the sizes of the call-tree files:
//   run_bench TREE [--batch PATH_TO_VANDREL_BATCH] [--repeat N] [--keep]
// It runs in a fresh folder below $TMPDIR (default /tmp; the work folder is
// relative to it), deleted afterwards unless --keep is given.
//
// Two yardsticks follow, in the same $TMPDIR: the floor, a replay of the
// creation of the files that the run left (the same folders, paths and
// sizes) with one and with eight threads, and, where gtags and htags are on
// the PATH, their indexing and report of the same tree. With --repeat N each
// of the three is measured N times and the best time is printed.
#include <sys/resource.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
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

// A file or folder that a run left, below the run folder.
struct Entry {
  fs::path path;  // relative
  uintmax_t size;
  bool folder;
};

// Everything below the run folder, folders before what they hold.
std::vector<Entry> Listing(const fs::path& run) {
  std::vector<Entry> entries;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(run, ec), end; !ec && it != end; it.increment(ec)) {
    struct stat st {};
    if (lstat(it->path().c_str(), &st) != 0) continue;
    const fs::path rel = fs::relative(it->path(), run);
    if (S_ISDIR(st.st_mode))
      entries.push_back({rel, 0, true});
    else if (S_ISREG(st.st_mode))
      entries.push_back({rel, static_cast<uintmax_t>(st.st_size), false});
  }
  return entries;
}

// Creates the listed folders, then the files with their sizes from `threads`
// threads, each taking the next file; the seconds it took.
double Replay(const std::vector<Entry>& entries, const fs::path& into, int threads) {
  std::vector<const Entry*> files;
  uintmax_t largest = 0;
  for (const Entry& e : entries)
    if (!e.folder) {
      files.push_back(&e);
      largest = std::max(largest, e.size);
    }
  const std::string zeros(largest, '\0');
  auto start = Clock::now();
  std::error_code ec;
  fs::create_directory(into, ec);
  for (const Entry& e : entries)
    if (e.folder) mkdir((into / e.path).c_str(), 0777);
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i; (i = next++) < files.size();) {
      int fd = open((into / files[i]->path).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
      if (fd < 0) continue;
      if (files[i]->size != 0 && write(fd, zeros.data(), files[i]->size) < 0) std::perror("write");
      close(fd);
    }
  };
  std::vector<std::thread> helpers;
  for (int t = 1; t < threads; ++t) helpers.emplace_back(work);
  work();
  for (std::thread& h : helpers) h.join();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Runs a command in a folder with its output thrown away; its wall time, or
// -1 when it could not be run or failed.
double TimeCommand(const std::vector<std::string>& argv, const fs::path& in) {
  auto start = Clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    int devnull = open("/dev/null", O_WRONLY);
    dup2(devnull, STDOUT_FILENO);
    dup2(devnull, STDERR_FILENO);
    if (chdir(in.c_str()) != 0) _exit(127);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return std::chrono::duration<double>(Clock::now() - start).count();
}

bool OnPath(const char* name) {
  const char* path = std::getenv("PATH");
  if (!path) return false;
  std::string all = path;
  for (size_t at = 0; at <= all.size();) {
    size_t end = all.find(':', at);
    if (end == std::string::npos) end = all.size();
    if (access((fs::path(all.substr(at, end - at)) / name).c_str(), X_OK) == 0) return true;
    at = end + 1;
  }
  return false;
}

// Removes a folder of the benchmark's; what the file system refuses stays.
void RemoveFolder(const fs::path& folder) {
  std::error_code ec;
  fs::remove_all(folder, ec);
}

// gtags and htags over the tree, their files in a fresh folder; -1 on failure.
double TimePeer(const fs::path& tree, const fs::path& scratch) {
  RemoveFolder(scratch);
  fs::create_directories(scratch / "db");
  fs::create_directories(scratch / "html");
  double index = TimeCommand({"gtags", (scratch / "db").string()}, tree);
  double pages = index < 0 ? -1 : TimeCommand({"htags", "-d", (scratch / "db").string(), (scratch / "html").string()}, tree);
  RemoveFolder(scratch);
  return pages < 0 ? -1 : index + pages;
}

// One analysis in a fresh run folder below $TMPDIR.
struct Run {
  fs::path folder;
  std::vector<double> at = std::vector<double>(kMarkCount, -1);
  double total = 0;
  struct rusage usage {};
  int status = 0;
};

Run Analyse(const fs::path& tree, const fs::path& batch) {
  Run r;
  std::string tmpl = (fs::temp_directory_path() / "vandrel-bench-XXXXXX").string();
  r.folder = mkdtemp(tmpl.data());
  fs::create_directories(r.folder / "out");
  int pipefd[2];
  if (pipe(pipefd) != 0) std::exit(1);
  auto start = Clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    dup2(pipefd[1], STDERR_FILENO);
    int devnull = open("/dev/null", O_WRONLY);
    dup2(devnull, STDOUT_FILENO);
    close(pipefd[0]);
    if (chdir(r.folder.c_str()) != 0) _exit(127);
    execl(batch.c_str(), batch.c_str(), "analyse", tree.c_str(), "out", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipefd[1]);
  FILE* err = fdopen(pipefd[0], "r");
  int next = 0;
  char line[8192];
  while (std::fgets(line, sizeof line, err)) {
    std::string s(line);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    if (next < kMarkCount && s == kMarks[next])
      r.at[next++] = std::chrono::duration<double>(Clock::now() - start).count();
  }
  std::fclose(err);
  wait4(pid, &r.status, 0, &r.usage);
  r.total = std::chrono::duration<double>(Clock::now() - start).count();
  return r;
}

void PrintRun(const Run& r) {
  for (int i = 0; i + 1 < kMarkCount; ++i) {
    if (r.at[i] < 0 || r.at[i + 1] < 0) {
      std::printf("%-30s      -\n", kStepNames[i]);
      continue;
    }
    std::printf("%-30s %8.2f s\n", kStepNames[i], r.at[i + 1] - r.at[i]);
  }
  std::printf("%-30s %8.2f s\n", "total", r.total);
  std::printf("%-30s %8.1f MiB\n", "peak resident memory", r.usage.ru_maxrss / 1024.0);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  std::printf("%-30s %8.2f s user, %.2f s system\n", "processor time", seconds(r.usage.ru_utime),
              seconds(r.usage.ru_stime));
  std::printf("%-30s %8d\n", "exit status", WIFEXITED(r.status) ? WEXITSTATUS(r.status) : -1);
  PrintBytes("work folder", FilesBelow(r.folder / "vcwk012345"));
  PrintBytes("result folder", FilesBelow(r.folder / "out"));
  PrintCallTreeFiles(r.folder / "vcwk012345" / "HTML" / "CallTree");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: run_bench TREE [--batch PATH] [--repeat N] [--keep]\n");
    return 2;
  }
  fs::path tree = fs::absolute(argv[1]);
  fs::path batch = fs::absolute(argv[0]).parent_path() / "vandrel-batch";
  bool keep = false;
  int repeat = 1;
  for (int i = 2; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--batch" && i + 1 < argc) batch = fs::absolute(argv[++i]);
    else if (a == "--repeat" && i + 1 < argc) repeat = std::max(1, std::atoi(argv[++i]));
    else if (a == "--keep") keep = true;
  }

  Run best;
  for (int n = 0; n < repeat; ++n) {
    Run r = Analyse(tree, batch);
    if (n == 0 || r.total < best.total) {
      if (n != 0) RemoveFolder(best.folder);
      best = r;
    } else {
      RemoveFolder(r.folder);
    }
  }
  PrintRun(best);

  // The floor: the run's own files created again, beside the run folder.
  const std::vector<Entry> entries = Listing(best.folder);
  double floor = -1;
  for (int threads : {1, 8})
    for (int n = 0; n < repeat; ++n) {
      fs::path into = best.folder.string() + "-floor";
      double t = Replay(entries, into, threads);
      RemoveFolder(into);
      std::printf("%-30s %8.2f s (%d thread%s)\n", "floor: its files created", t, threads,
                  threads == 1 ? "" : "s");
      if (floor < 0 || t < floor) floor = t;
    }
  std::printf("%-30s %8.2f\n", "total / floor", best.total / floor);

  if (OnPath("gtags") && OnPath("htags")) {
    double peer = -1;
    for (int n = 0; n < repeat; ++n) {
      double t = TimePeer(tree, best.folder.string() + "-peer");
      if (t >= 0 && (peer < 0 || t < peer)) peer = t;
    }
    if (peer > 0) {
      std::printf("%-30s %8.2f s\n", "gtags + htags", peer);
      std::printf("%-30s %8.2f\n", "total / (gtags + htags)", best.total / peer);
    }
  }

  if (keep)
    std::printf("run folder: %s\n", best.folder.c_str());
  else
    RemoveFolder(best.folder);
  return 0;
}
