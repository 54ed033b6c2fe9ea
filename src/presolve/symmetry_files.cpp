// Symmetry output files (see symmetry_files.hpp).
#include "presolve/symmetry_files.hpp"

#include <cstdio>
#include <map>
#include <memory>

namespace tarvo::presolve {
namespace {

struct Closer {
  void operator()(std::FILE *f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, Closer>;

int column_number(int j, const std::vector<int> *origin) { return origin ? (*origin)[j] : j; }

bool finish(File f) {
  const bool ok = !std::ferror(f.get());
  return std::fclose(f.release()) == 0 && ok;
}

}  // namespace

// One line per orbit: "Orbit k: C0000001, C0000005;".
bool write_orbit_file(const std::string &path, const ProblemSymmetry &s, const std::vector<int> *origin) {
  File f(std::fopen(path.c_str(), "w"));
  if (!f) return false;
  int k = 0;
  for (const std::vector<int> &orbit : s.orbit_columns) {
    std::fprintf(f.get(), "Orbit %d: ", ++k);
    for (std::size_t i = 0; i < orbit.size(); ++i)
      std::fprintf(f.get(), i + 1 < orbit.size() ? "C%07d, " : "C%07d;\n", column_number(orbit[i], origin));
  }
  return finish(std::move(f));
}

// Vertices from 0 (columns, rows, then value vertices); each edge once, at its
// smaller end; the colour classes as the starting partition.
bool write_graph_file(const std::string &path, const ColouredGraph &g) {
  File f(std::fopen(path.c_str(), "w"));
  if (!f) return false;
  std::fprintf(f.get(), "n=%d $=0 g\n", g.vertices);
  for (int v = 0; v < g.vertices; ++v) {
    std::fprintf(f.get(), "%d:", v);
    for (int k = g.adj_start[v]; k < g.adj_start[v + 1]; ++k)
      if (g.adj[k] > v) std::fprintf(f.get(), " %d", g.adj[k]);
    std::fprintf(f.get(), ";\n");
  }
  std::fprintf(f.get(), ".\nf=[");
  std::map<int, std::vector<int>> cells;
  for (int v = 0; v < g.vertices; ++v) cells[g.colour[v]].push_back(v);
  bool first_cell = true;
  for (const auto &kv : cells) {
    std::fprintf(f.get(), first_cell ? "" : " |");
    first_cell = false;
    for (int v : kv.second) std::fprintf(f.get(), " %d", v);
  }
  std::fprintf(f.get(), " ]\nx o\n");
  return finish(std::move(f));
}

// One generator per line as disjoint cycles of columns.
bool write_generator_file(const std::string &path, const ProblemSymmetry &s, const std::vector<int> *origin) {
  File f(std::fopen(path.c_str(), "w"));
  if (!f) return false;
  std::fprintf(f.get(), "Generators: %d\n", static_cast<int>(s.generators.size()));
  for (const auto &gen : s.generators) {
    std::map<int, int> image(gen.begin(), gen.end());
    std::map<int, bool> done;
    for (const auto &m : gen) {
      if (done[m.first]) continue;
      std::fprintf(f.get(), "(");
      int v = m.first;
      bool first = true;
      // the moves form a permutation of their columns: the cycle closes within gen.size() steps
      for (std::size_t step = 0; step <= gen.size() && !done[v]; ++step) {
        done[v] = true;
        std::fprintf(f.get(), first ? "C%07d" : " C%07d", column_number(v, origin));
        first = false;
        v = image.count(v) ? image[v] : v;
      }
      std::fprintf(f.get(), ")");
    }
    std::fprintf(f.get(), "\n");
  }
  return finish(std::move(f));
}

}  // namespace tarvo::presolve
