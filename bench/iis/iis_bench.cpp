// IIS analysis on large infeasible LPs made from feasible ones: each model is
// solved, then made infeasible in one of two ways, and every filter method
// isolates an IIS of it.
//   cut:   the objective is bounded below its optimum by one extra row, so
//          the IIS is that row plus the rows and bounds of an optimality
//          certificate (often dozens of members);
//   pair:  two contradictory rows over two columns are added to the model,
//          a two-row IIS hidden among thousands of rows;
//   int:   (integer models) the objective is bounded between the relaxation's
//          optimum and the integer optimum: the relaxation stays feasible and
//          every test of the analysis is a run of the integer solver
//          (try p0033, lseu, mod008, egout, flugpl, enigma).
// Per method it prints time, IIS size (rows, bounds), solves (LP and integer)
// and simplex iterations, and whether the reported set re-solves as infeasible. With a
// HiGHS command line (--highs, default ../shared/tools/highs) the same
// infeasible model is written as MPS and HiGHS's IIS (options file with
// write_iis_model_file) is timed and sized on it: the row marked H, whose
// IIS_B column counts HiGHS's IIS columns (the columns of its rows, bounded
// or not), not bounds.
//
//   bench_iis [--data DIR] [--methods 1,2,3,4,5,6] [--level L] [--kinds cut,pair]
//             [--time-limit S] [--highs PATH|none] [MODEL ...]
//
// A MODEL is a path or a name looked up as DIR/netlib/NAME.mps.gz, then
// DIR/miplib3/NAME.mps.gz. Integer models are analysed through their LP
// relaxation (the cut makes the relaxation infeasible).
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "tarvo.h"

#ifndef TARVO_BENCH_HIGHS
#define TARVO_BENCH_HIGHS "../shared/tools/highs"
#endif

#ifndef TARVO_BENCH_DATA
#define TARVO_BENCH_DATA "../shared/data"
#endif

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
  std::string data = TARVO_BENCH_DATA;
  std::vector<int> methods{1, 2, 3, 4, 5, 6};
  std::vector<std::string> kinds{"cut", "pair"};
  int level = 3;
  int time_limit = 600;
  std::string highs = TARVO_BENCH_HIGHS;
  std::vector<std::string> models;
};

const char *const kDefaultModels[] = {"25fv47", "bnl2",    "ship12l", "sctap3",  "d2q06c",   "degen3",
                                      "pilot87", "80bau3b", "fit2p",   "cycle",   "stocfor2", "maros-r7",
                                      "greenbea", "czprob", "fast0507", "air04", "dano3mip", "qiu"};

bool exists(const std::string &p) {
  struct stat st;
  return stat(p.c_str(), &st) == 0;
}

std::string locate(const Options &o, const std::string &name) {
  if (exists(name)) return name;
  for (const char *set : {"netlib", "miplib3"}) {
    const std::string p = o.data + "/" + set + "/" + name + ".mps.gz";
    if (exists(p)) return p;
  }
  return "";
}

std::vector<std::string> split(const char *s) {
  std::vector<std::string> out;
  std::string cur;
  for (; *s; ++s) {
    if (*s == ',') {
      out.push_back(cur);
      cur.clear();
    } else {
      cur += *s;
    }
  }
  if (!cur.empty()) out.push_back(cur);
  return out;
}

// Adds the conflict of `kind`; false when the model does not allow it. For
// "int", `int_optimum` is the integer optimum and `optimum` the relaxation's.
bool make_infeasible(pTVmodel model, const std::string &kind, double optimum, int sense, double int_optimum) {
  int m = 0, n = 0;
  TVgetInfo(model, TV_IINFO_NUM_CONS, &m);
  TVgetInfo(model, TV_IINFO_NUM_VARS, &n);
  std::vector<double> c(n), lo(n), up(n);
  TVgetLPData(model, nullptr, nullptr, c.data(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, lo.data(),
              up.data());
  if (kind == "cut" || kind == "int") {
    std::vector<int> idx;
    std::vector<double> val;
    for (int j = 0; j < n; ++j)
      if (c[j] != 0) {
        idx.push_back(j);
        val.push_back(c[j]);
      }
    if (idx.empty()) return false;
    const double gap = std::max(1e-3, 1e-3 * std::fabs(optimum));
    const char type = sense == TV_MIN ? 'L' : 'G';
    double rhs = sense == TV_MIN ? optimum - gap : optimum + gap;
    if (kind == "int") {
      // Halfway between the two optima: only integrality makes it infeasible.
      if (std::fabs(int_optimum - optimum) < 1e-6 * (1 + std::fabs(optimum))) return false;
      rhs = 0.5 * (optimum + int_optimum);
    }
    int starts[2] = {0, static_cast<int>(idx.size())};
    return TVaddConstraints(model, 1, &type, nullptr, starts, val.data(), idx.data(), &rhs) == 0;
  }
  // Two columns in the middle of the model with room below 1e6.
  int a = -1, b = -1;
  for (int j = n / 2; j < n && b < 0; ++j)
    if (lo[j] > -1e6 && up[j] >= 1e6) (a < 0 ? a : b) = j;
  if (b < 0) return false;
  const double base = lo[a] + lo[b];
  const char types[2] = {'G', 'L'};
  const double rhs[2] = {base + 1e6, base + 5e5};
  const int starts[3] = {0, 2, 4};
  const int idx[4] = {a, b, a, b};
  const double val[4] = {1, 1, 1, 1};
  return TVaddConstraints(model, 2, types, nullptr, starts, val, idx, rhs) == 0;
}

// The linear data of a model, as TVgetLPData gives it.
struct LpData {
  int m = 0, n = 0, nz = 0, sense = 0;
  double constant = 0;
  std::vector<double> c, b, val, lo, up;
  std::vector<char> ct;
  std::vector<int> st, len, idx;
  explicit LpData(pTVmodel model) {
    TVgetInfo(model, TV_IINFO_NUM_CONS, &m);
    TVgetInfo(model, TV_IINFO_NUM_VARS, &n);
    TVgetInfo(model, TV_IINFO_NUM_NONZ, &nz);
    c.resize(n);
    b.resize(m);
    val.resize(nz + 1);
    lo.resize(n);
    up.resize(n);
    ct.resize(m);
    st.resize(n + 1);
    len.resize(n);
    idx.resize(nz + 1);
    TVgetLPData(model, &sense, &constant, c.data(), b.data(), ct.data(), st.data(), len.data(), val.data(),
                idx.data(), lo.data(), up.data());
  }
};

// Optimum of the LP relaxation: integer models are solved as a continuous
// copy (their own integrality stays for the analysis).
int relaxation_optimum(pTVenv env, pTVmodel model, int *status, double *optimum) {
  LpData d(model);
  int err = 0;
  pTVmodel lp = TVcreateModel(env, &err);
  TVsetModelIntParameter(lp, TV_IPARAM_LP_PRINTLEVEL, 0);
  int code = TVloadLPData(lp, d.m, d.n, d.sense, d.constant, d.c.data(), d.b.data(), d.ct.data(), d.nz, d.st.data(),
                          d.len.data(), d.val.data(), d.idx.data(), d.lo.data(), d.up.data());
  if (code == 0) code = TVoptimize(lp, TV_METHOD_FREE, status);
  if (code == 0) TVgetInfo(lp, TV_DINFO_POBJ, optimum);
  TVdeleteModel(&lp);
  return code;
}

// Rebuilds the IIS rows and bounds as a model of their own and solves it.
const char *recheck(pTVenv env, pTVmodel model, int level, bool integer) {
  const LpData d(model);
  const int m = d.m, n = d.n;
  const std::vector<double> &b = d.b, &val = d.val, &lo = d.lo, &up = d.up;
  const std::vector<char> &ct = d.ct;
  const std::vector<int> &st = d.st, &len = d.len, &idx = d.idx;
  int nr = 0, nc = 0;
  std::vector<int> rows(m), cols(n), types(n);
  if (TVgetIIS(model, nullptr, &nr, rows.data(), nullptr, &nc, cols.data(), types.data()) != 0) return "none";
  std::vector<int> pos(m, -1);
  for (int k = 0; k < nr; ++k) pos[rows[k]] = k;
  std::vector<double> sb(nr), sv, slo(n, -TV_INFINITY), sup(n, TV_INFINITY), zero(n, 0.0);
  std::vector<char> sct(nr);
  std::vector<int> sst(n + 1, 0), slen(n), sidx;
  for (int k = 0; k < nr; ++k) {
    sb[k] = b[rows[k]];
    sct[k] = ct[rows[k]];
  }
  for (int j = 0; j < n; ++j) {
    for (int k = st[j]; k < st[j] + len[j]; ++k)
      if (pos[idx[k]] >= 0) {
        sidx.push_back(pos[idx[k]]);
        sv.push_back(val[k]);
      }
    sst[j + 1] = static_cast<int>(sidx.size());
    slen[j] = sst[j + 1] - sst[j];
    if (!(level & 2)) {
      slo[j] = lo[j];
      sup[j] = up[j];
    }
  }
  for (int k = 0; k < nc; ++k) {
    if (types[k] <= 0) slo[cols[k]] = lo[cols[k]];
    if (types[k] >= 0) sup[cols[k]] = up[cols[k]];
  }
  int code = 0, status = 0;
  pTVmodel sub = TVcreateModel(env, &code);
  code = TVloadLPData(sub, nr, n, TV_MIN, 0, zero.data(), sb.data(), sct.data(), static_cast<int>(sidx.size()),
                      sst.data(), slen.data(), sv.data(), sidx.data(), slo.data(), sup.data());
  if (integer) {
    // Integrality that was not analysed stays in force.
    std::vector<char> vt(n, 'C');
    if (code == 0) code = TVgetVarType(model, vt.data());
    if (code == 0) code = TVloadVarType(sub, vt.data());
    TVsetModelIntParameter(sub, TV_IPARAM_MIP_PRINTLEVEL, 0);
    if (code == 0) code = TVsolveMIP(sub, &status);
  } else if (code == 0) {
    code = TVoptimize(sub, TV_METHOD_FREE, &status);
  }
  TVdeleteModel(&sub);
  if (code != 0) return "error";
  return status == TV_STATUS_INFEASIBLE ? "ok" : "FEAS";
}

// The integer optimum of the model (within `seconds`); false when unproven.
bool integer_optimum(pTVmodel model, int seconds, double *value) {
  int nint = 0, nbin = 0, status = 0;
  TVgetInfo(model, TV_IINFO_NUM_INT, &nint);
  TVgetInfo(model, TV_IINFO_NUM_BIN, &nbin);
  if (nint + nbin == 0) return false;
  TVsetModelIntParameter(model, TV_IPARAM_MIP_PRINTLEVEL, 0);
  TVsetModelDouParameter(model, TV_DPARAM_MIP_TIMLIM, seconds);
  if (TVsolveMIP(model, &status) != 0 || status != TV_STATUS_OPTIMAL) return false;
  return TVgetInfo(model, TV_DINFO_MIP_OBJ, value) == 0;
}

// HiGHS's IIS of the model written to `mps`: prints the H row.
void run_highs(const Options &o, const std::string &name, const std::string &kind, int m, int n,
               const std::string &mps) {
  const std::string opts = mps + ".opt", out = mps + ".iis.lp";
  if (FILE *f = std::fopen(opts.c_str(), "w")) {
    // Strategy 4 asks HiGHS for an irreducible set (its default stops at
    // trivial conflicts).
    std::fprintf(f, "write_iis_model_file = %s\niis_strategy = 4\ntime_limit = %d\nlog_file = %s.log\n", out.c_str(),
                 o.time_limit, mps.c_str());
    std::fclose(f);
  }
  const std::string cmd = o.highs + " --options_file " + opts + " " + mps + " 2>&1";
  const auto t0 = Clock::now();
  FILE *p = popen(cmd.c_str(), "r");
  if (!p) return;
  char line[512];
  int rows = -1, cols = -1;
  std::string status = "none";
  while (std::fgets(line, sizeof line, p)) {
    std::sscanf(line, "Rows : %d", &rows);
    std::sscanf(line, "Columns : %d", &cols);
    char word[64];
    if (std::sscanf(line, "IIS status : %63s", word) == 1) status = word;
  }
  pclose(p);
  const double secs = std::chrono::duration<double>(Clock::now() - t0).count();
  std::printf("%-10s %-4s %6d %6d %-2s %9.2f %6d %6d %7s %9s %s\n", name.c_str(), kind.c_str(), m, n, "H", secs, rows,
              cols, "-", "-", status.c_str());
  std::remove(opts.c_str());
  std::remove(out.c_str());
  std::remove((mps + ".log").c_str());
}

}  // namespace

int main(int argc, char **argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--data" && i + 1 < argc) {
      o.data = argv[++i];
    } else if (a == "--methods" && i + 1 < argc) {
      o.methods.clear();
      for (const std::string &s : split(argv[++i])) o.methods.push_back(std::atoi(s.c_str()));
    } else if (a == "--kinds" && i + 1 < argc) {
      o.kinds = split(argv[++i]);
    } else if (a == "--level" && i + 1 < argc) {
      o.level = std::atoi(argv[++i]);
    } else if (a == "--time-limit" && i + 1 < argc) {
      o.time_limit = std::atoi(argv[++i]);
    } else if (a == "--highs" && i + 1 < argc) {
      o.highs = argv[++i];
    } else if (a == "--help" || a == "-h") {
      std::printf(
          "bench_iis [--data DIR] [--methods 1,..,6] [--kinds cut,pair,int] [--level L] [--time-limit S]\n"
          "          [--highs PATH|none] [MODEL ...]\n");
      return 0;
    } else {
      o.models.push_back(a);
    }
  }
  if (o.models.empty()) o.models.assign(std::begin(kDefaultModels), std::end(kDefaultModels));
  int err = 0;
  pTVenv env = TVcreateEnv(&err, nullptr);
  if (!env) {
    std::fprintf(stderr, "no environment (%d)\n", err);
    return 2;
  }
  std::printf("%-10s %-4s %6s %6s %-2s %9s %6s %6s %7s %9s %s\n", "model", "kind", "rows", "cols", "M", "seconds",
              "IIS_R", "IIS_B", "solves", "iters", "check");
  for (const std::string &name : o.models) {
    const std::string path = locate(o, name);
    if (path.empty()) {
      std::printf("%-10s missing\n", name.c_str());
      continue;
    }
    for (const std::string &kind : o.kinds) {
      for (int method : o.methods) {
        pTVmodel model = TVcreateModel(env, &err);
        if (TVreadMPSFile(model, path.c_str(), 0) != 0) {
          std::printf("%-10s unreadable\n", name.c_str());
          TVdeleteModel(&model);
          break;
        }
        int status = 0, sense = TV_MIN;
        double optimum = 0;
        TVsetModelIntParameter(model, TV_IPARAM_LP_PRINTLEVEL, 0);
        if (relaxation_optimum(env, model, &status, &optimum) != 0 ||
            (status != TV_STATUS_OPTIMAL && status != TV_STATUS_BASIC_OPTIMAL)) {
          std::printf("%-10s not solved to optimality (status %d)\n", name.c_str(), status);
          TVdeleteModel(&model);
          break;
        }
        TVgetInfo(model, TV_IINFO_OBJSENSE, &sense);
        double int_opt = 0;
        if (kind == "int" && !integer_optimum(model, o.time_limit, &int_opt)) {
          std::printf("%-10s no integer optimum\n", name.c_str());
          TVdeleteModel(&model);
          break;
        }
        if (!make_infeasible(model, kind, optimum, sense, int_opt)) {
          TVdeleteModel(&model);
          break;
        }
        int m = 0, n = 0;
        TVgetInfo(model, TV_IINFO_NUM_CONS, &m);
        TVgetInfo(model, TV_IINFO_NUM_VARS, &n);
        TVsetModelIntParameter(model, TV_IPARAM_IIS_PRINT_LEVEL, 0);
        TVsetModelIntParameter(model, TV_IPARAM_IIS_METHOD, method);
        TVsetModelIntParameter(model, TV_IPARAM_IIS_TIME_LIMIT, o.time_limit);
        const auto t0 = Clock::now();
        const int code = TVfindIIS(model, o.level);
        const double secs = std::chrono::duration<double>(Clock::now() - t0).count();
        int nr = 0, nb = 0, solves = 0, iters = 0;
        TVgetInfo(model, TV_IINFO_NUM_IIS_ROWS, &nr);
        TVgetInfo(model, TV_IINFO_NUM_IIS_BNDS, &nb);
        TVgetInfo(model, TV_IINFO_IIS_LPCOUNT, &solves);
        int mips = 0;  // integer tests count as solves too
        TVgetInfo(model, TV_IINFO_IIS_MIPCOUNT, &mips);
        solves += mips;
        TVgetInfo(model, TV_IINFO_IIS_SIM_ITER, &iters);
        const char *check = code == 0 ? recheck(env, model, o.level, kind == "int") : "stop";
        std::printf("%-10s %-4s %6d %6d %-2d %9.2f %6d %6d %7d %9d %s", name.c_str(), kind.c_str(), m, n, method, secs,
                    nr, nb, solves, iters, check);
        if (code) std::printf(" (code %d)", code);
        std::printf("\n");
        if (method == o.methods.back() && o.highs != "none" && exists(o.highs)) {
          const std::string mps = "/tmp/bench_iis_" + std::to_string(getpid()) + ".mps";
          if (TVwriteMPSFile(model, mps.c_str(), 0) == 0) run_highs(o, name, kind, m, n, mps);
          std::remove(mps.c_str());
        }
        std::fflush(stdout);
        TVdeleteModel(&model);
      }
    }
  }
  TVdeleteEnv(&env);
  return 0;
}
