// Work on a thread of its own while the caller waits in its own way (work
// spread over the work threads is in ordered_work.h).
#pragma once

#include <functional>

namespace vandrel {

// What waits for other work: returns once done() holds.
using WaitFunction = std::function<void(const std::function<bool()>& done)>;

// Runs work on a thread of its own, begun at wait's first look at done(),
// while wait waits for it (a dialog goes on painting meanwhile, its input
// blocked). An exception of the work comes back to the caller.
void RunWhileWaiting(const std::function<void()>& work, const WaitFunction& wait);

}  // namespace vandrel
