// The static parameter table. Each group's records live in params/<group>.def
// as TVP(...) calls in identifier order; this file turns them into records.
#include "params/param_table.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>
#include <vector>

namespace tarvo::base::params {
namespace {

enum { INT = kInt, DBL = kDouble };
enum {
  NONE = kNone,
  LVL = kLevel,
  TOL = kTolerance,
  TUNE = kTunable,
  ENV = kEnvScope,
  MOD = kModelScope,
  BOTH = kEnvScope | kModelScope,
};

#define TVP(ID, TYPE, CLS, MIN, MAX, DFL, STEP, NAME, HELP) \
  {0, ID, #ID, NAME, HELP, TYPE, CLS, MIN, MAX, DFL, DFL, STEP, nullptr},

TVparamRecord g_table[] = {
#include "params/groups/version.def"
#include "params/groups/general.def"
#include "params/groups/solver.def"
#include "params/groups/iis.def"
#include "params/groups/nlp.def"
#include "params/groups/barrier.def"
#include "params/groups/simplex.def"
#include "params/groups/lu.def"
#include "params/groups/mip.def"
#include "params/groups/gop.def"
#include "params/groups/stoc.def"
#include "params/groups/sampling.def"
#include "params/groups/bnp.def"
#include "params/groups/ga.def"
    {0, 0, nullptr, nullptr, nullptr, 0, 0, 0, 0, 0, 0, 0, nullptr},  // end marker
};
#undef TVP

constexpr int kMaxId = 9000;

struct Registry {
  int counted = 0;
  int sorted = 0;
  int indexed = 0;
  size_t name_total = 0;
  std::vector<short> pos_of_id;  // identifier -> index, -1 when unknown
};

Registry &registry() {
  static Registry *reg = [] {
    auto *r = new Registry;
    int n = 0;
    while (g_table[n].id != 0) {
      size_t len = std::strlen(g_table[n].szid);
      r->name_total += std::max<size_t>(len, 12);
      ++n;
    }
    r->counted = n;
    std::stable_sort(g_table, g_table + n,
                     [](const TVparamRecord &a, const TVparamRecord &b) { return a.id < b.id; });
    r->sorted = n;
    r->pos_of_id.assign(kMaxId, -1);
    for (int i = 0; i < n; ++i) {
      g_table[i].pos = static_cast<unsigned>(i);
      int id = g_table[i].id;
      if (id > 0 && id < kMaxId && r->pos_of_id[id] < 0) {
        r->pos_of_id[id] = static_cast<short>(i);
        ++r->indexed;
      }
    }
    if (n > 0) g_table[0].pos = kEnvScope;
    return r;
  }();
  return *reg;
}

const int kSpecialIds[kSpecialIntCount] = {TV_IPARAM_SOLVER_TIMLMT, TV_IPARAM_IIS_ITER_LIMIT,
                                           TV_IPARAM_NLP_ITRLMT};

}  // namespace

const TVparamRecord *records() {
  registry();
  return g_table;
}

int count() { return registry().counted; }

size_t name_length_total() { return registry().name_total; }

int position(int id) {
  const Registry &r = registry();
  if (id <= 0 || id >= kMaxId) return -1;
  return r.pos_of_id[id];
}

const TVparamRecord *find_by_name(const char *name) {
  const TVparamRecord *recs = records();
  for (int i = 0; i < count(); ++i)
    if (std::strcmp(recs[i].szid, name) == 0) return recs + i;
  return nullptr;
}

int special_int_slot(int id) {
  for (int s = 0; s < kSpecialIntCount; ++s)
    if (kSpecialIds[s] == id) return s;
  return -1;
}

Store store_of(const TVparamRecord &rec) {
  if (rec.id >= TV_DPARAM_GA_CXOVER_PROB && rec.id <= TV_IPARAM_GA_SSPACE) return Store::Item;
  if (special_int_slot(rec.id) >= 0) return Store::Item;
  if (std::strncmp(rec.szid, "TV_SPARAM_", 10) == 0) return Store::Item;
  if (rec.id >= 6600 && rec.id <= 6649) return Store::Stochastic;
  return Store::Classic;
}

bool registry_consistent() {
  const Registry &r = registry();
  if (r.counted != r.sorted || r.sorted != r.indexed) return false;
  for (int i = 1; i < r.counted; ++i)
    if (g_table[i - 1].id >= g_table[i].id) return false;
  return true;
}

}  // namespace tarvo::base::params
