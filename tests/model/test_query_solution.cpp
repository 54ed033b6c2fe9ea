// Solution access: values, statuses, basis and the best integer solution,
// under the shared availability rule.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "test_support.hpp"

#if __has_include("model/model.hpp")
#include "model/model.hpp"
#define TARVO_WHITE_BOX 1
#endif

using namespace tvtest;

namespace {

using Vec = std::vector<double>;

void expect_consistent(pTVmodel model) {
  char why[256];
  EXPECT_EQ(TVcheckModelConsistency(model, why), 0) << why;
}

// min x0 + 2 x1 + 1 s.t. x0 + x1 >= 1, x0 - x1 <= 3.
void load_lp(pTVmodel model) {
  const double c[] = {1, 2}, b[] = {1, 3}, vals[] = {1, 1, 1, -1};
  const int starts[] = {0, 2, 4}, rows[] = {0, 1, 0, 1};
  ASSERT_EQ(TVloadLPData(model, 2, 2, TV_MIN, 1, c, b, "GL", 4, starts, nullptr, vals, rows, nullptr, nullptr), 0);
}

const double kX[] = {1, 0}, kY[] = {1, 0}, kSlack[] = {0, 2}, kD[] = {0, 1};

TEST(QuerySolution, NothingIsAvailableBeforeASolution) {
  EnvHandle env;
  ModelHandle model(env);
  double v[2];
  int s[2];
  EXPECT_EQ(TVgetPrimalSolution(model, v), 2009) << "unloaded";
  load_lp(model);
  for (auto query : {TVgetPrimalSolution, TVgetDualSolution, TVgetSlacks, TVgetReducedCosts, TVgetReducedCostsCone,
                     TVgetObjective, TVgetMIPPrimalSolution, TVgetMIPSlacks})
    EXPECT_EQ(query(model, v), 2009);
  EXPECT_EQ(TVgetBasis(model, s, s), 2009);
  EXPECT_EQ(TVgetSolution(model, 11, v), 2009);
  EXPECT_EQ(TVgetSolutionStatus(model, s), 2009);
  EXPECT_EQ(TVgetMIPSolutionStatus(model, s), 2009);
  EXPECT_EQ(TVgetPrimalSolution(nullptr, v), 2010);
  EXPECT_EQ(TVgetPrimalSolution(model, nullptr), 2010);
  EXPECT_EQ(TVgetObjective(model, nullptr), 2010);
  expect_consistent(model);
}

TEST(QuerySolution, LoadedSolutionIsReadBackWhole) {
  EnvHandle env;
  ModelHandle model(env);
  load_lp(model);
  ASSERT_EQ(TVloadSolution(model, TV_STATUS_OPTIMAL, kX, kY, kSlack, kD), 0);
  auto read = [&](int (*query)(pTVmodel, double *)) {
    double v[2] = {-9, -9};
    EXPECT_EQ(query(model, v), 0);
    return Vec(v, v + 2);
  };
  EXPECT_EQ(read(TVgetPrimalSolution), Vec(kX, kX + 2));
  EXPECT_EQ(read(TVgetDualSolution), Vec(kY, kY + 2));
  EXPECT_EQ(read(TVgetSlacks), Vec(kSlack, kSlack + 2));
  EXPECT_EQ(read(TVgetReducedCosts), Vec(kD, kD + 2));
  EXPECT_EQ(read(TVgetReducedCostsCone), Vec({0, 0})) << "no cones: zeros";
  EXPECT_DOUBLE_EQ(read(TVgetObjective)[0], 2.0);
  int status = 0;
  ASSERT_EQ(TVgetSolutionStatus(model, &status), 0);
  EXPECT_EQ(status, TV_STATUS_OPTIMAL);

  // A primal-only solution lacks duals; a refused query writes nothing.
  ASSERT_EQ(TVloadPrimalSolution(model, TV_STATUS_FEASIBLE, kX), 0);
  double v[2] = {-9, -9};
  EXPECT_EQ(TVgetDualSolution(model, v), 2009);
  EXPECT_EQ(TVgetReducedCosts(model, v), 2009);
  EXPECT_EQ(Vec(v, v + 2), Vec({-9, -9}));
  EXPECT_EQ(read(TVgetSlacks), Vec({0, 2}));
  // "Infeasible or unbounded" hides the values but not the status.
  ASSERT_EQ(TVloadPrimalSolution(model, TV_STATUS_INFORUNB, kX), 0);
  EXPECT_EQ(TVgetPrimalSolution(model, v), 2009);
  EXPECT_EQ(TVgetObjective(model, v), 2009);
  ASSERT_EQ(TVgetSolutionStatus(model, &status), 0);
  EXPECT_EQ(status, TV_STATUS_INFORUNB);
  expect_consistent(model);
}

TEST(QuerySolution, BasisAndSolutionKinds) {
  EnvHandle env;
  ModelHandle model(env);
  load_lp(model);
  ASSERT_EQ(TVloadSolution(model, TV_STATUS_BASIC_OPTIMAL, kX, kY, kSlack, kD), 0);
  double v[2] = {-9, -9};
  EXPECT_EQ(TVgetSolution(model, 11, v), 2009) << "no basis yet";
  const int col[] = {0, TV_BASTYPE_ATLO}, row[] = {TV_BASTYPE_ATLO, 1};
  ASSERT_EQ(TVloadBasis(model, col, row), 0);
  int cs[2] = {9, 9}, rs[2] = {9, 9};
  ASSERT_EQ(TVgetBasis(model, cs, nullptr), 0);
  ASSERT_EQ(TVgetBasis(model, nullptr, rs), 0);
  EXPECT_EQ(std::vector<int>(cs, cs + 2), std::vector<int>(col, col + 2));
  EXPECT_EQ(std::vector<int>(rs, rs + 2), std::vector<int>(row, row + 2));
  const Vec want[4] = {Vec(kX, kX + 2), Vec(kY, kY + 2), Vec(kSlack, kSlack + 2), Vec(kD, kD + 2)};
  for (int kind = 11; kind <= 14; ++kind) {
    ASSERT_EQ(TVgetSolution(model, kind, v), 0) << kind;
    EXPECT_EQ(Vec(v, v + 2), want[kind - 11]) << kind;
  }
  EXPECT_EQ(TVgetSolution(model, 15, v), 2009) << "no interior-point set recorded";
  EXPECT_EQ(TVgetSolution(model, 10, v), 2012);
  EXPECT_EQ(TVgetSolution(model, 19, v), 2012);
  ASSERT_EQ(TVloadBasis(model, nullptr, nullptr), 0);
  EXPECT_EQ(TVgetBasis(model, cs, rs), 2009) << "the basis was forgotten";

  // A quadratic model answers the interior kinds from the basic set.
  const int qr[] = {-1}, q1[] = {0}, q2[] = {0};
  const double qc[] = {2};
  ASSERT_EQ(TVloadQCData(model, 1, qr, q1, q2, qc), 0);
  ASSERT_EQ(TVloadSolution(model, TV_STATUS_OPTIMAL, kX, kY, kSlack, kD), 0);
  ASSERT_EQ(TVgetSolution(model, 16, v), 0);
  EXPECT_EQ(Vec(v, v + 2), Vec(kY, kY + 2));
  expect_consistent(model);
}

#ifdef TARVO_WHITE_BOX
TEST(QuerySolution, CutRowsCallbacksAndTheAlternativeSwitch) {
  EnvHandle env;
  ModelHandle model(env);
  load_lp(model);
  pTVmodel m = model;
  m->cut_row_switch = true;
  m->cut_rows = 3;
  const double y[] = {1, 0, 5, 6, 7};
  const int col[] = {0, -1}, row[] = {-1, 1, 2, 3, 4};
  ASSERT_EQ(TVloadSolution(model, TV_STATUS_OPTIMAL, kX, y, nullptr, nullptr), 0);
  ASSERT_EQ(TVloadBasis(model, col, row), 0);
  Vec duals(6, -9);
  ASSERT_EQ(TVgetDualSolution(model, duals.data()), 0);
  EXPECT_EQ(duals, Vec({1, 0, 5, 6, 7, -9})) << "m + 3 values, no more";
  std::vector<int> rs(6, 9);
  ASSERT_EQ(TVgetBasis(model, nullptr, rs.data()), 0);
  EXPECT_EQ(rs[4], 4);
  EXPECT_EQ(rs[5], 9);
  expect_consistent(model);

  double v[2];
  m->phase_marker = -2;
  EXPECT_EQ(TVgetPrimalSolution(model, v), 2009);
  EXPECT_EQ(TVgetBasis(model, nullptr, nullptr), 2009);
  m->phase_marker = 0;
  m->solution->ipm_x = {0.5, 0.25};
  ASSERT_EQ(TVgetSolution(model, 15, v), 0);
  EXPECT_EQ(Vec(v, v + 2), Vec({0.5, 0.25})) << "the interior-point set";
  m->alt_solution_switch = true;
  EXPECT_EQ(TVgetSolution(model, 11, v), 2009);
  ASSERT_EQ(TVgetSolution(model, 15, v), 0);
  EXPECT_EQ(Vec(v, v + 2), Vec(kX, kX + 2)) << "the switch reads the basic set";
}

TEST(QuerySolution, BestIntegerSolutionFollowsTheReportedStatus) {
  EnvHandle env;
  ModelHandle model(env);
  load_lp(model);
  model.model->mip = std::make_unique<tarvo::base::MipRecord>();
  tarvo::base::MipRecord &r = *model.model->mip;
  r.x = {1, 0};
  r.obj = 2;
  r.status = TV_STATUS_UNKNOWN;
  double obj = 0, x[2] = {-9, -9};
  int st = 0;
  EXPECT_EQ(TVgetMIPSolution(model, &obj, x), 2009) << "status 12 holds no solution";
  r.num_solutions = 2;  // a running search with two incumbents reports feasible
  ASSERT_EQ(TVgetMIPSolutionStatus(model, &st), 0);
  EXPECT_EQ(st, TV_STATUS_FEASIBLE);
  ASSERT_EQ(TVgetMIPSolution(model, &obj, x), 0);
  EXPECT_EQ(obj, 2);
  EXPECT_EQ(Vec(x, x + 2), Vec({1, 0}));
  EXPECT_EQ(TVgetMIPDualSolution(model, x), 2009) << "arrays the search did not fill";
  EXPECT_EQ(TVgetMIPSlacks(model, x), 2009);
  int cs[2];
  EXPECT_EQ(TVgetMIPBasis(model, cs, nullptr), 2009);
  r.slack = {0, 2};
  r.colbasis = {0, -1};
  ASSERT_EQ(TVgetMIPSlacks(model, x), 0);
  ASSERT_EQ(TVgetMIPBasis(model, cs, nullptr), 0);
  EXPECT_EQ(cs[1], -1);
  expect_consistent(model);
  r.finished = true;
  r.status = TV_STATUS_INFEASIBLE;  // a finished search reports its final status
  ASSERT_EQ(TVgetMIPSolutionStatus(model, &st), 0);
  EXPECT_EQ(st, TV_STATUS_INFEASIBLE);
  EXPECT_EQ(TVgetMIPPrimalSolution(model, x), 2009);
  r.status = TV_STATUS_LOCAL_OPTIMAL;
  EXPECT_EQ(TVgetMIPPrimalSolution(model, x), 0);
}
#else
TEST(QuerySolution, WhiteBoxChecksNeedTheSourceTree) { GTEST_SKIP() << "src/ is not on the include path"; }
#endif

}  // namespace
