// Writes a synthetic C source tree in Shift-JIS for measurements:
//   gen_tree OUT_FOLDER [--lines N] [--seed S] [--dense]
//
// The program is made of modules, a .c file and its header each (about 400
// lines and 16 functions a module), 25 modules to a folder. Folder mod000 is
// a shared library; every other folder is a subsystem whose modules lean on
// the next modules of their folder and on the library, as a layered program
// does. A module has an enum and a struct typedef, macros (one of them
// function-like), #ifdef / #if / #elif blocks, globals with extern
// declarations, Japanese comments and 16 functions: four public ones in the
// header and twelve static helpers. Calls go down the layers and share
// callees (the public functions of the next modules and of the library);
// some functions call themselves and some call back an earlier function of
// their module. About 1,000,000 lines give 2,500 modules: 5,000 files and
// 40,000 functions. The same arguments give the same tree, byte for byte.
//
// --dense draws the calls from the whole program instead, as in code bases
// whose helpers are called from everywhere: besides the chain through its
// module, a function calls the public functions of any module, whose headers
// the .c file includes. Each module then declares three type names (a third
// one types the functions' work variable) and its four globals.
#include <algorithm>
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
  bool Percent(int p) { return Below(100) < p; }

 private:
  uint64_t state_;
};

const char* const kComments[] = {
    "初期化処理", "状態を更新する", "範囲外の値を丸める", "エラー回数を数える",
    "周期処理の本体", "センサ値の平均を求める", "通信バッファを確認する", "制御出力を計算する",
    "異常時は安全側に倒す", "ﾀｲﾏ割込みから呼ばれる", "設定値を読み込む", "再帰で木をたどる",
};
constexpr int kCommentCount = sizeof kComments / sizeof kComments[0];

constexpr int kLinesPerModule = 411;
constexpr int kDenseLinesPerModule = 423;
constexpr int kFunctionsPerModule = 16;
constexpr int kPublicFunctions = 4;  // functions 0..3 are in the header
constexpr int kGlobalsPerModule = 4;
constexpr int kModulesPerFolder = 25;
constexpr int kDependencies = 3;     // a module uses the next three of its folder

struct Function {
  int module, index;
};

class Tree {
 public:
  Tree(int modules, uint64_t seed, bool dense) : modules_(modules), dense_(dense), rnd_(seed) {
    calls_.resize(static_cast<size_t>(modules) * kFunctionsPerModule);
    for (int m = 0; m < modules_; ++m)
      for (int k = 0; k < kFunctionsPerModule; ++k) dense_ ? PlanDenseCalls(m, k) : PlanCalls(m, k);
  }

  int Modules() const { return modules_; }
  int Functions() const { return static_cast<int>(calls_.size()); }
  int Uncalled() const {
    std::vector<bool> called(calls_.size());
    for (size_t f = 0; f < calls_.size(); ++f)
      for (const Function& c : calls_[f])
        if (Id(c) != static_cast<int>(f)) called[Id(c)] = true;
    return static_cast<int>(std::count(called.begin(), called.end(), false));
  }

  static std::string FunctionName(const Function& f) {
    char buf[64];
    std::snprintf(buf, sizeof buf, f.index < kPublicFunctions ? "Mod%04d_Api%d" : "mod%04d_sub%d",
                  f.module, f.index);
    return buf;
  }
  static std::string Base(int m) { return Numbered("file", m); }
  static std::string Global(int m, int g) { return Numbered("g_val", m) + "_" + std::to_string(g); }
  static std::string Folder(int m) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "mod%03d", m / kModulesPerFolder);
    return buf;
  }

  // Returns the number of lines written.
  long WriteModule(const fs::path& dir, int m);

 private:
  static std::string Numbered(const char* prefix, int n) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s%04d", prefix, n);
    return buf;
  }
  int Id(const Function& f) const { return f.module * kFunctionsPerModule + f.index; }
  bool InLibrary(int m) const { return m < kModulesPerFolder; }
  // The modules whose public functions m calls: the next ones of its folder
  // or, in a dense program, those its calls name.
  std::vector<int> Dependencies(int m) const {
    std::vector<int> d;
    if (dense_) {
      for (int k = 0; k < kFunctionsPerModule; ++k)
        for (const Function& c : calls_[Id({m, k})])
          if (c.module != m) d.push_back(c.module);
      std::sort(d.begin(), d.end());
      d.erase(std::unique(d.begin(), d.end()), d.end());
      return d;
    }
    for (int n = m + 1; n <= m + kDependencies && n < modules_ && Folder(n) == Folder(m); ++n)
      d.push_back(n);
    return d;
  }
  Function PublicOf(int m) { return {m, rnd_.Below(kPublicFunctions)}; }
  // A public function of the library's first modules, shared by every subsystem.
  Function LibraryFunction() { return PublicOf(rnd_.Below(std::min(modules_, 8))); }

  void PlanCalls(int m, int k);
  void PlanDenseCalls(int m, int k);

  int modules_;
  bool dense_;
  Random rnd_;
  std::vector<std::vector<Function>> calls_;
};

// Calls of function k of module m. The first call of most functions goes to
// the next function of the module, so a module is mostly one chain below its
// first function; the rest go to helpers a little further on, to the next
// modules and to the library, and now and then back up the module or to the
// function itself.
void Tree::PlanCalls(int m, int k) {
  std::vector<Function>& out = calls_[Id({m, k})];
  const int count = 1 + rnd_.Below(3);
  const std::vector<int> deps = Dependencies(m);
  for (int c = 0; c < count; ++c) {
    if (c == 0 && k + 1 < kFunctionsPerModule && rnd_.Percent(85)) {
      out.push_back({m, k + 1});
      continue;
    }
    int r = rnd_.Below(100);
    if (r < 35 && k + 2 < kFunctionsPerModule)
      out.push_back({m, k + 2 + rnd_.Below(std::min(3, kFunctionsPerModule - k - 2))});
    else if (r < 85 && !deps.empty() && (r < 60 || InLibrary(m)))
      out.push_back(PublicOf(deps[rnd_.Below(static_cast<int>(deps.size()))]));
    else if (r < 85 && !InLibrary(m))
      out.push_back(LibraryFunction());
    else if (r < 93 || k == 0)
      out.push_back({m, k});
    else
      out.push_back({m, k - 1 - rnd_.Below(std::min(k, 3))});
  }
}

// Calls of a dense program: most functions first call the next function of
// their module; the other calls go to a public function of any module, now
// and then to a helper further on in the module or to the function itself.
void Tree::PlanDenseCalls(int m, int k) {
  std::vector<Function>& out = calls_[Id({m, k})];
  const int count = 1 + rnd_.Below(3);
  for (int c = 0; c < count; ++c) {
    if (c == 0 && k + 1 < kFunctionsPerModule && rnd_.Percent(85)) {
      out.push_back({m, k + 1});
      continue;
    }
    int r = rnd_.Below(100);
    if (r < 75)
      out.push_back(PublicOf(rnd_.Below(modules_)));
    else if (r < 92 && k + 2 < kFunctionsPerModule)
      out.push_back({m, k + 2 + rnd_.Below(kFunctionsPerModule - k - 2)});
    else
      out.push_back({m, k});
  }
}

class Writer {
 public:
  explicit Writer(const fs::path& path) : out_(path, std::ios::binary) {}
  // Lines are UTF-8 here and CP932 with CR LF on disk.
  void Line(const std::string& utf8 = "") {
    out_ << ToCp932(utf8) << "\r\n";
    ++lines_;
  }
  long Lines() const { return lines_; }

 private:
  std::ofstream out_;
  long lines_ = 0;
};

long WriteCommonHeader(const fs::path& root) {
  Writer w(root / "inc" / "common.h");
  w.Line("/* 共通定義 */");
  w.Line("#ifndef COMMON_H");
  w.Line("#define COMMON_H");
  w.Line("typedef unsigned char u1;");
  w.Line("typedef unsigned short u2;");
  w.Line("typedef unsigned long u4;");
  w.Line("typedef signed short s2;");
  w.Line("/* 動作状態 */");
  w.Line("typedef enum {");
  w.Line("    ST_IDLE = 0,");
  w.Line("    ST_BUSY,");
  w.Line("    ST_ERROR");
  w.Line("} STATE_T;");
  w.Line("#define TABLE_SIZE (16)");
  w.Line("#define LIMIT_MAX (1000)");
  w.Line("#define BOARD_TYPE (2)");
  w.Line("#define CLAMP(v, hi) (((v) > (hi)) ? (hi) : (v))");
  w.Line("#endif");
  return w.Lines();
}

long Tree::WriteModule(const fs::path& dir, int m) {
  const std::string base = Base(m);
  const std::string upper = "FILE" + base.substr(4);
  const std::string rec = Numbered("REC", m) + "_T";
  const std::string mode = Numbered("MODE", m) + "_T";
  const std::string count = Numbered("CNT", m) + "_T";  // dense programs only
  const std::vector<int> deps = Dependencies(m);
  long lines = 0;
  {
    Writer h(dir / (base + ".h"));
    h.Line("/* モジュール " + base + " の公開定義 */");
    h.Line("#ifndef " + upper + "_H");
    h.Line("#define " + upper + "_H");
    h.Line("#include \"common.h\"");
    h.Line("/* モード */");
    h.Line("typedef enum {");
    h.Line("    " + upper + "_OFF = 0,");
    h.Line("    " + upper + "_ON,");
    h.Line("    " + upper + "_TEST = 5");
    h.Line("} " + mode + ";");
    h.Line("typedef struct {");
    h.Line("    u2 count;       /* 回数 */");
    h.Line("    u2 limit;       /* 上限 */");
    h.Line("    STATE_T state;");
    h.Line("    " + mode + " mode;");
    h.Line("} " + rec + ";");
    if (dense_) h.Line("typedef u2 " + count + ";");
    for (int g = 0; g < kGlobalsPerModule; ++g) h.Line("extern u2 " + Global(m, g) + ";");
    h.Line("extern " + rec + " " + Numbered("g_rec", m) + ";");
    for (int i = 0; i < kPublicFunctions; ++i) h.Line("u2 " + FunctionName({m, i}) + "(u2 arg);");
    h.Line("#endif");
    lines += h.Lines();
  }

  Writer c(dir / (base + ".c"));
  const std::string step = Numbered("STEP", m);
  const std::string level = Numbered("LEVEL", m);
  c.Line("/*");
  c.Line(" * " + std::string(kComments[rnd_.Below(kCommentCount)]) + "（" + base + "）");
  c.Line(" */");
  c.Line("#include \"" + base + ".h\"");
  for (int d : deps) c.Line("#include \"" + Base(d) + ".h\"");
  if (!InLibrary(m) && !dense_) c.Line("#include \"" + Base(0) + ".h\"");
  c.Line("#define " + step + " (" + std::to_string(1 + rnd_.Below(9)) + ")");
  c.Line("#define " + Numbered("HALF", m) + " (" + step + " * 2 + 1)");
  c.Line("#define " + Numbered("ADD", m) + "(a, b) ((a) + (b))");
  c.Line("#ifdef USE_TRACE");
  c.Line("#define TRACE_ON (1)");
  c.Line("#else");
  c.Line("#define TRACE_ON (0)");
  c.Line("#endif");
  c.Line("#if BOARD_TYPE == 2");
  c.Line("#define " + level + " (3)");
  c.Line("#elif BOARD_TYPE == 1");
  c.Line("#define " + level + " (2)");
  c.Line("#else");
  c.Line("#define " + level + " (1)");
  c.Line("#endif");
  for (int g = 0; g < kGlobalsPerModule; ++g)
    c.Line("u2 " + Global(m, g) + ";            /* 状態値 */");
  c.Line(rec + " " + Numbered("g_rec", m) + ";");
  c.Line("static u2 s_table[TABLE_SIZE];  /* 作業テーブル */");
  for (int i = kPublicFunctions; i < kFunctionsPerModule; ++i)
    c.Line("static u2 " + FunctionName({m, i}) + "(u2 arg);");
  c.Line();

  const std::string recVar = Numbered("g_rec", m);
  for (int i = 0; i < kFunctionsPerModule; ++i) {
    const Function self{m, i};
    c.Line("/* " + std::string(kComments[rnd_.Below(kCommentCount)]) + " */");
    c.Line(std::string(i < kPublicFunctions ? "" : "static ") + "u2 " + FunctionName(self) + "(u2 arg)");
    c.Line("{");
    c.Line("    " + (dense_ ? count : std::string("u2")) + " work;");
    c.Line("    int i;");
    c.Line();
    c.Line("    work = arg + " + Global(m, rnd_.Below(kGlobalsPerModule)) + ";");
    switch (i % 3) {
      case 0:
        c.Line("    for (i = 0; i < TABLE_SIZE; i++) {");
        c.Line("        s_table[i] = " + Numbered("ADD", m) + "(s_table[i], " + step + ");");
        c.Line("    }");
        break;
      case 1:
        c.Line("#if TRACE_ON");
        c.Line("    " + recVar + ".count++;");
        c.Line("#endif");
        break;
      default:
        c.Line("    if (" + recVar + ".mode == " + upper + "_TEST) {");
        c.Line("        work = CLAMP(work, " + level + ");");
        c.Line("    }");
        break;
    }
    bool first = true;
    for (const Function& callee : calls_[Id(self)]) {
      if (first) {
        c.Line("    work = " + FunctionName(callee) + "(work);");
        first = false;
        continue;
      }
      c.Line("    if (work > " + std::to_string(rnd_.Below(500)) + ") {");
      c.Line("        work = " + FunctionName(callee) + "(work);");
      c.Line("    }");
    }
    // Writes: the module's own globals and now and then one of a dependency.
    int target = deps.empty() || rnd_.Percent(70) ? m : deps[rnd_.Below(static_cast<int>(deps.size()))];
    if (i % 2 == 0) {
      c.Line("    switch (" + recVar + ".state) {");
      c.Line("    case ST_IDLE:");
      c.Line("        " + Global(m, rnd_.Below(kGlobalsPerModule)) + " = CLAMP(work, LIMIT_MAX);");
      c.Line("        break;");
      c.Line("    default:");
      c.Line("        " + Global(target, rnd_.Below(kGlobalsPerModule)) + " = work;");
      c.Line("        break;");
      c.Line("    }");
    } else {
      c.Line("    " + Global(target, rnd_.Below(kGlobalsPerModule)) + " = work;");
    }
    c.Line("    return work;");
    c.Line("}");
    c.Line();
  }
  return lines + c.Lines();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: gen_tree OUT_FOLDER [--lines N] [--seed S] [--dense]\n");
    return 2;
  }
  fs::path root = argv[1];
  long lines = 100000;
  uint64_t seed = 1;
  bool dense = false;
  for (int i = 2; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--dense") dense = true;
    else if (a == "--lines" && i + 1 < argc) lines = std::atol(argv[++i]);
    else if (a == "--seed" && i + 1 < argc) seed = std::strtoull(argv[++i], nullptr, 10);
  }
  const int perModule = dense ? kDenseLinesPerModule : kLinesPerModule;
  Tree tree(static_cast<int>(std::max(1L, lines / perModule)), seed, dense);
  fs::create_directories(root / "inc");
  long written = WriteCommonHeader(root);
  for (int m = 0; m < tree.Modules(); ++m) {
    fs::path dir = root / Tree::Folder(m);
    fs::create_directories(dir);
    written += tree.WriteModule(dir, m);
  }
  std::printf("%d files, %ld lines, %d functions (%d called by no other function)\n",
              2 * tree.Modules() + 1, written, tree.Functions(), tree.Uncalled());
  return 0;
}
