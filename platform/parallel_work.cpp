#include "platform/parallel_work.h"

#include <atomic>
#include <exception>
#include <thread>

namespace vandrel {

void RunWhileWaiting(const std::function<void()>& work, const WaitFunction& wait) {
  std::atomic<bool> done{false};
  std::exception_ptr failure;
  std::thread runner([&] {
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
    done = true;
  });
  struct Join {
    std::thread& t;
    ~Join() { t.join(); }
  } join{runner};
  wait([&] { return done.load(); });
  if (failure) std::rethrow_exception(failure);
}

}  // namespace vandrel
