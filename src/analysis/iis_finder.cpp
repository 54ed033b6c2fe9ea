// TVfindIIS: the driver of the IIS analysis. It settles the norm and the
// filter method, builds the elastic working model once, and runs the phases
// (necessary rows, bounds, integrality, then the sufficient members) on it.
// The user's model, basis and parameters are only read.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "analysis/elastic_lp.hpp"
#include "analysis/iis_filters.hpp"
#include "analysis/iis_ranking.hpp"
#include "analysis/member_names.hpp"
#include "analysis/run_budget.hpp"
#include "common/error_codes.hpp"
#include "env/callback_dispatch.hpp"
#include "model/model_state.hpp"
#include "common/boundary.hpp"
#include "env/live_handles.hpp"

namespace tarvo::analysis {
namespace {

constexpr int kBitNecRows = 1, kBitNecBounds = 2, kBitSufRows = 4, kBitSufBounds = 8, kBitInts = 16;
constexpr int kBitTriangular = 32, kBitBlocks = 64, kBitNonzeros = 128, kBitIntractable = 256;

const char *norm_label(int norm) {
  static const char *const names[] = {"IIS_NORM_FREE", "IIS_NORM_ONE_OBJ", "IIS_NORM_INF_OBJ", "IIS_NORM_ONE_ORG",
                                      "IIS_NORM_ONE_BND"};
  return names[norm];
}

const char *norm_title(int norm) {
  static const char *const names[] = {"Free", "L-one (obj)", "L-inf (obj)", "L-one (org)", "L-one (bnd)"};
  return names[norm];
}

const char *method_title(int method) {
  static const char *const names[] = {"Default",
                                      "Deletion Filter",
                                      "Additive Filter",
                                      "Generalized Binary Search Filter",
                                      "Depth First Binary Search Filter",
                                      "Fast Scan Filter",
                                      "Elastic Filter"};
  return names[method];
}

enum class ModelType { kLp, kMip, kQp, kQcp, kSocp, kNlp };

struct Settings {
  int level = 1, method = 0, norm = 0, print = 1, sfilter = 1;
  bool efilter = false, gop = false;
  ModelType type = ModelType::kLp;
  bool integer = false;
};

ModelType classify(base::Model *model) {
  const base::ModelClass &k = base::model_class(model);
  const base::ModelData &d = model->data;
  if (k.nonlinear) return ModelType::kNlp;
  if (k.conic) return ModelType::kSocp;
  if (k.quadratic) {
    for (int r : d.qc.row)
      if (r >= 0 && r < d.m) return ModelType::kQcp;
    return ModelType::kQp;  // a quadratic objective leaves the feasible set linear
  }
  return k.integer ? ModelType::kMip : ModelType::kLp;
}

// The norm and method rules; 0 or 2029 with its message.
int settle_rules(base::Model *model, Settings &s, bool *norm_defaulted) {
  const bool nonlinear_kind = s.type == ModelType::kNlp || s.type == ModelType::kQcp || s.type == ModelType::kSocp ||
                              s.type == ModelType::kQp;
  if (s.norm == 2 && nonlinear_kind) {
    base::log_model(model, s.print >= 1, "\nError: L-inf norm is not supported for the given model type...\n");
    return err::kNotSupported;
  }
  if (s.method == 0) s.method = 1;
  *norm_defaulted = s.norm == 0;
  if (s.method == 3 || s.method == 4) {
    if (s.norm == 0) s.norm = 4;
    const bool ok = s.norm == 1 || s.norm == 4 || (s.method == 4 && s.norm == 3);
    if (!ok) return err::kNotSupported;
  } else if (s.method == 6) {
    if (s.norm != 0 && s.norm != 1) return err::kNotSupported;
    s.norm = 1;
  } else if (s.norm == 0) {
    s.norm = (s.integer || s.gop) ? 3 : 1;
  }
  return err::kOk;
}

int verdict_status(Verdict v) { return v == Verdict::kInfeasible ? TV_STATUS_INFEASIBLE : TV_STATUS_FEASIBLE; }

class IisRun {
 public:
  IisRun(base::Model *model, Settings s) : model_(model), s_(s), budget_(model), lp_(model, budget_) {}
  int run();

 private:
  bool log(int level) const { return s_.print >= level; }
  void trace(FilterEvent e, int id);
  void table_header();
  void table_row(const char *label);
  int phase(std::vector<int> &cand, std::vector<int> &nec);
  std::vector<int> candidates(MemberKind kind) const;
  void order(std::vector<int> &ids) const;
  int focus_block();
  // An empty record when no IIS was found (or none is known yet).
  void install_record(int code, bool found = true);
  void final_block(bool partial);

  base::Model *model_;
  Settings s_;
  RunBudget budget_;
  ElasticLp lp_;
  std::vector<char> cand_;
  std::vector<int> nec_rows_, nec_bounds_, nec_ints_;
  bool stopped_ = false;
};

std::vector<int> IisRun::candidates(MemberKind kind) const {
  std::vector<int> ids;
  for (int id = 0; id < lp_.members(); ++id)
    if (cand_[id] && lp_.kind(id) == kind && lp_.state(id) != MemberState::kOff) ids.push_back(id);
  return ids;
}

void IisRun::order(std::vector<int> &ids) const {
  if (s_.level & kBitNonzeros) rank_by_nonzeros(model_->data, lp_, ids);
  if (s_.level & kBitTriangular) rank_by_triangular_form(model_->data, lp_, ids);
}

void IisRun::trace(FilterEvent e, int id) {
  const int k = lp_.index(id);
  const MemberKind kind = lp_.kind(id);
  const std::string name = kind == MemberKind::kRow ? row_name(*model_, k) : col_name(*model_, k);
  const char *nm = name.c_str();
  if (log(3)) {
    switch (e) {
      case FilterEvent::kDeleted:
        if (kind == MemberKind::kRow) base::log_model(model_, 1, "\nDF deleted row %d (%s)", k, nm);
        if (kind == MemberKind::kLower) base::log_model(model_, 1, "\nDF deleted LB for variable %d (%s)", k, nm);
        if (kind == MemberKind::kUpper) base::log_model(model_, 1, "\nDF deleted UB for variable %d (%s)", k, nm);
        if (kind == MemberKind::kInt) base::log_model(model_, 1, "\nDF deleted INT for variable %d (%s)", k, nm);
        break;
      case FilterEvent::kKept:
        if (kind == MemberKind::kRow) base::log_model(model_, 1, "\nDF kept row %d (%s)", k, nm);
        if (kind == MemberKind::kLower) base::log_model(model_, 1, "\nDF kept LB for variable %d (%s)", k, nm);
        if (kind == MemberKind::kUpper) base::log_model(model_, 1, "\nDF kept UB for variable %d (%s)", k, nm);
        if (kind == MemberKind::kInt) base::log_model(model_, 1, "\nDF kept INT for variable %d (%s)", k, nm);
        if (kind == MemberKind::kRow) base::log_model(model_, 1, "\nDF determined row %d (%s) to be necessary", k, nm);
        else base::log_model(model_, 1, "\nDF determined variable %d (%s) to be necessary", k, nm);
        break;
      case FilterEvent::kAdded: base::log_model(model_, 1, "\nAF added row %d (%s)", k, nm); break;
      case FilterEvent::kSkipped: base::log_model(model_, 1, "\nAF skipped row %d (%s)", k, nm); break;
      case FilterEvent::kSensitivityDropped:
        if (kind == MemberKind::kRow) base::log_model(model_, 1, "\nSF dropped row %d (%s)", k, nm);
        else base::log_model(model_, 1, "\nSF-DELE_C(%7d)", k);
        break;
    }
  }
  if (log(2) && (e == FilterEvent::kDeleted || e == FilterEvent::kKept || e == FilterEvent::kAdded)) {
    char label[32];
    std::snprintf(label, sizeof label, "%s_%c(%07d)", e == FilterEvent::kDeleted ? "DELE" : "KEEP",
                  kind == MemberKind::kRow ? 'R' : 'C', k);
    table_row(label);
  }
}

void IisRun::table_header() {
  if (!log(2)) return;
  base::log_model(model_, 1, "\n\n%-18s %8s %6s %6s %6s %6s %6s %6s %6s %6s %6s %6s %6s\n", "KEEP/DELE(ROW/COL)", "ITER",
                  "TIME", "IIS_R", "IIS_B", "IIS_I", "SUFF_R", "SUFF_B", "SUFF_I", "ACTV_R", "ACTV_B", "ACTV_I", "");
}

void IisRun::table_row(const char *label) {
  int active[3] = {0, 0, 0};
  for (int id = 0; id < lp_.members(); ++id) {
    if (!cand_[id] || lp_.state(id) == MemberState::kOff) continue;
    const MemberKind k = lp_.kind(id);
    ++active[k == MemberKind::kRow ? 0 : k == MemberKind::kInt ? 2 : 1];
  }
  const int nr = static_cast<int>(nec_rows_.size()), nb = static_cast<int>(nec_bounds_.size()),
            ni = static_cast<int>(nec_ints_.size());
  base::log_model(model_, 1, "\n%18s %8d %6d %6d %6d %6d %6d %6d %6d %6d %6d %6d %6d", label,
                  static_cast<int>(budget_.iterations()), static_cast<int>(budget_.seconds()), nr, nb, ni,
                  active[0] - nr, active[1] - nb, active[2] - ni, active[0], active[1], active[2], 0);
}

int IisRun::phase(std::vector<int> &cand, std::vector<int> &nec) {
  order(cand);
  table_header();
  FilterEnv env{lp_, s_.sfilter != 0};
  env.trace = [this](FilterEvent e, int id) { trace(e, id); };
  if (s_.efilter && s_.method != 6 && !cand.empty()) {
    if (int code = elastic_prefilter(env, cand)) return code;
  }
  return run_filter(s_.method, env, cand, nec);
}

// Bit 64: the smallest independent block that is infeasible on its own
// becomes the focus; the candidates of the other blocks are switched off.
int IisRun::focus_block() {
  std::vector<int> block;
  const int blocks = independent_blocks(model_->data, lp_, block);
  if (blocks <= 1) return 0;
  std::vector<int> size(blocks, 0);
  for (int id = 0; id < lp_.members(); ++id)
    if (cand_[id] && block[id] >= 0 && lp_.exists(id)) ++size[block[id]];
  std::vector<int> by_size(blocks);
  for (int b = 0; b < blocks; ++b) by_size[b] = b;
  std::stable_sort(by_size.begin(), by_size.end(), [&](int a, int b) { return size[a] < size[b]; });
  auto switch_outside = [&](int focus, MemberState s) {
    for (int id = 0; id < lp_.members(); ++id)
      if (cand_[id] && lp_.exists(id) && block[id] != focus) lp_.set_state(id, s);
  };
  for (int b : by_size) {
    if (size[b] == 0) continue;
    switch_outside(b, MemberState::kOff);
    const Verdict v = lp_.test();
    if (v == Verdict::kInfeasible) {
      base::log_model(model_, log(1), "\nBlock %d is found to be infeasible and selected as the focus.", b);
      return 0;
    }
    switch_outside(b, MemberState::kOn);
    if (v == Verdict::kStop) {
      base::log_model(model_, log(1), "\nWarning: decomposition analysis failed (error: %d)", lp_.stop_code());
      return lp_.stop_code();
    }
  }
  base::log_model(model_, log(1), "\nWarning: None of the independent blocks are found infeasible.");
  base::log_model(model_, log(1), "\nWarning: Standard method will be resumed.");
  return 0;
}

void IisRun::install_record(int code, bool found) {
  auto rec = std::make_unique<base::IisRecord>();
  auto split = [&](MemberKind kind, const std::vector<int> &nec, std::vector<int> &suf_out) {
    for (int id = 0; found && id < lp_.members(); ++id)
      if (cand_[id] && lp_.kind(id) == kind && lp_.exists(id) && lp_.state(id) != MemberState::kOff &&
          std::find(nec.begin(), nec.end(), id) == nec.end())
        suf_out.push_back(id);
  };
  std::vector<int> suf_rows, suf_bounds, suf_ints;
  split(MemberKind::kRow, nec_rows_, suf_rows);
  split(MemberKind::kLower, nec_bounds_, suf_bounds);
  split(MemberKind::kUpper, nec_bounds_, suf_bounds);
  split(MemberKind::kInt, nec_ints_, suf_ints);
  rec->suf_rows = static_cast<int>(suf_rows.size());
  for (int id : suf_rows) rec->rows.push_back(lp_.index(id));
  for (int id : nec_rows_) rec->rows.push_back(lp_.index(id));
  // One entry per column: sufficient when either of its bounds is.
  const int n = lp_.cols();
  std::vector<int> lower(n, 0), upper(n, 0);  // 1 necessary, 2 sufficient
  for (int id : suf_bounds) (lp_.kind(id) == MemberKind::kLower ? lower : upper)[lp_.index(id)] = 2;
  for (int id : nec_bounds_) (lp_.kind(id) == MemberKind::kLower ? lower : upper)[lp_.index(id)] = 1;
  for (int pass = 2; pass >= 1; --pass)
    for (int j = 0; j < n; ++j) {
      if (!lower[j] && !upper[j]) continue;
      const bool suf = lower[j] == 2 || upper[j] == 2;
      if ((pass == 2) != suf) continue;
      rec->cols.push_back(j);
      rec->bound_type.push_back(lower[j] && upper[j] ? 0 : lower[j] ? -1 : 1);
      if (suf) ++rec->suf_cols;
    }
  rec->suf_ints = static_cast<int>(suf_ints.size());
  for (int id : suf_ints) rec->ints.push_back(lp_.index(id));
  for (int id : nec_ints_) rec->ints.push_back(lp_.index(id));
  rec->method = s_.method;
  rec->norm = s_.norm;
  rec->level = s_.level;
  rec->sfilter = s_.sfilter;
  rec->bounds_analysed = (s_.level & (kBitNecBounds | kBitSufBounds)) != 0;
  rec->partial = code != 0;
  rec->sim_iter = budget_.iterations();
  rec->lp_count = budget_.solves();
  rec->mip_count = budget_.mip_solves();
  rec->seconds = budget_.seconds();
  model_->iis = std::move(rec);
}

void IisRun::final_block(bool partial) {
  const base::IisRecord &r = *model_->iis;
  const int nb = static_cast<int>(r.cols.size()), ni = static_cast<int>(r.ints.size());
  base::log_model(model_, log(1),
                  "\n*** %s ***\n\nNumber of necessary  rows   = %8d \nNumber of sufficient rows   = %8d \n"
                  "Number of necessary  bounds = %8d \nNumber of sufficient bounds = %8d \n"
                  "Number of necessary  ints.  = %8d \nNumber of sufficient ints.  = %8d \n"
                  "Simplex iters               = %8g (%g)\nBarrier iters               = %8g\n"
                  "Nonlinear iters             = %8g\nNumber of nodes             = %8d\n"
                  "Time (sec.)                 = %8d\n\n",
                  partial ? "IIS (partial) results" : " IIS final results   ",
                  static_cast<int>(r.rows.size()) - r.suf_rows, r.suf_rows, nb - r.suf_cols, r.suf_cols,
                  ni - r.suf_ints, r.suf_ints, r.sim_iter, static_cast<double>(r.lp_count), 0.0, 0.0, r.mip_count,
                  static_cast<int>(r.seconds));
}

int IisRun::run() {
  const base::ModelData &d = model_->data;
  const int m = d.m, n = d.n;
  const bool rows_in = (s_.level & (kBitNecRows | kBitSufRows)) != 0;
  const bool bounds_in = (s_.level & (kBitNecBounds | kBitSufBounds)) != 0;
  const bool ints_in = s_.integer && (s_.level & kBitInts) != 0;
  cand_.assign(m + 3 * n, 0);
  for (int i = 0; i < m; ++i) cand_[i] = rows_in;
  for (int j = 0; j < n; ++j) cand_[m + j] = cand_[m + n + j] = bounds_in;
  for (int j = 0; j < n; ++j) cand_[m + 2 * n + j] = ints_in;
  // A column whose bounds cross is an IIS of its own; the LP never sees it.
  for (int j = 0; j < n; ++j)
    if (d.lower[j] > d.upper[j]) {
      base::log_model(model_, log(1), "\nVariable %d (%s) has crossing bounds.", j, col_name(*model_, j).c_str());
      auto rec = std::make_unique<base::IisRecord>();
      if (bounds_in) {
        rec->cols.push_back(j);
        rec->bound_type.push_back(0);
      }
      rec->method = s_.method;
      rec->norm = s_.norm;
      rec->level = s_.level;
      rec->sfilter = s_.sfilter;
      rec->bounds_analysed = bounds_in;
      model_->iis = std::move(rec);
      final_block(false);
      return 0;
    }
  OracleSettings os;
  os.norm = s_.norm;
  os.topopt = model_->params.integer(TV_IPARAM_IIS_TOPOPT);
  os.reopt = model_->params.integer(TV_IPARAM_IIS_REOPT);
  os.feas_tol = model_->params.dbl(s_.type == ModelType::kNlp ? TV_DPARAM_NLP_FEASTOL : TV_DPARAM_SOLVER_FEASTOL);
  os.int_tol = model_->params.dbl(TV_DPARAM_MIP_INTTOL);
  lp_.build(cand_, os);
  if (log(4))
    lp_.observe([this](int id, MemberState st) {
      if (lp_.kind(id) != MemberKind::kRow || st == MemberState::kHard) return;
      base::log_model(model_, 1, st == MemberState::kOff ? "\nDisabling row %d [%s]" : "\nEnabling row %d [%s]", id,
                      row_name(*model_, id).c_str());
    });
  for (int id = 0; id < lp_.members(); ++id)
    if (!lp_.exists(id)) cand_[id] = 0;
  // An LP solved before starts from its basis.
  if (!s_.integer && model_->solution)
    lp_.warm_start(model_->solution->colbasis, model_->solution->rowbasis);

  const base::ModelClass &k = base::model_class(model_);
  // Indicator rows are relaxed away with the rest: the LP never sees them.
  const bool dropped_structures = k.sets || k.semicont || !d.alldiff.start.empty() || !d.indicators.row.empty();
  const char *cont = s_.integer ? "integer" : "continuous";
  if (dropped_structures) {
    base::log_model(model_, log(1), "\nWarning: IIS finder does not support models with SOS/CARD/SC/ALLDIFF.");
    base::log_model(model_, log(1), "\nWarning: Dropping all SOS/CARD/SC/ALLDIFF from the model temporarily.");
    base::log_model(model_, log(1), "\nWarning: Reoptimizing %s model without SOS/CARD/SC/ALLDIFF...", cont);
  }
  if (s_.integer && !ints_in) {
    base::log_model(model_, log(1), "\nIntegrality restrictions are temporarily dropped.");
    base::log_model(model_, log(1), "\nResolving and analyzing as a continuous model.");
    for (int j = 0; j < n; ++j)
      if (lp_.exists(lp_.int_id(j))) lp_.set_state(lp_.int_id(j), MemberState::kOff);
  }
  base::log_model(model_, log(1), "\nOptimizing original model with presolver off...");
  Verdict first = lp_.test();
  if (first == Verdict::kStop) {
    install_record(lp_.stop_code(), false);
    final_block(true);
    return lp_.stop_code();
  }
  if (dropped_structures) {
    if (first == Verdict::kInfeasible) {
      base::log_model(model_, log(1), "\nRelaxed model is infeasible (status = %d) ", verdict_status(first));
      base::log_model(model_, log(1), "\nIsolating an IIS for relaxed model (SOS/CARD/SC/ALLDIFF dropped)");
    } else {
      base::log_model(model_, log(1), "\nThe relaxed model is not infeasible (status = %d) ", verdict_status(first));
      base::log_model(model_, log(1), "\nWarning: SOS/CARD/SC are the cause of infeasibility");
      base::log_model(model_, log(1), "\nWarning: SOS/CARD/SC have been restored");
      install_record(0, false);
      return 0;
    }
  }
  if (s_.integer && !ints_in) {
    if (first == Verdict::kInfeasible) {
      base::log_model(model_, log(1), "\nContinuous model is infeasible (status = %d) ", verdict_status(first));
    } else {
      base::log_model(model_, log(1), "\nContinuous model is not infeasible (status = %d) ", verdict_status(first));
      base::log_model(model_, log(1), "\nContinuing analysis with original model");
      for (int j = 0; j < n; ++j)
        if (lp_.exists(lp_.int_id(j))) lp_.set_state(lp_.int_id(j), MemberState::kOn);
    }
  }
  const bool mip_oracle = lp_.integer_active();
  if (mip_oracle || s_.type == ModelType::kNlp) {
    if (s_.sfilter != 0) base::log_model(model_, log(1), "\nDisabled sensitivity filter...\n");
    s_.sfilter = 0;
  } else if (s_.sfilter < 0) {
    s_.sfilter = 1;
  }
  if ((s_.level & kBitInts) && !s_.integer)
    base::log_model(model_, log(1), "\nWarning: Model is continuous, integrality analysis is disabled...");
  if (s_.gop) base::log_model(model_, log(1), "\nEnabled GOP solver...\n");

  // Header and sizes.
  int nint = 0;
  for (int j = 0; j < n; ++j) nint += lp_.exists(lp_.int_id(j));
  base::log_model(model_, log(1),
                  "\n\n\nIIS finder version ..........: %s\nSensitivity filter ..........: %d\n"
                  "Analysis level ..............: %d\nPrint level .................: %d\n"
                  "Infeasibility norm ..........: %s\nAnalysis method .............: %s\n",
                  "9.0.16", s_.sfilter, s_.level, s_.print, norm_title(s_.norm), method_title(s_.method));
  base::log_model(model_, log(1), "\nOri. size (m, n, nz, nint ): %6d, %6d, %8d, %6d", m, n, d.nz, nint);
  base::log_model(model_, log(1), "\nAug. size (m, n, nz, nint ): %6d, %6d, %8d, %6d \n", lp_.aug_rows(),
                  lp_.aug_cols(), lp_.aug_nonzeros(), nint);

  if (s_.level & (kBitTriangular | kBitNonzeros)) {
    base::log_model(model_, log(1), "\nSetting row priorities for IIS analysis");
    base::log_model(model_, log(1), "\nSetting column priorities for IIS analysis");
  }
  if (s_.level & kBitBlocks) {
    if (int code = focus_block()) {
      install_record(code);
      final_block(true);
      return code;
    }
  }

  base::log_model(model_, log(1), "\nReoptimizing augmented model...\n");
  const Verdict aug = lp_.test();
  int code = aug == Verdict::kStop ? lp_.stop_code() : 0;
  if (code && first != Verdict::kInfeasible) {
    // Nothing is known to be infeasible yet.
    install_record(code, false);
    final_block(true);
    return code;
  }
  if (aug == Verdict::kFeasible) {
    base::log_model(model_, log(1), "\nAugmented model is not infeasible (status = %d.) ", verdict_status(aug));
    install_record(0, false);
    return 0;
  }
  if (!code && s_.sfilter == 1) {
    FilterEnv env{lp_, true};
    env.trace = [this](FilterEvent e, int id) { trace(e, id); };
    std::vector<int> all;
    for (int id = 0; id < lp_.members(); ++id)
      if (cand_[id] && lp_.state(id) != MemberState::kOff) all.push_back(id);
    code = sensitivity_filter(env, all);
  }

  auto run_phase = [&](int bit, const char *search, MemberKind kind, std::vector<int> &nec) {
    if (code || !(s_.level & bit)) return false;
    base::log_model(model_, log(1), "%s", search);
    std::vector<int> ids = candidates(kind);
    if (kind == MemberKind::kLower) {
      std::vector<int> up = candidates(MemberKind::kUpper);
      ids.insert(ids.end(), up.begin(), up.end());
    }
    code = phase(ids, nec);
    return true;
  };
  if (run_phase(kBitNecRows, "\n\nSearching for necessary constraints.\n", MemberKind::kRow, nec_rows_)) {
    if (nec_rows_.empty())
      base::log_model(model_, log(1), "\n\nNo IIS contraints were found.\n");
    else
      base::log_model(model_, log(1), "\n\nIsolated %d IIS constraints.\n", static_cast<int>(nec_rows_.size()));
  }
  if (run_phase(kBitNecBounds, "\n\nSearching for necessary variable bounds.\n", MemberKind::kLower, nec_bounds_)) {
    if (nec_bounds_.empty())
      base::log_model(model_, log(1), "\n\nNo IIS %s were found.\n", "variable bounds");
    else
      base::log_model(model_, log(1), "\n\nIsolated %d IIS %s.\n", static_cast<int>(nec_bounds_.size()),
                      "variable bounds");
  }
  if (ints_in && run_phase(kBitInts, "\n\nSearching for necessary integrality restrictions.\n", MemberKind::kInt,
                           nec_ints_)) {
    const char *what = "variables with integrality restrictions";
    if (nec_ints_.empty())
      base::log_model(model_, log(1), "\n\nNo IIS %s were found.\n", what);
    else
      base::log_model(model_, log(1), "\n\nIsolated %d IIS %s.\n", static_cast<int>(nec_ints_.size()), what);
  }
  install_record(code);
  const base::IisRecord &r = *model_->iis;
  if (s_.level & kBitSufRows) {
    base::log_model(model_, log(1), "\n\nSearching for sufficient constraints.\n");
    if (r.suf_rows == 0)
      base::log_model(model_, log(1), "\n\nNo sufficient constraints were found.\n");
    else
      base::log_model(model_, log(1), "\n\nIsolated %d sufficient constraints in the IIS.\n", r.suf_rows);
  }
  if (s_.level & kBitSufBounds) {
    base::log_model(model_, log(1), "\n\nSearching for sufficient variable bounds.\n");
    if (r.suf_cols == 0)
      base::log_model(model_, log(1), "\n\nNo sufficient %s were found.\n", "variable bounds");
    else
      base::log_model(model_, log(1), "\n\nIsolated %d sufficient %s in the IIS.\n", r.suf_cols, "variable bounds");
    if (ints_in) base::log_model(model_, log(1), "\n\nSearching for sufficient integrality restrictions.\n");
  }
  final_block(code != 0);
  // Bit 256: a limit ends the run as an intractable but valid (partial) answer.
  const bool limit = code == err::kIterationLimit || code == err::kTimeLimit || code == err::kBranchLimit;
  if (limit && (s_.level & kBitIntractable)) return 0;
  return code;
}

int find_iis(base::Model *model, int nLevel) {
  if (model->status == TV_STATUS_UNLOADED) return err::kNotLoaded;
  model->iis.reset();
  Settings s;
  const base::ParamValues &p = model->params;
  s.level = nLevel >= 1 ? nLevel : p.integer(TV_IPARAM_IIS_ANALYZE_LEVEL);
  s.method = p.integer(TV_IPARAM_IIS_METHOD);
  s.norm = p.integer(TV_IPARAM_IIS_INFEAS_NORM);
  s.print = p.integer(TV_IPARAM_IIS_PRINT_LEVEL);
  s.sfilter = p.integer(TV_IPARAM_IIS_USE_SFILTER);
  s.efilter = p.integer(TV_IPARAM_IIS_USE_EFILTER) != 0;
  s.gop = p.integer(TV_IPARAM_IIS_USE_GOP) != 0;
  s.type = classify(model);
  s.integer = s.type == ModelType::kMip || (base::model_class(model).integer);
  bool defaulted = false;
  if (int code = settle_rules(model, s, &defaulted)) return code;
  if (s.type == ModelType::kQcp || s.type == ModelType::kSocp || s.type == ModelType::kNlp) {
    // Quadratic, conic and nonlinear rows need a nonlinear subproblem solver.
    base::log_model(model, s.print >= 1, "\nUnknown model type.\n");
    return err::kNotSupported;
  }
  if (defaulted && s.print > 1 && s.integer)
    base::log_model(model, 1, "\nDefaulted to %s for MIP...\n", norm_label(s.norm));
  if (s.type == ModelType::kQp && base::model_class(model).quadratic && model->data.qc.not_convex) {
    base::log_model(model, s.print >= 1, "\nWarning: Model is nonconvex, sensitivity filter will be disabled...");
    s.sfilter = 0;
  }
  base::ProgressScope scope(model, TVLOC_IIS);
  IisRun run(model, s);
  return run.run();
}

}  // namespace
}  // namespace tarvo::analysis

extern "C" {

TVAPI int TVfindIIS(pTVmodel model, int nLevel) {
  if (!tarvo::base::live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return tarvo::analysis::find_iis(model, nLevel); });
}

}  // extern "C"
