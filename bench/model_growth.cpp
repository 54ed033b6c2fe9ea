// Growing a model one row or one column at a time, as readers and cut loops
// do. Prints the time of each stretch of additions so that a constant cost
// per addition (no reallocation or shifting of the whole model each time)
// shows as flat per-addition figures.
//
//   bench_model_growth [additions] [base size]   (defaults 100000 and 10000)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "tarvo.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kEntries = 5;  // matrix entries of every added row or column

double seconds_since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

pTVmodel make_model(pTVenv env, int m, int n) {
  int code = 0;
  pTVmodel model = TVcreateModel(env, &code);
  std::vector<double> c(n, 1.0), b(m, 1.0);
  std::string types(m, 'L');
  std::vector<int> starts(n + 1, 0);
  if (TVloadLPData(model, m, n, 1, 0.0, c.data(), b.data(), types.c_str(), 0, starts.data(), nullptr, nullptr,
                   nullptr, nullptr, nullptr) != 0) {
    std::fprintf(stderr, "load failed\n");
    std::exit(1);
  }
  return model;
}

struct Stretch {
  int done;
  double seconds;
};

void report(const char *what, int base, const std::vector<Stretch> &marks) {
  std::printf("\n%s (base %d)\n", what, base);
  std::printf("  %10s %12s %16s %20s\n", "additions", "total [s]", "per addition [us]", "this stretch [us/add]");
  int prev_done = 0;
  double prev_s = 0;
  for (const Stretch &s : marks) {
    std::printf("  %10d %12.4f %16.3f %20.3f\n", s.done, s.seconds, 1e6 * s.seconds / s.done,
                1e6 * (s.seconds - prev_s) / (s.done - prev_done));
    prev_done = s.done;
    prev_s = s.seconds;
  }
}

std::vector<int> checkpoints(int total) { return {total / 4, total / 2, 3 * total / 4, total}; }

void grow_by_columns(pTVenv env, int total, int rows, bool named) {
  pTVmodel model = make_model(env, rows, 0);
  std::mt19937 rng(12345);
  std::uniform_int_distribution<int> row(0, rows - 1);
  std::vector<Stretch> marks;
  std::vector<int> at = checkpoints(total);
  size_t next = 0;
  int idx[kEntries], starts[] = {0, kEntries};
  double val[kEntries] = {1, 2, 3, 4, 5}, cost = 1, lo = 0, up = 10;
  char name[32];
  char *names[] = {name};
  auto t0 = Clock::now();
  for (int k = 1; k <= total; ++k) {
    // Distinct rows: consecutive ones from a random start.
    int first = row(rng);
    for (int e = 0; e < kEntries; ++e) idx[e] = (first + e) % rows;
    std::snprintf(name, sizeof name, "x%d", k);
    if (TVaddVariables(model, 1, nullptr, named ? names : nullptr, starts, nullptr, val, idx, &cost, &lo, &up) != 0) {
      std::fprintf(stderr, "column addition failed\n");
      std::exit(1);
    }
    if (k == at[next]) marks.push_back({k, seconds_since(t0)}), ++next;
  }
  report(named ? "single-column additions with names" : "single-column additions", rows, marks);
  TVdeleteModel(&model);
}

void grow_by_rows(pTVenv env, int total, int cols, bool named) {
  pTVmodel model = make_model(env, 0, cols);
  std::mt19937 rng(54321);
  std::uniform_int_distribution<int> col(0, cols - 1);
  std::vector<Stretch> marks;
  std::vector<int> at = checkpoints(total);
  size_t next = 0;
  int idx[kEntries], starts[] = {0, kEntries};
  double val[kEntries] = {1, 2, 3, 4, 5}, rhs = 1;
  char name[32];
  char *names[] = {name};
  auto t0 = Clock::now();
  for (int k = 1; k <= total; ++k) {
    // Random distinct columns spread over the whole matrix, so that rows
    // land in every column's room.
    for (int e = 0; e < kEntries; ++e) {
      bool again;
      do {
        idx[e] = col(rng);
        again = false;
        for (int f = 0; f < e; ++f) again |= idx[f] == idx[e];
      } while (again);
    }
    std::snprintf(name, sizeof name, "r%d", k);
    if (TVaddConstraints(model, 1, "L", named ? names : nullptr, starts, val, idx, &rhs) != 0) {
      std::fprintf(stderr, "row addition failed\n");
      std::exit(1);
    }
    if (k == at[next]) marks.push_back({k, seconds_since(t0)}), ++next;
  }
  report(named ? "single-row additions with names" : "single-row additions", cols, marks);
  TVdeleteModel(&model);
}

}  // namespace

int main(int argc, char **argv) {
  const int total = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int base = argc > 2 ? std::atoi(argv[2]) : 10000;
  if (total < 4 || base < kEntries) {
    std::fprintf(stderr, "usage: %s [additions >= 4] [base size >= %d]\n", argv[0], kEntries);
    return 2;
  }
  int code = 0;
  pTVenv env = TVcreateEnv(&code, nullptr);
  if (!env) return 1;
  std::printf("%d additions of %d entries each", total, kEntries);
  grow_by_columns(env, total, base, false);
  grow_by_columns(env, total, base, true);
  grow_by_rows(env, total, base, false);
  grow_by_rows(env, total, base, true);
  std::printf("\n");
  TVdeleteEnv(&env);
  return 0;
}
