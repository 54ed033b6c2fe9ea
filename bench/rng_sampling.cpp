// Random generators and sampling: draws per second of every generator type
// against std::mt19937, inverse distribution functions per second, a Latin
// hypercube sample of 10^6 points, and the buffered twister refilled on two
// threads against one. Prints one table; compare ratios, not absolute rates.
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "stoc/rg_parallel.hpp"
#include "tarvo.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point t0) {
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

volatile double g_sink = 0;

template <class F>
double rate(long long n, F &&f) {
  auto t0 = Clock::now();
  double acc = 0;
  for (long long i = 0; i < n; ++i) acc += f();
  g_sink = acc;
  return n / seconds_since(t0);
}

}  // namespace

int main() {
  int code = 0;
  pTVenv env = TVcreateEnv(&code, nullptr);
  const long long draws = 20000000;

  std::mt19937 reference(1031);
  double ref = rate(draws, [&] { return reference() * 2.3283064365386963e-10; });
  std::printf("%-40s %14s %10s\n", "case", "per second", "ratio");
  std::printf("%-40s %14.3e %10s\n", "std::mt19937 (32-bit * 2^-32)", ref, "1.00");
  const char *names[7] = {"C runtime rand", "MRG32k3a", "LCG 2^31-1", "shuffled LCG pair",
                          "subtractive (integer)", "subtractive (double)", "MT19937"};
  for (int type = 0; type <= 6; ++type) {
    pTVrandom rg = TVcreateRG(env, type);
    TVsetRGSeed(rg, 1031);
    double r = rate(draws, [&] { return TVgetDoubleRV(rg); });
    char label[64];
    std::snprintf(label, sizeof label, "type %d %s", type, names[type]);
    std::printf("%-40s %14.3e %10.2f\n", label, r, ref / r);
    TVdisposeRG(&rg);
  }

  auto inverse_rate = [&](int type, std::initializer_list<double> params, const char *label) {
    pTVsample s = TVsampCreate(env, type, &code);
    int i = 0;
    for (double p : params) TVsampSetDistrParam(s, i++, p);
    std::mt19937 u(7);
    double r = rate(2000000, [&] {
      double x = 0;
      TVsampEvalDistr(s, TV_CDFINV, (u() + 0.5) * 2.3283064365386963e-10, &x);
      return x;
    });
    std::printf("%-40s %14.3e\n", label, r);
    TVsampDelete(&s);
  };
  inverse_rate(TV_DIST_NORMAL, {0, 1}, "normal inverse");
  inverse_rate(TV_DIST_GAMMA, {1, 2.5}, "gamma inverse (shape 2.5)");
  inverse_rate(TV_DIST_GAMMA, {1, 0.3}, "gamma inverse (shape 0.3)");

  {
    pTVrandom rg = TVcreateRG(env, 6);
    TVsetRGSeed(rg, 1031);
    pTVsample s = TVsampCreate(env, TV_DIST_NORMAL, &code);
    TVsampSetDistrParam(s, 0, 0);
    TVsampSetDistrParam(s, 1, 1);
    TVsampSetRG(s, rg);
    auto t0 = Clock::now();
    TVsampGenerate(s, TV_LATINSQUARE, 1000000);
    std::printf("%-40s %14.3f s\n", "Latin hypercube, 10^6 normal points", seconds_since(t0));
    TVsampDelete(&s);
    TVdisposeRG(&rg);
  }

  double one = 0;
  for (int threads : {1, 2}) {
    tarvo::stoc::ParallelTwister p;
    tarvo::stoc::parallel_setup(p, threads, 1 << 22);
    tarvo::stoc::parallel_seed(p, 1031);
    auto t0 = Clock::now();
    const int refills = 20;
    for (int i = 0; i < refills; ++i) tarvo::stoc::parallel_fill(p);
    double r = refills * static_cast<double>(p.buffer.size()) / seconds_since(t0);
    if (threads == 1) one = r;
    char label[64];
    std::snprintf(label, sizeof label, "buffered twister refill, %d thread%s", threads, threads > 1 ? "s" : "");
    std::printf("%-40s %14.3e %10.2f\n", label, r, r / one);
  }
  TVdeleteEnv(&env);
  return 0;
}
