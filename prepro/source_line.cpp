#include "prepro/source_line.h"

#include "pipeline/run_state.h"
#include "platform/cp932.h"

namespace vandrel {

std::string ReplaceAllMb(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string out;
  size_t pos = 0;
  for (size_t hit; (hit = MbFind(text, from, pos)) != std::string::npos; pos = hit + from.size()) {
    out.append(text, pos, hit - pos);
    out.append(to);
  }
  out.append(text.substr(pos));
  return out;
}

int TokenArrayCapacity(int base) {
  int factor = g_memoryFactor.load();
  if (factor < 1) factor = 1;
  return factor * base;
}

}  // namespace vandrel
