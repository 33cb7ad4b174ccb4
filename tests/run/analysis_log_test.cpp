#include "run/analysis_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <thread>

#include "platform/clock.h"
#include "platform/text_file.h"
#include "test_support.h"

namespace vandrel {
namespace {

using test::ReadBytes;
using test::Sj;

class AnalysisLogTest : public test::TempDirTest {};

TEST_F(AnalysisLogTest, LineForms) {
  WriteTimestampedLog("PREPRO START        ");
  AppendAnalyzeLog("./vcwk012345/func_als2/*.*", "FILE NOT OPEN\n");
  AppendAnalyzeLogEntry("SetValList", 0, Sj("例外発生080"), "-");
  AppendAnalyzeLogEntry("main", -12, "t1", "t2");
  AppendPreproLog("main", Sj("メッセージ\n"));
  std::string log = ReadBytes("AnalyzeLog.txt");
  std::regex form(
      "PREPRO START         : \\d\\d\\.\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d\r\n"
      "(.*)\r\n(.*)\r\n(.*)\r\n(.*)\r\n");
  std::smatch m;
  ASSERT_TRUE(std::regex_match(log, m, form)) << log;
  EXPECT_EQ(m[1], Sj("プログラム解析 ") + "./vcwk012345/func_als2/*.* : FILE NOT OPEN");
  EXPECT_EQ(m[2], "SetValList : 0 : " + Sj("例外発生080") + " : -");
  EXPECT_EQ(m[3], "main : -12 : t1 : t2");
  EXPECT_EQ(m[4], Sj("プリプロ解析 ") + "main : " + Sj("メッセージ"));
}

TEST_F(AnalysisLogTest, TextWithoutLineEndContinuesOnTheSameLine) {
  AppendAnalyzeLog("a", "first");
  AppendPreproLog("t", "second\n");
  EXPECT_EQ(ReadBytes("AnalyzeLog.txt"),
            Sj("プログラム解析 ") + "a : first" + Sj("プリプロ解析 ") + "t : second\r\n");
}

TEST_F(AnalysisLogTest, TheLogIsNeverTruncated) {
  test::WriteBytes("AnalyzeLog.txt", "old\r\n");
  AppendAnalyzeLogEntry("n", 1, "a", "b");
  EXPECT_EQ(ReadBytes("AnalyzeLog.txt"), "old\r\nn : 1 : a : b\r\n");
}

TEST_F(AnalysisLogTest, AFileWhoseWritesAreLostIsOneLine) {
  TextFile full("/dev/full", TextFile::Mode::Write);
  full.Write("lost\n");
  EXPECT_FALSE(full.Close());
  EXPECT_EQ(ReadBytes("AnalyzeLog.txt"), Sj("プログラム解析 /dev/full : FILE WRITE FAIL\r\n"));
}

// While a group is open nothing is written; when it closes, each kind is
// written once, in the order the kinds came: its first line, with how many
// more there were. A line alone keeps its bytes.
TEST_F(AnalysisLogTest, AGroupWritesEachKindOnceWithTheCountOfTheOthers) {
  const std::string cycle = Sj("インクルード循環 ");
  {
    LogGroup group;
    AppendPreproLog("t", "same\n");
    AppendAnalyzeLogEntry("SetWValList", 0, "over", "-");
    AppendPreproLog("t", "same\n");
    AppendPreproLog(LogKind{cycle}, "t", cycle + "x.h\n");
    AppendPreproLog(LogKind{cycle}, "t", cycle + "y.h\n");
    AppendPreproLog("t", "same\n");
    AppendAnalyzeLog("p", "no line end");
    AppendAnalyzeLog("p", "no line end");
    EXPECT_FALSE(std::filesystem::exists("AnalyzeLog.txt"));
  }
  EXPECT_EQ(ReadBytes("AnalyzeLog.txt"), Sj("プリプロ解析 t : same ほか2行\r\n") + "SetWValList : 0 : over : -\r\n" +
                                             Sj("プリプロ解析 t : ") + cycle + Sj("x.h ほか1行\r\n") +
                                             Sj("プログラム解析 p : no line end ほか1行"));
}

// A group inside another (a function in its file) keeps a line per kind of
// its own.
TEST_F(AnalysisLogTest, AnInnerGroupKeepsItsOwnLinePerKind) {
  {
    LogGroup file;
    AppendAnalyzeLogEntry("n", 0, "over", "-");
    for (int function = 0; function < 2; ++function) {
      LogGroup own;
      for (int i = 0; i <= function; ++i) AppendAnalyzeLogEntry("n", 0, "over", "-");
    }
    AppendAnalyzeLogEntry("n", 0, "over", "-");
  }
  EXPECT_EQ(ReadBytes("AnalyzeLog.txt"),
            Sj("n : 0 : over : - ほか1行\r\n") + "n : 0 : over : -\r\n" + Sj("n : 0 : over : - ほか1行\r\n"));
}

TEST_F(AnalysisLogTest, AGroupHoldsOnlyTheLinesOfItsThread) {
  LogGroup group;
  std::thread([] { AppendAnalyzeLog("other", "thread\n"); }).join();
  EXPECT_EQ(ReadBytes("AnalyzeLog.txt"), Sj("プログラム解析 other : thread\r\n"));
}

TEST(LogTimeFormatTest, TwoDigitFieldsAtMidnight) {
  std::tm t{};
  t.tm_year = 121;  // 2021
  t.tm_mon = 2;
  t.tm_mday = 3;
  EXPECT_EQ(FormatTime(kLogTimeFormat, t), "21.03.03 00:00:00");
  t.tm_hour = 14;
  t.tm_min = 5;
  t.tm_sec = 9;
  EXPECT_EQ(FormatTime(kLogTimeFormat, t), "21.03.03 14:05:09");
}

}  // namespace
}  // namespace vandrel
