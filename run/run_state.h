// Process-wide run state shared by the user-interface thread, the analysis
// worker and the busy-box thread. Integers are atomics (relaxed loads and
// stores: each reader takes the last value it sees, without races); the
// status text is handed over under a lock. Items of a step that run ahead
// on the work threads (platform/ordered_work.h) see the state as one thread
// would: what they change takes effect at their commit, and a value that
// only their predecessors know makes them run at their turn.
#pragma once

#include <atomic>
#include <string>

namespace vandrel {

// The line counter: an item counts its own lines, added at its commit; an
// item that reads the count runs at its turn, where the count is whole.
class LineCounter {
 public:
  LineCounter& operator++() { return *this += 1; }
  LineCounter& operator+=(int lines);
  LineCounter& operator=(int value);
  operator int() const;

 private:
  std::atomic<int> value_{0};
};

// A string that items see as one thread would: what an item sets, it sees
// itself and the others see from its commit on.
class CarriedString {
 public:
  CarriedString& operator=(std::string value);
  operator const std::string&() const { return Get(); }
  const std::string& Get() const;
  bool operator==(const std::string& other) const { return Get() == other; }

 private:
  std::string value_;
};

extern std::atomic<int> g_abortRequested;     // 1: cancel requested
extern std::atomic<int> g_analysisCompleted;  // 1: the run reached its end
extern std::atomic<int> g_progressBase;       // per mille reached by the finished steps
extern std::atomic<int> g_progressDone;       // items done in the current step
extern std::atomic<int> g_progressTotal;      // items counted by the header-list walk
extern std::atomic<int> g_progressPos;        // last position shown on the bar
extern std::atomic<int> g_progressTicks;      // half-second ticks of the progress box
extern std::atomic<int> g_busyTicks;          // half-second ticks of the busy box
extern std::atomic<int> g_memoryFactor;       // memory slider, 1 to 4
extern LineCounter g_lineCounter;             // input lines of the current routine
extern thread_local std::atomic<int> g_callTreeDepth;  // recursion depth of the call-tree writers (per thread)

// Written and read by the worker (and by a command on the UI thread while no
// worker runs).
extern CarriedString g_currentSourceFile;

// Trace pairs, one per long routine; the catch-all handlers log them. Each
// thread has its own: a routine sets its pair as it begins, and its handler
// runs on the thread that ran it.
extern thread_local std::string g_defineWalkTrace1, g_defineWalkTrace2;
extern thread_local std::string g_typedefPassTrace1, g_typedefPassTrace2;
extern thread_local std::string g_wordWalkTrace1, g_wordWalkTrace2;
extern thread_local std::string g_wordPassTrace1, g_wordPassTrace2;
extern thread_local std::string g_functionPassTrace1, g_functionPassTrace2;
extern thread_local std::string g_specPassTrace1, g_specPassTrace2;
extern thread_local std::string g_pipelineTrace1, g_pipelineTrace2;
extern thread_local std::string g_callTreeTrace1, g_callTreeTrace2;
// Sets every trace string of this thread (the dialog sets "init" when it opens).
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
