// Presolve through the public interface: netlib models solved with the
// default presolve level give postsolved solutions that pass independent
// residual checks on the user's model and bases that re-solve at once; the
// duplicate-column report and the reduced-model file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "presolve_check.hpp"
#include "test_support.hpp"

namespace {

constexpr double kInf = 1e30;

// The model's LP read back through the queries, as the engine's problem.
prestest::LinearProblem read_back(pTVmodel model) {
  prestest::LinearProblem p;
  int m = 0, n = 0, nz = 0, sense = 1;
  TVgetInfo(model, TV_IINFO_NUM_CONS, &m);
  TVgetInfo(model, TV_IINFO_NUM_VARS, &n);
  TVgetInfo(model, TV_IINFO_NUM_NONZ, &nz);
  std::vector<double> b(m), c(n);
  std::vector<char> types(m + 1);
  std::vector<int> start(n + 1), len(n);
  p.m = m, p.n = n;
  p.lower.resize(n), p.upper.resize(n), p.index.resize(nz + 1), p.value.resize(nz + 1);
  double constant = 0;
  EXPECT_EQ(TVgetLPData(model, &sense, &constant, c.data(), b.data(), types.data(), start.data(), len.data(),
                        p.value.data(), p.index.data(), p.lower.data(), p.upper.data()),
            0);
  p.cost = c;
  if (sense == TV_MAX)
    for (double &v : p.cost) v = -v;
  p.start.assign(1, 0);
  std::vector<int> index;
  std::vector<double> value;
  for (int j = 0; j < n; ++j) {
    for (int k = start[j]; k < start[j] + len[j]; ++k) index.push_back(p.index[k]), value.push_back(p.value[k]);
    p.start.push_back(static_cast<int>(index.size()));
  }
  p.index = index, p.value = value;
  p.row_lower.resize(m), p.row_upper.resize(m);
  for (int i = 0; i < m; ++i) {
    p.row_lower[i] = types[i] == 'L' || types[i] == 'N' ? -kInf : b[i];
    p.row_upper[i] = types[i] == 'G' || types[i] == 'N' ? kInf : b[i];
  }
  return p;
}

bool has_ranges(const std::string &path) {
  std::string text;
  FILE *f = popen(("zcat " + path + " | grep -c '^RANGES'").c_str(), "r");
  char buf[32] = {0};
  if (f) {
    if (fgets(buf, sizeof buf, f)) text = buf;
    pclose(f);
  }
  return std::atoi(text.c_str()) > 0;
}

TEST(PresolveNetlib, PostsolvedSolutionsPassResidualChecksAndTheirBasesReSolveAtOnce) {
  const std::string dir = std::string(TARVO_DATA_DIR) + "/netlib/";
  std::ifstream in(dir + "optimal.csv");
  if (!in) GTEST_SKIP() << "netlib data not found under " << TARVO_DATA_DIR;
  // the smaller models: the whole sweep runs in the netlib suite already
  const char *models[] = {"afiro", "adlittle", "agg", "agg2", "bandm", "beaconfd", "blend", "boeing2", "bore3d",
                          "brandy", "capri", "e226", "finnis", "gfrd-pnc", "israel", "kb2", "lotfi", "recipe",
                          "sc105", "sc50a", "scagr7", "scfxm1", "scorpion", "scsd1", "sctap1", "share1b",
                          "share2b", "shell", "ship04s", "stocfor1", "vtpbase", "tuff", "standata", "grow7"};
  for (const char *name : models) {
    const std::string path = dir + name + ".mps.gz";
    if (has_ranges(path)) continue;  // read_back keeps one-sided rows only
    tvtest::EnvHandle env;
    tvtest::ModelHandle model(env);
    ASSERT_EQ(TVreadMPSFile(model, path.c_str(), 1), 0) << name;
    std::string log;
    TVsetModelIntParameter(model, TV_IPARAM_LP_PRINTLEVEL, 1);
    TVsetModelLogfunc(model, tvtest::collect_model_log, &log);
    int status = -1;
    ASSERT_EQ(TVoptimize(model, 0, &status), 0) << name;
    ASSERT_EQ(status, TV_STATUS_BASIC_OPTIMAL) << name;
    EXPECT_EQ(log.find("Performing postsolve reoptimization"), std::string::npos) << name;
    const prestest::LinearProblem p = read_back(model);
    prestest::Solution s;
    s.x.resize(p.n), s.y.resize(p.m);
    std::vector<int> cols(p.n), rows(p.m);
    ASSERT_EQ(TVgetPrimalSolution(model, s.x.data()), 0);
    ASSERT_EQ(TVgetDualSolution(model, s.y.data()), 0);
    ASSERT_EQ(TVgetBasis(model, cols.data(), rows.data()), 0);
    int sense = 1;
    TVgetModelIntParameter(model, TV_IPARAM_OBJSENSE, &sense);
    if (sense == TV_MAX)
      for (double &v : s.y) v = -v;
    for (int j = 0; j < p.n; ++j)
      s.col_status.push_back(cols[j] >= 0 ? 0 : cols[j] == TV_BASTYPE_ATUP ? 2 : cols[j] == TV_BASTYPE_FNUL ? 3 : 1);
    for (int i = 0; i < p.m; ++i) s.row_status.push_back(rows[i] >= 0 ? 0 : p.row_lower[i] > -kInf ? 1 : 2);
    const prestest::Residuals r = prestest::residuals(p, s);
    const double scale = 1 + std::fabs(r.objective);
    EXPECT_LE(r.primal, 1e-6 * scale) << name;
    EXPECT_LE(r.dual, 1e-6 * scale) << name;
    EXPECT_EQ(r.basic, p.m) << name;
    // the kept basis: the next solve re-optimises without a pivot
    log.clear();
    ASSERT_EQ(TVoptimize(model, 0, &status), 0) << name;
    int iterations = -1;
    TVgetInfo(model, TV_IINFO_SIM_ITER, &iterations);
    EXPECT_LE(iterations, 2) << name;
    EXPECT_NE(log.find("Reoptimizing model"), std::string::npos) << name;
    // and a fresh model started from that basis with presolve off needs none either
    tvtest::ModelHandle fresh(env);
    ASSERT_EQ(TVreadMPSFile(fresh, path.c_str(), 1), 0);
    TVsetModelIntParameter(fresh, TV_IPARAM_LP_PRELEVEL, 0);
    ASSERT_EQ(TVloadBasis(fresh, cols.data(), rows.data()), 0) << name;
    ASSERT_EQ(TVoptimize(fresh, 0, &status), 0);
    TVgetInfo(fresh, TV_IINFO_SIM_ITER, &iterations);
    EXPECT_LE(iterations, 2) << name;
  }
}

TEST(PresolveLevels, InfeasibleByPresolveIsProvenAndLevelZeroLeavesTheModelAlone) {
  tvtest::EnvHandle env;
  tvtest::ModelHandle model(env);
  // x + y <= 1 with x, y in [1, 2]: the row's lowest activity is 2
  double c[] = {1, 1}, b[] = {1}, lo[] = {1, 1}, up[] = {2, 2}, val[] = {1, 1, 0};
  int start[] = {0, 1, 2}, idx[] = {0, 0, 0};
  char types[] = "L";
  ASSERT_EQ(TVloadLPData(model, 1, 2, TV_MIN, 0, c, b, types, 2, start, nullptr, val, idx, lo, up), 0);
  std::string log;
  TVsetModelIntParameter(model, TV_IPARAM_LP_PRINTLEVEL, 1);
  TVsetModelLogfunc(model, tvtest::collect_model_log, &log);
  int status = -1;
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  EXPECT_EQ(status, TV_STATUS_INFEASIBLE);
  EXPECT_NE(log.find("Problem found infeasible in LP presolving."), std::string::npos);
  // presolve's verdict has no certificate: the simplex proves it on the original
  EXPECT_NE(log.find("Optimizing model (rows:1, cols:2"), std::string::npos);
  // the level is restored after the call, and 0 solves the model itself
  int level = -1;
  TVgetModelIntParameter(model, TV_IPARAM_LP_PRELEVEL, &level);
  EXPECT_EQ(level, 254);
  log.clear();
  TVsetModelIntParameter(model, TV_IPARAM_LP_PRELEVEL, 0);
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  EXPECT_EQ(status, TV_STATUS_INFEASIBLE);
  EXPECT_EQ(log.find("presolving"), std::string::npos);
  EXPECT_NE(log.find("ptimizing model (rows:1, cols:2"), std::string::npos);
}

TEST(DuplicateColumns, GroupsParallelColumnsWithAndWithoutCosts) {
  tvtest::EnvHandle env;
  tvtest::ModelHandle model(env);
  // columns 0, 2 and 3 are parallel (factors 1, -2, 0.5); 3's cost breaks the tie with costs
  double c[] = {1, 5, 1, 7}, b[] = {4, 6}, lo[] = {0, 0, 0, 0}, up[] = {9, 9, 9, 9};
  double val[] = {1, 2, 1, 1, -2, -4, 0.5, 1};
  int start[] = {0, 2, 4, 6, 8}, idx[] = {0, 1, 0, 1, 0, 1, 0, 1};
  // column 1 is (1, 1): not parallel to the others
  val[2] = 1, val[3] = 1;
  char types[] = "LL";
  ASSERT_EQ(TVloadLPData(model, 2, 4, TV_MIN, 0, c, b, types, 8, start, nullptr, val, idx, lo, up), 0);
  int sets = -1, begin[5], members[4];
  ASSERT_EQ(TVgetDuplicateColumns(model, 0, &sets, begin, members), 0);
  ASSERT_EQ(sets, 1);
  EXPECT_EQ(begin[0], 0);
  EXPECT_EQ(begin[1], 3);
  EXPECT_EQ(members[0], 0);
  EXPECT_EQ(members[1], 2);
  EXPECT_EQ(members[2], 3);
  ASSERT_EQ(TVgetDuplicateColumns(model, 1, &sets, nullptr, nullptr), 0);
  EXPECT_EQ(sets, 0);  // costs 1, 1, 7 against factors 1, -2, 0.5
  EXPECT_EQ(TVgetDuplicateColumns(nullptr, 0, &sets, begin, members), 2010);
  EXPECT_EQ(TVgetDuplicateColumns(model, 0, nullptr, begin, members), 2010);
  tvtest::ModelHandle empty(env);
  EXPECT_EQ(TVgetDuplicateColumns(empty, 0, &sets, begin, members), 2031);
}

TEST(ReducedModelFile, HoldsThePresolvedModelWithOriginalNamesAndItsOptimum) {
  const std::string path = std::string(TARVO_DATA_DIR) + "/netlib/afiro.mps.gz";
  std::ifstream probe(path);
  if (!probe) GTEST_SKIP() << "netlib data not found";
  tvtest::EnvHandle env;
  tvtest::ModelHandle model(env);
  ASSERT_EQ(TVreadMPSFile(model, path.c_str(), 1), 0);
  std::string log;
  TVsetModelLogfunc(model, tvtest::collect_model_log, &log);
  TVsetModelIntParameter(model, TV_IPARAM_LP_PRINTLEVEL, 1);
  const std::string out = tvtest::temp_path("afiro_reduced.mps");
  ASSERT_EQ(TVwriteReducedMPSFile(model, out.c_str(), 0), 0);
  EXPECT_NE(log.find("\nExporting reduced model as " + out), std::string::npos);
  tvtest::ModelHandle reduced(env);
  ASSERT_EQ(TVreadMPSFile(reduced, out.c_str(), 0), 0);
  int m = 0, n = 0, m0 = 0;
  TVgetInfo(reduced, TV_IINFO_NUM_CONS, &m);
  TVgetInfo(reduced, TV_IINFO_NUM_VARS, &n);
  TVgetInfo(model, TV_IINFO_NUM_CONS, &m0);
  EXPECT_LT(m, m0);
  EXPECT_GT(n, 0);
  // names come from the original model
  const std::string text = tvtest::read_file(out);
  EXPECT_NE(text.find("\n L  X21"), std::string::npos);
  EXPECT_EQ(text.find("R0000"), std::string::npos);
  // the reduced model carries the objective constant: same optimum
  int status = -1;
  ASSERT_EQ(TVoptimize(reduced, 0, &status), 0);
  double obj = 0;
  TVgetInfo(reduced, TV_DINFO_POBJ, &obj);
  EXPECT_NEAR(obj, -464.7531428571, 1e-6);
  std::remove(out.c_str());
  EXPECT_EQ(TVwriteReducedMPSFile(model, nullptr, 0), 2010);
  EXPECT_EQ(TVwriteReducedMPSFile(model, out.c_str(), 7), 2024);
}

}  // namespace

namespace {

TEST(PresolveLevels, LowMemoryBitRunsTheLeanPresolveAndReachesTheSameOptimum) {
  const std::string dir = std::string(TARVO_DATA_DIR) + "/netlib/";
  std::ifstream probe(dir + "afiro.mps.gz");
  if (!probe) GTEST_SKIP() << "netlib data not found";
  tvtest::EnvHandle env;
  int reduced = 0;
  for (const char *name : {"afiro", "sc105", "scagr7", "share2b"}) {
    tvtest::ModelHandle plain(env), lean(env);
    const std::string path = dir + name + ".mps.gz";
    ASSERT_EQ(TVreadMPSFile(plain, path.c_str(), 1), 0) << name;
    ASSERT_EQ(TVreadMPSFile(lean, path.c_str(), 1), 0) << name;
    int status = -1;
    ASSERT_EQ(TVoptimize(plain, 0, &status), 0) << name;
    double ref = 0, obj = 0;
    TVgetInfo(plain, TV_DINFO_POBJ, &ref);
    std::string log;
    TVsetModelLogfunc(lean, tvtest::collect_model_log, &log);
    TVsetModelIntParameter(lean, TV_IPARAM_LP_PRINTLEVEL, 2);
    TVsetModelIntParameter(lean, TV_IPARAM_LP_PRELEVEL, 254 | 8192);
    ASSERT_EQ(TVoptimize(lean, 0, &status), 0) << name;
    EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL) << name;
    TVgetInfo(lean, TV_DINFO_POBJ, &obj);
    EXPECT_NEAR(obj, ref, 1e-7 * (1 + std::fabs(ref))) << name;
    EXPECT_NE(log.find("\nPresolving in low memory mode ...\n"), std::string::npos) << name;
    EXPECT_NE(log.find("\ntpre       ncons      nvars         nnzA      time"), std::string::npos) << name;
    EXPECT_NE(log.find("\nPreprocessing retval:0"), std::string::npos) << name;
    // the ordinary table (with integer counts) is not printed
    EXPECT_EQ(log.find("nint     nbin"), std::string::npos) << name;
    int level = 0;
    TVgetModelIntParameter(lean, TV_IPARAM_LP_PRELEVEL, &level);
    EXPECT_EQ(level, 254 | 8192) << name;
    reduced += log.find("\nPresolve removed") != std::string::npos;
  }
  EXPECT_GT(reduced, 0);  // some model went through the reduced solve and the postsolve
}

}  // namespace
