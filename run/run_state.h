// Process-wide run state shared by the user-interface thread, the analysis
// worker and the busy-box thread. Integers are atomics (relaxed loads and
// stores: each reader takes the last value it sees, without races); the
// status text is handed over under a lock.
#pragma once

#include <atomic>
#include <string>

namespace vandrel {

extern std::atomic<int> g_abortRequested;     // 1: cancel requested
extern std::atomic<int> g_analysisCompleted;  // 1: the run reached its end
extern std::atomic<int> g_progressBase;       // per mille reached by the finished steps
extern std::atomic<int> g_progressDone;       // items done in the current step
extern std::atomic<int> g_progressTotal;      // items counted by the header-list walk
extern std::atomic<int> g_progressPos;        // last position shown on the bar
extern std::atomic<int> g_progressTicks;      // half-second ticks of the progress box
extern std::atomic<int> g_busyTicks;          // half-second ticks of the busy box
extern std::atomic<int> g_memoryFactor;       // memory slider, 1 to 4
extern std::atomic<int> g_lineCounter;        // input lines of the current routine
extern std::atomic<int> g_callTreeDepth;      // recursion depth of the call-tree writers

// Written and read by the worker (and by a command on the UI thread while no
// worker runs).
extern std::string g_currentSourceFile;

// Trace pairs, one per long routine; the catch-all handlers log them.
extern std::string g_defineWalkTrace1, g_defineWalkTrace2;
extern std::string g_typedefPassTrace1, g_typedefPassTrace2;
extern std::string g_wordWalkTrace1, g_wordWalkTrace2;
extern std::string g_wordPassTrace1, g_wordPassTrace2;
extern std::string g_functionPassTrace1, g_functionPassTrace2;
extern std::string g_specPassTrace1, g_specPassTrace2;
extern std::string g_pipelineTrace1, g_pipelineTrace2;
extern std::string g_callTreeTrace1, g_callTreeTrace2;
// Sets every trace string (the dialog sets "init" when it opens).
void SetAllTraces(const std::string& text);

// The run parameters that the dialog's controls give (CP932 texts).
struct RunParameters {
  std::string m_sourceFolder;  // source folder, as typed, browsed or dropped
  std::string m_outputFolder;  // output folder
  int m_includeLocals = 0;     // check box "[R/W解析] ローカル変数を含める"
  std::string sourceEditText;  // the texts of the two folder edits
  std::string outputEditText;
};
extern RunParameters g_runParameters;

// Main status line (mirrored into the progress box) and second status line.
void SetStatusText(std::string text);
void SetStatusDetail(std::string text);
std::string GetStatusText();  // the text the progress box shows

}  // namespace vandrel
