#include "platform/desktop.h"

#include <spawn.h>
#include <sys/wait.h>

#include <system_error>

#include "platform/os_path.h"

extern char** environ;

namespace vandrel {

bool DocumentExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(FsPath(path), ec);
}

bool OpenWithDesktop(const std::string& path) {
  if (!DocumentExists(path)) return false;
  std::string os = OsPath(path);
  char prog[] = "xdg-open";
  char* argv[] = {prog, os.data(), nullptr};
  pid_t pid;
  if (posix_spawnp(&pid, prog, nullptr, nullptr, argv, environ) != 0) return false;
  int status = 0;
  if (waitpid(pid, &status, 0) < 0) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace vandrel
