// Construction of the symmetry graph (see symmetry_graph.hpp).
#include "presolve/symmetry_graph.hpp"

#include <algorithm>
#include <array>
#include <map>
#include <utility>

namespace tarvo::presolve {
namespace {

// Colour keys compare exactly: symmetric columns have bit-identical data.
using Key = std::array<double, 5>;

enum VertexKind : int { kColumnVertex = 0, kRowVertex = 1, kValueVertex = 2 };

}  // namespace

ColouredGraph build_symmetry_graph(const LinearProblem &p) {
  ColouredGraph g;
  g.columns = p.n;
  g.rows = p.m;
  const bool has_int = !p.integer.empty();
  // row-wise entries
  std::vector<int> row_count(p.m + 1, 0);
  for (int k = 0; k < p.nonzeros(); ++k) ++row_count[p.index[k] + 1];
  for (int i = 0; i < p.m; ++i) row_count[i + 1] += row_count[i];
  std::vector<std::pair<double, int>> entries(p.nonzeros());  // (value, column), grouped by row
  {
    std::vector<int> fill(row_count.begin(), row_count.end() - 1);
    for (int j = 0; j < p.n; ++j)
      for (int k = p.start[j]; k < p.start[j + 1]; ++k) entries[fill[p.index[k]]++] = {p.value[k], j};
  }
  std::vector<Key> keys;
  keys.reserve(p.n + p.m);
  for (int j = 0; j < p.n; ++j)
    keys.push_back({kColumnVertex, has_int && p.integer[j] ? 1.0 : 0.0, p.cost[j], p.lower[j], p.upper[j]});
  // value vertices per row with several distinct values; a row with one value
  // carries it in its own colour and is joined to its columns directly
  std::vector<std::pair<int, int>> edge_list;
  edge_list.reserve(p.nonzeros() + p.m);
  std::vector<Key> value_keys;
  std::vector<std::pair<int, int>> value_edges;  // (value vertex number, column)
  for (int i = 0; i < p.m; ++i) {
    auto first = entries.begin() + row_count[i], last = entries.begin() + row_count[i + 1];
    std::sort(first, last);
    const bool single = first == last || first->first == (last - 1)->first;
    keys.push_back({kRowVertex, p.row_lower[i], p.row_upper[i], single && first != last ? first->first : 0.0,
                    single ? 0.0 : 1.0});
    const int row_vertex = p.n + i;
    if (single) {
      for (auto it = first; it != last; ++it) edge_list.push_back({row_vertex, it->second});
      continue;
    }
    for (auto it = first; it != last;) {
      const int vv = static_cast<int>(value_keys.size());
      value_keys.push_back({kValueVertex, it->first, 0, 0, 0});
      value_edges.push_back({vv, -1 - i});  // the row link, marked by a negative column
      const double v = it->first;
      for (; it != last && it->first == v; ++it) value_edges.push_back({vv, it->second});
    }
  }
  const int base = p.n + p.m;
  g.vertices = base + static_cast<int>(value_keys.size());
  for (const auto &e : value_edges)
    edge_list.push_back({base + e.first, e.second >= 0 ? e.second : p.n + (-1 - e.second)});
  keys.insert(keys.end(), value_keys.begin(), value_keys.end());
  // dense colour ids in key order, so equal graphs get equal colourings
  std::map<Key, int> ids;
  for (const Key &k : keys) ids.emplace(k, 0);
  int next = 0;
  for (auto &kv : ids) kv.second = next++;
  g.colour.resize(g.vertices);
  for (int v = 0; v < g.vertices; ++v) g.colour[v] = ids[keys[v]];
  // adjacency (both directions)
  g.adj_start.assign(g.vertices + 1, 0);
  for (const auto &e : edge_list) {
    ++g.adj_start[e.first + 1];
    ++g.adj_start[e.second + 1];
  }
  for (int v = 0; v < g.vertices; ++v) g.adj_start[v + 1] += g.adj_start[v];
  g.adj.resize(g.adj_start[g.vertices]);
  std::vector<int> fill(g.adj_start.begin(), g.adj_start.end() - 1);
  for (const auto &e : edge_list) {
    g.adj[fill[e.first]++] = e.second;
    g.adj[fill[e.second]++] = e.first;
  }
  for (int v = 0; v < g.vertices; ++v) std::sort(g.adj.begin() + g.adj_start[v], g.adj.begin() + g.adj_start[v + 1]);
  return g;
}

}  // namespace tarvo::presolve
