// The caller and access-list passes read every record once and match all
// names in one pass; here they are compared with a plain reading of their
// rules (every func_als2 file searched per record, every record per variable)
// on a generated tree of a few hundred functions whose names overlap.
#include <filesystem>
#include <map>
#include <random>

#include "analysis/body_texts.h"
#include "pipeline/access_list_pass.h"
#include "pipeline/caller_pass.h"
#include "pipeline/record_fixture.h"
#include "pipeline/texts.h"
#include "platform/cp932.h"
#include "platform/dir_scan.h"
#include "platform/text_file.h"

namespace vandrel::test {
namespace {

std::vector<std::string> Lines(const std::string& path) {
  std::vector<std::string> lines;
  TextFile f(path, TextFile::Mode::Read);
  for (std::string l; f.ReadLine(l);) lines.push_back(l);
  return lines;
}

std::vector<std::string> FilesOf(const std::string& folder) {
  std::vector<std::string> names;
  DirScan scan;
  for (bool more = scan.FindFile(folder + "/*.*"); more;) {
    more = scan.FindNextFile();
    if (!scan.IsDots() && !scan.IsDirectory()) names.push_back(scan.GetFileName());
  }
  return names;
}

// CALL LIST as written: for each record, every func_als2 file in turn.
std::string PlainCallerSection(const std::string& f) {
  std::string text = kTagCallers + "\n";
  std::vector<std::string> callers;
  for (const std::string& c : FilesOf("./vcwk012345/func_als2")) {
    std::vector<std::string> lines = Lines("./vcwk012345/func_als2/" + c);
    size_t i = 0;
    while (i < lines.size() && lines[i] != kTagCallees) ++i;
    for (++i; i < lines.size() && !lines[i].empty() && lines[i] != "NONE"; ++i) {
      if (MbContains(lines[i], f + "(")) {
        callers.push_back(c);
        break;
      }
    }
  }
  if (callers.empty()) return text + "NONE_CALLER";
  for (const std::string& c : callers) text += c + "\n";
  return text + "\n";
}

// RAM ACS LIST as written: for each variable, every record in turn.
std::string PlainAccessList(const std::string& v) {
  std::string text = kAccessListHead + "\n\n";
  for (const std::string& f : FilesOf("./vcwk012345/FunctionList4")) {
    std::vector<std::string> lines = Lines("./vcwk012345/FunctionList4/" + f);
    size_t i = 0;
    while (i < lines.size() && lines[i] != kTagAccesses) ++i;
    bool any = false;
    for (++i; i < lines.size() && !lines[i].empty(); ++i) {
      const std::string& e = lines[i];
      if (!MbContains(e, MbContains(e, ".") ? v + "." : v + " [")) continue;
      if (!any) text += f + "\n";
      any = true;
      text += "    " + e + "\n";
    }
    if (any) text += "\n";
  }
  return text;
}

std::string CrLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

class RecordPassesScaleTest : public RecordPassTest {
 protected:
  std::mt19937 rng{20240607};
  int Pick(int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }
  template <class T>
  const T& Any(const std::vector<T>& v) {
    return v[Pick(static_cast<int>(v.size()))];
  }

  // Names that end one another: init, reinit, xinit, my_init, Ainit ... and
  // ア (83 41) before a name puts an "A" trail byte in front of it.
  std::vector<std::string> Names(const std::vector<std::string>& bases, int variants) {
    std::vector<std::string> names;
    for (const char* prefix : {"", "re", "x", "my_", "A", "reA"})
      for (const std::string& b : bases)
        for (int k = 0; k < variants; ++k)
          names.push_back(prefix + b + (k ? "_" + std::to_string(k) : ""));
    return names;
  }

  void GenerateTree() {
    functions = Names({"init", "cnt", "run", "get", "Set", "BC", "val"}, 8);
    variables = Names({"cnt", "val", "BC", "t"}, 3);
    const std::vector<std::string> before = {"", "", "", "ア", "表", "x", "(void)", "ｶ"};
    std::string valList;
    for (const std::string& v : variables) {
      valList += Pick(4) ? "int\t" + v + "\t;\n" : "int\t" + v + "\t[\t4\t]\t;\n";
      if (!Pick(10)) valList += "static\tint\t" + v + "\t;\n";
    }
    PutWorkFile("ValList.txt", valList);

    for (const std::string& f : functions) {
      std::string calls;
      int n = Pick(6);
      if (!Pick(6)) calls += "NONE\n";
      for (int k = 0; k < n; ++k) {
        calls += Any(before) + Any(functions) + (Pick(8) ? "(" : "") + "a,b)" +
                 (Pick(5) ? "" : Any(functions) + "(") + "\n";
      }
      std::string later = "[参照変数]\n" + Any(functions) + "(x)\n\n[コール関数]\n" +
                          Any(functions) + "(y)\n\n";
      PutWorkFile("func_als2/" + f, Pick(12) ? "[関数名称]\n" + f + "\n\n[コール関数]\n" + calls +
                                                   "\n" + later
                                             : "[関数名称]\n" + f + "\n\n" + later);

      std::string accesses;
      const std::vector<std::string> forms = {"%", "%", "%.m", "p.%", "%[]", "ア%", "x%.y",
                                              "s.%.t", "%->q", "表%"};
      const std::vector<std::string> tags = {" [R]", " [w]", " [RET]"};
      for (int k = Pick(7); k > 0; --k) {
        std::string form = Any(forms), v = Any(variables);
        form.replace(form.find('%'), 1, v);
        accesses += form + Any(tags) + "\n";
      }
      std::string record = "[関数名称]\n" + f + "\n\n[書込み変数]\nNONE\n\n\n";
      if (Pick(10)) record += "[変数アクセス情報]\n" + accesses + "\n" + Any(variables) + " [R]\n\n";
      PutWorkFile("FunctionList4/" + f, record);
    }
  }

  std::vector<std::string> functions, variables;
};

TEST_F(RecordPassesScaleTest, CallerListsAgreeWithThePlainSearch) {
  GenerateTree();
  ASSERT_GE(functions.size(), 300u);
  std::map<std::string, std::string> expected;
  for (const std::string& f : FilesOf("./vcwk012345/FunctionList4"))
    expected[f] = ReadBytes("vcwk012345/FunctionList4/" + f) + CrLf(PlainCallerSection(f));
  ASSERT_EQ(AppendCallerLists(), StepResult::Done);
  int rootCount = 0;
  for (const auto& [f, bytes] : expected) {
    EXPECT_EQ(ReadBytes("vcwk012345/FunctionList4/" + f), bytes) << f;
    rootCount += bytes.find("NONE_CALLER") != std::string::npos;
  }
  // The tree exercises both outcomes.
  EXPECT_GT(rootCount, 10);
  EXPECT_LT(rootCount, static_cast<int>(expected.size()) - 10);
}

TEST_F(RecordPassesScaleTest, AccessListsAgreeWithThePlainSearch) {
  GenerateTree();
  ASSERT_EQ(WriteAccessLists(), StepResult::Done);
  std::vector<std::string> written = FilesOf("./vcwk012345/RAM_ALL");
  std::sort(written.begin(), written.end());
  std::vector<std::string> names = variables;
  std::sort(names.begin(), names.end());
  EXPECT_EQ(written, names);
  for (const std::string& v : variables)
    EXPECT_EQ(ReadBytes("vcwk012345/RAM_ALL/" + v), CrLf(PlainAccessList(v))) << v;
}

}  // namespace
}  // namespace vandrel::test
