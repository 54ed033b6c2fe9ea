// Driver modes of the integer solver: the aggregated solve of bit 256 of
// TV_IPARAM_SOLVER_MODE, the per-pass files of the lexicographic pool, the
// per-thread parameter files of concurrent runs and the node presolve level.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "mip_check.hpp"
#include "mip_fixture.hpp"

namespace {

constexpr int kAggregate = 256;

// Runs the test body in a fresh directory (the files under test are written
// to the working directory) and goes back afterwards.
class InTempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(::getcwd(home_, sizeof home_), nullptr);
    std::string pattern = tvtest::temp_path("modesXXXXXX");
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    ASSERT_NE(::mkdtemp(buf.data()), nullptr);
    dir_ = buf.data();
    ASSERT_EQ(::chdir(dir_.c_str()), 0);
  }
  void TearDown() override {
    ASSERT_EQ(::chdir(home_), 0);
    std::system(("rm -rf '" + dir_ + "'").c_str());
  }
  static bool exists(const std::string &name) {
    struct stat st;
    return ::stat(name.c_str(), &st) == 0 && st.st_size > 0;
  }
  char home_[PATH_MAX] = {};
  std::string dir_;
};

// A knapsack whose continuous columns are tied to the binaries by equations:
// y = 3 x0 + 2 x1 (y only in its equation and the objective) and z = x2 with
// z + x3 <= 1.5. Aggregation substitutes both out.
lpfix::Lp tied_model() {
  lpfix::Lp lp;
  lp.sense = TV_MAX;
  lp.c = {5, 4, 3, 2, -0.5, 0.25};
  lp.rows = {{2, 3, 4, 1, 0, 0}, {-3, -2, 0, 0, 1, 0}, {0, 0, -1, 0, 0, 1}, {0, 0, 0, 1, 0, 1}};
  lp.b = {5, 0, 0, 1.5};
  lp.types = "LEEL";
  lp.lower = {0, 0, 0, 0, -1e30, -1e30};
  lp.upper = {1, 1, 1, 1, 1e30, 1e30};
  return lp;
}

// 24 binaries, two covering rows: needs a tree.
lpfix::Lp covering_model() {
  lpfix::Lp lp;
  lp.sense = TV_MIN;
  const int n = 24;
  lp.rows.assign(2, std::vector<double>(n));
  for (int j = 0; j < n; ++j) {
    lp.c.push_back(1 + (j * 7) % 5);
    lp.lower.push_back(0);
    lp.upper.push_back(1);
    lp.rows[0][j] = 8 + (j * 13) % 37;
    lp.rows[1][j] = 5 + (j * 29) % 39;
  }
  for (int i = 0; i < 2; ++i) {
    double s = 0;
    for (double a : lp.rows[i]) s += a;
    lp.b.push_back(std::floor(s / 2));
    lp.types += 'G';
  }
  return lp;
}

TEST(MipAggregation, AggregatedSolveMapsBackTheSameOptimum) {
  tvtest::EnvHandle env;
  tvtest::ModelHandle plain(env), agg(env);
  const std::string types = "BBBBCC";
  mipfix::load_mip(plain, tied_model(), types);
  mipfix::load_mip(agg, tied_model(), types);
  const mipfix::Solved ref = mipfix::solve(plain);
  ASSERT_EQ(ref.status, TV_STATUS_OPTIMAL);
  TVsetModelIntParameter(agg, TV_IPARAM_SOLVER_MODE, kAggregate);
  std::string log;
  TVsetModelLogfunc(agg, tvtest::collect_model_log, &log);
  const mipfix::Solved s = mipfix::solve(agg);
  ASSERT_EQ(s.code, 0);
  EXPECT_EQ(s.status, TV_STATUS_OPTIMAL);
  EXPECT_NE(log.find("\nModel aggregation completed, status=14 (err:0)"), std::string::npos) << log;
  EXPECT_NE(log.find("\nCopied original parameters to aggregated model."), std::string::npos);
  EXPECT_NEAR(s.obj, ref.obj, 1e-7);
  // the substituted columns come back with the values their equations give
  EXPECT_NEAR(mipcheck::verify_incumbent(agg), ref.obj, 1e-7);
  double x[6];
  ASSERT_EQ(TVgetMIPPrimalSolution(agg, x), 0);
  EXPECT_NEAR(x[4], 3 * x[0] + 2 * x[1], 1e-7);
  EXPECT_NEAR(x[5], x[2], 1e-7);
  // the user's model and parameters are untouched
  int mode = 0, m = 0, n = 0;
  TVgetModelIntParameter(agg, TV_IPARAM_SOLVER_MODE, &mode);
  TVgetInfo(agg, TV_IINFO_NUM_CONS, &m);
  TVgetInfo(agg, TV_IINFO_NUM_VARS, &n);
  EXPECT_EQ(mode, kAggregate);
  EXPECT_EQ(m, 4);
  EXPECT_EQ(n, 6);
  double slack[4];
  EXPECT_EQ(TVgetMIPSlacks(agg, slack), 0);
}

TEST(MipAggregation, NothingToAggregateWarnsAndSolvesTheModelItself) {
  tvtest::EnvHandle env;
  tvtest::ModelHandle model(env);
  mipfix::load_mip(model, covering_model(), std::string(24, 'B'));
  TVsetModelIntParameter(model, TV_IPARAM_SOLVER_MODE, kAggregate);
  std::string log;
  TVsetModelLogfunc(model, tvtest::collect_model_log, &log);
  const mipfix::Solved s = mipfix::solve(model);
  ASSERT_EQ(s.code, 0);
  EXPECT_EQ(s.status, TV_STATUS_OPTIMAL);
  EXPECT_NE(log.find("\nWARNING: model aggregation failed, status="), std::string::npos);
  mipcheck::verify_incumbent(model);
}

TEST_F(InTempDir, LexicographicPassesAreExportedOnRequest) {
  tvtest::EnvHandle env;
  tvtest::ModelHandle model(env);
  mipfix::load_item_pool(model);
  TVsetModelIntParameter(model, TV_IPARAM_SOLVER_MODE, TV_SOLVER_MODE_LEX_EXPEACH);
  int status = -1;
  ASSERT_EQ(TVsolveMIP(model, &status), 0);
  ASSERT_EQ(status, TV_STATUS_OPTIMAL);
  for (const char *stem : {"lexmodel-obj0", "lexmodel-obj1"})
    for (const char *ext : {".ltx", ".par", ".sol"}) EXPECT_TRUE(exists(std::string(stem) + ext)) << stem << ext;
  EXPECT_FALSE(exists("lexmodelerr-obj0.ltx"));
  // the second pass's model holds the window of the first objective: reading
  // it back and solving gives the final weight with two items
  tvtest::ModelHandle back(env);
  ASSERT_EQ(TVreadTARVOFile(back, "lexmodel-obj0.ltx"), 0);
  int rows = 0;
  TVgetInfo(back, TV_IINFO_NUM_CONS, &rows);
  EXPECT_EQ(rows, 2);
  const mipfix::Solved s = mipfix::solve(back);
  EXPECT_EQ(s.status, TV_STATUS_OPTIMAL);
  EXPECT_NEAR(s.obj, 3, 1e-9);
}

TEST_F(InTempDir, LexicographicPassesWriteNothingByDefault) {
  tvtest::EnvHandle env;
  tvtest::ModelHandle model(env);
  lpfix::Lp lp;
  lp.c = {1, 2};
  lp.b = {1};
  lp.types = "G";
  lp.rows = {{1, 1}};
  lp.lower.assign(2, 0);
  lp.upper.assign(2, 1);
  mipfix::load_mip(model, lp, "BB");
  const double a[] = {1, 2}, b[] = {2, 1};
  ASSERT_EQ(TVaddObjPool(model, a, TV_MIN, 1, -1), 0);
  ASSERT_EQ(TVaddObjPool(model, b, TV_MIN, 2, -1), 0);
  int status = -1;
  ASSERT_EQ(TVsolveMIP(model, &status), 0);
  EXPECT_FALSE(exists("lexmodel-obj0.ltx"));
  EXPECT_FALSE(exists("lexmodel-obj1.sol"));
}

TEST_F(InTempDir, ConcurrentThreadsReadTheirOwnParameterFiles) {
  tvtest::EnvHandle env;
  tvtest::ModelHandle serial(env), conc(env);
  mipfix::load_mip(serial, covering_model(), std::string(24, 'B'));
  const mipfix::Solved ref = mipfix::solve(serial);
  ASSERT_EQ(ref.status, TV_STATUS_OPTIMAL);
  // every thread is told that nothing at or above (optimum - 0.5) is wanted
  char text[200];
  std::snprintf(text, sizeof text, "TV_IPARAM_MIP_USECUTOFFOBJ = 1\nTV_DPARAM_MIP_CUTOFFOBJ = %.17g\n", ref.obj - 0.5);
  tvtest::write_file("tarvo0.par", text);
  tvtest::write_file("tarvo1.par", text);
  mipfix::load_mip(conc, covering_model(), std::string(24, 'B'));
  TVsetModelIntParameter(conc, TV_IPARAM_MIP_NUM_THREADS, 2);
  TVsetModelIntParameter(conc, TV_IPARAM_MULTITHREAD_MODE, 4);
  int status = -1;
  ASSERT_EQ(TVsolveMIP(conc, &status), 0);
  EXPECT_EQ(status, TV_STATUS_INFEASIBLE);
  // the user's own parameters are not the threads'
  double cutoff = 0;
  TVgetModelDouParameter(conc, TV_DPARAM_MIP_CUTOFFOBJ, &cutoff);
  EXPECT_GT(cutoff, 1e29);
  // without the files the same run finds the optimum
  std::remove("tarvo0.par");
  std::remove("tarvo1.par");
  ASSERT_EQ(TVsolveMIP(conc, &status), 0);
  EXPECT_EQ(status, TV_STATUS_OPTIMAL);
  double obj = 0;
  TVgetInfo(conc, TV_DINFO_MIP_OBJ, &obj);
  EXPECT_NEAR(obj, ref.obj, 1e-9);
}

TEST(MipNodePresolve, TreeLevelsAgreeOnTheOptimum) {
  tvtest::EnvHandle env;
  double ref = NAN;
  for (int level : {0, 2, 32, 686, 686 | 512}) {
    tvtest::ModelHandle model(env);
    mipfix::load_mip(model, covering_model(), std::string(24, 'B'));
    TVsetModelIntParameter(model, TV_IPARAM_MIP_PRELEVEL_TREE, level);
    // a tree to search: no cuts, no heuristics
    TVsetModelIntParameter(model, TV_IPARAM_MIP_CUTLEVEL_TOP, 0);
    TVsetModelIntParameter(model, TV_IPARAM_MIP_HEULEVEL, 0);
    const mipfix::Solved s = mipfix::solve(model);
    ASSERT_EQ(s.code, 0) << "level " << level;
    EXPECT_EQ(s.status, TV_STATUS_OPTIMAL) << "level " << level;
    mipcheck::verify_incumbent(model);
    int branches = 0;
    TVgetInfo(model, TV_IINFO_MIP_BRANCHCOUNT, &branches);
    EXPECT_GT(branches, 0) << "level " << level;
    if (std::isnan(ref)) ref = s.obj;
    EXPECT_NEAR(s.obj, ref, 1e-9) << "level " << level;
  }
}

}  // namespace
