#include "pipeline/final_records_pass.h"

#include <filesystem>

#include "pipeline/record_fixture.h"

namespace vandrel::test {
namespace {

class FinalRecordsPassTest : public RecordPassTest {};

// A func_als3 record as step 7 leaves it, with the repeats that its cuts made.
// The sections before the calls pass unchanged.
const std::string kHeadSections =
    "[フォルダ名]\nSRC\n\n"
    "[ファイル名]\nmain.c\n\n"
    "[関数名称]\nmain\n\n"
    "[関数型]\nint\n\n"
    "[引数定義]\nvoid\n\n"
    "[テンポラリ変数]\nint\ti\nint\ti\n\n";

const std::string kReconciled =
    kHeadSections +
    "[コール関数]\nint f ( int a ) \nint f ( int a ) \ng(1)\ng(1)\n\n"
    "[コール関数（定義あり）]\nint f ( int a ) \nint f ( int a ) \n\n"
    "[コール関数（定義なし）]\ng(1)\ng(1)\n\n"
    "[マクロ関数]\nM\t\tm\nM\t\tm\n\n"
    "[参照変数]\na[]\na[]\nb\n\n"
    "[定義値]\nN\t\t1\t\nN\t\t1\t\n\n"
    "[書込み変数]\nx\nx\n\n"
    "[戻り値]\nr\nr\n\n"
    "[変数アクセス情報]\na[] [R]\na[] [R]\nx [w]\n\n";

const std::string kFinal =
    kHeadSections +
    "[コール関数]\nint f ( int a ) \ng(1)\n\n"
    "[コール関数（定義あり）]\nint f ( int a ) \n\n"
    "[コール関数（定義なし）]\ng(1)\ng(1)\n\n"
    "[マクロ関数]\nM\t\tm\nM\t\tm\n\n"
    "[参照変数]\na[]\nb\n\n"
    "[定義値]\nN\t\t1\t\nN\t\t1\t\n\n"
    "[書込み変数]\nx\n\n"
    "[戻り値]\nr\n\n"
    "[変数アクセス情報]\na[] [R]\na[] [R]\nx [w]\n\n";

TEST_F(FinalRecordsPassTest, FiveSectionsAreDeduplicatedTheOthersKeepTheirRepeats) {
  PutWorkFile("func_als3/main", kReconciled);
  EXPECT_EQ(WriteFinalRecords(), StepResult::Done);
  EXPECT_EQ(GetWorkFile("FunctionList4/main"), kFinal);
}

TEST_F(FinalRecordsPassTest, EmptyLinesOfTheReconciledRecordPassThrough) {
  // No prototype: an extra empty line after the name; "[参照変数]" NONE: two
  // more after "[定義値]"; an empty access section: its tag and two empty lines.
  const char* record =
      "[関数名称]\nf\n\n\n[参照変数]\nNONE\n\n[定義値]\nNONE\n\n\n\n"
      "[書込み変数]\nNONE\n\n\n[変数アクセス情報]\n\n\n";
  PutWorkFile("func_als3/f", record);
  EXPECT_EQ(WriteFinalRecords(), StepResult::Done);
  EXPECT_EQ(GetWorkFile("FunctionList4/f"), record);
}

TEST_F(FinalRecordsPassTest, EndMarkerEntryIsDroppedAndNothingCountsLines) {
  PutWorkFile("func_als3/f", "[戻り値]\neeed\nx\n\n");
  EXPECT_EQ(WriteFinalRecords(), StepResult::Done);
  EXPECT_EQ(GetWorkFile("FunctionList4/f"), "[戻り値]\nx\n\n");
  EXPECT_EQ(static_cast<int>(g_lineCounter), 0);
}

TEST_F(FinalRecordsPassTest, MissingInputFolderIsLoggedAndBoxed) {
  EXPECT_EQ(WriteFinalRecords(), StepResult::Done);
  EXPECT_TRUE(std::filesystem::is_directory("vcwk012345/FunctionList4"));
  EXPECT_EQ(LogUtf8(), NotOpenLine("./vcwk012345/func_als3/*.*"));
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"ファイル開けずSTEP3_5"}));
}

}  // namespace
}  // namespace vandrel::test
