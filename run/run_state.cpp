#include "run/run_state.h"

#include <mutex>

#include "platform/host.h"

namespace vandrel {

std::atomic<int> g_abortRequested{0};
std::atomic<int> g_analysisCompleted{0};
std::atomic<int> g_progressBase{0};
std::atomic<int> g_progressDone{0};
std::atomic<int> g_progressTotal{0};
std::atomic<int> g_progressPos{0};
std::atomic<int> g_progressTicks{0};
std::atomic<int> g_busyTicks{0};
std::atomic<int> g_memoryFactor{0};
std::atomic<int> g_lineCounter{0};
std::atomic<int> g_callTreeDepth{0};

std::string g_currentSourceFile;

std::string g_defineWalkTrace1, g_defineWalkTrace2;
std::string g_typedefPassTrace1, g_typedefPassTrace2;
std::string g_wordWalkTrace1, g_wordWalkTrace2;
std::string g_wordPassTrace1, g_wordPassTrace2;
std::string g_functionPassTrace1, g_functionPassTrace2;
std::string g_specPassTrace1, g_specPassTrace2;
std::string g_pipelineTrace1, g_pipelineTrace2;
std::string g_callTreeTrace1, g_callTreeTrace2;

RunParameters g_runParameters;

namespace {
std::mutex g_statusMutex;
std::string g_statusText;
}  // namespace

void SetAllTraces(const std::string& text) {
  for (std::string* s : {&g_defineWalkTrace1, &g_defineWalkTrace2, &g_typedefPassTrace1,
                         &g_typedefPassTrace2, &g_wordWalkTrace1, &g_wordWalkTrace2,
                         &g_wordPassTrace1, &g_wordPassTrace2, &g_functionPassTrace1,
                         &g_functionPassTrace2, &g_specPassTrace1, &g_specPassTrace2,
                         &g_pipelineTrace1, &g_pipelineTrace2, &g_callTreeTrace1,
                         &g_callTreeTrace2})
    *s = text;
}

void SetStatusText(std::string text) {
  CurrentHost().StatusText(text);
  std::lock_guard<std::mutex> lock(g_statusMutex);
  g_statusText = std::move(text);
}

void SetStatusDetail(std::string text) { CurrentHost().StatusDetail(text); }

std::string GetStatusText() {
  std::lock_guard<std::mutex> lock(g_statusMutex);
  return g_statusText;
}

}  // namespace vandrel
