// Disjoint sets over 0..size-1 with path halving; unite(a, b) makes a's root
// the root of both.
#pragma once

#include <numeric>
#include <vector>

namespace tarvo::common {

struct UnionFind {
  std::vector<int> up;
  explicit UnionFind(int size) : up(size) { std::iota(up.begin(), up.end(), 0); }
  int find(int v) {
    while (up[v] != v) {
      up[v] = up[up[v]];
      v = up[v];
    }
    return v;
  }
  void unite(int a, int b) {
    a = find(a);
    b = find(b);
    if (a != b) up[b] = a;
  }
};

}  // namespace tarvo::common
