// The working model of the IIS analysis: the model's rows and bounds in one
// LP loaded once, each candidate switchable off, on (elastic where the norm
// gives it elastic variables) or hard, and an oracle that says whether the
// switched-on part is infeasible. While integrality restrictions take part,
// the integer solver decides (mip_oracle.hpp).
#pragma once

#include <functional>
#include <vector>

#include "analysis/mip_oracle.hpp"
#include "analysis/run_budget.hpp"
#include "simplex/lp_solver.hpp"

namespace tarvo::analysis {

// Members are numbered: rows 0..m-1, lower bounds m..m+n-1, upper bounds
// m+n..m+2n-1, integrality restrictions m+2n..m+3n-1.
enum class MemberKind { kRow, kLower, kUpper, kInt };

enum class MemberState : char { kOff, kOn, kHard };

enum class Verdict { kInfeasible, kFeasible, kStop };

struct OracleSettings {
  int norm = 1;             // 1..4, as TV_IPARAM_IIS_INFEAS_NORM
  int topopt = 0, reopt = 0;  // method codes of the first and later solves
  double feas_tol = 1e-7;   // violation threshold of the elastic objective
  double int_tol = 1e-6;
  double max_nodes = 20000;  // branches of the integer solver per integer test
};

class ElasticLp {
 public:
  ElasticLp(base::Model *model, RunBudget &budget) : model_(model), budget_(budget), mip_(model, budget) {}

  // candidate: one flag per member; members that are not candidates stay hard.
  // Every member starts switched on.
  void build(const std::vector<char> &candidate, const OracleSettings &settings);

  // Starts from the model's basis (TV_BASTYPE statuses): the elastic columns
  // start at zero. False when the basis does not fit.
  bool warm_start(const std::vector<int> &colbasis, const std::vector<int> &rowbasis);

  int rows() const { return m_; }
  int cols() const { return n_; }
  int members() const { return m_ + 3 * n_; }
  MemberKind kind(int id) const;
  int index(int id) const;
  // The member exists: a constraint row, a finite bound, an integer column.
  bool exists(int id) const;
  int lower_id(int j) const { return m_ + j; }
  int upper_id(int j) const { return m_ + n_ + j; }
  int int_id(int j) const { return m_ + 2 * n_ + j; }

  void set_state(int id, MemberState s);
  // Told of every switch (for the detailed log).
  void observe(std::function<void(int, MemberState)> f) { observer_ = std::move(f); }
  MemberState state(int id) const { return state_[id]; }

  // Solves the switched-on part; kStop leaves the reason in stop_code().
  Verdict test();
  int stop_code() const { return stop_code_; }
  double violation() const { return z_; }

  // Sensitivity of the last test: false only when the member provably does
  // not take part in the infeasibility the last solve measured.
  bool sensitivity_known() const { return sens_known_; }
  // After a test that found the hard part infeasible: one more solve with
  // every switched-on candidate elastic, for sensitivities. False when none
  // can be had (integer tests, or nothing to open).
  bool certify();
  bool matters(int id) const;
  // The last test found a feasible point; satisfied() checks a member at it.
  bool has_point() const { return point_known_; }
  // The last infeasible test violated the member (its elastic part is positive).
  bool stretched(int id) const;
  bool satisfied(int id) const;

  // Sizes of the augmented model (for the header).
  int aug_rows() const { return lp_.rows(); }
  int aug_cols() const { return lp_.cols(); }
  int aug_nonzeros() const { return aug_nz_; }
  bool integer_active() const;

 private:
  void apply(int id);
  Verdict solve_lp();
  Verdict solve_mip();
  double row_activity(int i, const std::vector<double> &x) const;

  base::Model *model_;
  RunBudget &budget_;
  MipOracle mip_;
  OracleSettings set_;
  simplex::LpSolver lp_;
  int m_ = 0, n_ = 0, aug_nz_ = 0;
  std::vector<double> row_lo_, row_up_, col_lo_, col_up_;
  std::vector<MemberState> state_;
  std::function<void(int, MemberState)> observer_;
  std::vector<int> elastic_a_, elastic_b_;  // elastic columns per member, -1 none
  std::vector<char> shadow_;                // elastic columns the norm leaves at zero
  std::vector<char> is_int_;
  // row-wise copy of the original matrix for point checks
  std::vector<int> rstart_, rindex_;
  std::vector<double> rvalue_;
  bool first_ = true, relaxed_only_ = false;
  int stop_code_ = 0;
  double z_ = 0;
  bool sens_known_ = false, point_known_ = false;
  std::vector<double> x_, dual_, redcost_;
};

}  // namespace tarvo::analysis
