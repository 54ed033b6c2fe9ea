// Root of the MIP without the tree: LP bound, bound after the root cut loop,
// gap closed against the reference optimum, cut count and time; then the root
// heuristics: best solution, its gap and the time to the first one.
// Usage: bench_mip_root [--mask N] [--param NAME=VALUE ...] [--cuts-only] [--shuffle SEED]
//                       [--log] [model ...]
// (default: every model of optimal.csv; a model with a '/' is a file path);
// --mask sets the root cut mask, --param any other parameter, --cuts-only
// skips the heuristics, --shuffle orders columns and rows at random (other LP
// vertices, for checking that the root bound does not hang on one), --log
// prints the cut loop's log.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "common/clock.hpp"
#include "mip/cutpool.hpp"
#include "miplib_model.hpp"

namespace {

// The first incumbent's time and value, on top of the checking sink.
class TimedSink : public mip_test::CheckingSink {
 public:
  using CheckingSink::CheckingSink;
  bool submit(const std::vector<double> &x, const char *tag) override {
    const bool ok = CheckingSink::submit(x, tag);
    if (ok && first_time < 0) {
      first_time = tarvo::common::wall_seconds() - start;
      first_value = incumbent_objective();
    }
    return ok;
  }
  double start = 0, first_time = -1, first_value = 0;
};

std::map<std::string, double> reference_optima() {
  std::map<std::string, double> opt;
  std::ifstream in(std::string(TARVO_DATA_DIR) + "/miplib3/optimal.csv");
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) {
    std::stringstream ss(line);
    std::string name, value;
    std::getline(ss, name, ',');
    std::getline(ss, value, ',');
    opt[name] = std::stod(value);
  }
  return opt;
}

double rel_gap(double z, double opt) { return (z - opt) / std::max(1.0, std::fabs(opt)); }

}  // namespace

int main(int argc, char **argv) {
  const auto optima = reference_optima();
  std::vector<std::string> names;
  int mask = -1;
  std::vector<std::pair<int, double>> settings;  // table position, value
  bool heuristics = true, show_log = false;
  unsigned shuffle = 0;
  for (int a = 1; a < argc; ++a) {
    const std::string arg = argv[a];
    if (arg == "--mask" && a + 1 < argc)
      mask = std::atoi(argv[++a]);
    else if (arg == "--param" && a + 1 < argc) {
      const std::string set = argv[++a];
      const size_t eq = set.find('=');
      const TVparamRecord *rec = eq == std::string::npos ? nullptr
                                 : tarvo::base::params::find_by_name(set.substr(0, eq).c_str());
      if (!rec) {
        std::fprintf(stderr, "unknown parameter setting %s\n", set.c_str());
        return 2;
      }
      settings.emplace_back(tarvo::base::params::position(rec->id), std::atof(set.c_str() + eq + 1));
    } else if (arg == "--cuts-only")
      heuristics = false;
    else if (arg == "--log")
      show_log = true;
    else if (arg == "--shuffle" && a + 1 < argc)
      shuffle = static_cast<unsigned>(std::atol(argv[++a]));
    else
      names.push_back(arg);
  }
  if (names.empty())
    for (const auto &kv : optima) names.push_back(kv.first);
  std::printf("%-10s %8s %15s %15s %15s %7s %6s %7s %15s %8s %8s %8s\n", "model", "rows", "lp_bound", "cut_bound",
              "optimum", "closed", "cuts", "cut_s", "heur_best", "heur_gap", "first_s", "heur_s");
  for (const auto &name : names) {
    mip_test::MipModel mm;
    const double t0 = tarvo::common::wall_seconds();
    if (!mm.load(name, shuffle)) {
      std::printf("%-10s not loaded or LP not optimal\n", name.c_str());
      continue;
    }
    // a file's optimum is looked up by its base name
    std::string key = name.substr(name.find_last_of('/') + 1);
    key = key.substr(0, key.find('.'));
    const double opt = optima.count(key) ? optima.at(key) : NAN;
    if (mask >= 0) mm.params.store(tarvo::base::params::position(TV_IPARAM_MIP_CUTLEVEL_TOP), mask);
    for (const auto &[pos, value] : settings) mm.params.store(pos, value);
    TimedSink sink(mm.prob);
    auto ctx = mm.context(sink);
    ctx.print_level = show_log ? 7 : 0;
    ctx.deadline = tarvo::common::wall_seconds() + 60;
    auto pool = tarvo::mip::make_cut_pool(mm.prob);
    const double t1 = tarvo::common::wall_seconds();
    const auto loop = tarvo::mip::root_cut_loop(ctx, *pool);
    const double t2 = tarvo::common::wall_seconds();
    const double bound = loop.bound;
    sink.start = t0;
    ctx.deadline = tarvo::common::wall_seconds() + 60;
    if (heuristics) tarvo::mip::root_heuristics(ctx);
    const double t3 = tarvo::common::wall_seconds();
    if (show_log)
      for (const auto &line : mm.log) std::printf("%s", line.c_str());
    if (show_log) std::printf("\n");
    const double closed = (bound - mm.lp_bound) / (opt - mm.lp_bound);
    std::printf("%-10s %8d %15.6g %15.6g %15.6g %7.3f %6d %7.2f %15.6g %8.4f %8.2f %8.2f\n", name.c_str(),
                mm.prob.m, mm.lp_bound, bound, opt, closed, pool->size(), t2 - t1,
                sink.has_incumbent() ? sink.incumbent_objective() : NAN,
                sink.has_incumbent() ? rel_gap(sink.incumbent_objective(), opt) : NAN,
                sink.first_time, t3 - t2);
    std::fflush(stdout);
  }
  return 0;
}
