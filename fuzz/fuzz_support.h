// Shared by the fuzz targets: the entry point's signature, a host that keeps
// the core's message boxes silent, a check that stops the run on a broken
// property, a scratch folder, and a time bound that grows with the input.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace vandrel::fuzz {

// Answers every box with OK and counts them; keeps the end-of-run signal
// for a progress box that waits for it.
class SilentHost : public Host {
 public:
  void StatusText(const std::string& text) override { Note("text " + text); }
  void StatusDetail(const std::string& text) override { Note("detail " + text); }
  int MessageBox(const std::string& text, const std::string& caption, MessageButtons) override {
    ++boxes;
    Note("box " + caption + ": " + text);
    return kIdOk;
  }
  void PostEndOfRun() override;
  void ForgetEndOfRun() override;
  bool ConfirmOpen(const std::string&, const std::string&) override { return false; }
  bool OpenDocument(const std::string&) override { return false; }

  // Returns once the end of the run has been posted.
  void WaitForEndOfRun();

  std::atomic<long> boxes{0};
  // What the host was told since the last call, one line each.
  std::string TakeTranscript();

 private:
  void Note(const std::string& line);

  std::mutex noteMutex_;
  std::string transcript_;
  std::mutex mutex_;
  std::condition_variable posted_;
  bool ended_ = false;
};

// The target's host, installed on first use; its count and transcript
// restart per input.
SilentHost& InstallSilentHost();

inline std::string_view AsText(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Prints what broke and aborts, so that libFuzzer keeps the input.
[[noreturn]] void Fail(const char* what, std::string_view detail = {});
inline void Check(bool ok, const char* what, std::string_view detail = {}) {
  if (!ok) Fail(what, detail);
}

// Makes a folder of the process's own (under the temporary folder, removed
// at exit) current and empties it, so that no input meets the files of an
// earlier one. The core's relative paths (the work folder, the log) land in
// it.
void EnterEmptyScratchFolder();
// The files under the current folder, as sorted relative paths.
std::vector<std::string> FilesHere();

// Aborts the process when the scope has not ended within `base` plus
// `perByte` for each input byte.
class ScopedTimeBound {
 public:
  explicit ScopedTimeBound(size_t inputSize,
                           std::chrono::milliseconds base = std::chrono::seconds(5),
                           std::chrono::microseconds perByte = std::chrono::milliseconds(1));
  ~ScopedTimeBound();
  ScopedTimeBound(const ScopedTimeBound&) = delete;
  ScopedTimeBound& operator=(const ScopedTimeBound&) = delete;

 private:
  std::mutex mutex_;
  std::condition_variable done_;
  bool finished_ = false;
  std::thread watchdog_;
};

}  // namespace vandrel::fuzz
