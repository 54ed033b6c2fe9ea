// Benchmark of the sparse LU kernel on random LP-like bases (10^4 to 10^5
// rows): factorisation, FTRAN/BTRAN of sparse columns, and a run of
// Forrest-Tomlin updates. Prints one line per basis; times are process CPU
// time, which is steadier than wall clock on a shared machine.
//
// Build: g++ -O2 -std=c++20 -I src bench/lu_kernel.cpp src/xlu/*.cpp -o lu_kernel
#include <algorithm>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "xlu/xlu.hpp"

namespace {

struct Clock {
  using time_point = std::clock_t;
  static time_point now() { return std::clock(); }
};

double seconds_since(Clock::time_point t0) {
  return static_cast<double>(std::clock() - t0) / CLOCKS_PER_SEC;
}

struct Csc {
  int m = 0;
  std::vector<int> begin, end, index;
  std::vector<double> value;
};

// Slack columns for a share of the rows, short structural columns elsewhere,
// each with one entry in a row of its own so that the basis is regular.
Csc lp_basis(int m, double slack_share, int col_len, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> val(-1.0, 1.0);
  std::uniform_int_distribution<int> row(0, m - 1);
  std::vector<int> perm(m), order(m);
  for (int i = 0; i < m; ++i) perm[i] = order[i] = i;
  std::shuffle(perm.begin(), perm.end(), rng);
  std::shuffle(order.begin(), order.end(), rng);
  std::vector<std::vector<std::pair<int, double>>> cols(m);
  const int nslack = static_cast<int>(slack_share * m);
  for (int k = 0; k < m; ++k) {
    auto& c = cols[order[k]];
    if (k < nslack) {
      c.push_back({perm[k], 1.0});
      continue;
    }
    std::vector<int> rows{perm[k]};
    for (int t = 1; t < col_len; ++t) rows.push_back(row(rng));
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int i : rows) c.push_back({i, i == perm[k] ? 2.0 + val(rng) : val(rng)});
  }
  Csc B;
  B.m = m;
  for (int j = 0; j < m; ++j) {
    B.begin.push_back(static_cast<int>(B.index.size()));
    for (auto& e : cols[j]) {
      B.index.push_back(e.first);
      B.value.push_back(e.second);
    }
    B.end.push_back(static_cast<int>(B.index.size()));
  }
  return B;
}

void run(int m, double slack_share, int col_len, unsigned seed) {
  Csc B = lp_basis(m, slack_share, col_len, seed);
  tarvo::xlu::Factor f(m, m, static_cast<std::int64_t>(B.index.size()), 200);
  tarvo::xlu::Options o;
  o.max_updates = 200;
  f.set_options(o);

  auto t0 = Clock::now();
  const int rc = f.factorize(B.begin.data(), B.end.data(), B.index.data(), B.value.data());
  const double tfact = seconds_since(t0);
  const auto info = f.info();

  std::mt19937 rng(seed + 1);
  std::uniform_int_distribution<int> row(0, m - 1);
  std::uniform_real_distribution<double> val(-1.0, 1.0);
  tarvo::xlu::Vector v(m);
  const int nsolve = 1000;
  t0 = Clock::now();
  std::int64_t ftran_nz = 0;
  for (int s = 0; s < nsolve; ++s) {
    v.clear();
    for (int k = 0; k < col_len; ++k) {
      const int i = row(rng);
      if (v.array[i] == 0.0) v.index[v.count++] = i;
      v.array[i] += val(rng);
    }
    f.ftran(v);
    ftran_nz += v.count;
  }
  const double tftran = seconds_since(t0) / nsolve;
  t0 = Clock::now();
  std::int64_t btran_nz = 0;
  for (int s = 0; s < nsolve; ++s) {
    f.row_of_inverse(row(rng), v);
    btran_nz += v.count;
  }
  const double tbtran = seconds_since(t0) / nsolve;

  // Updates: entering random columns, leaving the largest entry of the spike.
  int nupd = 0;
  t0 = Clock::now();
  for (int s = 0; s < 200; ++s) {
    v.clear();
    for (int k = 0; k < col_len; ++k) {
      const int i = row(rng);
      if (v.array[i] == 0.0) v.index[v.count++] = i;
      v.array[i] += val(rng) + 1.5;
    }
    f.ftran(v, true);
    int p = -1;
    double best = 0.0;
    for (int k = 0; k < v.count; ++k) {
      const double a = std::fabs(v.array[v.index[k]]);
      if (a > best) {
        best = a;
        p = v.index[k];
      }
    }
    if (p >= 0 && f.update(p) == 0) ++nupd;
  }
  const double tupd = seconds_since(t0) / std::max(nupd, 1);
  const double resid = f.residual_test();

  std::printf("m=%7d slack=%.2f len=%d | rc=%d bump=%6d dense=%4d lnz=%8lld unz=%8lld | "
              "fact %8.4fs  ftran %8.2fus (nz %6.0f)  binvi %8.2fus (nz %6.0f)  "
              "ftran+update %8.2fus x%d  resid %.1e\n",
              m, slack_share, col_len, rc, info.bump_size, info.dense_size,
              static_cast<long long>(info.lnz), static_cast<long long>(info.unz), tfact,
              tftran * 1e6, static_cast<double>(ftran_nz) / nsolve, tbtran * 1e6,
              static_cast<double>(btran_nz) / nsolve, tupd * 1e6, nupd, resid);
}

}  // namespace

int main(int argc, char** argv) {
  const bool quick = argc > 1 && std::atoi(argv[1]) == 0;
  run(10000, 0.8, 4, 1);
  run(10000, 0.5, 5, 2);
  run(10000, 0.2, 4, 3);
  if (quick) return 0;
  run(100000, 0.8, 4, 4);
  run(100000, 0.5, 4, 5);
  run(100000, 0.3, 3, 6);
  return 0;
}
