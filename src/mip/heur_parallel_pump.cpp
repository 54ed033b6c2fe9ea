// Feasibility pumps on several threads at once. The first thread pumps on the
// node LP itself, every other one on its own copy of it (cut rows included).
// Threads never touch the shared incumbent: each offers its points to a sink
// of its own, and after all have joined the points are handed to the
// incumbent thread by thread, in thread order, so that the same pumps report
// the same solutions in the same order however the threads were scheduled.
#include <thread>

#include "mip/heuristics.hpp"
#include "mip/incumbent.hpp"
#include "mip/working_problem.hpp"
#include "tarvo.h"

namespace tarvo::mip {
namespace {

// Keeps the improving points of one pump. Its incumbent starts as the shared
// one at the start (so the pump knows whether a solution exists) and follows
// the pump's own finds.
class ThreadSink : public SolutionSink {
 public:
  ThreadSink(const MipProblem &p, const SolutionSink &shared, double int_tol) : p_(p), int_tol_(int_tol) {
    if (shared.has_incumbent()) {
      best_x_ = shared.incumbent();
      best_ = shared.incumbent_objective();
    }
  }
  bool submit(const std::vector<double> &x, const char *tag) override {
    if (static_cast<int>(x.size()) < p_.n) return false;
    std::vector<double> y(x.begin(), x.begin() + p_.n);
    if (!point_feasible(p_, y, int_tol_, 1e-6)) return false;
    const double z = objective_of(p_, y.data());
    if (z >= best_) return false;
    best_ = z;
    best_x_ = y;
    found.emplace_back(std::move(y), tag ? tag : "");
    return true;
  }
  bool has_incumbent() const override { return !best_x_.empty(); }
  double incumbent_objective() const override { return best_x_.empty() ? 1e30 : best_; }
  const std::vector<double> &incumbent() const override { return best_x_; }

  std::vector<std::pair<std::vector<double>, std::string>> found;

 private:
  const MipProblem &p_;
  double int_tol_;
  double best_ = 1e30;
  std::vector<double> best_x_;
};

// The node LP rebuilt from its rows, bounds and basis, re-solved from that basis.
void copy_lp(const MipProblem &rows, const std::vector<double> &lo, const std::vector<double> &up,
             const simplex::LpBasis &basis, const base::ParamValues &params, double deadline,
             simplex::LpSolver &out) {
  base::ModelData data;
  problem_to_lp_data(rows, &data);
  out.load(data, simplex::LpOptions::from_params(params));
  for (int i = 0; i < rows.m; ++i) out.set_row_bounds(i, rows.row_lo[i], rows.row_up[i]);
  for (int j = 0; j < rows.n; ++j) out.set_col_bounds(j, lo[j], up[j]);
  out.set_basis(basis);
  simplex::LpLimits lim;
  if (deadline < 1e29) lim.time_limit = seconds_left(deadline);
  out.solve(TV_METHOD_PSIMPLEX, lim);
}

}  // namespace

std::vector<int> parallel_pumps(MipContext &ctx, const std::vector<PumpSettings> &pumps) {
  std::vector<int> improved(pumps.size(), 0);
  if (pumps.empty() || ctx.lp.status() != simplex::LpStatus::kOptimal) return improved;
  const double int_tol = ctx.params.dbl(TV_DPARAM_MIP_INTTOL);
  const MipProblem rows = with_cut_rows(ctx);
  const std::vector<double> lo = ctx.lp.col_lowers(), up = ctx.lp.col_uppers();
  const simplex::LpBasis basis = ctx.lp.basis();
  std::vector<std::unique_ptr<ThreadSink>> sinks;
  for (size_t t = 0; t < pumps.size(); ++t) sinks.push_back(std::make_unique<ThreadSink>(ctx.prob, ctx.sink, int_tol));

  auto pump_on = [&](size_t t, simplex::LpSolver &lp) {
    MipContext local{ctx.prob, lp, ctx.params, *sinks[t]};
    local.deadline = std::min(ctx.deadline, pumps[t].deadline);
    local.seed = pumps[t].seed;
    local.sub_mip = ctx.sub_mip;
    local.root = ctx.root;
    local.depth = ctx.depth;
    if (lp.status() == simplex::LpStatus::kOptimal) feasibility_pump(local, pumps[t]);
  };
  std::vector<std::thread> threads;
  for (size_t t = 1; t < pumps.size(); ++t)
    threads.emplace_back([&, t] {
      simplex::LpSolver lp;
      copy_lp(rows, lo, up, basis, ctx.params, pumps[t].deadline, lp);
      pump_on(t, lp);
    });
  pump_on(0, ctx.lp);
  for (std::thread &th : threads) th.join();

  for (size_t t = 0; t < pumps.size(); ++t)
    for (const auto &[x, tag] : sinks[t]->found) improved[t] += ctx.sink.submit(x, tag.c_str()) ? 1 : 0;
  return improved;
}

}  // namespace tarvo::mip
