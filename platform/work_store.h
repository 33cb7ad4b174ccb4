// The files of one folder tree (the work folder) kept in memory while a run
// works on several threads. A write changes the kept bytes at once and
// reaches the disk behind the run, on the work threads, each file's changes
// in the order made; reads, existence tests, stamps and scans see every
// write, whether on the disk yet or not. An item running ahead
// (ordered_work.h) changes only its own view; its changes are applied at its
// commit, and what it read of the tree is checked there.
//
// Nothing is kept while no run has begun or with one work thread: every
// call then goes to the disk as it comes.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vandrel::work_store {

// A change of a file's bytes (CR LF as on the disk).
struct FileOp {
  enum Kind {
    kTruncate,
    kWriteAt,
    kAppend,
    kDelete,
    kCreate,  // bytes written from the start when no file is there, else nothing
  };
  Kind kind;
  size_t pos = 0;  // kWriteAt
  std::string bytes;
};
void ApplyOp(std::string& content, const FileOp& op);
void ApplyOp(std::string& content, FileOp&& op);  // may take op's bytes

// Starts keeping the tree below root ("./vcwk012345"); nothing with one work
// thread. Ends what an earlier Begin left.
void Begin(const std::string& root);
// Waits until every change is on the disk and stops keeping the tree; with
// dropWrites (the tree is to be deleted), the changes not yet being written
// are dropped.
void End(bool dropWrites = false);
// Waits until every change made so far is on the disk and the actions
// (AfterChangesSoFar) waiting for them have run.
void Drain();
bool Active();
// Runs action once every change made so far is on the disk, after the
// reports (ReportLostWrite, text_file.h) of the writes among them that were
// lost, in the order the changes were made; actions run in the order given.
// At once when nothing is kept. For lines of a log that must stand where a
// write of one thread would have reported its loss.
void AfterChangesSoFar(std::function<void()> action);
// True on a thread while it runs such actions and the reports before them:
// what they log stands where they run, outside any group open there.
bool RunningActions();
// The bytes that the kept files may hold in memory; files already on the
// disk are dropped from memory beyond it (read again from the disk).
void SetMemoryBudgetForTesting(size_t bytes);

// The key of an OS path within the kept tree (relative, without "./"), or
// nothing when it lies outside or nothing is kept.
std::optional<std::string> KeyOf(std::string_view osPath);

// What the tree holds for a key, as this thread sees it (inside an item: the
// item's own changes over the committed tree; what it read is checked at the
// commit). `kept` is false when only the disk knows: the caller then reads
// the disk itself.
struct View {
  bool kept = false;
  bool exists = false;
  std::string bytes;      // with `wantBytes`
  uint64_t size = 0;
  uint64_t id = 0;        // stays with the file while it is kept
  uint64_t version = 0;   // changes with every change
};
View Look(const std::string& key, bool wantBytes);
// Applies changes to a file (inside an item: to its view, applied at its
// commit). `path` is the file's name as the caller gave it, for the report of
// a write that the disk lost.
void Change(const std::string& key, const std::string& path, std::vector<FileOp> ops);

// Moves a kept file's bytes to another key, as a rename does; false when the
// tree keeps no such file (the caller then renames on the disk).
bool Move(const std::string& fromKey, const std::string& fromPath, const std::string& toKey,
          const std::string& toPath);

// True when a file may be made at the key: its folder is there (inside an
// item: or the item makes it; an item that would wait for an earlier one's
// folder runs at its turn).
bool CanCreate(const std::string& key);
// Makes a folder of the kept tree (inside an item: at its commit); true when
// it was not there.
bool MakeFolder(const std::string& key);
// A folder of the tree that was removed from the disk.
void FolderRemoved(std::string_view osPath);

// The number of changes made to the key inside the current item so far (for
// a handle that must know whether another handle wrote in between).
uint64_t ItemChangeCount(const std::string& key);

// Waits until the changes to keys below the folder key (or to every key)
// are on the disk; inside an item the item must run at its turn instead.
void SettleFolder(std::string_view osPath);
// Forgets the kept files below an OS path, after their changes reached the
// disk (the caller removes or renames them on the disk).
void Forget(std::string_view osPath);

}  // namespace vandrel::work_store
