// The indexed search for a name before a TAB against the raw search over the
// joined text, on generated prototype lines whose names end one another,
// hold double-byte characters (some with a TAB right after a lead byte) and
// repeat.
#include "pipeline/line_search.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/cp932.h"

namespace vandrel::test {
namespace {

const char* const kPieces[] = {"f", "xf", "cnt", "xcnt", "a_cnt", "Api0", "Mod_Api0", "\x83\x41",
                               "\x83\x41" "f", "\x83", "(", ")", "int", "u2", ";", ""};
constexpr int kPieceCount = sizeof kPieces / sizeof kPieces[0];

std::vector<std::string> GeneratedLines(unsigned seed) {
  std::mt19937 rnd(seed);
  std::vector<std::string> lines;
  for (int i = 0; i < 400; ++i) {
    std::string line;
    const int tokens = 1 + static_cast<int>(rnd() % 7);
    for (int t = 0; t < tokens; ++t) {
      line += kPieces[rnd() % kPieceCount];
      if (rnd() % 5 != 0) line += '\t';
    }
    lines.push_back(line);
  }
  return lines;
}

// The two searches of the reconciliation: name + TAB anywhere, and TAB name
// TAB before the line's first "(".
int AnyWhere(std::string_view l, const std::string& pattern) { return MbContains(l, pattern); }
int BeforeParen(std::string_view l, const std::string& pattern) {
  size_t paren = MbFind(l, "(");
  return paren != std::string::npos && MbContains(l.substr(0, paren), pattern);
}

TEST(LineSearchTest, TheNameIndexFindsWhatTheRawSearchFinds) {
  std::vector<std::string> names(std::begin(kPieces), std::end(kPieces));
  names.insert(names.end(), {"nf", "t", "0", "\x41", "f\tx", "\x41" "f", "missing"});
  int found = 0;
  for (unsigned seed = 1; seed <= 20; ++seed) {
    LineSearch search;
    search.Assign(GeneratedLines(seed));
    for (const std::string& name : names) {
      for (const std::string& pattern : {name + "\t", "\t" + name + "\t"}) {
        auto any = [&](std::string_view l) { return AnyWhere(l, pattern); };
        auto paren = [&](std::string_view l) { return BeforeParen(l, pattern); };
        const int plainAny = search.FirstLine(pattern, any);
        const int plainParen = search.FirstLine(pattern, paren);
        EXPECT_EQ(search.FirstLineBeforeTab(name, pattern, any), plainAny) << seed << " " << pattern;
        EXPECT_EQ(search.FirstLineBeforeTab(name, pattern, paren), plainParen) << seed << " " << pattern;
        found += (plainAny >= 0) + (plainParen >= 0);
      }
    }
  }
  EXPECT_GT(found, 500);  // the generated lines hold most of the names
}

TEST(LineSearchTest, AssignStartsAFreshIndex) {
  LineSearch search;
  search.Assign({"int\tf\t(\t)\t;"});
  EXPECT_EQ(search.FirstLineBeforeTab("f", "f\t", [](std::string_view) { return true; }), 0);
  search.Assign({"int\tg\t;", "long\tf\t;"});
  EXPECT_EQ(search.FirstLineBeforeTab("f", "f\t", [](std::string_view) { return true; }), 1);
}

}  // namespace
}  // namespace vandrel::test
