// Shared test helpers: a fresh current directory per test, a host that
// records what the core tells the user, and raw file access.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/cp932.h"
#include "platform/host.h"

namespace vandrel::test {

// UTF-8 text of a test written as CP932.
inline std::string Sj(const char* utf8) { return ToCp932(utf8); }

// "\n" -> CR LF, as text files are on disk.
inline std::string Crlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path().empty() ? "." : path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : -1;
  if (size < 0) {
    std::stringstream ss;
    ss << std::ifstream(path, std::ios::binary).rdbuf();
    return ss.str();
  }
  // In one piece: the large pages of whole runs are read fast.
  std::string bytes(static_cast<size_t>(size), '\0');
  in.seekg(0);
  in.read(bytes.data(), size);
  bytes.resize(static_cast<size_t>(in.gcount()));
  return bytes;
}

// A log's text with its time stamps ("26.12.11 05:40:00") as "TIME".
inline std::string LogTimesAsTime(const std::string& log) {
  static const std::regex stamp("\\d\\d\\.\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d");
  return std::regex_replace(log, stamp, "TIME");
}

// Each test runs in its own empty current directory (the work folder, the
// log and DefList.txt are relative to it).
class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = std::filesystem::current_path();
    std::string tmpl = (std::filesystem::temp_directory_path() / "vandrel-test-XXXXXX").string();
    dir_ = mkdtemp(tmpl.data());
    std::filesystem::current_path(dir_);
  }
  void TearDown() override {
    std::filesystem::current_path(old_);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  const std::filesystem::path& dir() const { return dir_; }

 private:
  std::filesystem::path old_, dir_;
};

struct RecordedBox {
  std::string text, caption;
  MessageButtons buttons;
};

// Records everything; boxes are answered with `answer`.
class RecordingHost : public Host {
 public:
  RecordingHost() { SetHost(this); }
  ~RecordingHost() override { SetHost(nullptr); }

  // The copies into the result folder set the detail from several threads.
  void StatusText(const std::string& t) override {
    {
      std::lock_guard<std::mutex> lock(statusMutex_);
      statusTexts.push_back(t);
    }
    if (onStatusText) onStatusText(t);
  }
  void StatusDetail(const std::string& t) override {
    {
      std::lock_guard<std::mutex> lock(statusMutex_);
      statusDetails.push_back(t);
    }
    if (onStatusDetail) onStatusDetail(t);
  }
  int MessageBox(const std::string& text, const std::string& caption, MessageButtons b) override {
    boxes.push_back({text, caption, b});
    return answer;
  }
  void PostEndOfRun() override { ++endOfRunPosts; }
  void ForgetEndOfRun() override { endOfRunPosts = 0; }
  bool ConfirmOpen(const std::string& text, const std::string& caption) override {
    boxes.push_back({text, caption, MessageButtons::OkCancel});
    if (onConfirmOpen) onConfirmOpen();
    return confirmOpen;
  }
  bool OpenDocument(const std::string& path) override {
    opened.push_back(path);
    return openSucceeds;
  }

  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> t;
    for (const auto& b : boxes) t.push_back(b.text);
    return t;
  }

  // Called on the thread that sets the status text (the worker in a run).
  std::function<void(const std::string&)> onStatusText;
  std::function<void(const std::string&)> onStatusDetail;
  std::function<void()> onConfirmOpen;
  std::vector<std::string> statusTexts, statusDetails, opened;
  std::vector<RecordedBox> boxes;
  std::atomic<int> endOfRunPosts{0};
  int answer = kIdOk;
  bool confirmOpen = false;
  bool openSucceeds = true;

 private:
  std::mutex statusMutex_;
};

}  // namespace vandrel::test
