// The record passes in the driver's order over one small tree: func_als
// records, prototype list, variable list, definition and information files.
#include <filesystem>

#include "pipeline/access_list_pass.h"
#include "pipeline/caller_pass.h"
#include "pipeline/dedup_pass.h"
#include "pipeline/final_records_pass.h"
#include "pipeline/func_info_pass.h"
#include "pipeline/reconcile_pass.h"
#include "pipeline/record_fixture.h"
#include "pipeline/spec_list_pass.h"
#include "pipeline/subscript_pass.h"
#include "pipeline/written_vars_pass.h"

namespace vandrel::test {
namespace {

class RecordPassesTest : public RecordPassTest {
 protected:
  void SetUp() override {
    RecordPassTest::SetUp();
    PutWorkFile("func_als/main",
                "[フォルダ名]\nSRC\n\n[ファイル名]\nmain.c\n\n[関数名称]\nmain\n\n"
                "[引数定義]\nvoid\n\n[テンポラリ変数]\nint\ti\n\n"
                "[コール関数]\nreinit(i)\nSET(cnt)\nreinit(i)\n\n"
                "[参照変数]\ni\nN\ntable[i]\ncnt\n\n"
                "[書込み変数]\ni\ntable[i]\ncnt\ncnt\n\n"
                "[戻り値]\n0\n\n"
                "[変数アクセス情報]\ni [w]\ni [R]\nN [R]\ntable[i] [w]\ni [R]\ncnt [R]\ncnt [w]\n"
                "0 [RET]\n\n");
    PutWorkFile("func_als/init",
                "[フォルダ名]\nSRC\n\n[ファイル名]\nutil.c\n\n[関数名称]\ninit\n\n"
                "[引数定義]\nvoid\n\n[テンポラリ変数]\nNONE\n\n[コール関数]\nNONE\n\n"
                "[参照変数]\nNONE\n\n[書込み変数]\nxcnt\ns.cnt\n\n[戻り値]\nNONE\n\n"
                "[変数アクセス情報]\nxcnt [w]\ns.cnt [w]\n\n");
    PutWorkFile("func_als/reinit",
                "[フォルダ名]\nSRC\n\n[ファイル名]\nutil.c\n\n[関数名称]\nreinit\n\n"
                "[引数定義]\nint\tn\n\n[テンポラリ変数]\nNONE\n\n"
                "[コール関数]\ninit()\nreinit(n-1)\n\n"
                "[参照変数]\nn\nbuf[n]\nLIMIT\n\n[書込み変数]\nNONE\n\n[戻り値]\nn\n\n"
                "[変数アクセス情報]\nn [R]\nbuf[n] [R]\nLIMIT [R]\nn [RET]\n\n");
    PutWorkFile("FuncList_ProtType.txt",
                "static\tint\tinit\t(\tvoid\t)\t;\nint\treinit\t(\tint\tn\t)\t;\n");
    PutWorkFile("ValList.txt",
                "static\tint\tcnt\t;\nint\ttable\t[\t10\t]\t;\nint\txcnt\t;\nint\tbuf\t[\t4\t]\t;\n");
    PutWorkFile("DEF/main_DEF_C.dat", "N\t\t10\t\nSET\t(\tx\t)\tset_value\t(\tx\t)\t\n");
    PutWorkFile("DEF/util_DEF_C.dat", "LIMIT\t\t5\t\n");
    PutWorkFile("FILEINFO/INF_main.c",
                "[DOM]\nSRC\n[FILENAME]\nmain.c\n"
                "[FUNCNAME]\nmain\n[LINE COUNT]\n8\n[LINE COUNT V]\n6\n[COMMNET]\n1\n");
    PutWorkFile("FILEINFO/INF_util.c",
                "[DOM]\nSRC\n[FILENAME]\nutil.c\n"
                "[FUNCNAME]\ninit\n[LINE COUNT]\n3\n[LINE COUNT V]\n2\n[COMMNET]\n0\n"
                "[FUNCNAME]\nreinit\n[LINE COUNT]\n5\n[LINE COUNT V]\n4\n[COMMNET]\n2\n");
  }

  void RunRecordPasses() {
    for (StepResult (*step)() :
         {ExpandSubscriptReferences, RemoveDuplicateEntries, ReconcileAcrossFiles, WriteFinalRecords,
          AppendCallerLists, WriteWrittenVariableList, WriteControlSpecifications, WriteAccessLists})
      ASSERT_EQ(step(), StepResult::Done);
    CreateFunctionInfoList();
    ASSERT_EQ(WriteFunctionInfoList(), StepResult::Done);
  }
};

constexpr const char* kHead = "[フォルダ名]\nSRC\n\n";

TEST_F(RecordPassesTest, FinalRecordsListsAndAccessFilesOfOneRun) {
  RunRecordPasses();

  EXPECT_EQ(GetWorkFile("FunctionList4/main"),
            std::string(kHead) +
                "[ファイル名]\nmain.c\n\n[関数名称]\nmain\n\n\n"
                "[引数定義]\nvoid\n\n[テンポラリ変数]\nint\ti\n\n"
                "[コール関数]\nint reinit ( int n ) \nset_value(cnt)\n\n"
                "[コール関数（定義あり）]\nint reinit ( int n ) \n\n"
                "[コール関数（定義なし）]\nNONE\n\n"
                "[マクロ関数]\nSET\t\tset_value\n\n"
                "[参照変数]\ntable[]\ncnt\n\n[定義値]\nN\t\t10\t\n\n"
                "[書込み変数]\ntable[]\ncnt\n\n[戻り値]\n0\n\n"
                "[変数アクセス情報]\ni [w]\ni [R]\nN [R]\ntable[] [w]\ni [R]\ncnt [R]\ncnt [w]\n"
                "0 [RET]\n\n"
                "[コール元]\nNONE_CALLER");
  EXPECT_EQ(GetWorkFile("FunctionList4/init"),
            std::string(kHead) +
                "[ファイル名]\nutil.c\n\n[関数名称]\ninit\n\n[関数型]\nstatic\tint\n\n"
                "[引数定義]\nvoid\n\n[テンポラリ変数]\nNONE\n\n"
                "[コール関数]\nNONE\n\n[コール関数（定義あり）]\nNONE\n\n"
                "[コール関数（定義なし）]\nNONE\n\n[マクロ関数]\nNONE\n\n"
                "[参照変数]\nNONE\n\n[定義値]\nNONE\n\n\n\n"
                "[書込み変数]\nxcnt\ns.cnt\n\n[戻り値]\nNONE\n\n"
                "[変数アクセス情報]\nxcnt [w]\ns.cnt [w]\n\n"
                "[コール元]\nmain\nreinit\n\n");
  EXPECT_EQ(GetWorkFile("FunctionList4/reinit"),
            std::string(kHead) +
                "[ファイル名]\nutil.c\n\n[関数名称]\nreinit\n\n[関数型]\nint\n\n"
                "[引数定義]\nint\tn\n\n[テンポラリ変数]\nNONE\n\n"
                "[コール関数]\nstatic int init ( void ) \nint reinit ( int n ) \n\n"
                "[コール関数（定義あり）]\nstatic int init ( void ) \nint reinit ( int n ) \n\n"
                "[コール関数（定義なし）]\nNONE\n\n[マクロ関数]\nNONE\n\n"
                "[参照変数]\nbuf[]\n\n[定義値]\nLIMIT\t\t5\t\n\n"
                "[書込み変数]\nNONE\n\n\n[戻り値]\nn\n\n"
                "[変数アクセス情報]\nn [R]\nbuf[] [R]\nLIMIT [R]\nn [RET]\n\n"
                "[コール元]\nmain\nreinit\n\n");

  EXPECT_EQ(GetWorkFile("ValList2.txt"), "xcnt\ns.cnt\ntable[]\ncnt\n@1END\n\n");

  const std::string head = "変数アクセス箇所一覧\n\n";
  EXPECT_EQ(GetWorkFile("RAM_ALL/cnt"), head + "init\n    xcnt [w]\n\nmain\n    cnt [R]\n    cnt [w]\n\n");
  EXPECT_EQ(GetWorkFile("RAM_ALL/xcnt"), head + "init\n    xcnt [w]\n\n");
  EXPECT_EQ(GetWorkFile("RAM_ALL/table"), head) << "table[] [w] holds no \"table [\"";
  EXPECT_EQ(GetWorkFile("RAM_ALL/buf"), head);

  EXPECT_EQ(GetWorkFile("FILEINFO/FileFuncInfo.txt"),
            "\t[関数名]\t\t[行数]\t[有効行数]\t[コメント数]\n"
            "[ファイル名] main.c\n  main\t\t8\t6\t1\n\n"
            "[ファイル名] util.c\n  init\t\t3\t2\t0\n  reinit\t\t5\t4\t2\n\n");

  // The tree has no SOURCE copies: step 11 reports its empty folder, nothing else fails.
  EXPECT_EQ(LogUtf8(), NotOpenLine("./vcwk012345/SOURCE/*.*"));
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"ファイル開けず STEP4"}));
}

}  // namespace
}  // namespace vandrel::test
