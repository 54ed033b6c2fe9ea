// Watches what the dual steepest-edge update costs: its extra solve,
// tau = B^-1 rho, against the pivot column's. When tau stays dense for long
// (it then costs as much as the column solve or more) Devex, which needs no
// extra solve, does the iterations for far less.
#pragma once

#include <algorithm>

namespace tarvo::simplex {

class CostlyEdgeWatch {
 public:
  CostlyEdgeWatch(int m, int n) : min_iterations_(std::max(1000, (m + n) / 10)) {}

  // Densities (0..1) of this iteration's tau (0 when none was needed) and
  // pivot column, and the factors' nonzeros over the matrix's; true once
  // steepest edge has been costly for long enough.
  bool costly(double iterations, double tau_density, double col_density, double factor_to_matrix) {
    tau_ = kDecay * tau_ + (1.0 - kDecay) * tau_density;
    col_ = kDecay * col_ + (1.0 - kDecay) * col_density;
    if (++seen_ < kWindow) return false;
    seen_ = 0;
    // both solves full: tau is a third of the solve work and Devex's extra
    // pivots cost less than that; with a sparser column they cost more
    // and a dense solve costs more than the pivot row: with lighter factors
    // (fit2p) pricing dominates and Devex's extra pivots cost more than tau
    const bool dense = tau_ > kDense && col_ > kDense && factor_to_matrix > 1.0;
    run_ = dense ? run_ + 1 : 0;
    return run_ >= kWindows && iterations >= min_iterations_;
  }
  double tau_density() const { return tau_; }
  double col_density() const { return col_; }

 private:
  static constexpr double kDecay = 0.99;     // about the last hundred iterations
  static constexpr double kDense = 0.85;     // share of the rows the solves fill
  static constexpr int kWindow = 100;        // iterations between judgements
  static constexpr int kWindows = 5;         // judgements in a row that say costly
  double min_iterations_;
  double tau_ = 0.0, col_ = 0.0;
  int seen_ = 0, run_ = 0;
};

}  // namespace tarvo::simplex
