// Model rewrites around the integer solver through the public header: best
// bounds by propagation, general integers as binaries (and the k-best search
// that relies on them), binary models in -1/+1 columns.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "mip_check.hpp"
#include "mip_fixture.hpp"

namespace {

class MipConversions : public ::testing::Test {
 protected:
  tvtest::EnvHandle env;
  tvtest::ModelHandle model{env};
};

// min x + y + z, x + y <= 3.5, 2x - z >= 1; x, y integer >= 0, z >= 0.
// Every bound below is attained: x in [1, 3], y in [0, 2], z in [0, 5].
lpfix::Lp propagation_model() {
  lpfix::Lp lp;
  lp.sense = TV_MIN;
  lp.c = {1, 1, 1};
  lp.b = {3.5, 1};
  lp.types = "LG";
  lp.rows = {{1, 1, 0}, {2, 0, -1}};
  lp.lower = {0, 0, 0};
  lp.upper = {TV_INFINITY, TV_INFINITY, TV_INFINITY};
  return lp;
}

TEST_F(MipConversions, BestBoundsAreTheTightestImpliedBounds) {
  double lo[3], up[3];
  EXPECT_EQ(TVgetBestBounds(nullptr, lo, up), 2010);
  EXPECT_EQ(TVgetBestBounds(model, lo, up), 2031);  // nothing loaded
  mipfix::load_mip(model, propagation_model(), "IIC");
  EXPECT_EQ(TVgetBestBounds(model, nullptr, nullptr), 2010);
  ASSERT_EQ(TVgetBestBounds(model, lo, up), 0);
  const double want_lo[3] = {1, 0, 0}, want_up[3] = {3, 2, 5};
  for (int j = 0; j < 3; ++j) {
    EXPECT_NEAR(lo[j], want_lo[j], 1e-6) << j;
    EXPECT_NEAR(up[j], want_up[j], 1e-6) << j;
    // never tighter than the truth: the attaining points stay inside
    EXPECT_LE(lo[j], want_lo[j]);
    EXPECT_GE(up[j], want_up[j]);
  }
  double only_up[3] = {0, 0, 0};
  ASSERT_EQ(TVgetBestBounds(model, nullptr, only_up), 0);
  EXPECT_NEAR(only_up[1], 2, 1e-9);
  // rows that no point satisfies
  tvtest::ModelHandle empty(env);
  lpfix::Lp lp = propagation_model();
  lp.b[0] = 3.5;
  lp.rows.push_back({1, 1, 0});
  lp.b.push_back(10);
  lp.types += 'G';
  mipfix::load_mip(empty, lp, "IIC");
  EXPECT_EQ(TVgetBestBounds(empty, lo, up), 2009);
  // a quadratic row limits nothing linearly: x - y^2 <= 3 leaves x unbounded,
  // and the integer solver refuses the model instead of dropping the term
  tvtest::ModelHandle quad(env);
  lpfix::Lp q;
  q.sense = TV_MIN;
  q.c = {1, 0};
  q.b = {3};
  q.types = "L";
  q.rows = {{1, 0}};
  q.lower = {0, 0};
  q.upper = {TV_INFINITY, TV_INFINITY};
  mipfix::load_mip(quad, q, "IC");
  const int row[1] = {0}, col1[1] = {1}, col2[1] = {1};
  const double coef[1] = {-2};
  ASSERT_EQ(TVaddQCterms(quad, 1, row, col1, col2, coef), 0);
  double qlo[2], qup[2];
  ASSERT_EQ(TVgetBestBounds(quad, qlo, qup), 0);
  EXPECT_GE(qup[0], 1e30);
  int status = -1;
  EXPECT_EQ(TVsolveMIP(quad, &status), 2029);
}

// max 5x + 4y + 3z, 6x + 4y + 3z <= 22, x + y >= 2; x in [-2, 3], y in [1, 6], z binary.
lpfix::Lp general_model() {
  lpfix::Lp lp;
  lp.sense = TV_MAX;
  lp.c = {5, 4, 3};
  lp.b = {22, 2};
  lp.types = "LG";
  lp.rows = {{6, 4, 3}, {1, 1, 0}};
  lp.lower = {-2, 1, 0};
  lp.upper = {3, 6, 1};
  return lp;
}

TEST_F(MipConversions, GeneralIntegersBecomeBinariesWithTheSameOptimum) {
  int code = -1;
  EXPECT_EQ(TVconvGin2Bin(nullptr, &code), nullptr);
  EXPECT_EQ(code, 2010);
  {
    tvtest::ModelHandle lp_model(env);
    lpfix::load(lp_model, lpfix::textbook());
    std::string log;
    TVsetModelLogfunc(lp_model, tvtest::collect_model_log, &log);
    EXPECT_EQ(TVconvGin2Bin(lp_model, &code), nullptr);
    EXPECT_EQ(code, 2029);
    EXPECT_NE(log.find("\nWarning: model is a continuous."), std::string::npos);
  }
  const lpfix::Lp lp = general_model();
  mipfix::load_mip(model, lp, "IIB");
  const double ref = mipfix::brute_force(lp, "IIB");
  for (int solved_first = 0; solved_first < 2; ++solved_first) {
    if (solved_first) ASSERT_EQ(mipfix::solve(model).status, TV_STATUS_OPTIMAL);
    pTVmodel bin = TVconvGin2Bin(model, &code);
    ASSERT_NE(bin, nullptr);
    ASSERT_EQ(code, 0);
    int n = 0, m = 0;
    TVgetInfo(bin, TV_IINFO_NUM_VARS, &n);
    TVgetInfo(bin, TV_IINFO_NUM_CONS, &m);
    EXPECT_EQ(n, 1 + 3 + 3);  // z, then 3 bits for each range of 5
    EXPECT_EQ(m, 2 + 2);      // both ranges need a row: 3 bits reach 7
    std::vector<char> types(n + 1, 0);
    TVgetVarType(bin, types.data());
    for (int j = 0; j < n; ++j) EXPECT_EQ(types[j], 'B') << j;
    int status = -1;
    TVgetInfo(bin, TV_IINFO_MIP_STATUS, &status);
    EXPECT_EQ(status, TV_STATUS_OPTIMAL);
    double obj = 0;
    TVgetInfo(bin, TV_DINFO_MIP_OBJ, &obj);
    EXPECT_NEAR(obj, ref, 1e-9);
    mipcheck::verify_incumbent(bin);
    TVdeleteModel(&bin);
  }
}

TEST_F(MipConversions, UnboundedGeneralIntegerIsTruncatedFromTheSolution) {
  lpfix::Lp lp = general_model();
  lp.upper[1] = TV_INFINITY;
  lp.rows[0][1] = 0;  // nothing bounds y but its own bound: the expansion must cut it
  lp.c[1] = -1;
  mipfix::load_mip(model, lp, "IIB");
  std::string log;
  TVsetModelLogfunc(model, tvtest::collect_model_log, &log);
  const mipfix::Solved s = mipfix::solve(model);
  ASSERT_EQ(s.status, TV_STATUS_OPTIMAL);
  int code = -1;
  pTVmodel bin = TVconvGin2Bin(model, &code);
  ASSERT_NE(bin, nullptr);
  EXPECT_EQ(code, 0);
  EXPECT_NE(log.find("\nWarning: u[1]=inf+ is truncated 2.x[1] = "), std::string::npos) << log;
  double obj = 0;
  TVgetInfo(bin, TV_DINFO_MIP_OBJ, &obj);
  EXPECT_NEAR(obj, s.obj, 1e-9);  // the optimum lies inside the truncated range
  TVdeleteModel(&bin);
}

struct Found {
  std::vector<double> objs;
  std::vector<std::vector<double>> points;
};

int keep(pTVmodel, void *data, double obj, double *x) {
  auto *f = static_cast<Found *>(data);
  f->objs.push_back(obj);
  f->points.emplace_back(x, x + 3);
  return 0;
}

TEST_F(MipConversions, KBestEnumeratesGeneralIntegerModelsInTheirOwnColumns) {
  const lpfix::Lp lp = general_model();
  mipfix::load_mip(model, lp, "IIB");
  ASSERT_EQ(mipfix::solve(model).status, TV_STATUS_OPTIMAL);
  Found got;
  ASSERT_EQ(TVgetKBestMIPSols(model, nullptr, keep, &got, 4), 0);
  ASSERT_EQ(got.objs.size(), 4u);
  // all feasible points by enumeration, best first
  std::vector<double> all;
  for (int x = -2; x <= 3; ++x)
    for (int y = 1; y <= 6; ++y)
      for (int z = 0; z <= 1; ++z)
        if (6 * x + 4 * y + 3 * z <= 22 && x + y >= 2) all.push_back(5 * x + 4 * y + 3 * z);
  std::sort(all.rbegin(), all.rend());
  for (size_t k = 0; k < 4; ++k) {
    EXPECT_NEAR(got.objs[k], all[k], 1e-9) << k;
    const std::vector<double> &p = got.points[k];
    EXPECT_NEAR(5 * p[0] + 4 * p[1] + 3 * p[2], got.objs[k], 1e-9) << k;
    EXPECT_LE(6 * p[0] + 4 * p[1] + 3 * p[2], 22 + 1e-9);
    for (size_t q = 0; q < k; ++q) EXPECT_NE(p, got.points[q]);
  }
  int n = 0;
  TVgetInfo(model, TV_IINFO_NUM_VARS, &n);
  EXPECT_EQ(n, 3);  // the host's model keeps its columns
}

TEST_F(MipConversions, BinaryModelInPlusMinusOneColumnsKeepsEveryPoint) {
  int code = -1;
  EXPECT_EQ(TVconvBin2PM1(nullptr, &code), nullptr);
  EXPECT_EQ(code, 2010);
  {
    tvtest::ModelHandle general(env);
    mipfix::load_mip(general, general_model(), "IIB");
    std::string log;
    TVsetModelLogfunc(general, tvtest::collect_model_log, &log);
    EXPECT_EQ(TVconvBin2PM1(general, &code), nullptr);
    EXPECT_EQ(code, 2029);
    EXPECT_NE(log.find("general integer"), std::string::npos);
    tvtest::ModelHandle mixed(env);
    mipfix::load_mip(mixed, general_model(), "CBB");
    EXPECT_EQ(TVconvBin2PM1(mixed, &code), nullptr);
    EXPECT_EQ(code, 2029);
  }
  lpfix::Lp lp;
  lp.sense = TV_MAX;
  lp.c = {10, 13, 7, 8, 4};
  lp.b = {14, 1};
  lp.types = "LG";
  lp.rows = {{4, 6, 3, 5, 2}, {1, 0, 1, 0, -1}};
  lp.lower.assign(5, 0);
  lp.upper.assign(5, 1);
  mipfix::load_mip(model, lp, "BBBBB");
  pTVmodel pm = TVconvBin2PM1(model, &code);
  ASSERT_NE(pm, nullptr);
  ASSERT_EQ(code, 0);
  int n = 0, m = 0, nz = 0;
  TVgetInfo(pm, TV_IINFO_NUM_VARS, &n);
  TVgetInfo(pm, TV_IINFO_NUM_CONS, &m);
  TVgetInfo(pm, TV_IINFO_NUM_NONZ, &nz);
  ASSERT_EQ(n, 5);
  ASSERT_EQ(m, 2);
  std::vector<double> c(n), b(m), lo(n), up(n), val(nz + 1);
  std::vector<int> start(n + 1), len(n), idx(nz + 1);
  std::vector<char> ctype(m + 1), vtype(n + 1);
  int sense = 0;
  double constant = 0;
  ASSERT_EQ(TVgetLPData(pm, &sense, &constant, c.data(), b.data(), ctype.data(), start.data(), len.data(),
                        val.data(), idx.data(), lo.data(), up.data()),
            0);
  TVgetVarType(pm, vtype.data());
  for (int j = 0; j < n; ++j) {
    EXPECT_EQ(vtype[j], 'I');
    EXPECT_EQ(lo[j], -1);
    EXPECT_EQ(up[j], 1);
  }
  // every 0/1 point and its -1/+1 image: same objective, same slack in every row
  for (int mask = 0; mask < 32; ++mask) {
    double obj_x = 0, obj_s = constant;
    std::vector<double> act_x(m, 0.0), act_s(m, 0.0);
    for (int j = 0; j < n; ++j) {
      const double x = mask >> j & 1, s = 2 * x - 1;
      obj_x += lp.c[j] * x;
      obj_s += c[j] * s;
      for (int i = 0; i < m; ++i) act_x[i] += lp.rows[i][j] * x;
      for (int k = start[j]; k < start[j] + len[j]; ++k) act_s[idx[k]] += val[k] * s;
    }
    EXPECT_NEAR(obj_s, obj_x, 1e-12) << mask;
    for (int i = 0; i < m; ++i) EXPECT_NEAR(b[i] - act_s[i], lp.b[i] - act_x[i], 1e-12) << mask << " row " << i;
  }
  TVdeleteModel(&pm);
}

}  // namespace
