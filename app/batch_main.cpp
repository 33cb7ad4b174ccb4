// vandrel-batch: the dialog's commands, run headless in the current directory.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/batch_host.h"
#include "commands/analyse_command.h"
#include "commands/design_command.h"
#include "commands/function_tree_command.h"
#include "commands/variable_command.h"
#include "platform/cp932.h"
#include "platform/os_path.h"
#include "run/run_state.h"

using namespace vandrel;

namespace {

const char kUsage[] =
    "usage:\n"
    "  vandrel-batch analyse SOURCE_FOLDER OUTPUT_FOLDER [--memory N] [--include-locals] [--open]\n"
    "  vandrel-batch call-tree FUNCTION OUTPUT_FOLDER [--open]\n"
    "  vandrel-batch variable VARIABLE OUTPUT_FOLDER [--open]\n"
    "  vandrel-batch design-doc OUTPUT_FOLDER\n"
    "  vandrel-batch --help\n"
    "\n"
    "Runs in the current directory: work folder ./vcwk012345, log ./AnalyzeLog.txt,\n"
    "predefined macros ./DefList.txt. One command at a time per directory.\n"
    "Ctrl-C cancels a run. Exit status: 0 done, 1 stopped by a check, another\n"
    "command, a cancel, an incomplete run, a failed copy, lost writes or a\n"
    "file not written, 2 usage error.\n";

int Usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

// Command-line texts are UTF-8; inside they are CP932.
std::string Arg(const char* utf8) { return TryToCp932(utf8).value_or(std::string(utf8)); }

struct Options {
  std::vector<std::string> positional;
  int memory = 1;
  bool includeLocals = false;
  bool open = false;
};

bool ParseOptions(int argc, char** argv, int first, bool analyse, Options& o) {
  for (int i = first; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--open") {
      o.open = true;
    } else if (analyse && a == "--include-locals") {
      o.includeLocals = true;
    } else if (analyse && a == "--memory") {
      if (i + 1 >= argc) return false;
      std::string n = argv[++i];
      if (n.size() != 1 || n[0] < '1' || n[0] > '4') return false;
      o.memory = n[0] - '0';
    } else if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
      return false;
    } else {
      o.positional.push_back(Arg(argv[i]));
    }
  }
  return true;
}

int Analyse(int argc, char** argv) {
  Options o;
  if (!ParseOptions(argc, argv, 2, true, o) || o.positional.size() != 2) return Usage();
  BatchHost host(o.open, isatty(STDERR_FILENO));
  SetHost(&host);
  SetAllTraces("init");
  CtrlCAsCancel ctrlC;
  AnalyseRequest request{o.positional[0], o.positional[1], o.memory, o.includeLocals};
  AnalyseResult r = OnAnalyse(request, host);
  JoinAnalysisWorker();
  const bool failed = r.outcome != AnalyseOutcome::Completed;
  if (failed) host.ExplainFailure();
  SetHost(nullptr);
  if (failed) return 1;
  std::printf("%s\n", OsPath(JoinPath(r.resultFolder, "index.html")).c_str());
  return 0;
}

// The design-document command's busy box has no window here.
class NoBusyBox : public BusyBox {
 public:
  void Open() override {}
  void Close() override {}
};

// call-tree, variable and design-doc: the typed-name radio button is chosen
// and its edit holds the name.
int Query(const std::string& command, int argc, char** argv) {
  Options o;
  const bool design = command == "design-doc";
  if (!ParseOptions(argc, argv, 2, false, o) || o.positional.size() != (design ? 1u : 2u) ||
      (design && o.open))
    return Usage();
  BatchHost host(o.open, false);
  SetHost(&host);
  SetAllTraces("init");
  bool done;
  if (design) {
    NoBusyBox busyBox;
    done = OnDesignDocButton(o.positional[0], busyBox);
  } else {
    QueryRequest request;
    request.typedName = true;
    request.typedText = o.positional[0];
    request.outputFolder = o.positional[1];
    done = command == "call-tree" ? OnButton7(request) : OnButton8(request);
  }
  if (!done) host.ExplainFailure();
  SetHost(nullptr);
  return done ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  std::string command = argv[1];
  if (command == "--help" || command == "-h") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command == "analyse") return Analyse(argc, argv);
  if (command == "call-tree" || command == "variable" || command == "design-doc")
    return Query(command, argc, argv);
  return Usage();
}
