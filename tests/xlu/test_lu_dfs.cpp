// The reach search behind every sparse triangular solve: exactly the nodes
// reachable from the start set, each before every node it reaches, on random
// graphs with leaves, long chains and repeated or already-marked starts.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "xlu/lu_internal.hpp"

namespace {

using tarvo::xlu::detail::dfs_reach;

struct Graph {
  int n = 0;
  std::vector<int> begin, end, index;
};

// Edges go from a node to higher-numbered nodes (a DAG, like a factor's graph);
// about a third of the nodes are leaves and a few carry a long chain.
Graph random_dag(int n, std::mt19937& rng) {
  Graph g;
  g.n = n;
  std::uniform_int_distribution<int> deg(0, 5);
  for (int v = 0; v < n; ++v) {
    g.begin.push_back(static_cast<int>(g.index.size()));
    if (v + 1 < n && rng() % 3 != 0) {
      const int d = deg(rng);
      for (int k = 0; k < d; ++k) g.index.push_back(v + 1 + static_cast<int>(rng() % (n - v - 1)));
      if (rng() % 10 == 0) g.index.push_back(v + 1);  // chain link
    }
    g.end.push_back(static_cast<int>(g.index.size()));
  }
  return g;
}

std::vector<char> reachable(const Graph& g, const std::vector<int>& start) {
  std::vector<char> seen(g.n, 0);
  std::vector<int> todo(start);
  while (!todo.empty()) {
    const int v = todo.back();
    todo.pop_back();
    if (seen[v]) continue;
    seen[v] = 1;
    for (int p = g.begin[v]; p < g.end[v]; ++p) todo.push_back(g.index[p]);
  }
  return seen;
}

TEST(LuDfs, ReachIsCompleteAndTopologicallyOrdered) {
  std::mt19937 rng(7);
  std::vector<int> mark, stack, pstack, out;
  int stamp = 0;
  for (int trial = 0; trial < 300; ++trial) {
    const int n = 1 + static_cast<int>(rng() % 400);
    Graph g = random_dag(n, rng);
    // a chain through every node now and then: the deepest possible stack
    if (trial % 50 == 0) {
      g.index.clear();
      for (int v = 0; v < n; ++v) {
        g.begin[v] = static_cast<int>(g.index.size());
        if (v + 1 < n) g.index.push_back(v + 1);
        g.end[v] = static_cast<int>(g.index.size());
      }
    }
    mark.assign(n, 0);
    stack.assign(n + 1, -1);
    pstack.assign(n + 1, -1);
    out.assign(n, -1);
    // stale marks of an older stamp must not hide nodes
    for (int v = 0; v < n; ++v) mark[v] = static_cast<int>(rng() % 2) ? stamp : 0;
    ++stamp;
    std::vector<int> start;
    const int ns = 1 + static_cast<int>(rng() % 6);
    for (int s = 0; s < ns; ++s) start.push_back(static_cast<int>(rng() % n));
    start.push_back(start.front());  // a repeated start counts once
    const int top = dfs_reach(n, static_cast<int>(start.size()), start.data(), g.begin.data(), g.end.data(),
                              g.index.data(), mark.data(), stamp, stack.data(), pstack.data(), out.data());
    const std::vector<char> want = reachable(g, start);
    std::vector<int> pos(n, -1);
    for (int k = top; k < n; ++k) {
      const int v = out[k];
      ASSERT_GE(v, 0);
      ASSERT_LT(v, n);
      ASSERT_EQ(pos[v], -1) << "node listed twice";
      pos[v] = k;
    }
    for (int v = 0; v < n; ++v) {
      ASSERT_EQ(pos[v] >= 0, want[v] != 0) << "trial " << trial << " node " << v;
      ASSERT_EQ(mark[v] == stamp, want[v] != 0);
      if (pos[v] < 0) continue;
      for (int p = g.begin[v]; p < g.end[v]; ++p) ASSERT_LT(pos[v], pos[g.index[p]]) << "edge out of order";
    }
  }
}

}  // namespace
