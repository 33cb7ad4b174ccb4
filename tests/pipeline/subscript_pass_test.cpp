#include "pipeline/subscript_pass.h"

#include <filesystem>

#include "pipeline/record_fixture.h"

namespace vandrel::test {
namespace {

class SubscriptPassTest : public RecordPassTest {
 protected:
  std::string Expand(const std::string& record) {
    std::filesystem::remove_all("vcwk012345/func_als1_5");
    PutWorkFile("func_als/fn", record);
    EXPECT_EQ(ExpandSubscriptReferences(), StepResult::Done);
    return GetWorkFile("func_als1_5/fn");
  }
};

TEST_F(SubscriptPassTest, ReadEntriesWithoutSubscriptsPassAndNoneGetsASecondEmptyLine) {
  const char* cases[][2] = {
      {"[参照変数]\nNONE\n\n[書込み変数]\nw[i]\n\n",
       "[参照変数]\nNONE\n\n\n[書込み変数]\nw[i]\n\n"},
      {"[関数名称]\nf\n\n[参照変数]\nx\np->y\n\n[戻り値]\na[i]\n\n",
       "[関数名称]\nf\n\n[参照変数]\nx\np->y\n\n[戻り値]\na[i]\n\n"},
      {"[参照変数]\nx", "[参照変数]\nx\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(Expand(c[0]), c[1]) << c[0];
}

TEST_F(SubscriptPassTest, SubscriptReferencesComeBeforeTheRebuiltEntry) {
  const char* cases[][2] = {
      {"a[i]\na[j]\n", "i\na[]\nj\na[]\n"},
      {"a[b[i]]\n", "i\nb[]\na[]\n"},
      {"a[i + 1]\n", "i\na[]\n"},
      {"a[p->idx]\n", "idx\na[]\n"},
      {"a[3]\n", "a[]\n"},
      {"m[i][j]\n", "i\nj\nm[][]\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Expand(std::string("[参照変数]\n") + c[0] + "\n[書込み変数]\nw[k]\n\n"),
              std::string("[参照変数]\n") + c[1] + "\n[書込み変数]\nw[k]\n\n")
        << c[0];
  }
}

TEST_F(SubscriptPassTest, MissingInputFolderIsLoggedWithoutBox) {
  EXPECT_EQ(ExpandSubscriptReferences(), StepResult::Done);
  EXPECT_TRUE(std::filesystem::is_directory("vcwk012345/func_als1_5"));
  EXPECT_EQ(LogUtf8(), NotOpenLine("./vcwk012345/func_als/*.*"));
  EXPECT_TRUE(host.boxes.empty());
}

}  // namespace
}  // namespace vandrel::test
