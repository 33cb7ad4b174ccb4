#include "prepro/source_line.h"

#include "platform/cp932.h"
#include "run/run_state.h"

namespace vandrel {

int TokenArrayCapacity(int base) {
  int factor = g_memoryFactor.load();
  if (factor < 1) factor = 1;
  return factor * base;
}

}  // namespace vandrel
