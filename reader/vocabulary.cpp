#include "reader/vocabulary.h"

namespace vandrel {

std::vector<std::string> g_typeNameTable = [] {
  std::vector<std::string> t = {"CHAR", "UCHAR", "SHORT", "USHORT", "LONG", "ULONG", "BOOL", "char",
                                "short", "long", "void", "int", "ResType", "MSG_IF2NAVI_COM",
                                "st_dd_can_msginitbl_canmsg", "@1END"};
  t.resize(2500);
  return t;
}();

}  // namespace vandrel
