// Writes a synthetic C source tree in Shift-JIS for measurements:
//   gen_tree OUT_FOLDER [--lines N] [--seed S]
// About 240 lines per source file and its header, 8 functions per file, in folders of
// 50 files, with headers, typedefs, enums, macros, #if blocks, globals,
// Japanese comments, and calls that share callees and recurse. The same
// seed gives the same tree.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/cp932.h"

namespace fs = std::filesystem;
using vandrel::ToCp932;

namespace {

// A small deterministic generator (the standard distributions differ between libraries).
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed * 6364136223846793005ULL + 1442695040888963407ULL) {}
  uint32_t Next() {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<uint32_t>(state_ >> 33);
  }
  int Below(int n) { return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<uint32_t>(n)); }

 private:
  uint64_t state_;
};

const char* const kComments[] = {
    "初期化処理", "状態を更新する", "範囲外の値を丸める", "エラー回数を数える",
    "周期処理の本体", "センサ値の平均を求める", "通信バッファを確認する", "制御出力を計算する",
};

struct Layout {
  int files;
  int functionsPerFile = 8;
  int globalsPerFile = 4;
  int filesPerFolder = 50;
};

std::string Name(const char* prefix, int file, int index) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s%04d_%d", prefix, file, index);
  return buf;
}

std::string Folder(int file, const Layout& l) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "mod%03d", file / l.filesPerFolder);
  return buf;
}

class Writer {
 public:
  explicit Writer(const fs::path& path) : out_(path, std::ios::binary) {}
  // Lines are UTF-8 here and CP932 with CR LF on disk.
  void Line(const std::string& utf8 = "") { out_ << ToCp932(utf8) << "\r\n"; }

 private:
  std::ofstream out_;
};

void WriteCommonHeader(const fs::path& root) {
  Writer w(root / "inc" / "common.h");
  w.Line("/* 共通定義 */");
  w.Line("#ifndef COMMON_H");
  w.Line("#define COMMON_H");
  w.Line("typedef unsigned char u1;");
  w.Line("typedef unsigned short u2;");
  w.Line("typedef unsigned long u4;");
  w.Line("typedef signed short s2;");
  w.Line("typedef enum {");
  w.Line("    ST_IDLE = 0,");
  w.Line("    ST_BUSY,");
  w.Line("    ST_ERROR");
  w.Line("} STATE_T;");
  w.Line("#define TABLE_SIZE (16)");
  w.Line("#define LIMIT_MAX (1000)");
  w.Line("#define CLAMP(v, hi) (((v) > (hi)) ? (hi) : (v))");
  w.Line("#endif");
}

void WriteModule(const fs::path& dir, int f, const Layout& l, Random& rnd) {
  const int total = l.files * l.functionsPerFile;
  auto fn = [&](int global) { return Name("Func", global / l.functionsPerFile, global % l.functionsPerFile); };
  auto var = [&](int file, int i) { return Name("g_val", file, i); };

  std::string base = Name("file", f, 0);
  base.resize(base.size() - 2);
  {
    Writer h(dir / (base + ".h"));
    h.Line("/* モジュール " + base + " の公開定義 */");
    h.Line("#ifndef " + base + "_H");
    h.Line("#define " + base + "_H");
    h.Line("#include \"common.h\"");
    h.Line("typedef struct {");
    h.Line("    u2 count;");
    h.Line("    u2 limit;");
    h.Line("    STATE_T state;");
    h.Line("} " + Name("REC", f, 0) + "_T;");
    for (int g = 0; g < l.globalsPerFile; ++g) h.Line("extern u2 " + var(f, g) + ";");
    for (int i = 0; i < l.functionsPerFile; ++i) h.Line("u2 " + Name("Func", f, i) + "(u2 arg);");
    h.Line("#endif");
  }
  Writer c(dir / (base + ".c"));
  c.Line("/*");
  c.Line(" * " + std::string(kComments[rnd.Below(8)]) + "（" + base + "）");
  c.Line(" */");
  c.Line("#include \"" + base + ".h\"");
  if (f > 0) c.Line("#include \"" + Name("file", f - 1, 0).substr(0, base.size()) + ".h\"");
  c.Line("#define " + Name("LOCAL_STEP", f, 0) + " (" + std::to_string(1 + rnd.Below(9)) + ")");
  c.Line("#ifdef USE_TRACE");
  c.Line("#define TRACE_ON (1)");
  c.Line("#else");
  c.Line("#define TRACE_ON (0)");
  c.Line("#endif");
  for (int g = 0; g < l.globalsPerFile; ++g) c.Line("u2 " + var(f, g) + ";            /* 状態値 */");
  c.Line("static " + Name("REC", f, 0) + "_T s_rec;");
  c.Line("static u2 s_table[TABLE_SIZE];");
  c.Line();
  for (int i = 0; i < l.functionsPerFile; ++i) {
    int self = f * l.functionsPerFile + i;
    c.Line("/* " + std::string(kComments[rnd.Below(8)]) + " */");
    c.Line("u2 " + fn(self) + "(u2 arg)");
    c.Line("{");
    c.Line("    u2 work;");
    c.Line("    int i;");
    c.Line();
    c.Line("    work = arg + " + var(f, rnd.Below(l.globalsPerFile)) + ";");
    if (i % 2 == 0) {
      c.Line("    for (i = 0; i < TABLE_SIZE; i++) {");
      c.Line("        s_table[i] = s_table[i] + " + Name("LOCAL_STEP", f, 0) + ";");
      c.Line("    }");
      c.Line("#if TRACE_ON");
      c.Line("    s_rec.count++;");
      c.Line("#endif");
    }
    // Calls: shared utilities (low numbers), neighbours, and now and then recursion.
    int calls = 1 + rnd.Below(3);
    for (int k = 0; k < calls; ++k) {
      int callee;
      int r = rnd.Below(10);
      if (r < 3)
        callee = rnd.Below(std::min(total, 32));
      else if (r < 8)
        callee = std::max(0, std::min(total - 1, self + 1 + rnd.Below(12)));
      else if (r < 9)
        callee = self;
      else
        callee = rnd.Below(total);
      c.Line("    if (work > " + std::to_string(rnd.Below(500)) + ") {");
      c.Line("        work = " + fn(callee) + "(work);");
      c.Line("    }");
    }
    int other = rnd.Below(l.files);
    c.Line("    switch (s_rec.state) {");
    c.Line("    case ST_IDLE:");
    c.Line("        " + var(f, rnd.Below(l.globalsPerFile)) + " = CLAMP(work, LIMIT_MAX);");
    c.Line("        break;");
    c.Line("    default:");
    c.Line("        " + var(other, rnd.Below(l.globalsPerFile)) + " = work;");
    c.Line("        break;");
    c.Line("    }");
    c.Line("    return work;");
    c.Line("}");
    c.Line();
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: gen_tree OUT_FOLDER [--lines N] [--seed S]\n");
    return 2;
  }
  fs::path root = argv[1];
  long lines = 100000;
  uint64_t seed = 1;
  for (int i = 2; i + 1 < argc; i += 2) {
    std::string a = argv[i];
    if (a == "--lines") lines = std::atol(argv[i + 1]);
    else if (a == "--seed") seed = std::strtoull(argv[i + 1], nullptr, 10);
  }
  Layout l;
  l.files = std::max(1L, lines / 240);
  Random rnd(seed);
  fs::create_directories(root / "inc");
  WriteCommonHeader(root);
  for (int f = 0; f < l.files; ++f) {
    fs::path dir = root / Folder(f, l);
    fs::create_directories(dir);
    WriteModule(dir, f, l, rnd);
  }
  std::printf("%d files, %d functions\n", l.files, l.files * l.functionsPerFile);
  return 0;
}
