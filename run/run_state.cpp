#include "run/run_state.h"

#include <mutex>

#include <unordered_map>

#include "platform/host.h"
#include "platform/ordered_work.h"

namespace vandrel {

std::atomic<int> g_abortRequested{0};
std::atomic<int> g_analysisCompleted{0};
std::atomic<int> g_progressBase{0};
std::atomic<int> g_progressDone{0};
std::atomic<int> g_progressTotal{0};
std::atomic<int> g_progressPos{0};
std::atomic<int> g_progressTicks{0};
std::atomic<int> g_busyTicks{0};
std::atomic<int> g_memoryFactor{0};
LineCounter g_lineCounter;
thread_local std::atomic<int> g_callTreeDepth{0};

CarriedString g_currentSourceFile;

thread_local std::string g_defineWalkTrace1, g_defineWalkTrace2;
thread_local std::string g_typedefPassTrace1, g_typedefPassTrace2;
thread_local std::string g_wordWalkTrace1, g_wordWalkTrace2;
thread_local std::string g_wordPassTrace1, g_wordPassTrace2;
thread_local std::string g_functionPassTrace1, g_functionPassTrace2;
thread_local std::string g_specPassTrace1, g_specPassTrace2;
thread_local std::string g_pipelineTrace1, g_pipelineTrace2;
thread_local std::string g_callTreeTrace1, g_callTreeTrace2;

RunParameters g_runParameters;

namespace {

std::mutex g_statusMutex;
std::string g_statusText;

// An item's lines, added to the counter at its commit.
struct ItemLines {
  int lines = 0;
};

// An item's own values of the carried strings.
struct ItemStrings {
  std::unordered_map<const CarriedString*, std::string> values;
};

}  // namespace

LineCounter& LineCounter::operator+=(int lines) {
  bool fresh = false;
  if (ItemLines* item = ItemLocal<ItemLines>(&fresh)) {
    if (fresh) CurrentItem()->Defer([this, item] { value_ += item->lines; });
    item->lines += lines;
  } else {
    value_ += lines;
  }
  return *this;
}

LineCounter& LineCounter::operator=(int value) {
  if (ItemContext* item = CurrentItem()) item->RunAtTurn();
  value_ = value;
  return *this;
}

LineCounter::operator int() const {
  if (ItemContext* item = CurrentItem()) item->RunAtTurn();
  return value_.load();
}

CarriedString& CarriedString::operator=(std::string value) {
  if (ItemStrings* item = ItemLocal<ItemStrings>()) {
    auto [it, added] = item->values.try_emplace(this);
    if (added) CurrentItem()->Defer([this, item] { value_ = item->values[this]; });
    it->second = std::move(value);
  } else {
    value_ = std::move(value);
  }
  return *this;
}

const std::string& CarriedString::Get() const {
  if (ItemStrings* item = ItemLocal<ItemStrings>()) {
    auto it = item->values.find(this);
    if (it != item->values.end()) return it->second;
    CurrentItem()->RunAtTurn();  // what the items before it leave
  }
  return value_;
}

void SetAllTraces(const std::string& text) {
  for (std::string* s : {&g_defineWalkTrace1, &g_defineWalkTrace2, &g_typedefPassTrace1,
                         &g_typedefPassTrace2, &g_wordWalkTrace1, &g_wordWalkTrace2,
                         &g_wordPassTrace1, &g_wordPassTrace2, &g_functionPassTrace1,
                         &g_functionPassTrace2, &g_specPassTrace1, &g_specPassTrace2,
                         &g_pipelineTrace1, &g_pipelineTrace2, &g_callTreeTrace1,
                         &g_callTreeTrace2})
    *s = text;
}

void SetStatusText(std::string text) {
  if (CurrentItem()) return AtCommit([text] { SetStatusText(text); });
  CurrentHost().StatusText(text);
  std::lock_guard<std::mutex> lock(g_statusMutex);
  g_statusText = std::move(text);
}

void SetStatusDetail(std::string text) {
  if (CurrentItem()) return AtCommit([text] { SetStatusDetail(text); });
  CurrentHost().StatusDetail(text);
}

std::string GetStatusText() {
  std::lock_guard<std::mutex> lock(g_statusMutex);
  return g_statusText;
}

}  // namespace vandrel
