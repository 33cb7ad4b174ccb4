// Work spread over several threads. Creating or deleting entries of one
// folder waits for the others in that folder, but different folders go on at
// the same time, so file-tree work gives each call a whole folder.
#pragma once

#include <cstddef>
#include <functional>

namespace vandrel {

// Calls work(i) for every i below count from up to eight threads, each taking
// the next i; stops handing out work after the first call that returns false.
// True when every call returned true.
bool ForEachInParallel(size_t count, const std::function<bool(size_t)>& work);

// What waits for other work: returns once done() holds.
using WaitFunction = std::function<void(const std::function<bool()>& done)>;

// Runs work on a thread of its own while wait waits for it (a dialog goes on
// painting meanwhile, its input blocked). An exception of the work comes back
// to the caller.
void RunWhileWaiting(const std::function<void()>& work, const WaitFunction& wait);

}  // namespace vandrel
