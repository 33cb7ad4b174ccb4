// Replays kept inputs through a fuzz target without libFuzzer:
//   replay_TARGET FOLDER_OR_FILE...
// Every file of a folder (in name order) goes once to LLVMFuzzerTestOneInput,
// each under a time bound that grows with its size. A broken check aborts;
// no input at all is an error too. The files are listed before the first
// input runs, since a target may change the current folder.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> InputsOf(const fs::path& arg) {
  std::vector<fs::path> files;
  if (fs::is_directory(arg)) {
    for (const auto& entry : fs::directory_iterator(arg))
      if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
  } else if (fs::is_regular_file(arg)) {
    files.push_back(arg);
  }
  return files;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<fs::path> files;
  for (int i = 1; i < argc; ++i) {
    for (const fs::path& file : InputsOf(fs::absolute(argv[i]))) files.push_back(file);
  }
  for (const fs::path& file : files) {
    const std::string bytes = ReadFile(file);
    std::printf("%s\n", file.string().c_str());
    std::fflush(stdout);
    vandrel::fuzz::ScopedTimeBound bound(bytes.size());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  std::printf("%zu inputs replayed\n", files.size());
  if (files.empty()) {
    std::fprintf(stderr, "no input found\n");
    return 1;
  }
  return 0;
}
