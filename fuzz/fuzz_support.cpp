#include "fuzz/fuzz_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <utility>

namespace vandrel::fuzz {

SilentHost& InstallSilentHost() {
  static SilentHost host;
  static const bool installed = (SetHost(&host), true);
  (void)installed;
  host.boxes = 0;
  host.TakeTranscript();
  return host;
}

void SilentHost::Note(const std::string& line) {
  std::lock_guard<std::mutex> lock(noteMutex_);
  transcript_ += line + "\n";
}

std::string SilentHost::TakeTranscript() {
  std::lock_guard<std::mutex> lock(noteMutex_);
  return std::exchange(transcript_, {});
}

void SilentHost::PostEndOfRun() {
  std::lock_guard<std::mutex> lock(mutex_);
  ended_ = true;
  posted_.notify_all();
}

void SilentHost::ForgetEndOfRun() {
  std::lock_guard<std::mutex> lock(mutex_);
  ended_ = false;
}

void SilentHost::WaitForEndOfRun() {
  std::unique_lock<std::mutex> lock(mutex_);
  posted_.wait(lock, [this] { return ended_; });
}

namespace fs = std::filesystem;

void EnterEmptyScratchFolder() {
  // Never destroyed: the exit handler still needs it.
  static const fs::path* const folder = [] {
    std::string pattern = (fs::temp_directory_path() / "vandrel-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) Fail("no scratch folder", pattern);
    auto* path = new fs::path(pattern);
    std::atexit([] {
      std::error_code ec;
      fs::current_path(fs::temp_directory_path(), ec);
      fs::remove_all(*folder, ec);
    });
    return path;
  }();
  fs::current_path(*folder);
  for (const auto& entry : fs::directory_iterator(*folder)) fs::remove_all(entry.path());
}

std::vector<std::string> FilesHere() {
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator("."))
    if (!entry.is_directory()) files.push_back(entry.path().lexically_relative(".").string());
  std::sort(files.begin(), files.end());
  return files;
}

void Fail(const char* what, std::string_view detail) {
  std::fprintf(stderr, "fuzz check failed: %s", what);
  if (!detail.empty()) std::fprintf(stderr, " [%.*s]", static_cast<int>(detail.size()), detail.data());
  std::fprintf(stderr, "\n");
  std::abort();
}

ScopedTimeBound::ScopedTimeBound(size_t inputSize, std::chrono::milliseconds base,
                                 std::chrono::microseconds perByte) {
  const auto bound = base + perByte * static_cast<long>(inputSize);
  watchdog_ = std::thread([this, bound, inputSize] {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!done_.wait_for(lock, bound, [this] { return finished_; })) {
      std::fprintf(stderr, "fuzz check failed: no end within %lld ms for %zu bytes\n",
                   static_cast<long long>(
                       std::chrono::duration_cast<std::chrono::milliseconds>(bound).count()),
                   inputSize);
      std::abort();
    }
  });
}

ScopedTimeBound::~ScopedTimeBound() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    finished_ = true;
  }
  done_.notify_one();
  watchdog_.join();
}

}  // namespace vandrel::fuzz
