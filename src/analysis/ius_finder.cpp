// TVfindIUS: an irreducible set of columns that carries the unboundedness of
// an LP. A feasible LP is unbounded exactly when its recession cone holds a
// direction that improves the objective, so the columns are filtered on the
// direction LP (the cone cut to the unit box), loaded once: fixing a column
// is fixing its direction entry at zero, whatever value the column is held
// at in the model itself.
#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/member_names.hpp"
#include "analysis/run_budget.hpp"
#include "common/error_codes.hpp"
#include "env/callback_dispatch.hpp"
#include "model/model_state.hpp"
#include "common/boundary.hpp"
#include "env/live_handles.hpp"

namespace tarvo::analysis {
namespace {

constexpr double kInf = 1e30;
constexpr int kBitNecCols = 2, kBitSufCols = 8;

class IusRun {
 public:
  IusRun(base::Model *model, int level) : model_(model), level_(level), budget_(model) {}
  int run();

 private:
  bool log(int l) const { return print_ >= l; }
  // Solves the direction LP; 1 improving direction, 0 none, <0 stop (code in code_).
  int improving();
  void fix(int j, bool fixed);
  void row(const char *label);
  void install(const std::vector<int> &undecided, const std::vector<int> &nec, int code);

  base::Model *model_;
  int level_, print_ = 1, code_ = 0;
  RunBudget budget_;
  simplex::LpSolver dir_;
  std::vector<double> dlo_, dup_;
  double tol_ = 1e-7;
  bool first_ = true;
  std::vector<int> nec_;
  int active_ = 0;
};

void IusRun::fix(int j, bool fixed) {
  if (fixed)
    dir_.set_col_bounds(j, 0.0, 0.0);
  else
    dir_.set_col_bounds(j, dlo_[j], dup_[j]);
}

int IusRun::improving() {
  if ((code_ = budget_.before_step())) return -1;
  const int method = first_ ? TV_METHOD_DSIMPLEX : TV_METHOD_PSIMPLEX;
  first_ = false;
  simplex::LpStatus st = dir_.solve(method, budget_.limits());
  if ((code_ = budget_.after_solve(dir_, st))) return -1;
  if (st != simplex::LpStatus::kOptimal) {
    code_ = err::kNumerical;
    return -1;
  }
  // In the LP's own sense: a minimisation improves downwards.
  return dir_.sense() * dir_.objective() < -tol_ ? 1 : 0;
}

void IusRun::row(const char *label) {
  if (!log(2)) return;
  base::log_model(model_, 1, "\n%18s %8d %6d %6d %6d %6d", label, static_cast<int>(budget_.iterations()),
                  static_cast<int>(budget_.seconds()), static_cast<int>(nec_.size()), active_ - static_cast<int>(nec_.size()),
                  active_);
}

void IusRun::install(const std::vector<int> &undecided, const std::vector<int> &nec, int code) {
  auto rec = std::make_unique<base::IusRecord>();
  rec->cols = undecided;
  rec->suf_cols = static_cast<int>(undecided.size());
  rec->cols.insert(rec->cols.end(), nec.begin(), nec.end());
  rec->level = level_;
  rec->partial = code != 0;
  rec->sim_iter = budget_.iterations();
  rec->lp_count = budget_.solves();
  rec->seconds = budget_.seconds();
  model_->ius = std::move(rec);
  const base::IusRecord &r = *model_->ius;
  base::log_model(model_, log(1),
                  "\n\n*** %s ***\n\nNumber of necessary  columns = %8d \nNumber of sufficient columns = %8d \n"
                  "Simplex iters                = %8g (%g)\nBarrier iters                = %8g\n"
                  "Nonlinear iters              = %8g\nNumber of nodes              = %8d\n"
                  "Time (sec.)                  = %8d\n\n",
                  code ? "IUS (partial) results" : " IUS final results   ", static_cast<int>(r.cols.size()) - r.suf_cols,
                  r.suf_cols, r.sim_iter, static_cast<double>(r.lp_count), 0.0, 0.0, 0, static_cast<int>(r.seconds));
}

int IusRun::run() {
  const base::ModelData &d = model_->data;
  const int m = d.m, n = d.n;
  print_ = model_->params.integer(TV_IPARAM_IIS_PRINT_LEVEL);
  tol_ = model_->params.dbl(TV_DPARAM_SOLVER_OPTTOL);
  const simplex::LpOptions opt = simplex::LpOptions::from_params(model_->params);

  base::log_model(model_, log(1), "\nSolving the relaxation ... ");
  {
    // Unbounded needs a feasible model: a zero objective settles that.
    simplex::LpSolver feas;
    feas.load(d, opt);
    for (int j = 0; j < n; ++j) feas.set_cost(j, 0.0);
    if ((code_ = budget_.before_step())) return code_;
    const simplex::LpStatus st = feas.solve(TV_METHOD_DSIMPLEX, budget_.limits());
    if ((code_ = budget_.after_solve(feas, st))) return code_;
    if (st != simplex::LpStatus::kOptimal) {
      base::log_model(model_, log(1), "\nThe relaxation is not unbounded (status = %d).", TV_STATUS_INFEASIBLE);
      install({}, {}, 0);
      return 0;
    }
  }
  // The recession cone of the rows and bounds, cut to the unit box.
  dir_.load(d, opt);
  dlo_.assign(n, 0.0);
  dup_.assign(n, 0.0);
  for (int j = 0; j < n; ++j) {
    dlo_[j] = d.lower[j] > -kInf ? 0.0 : -1.0;
    dup_[j] = d.upper[j] < kInf ? 0.0 : 1.0;
    dir_.set_col_bounds(j, dlo_[j], dup_[j]);
  }
  for (int i = 0; i < m; ++i) {
    double lo, up;
    simplex::row_activity_bounds(d, i, &lo, &up);
    dir_.set_row_bounds(i, lo > -kInf ? 0.0 : -kInf, up < kInf ? 0.0 : kInf);
  }
  int r = improving();
  if (r < 0) return code_;
  if (r == 0) {
    base::log_model(model_, log(1), "\nThe relaxation is not unbounded (status = %d).", TV_STATUS_OPTIMAL);
    install({}, {}, 0);
    return 0;
  }
  base::log_model(model_, log(1), "\nSearching for an IUS in the unbounded LP relaxation ...");
  // Columns outside the support of the direction are fixed at once: the
  // direction stays optimal without them.
  auto shrink = [&](std::vector<int> &cols, size_t from) {
    const std::vector<double> &x = dir_.x();
    std::vector<int> keep(cols.begin(), cols.begin() + from);
    for (size_t k = from; k < cols.size(); ++k) {
      if (std::fabs(x[cols[k]]) > tol_)
        keep.push_back(cols[k]);
      else
        fix(cols[k], true);
    }
    cols.swap(keep);
  };
  std::vector<int> cols;
  for (int j = 0; j < n; ++j) cols.push_back(j);
  shrink(cols, 0);
  active_ = static_cast<int>(cols.size());
  if (log(2))
    base::log_model(model_, 1, "\n\n%-18s %8s %6s %6s %6s %6s\n", "KEEP/DELE(COL)", "ITER", "TIME", "IUS_C", "SUFF_C",
                    "ACTV_C");
  if (!(level_ & kBitNecCols)) {
    install(cols, {}, 0);
    return 0;
  }
  // Deletion filter over the support.
  std::vector<int> nec;
  size_t k = 0;
  while (k < cols.size()) {
    const int j = cols[k];
    fix(j, true);
    r = improving();
    char label[32];
    if (r < 0) {
      fix(j, false);
      install(std::vector<int>(cols.begin() + k, cols.end()), nec, code_);
      return code_;
    }
    if (r == 1) {
      cols.erase(cols.begin() + k);
      --active_;
      std::snprintf(label, sizeof label, "DELE_C(%07d)", j);
      row(label);
      const size_t before = cols.size();
      shrink(cols, k);
      active_ -= static_cast<int>(before - cols.size());
    } else {
      fix(j, false);
      nec.push_back(j);
      nec_ = nec;
      ++k;
      std::snprintf(label, sizeof label, "KEEP_C(%07d)", j);
      row(label);
    }
  }
  install({}, nec, 0);
  return 0;
}

int find_ius(base::Model *model, int nLevel) {
  if (model->status == TV_STATUS_UNLOADED) return err::kNotLoaded;
  model->ius.reset();
  const base::ModelClass &k = base::model_class(model);
  if (k.nonlinear || k.conic || k.quadratic) return err::kNotSupported;
  const int level = nLevel >= 1 ? nLevel : model->params.integer(TV_IPARAM_IUS_ANALYZE_LEVEL);
  base::ProgressScope scope(model, TVLOC_IIS);
  IusRun run(model, level);
  return run.run();
}

}  // namespace
}  // namespace tarvo::analysis

extern "C" {

TVAPI int TVfindIUS(pTVmodel model, int nLevel) {
  if (!tarvo::base::live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return tarvo::analysis::find_ius(model, nLevel); });
}

}  // extern "C"
