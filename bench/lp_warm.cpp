// Warm re-solves after small changes, the way a branch-and-bound or a
// what-if loop uses the LP solver: each model is solved cold, then changed K
// times (a bound of a basic column or the rhs of a binding row) and re-solved
// in place; every changed model is also solved from scratch in a copy, to
// measure what the kept work object saves and to check that both agree.
//
//   bench_lp_warm [--changes K] [--seed S] [--method free|primal|dual]
//                 [--data DIR] [--time-limit S] [--verbose] [MODEL ...]
//
// A MODEL is a file path or a name looked up in DIR (NAME.mps.gz or NAME.mps).
// Exit status 1 when any warm result disagrees with its cold twin.
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "tarvo.h"

#ifndef TARVO_BENCH_NETLIB
#define TARVO_BENCH_NETLIB "../shared/data/netlib"
#endif

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kObjRelTol = 1e-6;

struct Options {
  int changes = 20;
  bool verbose = false;
  std::uint64_t seed = 1;
  int method = TV_METHOD_FREE;
  double time_limit = 60;
  std::string data = TARVO_BENCH_NETLIB;
  std::vector<std::string> models;
};

struct Solve {
  int code = 0;
  int status = TV_STATUS_UNKNOWN;
  int iterations = 0;
  double seconds = 0;
  double objective = 0;
};

struct ModelReport {
  std::string name;
  int m = 0, n = 0;
  Solve cold;
  int changes = 0;
  double warm_iter = 0, warm_time = 0;  // sums over the changes
  double cold_iter = 0, cold_time = 0;
  int mismatches = 0;
  int infeasible = 0;  // changes that were undone because the model became infeasible
  int unfinished = 0;  // changes where a solve stopped on a limit or an error; not in the means
};

bool file_exists(const std::string &p) {
  struct stat st;
  return ::stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string resolve(const Options &o, const std::string &m) {
  if (file_exists(m)) return m;
  for (const char *suffix : {".mps.gz", ".mps", ".MPS.gz", ".MPS"}) {
    std::string p = o.data + "/" + m + suffix;
    if (file_exists(p)) return p;
  }
  return "";
}

std::string base_name(const std::string &path) {
  std::string s = path.substr(path.find_last_of('/') + 1);
  for (const char *suffix : {".gz", ".mps", ".MPS"})
    if (s.size() > std::strlen(suffix) && s.compare(s.size() - std::strlen(suffix), std::string::npos, suffix) == 0)
      s.erase(s.size() - std::strlen(suffix));
  return s;
}

// Same seed, same changes for a model, whichever other models run with it.
std::uint64_t model_seed(std::uint64_t seed, const std::string &name) {
  std::uint64_t h = 1469598103934665603ull;
  for (unsigned char ch : name) h = (h ^ ch) * 1099511628211ull;
  return h ^ seed;
}

// Free layout first; a format error means fixed layout, read into a fresh model.
pTVmodel read_model(pTVenv env, const std::string &path, int *code) {
  pTVmodel model = TVcreateModel(env, code);
  if (!model) return nullptr;
  TVsetModelIntParameter(model, TV_IPARAM_LP_PRINTLEVEL, 0);
  *code = TVreadMPSFile(model, path.c_str(), 0);
  if (*code == 2003) {
    TVdeleteModel(&model);
    model = TVcreateModel(env, code);
    if (!model) return nullptr;
    TVsetModelIntParameter(model, TV_IPARAM_LP_PRINTLEVEL, 0);
    *code = TVreadMPSFile(model, path.c_str(), 1);
  }
  if (*code != 0) TVdeleteModel(&model);
  return model;
}

Solve solve(pTVmodel model, const Options &o) {
  Solve s;
  TVsetModelDouParameter(model, TV_DPARAM_SOLVER_TIMLMT, o.time_limit);
  Clock::time_point t0 = Clock::now();
  s.code = TVoptimize(model, o.method, &s.status);
  s.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
  TVgetIntInfo(model, TV_IINFO_SIM_ITER, &s.iterations);
  if (TVgetDouInfo(model, TV_DINFO_POBJ, &s.objective) != 0) s.objective = NAN;
  return s;
}

bool optimal(const Solve &s) { return s.status == TV_STATUS_OPTIMAL || s.status == TV_STATUS_BASIC_OPTIMAL; }

bool infeasible(const Solve &s) {
  return s.status == TV_STATUS_INFEASIBLE || s.status == TV_STATUS_INFORUNB || s.status == TV_STATUS_UNBOUNDED;
}

// A solve that stopped on a limit or an error gives no verdict to compare.
bool finished(const Solve &s) { return s.code == 0 && (optimal(s) || infeasible(s)); }

// Finished warm and cold solves must reach the same verdict and, when
// optimal, the same value.
bool agree(const Solve &w, const Solve &c) {
  if (optimal(w) != optimal(c)) return false;
  if (!optimal(w)) return infeasible(w) == infeasible(c);
  return std::fabs(w.objective - c.objective) <= kObjRelTol * std::fmax(1.0, std::fabs(c.objective));
}

// One change of the model; `undo` puts the old value back.
struct Change {
  bool is_bound = false;
  int index = -1;
  double old_value = 0, new_value = 0;
  std::string text;
};

int apply(pTVmodel model, const Change &c, double value) {
  return c.is_bound ? TVmodifyUpperBounds(model, 1, &c.index, &value) : TVmodifyRHS(model, 1, &c.index, &value);
}

// Picks a change against the last solution: the upper bound of a basic
// column cut to halfway between its value and its lower bound (the solver
// must move it), or the rhs of a binding, priced row shifted by 1% of its size.
bool pick_change(pTVmodel model, int m, int n, std::mt19937_64 &rng, Change *out) {
  std::vector<int> colStatus(n), rowStatus(m);
  std::vector<double> x(n), y(m);
  if (TVgetBasis(model, colStatus.data(), rowStatus.data()) != 0) return false;
  if (TVgetPrimalSolution(model, x.data()) != 0) return false;
  if (TVgetDualSolution(model, y.data()) != 0) return false;
  std::vector<int> cols, rows;
  for (int j = 0; j < n; ++j) {
    if (colStatus[j] < 0) continue;
    double lo = 0;
    TVgetLowerBoundj(model, j, &lo);
    if (x[j] - lo > 1e-6 * std::fmax(1.0, std::fabs(x[j]))) cols.push_back(j);
  }
  // binding rows with a nonzero price, so that moving the rhs moves the optimum
  for (int pass = 0; pass < 2 && rows.empty(); ++pass)
    for (int i = 0; i < m; ++i) {
      char type = 0;
      TVgetConstraintDatai(model, i, &type, nullptr, nullptr);
      if (rowStatus[i] < 0 && type != 'N' && (pass == 1 || std::fabs(y[i]) > 1e-9)) rows.push_back(i);
    }
  bool bound = std::uniform_int_distribution<int>(0, 1)(rng) == 0;
  if (cols.empty()) bound = false;
  if (rows.empty()) bound = true;
  if (cols.empty() && rows.empty()) return false;
  char text[640];
  if (bound) {
    int j = cols[std::uniform_int_distribution<size_t>(0, cols.size() - 1)(rng)];
    double lo = 0, up = 0;
    TVgetLowerBoundj(model, j, &lo);
    TVgetUpperBoundj(model, j, &up);
    double nu = lo > -TV_INFINITY ? 0.5 * (x[j] + lo) : x[j] - 0.5 * std::fmax(1.0, std::fabs(x[j]));
    *out = Change{true, j, up, nu, ""};
    char name[256] = "";
    TVgetVariableNamej(model, j, name);
    std::snprintf(text, sizeof text, "upper bound of column %d (%s): %.17g -> %.17g (x=%g)", j, name, up, nu, x[j]);
  } else {
    int i = rows[std::uniform_int_distribution<size_t>(0, rows.size() - 1)(rng)];
    double b = 0;
    TVgetConstraintDatai(model, i, nullptr, nullptr, &b);
    double step = 0.01 * std::fmax(1.0, std::fabs(b));
    double nb = std::uniform_int_distribution<int>(0, 1)(rng) ? b + step : b - step;
    *out = Change{false, i, b, nb, ""};
    char name[256] = "";
    TVgetConstraintNamei(model, i, name);
    std::snprintf(text, sizeof text, "rhs of row %d (%s): %.17g -> %.17g", i, name, b, nb);
  }
  out->text = text;
  return true;
}

void print_solve_line(const char *tag, const Solve &s) {
  std::printf("    %-5s status %2d code %4d iter %7d time %8.4f obj %.12g\n", tag, s.status, s.code, s.iterations,
              s.seconds, s.objective);
}

bool run_model(pTVenv env, const Options &o, const std::string &path, ModelReport *rep) {
  rep->name = base_name(path);
  int code = 0;
  pTVmodel model = read_model(env, path, &code);
  if (!model) {
    std::fprintf(stderr, "%s: cannot read (error %d)\n", path.c_str(), code);
    return false;
  }
  TVgetDimensions(model, &rep->n, &rep->m, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                  nullptr);
  rep->cold = solve(model, o);
  if (!optimal(rep->cold)) {
    std::fprintf(stderr, "%s: cold solve ended with status %d (error %d); no changes tried\n", rep->name.c_str(),
                 rep->cold.status, rep->cold.code);
    TVdeleteModel(&model);
    return true;
  }
  std::mt19937_64 rng(model_seed(o.seed, rep->name));
  for (int k = 0; k < o.changes; ++k) {
    Change ch;
    if (!pick_change(model, rep->m, rep->n, rng, &ch)) {
      std::fprintf(stderr, "%s: no change to make after %d changes\n", rep->name.c_str(), k);
      break;
    }
    if ((code = apply(model, ch, ch.new_value)) != 0) {
      std::fprintf(stderr, "%s: change refused (error %d): %s\n", rep->name.c_str(), code, ch.text.c_str());
      break;
    }
    // the twin is copied before the warm solve, so it starts from nothing
    pTVmodel twin = TVcopyModel(model, &code);
    if (!twin) {
      std::fprintf(stderr, "%s: TVcopyModel failed (error %d)\n", rep->name.c_str(), code);
      break;
    }
    // a copy carries no basis today; the restart flag keeps it cold should that change
    TVsetModelIntParameter(twin, TV_IPARAM_SOLVER_RESTART, 1);
    Solve warm = solve(model, o);
    Solve cold = solve(twin, o);
    TVdeleteModel(&twin);
    if (o.verbose) {
      std::printf("  %s change %d: %s\n", rep->name.c_str(), k + 1, ch.text.c_str());
      print_solve_line("warm", warm);
      print_solve_line("cold", cold);
    }
    if (!finished(warm) || !finished(cold)) {
      // a limit or an error, not a disagreement; a time-limited solve would swamp the means
      rep->unfinished++;
      std::printf("\n!!! UNFINISHED !!! %s, change %d: %s\n", rep->name.c_str(), k + 1, ch.text.c_str());
      print_solve_line("warm", warm);
      print_solve_line("cold", cold);
      std::fflush(stdout);
    } else {
      rep->changes++;
      rep->warm_iter += warm.iterations;
      rep->warm_time += warm.seconds;
      rep->cold_iter += cold.iterations;
      rep->cold_time += cold.seconds;
    }
    if (finished(warm) && finished(cold) && !agree(warm, cold)) {
      rep->mismatches++;
      std::printf("\n*** MISMATCH *** %s, change %d: %s\n", rep->name.c_str(), k + 1, ch.text.c_str());
      print_solve_line("warm", warm);
      print_solve_line("cold", cold);
      std::fflush(stdout);
      std::fprintf(stderr, "*** MISMATCH *** %s change %d: warm %.12g (status %d) vs cold %.12g (status %d)\n",
                   rep->name.c_str(), k + 1, warm.objective, warm.status, cold.objective, cold.status);
    }
    // an infeasible model gives no basis to pick the next change from: undo
    // it, and let the next warm solve absorb the undo as well
    if (!optimal(cold) || !optimal(warm)) {
      if (infeasible(cold) || infeasible(warm)) rep->infeasible++;
      // (this re-solve is not part of the comparison)
      apply(model, ch, ch.old_value);
      Solve back = solve(model, o);
      if (!optimal(back)) {
        std::fprintf(stderr, "%s: undoing change %d left status %d; stopping this model\n", rep->name.c_str(), k + 1,
                     back.status);
        break;
      }
    }
  }
  TVdeleteModel(&model);
  return true;
}

void usage() {
  std::printf(
      "usage: bench_lp_warm [--changes K] [--seed S] [--method free|primal|dual] [--data DIR]\n"
      "                     [--time-limit S] [--verbose] [MODEL ...]\n"
      "MODEL: a file, or a name found in DIR as NAME.mps.gz or NAME.mps (default DIR %s).\n"
      "Default models: afiro sc205 scfxm3 ship12l pilot 25fv47 degen3 greenbea (those present).\n",
      TARVO_BENCH_NETLIB);
}

bool parse(int argc, char **argv, Options *o) {
  for (int a = 1; a < argc; ++a) {
    std::string arg = argv[a];
    auto value = [&](const char *what) -> const char * {
      if (a + 1 >= argc) {
        std::fprintf(stderr, "%s needs %s\n", arg.c_str(), what);
        std::exit(2);
      }
      return argv[++a];
    };
    if (arg == "--help" || arg == "-h") {
      usage();
      std::exit(0);
    } else if (arg == "--changes" || arg == "-k") {
      o->changes = std::atoi(value("a count"));
    } else if (arg == "--verbose" || arg == "-v") {
      o->verbose = true;
    } else if (arg == "--seed") {
      o->seed = std::strtoull(value("a number"), nullptr, 10);
    } else if (arg == "--time-limit") {
      o->time_limit = std::atof(value("seconds"));
    } else if (arg == "--data") {
      o->data = value("a directory");
    } else if (arg == "--method") {
      std::string v = value("free, primal or dual");
      if (v == "free") o->method = TV_METHOD_FREE;
      else if (v == "primal") o->method = TV_METHOD_PSIMPLEX;
      else if (v == "dual") o->method = TV_METHOD_DSIMPLEX;
      else {
        std::fprintf(stderr, "--method expects free, primal or dual\n");
        return false;
      }
    } else if (!arg.empty() && arg[0] == '-') {
      std::fprintf(stderr, "unknown option %s\n", arg.c_str());
      return false;
    } else {
      o->models.push_back(arg);
    }
  }
  return o->changes >= 0;
}

}  // namespace

int main(int argc, char **argv) {
  Options o;
  if (!parse(argc, argv, &o)) {
    usage();
    return 2;
  }
  bool defaults = o.models.empty();
  if (defaults) o.models = {"afiro", "sc205", "scfxm3", "ship12l", "pilot", "25fv47", "degen3", "greenbea"};
  std::vector<std::string> paths;
  for (const std::string &m : o.models) {
    std::string p = resolve(o, m);
    if (!p.empty()) paths.push_back(p);
    else if (!defaults) std::fprintf(stderr, "%s: no such model file (in %s either)\n", m.c_str(), o.data.c_str());
  }
  if (paths.empty()) {
    std::fprintf(stderr, "no model to run\n");
    return 2;
  }
  int code = 0;
  pTVenv env = TVcreateEnv(&code, nullptr);
  if (!env) {
    std::fprintf(stderr, "TVcreateEnv failed (error %d)\n", code);
    return 2;
  }
  std::printf("%d changes per model, seed %llu; warm = re-solve in place, cold = the changed model solved afresh\n",
              o.changes, static_cast<unsigned long long>(o.seed));
  std::printf("%-10s %6s %6s | %8s %9s | %9s %9s | %9s %9s | %6s %6s | %s\n", "model", "rows", "cols", "it_first",
              "t_first", "it_warm", "t_warm", "it_cold", "t_cold", "r_it", "r_time", "note");
  std::vector<ModelReport> reports;
  int mismatches = 0;
  double log_it = 0, log_time = 0;
  int n_ratio = 0;
  for (const std::string &p : paths) {
    ModelReport r;
    if (!run_model(env, o, p, &r)) continue;
    mismatches += r.mismatches;
    double k = r.changes > 0 ? r.changes : 1;
    double wi = r.warm_iter / k, wt = r.warm_time / k, ci = r.cold_iter / k, ct = r.cold_time / k;
    char rit[16] = "NA", rtime[16] = "NA";
    if (r.changes > 0 && ci > 0 && ct > 0) {
      std::snprintf(rit, sizeof rit, "%.3f", wi / ci);
      std::snprintf(rtime, sizeof rtime, "%.3f", wt / ct);
      if (wi > 0 && wt > 0) {
        log_it += std::log(wi / ci);
        log_time += std::log(wt / ct);
        ++n_ratio;
      }
    }
    std::string note;
    if (!optimal(r.cold)) note += "first solve status " + std::to_string(r.cold.status) + "; ";
    if (r.changes + r.unfinished < o.changes) note += std::to_string(r.changes + r.unfinished) + " changes; ";
    if (r.infeasible) note += std::to_string(r.infeasible) + " infeasible (undone); ";
    if (r.unfinished) note += std::to_string(r.unfinished) + " unfinished (left out); ";
    if (r.mismatches) note += "*** " + std::to_string(r.mismatches) + " MISMATCHES ***";
    std::printf("%-10s %6d %6d | %8d %9.4f | %9.1f %9.5f | %9.1f %9.5f | %6s %6s | %s\n", r.name.c_str(), r.m, r.n,
                r.cold.iterations, r.cold.seconds, wi, wt, ci, ct, rit, rtime, note.c_str());
    std::fflush(stdout);
    reports.push_back(r);
  }
  if (n_ratio > 0)
    std::printf("geometric mean warm/cold: iterations %.3f, time %.3f (%d models)\n", std::exp(log_it / n_ratio),
                std::exp(log_time / n_ratio), n_ratio);
  if (mismatches > 0)
    std::printf("\n*** %d WARM RESULTS DISAGREE WITH THE COLD SOLVE: a warm-start bug ***\n", mismatches);
  else
    std::printf("all warm results agree with the cold ones (objective within %g relative)\n", kObjRelTol);
  TVdeleteEnv(&env);
  return mismatches > 0 ? 1 : 0;
}
