// The algebraic text exports: MERLO modelling-language text and LP-like MPX
// text of a small mixed-integer model with a quadratic objective.
#include "mps_test_util.hpp"

using namespace tvtest;

namespace {

const char *kModel =
    "NAME\nROWS\n N profit\n L cap.1\n G need\n E bal\n N spare\nCOLUMNS\n M 'MARKER' 'INTORG'\n"
    " k profit 2 cap.1 1\n b need 1\n M 'MARKER' 'INTEND'\n x-y profit -1.5 bal 1\nRHS\n rhs cap.1 10 need 1\n"
    "BOUNDS\n UP bnd k 7\n BV bnd b\n FR bnd x-y\nQUADOBJ\n x-y x-y 0.5\nENDATA\n";

struct Exported {
  MpsModel mps;
  std::string path = temp_path("export.txt");
  Exported() { EXPECT_EQ(mps.read_text(kModel, 0, 0, 1), 0) << mps.error_text; }
  ~Exported() { std::remove(path.c_str()); }
};

bool has(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

TEST(TextExports, MerloText) {
  Exported e;
  ASSERT_EQ(TVwriteMERLOFile(e.mps, e.path.c_str()), 0);
  const std::string text = read_file(e.path);
  EXPECT_TRUE(has(text, "BEGIN MODEL\n[OBJ] MINIMIZE\n   +2.000000 * k\n   -1.500000 * x_y\n")) << text;
  EXPECT_TRUE(has(text, "   +0.500000 * x_y * x_y\n;\n"));
  EXPECT_TRUE(has(text, "[cap_1]\n   +1.000000 * k\n   < 10.000000;\n"));  // names cleaned
  EXPECT_TRUE(has(text, "[need]\n   +1.000000 * b\n   > 1.000000;\n"));
  EXPECT_TRUE(has(text, "[bal]\n   +1.000000 * x_y\n   = 0.000000;\n"));
  EXPECT_FALSE(has(text, "spare"));  // a free row constrains nothing
  EXPECT_TRUE(has(text, "BOUND 0.000000 <= k <= 7.000000;\n"));
  EXPECT_TRUE(has(text, "FREE x_y;\n"));
  EXPECT_TRUE(has(text, "INTEGER k;\nBINARY b;\nEND MODEL\n"));
  EXPECT_NE(e.mps.log.find("\nMERLO file written successfully: " + e.path), std::string::npos);
}

TEST(TextExports, MpxText) {
  Exported e;
  ASSERT_EQ(TVwriteMPXFile(e.mps, e.path.c_str(), 0), 0);  // 0 counts as 1: blank separators
  std::string text = read_file(e.path);
  EXPECT_TRUE(has(text, "min\nprofit:    2.000000 k   -1.500000 x_y+0.000000\n   +0.500000 x_y x_y;\ns.t.\n"))
      << text;
  EXPECT_TRUE(has(text, "cap_1:    1.000000 k   <= 10.000000;\n"));
  EXPECT_TRUE(has(text, "need:    1.000000 b   >= 1.000000;\n"));
  EXPECT_TRUE(has(text, "bal:    1.000000 x_y    = 0.000000;\n"));
  EXPECT_TRUE(has(text, "BOUNDS\n0.000000 <=        k <= 7.000000;\n0.000000 <=        b <= 1.000000;\n"
                        "-Inf <=      x_y <= Inf;\n"));
  EXPECT_TRUE(has(text, "GENERAL\n       k;\nBINARY\n       b;\n\nEnd\n"));

  ASSERT_EQ(TVwriteMPXFile(e.mps, e.path.c_str(), 2 | 4), 0);  // '*' separators, no label
  text = read_file(e.path);
  EXPECT_TRUE(has(text, "min\n    2.000000*k   -1.500000*x_y+0.000000\n")) << text;
}

TEST(TextExports, FailureCodes) {
  EnvHandle env;
  ModelHandle empty(env);
  const std::string path = temp_path("never.txt");
  EXPECT_EQ(TVwriteMERLOFile(nullptr, path.c_str()), 2010);
  EXPECT_EQ(TVwriteMPXFile(empty, nullptr, 1), 2010);
  EXPECT_EQ(TVwriteMERLOFile(empty, path.c_str()), 2009);
  EXPECT_EQ(TVwriteMPXFile(empty, path.c_str(), 1), 2009);
  Exported e;
  EXPECT_EQ(TVwriteMERLOFile(e.mps, "/nonexistent/dir/m.txt"), 2002);
  EXPECT_EQ(TVwriteMPXFile(e.mps, "/nonexistent/dir/m.txt", 1), 2002);
}

}  // namespace
