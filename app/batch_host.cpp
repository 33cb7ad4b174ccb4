#include "app/batch_host.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <thread>

#include "platform/cp932.h"
#include "platform/desktop.h"
#include "run/progress.h"
#include "run/run_state.h"
#include "run/texts.h"

namespace vandrel {
namespace {

volatile std::sig_atomic_t g_interrupted = 0;
// While the progress box runs, the box turns Ctrl-C into its "中止" (after
// its line is gone, so the worker's "実行中断" gets a line of its own);
// before and after it, the handler sets the abort flag itself.
std::atomic<bool> g_boxRunning{false};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "set in a signal handler");
extern "C" void OnInterrupt(int) {
  g_interrupted = 1;
  if (!g_boxRunning.load()) g_abortRequested = 1;
}

}  // namespace

BatchHost::BatchHost(bool open, bool terminal) : open_(open), terminal_(terminal) {}

BatchHost::~BatchHost() {
  std::lock_guard<std::mutex> lock(mutex_);
  FlushLines();
}

void BatchHost::FlushLines() {
  if (held_.empty()) return;
  if (boxShown_) std::fputs("\r\033[K", stderr);
  std::fwrite(held_.data(), 1, held_.size(), stderr);
  std::fflush(stderr);
  held_.clear();
  boxShown_ = false;
}

void BatchHost::PrintLine(const std::string& utf8, bool soon) {
  constexpr size_t kHeldBytes = 1 << 16;
  std::lock_guard<std::mutex> lock(mutex_);
  held_ += utf8;
  held_ += '\n';
  if (!soon || held_.size() >= kHeldBytes) FlushLines();
}

// On a terminal the progress box shows the status in its line; before and
// after it, as without a terminal, each status is a line of its own.
void BatchHost::StatusText(const std::string& text) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    lastStatus_ = text;
  }
  if (!terminal_ || !g_boxRunning.load()) PrintLine(ToUtf8(text));
}

void BatchHost::StatusDetail(const std::string& text) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    detail_ = text;
    if (terminal_ && g_boxRunning.load()) return;
  }
  PrintLine("  " + ToUtf8(text), /*soon=*/g_boxRunning.load());
}

int BatchHost::MessageBox(const std::string& text, const std::string& caption, MessageButtons) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    boxesShown_ = true;
  }
  PrintLine(ToUtf8(caption) + ": " + ToUtf8(text));
  return kIdOk;
}

void BatchHost::ExplainFailure() {
  bool said;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    said = boxesShown_ || lastStatus_ == kStatusAborted;
  }
  if (!said) StatusText(kStatusAborted);
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
  FlushLines();
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
  g_boxRunning = true;
  ticks_ = 0;
  auto nextTick = std::chrono::steady_clock::now();
  for (;;) {
    if (g_interrupted) break;
    if (terminal_ && std::chrono::steady_clock::now() >= nextTick) {
      RenderProgress();
      nextTick += std::chrono::milliseconds(500);
    }
    std::unique_lock<std::mutex> lock(mutex_);
    FlushLines();
    if (endPosted_.wait_for(lock, std::chrono::milliseconds(50), [this] { return ended_; })) break;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    FlushLines();
    if (boxShown_) std::fputs("\r\033[K", stderr);
    boxShown_ = false;
    g_boxRunning = false;
  }
  if (g_interrupted) g_abortRequested = 1;  // the box's "中止"
}

void BatchHost::WaitUntil(const std::function<bool()>& done) {
  while (!done()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

CtrlCAsCancel::CtrlCAsCancel() {
  g_interrupted = 0;
  struct sigaction sa {};
  sa.sa_handler = OnInterrupt;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGINT, &sa, &old_);
}

CtrlCAsCancel::~CtrlCAsCancel() { sigaction(SIGINT, &old_, nullptr); }

bool CtrlCAsCancel::Pressed() { return g_interrupted != 0; }

}  // namespace vandrel
