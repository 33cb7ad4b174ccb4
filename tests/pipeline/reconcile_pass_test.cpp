#include "pipeline/reconcile_pass.h"

#include <filesystem>

#include "pipeline/record_fixture.h"

namespace vandrel::test {
namespace {

class ReconcilePassTest : public RecordPassTest {
 protected:
  void SetUp() override {
    RecordPassTest::SetUp();
    PutWorkFile("FuncList_ProtType.txt",
                "static\tint\tmain\t(\tvoid\t)\t;\n"
                "int\tf\t(\tint\ta\t)\t;\n"
                "start\t(\tvoid\t)\t;\n"
                "void\th\t(\tint\tk\t)\t;\n"
                "int\txcalc\t(\tvoid\t)\t;\n"
                "int\tアf\t(\tvoid\t)\t;\n"
                "long\tAf\t(\tvoid\t)\t;\n");
    PutWorkFile("DEF/main_DEF_C.dat",
                "MAXV\t\t10\t\n"
                "SET\t(\tx\t)\tset_value\t(\tx\t)\t\n"
                "ZアV\t\t1\t\n"
                "AV\t\t2\t\n"
                "\n"
                "AFTER\t\t1\t\n");
    PutWorkFile("DEF/other_DEF_C.dat", "A\t(\tx\t)\ta_impl\t\nB\t(\tx\t)\tb_impl\t\n");
    PutWorkFile("DEF/open_DEF_C.dat", "U\t(\tx\t\n");
    PutWorkFile("DEF/_DEF_C.dat", "NOBASE\t\t1\t\n");
  }

  std::string Reconcile(const std::string& record) {
    std::filesystem::remove_all("vcwk012345/func_als2");
    std::filesystem::remove_all("vcwk012345/func_als3");
    PutWorkFile("func_als2/fn", record);
    EXPECT_EQ(ReconcileAcrossFiles(), StepResult::Done);
    return GetWorkFile("func_als3/fn");
  }
};

struct ReconcileCase {
  const char* what;
  const char* record;
  const char* expected;
  int includeLocals;
};

constexpr const char* kLocals = "[ファイル名]\nmain.c\n\n[引数定義]\nvoid\n\n"
                                "[テンポラリ変数]\nint\ti\nstruct\tS\t*p\n\n";

TEST_F(ReconcilePassTest, FunctionTypeComesFromTheFirstPrototypeLineWithTheName) {
  const ReconcileCase cases[] = {
      {"found: the tokens before the name",
       "[関数名称]\nmain\n\n[引数定義]\nvoid\n\n",
       "[関数名称]\nmain\n\n[関数型]\nstatic\tint\n\n[引数定義]\nvoid\n\n", 0},
      {"not found: no section, one more empty line", "[関数名称]\nlonely\n\n[引数定義]\n",
       "[関数名称]\nlonely\n\n\n[引数定義]\n", 0},
      {"name starting the line: an empty type", "[関数名称]\nstart\n\n",
       "[関数名称]\nstart\n\n[関数型]\n\n\n", 0},
      {"substring search: calc is found in xcalc", "[関数名称]\ncalc\n\n",
       "[関数名称]\ncalc\n\n[関数型]\nint\t\n\n", 0},
      {"the bytes of the name inside a double-byte character do not count (ア is 83 41)",
       "[関数名称]\nAf\n\n", "[関数名称]\nAf\n\n[関数型]\nlong\n\n", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(Reconcile(c.record), c.expected) << c.what;
}

TEST_F(ReconcilePassTest, LocalsDefinedValuesAndNoneInReadAndWrittenLists) {
  const std::string locals = kLocals;
  const ReconcileCase cases[] = {
      {"locals off: substrings of local lines go, p->x is cut to p",
       "[参照変数]\ni\nn\nq\np->x\ntab[]\n\n[書込み変数]\ni\nq->y\n\n",
       "[参照変数]\nq\ntab[]\n\n[定義値]\nNONE\n\n[書込み変数]\nq\n\n", 0},
      {"locals kept", "[参照変数]\ni\nn\nq\np->x\ntab[]\n\n[書込み変数]\ni\nq->y\n\n",
       "[参照変数]\ni\nn\nq\np->x\ntab[]\n\n[定義値]\nNONE\n\n[書込み変数]\ni\nq->y\n\n", 1},
      {"every entry dropped gives NONE", "[参照変数]\ni\n\n[書込み変数]\nn\n\n",
       "[参照変数]\nNONE\n\n[定義値]\nNONE\n\n[書込み変数]\nNONE\n\n", 0},
      {"defined values move, also with locals kept; lines after the first empty one do not count",
       "[参照変数]\nMAXV\nAFTER\n\n", "[参照変数]\nAFTER\n\n[定義値]\nMAXV\t\t10\t\n\n", 1},
      {"defined values move with locals off too", "[参照変数]\nMAXV\n\n",
       "[参照変数]\nNONE\n\n[定義値]\nMAXV\t\t10\t\n\n", 0},
      {"a defined value inside a double-byte character does not count", "[参照変数]\nAV\n\n",
       "[参照変数]\nNONE\n\n[定義値]\nAV\t\t2\t\n\n", 0},
      {"NONE sections keep the empty lines that follow them",
       "[参照変数]\nNONE\n\n\n[書込み変数]\nNONE\n\n",
       "[参照変数]\nNONE\n\n[定義値]\nNONE\n\n\n\n[書込み変数]\nNONE\n\n\n", 0},
  };
  for (const auto& c : cases) {
    g_runParameters.m_includeLocals = c.includeLocals;
    EXPECT_EQ(Reconcile(locals + c.record), locals + c.expected) << c.what;
  }
}

TEST_F(ReconcilePassTest, CallsAreSortedIntoPrototypesAndCallsWithoutDefinition) {
  const std::string head = "[ファイル名]\nmain.c\n\n";
  const ReconcileCase cases[] = {
      {"prototype text, a callee at the start of a line, names after the (",
       "[コール関数]\nf(i)\nf(j)\nstart()\nk(1)\nputs(s)\nnoparen\n\n[参照変数]\nNONE\n\n",
       "[コール関数]\nint f ( int a ) \nint f ( int a ) \nstart()\nk(1)\nputs(s)\nnoparen\n\n"
       "[コール関数（定義あり）]\nint f ( int a ) \nint f ( int a ) \n\n"
       "[コール関数（定義なし）]\nstart()\nk(1)\nputs(s)\nnoparen\n\n"
       "[マクロ関数]\nNONE\n\n"
       "[参照変数]\nNONE\n\n[定義値]\nNONE\n\n\n",
       0},
      {"no calls: NONE is a call without definition", "[コール関数]\nNONE\n\n",
       "[コール関数]\nNONE\n\n[コール関数（定義あり）]\nNONE\n\n"
       "[コール関数（定義なし）]\nNONE\n\n[マクロ関数]\nNONE\n\n",
       0},
  };
  for (const auto& c : cases) EXPECT_EQ(Reconcile(head + c.record), head + c.expected) << c.what;
}

TEST_F(ReconcilePassTest, FunctionLikeMacrosAreReplacedByTheNameAfterTheirParameters) {
  const ReconcileCase cases[] = {
      {"every occurrence of the name is replaced", "[ファイル名]\nmain.c\n\n[コール関数]\nSET(SETUP)\n\n",
       "[ファイル名]\nmain.c\n\n[コール関数]\nset_value(set_valueUP)\n\n"
       "[コール関数（定義あり）]\nNONE\n\n[コール関数（定義なし）]\nNONE\n\n"
       "[マクロ関数]\nSET\t\tset_value\n\n",
       0},
      {"only the first line with ( is a macro candidate",
       "[ファイル名]\nother.c\n\n[コール関数]\nA(1)\nB(1)\n\n",
       "[ファイル名]\nother.c\n\n[コール関数]\na_impl(1)\nB(1)\n\n"
       "[コール関数（定義あり）]\nNONE\n\n[コール関数（定義なし）]\nB(1)\n\n"
       "[マクロ関数]\nA\t\ta_impl\n\n",
       0},
      {"parentheses that do not close", "[ファイル名]\nopen.c\n\n[コール関数]\nU(1)\n\n",
       "[ファイル名]\nopen.c\n\n[コール関数]\nU(1)\n\n"
       "[コール関数（定義あり）]\nNONE\n\n[コール関数（定義なし）]\nU(1)\n\n[マクロ関数]\nNONE\n\n",
       0},
  };
  for (const auto& c : cases) EXPECT_EQ(Reconcile(c.record), c.expected) << c.what;
}

TEST_F(ReconcilePassTest, SubscriptsOfReadAndWrittenNamesAreEmptied) {
  g_runParameters.m_includeLocals = 1;
  EXPECT_EQ(Reconcile("[ファイル名]\nmain.c\n\n[参照変数]\ntab[i]\n\n[書込み変数]\nw[k+1][j]\n\n"),
            "[ファイル名]\nmain.c\n\n[参照変数]\ntab[]\n\n[定義値]\nNONE\n\n[書込み変数]\nw[][]\n\n");
}

TEST_F(ReconcilePassTest, AccessEntriesLoseTheirSubscriptsAndTheirNone) {
  const ReconcileCase cases[] = {
      {"subscripts emptied, the tag keeps its text",
       "[変数アクセス情報]\na[i] [R]\nb[i][j+1] [w]\nc [RET]\n\n[コール元]\n",
       "[変数アクセス情報]\na[] [R]\nb[][] [w]\nc [RET]\n\n[コール元]\n", 0},
      {"NONE is not copied", "[変数アクセス情報]\nNONE\n\n", "[変数アクセス情報]\n\n\n", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(Reconcile(c.record), c.expected) << c.what;
}

TEST_F(ReconcilePassTest, DefinitionFileIsNamedByTheSourceFileTitle) {
  EXPECT_EQ(Reconcile("[ファイル名]\nMakefile\n\n[参照変数]\nNOBASE\n\n"),
            "[ファイル名]\nMakefile\n\n[参照変数]\nNONE\n\n[定義値]\nNOBASE\t\t1\t\n\n");
  EXPECT_EQ(Reconcile("[ファイル名]\nmain.h\n\n[参照変数]\nMAXV\n\n"),
            "[ファイル名]\nmain.h\n\n[参照変数]\nNONE\n\n[定義値]\nMAXV\t\t10\t\n\n");
}

TEST_F(ReconcilePassTest, DefinedValuesStartAfreshWithEachRecord) {
  PutWorkFile("func_als2/a", "[ファイル名]\nmain.c\n\n[参照変数]\nMAXV\n\n");
  PutWorkFile("func_als2/b", "[ファイル名]\nmain.c\n\n[参照変数]\nzz\n\n");
  EXPECT_EQ(ReconcileAcrossFiles(), StepResult::Done);
  EXPECT_EQ(GetWorkFile("func_als3/b"),
            "[ファイル名]\nmain.c\n\n[参照変数]\nzz\n\n[定義値]\nNONE\n\n");
  EXPECT_EQ(static_cast<int>(g_lineCounter), 12);
}

// A read name needs the definition file: without one the step ends after its
// box; a call looked up as a macro takes the missing file as empty.
TEST_F(ReconcilePassTest, MissingDefinitionFile) {
  PutWorkFile("func_als2/a", "[ファイル名]\nnodef.c\n\n[コール関数]\ng(1)\n\n[参照変数]\nNONE\n\n");
  PutWorkFile("func_als2/b", "[ファイル名]\nnodef.c\n\n[参照変数]\nx\ny\n\n[書込み変数]\nz\n\n");
  PutWorkFile("func_als2/c", "[ファイル名]\nmain.c\n\n");
  host.answer = kIdCancel;
  EXPECT_EQ(ReconcileAcrossFiles(), StepResult::Done);
  EXPECT_EQ(GetWorkFile("func_als3/a"),
            "[ファイル名]\nnodef.c\n\n[コール関数]\ng(1)\n\n[コール関数（定義あり）]\nNONE\n\n"
            "[コール関数（定義なし）]\ng(1)\n\n[マクロ関数]\nNONE\n\n"
            "[参照変数]\nNONE\n\n[定義値]\nNONE\n\n\n");
  EXPECT_EQ(GetWorkFile("func_als3/b"), "[ファイル名]\nnodef.c\n\n[参照変数]\n");
  EXPECT_FALSE(WorkFileExists("func_als3/c"));
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "DEFFILE NOT OPEN");
  EXPECT_EQ(host.boxes[0].buttons, MessageButtons::OkCancel);
}

TEST_F(ReconcilePassTest, MissingInputFolderIsLoggedAndBoxed) {
  EXPECT_EQ(ReconcileAcrossFiles(), StepResult::Done);
  EXPECT_TRUE(std::filesystem::is_directory("vcwk012345/func_als3"));
  EXPECT_EQ(LogUtf8(), NotOpenLine("./vcwk012345/func_als2/*.*"));
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"ファイル開けず STEP3"}));
}

}  // namespace
}  // namespace vandrel::test
