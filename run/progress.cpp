#include "run/progress.h"

#include "run/run_state.h"
#include "run/texts.h"

namespace vandrel {

int ComputeProgressPosition() {
  int total = g_progressTotal.load();
  int quotient = total == 0 ? 0 : g_progressDone.load() / total;
  int pos = g_progressBase.load() + quotient * 10;
  g_progressPos = pos;
  return pos;
}

static std::string TwoDigits(int v) { return (v < 10 ? "0" : "") + std::to_string(v); }

std::string ElapsedTimeText(int ticks) {
  return kElapsedLabel + TwoDigits(ticks / 120) + kFullWidthColon + TwoDigits((ticks / 2) % 60);
}

}  // namespace vandrel
