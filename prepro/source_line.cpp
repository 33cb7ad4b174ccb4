#include "prepro/source_line.h"

#include "pipeline/run_state.h"
#include "platform/cp932.h"

namespace vandrel {

int TokenArrayCapacity(int base) {
  int factor = g_memoryFactor.load();
  if (factor < 1) factor = 1;
  return factor * base;
}

}  // namespace vandrel
