// Symmetry detection between presolve and the tree (see mip_symmetry.hpp).
#include "mip/mip_symmetry.hpp"

#include <algorithm>
#include <string>

#include "common/clock.hpp"
#include "mip/mip_presolve_call.hpp"
#include "presolve/symmetry.hpp"
#include "presolve/symmetry_files.hpp"
#include "presolve/symmetry_graph.hpp"

namespace tarvo::mip {
namespace {

// Search budgets per TV_IPARAM_FIND_SYMMETRY_LEVEL: 1 a quick search that
// finds the usual groups, 2 a deeper one.
presolve::AutomorphismOptions search_options(int level, double time_left) {
  presolve::AutomorphismOptions o;
  o.node_limit = level >= 2 ? 2000000 : 50000;
  const double cap = level >= 2 ? 60.0 : 5.0;
  o.time_limit = time_left >= 0 ? std::min(cap, 0.2 * time_left) : cap;
  return o;
}

}  // namespace

std::unique_ptr<OrbitalFixing> detect_mip_symmetry(base::Model *model, const MipProblem &p,
                                                   const std::vector<int> *origin, double time_left) {
  const base::ParamValues &par = model->params;
  const int mode = par.integer(TV_IPARAM_MIP_SYMMETRY_MODE);
  const int level = par.integer(TV_IPARAM_FIND_SYMMETRY_LEVEL);
  if (mode == 0 || level <= 0) return nullptr;
  const int print = par.integer(TV_IPARAM_MIP_PRINTLEVEL) >= 1 ? par.integer(TV_IPARAM_FIND_SYMMETRY_PRINT_LEVEL) : 0;
  auto say = [&](int at, const char *line) {
    if (print >= at) base::log_model(model, 1, "%s", line);
  };
  bool any_int = false;
  for (int j = 0; j < p.n && !any_int; ++j) any_int = p.is_int[j] != 0;
  const int nonzeros = p.col_start.empty() ? 0 : p.col_start[p.n];
  if (!any_int || nonzeros > par.integer(TV_IPARAM_MIP_SYMMETRY_NONZ)) {
    say(1, "Orbit information not available.\n");
    return nullptr;
  }
  say(1, "\nSearching for symmetry group...\n");
  const double t0 = common::wall_seconds();
  presolve::ColouredGraph graph;
  const presolve::ProblemSymmetry s =
      presolve::detect_symmetry(linear_problem_of(p), search_options(level, time_left), print >= 3 ? &graph : nullptr);
  if (print >= 1) {
    if (s.node_limit_hit) say(1, "Leaf node limit has been reached!\n");
    base::log_model(model, 1, "\n*********************Graph Symmetry Info*********************\n");
    base::log_model(model, 1, "Number of vertices: %d\n", s.vertices);
    base::log_model(model, 1, "Number of edges: %d\n", s.edges);
    base::log_model(model, 1, "Number of generators: %d\n", s.graph_generators);
    base::log_model(model, 1, "Number of orbits: %d\n", s.orbits);
    base::log_model(model, 1, "Number of variable orbits: %d\n", s.column_orbits);
    base::log_model(model, 1, "Number of integer variable orbits: %d\n", s.integer_orbits);
    base::log_model(model, 1, "Generating graph time: %f seconds.\n", s.graph_seconds);
    base::log_model(model, 1, "Refining time: %f seconds.\n", s.refine_seconds);
    base::log_model(model, 1, "Step 1 time: %f seconds.\n", s.first_path_seconds);
    base::log_model(model, 1, "Step 2 time: %f seconds.\n", s.search_seconds);
    base::log_model(model, 1, "Time Consumed in symmetry detecting: %f (sec.)\n", common::wall_seconds() - t0);
  }
  const std::string base_name = model->source_base.empty() ? std::string("tarvo") : model->source_base;
  if (print >= 3) {
    // the graph and the generators, for checking the search by other means
    presolve::write_graph_file(base_name + ".dre", graph);
    presolve::write_generator_file(base_name + ".ans", s, origin);
  }
  if (s.generators.empty()) {
    say(1, "Orbit information not available.\n");
    return nullptr;
  }
  if (print >= 2 && presolve::write_orbit_file(base_name + ".orb", s, origin))
    base::log_model(model, 1, "Orbit information is output to file %s\n", (base_name + ".orb").c_str());
  // -1 and 2: the subgroup that keeps each node's bounds; 1: the whole group where it still acts
  return std::make_unique<OrbitalFixing>(p.n, s.generators, mode == 1);
}

}  // namespace tarvo::mip
