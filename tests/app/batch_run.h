// Runs vandrel-batch in the current directory and collects what it printed.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "test_support.h"

namespace vandrel::test {

struct BatchOutcome {
  int status;
  std::string out, err;
};

// `env` goes before the command, as "NAME=value ". Standard error goes to a
// file beside the test's folders, so that a full current directory loses none.
inline BatchOutcome RunBatch(const std::string& args, const std::string& env = "") {
  std::string errPath = (std::filesystem::temp_directory_path() / "vandrel-stderr-XXXXXX").string();
  close(mkstemp(errPath.data()));
  std::string cmd = env + "'" + VANDREL_BATCH_EXE + "' " + args + " 2>'" + errPath + "'";
  BatchOutcome o{};
  FILE* p = popen(cmd.c_str(), "r");
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) o.out.append(buf, n);
  int raw = pclose(p);
  o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  o.err = ReadBytes(errPath);
  std::filesystem::remove(errPath);
  return o;
}

// The three commands on the last run's results, each refused with the
// dialog's box for missing results, exit status 1 and nothing copied into
// "out".
inline void ExpectResultsRefused(const std::string& function, const std::string& variable) {
  struct Case {
    std::string args;
    const char* box;
  } cases[] = {
      {"call-tree " + function + " out", "終了: 解析結果がありません\n"},
      {"variable " + variable + " out", "終了: 解析結果がありません\n"},
      {"design-doc out", "終了: ソフト解析結果なし、先に解析を実行してくださ\n"},
  };
  for (const Case& c : cases) {
    BatchOutcome o = RunBatch(c.args);
    EXPECT_EQ(o.status, 1) << c.args;
    EXPECT_TRUE(o.err.ends_with(c.box)) << c.args << "\n" << o.err;
  }
  EXPECT_TRUE(std::filesystem::is_empty("out"));
}

// vandrel-batch started in the current directory without waiting for it:
// its standard error is read line by line, its standard output is dropped.
class BatchProcess {
 public:
  explicit BatchProcess(const std::vector<std::string>& args) {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(fds[1], STDERR_FILENO);
      int null = open("/dev/null", O_WRONLY);
      if (null >= 0) dup2(null, STDOUT_FILENO);
      close(fds[0]);
      close(fds[1]);
      std::vector<char*> argv{const_cast<char*>(VANDREL_BATCH_EXE)};
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(VANDREL_BATCH_EXE, argv.data());
      _exit(127);
    }
    close(fds[1]);
    err_ = fdopen(fds[0], "r");
  }
  ~BatchProcess() {
    if (pid_ > 0 && !waited_) {
      kill(pid_, SIGKILL);
      Wait();
    }
  }
  BatchProcess(const BatchProcess&) = delete;
  BatchProcess& operator=(const BatchProcess&) = delete;

  // Reads standard error until a line holds `text`; false at its end.
  bool ReadUntil(const std::string& text) {
    for (char line[4096]; err_ && std::fgets(line, sizeof line, err_);) {
      seen_ += line;
      if (std::string(line).find(text) != std::string::npos) return true;
    }
    return false;
  }
  void Signal(int sig) { kill(pid_, sig); }
  // Reads the rest and waits: the exit status, or -1 when a signal ended it.
  int Wait() {
    ReadUntil("\x01");  // to the end
    if (err_) std::fclose(err_);
    err_ = nullptr;
    int raw = 0;
    waitpid(pid_, &raw, 0);
    waited_ = true;
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }
  const std::string& Seen() const { return seen_; }

 private:
  pid_t pid_ = -1;
  FILE* err_ = nullptr;
  std::string seen_;
  bool waited_ = false;
};

// Makes a folder the current directory for the object's lifetime.
class InFolder {
 public:
  explicit InFolder(const std::filesystem::path& folder) : old_(std::filesystem::current_path()) {
    std::filesystem::create_directories(folder);
    std::filesystem::current_path(folder);
  }
  ~InFolder() { std::filesystem::current_path(old_); }

 private:
  std::filesystem::path old_;
};

// A source tree of `files` .c files with `functions` small functions each.
inline void WriteSourceTree(const std::filesystem::path& folder, int files, int functions) {
  for (int f = 0; f < files; ++f) {
    std::string text;
    for (int i = 0; i < functions; ++i)
      text += "int f" + std::to_string(f) + "_" + std::to_string(i) + "(int a)\r\n{\r\n    return a + " +
              std::to_string(i) + ";\r\n}\r\n";
    WriteBytes(folder / ("file" + std::to_string(f) + ".c"), text);
  }
}

// Every file and folder of a result folder by its path inside it, with the
// file's bytes; the log is left out (its lines carry the time).
inline std::map<std::string, std::string> ResultFiles(const std::filesystem::path& result) {
  std::map<std::string, std::string> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(result)) {
    const std::string rel = std::filesystem::relative(e.path(), result).string();
    if (rel != "AnalyzeLog.txt") files[rel] = e.is_directory() ? "<folder>" : ReadBytes(e.path());
  }
  return files;
}

// The result folders in an output folder.
inline std::vector<std::filesystem::path> ResultFolders(const std::filesystem::path& output) {
  std::vector<std::filesystem::path> folders;
  for (const auto& e : std::filesystem::directory_iterator(output))
    if (e.is_directory()) folders.push_back(e.path());
  return folders;
}

// A stand-in for xdg-open in bin/ that notes its argument in bin/opened.txt
// and exits with `status`; returns the environment that puts it on PATH.
inline std::string FakeXdgOpen(int status = 0) {
  std::filesystem::create_directories("bin");
  WriteBytes("bin/xdg-open", "#!/bin/sh\nprintf '%s' \"$1\" > \"$(dirname \"$0\")/opened.txt\"\nexit " +
                                 std::to_string(status) + "\n");
  std::filesystem::permissions("bin/xdg-open", std::filesystem::perms::owner_all);
  std::filesystem::remove("bin/opened.txt");
  return "PATH=\"$PWD/bin:$PATH\" ";
}

}  // namespace vandrel::test
