#include "platform/text_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "test_support.h"

namespace vandrel {
namespace {

using test::ReadBytes;
using test::WriteBytes;

class TextFileTest : public test::TempDirTest {};

TEST_F(TextFileTest, WritesLineEndsAsCrLfAndReadsThemBack) {
  TextFile out("a.txt", TextFile::Mode::Truncate);
  out.Write("one\ntwo\n\nlast");
  ASSERT_TRUE(out.Close());
  EXPECT_EQ(ReadBytes("a.txt"), "one\r\ntwo\r\n\r\nlast");

  TextFile in("a.txt", TextFile::Mode::Read);
  std::vector<std::string> lines;
  std::string line;
  while (in.ReadLine(line)) lines.push_back(line);
  EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "", "last"}));
}

TEST_F(TextFileTest, ALoneCarriageReturnIsKept) {
  WriteBytes("a.txt", "a\rb\r\nc\n");
  TextFile in("a.txt", TextFile::Mode::Read);
  std::string line;
  ASSERT_TRUE(in.ReadLine(line));
  EXPECT_EQ(line, "a\rb");
  ASSERT_TRUE(in.ReadLine(line));
  EXPECT_EQ(line, "c");
  EXPECT_FALSE(in.ReadLine(line));
}

TEST_F(TextFileTest, WriteModeCoversAnOldFileFromItsStart) {
  WriteBytes("a.txt", "0123456789");
  TextFile out("a.txt", TextFile::Mode::Write);
  out.Write("ab");
  out.Close();
  EXPECT_EQ(ReadBytes("a.txt"), "ab23456789");

  TextFile add("a.txt", TextFile::Mode::Append);
  add.Write("\n");
  add.Close();
  EXPECT_EQ(ReadBytes("a.txt"), "ab23456789\r\n");

  TextFile fresh("a.txt", TextFile::Mode::Truncate);
  fresh.Write("x");
  fresh.Close();
  EXPECT_EQ(ReadBytes("a.txt"), "x");
}

TEST_F(TextFileTest, RawLineReadsKeepTheLineEndAndSplitAtTheLimit) {
  WriteBytes("a.txt", "abcdef\r\ngh\r\n");
  TextFile in("a.txt", TextFile::Mode::Read);
  std::string part;
  std::vector<std::string> parts;
  while (in.ReadLineRaw(part, 4)) parts.push_back(part);  // at most 3 bytes each
  EXPECT_EQ(parts, (std::vector<std::string>{"abc", "def", "\n", "gh\n"}));
}

TEST_F(TextFileTest, OpeningAMissingFileForReadingFails) {
  TextFile in;
  EXPECT_FALSE(in.Open("missing.txt", TextFile::Mode::Read));
  EXPECT_FALSE(in.Open("no/such/dir/a.txt", TextFile::Mode::Write));
}

TEST_F(TextFileTest, JapaneseFileNamesReachTheFileSystemAsUtf8) {
  std::string name = test::Sj("表示.txt");
  TextFile out(name, TextFile::Mode::Truncate);
  out.Write(test::Sj("日本語\n"));
  out.Close();
  EXPECT_EQ(ReadBytes("表示.txt"), test::Sj("日本語") + "\r\n");
}

TEST_F(TextFileTest, OnlyRegularFilesAreReadAndAFifoDoesNotBlock) {
  ASSERT_EQ(mkfifo("pipe", 0644), 0);
  std::filesystem::create_directory("dir");
  TextFile f;
  for (const char* path : {"pipe", "dir", "/dev/zero", "/dev/null"}) EXPECT_FALSE(f.Open(path, TextFile::Mode::Read)) << path;
}

TEST_F(TextFileTest, ReadsFindTheFileWhateverTheCaseAndWritesMakeTheNameGiven) {
  WriteBytes("Dir/Motor.H", "x\r\n");
  std::string text;
  ASSERT_TRUE(ReadTextFile("dir/motor.h", text));
  EXPECT_EQ(text, "x\n");
  {
    TextFile out("dir/motor.h", TextFile::Mode::Write);
    EXPECT_FALSE(out.IsOpen());  // no folder "dir": a write finds nothing
  }
  TextFile out("Dir/motor.h", TextFile::Mode::Write);
  out.Write("y");
  ASSERT_TRUE(out.Close());
  EXPECT_EQ(ReadBytes("Dir/Motor.H"), "x\r\n");
  EXPECT_EQ(ReadBytes("Dir/motor.h"), "y");
}

std::vector<std::string> g_lost;

TEST_F(TextFileTest, AFileWhoseWritesAreLostIsCountedAndReportedOnce) {
  const unsigned before = LostWriteCount();
  LostWriteHandler logging = SetLostWriteHandler([](const std::string& path) { g_lost.push_back(path); });
  {
    TextFile full("/dev/full", TextFile::Mode::Write);  // every write: no space left
    ASSERT_TRUE(full.IsOpen());
    full.Write("lost\n");
    EXPECT_FALSE(full.Close());
    full.Close();  // closed already: nothing more to report
    TextFile dropped("/dev/full", TextFile::Mode::Append);
    dropped.Write("lost too");
  }  // closed by its destructor
  TextFile fine("a.txt", TextFile::Mode::Truncate);
  fine.Write("kept");
  EXPECT_TRUE(fine.Close());
  SetLostWriteHandler(logging);
  EXPECT_EQ(g_lost, (std::vector<std::string>{"/dev/full", "/dev/full"}));
  EXPECT_EQ(LostWriteCount() - before, 2u);
}

}  // namespace
}  // namespace vandrel
