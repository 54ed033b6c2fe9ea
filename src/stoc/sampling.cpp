// Drawing the points of a sample: Monte Carlo, Latin hypercube, antithetic
// pairs and both combined, and samples computed by a user function from
// argument samples. Points are built aside and installed only on success.
#include <cmath>
#include <vector>

#include "common/error_codes.hpp"
#include "stoc/generator.hpp"
#include "stoc/sample.hpp"

namespace tarvo::stoc {
namespace {

constexpr int kMonteCarlo = 0;
constexpr int kLatinSquare = 1;
constexpr int kAntithetic = 2;
constexpr int kLatinAntithetic = 3;
// Nesting of user-function samples (argument samples of argument samples).
constexpr int kMaxArgDepth = 64;

// pi(1..n) as a 0-based array of values 1..n: a uniform shuffle drawn with
// the generator's integer draw between i and n.
std::vector<int> latin_permutation(Generator &g, int n) {
  std::vector<int> pi(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) pi[i] = i + 1;
  for (int i = 1; i <= n; ++i) {
    int j = draw_integer(g, i, n);
    std::swap(pi[i - 1], pi[j - 1]);
  }
  return pi;
}

// The value a point contributes to the running maximum.
double magnitude(const Sample &s, double point) {
  if (is_table_type(s.type) && s.table_values_loaded) {
    auto k = static_cast<std::size_t>(point);
    if (k < s.table_values.size()) return std::fabs(s.table_values[k]);
  }
  return std::fabs(point);
}

int draw_points(Sample &s, Generator &g, int method, int n, std::vector<double> &out) {
  auto inverse = [&](double u, double *x) { return eval_sample(s, kInverse, u, x); };
  const double dn = n;
  std::vector<int> pi;
  if (method == kLatinSquare || method == kLatinAntithetic) pi = latin_permutation(g, n);
  for (int i = 0; i < n;) {
    const double u = draw_uniform(g);
    const bool paired = (method == kAntithetic || method == kLatinAntithetic) && i + 1 < n;
    double a = u, b = 1.0 - u;
    if (!pi.empty()) {
      a = (pi[i] - 1 + u) / dn;
      if (paired) b = (pi[i + 1] - 1 + (1.0 - u)) / dn;
    }
    if (int code = inverse(a, &out[i]); code != 0) return code;
    if (paired)
      if (int code = inverse(b, &out[i + 1]); code != 0) return code;
    i += paired ? 2 : 1;
  }
  return 0;
}

int generate(Sample &s, int method, int size, int depth);

int generate_from_args(Sample &s, int method, int size, int depth, std::vector<double> &out) {
  if (!s.user) return err::kNoUserDistr;
  if (depth > kMaxArgDepth) return err::kBadInput;
  for (Sample *a : s.args) {
    a->rg = s.rg;
    if (int code = generate(*a, method, size, depth + 1); code != 0) return code;
  }
  std::vector<double> row(s.args.size());
  for (int i = 0; i < size; ++i) {
    for (std::size_t k = 0; k < s.args.size(); ++k) row[k] = s.args[k]->points[static_cast<std::size_t>(i)];
    if (int code = call_user(s, kUserFunc, row.data(), static_cast<int>(row.size()), &out[i]); code != 0)
      return code;
  }
  return 0;
}

int generate(Sample &s, int method, int size, int depth) {
  if (!s.rg || !generator_alive(s.rg)) return err::kNoGenerator;
  if (s.rg->init_seed < 1) return err::kSeedNotSet;
  if (method < kMonteCarlo || method > kLatinAntithetic) return err::kBadStocMethod;
  if (size < 1) return err::kBadSampleSize;
  if (s.keep_points && !s.points.empty() && static_cast<int>(s.points.size()) == size) return 0;
  std::vector<double> out(static_cast<std::size_t>(size));
  int code = s.args.empty() ? draw_points(s, *s.rg, method, size, out)
                            : generate_from_args(s, method, size, depth, out);
  if (code != 0) return code;
  for (double x : out) s.running_max = std::max(s.running_max, magnitude(s, x));
  s.points.swap(out);
  s.method = method;
  s.ci_points.clear();  // no longer match the points
  return 0;
}

}  // namespace

int generate_sample(Sample &s, int method, int size) { return generate(s, method, size, 0); }

}  // namespace tarvo::stoc
