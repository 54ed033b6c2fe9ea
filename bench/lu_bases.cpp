// The sparse LU kernel on the bases a real simplex run meets: the model is
// solved from scratch with growing iteration limits, and each basis reached is
// factorised under a few kernel settings. Prints per basis and setting the
// fill (L and U off-diagonal entries), the dense-tail order, and CPU times of
// the factorisation (ms) and of dense FTRAN/BTRAN (us) (the solves of a dense-result
// model such as maros-r7), and the kernel's residual test. Unscaled matrix,
// slacks as unit columns.
//
//   bench_lu_bases MODEL.mps[.gz] ITER1,ITER2,... [REPEAT [SETTING [fact]]]
//
// SETTING runs that setting alone; "fact" skips the solves (for a profile of
// the factorisation).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tarvo.h"
#include "xlu/xlu.hpp"

namespace {

double cpu_now() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

struct Setting {
  const char* name;
  void (*apply)(tarvo::xlu::Options&);
};

const Setting kSettings[] = {
    {"default", [](tarvo::xlu::Options&) {}},
    {"cand=8", [](tarvo::xlu::Options& o) { o.num_candidates = 8; }},
    {"rel=0.1", [](tarvo::xlu::Options& o) { o.rel_pivot_tol = 0.1; }},
    {"sparse-only", [](tarvo::xlu::Options& o) { o.mode = 1; }},
    {"eager-dense", [](tarvo::xlu::Options& o) { o.mode = 2; }},
};

struct Csc {
  std::vector<int> begin, end, index;
  std::vector<double> value;
};

// B from the basic columns: structurals from the model, slacks as unit columns.
Csc basis_matrix(int m, const std::vector<int>& cbeg, const std::vector<int>& clen,
                 const std::vector<int>& rind, const std::vector<double>& val,
                 const std::vector<int>& cstat, const std::vector<int>& rstat) {
  Csc B;
  for (std::size_t j = 0; j < cstat.size(); ++j) {
    if (cstat[j] < 0) continue;
    B.begin.push_back(static_cast<int>(B.index.size()));
    for (int p = cbeg[j]; p < cbeg[j] + clen[j]; ++p) {
      B.index.push_back(rind[p]);
      B.value.push_back(val[p]);
    }
    B.end.push_back(static_cast<int>(B.index.size()));
  }
  for (int i = 0; i < m; ++i) {
    if (rstat[i] < 0) continue;
    B.begin.push_back(static_cast<int>(B.index.size()));
    B.index.push_back(i);
    B.value.push_back(1.0);
    B.end.push_back(static_cast<int>(B.index.size()));
  }
  return B;
}

void measure(const Csc& B, int m, const Setting& s, int repeat, int iters, bool solves) {
  tarvo::xlu::Factor f(m, m, static_cast<std::int64_t>(B.index.size()), 8);
  tarvo::xlu::Options o;
  s.apply(o);
  f.set_options(o);
  double t0 = cpu_now();
  int rc = 0;
  for (int r = 0; r < repeat; ++r)
    rc = f.factorize(B.begin.data(), B.end.data(), B.index.data(), B.value.data());
  const double tfac = (cpu_now() - t0) / repeat;
  const tarvo::xlu::Info I = f.info();
  const double resid = f.residual_test();
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  std::vector<double> x(m);
  const int nsolve = solves ? 20 * repeat : 0;
  double tf = 0.0, tb = 0.0;
  for (int k = 0; k < nsolve; ++k) {
    for (auto& v : x) v = u(rng);
    t0 = cpu_now();
    f.ftran_dense(x.data());
    tf += cpu_now() - t0;
    for (auto& v : x) v = u(rng);
    t0 = cpu_now();
    f.btran_dense(x.data());
    tb += cpu_now() - t0;
  }
  const int per = std::max(nsolve, 1);
  std::printf("%7d %6d %-12s %3d %6d %6d %9lld %9lld %9.2f %9.1f %9.1f %9.1e\n", iters, m, s.name, rc,
              I.bump_size, I.dense_size, static_cast<long long>(I.lnz), static_cast<long long>(I.unz), 1e3 * tfac,
              1e6 * tf / per, 1e6 * tb / per, resid);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s MODEL.mps[.gz] ITER1,ITER2,... [REPEAT [SETTING [fact]]]\n", argv[0]);
    return 2;
  }
  const int repeat = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
  const std::string only = argc > 4 ? argv[4] : "";
  const bool solves = !(argc > 5 && std::string(argv[5]) == "fact");
  std::vector<int> limits;
  std::stringstream ss(argv[2]);
  for (std::string t; std::getline(ss, t, ',');) limits.push_back(std::atoi(t.c_str()));
  int err = 0;
  pTVenv env = TVcreateEnv(&err, nullptr);
  pTVmodel model = env ? TVcreateModel(env, &err) : nullptr;
  if (!model || TVreadMPSFile(model, argv[1], 2) != 0) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  int m = 0, n = 0;
  TVgetInfo(model, TV_IINFO_NUM_CONS, &m);
  TVgetInfo(model, TV_IINFO_NUM_VARS, &n);
  int nz = 0;
  TVgetInfo(model, TV_IINFO_NUM_NONZ, &nz);
  std::vector<int> cbeg(n + 1), clen(n), rind(nz);
  std::vector<double> val(nz);
  TVgetLPData(model, nullptr, nullptr, nullptr, nullptr, nullptr, cbeg.data(), clen.data(), val.data(), rind.data(),
              nullptr, nullptr);
  TVsetModelIntParameter(model, TV_IPARAM_LP_PRELEVEL, 0);
  std::printf("%7s %6s %-12s %3s %6s %6s %9s %9s %9s %9s %9s %9s\n", "iters", "m", "setting", "rc", "bump",
              "dense", "L nnz", "U nnz", "fact ms", "ftran us", "btran us", "residual");
  for (int lim : limits) {
    TVsetModelIntParameter(model, TV_IPARAM_LP_ITRLMT, lim);
    int status = 0;
    TVoptimize(model, TV_METHOD_FREE, &status);
    std::vector<int> cstat(n), rstat(m);
    if (TVgetBasis(model, cstat.data(), rstat.data()) != 0) {
      std::printf("%7d no basis\n", lim);
      continue;
    }
    const Csc B = basis_matrix(m, cbeg, clen, rind, val, cstat, rstat);
    if (static_cast<int>(B.begin.size()) != m) {
      std::printf("%7d basis has %zu columns\n", lim, B.begin.size());
      continue;
    }
    for (const Setting& s : kSettings)
      if (only.empty() || only == s.name) measure(B, m, s, repeat, lim, solves);
  }
  TVdeleteModel(&model);
  TVdeleteEnv(&env);
  return 0;
}
