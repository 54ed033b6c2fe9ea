// TARVO text format: the reader's keywords, rows and commands after END, the
// writer's layout, round trips of the shared model sets and of every data
// kind the format holds, the dual file, and bad text.
#include <algorithm>
#include <set>

#include "lp_test_util.hpp"

using namespace tvtest;

namespace {

struct LtxModel : FileModel {
  int read(const std::string &text) {
    return record(TVreadTARVOStream(model, text.data(), static_cast<int>(text.size())));
  }
  int read_path(const std::string &path) { return record(TVreadTARVOFile(model, path.c_str())); }
};

TEST(TarvoText, FourLineModel) {
  LtxModel t;
  ASSERT_EQ(t.read("MAX 2 x + 3 y\nST\nc1) x + y <= 4\nEND\n"), 0) << t.log;
  const Picture p = picture(t);
  EXPECT_EQ(p.sense, TV_MAX);
  EXPECT_EQ(p.m, 1);
  EXPECT_EQ(p.ctype, "L");
  EXPECT_EQ(p.b[0], 4);
  EXPECT_EQ(p.rownames[0], "c1");
  EXPECT_EQ(p.c, (std::vector<double>{2, 3}));
  EXPECT_NE(t.log.find("in TARVO format"), std::string::npos);
  EXPECT_NE(t.log.find("Processed 4 lines in TARVO format"), std::string::npos);
}

TEST(TarvoText, KeywordsCommandsAndComments) {
  for (const char *kw : {"Max", "MAXIMIZE", "max"}) {
    LtxModel t;
    EXPECT_EQ(t.read(std::string(kw) + " x\nsubject to\n x <= 1\nend"), 0) << kw;
  }
  LtxModel longer;
  EXPECT_EQ(longer.read("MAXIMUM x\nst\n x <= 1\nend"), 2025);  // not a keyword
  LtxModel t;
  ASSERT_EQ(t.read("TITLE the model\n! a comment\nMIN x + y + z + w - 3 ! objective constant\n"
                   "S.T.\nr1) x + y + z + w >= 1\n x - y = 0 ! unnamed\nEND\n"
                   "SUB x 10\nSUB ghost 10\nSLB y -2\nFREE z\nINT w\nGIN y\nSLB ghost 1\n"),
            0)
      << t.log;
  const Picture p = picture(t);
  EXPECT_EQ(p.title, "the model");
  EXPECT_EQ(p.constant, -3);
  EXPECT_EQ(p.rownames, (std::vector<std::string>{"r1", "R0000001"}));
  EXPECT_EQ(p.ctype, "GE");
  ASSERT_EQ(p.n, 4);
  EXPECT_EQ(p.upper[0], 10);
  EXPECT_EQ(p.lower[1], -2);
  EXPECT_EQ(p.lower[2], -1e30);
  EXPECT_EQ(p.upper[2], 1e30);
  EXPECT_EQ(p.upper[3], 1);
  EXPECT_EQ(p.vtype, "CICB");
}

TEST(TarvoText, WriterLayout) {
  LtxModel t;
  ASSERT_EQ(t.read("MIN 3 a + 0.25 b - c\nST\nc1) a + b + c >= 1\nEND\nINT a\nGIN b\nSUB b 5\nFREE c\n"), 0);
  const std::string path = temp_path("layout.ltx");
  ASSERT_EQ(TVwriteTARVOFile(t, path.c_str()), 0);
  const std::string text = read_file(path);
  EXPECT_EQ(text.rfind("MINIMIZE\n   +3. a\n   +0.25 b\n   -1. c\n\nSUBJECT TO\n", 0), 0u) << text;
  EXPECT_NE(text.find("c1)   +1. a\n   +1. b\n   +1. c\n   > +1. \n"), std::string::npos) << text;
  EXPECT_NE(text.find("\nEND\n"), std::string::npos);
  EXPECT_NE(text.find("INT         a\n"), std::string::npos) << text;
  EXPECT_NE(text.find("GIN         b\n"), std::string::npos) << text;
  EXPECT_NE(text.find("SUB   b +5.\n"), std::string::npos) << text;
  EXPECT_NE(text.find("FREE        c\n"), std::string::npos) << text;
  std::remove(path.c_str());

  EnvHandle env;
  ModelHandle empty(env);
  EXPECT_EQ(TVwriteTARVOFile(empty, path.c_str()), 2009);
  EXPECT_EQ(TVwriteTARVOFile(t, nullptr), 2010);
  EXPECT_EQ(TVwriteTARVOFile(t, "/no/such/dir/x.ltx"), 2002);
  EXPECT_EQ(TVwriteDualTARVOFile(t, path.c_str(), 0), 2007);
}

// Everything the format holds survives a write and a read: senses, constants,
// every row type, empty rows, free, bounded, fixed and negative bounds, binary
// and general integer columns, tiny and huge coefficients.
TEST(TarvoText, RoundTripOfEveryDataKind) {
  LpModel lp;
  ASSERT_EQ(lp.read("max\n obj: 1e-20 a + 3 b - 1.5e250 c + d + e + f - 7\nst\n r1: a + b <= 4\n r2: b - c >= -3\n"
                    " r3: a + d = 2.5\n r4: 0 <= 9\n r5: e + f >= 0.1\nbounds\n a free\n -5 <= b <= -1\n"
                    " c = 2\n -inf <= d <= 8\n f <= 40\ngeneral\n f\nbinary\n e\nend"),
            0)
      << lp.log;
  const std::string path = temp_path("round.ltx");
  ASSERT_EQ(TVwriteTARVOFile(lp, path.c_str()), 0);
  LtxModel back;
  ASSERT_EQ(back.read_path(path), 0) << back.log << read_file(path);
  Picture a = picture(lp), b = picture(back);
  a.objname = b.objname;
  EXPECT_EQ(compare(a, b, 0), "");
  std::remove(path.c_str());
}

std::string written_name(std::string s) {
  const unsigned char first = s.empty() ? 0 : static_cast<unsigned char>(s[0]);
  if (!std::isalpha(first) && std::string("\"#$%&(:,.;?@_'`{}~").find(s[0]) == std::string::npos) s = "_" + s;
  for (char &c : s)
    if (std::string(" \t\r\n+-<>=!)").find(c) != std::string::npos) c = '_';
  return s;
}

// The names as the writer puts them: replaced characters, and a generated name where that makes a clash.
template <class Generated>
void written_names(std::vector<std::string> *names, Generated generated) {
  std::set<std::string> taken;
  for (size_t k = 0; k < names->size(); ++k) {
    std::string s = written_name((*names)[k]);
    if (!taken.insert(s).second) taken.insert(s = generated(static_cast<int>(k)));
    (*names)[k] = s;
  }
}

TEST(TarvoText, SharedModelSetsRoundTrip) {
  std::vector<std::string> files = model_files(data_dir() + "/netlib");
  for (const std::string &f : model_files(data_dir() + "/miplib3")) files.push_back(f);
  if (files.empty()) GTEST_SKIP() << "model sets missing";
#ifndef NDEBUG
  files.resize(std::min<size_t>(files.size(), 12));
#endif
  const std::string path = temp_path("set.ltx");
  for (const std::string &f : files) {
    MpsModel mps;
    ASSERT_EQ(mps.read_file(f, 1), 0) << f;
    ASSERT_EQ(TVwriteTARVOFile(mps, path.c_str()), 0) << f;
    LtxModel back;
    ASSERT_EQ(back.read_path(path), 0) << f << ": line " << back.error_line << ": " << back.error_text;
    Picture a = picture(mps), b = picture(back);
    written_names(&a.rownames, [](int i) { return "R" + std::string(7 - std::to_string(i).size(), '0') + std::to_string(i); });
    written_names(&a.colnames, [&](int j) {
      const char letter = a.vtype.empty() || a.vtype[j] == 'C' ? 'C' : a.lower[j] == 0 && a.upper[j] == 1 ? 'B' : 'I';
      return letter + std::string(7 - std::to_string(j).size(), '0') + std::to_string(j);
    });
    a.objname = b.objname;
    // Variables are created by their first appearance in the objective or a
    // row: columns with neither are not in the file's model.
    int unused = 0;
    for (int j = 0; j < a.n; ++j) unused += a.lengths[j] == 0 && a.c[j] == 0;
    EXPECT_EQ(b.n, a.n - unused) << f;
    reorder_columns(&b, a.colnames);
    reorder_columns(&a, b.colnames);
    if (a.vtype.find_first_not_of('C') == std::string::npos && b.vtype.empty()) a.vtype.clear();
    for (int j = 0; j < a.n && !a.vtype.empty(); ++j)  // INT is the format's binary column
      if (a.vtype[j] == 'I' && a.lower[j] == 0 && a.upper[j] == 1) a.vtype[j] = 'B';
    sort_columns(&a);
    sort_columns(&b);
    EXPECT_EQ(compare(a, b, 0), "") << f;
  }
  std::remove(path.c_str());
}

TEST(TarvoText, DualFileSolvesToThePrimalOptimum) {
  const std::string src = data_dir() + "/netlib/afiro.mps.gz";
  if (read_gz(src).empty()) GTEST_SKIP() << "netlib missing";
  MpsModel primal;
  ASSERT_EQ(primal.read_file(src, 1), 0);
  const std::string path = temp_path("dual.ltx");
  ASSERT_EQ(TVwriteDualTARVOFile(primal, path.c_str(), TV_MAX), 0);
  int status = 0;
  ASSERT_EQ(TVoptimize(primal, TV_METHOD_FREE, &status), 0);
  LtxModel dual;
  ASSERT_EQ(dual.read_path(path), 0) << dual.log;
  ASSERT_EQ(TVoptimize(dual, TV_METHOD_FREE, &status), 0);
  double p = 0, d = 0;
  TVgetInfo(primal, TV_DINFO_POBJ, &p);
  TVgetInfo(dual, TV_DINFO_POBJ, &d);
  EXPECT_NEAR(p, d, 1e-6 * (1 + std::fabs(p)));
  std::remove(path.c_str());
}

TEST(TarvoText, BadTextGivesTheCodeAndTheLine) {
  struct Case {
    const char *text;
    int code;
    unsigned line;
  } cases[] = {
      {"MAX x\nST\nc1) x <= 4\n", 2025, 3},
      {"MAX x\nST\nc1) x <= 4\nEND\nFOO x\n", 2025, 5},
      {"MAX x\nST\nc1) x <= 4\nEND\nSUB x\n", 2025, 5},
      {"MAX x\nST\nc1) x <= 4\nEND\nSUB x nan\n", 2025, 5},
      {"MAX x\nST\nc1) x <= 4\nEND\nSUB x 3 4\n", 2025, 5},
      {"MAX x\nST\nc1) x <= nan\nEND\n", 2025, 3},
      {"MAX x\nST\nc1) x \x02<= 4\nEND\n", 2025, 3},
      {"MAX x\nFREE x\nST\nc1) x <= 4\nEND\n", 2025, 2},
  };
  for (const Case &c : cases) {
    LtxModel t;
    EXPECT_EQ(t.read(c.text), c.code) << c.text;
    EXPECT_EQ(t.error_line, c.line) << c.text;
  }
  LtxModel longline;
  EXPECT_EQ(longline.read("MAX x\nST\nc1) x <= 4" + std::string(1020, ' ') + "\nEND\n"), 2003);
  LtxModel tiny;
  EXPECT_EQ(tiny.read("MA"), 2003);
  EXPECT_NE(tiny.log.find("LTX stream is too short."), std::string::npos);
  const std::string text = "TITLE t\nMAX 2 x + 3 y - 1\nST\nc1) x + y <= 4\nc2) x - y >= -2\nEND\nSUB x 3\n";
  const size_t end_at = text.find("END") + 3;
  for (size_t len = 0; len < end_at; ++len) {
    LtxModel cut;
    const int code = cut.read(text.substr(0, len));
    ASSERT_TRUE(code == 2025 || code == 2003) << len << " gave " << code;
  }
}

}  // namespace
