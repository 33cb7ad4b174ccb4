// What the progress and busy boxes show on each half-second tick.
#pragma once

#include <string>

namespace vandrel {

// Bar position: base + (done / total) * 10 in integer arithmetic (0 when the
// total is 0); stored into g_progressPos.
int ComputeProgressPosition();
// "経過時間 " minutes "：" seconds for t half-second ticks; each field at
// least two digits, minutes not wrapped.
std::string ElapsedTimeText(int ticks);

}  // namespace vandrel
