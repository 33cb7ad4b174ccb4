#include "platform/html_text.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace vandrel {
namespace {

using test::Sj;

TEST(HtmlTextTest, EscapesTheThreeMarkupBytesAndNothingElse) {
  struct Case {
    std::string text, expected;
  } cases[] = {
      {"if (a<b)", "if (a&lt;b)"},
      {"/* x<y && y>z */", "/* x&lt;y &amp;&amp; y&gt;z */"},
      {"<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;"},
      {"&amp;", "&amp;amp;"},
      {"'\"\t\\ #=", "'\"\t\\ #="},
      {"", ""},
      // Double-byte characters right beside the three bytes, trail bytes
      // 0x5C ("表", "ソ") and 0x40 (U+3000) among them.
      {Sj("表<ソ>&　値"), Sj("表&lt;ソ&gt;&amp;　値")},
  };
  for (const Case& c : cases) EXPECT_EQ(EscapeHtml(c.text), c.expected) << c.text;
}

}  // namespace
}  // namespace vandrel
