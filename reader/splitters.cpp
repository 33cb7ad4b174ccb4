#include "reader/splitters.h"

#include "platform/cp932.h"

namespace vandrel {

void SplitPrototype(std::string line, std::string& returnPart, std::string& name,
                    std::string& params) {
  size_t p = MbFind(line, "(");
  long paren = p == std::string::npos ? -1 : static_cast<long>(p);
  std::string head = paren >= 1 ? line.substr(0, paren - 1) : std::string();
  params = paren < 0 ? line : line.substr(paren);
  size_t b = MbReverseFind(head, ' ');
  if (b == std::string::npos) b = MbReverseFind(head, '\t');
  long blank = b == std::string::npos ? -1 : static_cast<long>(b);
  returnPart = blank < 0 ? std::string() : line.substr(0, blank);
  name = head.substr(blank + 1);
}

// Placeholders until the splitters are written.
void SplitAtTab(std::string line, std::string& left, std::string& right) {
  size_t t = line.find('\t');
  left = t == std::string::npos ? std::string() : line.substr(0, t);
  right = t == std::string::npos ? line : line.substr(t);
}
void SplitCallText(std::string, std::string&, std::string&, std::string&) {}
void ParseDeclaration(std::string, std::string&, std::string&) {}
int StripSubscripts(std::string&) { return 1; }

}  // namespace vandrel
