#include "app/batch_host.h"

#include <csignal>
#include <cstdio>
#include <thread>

#include "pipeline/progress.h"
#include "pipeline/run_state.h"
#include "platform/cp932.h"
#include "platform/desktop.h"

namespace vandrel {
namespace {

volatile std::sig_atomic_t g_interrupted = 0;
extern "C" void OnInterrupt(int) { g_interrupted = 1; }

}  // namespace

BatchHost::BatchHost(bool open, bool terminal) : open_(open), terminal_(terminal) {}

void BatchHost::PrintLine(const std::string& utf8) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (boxShown_) std::fputs("\r\033[K", stderr);
  std::fprintf(stderr, "%s\n", utf8.c_str());
  boxShown_ = false;
  std::fflush(stderr);
}

void BatchHost::StatusText(const std::string& text) {
  if (!terminal_) PrintLine(ToUtf8(text));
}

void BatchHost::StatusDetail(const std::string& text) {
  if (terminal_) {
    std::lock_guard<std::mutex> lock(mutex_);
    detail_ = text;
    return;
  }
  PrintLine("  " + ToUtf8(text));
}

int BatchHost::MessageBox(const std::string& text, const std::string& caption, MessageButtons) {
  PrintLine(ToUtf8(caption) + ": " + ToUtf8(text));
  return kIdOk;
}

void BatchHost::PostEndOfRun() {
  std::lock_guard<std::mutex> lock(mutex_);
  ended_ = true;
  endPosted_.notify_all();
}

void BatchHost::ForgetEndOfRun() {
  std::lock_guard<std::mutex> lock(mutex_);
  ended_ = false;
}

bool BatchHost::ConfirmOpen(const std::string& text, const std::string& caption) {
  PrintLine(ToUtf8(caption) + ": " + ToUtf8(text));
  return open_;
}

bool BatchHost::OpenDocument(const std::string& path) {
  if (!open_) return true;
  return OpenWithDesktop(path);
}

void BatchHost::RenderProgress() {
  int pos = ComputeProgressPosition();
  std::string clock = ElapsedTimeText(ticks_++);
  std::string status = GetStatusText();
  std::lock_guard<std::mutex> lock(mutex_);
  const int width = 30;
  int filled = pos < 0 ? 0 : pos > 1000 ? width : pos * width / 1000;
  std::string bar = "[" + std::string(filled, '#') + std::string(width - filled, '.') + "]";
  std::string line = bar + " " + ToUtf8(clock) + "  " + ToUtf8(status);
  if (!detail_.empty()) line += "  " + ToUtf8(detail_);
  std::fprintf(stderr, "\r\033[K%s", line.c_str());
  std::fflush(stderr);
  boxShown_ = true;
}

void BatchHost::RunProgressBox() {
  struct sigaction sa {}, old {};
  sa.sa_handler = OnInterrupt;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGINT, &sa, &old);
  g_interrupted = 0;
  ticks_ = 0;
  auto nextTick = std::chrono::steady_clock::now();
  for (;;) {
    if (g_interrupted) {
      g_abortRequested = 1;  // the box's "中止"
      break;
    }
    if (terminal_ && std::chrono::steady_clock::now() >= nextTick) {
      RenderProgress();
      nextTick += std::chrono::milliseconds(500);
    }
    std::unique_lock<std::mutex> lock(mutex_);
    if (endPosted_.wait_for(lock, std::chrono::milliseconds(50), [this] { return ended_; })) break;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (boxShown_) std::fputs("\r\033[K", stderr);
    boxShown_ = false;
  }
  sigaction(SIGINT, &old, nullptr);
}

void BatchHost::WaitUntil(const std::function<bool()>& done) {
  while (!done()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

}  // namespace vandrel
