#include "reader/vocabulary.h"

namespace vandrel {
namespace {

std::vector<std::string> Padded(std::vector<std::string> entries, size_t slots) {
  entries.resize(slots);
  return entries;
}

}  // namespace

StringTable g_typeNameTable({"CHAR", "UCHAR", "SHORT", "USHORT", "LONG", "ULONG", "BOOL", "char",
                             "short", "long", "void", "int", "ResType", "MSG_IF2NAVI_COM",
                             "st_dd_can_msginitbl_canmsg"});

const std::vector<std::string> g_qualifierTable =
    Padded({"static", "const", "volatile", "unsigned", "signed", "@1END"}, 10);
const std::vector<std::string> g_baseTypeTable =
    Padded({"char", "int", "short", "long", "BOOL", "void", "@1END"}, 100);
const std::vector<std::string> g_controlKeywordTable =
    Padded({"if", "else", "for", "switch", "case", "break", "while", "do", "return", "goto",
            "default", "continue", "@END", "@END"},
           15);
const std::vector<std::string> g_operatorTable =
    Padded({"&", "|", "+", "-", "/", "*", "!", "~", "^", "@END"}, 20);
const std::vector<std::string> g_comparisonOperatorTable =
    Padded({"==", "||", "&&", "!=", "<=", ">=", "<", ">", ">>", "<<", ">>=", "<<=", "@END"}, 20);
const std::vector<std::string> g_castKeywordTable =
    Padded({"u1", "u2", "u4", "s1", "s2", "s4", "U1", "U2", "U4", "S1", "S2", "S4", "F4", "@1END"},
           30);

}  // namespace vandrel
