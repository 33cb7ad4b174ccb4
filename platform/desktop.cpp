#include "platform/desktop.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <system_error>
#include <thread>

#include "platform/os_path.h"

extern char** environ;

namespace vandrel {

bool DocumentExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(FsPath(path), ec);
}

bool OpenWithDesktop(const std::string& path, std::chrono::milliseconds limit) {
  if (!DocumentExists(path)) return false;
  // The program that opens it may run elsewhere (a browser already running).
  std::error_code ec;
  std::string os = std::filesystem::absolute(FsPath(path), ec).lexically_normal().string();
  if (ec) os = OsPath(path);
  char prog[] = "xdg-open";
  char* argv[] = {prog, os.data(), nullptr};
  pid_t pid;
  if (posix_spawnp(&pid, prog, nullptr, nullptr, argv, environ) != 0) return false;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  for (;;) {
    const pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (r < 0 && errno != EINTR) return false;
    if (std::chrono::steady_clock::now() >= deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  // Still running: it runs the opener it started. Reaped when it ends.
  std::thread([pid] {
    int ignored;
    while (waitpid(pid, &ignored, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

}  // namespace vandrel
