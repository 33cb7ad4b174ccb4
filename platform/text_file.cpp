#include "platform/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "platform/file_ops.h"
#include "platform/ordered_work.h"
#include "platform/os_path.h"
#include "platform/work_store.h"

namespace vandrel {
namespace {

constexpr size_t kFlushSize = 1 << 16;

void FoldCrLf(std::string& s) {
  size_t w = 0;
  for (size_t r = 0; r < s.size(); ++r) {
    if (s[r] == '\r' && r + 1 < s.size() && s[r + 1] == '\n') continue;
    s[w++] = s[r];
  }
  s.resize(w);
}

int OpenForReading(const std::string& path) {
  // Non-blocking, so that a FIFO does not wait for a writer.
  const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC;
  int fd = ::open(OsPath(path).c_str(), flags);
  std::string other;
  if (fd < 0 && errno == ENOENT && MatchPathIgnoringCase(path, other))
    fd = ::open(OsPath(other).c_str(), flags);
  return fd;
}

// Regular files only: a FIFO or a device would block or never end. A file
// of the kept tree comes from there.
bool ReadRaw(const std::string& path, std::string& out) {
  if (std::optional<std::string> key = work_store::KeyOf(OsPath(path))) {
    work_store::View v = work_store::Look(*key, true);
    if (v.kept && v.exists) {
      out = std::move(v.bytes);
      return true;
    }
  }
  int fd = OpenForReading(path);
  if (fd < 0) return false;
  struct stat st;
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  out.clear();
  if (ok) out.reserve(static_cast<size_t>(st.st_size));
  char buf[1 << 16];
  while (ok) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n > 0) {
      out.append(buf, static_cast<size_t>(n));
    } else if (n == 0) {
      break;
    } else if (errno != EINTR) {
      ok = false;
    }
  }
  ::close(fd);
  return ok;
}

std::atomic<LostWriteHandler> g_lostWriteHandler{nullptr};
std::atomic<unsigned> g_lostWrites{0};

}  // namespace

LostWriteHandler SetLostWriteHandler(LostWriteHandler handler) { return g_lostWriteHandler.exchange(handler); }
unsigned LostWriteCount() { return g_lostWrites.load(); }

void ReportLostWrite(const std::string& path) {
  ++g_lostWrites;
  if (LostWriteHandler handler = g_lostWriteHandler.load()) handler(path);
}

void WriteIfAbsent(const std::string& path, std::string_view text) {
  if (std::optional<std::string> key = work_store::KeyOf(OsPath(path))) {
    if (!work_store::CanCreate(*key)) return;
    std::string bytes;
    for (char c : text) {
      if (c == '\n') bytes += '\r';
      bytes += c;
    }
    std::vector<work_store::FileOp> ops(1);
    ops[0] = {work_store::FileOp::kCreate, 0, std::move(bytes)};
    work_store::Change(*key, path, std::move(ops));
    return;
  }
  if (PathExists(path)) return;
  TextFile file;
  if (file.Open(path, TextFile::Mode::Write)) file.Write(text);
}

bool ReadTextFile(const std::string& path, std::string& text) {
  if (!ReadRaw(path, text)) return false;
  FoldCrLf(text);
  return true;
}

bool TextFile::Open(const std::string& path, Mode mode) {
  Close();
  failed_ = false;
  if (mode == Mode::Read) {
    if (!ReadTextFile(path, data_)) return false;
    pos_ = 0;
    reading_ = true;
    return true;
  }
  if (std::optional<std::string> key = work_store::KeyOf(OsPath(path)))
    return OpenKept(*key, path, mode);
  if (ItemContext* item = CurrentItem()) {
    item->RunAtTurn();  // a write that cannot be held
    return false;
  }
  int flags = O_RDWR | O_CREAT | (mode == Mode::Truncate ? O_TRUNC : 0);
  int fd = ::open(OsPath(path).c_str(), flags, 0644);
  if (fd < 0) return false;
  file_ = ::fdopen(fd, "r+b");
  if (!file_) {
    ::close(fd);
    return false;
  }
  path_ = path;
  if (mode == Mode::Append) SeekToEnd();
  return true;
}

// A file of the kept tree is made at once, as an open makes it; its writes
// are changes of the tree. Inside an item an appending handle writes to
// the end of what earlier items leave, whatever that is.
bool TextFile::OpenKept(const std::string& key, const std::string& path, Mode mode) {
  if (!work_store::CanCreate(key)) return false;
  key_ = key;
  path_ = path;
  work_store::Change(key_, path_,
                     {mode == Mode::Truncate ? work_store::FileOp{work_store::FileOp::kTruncate, 0, {}}
                                             : work_store::FileOp{work_store::FileOp::kWriteAt, 0, {}}});
  at_ = 0;
  atEnd_ = false;
  if (mode == Mode::Append) SeekToEnd();
  return true;
}

bool TextFile::Close() {
  bool ok = !failed_;
  if (!key_.empty()) {
    Flush();
    key_.clear();
  }
  if (file_) {
    Flush();
    if (std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    ok = !failed_;
    if (failed_) {
      ++g_lostWrites;
      if (LostWriteHandler handler = g_lostWriteHandler.load()) handler(path_);
    }
  }
  reading_ = false;
  data_.clear();
  pos_ = 0;
  return ok;
}

bool TextFile::ReadLine(std::string& line) {
  if (!reading_ || pos_ >= data_.size()) return false;
  size_t end = data_.find('\n', pos_);
  if (end == std::string::npos) {
    line.assign(data_, pos_, std::string::npos);
    pos_ = data_.size();
  } else {
    line.assign(data_, pos_, end - pos_);
    pos_ = end + 1;
  }
  return true;
}

bool TextFile::ReadLineRaw(std::string& line, size_t maxBytes) {
  if (!reading_ || pos_ >= data_.size() || maxBytes < 2) return false;
  size_t limit = std::min(data_.size(), pos_ + maxBytes - 1);
  size_t end = data_.find('\n', pos_);
  size_t stop = (end == std::string::npos || end >= limit) ? limit : end + 1;
  line.assign(data_, pos_, stop - pos_);
  pos_ = stop;
  return true;
}

void TextFile::Write(std::string_view text) {
  if (!file_ && key_.empty()) return;
  for (size_t pos = 0; pos < text.size();) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) {
      out_.append(text.data() + pos, text.size() - pos);
      break;
    }
    out_.append(text.data() + pos, end - pos);
    out_.append("\r\n", 2);
    pos = end + 1;
    if (out_.size() >= kFlushSize) Flush();
  }
  if (out_.size() >= kFlushSize) Flush();
}

void TextFile::Flush() {
  if (out_.empty()) return;
  if (!key_.empty()) {
    if (atEnd_) {
      // Another handle wrote the file since this one found its end: the end
      // it would write at is known only in order.
      if (work_store::ItemChangeCount(key_) != changesSeen_) CurrentItem()->RunAtTurn();
      std::vector<work_store::FileOp> ops(1);
      ops[0] = {work_store::FileOp::kAppend, 0, std::move(out_)};
      work_store::Change(key_, path_, std::move(ops));
    } else {
      const size_t n = out_.size();
      std::vector<work_store::FileOp> ops(1);
      ops[0] = {work_store::FileOp::kWriteAt, at_, std::move(out_)};
      work_store::Change(key_, path_, std::move(ops));
      at_ += n;
    }
    changesSeen_ = work_store::ItemChangeCount(key_);
    out_.clear();
    return;
  }
  if (!file_) return;
  if (std::fwrite(out_.data(), 1, out_.size(), file_) != out_.size()) failed_ = true;
  out_.clear();
}

void TextFile::SeekToEnd() {
  if (!key_.empty()) {
    Flush();
    if (CurrentItem()) {
      atEnd_ = true;
      changesSeen_ = work_store::ItemChangeCount(key_);
    } else {
      at_ = work_store::Look(key_, false).size;
    }
    return;
  }
  if (!file_) return;
  Flush();
  std::fseek(file_, 0, SEEK_END);
}

}  // namespace vandrel
