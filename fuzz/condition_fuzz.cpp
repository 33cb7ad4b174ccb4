// The input as a source file through the file preprocessor: #if, #elif,
// #ifdef, #ifndef, #else, #endif and #define, nested as the input nests
// them. The word "include" is masked, so that no other file is read. Only
// the copy and the log may be written.
#include <filesystem>
#include <fstream>

#include "fuzz/fuzz_support.h"
#include "platform/cp932.h"
#include "prepro/define_table.h"
#include "prepro/file_prepro.h"
#include "prepro/source_line.h"
#include "run/run_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vandrel;
  fuzz::InstallSilentHost();
  fuzz::EnterEmptyScratchFolder();
  ClearDefineTable();
  g_abortRequested = 0;
  g_preproFileTitle = "fuzz.c";
  g_defOutputDir = "out";
  std::filesystem::create_directory("out");
  std::ofstream("fuzz.c", std::ios::binary)
      << MbReplaceAll(fuzz::AsText(data, size), "include", "inclXde");

  PreprocessFile("fuzz.c", 1);

  for (const std::string& file : fuzz::FilesHere())
    fuzz::Check(file == "fuzz.c" || file == "out/fuzz.c" || file == "AnalyzeLog.txt",
                "a file written elsewhere", file);
  return 0;
}
