// Partition refinement and the individualisation search (see
// automorphism_search.hpp). Cells are kept as ranges of one array of
// vertices; refinement splits cells by the number of neighbours in a
// splitter cell, in a fixed order so that isomorphic inputs give isomorphic
// partitions and equal traces.
#include "presolve/automorphism_search.hpp"

#include <algorithm>
#include <cstdint>
#include <numeric>

#include "common/clock.hpp"
#include "common/union_find.hpp"

namespace tarvo::presolve {
namespace {

std::uint64_t mix(std::uint64_t h, std::uint64_t v) {
  h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
  return h * 0xff51afd7ed558ccdULL;
}

struct Partition {
  std::vector<int> elem, pos, cell, len;  // cell[v]: start of v's cell; len[s] valid at cell starts
  int cells = 0;
};

// A partition kept for revisiting: the vertex order and the cell starts.
struct Snapshot {
  std::vector<int> elem, starts;
  std::size_t size() const { return elem.size() + starts.size(); }
};

using common::UnionFind;

class Search {
 public:
  Search(const ColouredGraph &g, const AutomorphismOptions &opt, AutomorphismResult &out)
      : g_(g), opt_(opt), out_(out), uf_(g.vertices) {
    const int n = g.vertices;
    count_.assign(n, 0);
    tcount_.assign(n, 0);
    in_queue_.assign(n, 0);
    mark_.assign(n, 0);
    deadline_ = opt.time_limit >= 0 ? common::wall_seconds() + opt.time_limit : 1e300;
  }

  void run();

 private:
  struct Level {
    Snapshot before;   // the partition the level individualises in
    int target = 0;    // start of the target cell
    int target_len = 0;
    int vertex = 0;    // the first path's choice
    std::uint64_t trace = 0;
    int cells = 0;     // after refinement
  };

  void initial_partition(Partition &p);
  std::uint64_t refine(Partition &p, std::uint64_t h);
  std::uint64_t individualise(Partition &p, int v);
  static int target_cell(const Partition &p);
  static void save(const Partition &p, Snapshot *s);
  void restore(const Snapshot &s, Partition *p) const;
  bool out_of_budget();
  // Depth-first search below `level` for a leaf equivalent to the first path's; true when an automorphism was found.
  bool descend(Partition &q, int level);
  bool check_and_record(const Partition &q);

  const ColouredGraph &g_;
  const AutomorphismOptions &opt_;
  AutomorphismResult &out_;
  UnionFind uf_;
  std::vector<int> count_, tcount_, mark_;
  std::vector<char> in_queue_;
  std::vector<int> queue_, touched_, tcells_, splitter_;
  std::vector<Level> path_;
  std::vector<Snapshot> work_;  // snapshots of the descent, one per level
  std::vector<int> leaf_;       // the first path's discrete order
  int stamp_ = 0;
  double deadline_;
  bool stop_ = false;
};

void Search::initial_partition(Partition &p) {
  const int n = g_.vertices;
  p.elem.resize(n);
  std::iota(p.elem.begin(), p.elem.end(), 0);
  std::stable_sort(p.elem.begin(), p.elem.end(), [&](int a, int b) { return g_.colour[a] < g_.colour[b]; });
  p.pos.resize(n);
  p.cell.resize(n);
  p.len.assign(n, 0);
  p.cells = 0;
  for (int i = 0; i < n;) {
    int k = i;
    while (k < n && g_.colour[p.elem[k]] == g_.colour[p.elem[i]]) ++k;
    for (int t = i; t < k; ++t) {
      p.pos[p.elem[t]] = t;
      p.cell[p.elem[t]] = i;
    }
    p.len[i] = k - i;
    ++p.cells;
    queue_.push_back(i);
    in_queue_[i] = 1;
    i = k;
  }
}

// Splits cells until every cell has, for each splitter, one neighbour count.
std::uint64_t Search::refine(Partition &p, std::uint64_t h) {
  std::size_t head = 0;
  while (head < queue_.size()) {
    const int s = queue_[head++];
    in_queue_[s] = 0;
    splitter_.assign(p.elem.begin() + s, p.elem.begin() + s + p.len[s]);
    for (int v : splitter_)
      for (int k = g_.adj_start[v]; k < g_.adj_start[v + 1]; ++k) {
        const int u = g_.adj[k];
        if (p.len[p.cell[u]] == 1) continue;
        if (count_[u]++ == 0) touched_.push_back(u);
      }
    // touched vertices to the end of their cells
    for (int u : touched_) {
      const int c = p.cell[u];
      if (tcount_[c]++ == 0) tcells_.push_back(c);
      const int target = c + p.len[c] - tcount_[c];
      const int other = p.elem[target], from = p.pos[u];
      p.elem[target] = u;
      p.pos[u] = target;
      p.elem[from] = other;
      p.pos[other] = from;
    }
    std::sort(tcells_.begin(), tcells_.end());
    for (int c : tcells_) {
      const int L = p.len[c], t = tcount_[c];
      auto first = p.elem.begin() + (c + L - t), last = p.elem.begin() + (c + L);
      std::sort(first, last, [&](int a, int b) { return count_[a] < count_[b]; });
      for (int k = c + L - t; k < c + L; ++k) p.pos[p.elem[k]] = k;
      // groups: the untouched part (count 0), then the touched ones by count
      int groups = 0, largest = c, largest_size = 0;
      const bool was_queued = in_queue_[c];
      int k = c;
      while (k < c + L) {
        const int key = k < c + L - t ? 0 : count_[p.elem[k]];
        int e = k;
        if (k < c + L - t)
          e = c + L - t;
        else
          while (e < c + L && count_[p.elem[e]] == key) ++e;
        h = mix(h, (static_cast<std::uint64_t>(c) << 32) ^ (static_cast<std::uint64_t>(key) << 12) ^ (e - k));
        if (e - k > largest_size) {
          largest_size = e - k;
          largest = k;
        }
        if (k != c) {
          for (int q = k; q < e; ++q) p.cell[p.elem[q]] = k;
          ++p.cells;
        }
        p.len[k] = e - k;
        ++groups;
        k = e;
      }
      if (groups == 1) continue;
      // the new cells become splitters; all but the largest suffice unless c was waiting
      for (int q = c; q < c + L; q += p.len[q]) {
        if (in_queue_[q] || (!was_queued && q == largest)) continue;
        in_queue_[q] = 1;
        queue_.push_back(q);
      }
    }
    for (int u : touched_) count_[u] = 0;
    for (int c : tcells_) tcount_[c] = 0;
    touched_.clear();
    tcells_.clear();
  }
  queue_.clear();
  return h;
}

std::uint64_t Search::individualise(Partition &p, int v) {
  const int c = p.cell[v], L = p.len[c];
  const int other = p.elem[c], from = p.pos[v];
  p.elem[c] = v;
  p.pos[v] = c;
  p.elem[from] = other;
  p.pos[other] = from;
  p.len[c] = 1;
  p.len[c + 1] = L - 1;
  for (int k = c + 1; k < c + L; ++k) p.cell[p.elem[k]] = c + 1;
  ++p.cells;
  queue_.push_back(c);
  in_queue_[c] = 1;
  return refine(p, mix(c, L));
}

// The first smallest non-singleton cell: small cells keep the search shallow
// and their vertices are the likeliest to lie in one orbit.
int Search::target_cell(const Partition &p) {
  int best = -1, best_len = 0;
  const int n = static_cast<int>(p.elem.size());
  for (int s = 0; s < n; s += p.len[s])
    if (p.len[s] > 1 && (best < 0 || p.len[s] < best_len)) {
      best = s;
      best_len = p.len[s];
      if (best_len == 2) break;
    }
  return best;
}

void Search::save(const Partition &p, Snapshot *s) {
  s->elem = p.elem;
  s->starts.clear();
  const int n = static_cast<int>(p.elem.size());
  for (int k = 0; k < n; k += p.len[k]) s->starts.push_back(k);
}

void Search::restore(const Snapshot &s, Partition *p) const {
  p->elem = s.elem;
  const int n = static_cast<int>(s.elem.size());
  p->pos.resize(n);
  p->cell.resize(n);
  p->len.assign(n, 0);
  for (std::size_t i = 0; i < s.starts.size(); ++i) {
    const int a = s.starts[i], b = i + 1 < s.starts.size() ? s.starts[i + 1] : n;
    p->len[a] = b - a;
    for (int k = a; k < b; ++k) {
      p->pos[p->elem[k]] = k;
      p->cell[p->elem[k]] = a;
    }
  }
  p->cells = static_cast<int>(s.starts.size());
}

bool Search::out_of_budget() {
  if (stop_) return true;
  if (out_.nodes >= opt_.node_limit) {
    out_.node_limit_hit = stop_ = true;
  } else if ((out_.nodes & 63) == 0 && common::wall_seconds() > deadline_) {
    out_.time_limit_hit = stop_ = true;
  }
  return stop_;
}

// The map from the reference leaf to the discrete partition q, kept when it
// preserves every edge at the vertices it moves.
bool Search::check_and_record(const Partition &q) {
  std::vector<std::pair<int, int>> moved;
  for (std::size_t i = 0; i < leaf_.size(); ++i)
    if (leaf_[i] != q.elem[i]) moved.push_back({leaf_[i], q.elem[i]});
  if (moved.empty()) return false;
  // images by vertex: q.elem[leaf position of v]
  std::vector<int> &where = count_;  // scratch: leaf position + 1 of moved vertices only
  for (const auto &m : moved) where[m.first] = q.pos[m.second] + 1;
  auto image = [&](int v) { return where[v] ? q.elem[where[v] - 1] : v; };
  bool ok = true;
  for (const auto &m : moved) {
    const int u = m.first, w = m.second;
    const int du = g_.adj_start[u + 1] - g_.adj_start[u];
    if (du != g_.adj_start[w + 1] - g_.adj_start[w] || g_.colour[u] != g_.colour[w]) {
      ok = false;
      break;
    }
    ++stamp_;
    for (int k = g_.adj_start[w]; k < g_.adj_start[w + 1]; ++k) mark_[g_.adj[k]] = stamp_;
    for (int k = g_.adj_start[u]; k < g_.adj_start[u + 1] && ok; ++k) ok = mark_[image(g_.adj[k])] == stamp_;
    if (!ok) break;
  }
  for (const auto &m : moved) where[m.first] = 0;
  if (!ok) return false;
  for (const auto &m : moved) uf_.unite(m.first, m.second);
  out_.generators.push_back(std::move(moved));
  return true;
}

bool Search::descend(Partition &q, int level) {
  if (level == static_cast<int>(path_.size())) return check_and_record(q);
  const Level &ref = path_[level];
  if (q.len[ref.target] != ref.target_len) return false;
  if (static_cast<int>(work_.size()) <= level) work_.resize(level + 1);
  save(q, &work_[level]);
  // the first path's own vertex first: generators that fix most of the graph are the sparsest
  std::vector<int> cands(q.elem.begin() + ref.target, q.elem.begin() + ref.target + q.len[ref.target]);
  auto it = std::find(cands.begin(), cands.end(), ref.vertex);
  if (it != cands.end()) std::iter_swap(cands.begin(), it);
  for (std::size_t i = 0; i < cands.size(); ++i) {
    if (out_of_budget()) return false;
    if (i > 0) restore(work_[level], &q);
    ++out_.nodes;
    const std::uint64_t h = individualise(q, cands[i]);
    if (h != ref.trace || q.cells != ref.cells) continue;
    if (descend(q, level + 1)) return true;
    // only one equivalent leaf is needed below the level being revisited
  }
  return false;
}

void Search::run() {
  double t0 = common::wall_seconds();
  Partition p;
  initial_partition(p);
  refine(p, 0);
  out_.refine_seconds = common::wall_seconds() - t0;
  t0 = common::wall_seconds();
  // first path
  long long kept = 0;
  while (p.cells < g_.vertices) {
    Level lv;
    save(p, &lv.before);
    kept += static_cast<long long>(lv.before.size());
    if (kept > opt_.memory_limit / 2) {
      out_.memory_limit_hit = true;
      break;
    }
    if (common::wall_seconds() > deadline_) {
      out_.time_limit_hit = true;
      break;
    }
    lv.target = target_cell(p);
    lv.target_len = p.len[lv.target];
    lv.vertex = p.elem[lv.target];
    lv.trace = individualise(p, lv.vertex);
    lv.cells = p.cells;
    path_.push_back(std::move(lv));
  }
  out_.depth = static_cast<int>(path_.size());
  out_.first_path_seconds = common::wall_seconds() - t0;
  t0 = common::wall_seconds();
  if (p.cells == g_.vertices) {  // the first path reached its leaf
    leaf_ = p.elem;
    Partition q;
    for (int level = static_cast<int>(path_.size()) - 1; level >= 0 && !stop_; --level) {
      const Level &lv = path_[level];
      const Snapshot &s = lv.before;
      std::vector<int> cell(s.elem.begin() + lv.target, s.elem.begin() + lv.target + lv.target_len);
      for (int w : cell) {
        if (w == lv.vertex || uf_.find(w) == uf_.find(lv.vertex)) continue;
        if (out_of_budget()) break;
        restore(s, &q);
        ++out_.nodes;
        const std::uint64_t h = individualise(q, w);
        if (h != lv.trace || q.cells != lv.cells) continue;
        descend(q, level + 1);
      }
    }
  }
  out_.search_seconds = common::wall_seconds() - t0;
  out_.orbit.resize(g_.vertices);
  for (int v = 0; v < g_.vertices; ++v) out_.orbit[v] = uf_.find(v);
}

}  // namespace

AutomorphismResult find_automorphisms(const ColouredGraph &g, const AutomorphismOptions &opt) {
  AutomorphismResult r;
  if (g.vertices == 0) return r;
  Search s(g, opt, r);
  s.run();
  return r;
}

}  // namespace tarvo::presolve
