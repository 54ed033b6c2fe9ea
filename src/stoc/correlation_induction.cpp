// Correlation induction after Iman and Conover: van der Waerden scores are
// shuffled into independent columns, their sample correlation T = Q Q^T is
// replaced by the target C = P P^T through the map P Q^-1, and each sample's
// sorted points are laid out in the rank order of its transformed column.
// The points themselves are unchanged, only their pairing across samples.
#include "stoc/correlation_induction.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "common/error_codes.hpp"
#include "stoc/correlation_measures.hpp"
#include "stoc/generator.hpp"
#include "stoc/probability_functions.hpp"

namespace tarvo::stoc {
namespace {

int check_samples(Sample *const *samples, int n, std::size_t *size) {
  if (!samples) return err::kNullArgument;
  if (n < 1) return err::kBadInput;
  for (int k = 0; k < n; ++k)
    if (!samples[k]) return err::kNullArgument;
  for (int k = 0; k < n; ++k)
    if (samples[k]->points.empty()) return err::kNoSamplePoints;
  *size = samples[0]->points.size();
  for (int k = 1; k < n; ++k)
    if (samples[k]->points.size() != *size) return err::kBadInput;
  for (int k = 0; k < n; ++k)
    for (int j = 0; j < k; ++j)
      if (samples[j] == samples[k]) return err::kBadInput;
  return 0;
}

// Draws for the score shuffles: the first sample's generator when it is
// usable, else a fixed twister stream so the result is still reproducible.
struct ShuffleSource {
  Generator *g = nullptr;
  TwisterState fallback;
  int below(int n) {  // uniform in 0..n-1
    if (g) return draw_integer(*g, 0, n - 1);
    double u = twister_next(fallback) * kTwisterScale;
    return std::min(static_cast<int>(u * n), n - 1);
  }
};

}  // namespace

int induce_correlation(Sample *const *samples, int n, const Target &target, const NcmOptions &opt) {
  std::size_t size = 0;
  if (int code = check_samples(samples, n, &size); code != 0) return code;
  if (target.type < 0 || target.type > 2) return err::kBadCorrelationType;
  if (static_cast<std::size_t>(n) > size) return err::kBadInput;
  if (target.count < 0) return err::kBadInput;
  if (target.count > 0 && (!target.rows || !target.cols || !target.values)) return err::kNullArgument;

  Matrix c(static_cast<std::size_t>(n) * n, 0.0);
  for (int i = 0; i < n; ++i) c[i * n + i] = 1.0;
  auto record = std::make_shared<CorrelationRecord>();
  record->type = target.type;
  for (int k = 0; k < target.count; ++k) {
    int i = target.rows[k], j = target.cols[k];
    double v = target.values[k];
    if (i < 0 || i >= n || j < 0 || j >= n) return err::kIndexOutOfRange;
    if (!(v >= -1 && v <= 1)) return err::kBadInput;
    if (i == j) {
      if (v != 1) return err::kBadInput;
      continue;
    }
    if (i < j) std::swap(i, j);
    c[i * n + j] = c[j * n + i] = to_pearson(target.type, v);
    record->rows.push_back(i);
    record->cols.push_back(j);
    record->values.push_back(v);
  }
  if (!repair_correlation(c, n, opt)) return err::kBadInput;
  Matrix p;
  if (!cholesky_lower(c, n, p)) return err::kBadInput;

  // Score columns: independent shuffles of the van der Waerden scores.
  const std::size_t N = size;
  std::vector<double> scores(N);
  for (std::size_t i = 0; i < N; ++i) scores[i] = sf::normal_quantile((i + 1.0) / (N + 1.0));
  ShuffleSource source;
  if (samples[0]->rg && generator_alive(samples[0]->rg)) source.g = samples[0]->rg;
  twister_seed(source.fallback, kTwisterDefaultSeed);
  std::vector<std::vector<double>> r(static_cast<std::size_t>(n), scores);
  for (int k = 1; k < n; ++k) {
    auto &col = r[static_cast<std::size_t>(k)];
    for (std::size_t i = N - 1; i > 0; --i) {
      auto j = static_cast<std::size_t>(source.below(static_cast<int>(i + 1)));
      std::swap(col[i], col[j]);
    }
  }
  // T = Q Q^T of the scores; S = P Q^-1 maps them onto the target.
  Matrix t(static_cast<std::size_t>(n) * n, 0.0), q;
  for (int i = 0; i < n; ++i)
    for (int j = 0; j <= i; ++j) t[i * n + j] = t[j * n + i] = i == j ? 1.0 : pearson(r[i], r[j]);
  Matrix s = p;
  if (cholesky_lower(t, n, q)) {
    // Solve S Q = P row by row: Q is lower triangular.
    for (int i = 0; i < n; ++i)
      for (int j = n - 1; j >= 0; --j) {
        double v = p[i * n + j];
        for (int k = j + 1; k < n; ++k) v -= s[i * n + k] * q[k * n + j];
        s[i * n + j] = v / q[j * n + j];
      }
  }
  // Column k of R S^T, then the k-th sample's sorted points in its rank order.
  std::vector<double> column(N), sorted;
  std::vector<std::size_t> order(N);
  std::vector<std::vector<double>> induced(static_cast<std::size_t>(n));
  for (int k = 0; k < n; ++k) {
    for (std::size_t i = 0; i < N; ++i) {
      double v = 0;
      for (int j = 0; j <= k; ++j) v += r[j][i] * s[k * n + j];
      column[i] = v;
    }
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return column[a] < column[b]; });
    sorted = samples[k]->points;
    std::sort(sorted.begin(), sorted.end());
    auto &out = induced[static_cast<std::size_t>(k)];
    out.resize(N);
    for (std::size_t rank = 0; rank < N; ++rank) out[order[rank]] = sorted[rank];
  }
  record->pearson = c;
  for (int k = 0; k < n; ++k) record->members.push_back(samples[k]);
  for (int k = 0; k < n; ++k) {
    samples[k]->ci_points.swap(induced[static_cast<std::size_t>(k)]);
    samples[k]->correlation = record;
  }
  return 0;
}

namespace {

const std::vector<double> *points_of(const Sample *s, bool induced) {
  return induced ? &s->ci_points : &s->points;
}

}  // namespace

int correlation_matrix(Sample *const *samples, int n, bool induced, int type, int *count, int *rows,
                       int *cols, double *values) {
  std::size_t size = 0;
  if (int code = check_samples(samples, n, &size); code != 0) return code;
  if (type < -1 || type > 2) return err::kBadCorrelationType;
  const CorrelationRecord *record = samples[0]->correlation.get();
  if (induced || type == -1) {
    for (int k = 0; k < n; ++k)
      if (samples[k]->ci_points.size() != size || samples[k]->correlation.get() != record || !record)
        return err::kNoCorrelation;
    if (record->members.size() != static_cast<std::size_t>(n)) return err::kNoCorrelation;
    for (int k = 0; k < n; ++k)
      if (record->members[k] != samples[k]) return err::kNoCorrelation;
  }
  int written = 0;
  for (int j = 0; j < n; ++j)
    for (int i = j + 1; i < n; ++i, ++written) {
      if (rows) rows[written] = i;
      if (cols) cols[written] = j;
      if (values)
        values[written] = type == -1 ? record->pearson[i * n + j]
                                     : correlation(type, *points_of(samples[i], induced), *points_of(samples[j], induced));
    }
  if (count) *count = written;
  return 0;
}

int correlation_difference(Sample *const *samples, int n, int measure, double *difference) {
  std::size_t size = 0;
  if (!difference) return err::kNullArgument;
  *difference = 0;
  if (int code = check_samples(samples, n, &size); code != 0) return code;
  if (measure < 0 || measure > 2) return err::kBadInput;
  const CorrelationRecord *record = samples[0]->correlation.get();
  if (!record || record->members.size() != static_cast<std::size_t>(n)) return err::kNoCorrelation;
  for (int k = 0; k < n; ++k)
    if (record->members[k] != samples[k] || samples[k]->ci_points.size() != size) return err::kNoCorrelation;
  double worst = 0, squares = 0, total = 0;
  const std::size_t m = record->values.size();
  for (std::size_t e = 0; e < m; ++e) {
    double achieved =
        correlation(record->type, samples[record->rows[e]]->ci_points, samples[record->cols[e]]->ci_points);
    double d = std::fabs(achieved - record->values[e]);
    worst = std::max(worst, d);
    squares += d * d;
    total += d;
  }
  *difference = measure == 0 ? worst : (measure == 1 ? std::sqrt(squares) : (m ? total / m : 0.0));
  return 0;
}

}  // namespace tarvo::stoc
