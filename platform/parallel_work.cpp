#include "platform/parallel_work.h"

#include <atomic>
#include <exception>
#include <thread>

namespace vandrel {

void RunWhileWaiting(const std::function<void()>& work, const WaitFunction& wait) {
  std::atomic<bool> begun{false}, done{false};
  std::exception_ptr failure;
  std::thread runner([&] {
    begun.wait(false);  // the work starts once the wait has
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
    done = true;
  });
  auto begin = [&begun] {
    if (!begun.exchange(true)) begun.notify_one();
  };
  struct Join {
    std::thread& t;
    const std::function<void()> begin;
    ~Join() {
      begin();
      t.join();
    }
  } join{runner, begin};
  wait([&] {
    begin();
    return done.load();
  });
  if (failure) std::rethrow_exception(failure);
}

}  // namespace vandrel
