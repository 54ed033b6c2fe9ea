// The integer presolve between the working copy and the tree. The reduced
// problem keeps the objective value of every point (the offset carries what
// the reductions took out), so bounds and incumbent values of the tree need
// no translation; only points do, and they go through the postsolve and the
// working copy's own feasibility check.
#include "mip/mip_presolve_call.hpp"

#include <algorithm>
#include <cmath>

#include "optimize/optimize_internal.hpp"
#include "presolve/bridge/presolve_model.hpp"
#include "common/clock.hpp"
#include "mip/mip_driver.hpp"
#include "mip/mip_symmetry.hpp"

namespace tarvo::mip {

presolve::LinearProblem linear_problem_of(const MipProblem &p) {
  presolve::LinearProblem l;
  l.m = p.m;
  l.n = p.n;
  l.start = p.col_start;
  if (l.start.empty()) l.start.assign(p.n + 1, 0);
  l.index = p.col_index;
  l.value = p.col_value;
  l.cost = p.c;
  l.lower = p.col_lo;
  l.upper = p.col_up;
  l.row_lower = p.row_lo;
  l.row_upper = p.row_up;
  l.integer = p.is_int;
  l.offset = p.obj_constant;
  return l;
}

void mip_problem_of(const presolve::LinearProblem &r, MipProblem *out) {
  MipProblem &p = *out;
  p = MipProblem{};
  p.m = r.m;
  p.n = r.n;
  p.obj_constant = r.offset;
  p.c = r.cost;
  p.col_lo = r.lower;
  p.col_up = r.upper;
  p.row_lo = r.row_lower;
  p.row_up = r.row_upper;
  p.is_int = r.integer;
  if (p.is_int.empty()) p.is_int.assign(r.n, 0);
  p.col_start = r.start;
  p.col_index = r.index;
  p.col_value = r.value;
  p.build_rows();
}

int PresolvedMip::run(base::Model *model, const WorkingProblem &w, const MipSettings &set, double start,
                      double incumbent) {
  orig_ = &w;
  int_tol_ = set.int_tol;
  base::MipState state;
  state.cutoff = set.cutoff < 1e30 ? w.sense * set.cutoff : 1e30;
  if (incumbent < 1e30) state.objective = w.sense * incumbent;
  if (set.time_limit >= 0) state.time_limit = std::max(0.0, set.time_limit - (common::wall_seconds() - start));
  const presolve::LinearProblem p = linear_problem_of(w.prob);
  if (int code = base::mip_presolve(model, p, true, state, &result_)) return code;
  outcome_ = result_.outcome;
  if (outcome_ != presolve::Outcome::kReduced) return 0;
  reduced_ = std::make_unique<WorkingProblem>();
  WorkingProblem &r = *reduced_;
  r.sense = w.sense;
  r.user_n = 0;  // no user columns of their own: points come back through lift_into
  r.user_m = 0;
  mip_problem_of(result_.reduced, &r.prob);
  problem_to_lp_data(r.prob, &r.data);
  if (model->params.integer(TV_IPARAM_MIP_PRINTLEVEL) >= 1)
    base::log_model(model, 1, "\nLoaded reduced model (n_cons:%d, n_vars:%d, objsense:%d)", r.prob.m, r.prob.n,
                    w.sense);
  reduced_inc_ = std::make_unique<Incumbent>(r.prob, set.int_tol, 1e-6);
  reduced_inc_->set_threshold(set.cutoff);
  return 0;
}

std::vector<double> postsolved(const presolve::Result &r, const std::vector<double> &x) {
  presolve::Solution small, full;
  const int n = r.reduced.n, m = r.reduced.m;
  small.x.assign(x.begin(), x.begin() + n);
  small.y.assign(m, 0.0);
  small.col_status.assign(n, presolve::kBasic);
  small.row_status.assign(m, presolve::kBasic);
  presolve::postsolve(r, small, &full);
  return full.x;
}

bool PresolvedMip::lift_into(Incumbent &inc, const char *tag) {
  if (!reduced_inc_ || !reduced_inc_->has_incumbent()) return false;
  const std::vector<double> x = postsolved(result_, reduced_inc_->incumbent());
  if (!point_feasible(orig_->prob, x, int_tol_, 1e-6)) {
    ++failures_;
    return false;
  }
  return inc.submit(x, tag);
}

bool PresolvedMip::decided(Incumbent &inc, MipLog &log, TreeOutcome *t) {
  if (outcome_ != presolve::Outcome::kInfeasible && outcome_ != presolve::Outcome::kSolved) return false;
  t->complete = true;
  t->state = kStateInfeasible;
  t->bound = 1e30;
  if (outcome_ == presolve::Outcome::kInfeasible) return true;
  const std::vector<double> x = postsolved(result_, {});
  if (!point_feasible(orig_->prob, x, int_tol_, 1e-6)) {
    ++failures_;
    return true;
  }
  if (!inc.submit(x, "P")) return true;  // not below the cutoff
  const double obj = inc.incumbent_objective();
  const Violation v = check_point(orig_->prob, inc.incumbent().data(), int_tol_);
  log.text(1, "\nFOUND MIP solution in presolve   Objvalue  : %e  (*P)", log.user(obj));
  log.text(1, "\n Infeasibility : %e, Integer infeasibility : %e", std::max(v.bound, v.row), v.integrality);
  log.text(1, "\n %8u %6u %8u  %e   %e %2.1e %s \n", 0u, 0u, 0u, log.user(obj), log.user(obj), 0.0, "(*P-)");
  t->state = kStateFinished;
  t->bound = obj;
  return true;
}

void PresolvedMip::offer_start(const std::vector<double> &x) {
  if (!reduced_inc_ || static_cast<int>(x.size()) < orig_->prob.n) return;
  std::vector<double> small(result_.col_origin.size());
  for (size_t j = 0; j < small.size(); ++j) small[j] = x[result_.col_origin[j]];
  // dual reductions may have cut the point off: then it stays the working copy's alone
  reduced_inc_->submit(small, "U");
}

const std::vector<int> *PresolvedMip::priorities(const std::vector<int> &user) {
  if (user.empty()) return nullptr;
  priority_.assign(result_.col_origin.size(), 0);
  for (size_t j = 0; j < priority_.size(); ++j) {
    const int o = result_.col_origin[j];
    if (o < static_cast<int>(user.size())) priority_[j] = user[o];
  }
  return &priority_;
}

std::vector<int> PresolvedMip::bound_origin() const {
  std::vector<int> origin = result_.col_origin;
  if (!reduced_) return origin;
  std::vector<int> reduced_of(orig_->prob.n, -1);
  for (size_t j = 0; j < origin.size(); ++j) reduced_of[origin[j]] = static_cast<int>(j);
  for (const presolve::UndoRecord &r : result_.stack.records())
    if (r.kind == presolve::UndoKind::kMergeColumns && r.col >= 0 && r.col < orig_->prob.n && reduced_of[r.col] >= 0)
      origin[reduced_of[r.col]] = -1;
  return origin;
}

RestartChain::RestartChain(base::Model *model, const WorkingProblem &w, const MipSettings &set, double start,
                           PresolvedMip &first)
    : model_(model), w_(w), set_(set), start_(start), first_(first) {}

MipSettings RestartChain::settings(int round) const {
  MipSettings s = set_;
  const RestartPolicy &policy = set_.restart;
  // a restart is a new presolve: none when the user switched presolve off
  const bool presolve_on = model_->params.integer(TV_IPARAM_MIP_PRELEVEL) > 0;
  s.max_restarts = presolve_on ? std::max(0, policy.max_restarts - round) : 0;
  return s;
}

std::vector<ColumnReplacement> column_replacements(const presolve::Result &r, int n) {
  std::vector<ColumnReplacement> out(n);
  for (const presolve::UndoRecord &u : r.stack.records()) {
    if (u.kind == presolve::UndoKind::kFixColumn && u.col >= 0 && u.col < n) {
      out[u.col] = {true, u.value, 0, -1};
    } else if (u.kind == presolve::UndoKind::kAggregate && u.col >= 0 && u.col < n) {
      out[u.col] = {true, u.value, u.a, u.col2};
    } else if (u.kind == presolve::UndoKind::kDoubleton && u.col2 >= 0 && u.col2 < n && u.b != 0) {
      out[u.col2] = {true, u.rhs / u.b, -u.a / u.b, u.col};
    }
  }
  return out;
}

bool carry_cut(const PoolCut &c, const std::vector<int> &origin, const std::vector<int> &to,
               const std::vector<ColumnReplacement> &rep, PoolCut *out) {
  *out = PoolCut{};
  out->sense = c.sense;
  out->rhs = c.rhs;
  out->tag = c.tag;
  std::vector<std::pair<int, double>> terms;
  for (size_t t = 0; t < c.index.size(); ++t) {
    int o = origin[c.index[t]];
    if (o < 0) return false;  // the column stands for more than its origin
    double v = c.value[t];
    // a replacement may name a column that was replaced later: follow the chain
    for (size_t hops = 0; o >= 0 && to[o] < 0 && hops <= rep.size(); ++hops) {
      if (!rep[o].known) return false;
      out->rhs -= v * rep[o].c0;
      v *= rep[o].c1;
      o = rep[o].col;
    }
    if (o >= 0 && to[o] < 0) return false;
    if (o >= 0 && v != 0) terms.push_back({to[o], v});
  }
  std::sort(terms.begin(), terms.end());
  for (size_t t = 0; t < terms.size();) {
    const int j = terms[t].first;
    double v = 0;
    for (; t < terms.size() && terms[t].first == j; ++t) v += terms[t].second;
    if (std::fabs(v) <= 1e-12) continue;  // the replacement cancelled the column
    out->index.push_back(j);
    out->value.push_back(v);
  }
  return !out->index.empty() && std::isfinite(out->rhs);
}

int RestartChain::restart(const PresolvedMip &from, const std::vector<double> &lo, const std::vector<double> &up,
                          const PseudoCosts &pc, const RootCostFixing &rules, const CutPool *pool,
                          double incumbent, PresolvedMip **next, RestartCarry *carry) {
  const WorkingProblem &b = base();
  // columns of the searched problem in base()'s numbering (identity when presolve left it alone)
  std::vector<int> origin;
  if (from.active()) {
    origin = from.bound_origin();
  } else {
    origin.resize(lo.size());
    for (size_t j = 0; j < origin.size(); ++j) origin[j] = static_cast<int>(j);
  }
  auto tight = std::make_unique<WorkingProblem>();
  tight->prob = b.prob;
  tight->sense = b.sense;
  tight->user_n = b.user_n;
  tight->user_m = b.user_m;
  MipProblem &p = tight->prob;
  std::vector<int> searched_of(p.n, -1);
  for (size_t j = 0; j < origin.size(); ++j) {
    const int o = origin[j];
    if (o < 0 || o >= p.n) continue;
    searched_of[o] = static_cast<int>(j);
    const double l = std::max(p.col_lo[o], lo[j]), u = std::min(p.col_up[o], up[j]);
    if (l > u) continue;  // the root's bounds hold for better points only; none is lost by not taking them
    p.col_lo[o] = l;
    p.col_up[o] = u;
  }
  // Columns the presolve fixed stay fixed. Together with the bounds above this
  // keeps the new problem inside the one the old cuts were derived on: a dual
  // reduction of the old presolve (dominated or dual-fixed column, a bound
  // tightened by costs) may have dropped optima, and a new presolve free to
  // choose other ones could otherwise lose every optimum to the carried cuts.
  if (from.active())
    for (const presolve::UndoRecord &u : from.result().stack.records())
      if (u.kind == presolve::UndoKind::kFixColumn && u.col >= 0 && u.col < p.n && searched_of[u.col] < 0 &&
          u.value >= p.col_lo[u.col] && u.value <= p.col_up[u.col])
        p.col_lo[u.col] = p.col_up[u.col] = u.value;
  problem_to_lp_data(p, &tight->data);
  auto pre = std::make_unique<PresolvedMip>();
  if (int code = pre->run(model_, *tight, set_, start_, incumbent)) return code;
  // pseudo-costs follow their column into the new numbering
  std::vector<int> from_col;
  if (pre->active()) {
    for (int o : pre->col_origin()) from_col.push_back(searched_of[o]);
  } else {
    from_col = searched_of;
  }
  carry->pc = pc.remapped(from_col);
  // the rules speak of column values: none for a column that now stands for merged ones
  std::vector<int> rule_from(from_col.size(), -1);
  if (pre->active()) {
    const std::vector<int> kept = pre->bound_origin();
    for (size_t k = 0; k < kept.size(); ++k)
      if (kept[k] >= 0) rule_from[k] = searched_of[kept[k]];
  } else {
    rule_from = searched_of;
  }
  carry->rules = rules.remapped(rule_from);
  std::vector<PoolCut> *cuts = &carry->cuts;
  cuts->clear();
  if (pool && set_.restart.keep_cuts && !pre->settled()) {
    std::vector<int> to(p.n, -1);
    if (pre->active()) {
      const std::vector<int> kept = pre->bound_origin();
      for (size_t k = 0; k < kept.size(); ++k)
        if (kept[k] >= 0) to[kept[k]] = static_cast<int>(k);
    } else {
      for (int j = 0; j < p.n; ++j) to[j] = j;
    }
    const std::vector<ColumnReplacement> rep = column_replacements(pre->result(), p.n);
    PoolCut c;
    int in_lp = 0;
    for (int k = 0; k < pool->size(); ++k) {
      const PoolCut &old = pool->cut(k);
      // cuts the tree parked while idle still hold, and the new root may need them
      if (!old.parked && (old.lp_row < 0 || old.state != 1)) continue;
      ++in_lp;
      if (carry_cut(old, origin, to, rep, &c)) cuts->push_back(std::move(c));
    }
    base::log_model(model_, 2, "\nCuts carried over the restart: %d of %d", static_cast<int>(cuts->size()), in_lp);
  }
  orbital_.reset();
  if (!pre->settled()) {
    const double left = set_.time_limit >= 0 ? set_.time_limit - (common::wall_seconds() - start_) : -1;
    orbital_ = detect_mip_symmetry(model_, pre->active() ? pre->reduced().prob : tight->prob,
                                   pre->active() ? &pre->col_origin() : nullptr, left);
  }
  bases_.push_back(std::move(tight));
  pres_.push_back(std::move(pre));
  *next = pres_.back().get();
  return 0;
}

int RestartChain::lift_failures() const {
  int n = first_.lift_failures();
  for (const auto &p : pres_) n += p->lift_failures();
  return n;
}

int solve_without_presolve(base::Model *model, int *status) {
  base::log_model(model, 1, "\nWarning: a presolved solution failed its check on the original model; "
                            "solving again with prelevel 0");
  base::ScopedParam no_presolve(model->params, TV_IPARAM_MIP_PRELEVEL, 0);
  return solve_mip_serial(model, status);
}

}  // namespace tarvo::mip
