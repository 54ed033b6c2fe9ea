// Restarts after the root and early in the tree: with the threshold forced
// down, models whose root (or a new solution early in the tree)
// fixes columns are presolved again and searched anew; they must reach the
// optimum of the search without restarts, with a solution feasible for the
// model as read, and with incumbents and counters that run on across the
// restart. Also the cuts and pseudo-costs carried over to the new numbering.
#include <cmath>
#include <string>
#include <vector>

#include "mip/mip_driver.hpp"
#include "mip/mip_presolve_call.hpp"
#include "mip/pseudo_costs.hpp"
#include "mip_fixture.hpp"

using namespace mip_test;

namespace {

struct Report {
  double obj;
  int lps;
};

struct SolveRun {
  int code = -1, status = -1;
  double obj = NAN, bound = NAN;
  int restarts = 0;
  int tree_restarts = 0;  // of those, restarts from inside the tree after a new solution
  int root_fixed = -1;    // integer columns the root fixed, where it did not restart
  std::vector<double> x;
  std::vector<Report> reports;  // each new incumbent as the host saw it
  int lps = 0;
};

void count_restarts(pTVmodel, const char *text, void *data) {
  const std::string line(text);
  SolveRun &r = *static_cast<SolveRun *>(data);
  if (const std::size_t at = line.find("Root fixings: "); at != std::string::npos && r.root_fixed < 0)
    r.root_fixed = std::stoi(line.substr(at + 14));
  if (line.find("Restarting the search") == std::string::npos) return;
  ++r.restarts;
  if (line.find(" nodes") != std::string::npos) ++r.tree_restarts;
}

int on_solution(pTVmodel model, void *data, double obj, double *) {
  int lps = 0;
  TVgetInfo(model, TV_IINFO_MIP_LPCOUNT, &lps);
  static_cast<SolveRun *>(data)->reports.push_back({obj, lps});
  return 0;
}

SolveRun solve(MipModel &mm, double share, int max_restarts, double tree_share = 0.1, int print_level = 1) {
  tarvo::mip::RestartPolicy policy;
  policy.share = share;
  policy.tree_share = tree_share;
  policy.tree_work_share = 1e9;  // small models' roots take few iterations: their share must not decide here
  policy.max_restarts = max_restarts;
  SolveRun r;
  TVsetModelLogfunc(mm.model, count_restarts, &r);
  TVsetModelIntParameter(mm.model, TV_IPARAM_MIP_PRINTLEVEL, print_level);
  TVsetModelDouParameter(mm.model, TV_DPARAM_MIP_TIMLIM, 60);
  TVsetMIPCallback(mm.model, on_solution, &r);
  r.code = tarvo::mip::solve_mip_serial(mm.model, &r.status, &policy);
  TVgetInfo(mm.model, TV_DINFO_MIP_OBJ, &r.obj);
  TVgetInfo(mm.model, TV_DINFO_MIP_BESTBOUND, &r.bound);
  TVgetInfo(mm.model, TV_IINFO_MIP_LPCOUNT, &r.lps);
  r.x.assign(mm.prob.n, 0.0);
  TVgetMIPPrimalSolution(mm.model, r.x.data());
  TVsetMIPCallback(mm.model, nullptr, nullptr);
  TVsetModelLogfunc(mm.model, nullptr, nullptr);
  return r;
}

bool feasible(const MipProblem &p, const std::vector<double> &x) {
  const auto v = tarvo::mip::check_point(p, x.data(), kFeasTol);
  return v.bound <= kFeasTol && v.row <= kFeasTol && v.integrality <= kFeasTol;
}

double rel_tol(double v) { return 1e-6 * (1 + std::fabs(v)); }

TEST(RootRestart, ForcedRestartsReachTheOptimumOfTheSearchWithoutThem) {
  const char *const models[] = {"p0033", "p0201", "p0282", "p0548", "lseu",
                                "mod008", "bell5", "misc03", "egout", "gt2"};
  int restarted = 0, tree_restarted = 0, loaded = 0;
  for (const char *name : models) {
    MipModel mm;
    if (!mm.load(name)) continue;
    ++loaded;
    const SolveRun plain = solve(mm, 0.1, 0);
    // any column fixed at the root starts the search over, twice at most;
    // every other model leaves that to a new solution early in the tree
    const bool from_tree = loaded % 2 == 0;
    const SolveRun forced = from_tree ? solve(mm, 2, 2, 1e-9) : solve(mm, 1e-9, 2);
    ASSERT_EQ(plain.restarts, 0) << name;
    if (from_tree) {
      EXPECT_EQ(forced.tree_restarts, forced.restarts) << name;
    }
    ASSERT_EQ(plain.status, TV_STATUS_OPTIMAL) << name;
    ASSERT_EQ(forced.code, 0) << name;
    ASSERT_EQ(forced.status, TV_STATUS_OPTIMAL) << name;
    EXPECT_LE(forced.restarts, 2) << name;
    restarted += forced.restarts > 0;
    tree_restarted += forced.tree_restarts > 0;
    EXPECT_NEAR(forced.obj, plain.obj, rel_tol(plain.obj)) << name;
    // an optimum is reported with a bound that proves it, also when the new
    // root alone settles it against the solution found before the restart
    EXPECT_NEAR(forced.bound, forced.obj, 2 * rel_tol(forced.obj)) << name;
    EXPECT_TRUE(feasible(mm.prob, forced.x)) << name;
    // every incumbent the host heard of improves on the one before, and the
    // LP count runs on across the restart rather than starting again
    ASSERT_FALSE(forced.reports.empty()) << name;
    const double sense = mm.model->data.sense == TV_MAX ? -1 : 1;
    for (size_t k = 1; k < forced.reports.size(); ++k) {
      EXPECT_LT(sense * forced.reports[k].obj, sense * forced.reports[k - 1].obj + rel_tol(forced.obj)) << name;
      EXPECT_GE(forced.reports[k].lps, forced.reports[k - 1].lps) << name;
    }
    EXPECT_NEAR(forced.reports.back().obj, forced.obj, rel_tol(forced.obj)) << name;
    EXPECT_GE(forced.lps, forced.reports.back().lps) << name;
  }
  if (loaded == 0) GTEST_SKIP() << "MIPLIB 3 models not available";
  // the comparison means something only where the search did start over
  EXPECT_GE(restarted, 3);
  // and a solution found early in the tree started it over from there too
  EXPECT_GE(tree_restarted, 1);
}

// A user cutoff bounds the solutions sought as an incumbent does: with no
// heuristics to find one, the root's reduced costs still fix columns against
// it, and the optimum just inside it is found all the same.
TEST(RootRestart, UserCutoffFixesByReducedCostsWithoutAnIncumbent) {
  const char *const models[] = {"p0201", "p0282", "p0548", "lseu", "mod008"};
  int gained = 0, loaded = 0;
  for (const char *name : models) {
    MipModel mm;
    if (!mm.load(name)) continue;
    ++loaded;
    TVsetModelIntParameter(mm.model, TV_IPARAM_MIP_HEULEVEL, 0);
    const SolveRun plain = solve(mm, 2, 2, 2, 3);
    ASSERT_EQ(plain.status, TV_STATUS_OPTIMAL) << name;
    const double sense = mm.model->data.sense == TV_MAX ? -1 : 1;
    TVsetModelDouParameter(mm.model, TV_DPARAM_MIP_CUTOFFOBJ, plain.obj + sense * 1e-4 * (1 + std::fabs(plain.obj)));
    const SolveRun cut = solve(mm, 2, 2, 2, 3);
    ASSERT_EQ(cut.code, 0) << name;
    ASSERT_EQ(cut.status, TV_STATUS_OPTIMAL) << name;
    EXPECT_NEAR(cut.obj, plain.obj, rel_tol(plain.obj)) << name;
    EXPECT_TRUE(feasible(mm.prob, cut.x)) << name;
    ASSERT_GE(plain.root_fixed, 0) << name;
    ASSERT_GE(cut.root_fixed, plain.root_fixed) << name;
    gained += cut.root_fixed > plain.root_fixed;
  }
  if (loaded == 0) GTEST_SKIP() << "MIPLIB 3 models not available";
  EXPECT_GE(gained, 3);
}

tarvo::mip::PoolCut cut_of(std::vector<int> index, std::vector<double> value, double rhs) {
  tarvo::mip::PoolCut c;
  c.index = std::move(index);
  c.value = std::move(value);
  c.sense = 'L';
  c.rhs = rhs;
  return c;
}

TEST(RootRestart, CarriedCutsMoveFixedColumnsToTheRightAndReplaceSubstitutedOnes) {
  namespace ps = tarvo::presolve;
  // the new presolve fixed column 0 at 2, and took column 2 out with the
  // equation x1 + 2 x2 = 8 (x2 = 4 - 0.5 x1); columns 1 and 3 stay as 0 and 1
  ps::Result r;
  ps::UndoRecord fix(ps::UndoKind::kFixColumn);
  fix.col = 0;
  fix.value = 2;
  r.stack.push(std::move(fix));
  ps::UndoRecord dbl(ps::UndoKind::kDoubleton);
  dbl.col = 1;
  dbl.col2 = 2;
  dbl.a = 1;
  dbl.b = 2;
  dbl.rhs = 8;
  r.stack.push(std::move(dbl));
  const auto rep = tarvo::mip::column_replacements(r, 5);
  const std::vector<int> to = {-1, 0, -1, 1, -1};
  const std::vector<int> same = {0, 1, 2, 3, 4};
  tarvo::mip::PoolCut out;

  // x0 + 2 x1 + 3 x3 <= 10  ->  2 x1' + 3 x3' <= 8
  ASSERT_TRUE(tarvo::mip::carry_cut(cut_of({0, 1, 3}, {1, 2, 3}, 10), same, to, rep, &out));
  EXPECT_EQ(out.index, (std::vector<int>{0, 1}));
  EXPECT_EQ(out.value, (std::vector<double>{2, 3}));
  EXPECT_DOUBLE_EQ(out.rhs, 8);
  EXPECT_EQ(out.sense, 'L');

  // x0 + x1 + x2 + x3 <= 5 -> 2 + x1 + (4 - 0.5 x1) + x3 <= 5; searched columns
  // 0..3 are base columns 3, 2, 1, 0 here
  ASSERT_TRUE(tarvo::mip::carry_cut(cut_of({3, 2, 1, 0}, {1, 1, 1, 1}, 5), {3, 2, 1, 0}, to, rep, &out));
  EXPECT_EQ(out.index, (std::vector<int>{0, 1}));
  EXPECT_EQ(out.value, (std::vector<double>{0.5, 1}));
  EXPECT_DOUBLE_EQ(out.rhs, -1);

  // 2 x1 + 4 x2 <= 20 -> 16 <= 20: nothing left to carry
  EXPECT_FALSE(tarvo::mip::carry_cut(cut_of({1, 2}, {2, 4}, 20), same, to, rep, &out));
  // column 4 went without a record, and a merged column is not its origin
  EXPECT_FALSE(tarvo::mip::carry_cut(cut_of({1, 4}, {1, 1}, 1), same, to, rep, &out));
  EXPECT_FALSE(tarvo::mip::carry_cut(cut_of({1, 3}, {1, 1}, 1), {0, 1, 2, -1, 4}, to, rep, &out));
}

TEST(RootRestart, PseudoCostsFollowTheirColumnIntoTheNewNumbering) {
  tarvo::mip::PseudoCosts pc(3);
  pc.record(0, false, 0.5, 1.0);  // column 0: down 2 per unit
  pc.record(2, true, 0.25, 1.0);  // column 2: up 4 per unit
  // new column 0 is old column 2, new column 1 old column 0, new column 2 is new
  const tarvo::mip::PseudoCosts moved = pc.remapped({2, 0, -1});
  EXPECT_EQ(moved.count(0, true), 1);
  EXPECT_DOUBLE_EQ(moved.unit(0, true), 4.0);
  EXPECT_EQ(moved.count(1, false), 1);
  EXPECT_DOUBLE_EQ(moved.unit(1, false), 2.0);
  // a column without records of its own falls back to the average, which stays
  EXPECT_EQ(moved.count(2, false), 0);
  EXPECT_DOUBLE_EQ(moved.unit(2, false), 2.0);
  EXPECT_EQ(moved.reliability(1), 0);
}

}  // namespace
