#include "platform/desktop.h"

#include <spawn.h>
#include <sys/wait.h>

#include "platform/os_path.h"

extern char** environ;

namespace vandrel {

bool OpenWithDesktop(const std::string& path) {
  std::string os = OsPath(path);
  char prog[] = "xdg-open";
  char* argv[] = {prog, os.data(), nullptr};
  pid_t pid;
  if (posix_spawnp(&pid, prog, nullptr, nullptr, argv, environ) != 0) return false;
  int status = 0;
  // xdg-open hands the document over and returns; its status tells whether it could.
  if (waitpid(pid, &status, 0) < 0) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace vandrel
