// Stall and cycling watch shared by the simplex methods: a progress measure
// that should keep improving (the dual objective, the primal objective or sum
// of infeasibilities) is sampled every few pivots; when it has not improved
// for a stretch, the run must change something: first a fresh perturbation,
// then a hand-over to the other method.
#pragma once

#include <algorithm>
#include <cmath>

#include "simplex/glp.hpp"

namespace tarvo::simplex {

class StallWatch {
 public:
  enum Verdict { kGoOn, kPerturb, kGiveUp };

  explicit StallWatch(const Glp &g)
      : since_(g.iterations),
        next_(g.iterations),
        window_(std::max(1000, 2 * g.m)),
        sample_every_(std::max(kSampleEvery, window_ / kSamplesPerWindow)) {}

  // True when the measure should be sampled at this iteration count.
  bool due(double iterations) const { return iterations >= next_; }

  // Records `value` (larger is better) and says what the run must do.
  Verdict observe(double iterations, double value) {
    next_ = iterations + sample_every_;
    last_ = iterations;
    if (!measured_ || value > best_ + 1e-9 * (1.0 + std::fabs(best_))) {
      best_ = value;
      measured_ = true;
      since_ = iterations;
      return kGoOn;
    }
    ++worse_;
    if (iterations - since_ < window_) return kGoOn;
    reset(iterations);  // the answer changes the measure: start afresh
    return ++actions_ == 1 ? kPerturb : kGiveUp;
  }

  // Pivots since the measure last improved, and samples that did not improve it.
  int idle_iterations() const { return static_cast<int>(last_ - since_); }
  int worse() const { return worse_; }

  // The measure changed its meaning (a phase change): forget the samples.
  void reset(double iterations) {
    measured_ = false;
    since_ = iterations;
  }

 private:
  // The measure is a pass over all columns: on large models the samples
  // are spaced by the window (a hundred per window), else every 50 pivots.
  static constexpr double kSampleEvery = 50;
  static constexpr double kSamplesPerWindow = 100;
  double best_ = 0;
  bool measured_ = false;
  double since_, next_, last_ = 0;
  int worse_ = 0;
  int window_;
  double sample_every_;
  int actions_ = 0;
};

}  // namespace tarvo::simplex
