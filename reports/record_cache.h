// The final per-function records (FunctionList4) as the query commands read
// them, each file read once however often a tree names it.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

namespace vandrel {

struct CachedRecord {
  bool exists = false;  // the record could be opened
  // Callee names of "[コール関数]", up to an empty line, "NONE",
  // " NO_CALL_FUNCTION " or the end of the file.
  std::vector<std::string> callees;
  // Entries of the first "[変数アクセス情報]" section, up to an empty line,
  // "NONE" or the end of the file.
  std::vector<std::string> accesses;
  bool accessesClosed = false;  // that section ended with an empty line or "NONE"
};

class RecordCache {
 public:
  explicit RecordCache(std::string folder) : folder_(std::move(folder)) {}
  // The record named so; a name that is no usable file name has none.
  const CachedRecord& Get(const std::string& name);

 private:
  std::string folder_;
  std::unordered_map<std::string, CachedRecord> records_;
};

}  // namespace vandrel
