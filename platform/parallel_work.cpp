#include "platform/parallel_work.h"

#include <algorithm>
#include <atomic>
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

}  // namespace vandrel
