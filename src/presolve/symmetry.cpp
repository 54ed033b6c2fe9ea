// Symmetry detection of a problem (see symmetry.hpp).
#include "presolve/symmetry.hpp"

#include <algorithm>
#include <map>

#include "common/clock.hpp"
#include "presolve/symmetry_graph.hpp"

namespace tarvo::presolve {

ProblemSymmetry detect_symmetry(const LinearProblem &p, const AutomorphismOptions &opt, ColouredGraph *graph) {
  ProblemSymmetry s;
  double t0 = common::wall_seconds();
  ColouredGraph built = build_symmetry_graph(p);
  const ColouredGraph &g = built;
  s.graph_seconds = common::wall_seconds() - t0;
  s.vertices = g.vertices;
  s.edges = g.edges();
  const AutomorphismResult r = find_automorphisms(g, opt);
  s.refine_seconds = r.refine_seconds;
  s.first_path_seconds = r.first_path_seconds;
  s.search_seconds = r.search_seconds;
  s.complete = r.complete();
  s.node_limit_hit = r.node_limit_hit;
  s.graph_generators = static_cast<int>(r.generators.size());
  for (const auto &gen : r.generators) {
    std::vector<std::pair<int, int>> cols;
    for (const auto &m : gen)
      if (m.first < p.n) cols.push_back(m);
    std::sort(cols.begin(), cols.end());
    if (!cols.empty()) s.generators.push_back(std::move(cols));
  }
  if (r.orbit.empty()) {
    if (graph) *graph = std::move(built);
    return s;
  }
  // orbits of the problem's own columns and rows (the value vertices are the graph's helpers)
  std::map<int, int> size;
  for (int v = 0; v < p.n + p.m; ++v) ++size[r.orbit[v]];
  for (const auto &kv : size) s.orbits += kv.second > 1;
  std::map<int, std::vector<int>> by_rep;
  for (int j = 0; j < p.n; ++j)
    if (size[r.orbit[j]] > 1) by_rep[r.orbit[j]].push_back(j);
  for (auto &kv : by_rep) {
    s.column_orbits += 1;
    s.integer_orbits += !p.integer.empty() && p.integer[kv.second.front()];
    s.orbit_columns.push_back(std::move(kv.second));
  }
  std::sort(s.orbit_columns.begin(), s.orbit_columns.end());
  if (graph) *graph = std::move(built);
  return s;
}

}  // namespace tarvo::presolve
