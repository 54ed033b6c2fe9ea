// Capacities of a model's arrays and room in its column-wise matrix: the
// preallocation calls of hosts and the growth rules every addition relies on
// to stay at amortised constant cost.
#include <algorithm>
#include <climits>
#include <cstring>

#include "model/model_state.hpp"
#include "model/modify_internal.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

template <class T>
void resize_exact(std::vector<T> &v, size_t size, const T &fill) {
  bool shrink = size < v.size();
  v.resize(size, fill);
  if (shrink) v.shrink_to_fit();
}

template <class T>
void set_vector_capacity(std::vector<T> &v, size_t capacity) {
  capacity = std::max(capacity, v.size());
  if (capacity > v.capacity()) {
    v.reserve(capacity);
  } else if (capacity < v.capacity()) {
    std::vector<T> t;
    t.reserve(capacity);
    t.insert(t.end(), v.begin(), v.end());
    v.swap(t);
  }
}

template <class T>
void reserve_geometric(std::vector<T> &v, size_t needed) {
  if (needed > v.capacity()) v.reserve(std::max(needed, 2 * v.capacity()));
}

// Extra free positions a moved column receives when rows are added, so that
// the next shift of the matrix is far away.
int spare_room(long long entries) { return static_cast<int>(std::min<long long>(entries / 2 + 4, INT_MAX / 4)); }

size_t name_end(const NamePool &p, int i) {
  size_t off = static_cast<size_t>(p.offsets[i]);
  if (off >= p.pool.size()) return off;
  return off + strnlen(p.pool.data() + off, p.pool.size() - off) + 1;
}

}  // namespace

void ensure_core(Model *model) {
  if (model->status != TV_STATUS_UNLOADED || !model->data.start.empty()) return;
  ModelData &d = model->data;
  d.m = d.n = d.nz = 0;
  d.row_capacity = 0;
  d.col_capacity = 1;
  d.storage = 0;
  d.c.assign(1, 0.0);
  d.lower.assign(1, 0.0);
  d.upper.assign(1, kInf);
  d.length.assign(1, 0);
  d.start.assign(2, 0);
  d.rowidx.assign(1, 0);
  d.value.assign(1, 0.0);
  d.b.assign(1, 0.0);
  d.ctype.assign(1, '\0');
}

void set_row_capacity(ModelData &d, int capacity) {
  capacity = std::max(capacity, d.m);
  size_t size = static_cast<size_t>(capacity) + 1;
  resize_exact(d.b, size, 0.0);
  resize_exact(d.ctype, size, '\0');
  if (!d.range.empty()) resize_exact(d.range, size, 0.0);
  d.row_capacity = capacity;
}

void set_col_capacity(ModelData &d, int capacity) {
  capacity = std::max(capacity, std::max(d.n, 1));
  size_t size = static_cast<size_t>(capacity);
  resize_exact(d.c, size, 0.0);
  resize_exact(d.lower, size, 0.0);
  resize_exact(d.upper, size, kInf);
  resize_exact(d.length, size, 0);
  int end = d.start.empty() ? 0 : d.start[d.n];
  resize_exact(d.start, size + 1, end);
  if (!d.vtype.empty()) resize_exact(d.vtype, std::max(size, static_cast<size_t>(d.n)), 'C');
  d.col_capacity = capacity;
}

void grow_row_capacity(ModelData &d, int wanted) {
  if (wanted <= d.row_capacity) return;
  long long target = std::max<long long>(static_cast<long long>(wanted) + 100, 2LL * d.row_capacity);
  set_row_capacity(d, static_cast<int>(std::min<long long>(target, INT_MAX - 1)));
}

void grow_col_capacity(ModelData &d, int wanted) {
  if (wanted <= d.col_capacity) return;
  long long target = std::max<long long>(static_cast<long long>(wanted) + 100, 2LL * d.col_capacity);
  set_col_capacity(d, static_cast<int>(std::min<long long>(target, INT_MAX - 1)));
}

int set_storage(ModelData &d, long long size) {
  long long used = d.start.empty() ? 0 : d.start[d.n];
  size = std::max(size, used);
  if (size >= INT_MAX) return err::kNoMemory;
  resize_exact(d.rowidx, static_cast<size_t>(size) + 1, 0);
  resize_exact(d.value, static_cast<size_t>(size) + 1, 0.0);
  d.storage = static_cast<int>(size);
  return 0;
}

int reserve_storage(ModelData &d, long long needed) {
  if (needed <= d.storage) return 0;
  if (needed >= INT_MAX) return err::kNoMemory;
  long long target = std::max<long long>(needed, static_cast<long long>(d.storage) + d.storage / 2 + 64);
  return set_storage(d, std::min<long long>(target, INT_MAX - 1));
}

int make_room(ModelData &d, const std::vector<int> &need, bool spare) {
  const int n = d.n;
  int first = -1;
  for (int j = 0; j < n; ++j) {
    int free = d.start[j + 1] - d.start[j] - d.length[j];
    if (need[j] > free) {
      first = j;
      break;
    }
  }
  if (first < 0) return 0;
  // New starts of the columns from the first short one on; every column only
  // moves towards the end, which lets the copies run from the last column.
  std::vector<long long> ns(n + 1 - first);
  ns[0] = d.start[first];
  for (int j = first; j < n; ++j) {
    int free = d.start[j + 1] - d.start[j] - d.length[j];
    long long want = std::max(need[j], 0);
    long long gap = spare ? std::max<long long>(free, want + spare_room(d.length[j] + want)) : std::max<long long>(free, want);
    ns[j + 1 - first] = ns[j - first] + d.length[j] + gap;
  }
  long long end = ns[n - first];
  if (end >= INT_MAX) return err::kNoMemory;
  int rc = spare ? reserve_storage(d, end) : (end > d.storage ? set_storage(d, end) : 0);
  if (rc) return rc;
  for (int j = n - 1; j >= first; --j) {
    int to = static_cast<int>(ns[j - first]);
    int from = d.start[j];
    if (to != from && d.length[j] > 0) {
      std::memmove(d.rowidx.data() + to, d.rowidx.data() + from, sizeof(int) * d.length[j]);
      std::memmove(d.value.data() + to, d.value.data() + from, sizeof(double) * d.length[j]);
    }
    d.start[j + 1] = static_cast<int>(ns[j + 1 - first]);
  }
  return 0;
}

int make_room_for(ModelData &d, const std::vector<std::pair<int, int>> &needs) {
  bool enough = true;
  for (const auto &[j, k] : needs)
    if (d.start[j + 1] - d.start[j] - d.length[j] < k) {
      enough = false;
      break;
    }
  if (enough) return 0;
  std::vector<int> need(d.n, 0);
  for (const auto &[j, k] : needs) need[j] += k;
  return make_room(d, need, true);
}

void normalise_pool(NamePool &p, int count, bool sentinel) {
  if (!p.present()) return;
  size_t end = 0;
  if (count > 0) {
    end = name_end(p, count - 1);
    if (end != p.pool.size()) {
      end = 0;
      for (int i = 0; i < count; ++i) end = std::max(end, name_end(p, i));
    }
  }
  if (end < p.pool.size()) p.pool.resize(end);
  p.offsets.resize(static_cast<size_t>(count) + (sentinel ? 1 : 0));
  if (sentinel) p.offsets[count] = static_cast<int>(p.pool.size());
}

void reserve_pool(NamePool &p, int count, int k, size_t chars, bool sentinel) {
  size_t base = p.present() ? p.pool.size() : static_cast<size_t>(count);
  reserve_geometric(p.pool, base + chars + k + 1);
  reserve_geometric(p.offsets, static_cast<size_t>(count) + k + 1 + (sentinel ? 1 : 0));
}

void append_names(NamePool &p, int count, int k, char *const *given, bool sentinel) {
  if (!p.present()) {
    p.pool.clear();
    p.offsets.clear();
    p.pool.assign(count, '\0');
    p.offsets.resize(count);
    for (int i = 0; i < count; ++i) p.offsets[i] = i;
  } else {
    normalise_pool(p, count, false);
  }
  for (int t = 0; t < k; ++t) {
    const char *s = given && given[t] ? given[t] : "";
    p.offsets.push_back(static_cast<int>(p.pool.size()));
    p.pool.insert(p.pool.end(), s, s + std::strlen(s) + 1);
  }
  if (sentinel) p.offsets.push_back(static_cast<int>(p.pool.size()));
}

void compact_names(NamePool &p, int count, const std::vector<int> &newindex, bool sentinel) {
  if (!p.present()) return;
  std::vector<char> pool;
  pool.reserve(p.pool.capacity());
  std::vector<int> offsets;
  offsets.reserve(static_cast<size_t>(count) + 1);
  for (int i = 0; i < count; ++i) {
    if (newindex[i] < 0) continue;
    offsets.push_back(static_cast<int>(pool.size()));
    const char *s = p.name(i);
    pool.insert(pool.end(), s, s + std::strlen(s) + 1);
  }
  if (sentinel) offsets.push_back(static_cast<int>(pool.size()));
  p.pool.swap(pool);
  p.offsets.swap(offsets);
}

void set_pool_capacity(NamePool &p, long long size) {
  set_vector_capacity(p.pool, static_cast<size_t>(std::clamp<long long>(size, 0, INT_MAX)));
}

int renumber_list(std::vector<int> &list, const std::vector<int> &newindex, std::vector<char> *keep) {
  if (keep) keep->assign(list.size(), 0);
  size_t w = 0;
  for (size_t t = 0; t < list.size(); ++t) {
    int v = list[t];
    if (v < 0 || v >= static_cast<int>(newindex.size()) || newindex[v] < 0) continue;
    list[w++] = newindex[v];
    if (keep) (*keep)[t] = 1;
  }
  list.resize(w);
  return static_cast<int>(w);
}

}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" {

TVAPI int TVsetProbAllocSizes(pTVmodel model, int colCapacity, int rowCapacity, int matrixCapacity,
                              int quadraticCapacity, int nonlinearCapacity, int nameCapacity) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] {
    ensure_core(model);
    ModelData &d = model->data;
    if (colCapacity != -1) set_col_capacity(d, colCapacity);
    if (rowCapacity != -1) set_row_capacity(d, rowCapacity);
    if (matrixCapacity != -1) {
      int rc = set_storage(d, matrixCapacity);
      if (rc) return rc;
    }
    if (quadraticCapacity != -1) {
      size_t cap = static_cast<size_t>(std::max(quadraticCapacity, 0));
      set_vector_capacity(d.qc.row, cap);
      set_vector_capacity(d.qc.col1, cap);
      set_vector_capacity(d.qc.col2, cap);
      set_vector_capacity(d.qc.coef, cap);
    }
    (void)nonlinearCapacity;  // instruction lists size their own storage
    if (nameCapacity != -1) {
      normalise_pool(d.varnames, d.n, false);
      normalise_pool(d.connames, d.m, true);
      set_pool_capacity(d.varnames, nameCapacity);
      set_pool_capacity(d.connames, nameCapacity);
    }
    return 0;
  });
}

TVAPI int TVsetProbNameAllocSizes(pTVmodel model, int varNamePoolSize, int conNamePoolSize) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] {
    ModelData &d = model->data;
    if (varNamePoolSize != -1) {
      normalise_pool(d.varnames, d.n, false);
      set_pool_capacity(d.varnames, varNamePoolSize);
    }
    if (conNamePoolSize != -1) {
      normalise_pool(d.connames, d.m, true);
      set_pool_capacity(d.connames, conNamePoolSize);
    }
    return 0;
  });
}

TVAPI int TVaddEmptySpacesAcolumns(pTVmodel model, const int *colNnz) {
  if (!live(model) || !colNnz) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] {
    ModelData &d = model->data;
    if (d.n == 0 || d.start.empty()) return 0;
    std::vector<int> need(colNnz, colNnz + d.n);
    return make_room(d, need, false);
  });
}

}  // extern "C"
