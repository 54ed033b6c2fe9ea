// Inducing a target rank correlation among samples by re-ordering their
// points (Iman-Conover), and reading back the achieved correlation.
#pragma once

#include "stoc/nearest_correlation.hpp"
#include "stoc/sample.hpp"

namespace tarvo::stoc {

struct Target {
  int type = 0;
  int count = 0;
  const int *rows = nullptr;
  const int *cols = nullptr;
  const double *values = nullptr;
};

int induce_correlation(Sample *const *samples, int n, const Target &target, const NcmOptions &opt);
// Strict lower triangle, column by column. type -1 returns the Pearson
// matrix that was induced (after repair).
int correlation_matrix(Sample *const *samples, int n, bool induced, int type, int *count, int *rows,
                       int *cols, double *values);
int correlation_difference(Sample *const *samples, int n, int measure, double *difference);

}  // namespace tarvo::stoc
