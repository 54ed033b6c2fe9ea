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
  EXPECT_TRUE(has(text, "BEGIN MODEL\n[OBJ] MINIMIZE\n   +2 * k\n   -1.5 * x_y\n")) << text;
  EXPECT_TRUE(has(text, "   +0.5 * x_y * x_y\n;\n"));
  EXPECT_TRUE(has(text, "[cap_1]\n   +1 * k\n   < 10;\n"));  // names cleaned
  EXPECT_TRUE(has(text, "[need]\n   +1 * b\n   > 1;\n"));
  EXPECT_TRUE(has(text, "[bal]\n   +1 * x_y\n   = 0;\n"));
  EXPECT_FALSE(has(text, "spare"));  // a free row constrains nothing
  EXPECT_TRUE(has(text, "BOUND 0 <= k <= 7;\n"));
  EXPECT_TRUE(has(text, "FREE x_y;\n"));
  EXPECT_TRUE(has(text, "INTEGER k;\nBINARY b;\nEND MODEL\n"));
  EXPECT_NE(e.mps.log.find("\nMERLO file written successfully: " + e.path), std::string::npos);
}

TEST(TextExports, MpxText) {
  Exported e;
  ASSERT_EQ(TVwriteMPXFile(e.mps, e.path.c_str(), 0), 0);  // 0 counts as 1: blank separators
  std::string text = read_file(e.path);
  EXPECT_TRUE(has(text, "min\nprofit:    2 k   -1.5 x_y   +0\n   +0.5 x_y x_y;\ns.t.\n"))
      << text;
  EXPECT_TRUE(has(text, "cap_1:    1 k   <= 10;\n"));
  EXPECT_TRUE(has(text, "need:    1 b   >= 1;\n"));
  EXPECT_TRUE(has(text, "bal:    1 x_y    = 0;\n"));
  EXPECT_TRUE(has(text, "BOUNDS\n0 <=        k <= 7;\n0 <=        b <= 1;\n"
                        "-Inf <=      x_y <= Inf;\n"));
  EXPECT_TRUE(has(text, "GENERAL\n       k;\nBINARY\n       b;\n\nEnd\n"));

  ASSERT_EQ(TVwriteMPXFile(e.mps, e.path.c_str(), 2 | 4), 0);  // '*' separators, no label
  text = read_file(e.path);
  EXPECT_TRUE(has(text, "min\n    2*k   -1.5*x_y   +0\n")) << text;
}

// Tiny and long numbers keep every digit: six decimals would turn 1e-9 into 0
// and 1/3 into 0.333333, changing the model a reader gets back.
TEST(TextExports, NumbersKeepEverySignificantDigit) {
  EnvHandle env;
  ModelHandle m(env);
  const double c[3] = {1e-9, 1.0 / 3, -2e-8}, b[1] = {1e-7}, values[3] = {-2e-8, 123456789.125, 1e-7};
  const int starts[4] = {0, 1, 2, 3}, rows[3] = {0, 0, 0};
  const double lower[3] = {1e-7, 0, -5}, upper[3] = {1e30, 0.1, 1e30};
  ASSERT_EQ(TVloadLPData(m, 1, 3, TV_MIN, 0.25, c, b, "G", 3, starts, nullptr, values, rows, lower, upper), 0);
  const std::string path = temp_path("digits.txt");

  ASSERT_EQ(TVwriteMPXFile(m, path.c_str(), 1), 0);
  std::string text = read_file(path);
  EXPECT_TRUE(has(text, "obj:    1e-09 C0000000   +0.3333333333333333 C0000001   -2e-08 C0000002   +0.25\n"))
      << text;
  EXPECT_TRUE(has(text, "R0000000:    -2e-08 C0000000   +123456789.125 C0000001   +1e-07 C0000002   >= 1e-07;\n"));
  EXPECT_TRUE(has(text, "1e-07 <= C0000000 <= 1e+20;\n0 <= C0000001 <= 0.1;\n-5 <= C0000002 <= 1e+20;\n"));
  EXPECT_FALSE(has(text, "0.000000"));

  ASSERT_EQ(TVwriteMERLOFile(m, path.c_str()), 0);
  text = read_file(path);
  EXPECT_TRUE(has(text, "   +1e-09 * C0000000\n   +0.3333333333333333 * C0000001\n   -2e-08 * C0000002\n   +0.25\n;\n"))
      << text;
  EXPECT_TRUE(has(text, "   -2e-08 * C0000000\n   +123456789.125 * C0000001\n   +1e-07 * C0000002\n   > 1e-07;\n"));
  std::remove(path.c_str());
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
