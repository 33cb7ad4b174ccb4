// Runs vandrel-batch in the current directory and collects what it printed.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "test_support.h"

namespace vandrel::test {

struct BatchOutcome {
  int status;
  std::string out, err;
};

// `env` goes before the command, as "NAME=value ".
inline BatchOutcome RunBatch(const std::string& args, const std::string& env = "") {
  std::string cmd = env + "'" + VANDREL_BATCH_EXE + "' " + args + " 2>stderr.txt";
  BatchOutcome o{};
  FILE* p = popen(cmd.c_str(), "r");
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) o.out.append(buf, n);
  int raw = pclose(p);
  o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  o.err = ReadBytes("stderr.txt");
  return o;
}

}  // namespace vandrel::test
