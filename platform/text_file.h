// Text files in the Windows text mode: CR LF read as "\n", "\n" written as
// CR LF. Bytes are CP932 and pass through unchanged otherwise.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace vandrel {

class TextFile {
 public:
  enum class Mode {
    Read,      // read only, shared; the whole file is read at open (regular
               // files only, found as MatchPathIgnoringCase finds them)
    Write,     // create without truncating; writes start at the beginning
    Truncate,  // create anew (truncating an old file)
    Append,    // create without truncating and move to the end
  };

  TextFile() = default;
  TextFile(const std::string& path, Mode mode) { Open(path, mode); }
  ~TextFile() { Close(); }
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  bool Open(const std::string& path, Mode mode);
  // Flushes and closes; false when a write was lost (full disk, ...), which
  // is also reported once to the lost-write handler.
  bool Close();
  bool IsOpen() const { return file_ != nullptr || reading_ || !key_.empty(); }

  // Next line without its line end; false at the end of the file.
  bool ReadLine(std::string& line);
  // Like fgets: at most maxBytes - 1 bytes, the "\n" kept when it fits.
  bool ReadLineRaw(std::string& line, size_t maxBytes);
  // True when everything has been read.
  bool AtEnd() const { return pos_ >= data_.size(); }
  // Read mode: the whole text (CR LF folded).
  std::string_view Contents() const { return data_; }

  void Write(std::string_view text);
  void SeekToEnd();
  bool Failed() const { return failed_; }

 private:
  void Flush();
  bool OpenKept(const std::string& key, const std::string& path, Mode mode);

  std::FILE* file_ = nullptr;
  std::string path_;   // write modes: for the lost-write report
  // A file of the kept tree (work_store.h): its key, where the next write
  // goes, and (inside an item) whether it goes to the end.
  std::string key_;
  size_t at_ = 0;
  bool atEnd_ = false;
  unsigned long long changesSeen_ = 0;
  bool reading_ = false;
  bool failed_ = false;
  std::string data_;   // read mode: the whole file, CR LF already folded
  size_t pos_ = 0;
  std::string out_;    // write mode: pending bytes
};

// Writes text (in Write mode) to a file that is not there; one that is there
// stays as it is. Inside an item the test is made at its commit.
void WriteIfAbsent(const std::string& path, std::string_view text);

// Reads a whole text file (CR LF folded); false when it cannot be opened.
bool ReadTextFile(const std::string& path, std::string& text);

// Files whose writes were lost: each is counted, and handed to the handler
// (the core logs it) when it is closed. The handler may write files itself.
using LostWriteHandler = void (*)(const std::string& path);
// Returns the handler it replaces.
LostWriteHandler SetLostWriteHandler(LostWriteHandler handler);
unsigned LostWriteCount();
// Counts a lost write and hands it to the handler (for writes made behind
// the run, work_store.h).
void ReportLostWrite(const std::string& path);

}  // namespace vandrel
