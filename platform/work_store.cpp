#include "platform/work_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include <dirent.h>

#include "platform/ordered_work.h"
#include "platform/text_file.h"

namespace vandrel::work_store {

void ApplyOp(std::string& content, FileOp&& op) {
  // Bytes that replace all there is are taken as they are.
  if ((op.kind == FileOp::kWriteAt && op.pos == 0 && content.size() <= op.bytes.size()) ||
      (op.kind == FileOp::kAppend && content.empty())) {
    content = std::move(op.bytes);
    return;
  }
  ApplyOp(content, static_cast<const FileOp&>(op));
}

void ApplyOp(std::string& content, const FileOp& op) {
  switch (op.kind) {
    case FileOp::kTruncate:
    case FileOp::kDelete:
      content.clear();
      break;
    case FileOp::kAppend:
      content += op.bytes;
      break;
    case FileOp::kCreate:  // where there is no file: a write from the start
    case FileOp::kWriteAt:
      if (content.size() < op.pos) content.resize(op.pos, '\0');
      content.replace(op.pos, std::min(op.bytes.size(), content.size() - op.pos), op.bytes);
      break;
  }
}

namespace {

constexpr size_t kShards = 64;
constexpr size_t kNothingDirty = static_cast<size_t>(-1);
// Files this large leave memory once written: they are rarely read again in
// a run, and appends to them are kept without them.
constexpr size_t kLargeFile = size_t(1) << 20;

struct Entry {
  std::string path;       // as the last change named it (CP932), for a lost write
  std::string content;     // the whole file, while contentFrom is 0
  size_t contentFrom = 0;  // the bytes before it are on the disk only
  // Past contentFrom, the bytes appended and not yet written, as they came.
  std::vector<std::string> tail;
  bool deleted = false;
  uint64_t id = 0;
  uint64_t version = 1;
  uint64_t size = 0;
  uint64_t diskSize = 0;         // the file's size on the disk, as far as known
  size_t dirtyFrom = kNothingDirty;  // the first byte changed since the last write
  bool dirtyDelete = false;      // the file is to be removed from the disk
  bool queued = false;           // a write is posted
  bool writing = false;          // bytes before contentFrom are being written
  bool unwritten = false;        // changes not yet taken by a write
  uint64_t dirtySeq = 0;         // the first of them, in the order of all changes
  uint64_t lastSeq = 0;          // the last change
  bool failed = false;           // a write was lost (reported once)
};

struct Shard {
  std::mutex mutex;
  std::condition_variable written;  // an entry's writing ended
  std::unordered_map<std::string, Entry> entries;
};

struct Store {
  std::atomic<bool> active{false};
  std::string root;  // normalised, e.g. "vcwk012345"
  std::string cwd;   // the OS current directory at Begin, with a final "/"
  Shard shards[kShards];
  std::atomic<uint64_t> nextId{1};
  std::atomic<size_t> resident{0};
  std::atomic<size_t> budget{size_t(128) << 20};
  std::atomic<uint64_t> epoch{0};  // changes when kept files are forgotten
  std::mutex pendingMutex;
  std::condition_variable settled;
  std::atomic<size_t> pending{0};  // files queued or being written
  // Files to write, under pendingMutex: the keys of kept entries (which stay
  // while their writes are pending).
  std::deque<const std::string*> queue;
  std::atomic<size_t> queued{0};  // its size
  unsigned writers = 0;           // writer tasks running
  // Changes are numbered in the order made. Under pendingMutex: the first
  // change of each file queued or being written, and the writes lost, by the
  // last change of the lost write.
  std::atomic<uint64_t> changes{0};
  std::multiset<uint64_t> inflight;
  std::vector<std::pair<uint64_t, std::string>> lost;
  // What waits for the changes made before it (the log's lines), in order.
  std::mutex actionsMutex;
  std::deque<std::pair<uint64_t, std::function<void()>>> actions;
  std::atomic<size_t> actionCount{0};
  std::mutex flushMutex;
  // The names that folders held on the disk when the tree first touched them.
  std::mutex namesMutex;
  std::unordered_map<std::string, std::unordered_set<std::string>> diskNames;
  std::unordered_set<std::string> folders;  // folders found on the disk
};

Store& S() {
  static Store store;
  return store;
}

Shard& ShardOf(const std::string& key) { return S().shards[std::hash<std::string>{}(key) % kShards]; }

// "a/./b//c/../d" -> "a/b/d"; false for a path that climbs above its start.
bool Normalise(std::string_view path, std::string& out) {
  std::vector<std::string_view> parts;
  size_t at = 0;
  while (at <= path.size()) {
    size_t end = path.find('/', at);
    if (end == std::string_view::npos) end = path.size();
    std::string_view part = path.substr(at, end - at);
    if (part == "..") {
      if (parts.empty()) return false;
      parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    at = end + 1;
  }
  out.clear();
  for (std::string_view p : parts) {
    if (!out.empty()) out += '/';
    out.append(p);
  }
  return true;
}

// A regular file's bytes (a device, such as /dev/full, holds none).
bool ReadDisk(const std::string& key, std::string& bytes) {
  bytes.clear();
  int fd = ::open(key.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  char buf[1 << 16];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n > 0) {
      bytes.append(buf, static_cast<size_t>(n));
    } else if (n == 0 || errno != EINTR) {
      break;
    }
  }
  ::close(fd);
  return true;
}

// Whether the disk held the file before the tree kept it: the folder's names
// are listed once, at its first file.
bool OnDiskBefore(const std::string& key) {
  const size_t slash = key.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : key.substr(0, slash);
  const std::string name = slash == std::string::npos ? key : key.substr(slash + 1);
  std::lock_guard<std::mutex> lock(S().namesMutex);
  auto [it, added] = S().diskNames.try_emplace(folder);
  if (added) {
    if (DIR* dir = ::opendir(folder.c_str())) {
      while (dirent* d = ::readdir(dir)) it->second.insert(d->d_name);
      ::closedir(dir);
    }
  }
  return it->second.count(name) != 0;
}

// The item's own view: its changes, and what it read of the committed tree.
struct Overlay {
  struct File {
    std::vector<FileOp> ops;
    uint64_t changes = 0;
    bool deferred = false;  // its commit effect is registered
  };
  std::unordered_map<std::string, File> files;
  std::unordered_map<std::string, uint64_t> seen;  // key -> committed version read (0: not kept)
  std::unordered_set<std::string> folders;         // made at the commit
  uint64_t epoch = 0;
  bool checking = false;
};

// What a file's write leaves to settle with the queue.
struct Written {
  uint64_t firstChange = 0;  // the write's first change, in flight till now
  bool inFlight = false;
  bool again = false;        // changed meanwhile: written again from nextChange
  uint64_t nextChange = 0;
  bool lost = false;         // lost, reported as `shown` after lastChange
  uint64_t lastChange = 0;
  std::string shown;
};
Written WritePosted(const std::string& key);
void Settle(const std::vector<const std::string*>& keys, const std::vector<Written>& writes);
void RunReadyActions(bool all);

// The files to write wait in a queue that a few writer tasks empty; a task
// is started only when fewer are running than the work threads allow.
void WriterTask() {
  std::vector<const std::string*> keys;
  std::vector<Written> writes;
  for (int idle = 0;;) {
    // A writer stays a little while for files to come, then goes; while
    // none come it leaves the queue's lock to those who post.
    if (S().queued.load() == 0 && ++idle <= 100) {
      std::this_thread::yield();
      continue;
    }
    {
      std::lock_guard<std::mutex> lock(S().pendingMutex);
      for (int n = 0; n < 16 && !S().queue.empty(); ++n) {
        keys.push_back(S().queue.front());
        S().queue.pop_front();
      }
      S().queued = S().queue.size();
      if (keys.empty() && idle > 100) {
        --S().writers;
        return;
      }
    }
    if (keys.empty()) continue;
    idle = 0;
    writes.clear();
    for (const std::string* key : keys) writes.push_back(WritePosted(*key));
    Settle(keys, writes);
    keys.clear();
  }
}

// Queues a file's write (under pendingMutex); true when a writer is to be
// started.
bool QueueLocked(const std::string* key, uint64_t firstChange) {
  ++S().pending;
  S().inflight.insert(firstChange);
  S().queue.push_back(key);
  S().queued = S().queue.size();
  if (S().writers >= std::max(1u, WorkThreads() / 2)) return false;
  ++S().writers;
  return true;
}

// Queues the write of a kept file (key: the entry's own) unless one is
// queued; its shard's lock is released first, so that the writer that takes
// it at once need not wait for it.
void PostUnlocking(const std::string& key, Entry& e, std::unique_lock<std::mutex>& lock) {
  if (e.queued) return;
  e.queued = true;
  const uint64_t firstChange = e.dirtySeq;
  lock.unlock();
  bool start;
  {
    std::lock_guard<std::mutex> pending(S().pendingMutex);
    start = QueueLocked(&key, firstChange);
  }
  if (start) PostTask(WriterTask);
}

void Done() {
  if (--S().pending != 0) return;
  std::lock_guard<std::mutex> lock(S().pendingMutex);
  S().settled.notify_all();
}

thread_local bool t_runningActions = false;

// Runs the actions whose changes before them are all on the disk (or all of
// them, everything being written), each after the reports of the writes
// lost before it, in the order of the changes. A thread running an item
// leaves them to the others.
void RunReadyActions(bool all) {
  // Not inside an item: what the actions log would wait for its commit.
  if (!all && CurrentItem()) return;
  std::lock_guard<std::mutex> flush(S().flushMutex);
  t_runningActions = true;
  for (;;) {
    uint64_t written;  // every change before it is on the disk
    std::vector<std::pair<uint64_t, std::string>> lost;
    std::pair<uint64_t, std::function<void()>> action;
    bool have = false;
    {
      std::lock_guard<std::mutex> pending(S().pendingMutex);
      written = S().inflight.empty() ? S().changes.load() : *S().inflight.begin();
      std::lock_guard<std::mutex> actions(S().actionsMutex);
      if (!S().actions.empty() && (all || S().actions.front().first <= written)) {
        action = std::move(S().actions.front());
        S().actions.pop_front();
        --S().actionCount;
        have = true;
      }
      // The writes lost before the action, or all of them at the end.
      std::sort(S().lost.begin(), S().lost.end());
      auto until = have ? std::lower_bound(S().lost.begin(), S().lost.end(), std::make_pair(action.first, std::string()))
                        : (all ? S().lost.end() : S().lost.begin());
      lost.assign(std::make_move_iterator(S().lost.begin()), std::make_move_iterator(until));
      S().lost.erase(S().lost.begin(), until);
    }
    for (const auto& [change, path] : lost) ReportLostWrite(path);
    if (!have) break;
    action.second();
  }
  t_runningActions = false;
}

// The whole file of an entry part of which is on the disk only: that part
// has reached the disk, so it reads the same there whatever is written now.
std::string WholeBytes(const std::string& key, size_t contentFrom, const std::vector<std::string>& tail) {
  std::string bytes;
  ReadDisk(key, bytes);
  bytes.resize(contentFrom, '\0');
  for (const std::string& t : tail) bytes += t;
  return bytes;
}

size_t TailSize(const Entry& e) {
  size_t n = 0;
  for (const std::string& t : e.tail) n += t.size();
  return n;
}

// Waits until the bytes of an entry before contentFrom are on the disk.
void WaitWritten(Shard& shard, std::unique_lock<std::mutex>& lock, const Entry& e) {
  shard.written.wait(lock, [&] { return !e.writing; });
}

// Brings the whole file of an entry into memory (its shard locked).
void LoadWhole(Shard& shard, std::unique_lock<std::mutex>& lock, const std::string& key, Entry& e) {
  if (e.contentFrom == 0) return;
  WaitWritten(shard, lock, e);
  S().resident -= TailSize(e);
  e.content = WholeBytes(key, e.contentFrom, e.tail);
  e.tail.clear();
  e.contentFrom = 0;
  S().resident += e.content.size();
}

// True for changes that only add to the end of a file of the given size:
// an open that writes nothing, appends, writes where the file ends.
bool OnlyAppends(const std::vector<FileOp>& ops, size_t size) {
  for (const FileOp& op : ops) {
    if (op.kind == FileOp::kWriteAt && op.bytes.empty() && op.pos <= size) continue;
    if (op.kind == FileOp::kAppend || (op.kind == FileOp::kWriteAt && op.pos == size)) {
      size += op.bytes.size();
      continue;
    }
    return false;
  }
  return true;
}

// Writes what changed of a file since its last write, on a work thread.
Written WritePosted(const std::string& key) {
  Written w;
  Shard& shard = ShardOf(key);
  std::unique_lock<std::mutex> lock(shard.mutex);
  auto it = shard.entries.find(key);
  if (it == shard.entries.end()) return w;
  Entry& e = it->second;
  const uint64_t version = e.version;
  const bool remove = e.deleted;
  const bool removeFirst = e.dirtyDelete;
  size_t from = e.dirtyFrom == kNothingDirty ? e.size : std::max(e.dirtyFrom, e.contentFrom);
  std::vector<std::string> bytes;  // written one after another from `from`
  const bool large = e.content.size() > kLargeFile || S().resident > S().budget;
  if (!remove && e.contentFrom > 0) {
    // What was appended goes with the write (readers wait for it).
    bytes.swap(e.tail);
    from = e.contentFrom;
    for (const std::string& t : bytes) {
      S().resident -= t.size();
      e.contentFrom += t.size();
    }
    e.writing = true;
  } else if (!remove && large && from == 0) {
    // All of it is to be written and then to leave memory: it goes with the
    // write.
    S().resident -= e.content.size();
    e.contentFrom = e.content.size();
    bytes.push_back(std::move(e.content));
    e.content.clear();
    e.writing = true;
  } else if (!remove) {
    bytes.push_back(e.content.substr(std::min(from, e.content.size())));
  }
  const uint64_t size = e.size, diskSize = e.diskSize;
  const std::string shown = e.path;
  const uint64_t firstChange = e.dirtySeq, lastChange = e.lastSeq;
  e.dirtyFrom = kNothingDirty;
  e.dirtyDelete = false;
  e.unwritten = false;
  lock.unlock();

  bool ok = true;
  if (removeFirst || remove) {
    if (::unlink(key.c_str()) != 0 && errno != ENOENT) ok = false;
  }
  if (!remove) {
    int fd = ::open(key.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
      ok = false;
    } else {
      size_t at = from;
      for (const std::string& chunk : bytes) {
        for (size_t done = 0; ok && done < chunk.size();) {
          ssize_t n = ::pwrite(fd, chunk.data() + done, chunk.size() - done, static_cast<off_t>(at + done));
          if (n < 0 && errno == EINTR) continue;
          if (n <= 0) ok = false;
          else done += static_cast<size_t>(n);
        }
        at += chunk.size();
      }
      if (ok && diskSize > size && ::ftruncate(fd, static_cast<off_t>(size)) != 0) ok = false;
      if (::close(fd) != 0) ok = false;
    }
  }

  w.firstChange = firstChange;
  w.inFlight = true;
  w.lastChange = lastChange;
  lock.lock();
  it = shard.entries.find(key);
  if (it != shard.entries.end()) {
    Entry& now = it->second;
    if (now.writing) {
      now.writing = false;
      shard.written.notify_all();
    }
    now.diskSize = remove ? 0 : size;
    // What was written leaves memory when the file is large or memory is
    // short, unless it changed meanwhile (then it is written again); what
    // came after it stays as the file's tail.
    size_t written = from;
    for (const std::string& chunk : bytes) written += chunk.size();
    // (Nothing leaves when nothing was written: the bytes past contentFrom
    // are a tail only once some are on the disk.)
    if (ok && !now.deleted && now.contentFrom == 0 && written > 0 &&
        (S().resident > S().budget || now.content.size() > kLargeFile) && written <= now.content.size() &&
        (now.dirtyFrom == kNothingDirty || now.dirtyFrom >= written)) {
      S().resident -= written;
      std::string rest = now.content.substr(written);
      std::string().swap(now.content);
      now.contentFrom = written;
      if (!rest.empty()) now.tail.push_back(std::move(rest));
    }
    if (!ok) {
      // From now on the disk tells what the file holds.
      if (!now.failed) {
        w.lost = true;
        w.shown = shown;
      }
      now.failed = true;
      S().resident -= now.content.size() + TailSize(now);
      std::string().swap(now.content);
      now.tail.clear();
      now.contentFrom = now.size;
    }
    // Changed meanwhile: written again, its first change in flight before
    // this write's leaves, so that no action runs in between.
    w.again = now.version != version;
    now.queued = w.again;
    w.nextChange = now.dirtySeq;
  }
  return w;
}

// Settles a writer's writes with the queue: files changed meanwhile queued
// again, the writes' changes out of flight, the lost ones noted.
void Settle(const std::vector<const std::string*>& keys, const std::vector<Written>& writes) {
  int start = 0;
  {
    std::lock_guard<std::mutex> pending(S().pendingMutex);
    for (size_t i = 0; i < keys.size(); ++i) {
      const Written& w = writes[i];
      if (w.again && QueueLocked(keys[i], w.nextChange)) ++start;
      if (!w.inFlight) continue;
      if (auto f = S().inflight.find(w.firstChange); f != S().inflight.end()) S().inflight.erase(f);
      if (w.lost) S().lost.emplace_back(w.lastChange, w.shown);
    }
  }
  for (; start > 0; --start) PostTask(WriterTask);
  for (size_t i = 0; i < keys.size(); ++i) Done();
  if (S().actionCount.load() > 0) RunReadyActions(false);
}

// Applies changes to the committed tree.
void ChangeCommitted(const std::string& key, const std::string& path, std::vector<FileOp>&& ops) {
  Shard& shard = ShardOf(key);
  std::unique_lock<std::mutex> lock(shard.mutex);
  auto [it, added] = shard.entries.try_emplace(key);
  Entry& e = it->second;
  e.path = path;
  const uint64_t change = S().changes++;
  e.lastSeq = change;
  if (!e.unwritten) {
    e.unwritten = true;
    e.dirtySeq = change;
  }
  struct stat st;
  const bool onDisk = added && OnDiskBefore(key) && ::stat(key.c_str(), &st) == 0;
  // A file made only where there is none: a write from the start, or nothing.
  bool exists = added ? onDisk : !e.deleted;
  for (FileOp& op : ops) {
    if (op.kind == FileOp::kCreate) {
      op.kind = FileOp::kWriteAt;
      op.pos = 0;
      if (exists) op.bytes.clear();
    }
    exists = op.kind != FileOp::kDelete;
  }
  const bool keepsBase = !ops.empty() && ops.front().kind != FileOp::kTruncate && ops.front().kind != FileOp::kDelete;
  if (added) {
    e.id = S().nextId++;
    if (onDisk) {
      e.diskSize = static_cast<uint64_t>(st.st_size);
      if (keepsBase) ReadDisk(key, e.content);
      S().resident += e.content.size();
      e.dirtyFrom = e.content.size();
    } else {
      e.dirtyFrom = 0;  // the file is to be made
    }
  } else if (e.failed && !e.queued) {
    // A file whose write was lost goes on from what the disk holds.
    e.failed = false;
    e.content.clear();
    if (keepsBase) ReadDisk(key, e.content);
    e.contentFrom = 0;
    e.size = e.content.size();
    e.dirtyFrom = 0;
    S().resident += e.content.size();
  } else if (e.contentFrom > 0) {
    if (OnlyAppends(ops, e.size)) {
      // Only what is added is kept; the rest stays on the disk.
      for (FileOp& op : ops) {
        if (op.bytes.empty()) continue;
        e.dirtyFrom = std::min<size_t>(e.dirtyFrom, e.size);
        e.size += op.bytes.size();
        S().resident += op.bytes.size();
        e.tail.push_back(std::move(op.bytes));
      }
      ++e.version;
      if (e.dirtyFrom != kNothingDirty) PostUnlocking(it->first, e, lock);
      return;
    }
    if (keepsBase) {
      LoadWhole(shard, lock, key, e);
    } else {
      WaitWritten(shard, lock, e);
      S().resident -= TailSize(e);
      e.tail.clear();
      e.content.clear();
      e.contentFrom = 0;
    }
  }
  const size_t before = e.content.size();
  for (FileOp& op : ops) {
    if (op.kind == FileOp::kDelete) {
      e.deleted = true;
      e.dirtyDelete = true;
    } else if (e.deleted) {
      e.deleted = false;
      e.dirtyFrom = 0;
    }
    size_t changedFrom = op.kind == FileOp::kWriteAt && op.bytes.empty() ? kNothingDirty
                         : op.kind == FileOp::kWriteAt ? std::min(op.pos, e.content.size())
                         : op.kind == FileOp::kAppend ? e.content.size()
                                                      : 0;
    const bool deletes = op.kind == FileOp::kDelete;
    ApplyOp(e.content, std::move(op));
    if (deletes) changedFrom = kNothingDirty;
    if (changedFrom != kNothingDirty) e.dirtyFrom = std::min(e.dirtyFrom, changedFrom);
  }
  S().resident += e.content.size();
  S().resident -= before;
  e.size = e.content.size();
  ++e.version;
  if (e.dirtyFrom != kNothingDirty || e.dirtyDelete) PostUnlocking(it->first, e, lock);
}

Overlay* ItemOverlay() {
  ItemContext* item = CurrentItem();
  if (!item) return nullptr;
  Overlay& o = item->Local<Overlay>();
  if (!o.checking) {
    o.checking = true;
    o.epoch = S().epoch;
    Overlay* self = &o;
    item->Check([self] {
      if (self->epoch != S().epoch) return false;
      for (const auto& [key, version] : self->seen) {
        Shard& shard = ShardOf(key);
        std::lock_guard<std::mutex> lock(shard.mutex);
        auto it = shard.entries.find(key);
        if ((it == shard.entries.end() ? 0 : it->second.version) != version) return false;
      }
      return true;
    });
  }
  return &o;
}

// The committed tree's answer.
View LookCommitted(const std::string& key, bool wantBytes) {
  View v;
  Shard& shard = ShardOf(key);
  std::unique_lock<std::mutex> lock(shard.mutex);
  auto it = shard.entries.find(key);
  if (it == shard.entries.end()) return v;
  const Entry& e = it->second;
  // A file whose write was lost is what the disk holds of it.
  if (e.failed && !e.queued) return v;
  v.kept = true;
  v.exists = !e.deleted;
  v.size = e.size;
  v.id = e.id;
  v.version = e.version;
  if (wantBytes && v.exists) {
    if (e.contentFrom == 0) {
      v.bytes = e.content;
    } else {
      WaitWritten(shard, lock, e);
      const size_t from = e.contentFrom;
      const std::vector<std::string> tail = e.tail;
      lock.unlock();
      v.bytes = WholeBytes(key, from, tail);
    }
  }
  return v;
}

}  // namespace

void Begin(const std::string& root) {
  End();
  if (WorkThreads() == 1) return;
  std::string normal;
  if (!Normalise(root, normal)) return;
  S().root = normal;
  char buf[4096];
  S().cwd = ::getcwd(buf, sizeof buf) ? std::string(buf) + "/" : std::string();
  S().active = true;
}

void End(bool dropWrites) {
  if (!S().active) return;
  if (dropWrites) {
    std::lock_guard<std::mutex> lock(S().pendingMutex);
    S().pending -= S().queue.size();
    S().queue.clear();
    S().queued = 0;
  }
  Drain();
  RunReadyActions(true);
  {
    // What is left are the first changes of the dropped writes.
    std::lock_guard<std::mutex> lock(S().pendingMutex);
    S().inflight.clear();
  }
  S().active = false;
  // The kept files are freed behind the run.
  auto kept = std::make_shared<std::vector<std::unordered_map<std::string, Entry>>>();
  for (Shard& shard : S().shards) {
    std::lock_guard<std::mutex> lock(shard.mutex);
    kept->push_back(std::move(shard.entries));
    shard.entries.clear();
  }
  PostTask([kept] { kept->clear(); });
  S().resident = 0;
  std::lock_guard<std::mutex> lock(S().namesMutex);
  S().diskNames.clear();
  S().folders.clear();
}

void Drain() {
  {
    std::unique_lock<std::mutex> lock(S().pendingMutex);
    S().settled.wait(lock, [] { return S().pending.load() == 0; });
  }
  if (S().actionCount.load() > 0) {
    RunReadyActions(false);
  } else if (!t_runningActions && !CurrentItem()) {
    // A writer may have taken the last actions and be running them still.
    std::lock_guard<std::mutex> flush(S().flushMutex);
  }
}

bool Active() { return S().active; }

void AfterChangesSoFar(std::function<void()> action) {
  if (!S().active || t_runningActions) return action();
  {
    std::lock_guard<std::mutex> lock(S().actionsMutex);
    S().actions.emplace_back(S().changes.load(), std::move(action));
    ++S().actionCount;
  }
  RunReadyActions(false);
}

bool RunningActions() { return t_runningActions; }

void SetMemoryBudgetForTesting(size_t bytes) { S().budget = bytes; }

std::optional<std::string> KeyOf(std::string_view osPath) {
  if (!S().active) return std::nullopt;
  std::string_view path = osPath;
  if (!path.empty() && path[0] == '/') {
    if (S().cwd.empty() || path.substr(0, S().cwd.size()) != S().cwd) return std::nullopt;
    path.remove_prefix(S().cwd.size());
  }
  std::string key;
  if (!Normalise(path, key)) return std::nullopt;
  const std::string& root = S().root;
  if (key.size() < root.size() || key.compare(0, root.size(), root) != 0) return std::nullopt;
  if (key.size() > root.size() && key[root.size()] != '/') return std::nullopt;
  return key;
}

View Look(const std::string& key, bool wantBytes) {
  Overlay* o = ItemOverlay();
  if (!o) return LookCommitted(key, wantBytes);
  auto own = o->files.find(key);
  const bool ownStartsAfresh = own != o->files.end() && !own->second.ops.empty() &&
                               (own->second.ops.front().kind == FileOp::kTruncate ||
                                own->second.ops.front().kind == FileOp::kDelete);
  View v;
  if (!ownStartsAfresh) {
    v = LookCommitted(key, wantBytes || own != o->files.end());
    o->seen.try_emplace(key, v.kept ? v.version : 0);
    if (own == o->files.end()) return v;
    if (!v.kept) {
      // Only the disk knows the base: read it here (the check above covers it).
      v.exists = ReadDisk(key, v.bytes);
    }
  }
  for (const FileOp& op : own->second.ops) {
    if (op.kind == FileOp::kCreate && v.exists) continue;
    ApplyOp(v.bytes, op);
    v.exists = op.kind != FileOp::kDelete;
  }
  v.kept = true;
  v.size = v.bytes.size();
  if (!wantBytes) v.bytes.clear();
  return v;
}

void Change(const std::string& key, const std::string& path, std::vector<FileOp> ops) {
  if (ops.empty()) return;
  Overlay* o = ItemOverlay();
  if (!o) return ChangeCommitted(key, path, std::move(ops));
  // An item's changes of one file take effect together, where it first
  // changed the file; appends in a row become one.
  Overlay::File& f = o->files[key];
  if (!f.deferred) {
    f.deferred = true;
    Overlay::File* file = &f;
    CurrentItem()->Defer([key, path, file] { ChangeCommitted(key, path, std::move(file->ops)); });
  }
  for (FileOp& op : ops) {
    FileOp* last = f.ops.empty() ? nullptr : &f.ops.back();
    if (last && op.kind == FileOp::kAppend && last->kind == FileOp::kAppend)
      last->bytes += op.bytes;
    else if (last && op.kind == FileOp::kWriteAt && last->kind == FileOp::kWriteAt &&
             op.pos == last->pos + last->bytes.size())
      last->bytes += op.bytes;  // a write that goes on where the last one ended
    else
      f.ops.push_back(std::move(op));
    ++f.changes;
  }
}

bool Move(const std::string& fromKey, const std::string& fromPath, const std::string& toKey,
          const std::string& toPath) {
  if (CurrentItem()) {
    View v = Look(fromKey, true);
    if (!v.kept || !v.exists) return false;
    Change(toKey, toPath, {{FileOp::kTruncate, 0, {}}, {FileOp::kWriteAt, 0, std::move(v.bytes)}});
    Change(fromKey, fromPath, {{FileOp::kDelete, 0, {}}});
    return true;
  }
  std::string bytes;
  {
    Shard& shard = ShardOf(fromKey);
    std::unique_lock<std::mutex> lock(shard.mutex);
    auto it = shard.entries.find(fromKey);
    if (it == shard.entries.end() || it->second.deleted) return false;
    Entry& e = it->second;
    LoadWhole(shard, lock, fromKey, e);
    bytes = std::move(e.content);
    S().resident -= bytes.size();
    e.content.clear();
  }
  std::vector<FileOp> remove(1);
  remove[0].kind = FileOp::kDelete;
  ChangeCommitted(fromKey, fromPath, std::move(remove));
  std::vector<FileOp> ops;
  ops.push_back({FileOp::kTruncate, 0, {}});
  ops.push_back({FileOp::kWriteAt, 0, std::move(bytes)});
  ChangeCommitted(toKey, toPath, std::move(ops));
  return true;
}

namespace {

// A folder found on the disk (and noted), or one that it does not hold.
bool FolderOnDisk(const std::string& folder) {
  {
    std::lock_guard<std::mutex> lock(S().namesMutex);
    if (S().folders.count(folder)) return true;
  }
  struct stat st;
  if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  std::lock_guard<std::mutex> lock(S().namesMutex);
  S().folders.insert(folder);
  return true;
}

}  // namespace

bool CanCreate(const std::string& key) {
  const size_t slash = key.rfind('/');
  if (slash == std::string::npos) return true;
  const std::string folder = key.substr(0, slash);
  if (FolderOnDisk(folder)) return true;
  ItemContext* item = CurrentItem();
  if (!item) return false;
  if (ItemOverlay()->folders.count(folder)) return true;
  item->RunAtTurn();  // a folder that an earlier item may make
  return false;
}

void FolderRemoved(std::string_view osPath) {
  std::optional<std::string> key = KeyOf(osPath);
  if (!key) return;
  std::lock_guard<std::mutex> lock(S().namesMutex);
  S().folders.erase(*key);
  S().diskNames.erase(*key);
}

bool MakeFolder(const std::string& key) {
  if (FolderOnDisk(key)) return false;
  Overlay* o = ItemOverlay();
  if (!o) {
    if (::mkdir(key.c_str(), 0777) != 0) return false;
    std::lock_guard<std::mutex> lock(S().namesMutex);
    S().folders.insert(key);
    return true;
  }
  if (!o->folders.insert(key).second) return false;
  CurrentItem()->Defer([key] {
    if (::mkdir(key.c_str(), 0777) != 0 && errno != EEXIST) return;
    std::lock_guard<std::mutex> lock(S().namesMutex);
    S().folders.insert(key);
  });
  return true;
}

uint64_t ItemChangeCount(const std::string& key) {
  ItemContext* item = CurrentItem();
  if (!item) return 0;
  Overlay& o = item->Local<Overlay>();
  auto it = o.files.find(key);
  return it == o.files.end() ? 0 : it->second.changes;
}

void SettleFolder(std::string_view osPath) {
  if (!KeyOf(osPath)) return;
  if (ItemContext* item = CurrentItem()) {
    item->RunAtTurn();
    return;
  }
  Drain();
}

void Forget(std::string_view osPath) {
  std::optional<std::string> prefix = KeyOf(osPath);
  if (!prefix) return;
  Drain();
  ++S().epoch;
  {
    std::lock_guard<std::mutex> lock(S().namesMutex);
    S().diskNames.clear();
    S().folders.clear();
  }
  for (Shard& shard : S().shards) {
    std::lock_guard<std::mutex> lock(shard.mutex);
    for (auto it = shard.entries.begin(); it != shard.entries.end();) {
      const std::string& k = it->first;
      const bool below = k == *prefix || (k.size() > prefix->size() && k.compare(0, prefix->size(), *prefix) == 0 &&
                                          k[prefix->size()] == '/');
      if (below) {
        S().resident -= it->second.content.size() + TailSize(it->second);
        it = shard.entries.erase(it);
      } else {
        ++it;
      }
    }
  }
}

}  // namespace vandrel::work_store
