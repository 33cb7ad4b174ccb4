#include "prepro/include_repeats.h"

#include <map>
#include <utility>

#include "prepro/define_table.h"

namespace vandrel {
namespace {

struct Included {
  unsigned long long version = 0;  // of the table when its last include began
  int exactRepeats = 0;
};

// By device and inode.
std::map<std::pair<unsigned long long, unsigned long long>, Included>& Done() {
  thread_local std::map<std::pair<unsigned long long, unsigned long long>, Included> done;
  return done;
}

}  // namespace

void ForgetIncludes() { Done().clear(); }

bool SkipsRepeatedInclude(const FileStamp& header) {
  auto it = Done().find({header.device, header.inode});
  if (it == Done().end() || it->second.version != DefineTableVersion()) return false;
  if (it->second.exactRepeats >= kMaxExactRepeats) return true;
  ++it->second.exactRepeats;
  return false;
}

void NoteIncludeDone(const FileStamp& header, unsigned long long version) {
  Done()[{header.device, header.inode}].version = version;
}

}  // namespace vandrel
