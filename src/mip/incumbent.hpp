// The incumbent: the best integer solution found so far, the check every
// candidate passes against the problem, and the notice to the tree (log line,
// callbacks) when it improves.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "mip/mip_context.hpp"

namespace tarvo::mip {

// True when x satisfies bounds and rows within feas_tol (relative to the
// size of the bound) and integrality within int_tol.
bool point_feasible(const MipProblem &p, const std::vector<double> &x, double int_tol, double feas_tol);

class Incumbent : public SolutionSink {
  void keep(double obj, const std::vector<double> &x);

 public:
  Incumbent(const MipProblem &p, double int_tol, double feas_tol);
  bool submit(const std::vector<double> &x, const char *tag) override;
  bool has_incumbent() const override { return !x_.empty(); }
  double incumbent_objective() const override { return x_.empty() ? 1e30 : obj_; }
  const std::vector<double> &incumbent() const override { return x_; }
  int solutions() const { return count_; }
  // The solution store keeps the best `capacity` distinct feasible solutions
  // submitted (improving or not), best first; 0 keeps none.
  void set_store_capacity(int capacity) { capacity_ = capacity < 0 ? 0 : capacity; }
  int stored_count() const override { return static_cast<int>(store_.size()); }
  const std::vector<double> &stored(int k) const override { return store_[k].second; }
  double stored_objective(int k) const { return store_[k].first; }
  // Solutions must be strictly better than this value (a user cutoff).
  void set_threshold(double value) { threshold_ = value; }
  double threshold() const override { return threshold_; }
  const std::string &last_tag() const { return tag_; }
  // Whether the last submitted point passed the feasibility checks (a point
  // can be feasible and still refused as no better than the incumbent or cutoff).
  bool last_point_feasible() const { return last_feasible_; }
  // Called after every improvement (the tree logs it and polls the host).
  void on_improve(std::function<void(const char *tag)> f) { notify_ = std::move(f); }

 private:
  const MipProblem &p_;
  double int_tol_, feas_tol_;
  std::vector<double> x_;
  double obj_ = 1e30;
  double threshold_ = 1e30;
  int count_ = 0;
  bool last_feasible_ = false;
  int capacity_ = 10;
  std::vector<std::pair<double, std::vector<double>>> store_;
  std::string tag_;
  std::function<void(const char *)> notify_;
};

}  // namespace tarvo::mip
