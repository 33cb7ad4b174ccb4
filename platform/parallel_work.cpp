#include "platform/parallel_work.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>
#include <vector>

namespace vandrel {

bool ForEachInParallel(size_t count, const std::function<bool(size_t)>& work) {
  std::atomic<size_t> next{0};
  std::atomic<bool> failed{false};
  auto run = [&] {
    for (size_t i; !failed.load() && (i = next++) < count;)
      if (!work(i)) failed = true;
  };
  const size_t threads = std::min<size_t>({8, std::max(1u, std::thread::hardware_concurrency()), count});
  std::vector<std::thread> helpers;
  for (size_t t = 1; t < threads; ++t) helpers.emplace_back(run);
  run();
  for (std::thread& h : helpers) h.join();
  return !failed;
}

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
