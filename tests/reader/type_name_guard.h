// Restores the process-wide type-name table when a test is done with it.
#pragma once

#include "reader/vocabulary.h"

namespace vandrel::test {

class TypeNameTableGuard {
 public:
  TypeNameTableGuard() : saved_(g_typeNameTable) {}
  ~TypeNameTableGuard() { g_typeNameTable = saved_; }
  TypeNameTableGuard(const TypeNameTableGuard&) = delete;
  TypeNameTableGuard& operator=(const TypeNameTableGuard&) = delete;

 private:
  StringTable saved_;
};

}  // namespace vandrel::test
