// Special ordered and cardinality sets (types 1 to 4 with member columns, a
// cardinality for type 4): loading, appending, deleting, changing one set,
// the activity state of a set and the queries.
#include <algorithm>
#include <vector>

#include "model/member_lists.hpp"
#include "model/model_state.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

// Type and size of one set: 1 and 3 need a member, 2 two; type 4 needs a
// cardinality that is not negative.
int check_kind(int type, int size, const int *cardinality) {
  switch (type) {
    case 1:
    case 3:
      return size < 1 ? 2050 : 0;
    case 2:
      return size < 2 ? 2050 : 0;
    case 4:
      if (size < 0) return err::kBadColumnLength;
      if (!cardinality) return err::kNullArgument;
      return *cardinality < 0 ? 2047 : 0;
    default:
      return err::kBadConstraintType;
  }
}

// Members in 0..n-1, none twice in the set. `mark` is all zero on entry and on return.
int check_members(const ModelData &d, int size, const int *members, std::vector<char> &mark) {
  int code = 0;
  int p = 0;
  for (; p < size; ++p) {
    int j = members[p];
    if (j < 0 || j >= d.n || mark[j]) {
      code = err::kColumnOutOfRange;
      break;
    }
    mark[j] = 1;
  }
  for (int q = 0; q < p; ++q) mark[members[q]] = 0;
  return code;
}

int check_sets(const ModelData &d, int count, const char *types, const int *cards, const int *starts,
               const int *cols) {
  if (starts[0] < 0) return err::kBadColumnLength;
  std::vector<char> mark(d.n, 0);
  for (int k = 0; k < count; ++k) {
    int size = starts[k + 1] - starts[k];
    int code = check_kind(static_cast<unsigned char>(types[k]), size, cards ? cards + k : nullptr);
    if (code) return code;
    code = check_members(d, size, cols + starts[k], mark);
    if (code) return code;
  }
  return 0;
}

bool has_cardinality_set(int count, const char *types) {
  for (int k = 0; k < count; ++k)
    if (types[k] == 4) return true;
  return false;
}

int load_sets(Model *model, int count, const char *types, const int *cards, const int *starts, const int *cols) {
  if (count == 0) return 0;
  if (count < 0) return err::kBadInput;
  ModelData &d = model->data;
  if (d.sets.count() > 0) return err::kAlreadyLoaded;
  if (!types || !starts || !cols) return err::kNullArgument;
  int code = check_sets(d, count, types, cards, starts, cols);
  if (code) return code;
  SetData sets;
  sets.type.assign(types, types + count);
  copy_groups(count, starts, cols, sets.start, sets.member);
  if (has_cardinality_set(count, types)) sets.cardinality.assign(cards, cards + count);
  sets.state.assign(count, 0);
  d.sets = std::move(sets);
  after_load_reset(model);
  return 0;
}

int add_sets(Model *model, int count, const char *types, const int *cards, const int *starts, const int *cols) {
  if (count == 0) return 0;
  if (count < 0) return err::kBadInput;
  if (!types || !starts || !cols) return err::kNullArgument;
  ModelData &d = model->data;
  int code = check_sets(d, count, types, cards, starts, cols);
  if (code) return code;
  const int old = d.sets.count();
  SetData sets = d.sets;
  sets.type.insert(sets.type.end(), types, types + count);
  append_groups(count, starts, cols, sets.start, sets.member);
  if (!sets.cardinality.empty() || has_cardinality_set(count, types)) {
    sets.cardinality.resize(old, 0);
    for (int k = 0; k < count; ++k) sets.cardinality.push_back(cards ? cards[k] : 0);
  }
  sets.state.resize(old + count, 0);
  if (!sets.active.empty()) sets.active.resize(old + count, 1);
  d.sets = std::move(sets);
  change_epilogue(model, false);
  return 0;
}

int delete_sets(Model *model, int count, const int *list) {
  if (count == 0) return 0;
  if (count < 0) return err::kBadInput;
  if (!list) return err::kNullArgument;
  ModelData &d = model->data;
  std::vector<char> drop;
  int code = check_index_list(count, list, 0, d.sets.count(), 2012, &drop);
  if (code) return code;
  SetData sets = d.sets;
  drop_flagged(sets.type, drop);
  drop_flagged(sets.cardinality, drop);
  drop_flagged(sets.state, drop);
  drop_flagged(sets.active, drop);
  drop_groups(sets.start, sets.member, drop);
  if (sets.count() == 0) sets = SetData{};
  d.sets = std::move(sets);
  change_epilogue(model, false);
  return 0;
}

int modify_set(Model *model, char type, int k, int nnz, const int *cols) {
  ModelData &d = model->data;
  if (k < 0 || k >= d.sets.count()) return err::kIndexOutOfRange;
  const int t = static_cast<unsigned char>(type);
  // The call carries no cardinality: a set that becomes type 4 keeps the
  // one it has, or gets 0.
  int cardinality = d.sets.cardinality.empty() ? 0 : d.sets.cardinality[k];
  int code = check_kind(t, nnz, &cardinality);
  if (code) return code;
  if (nnz > 0 && !cols) return err::kNullArgument;
  std::vector<char> mark(d.n, 0);
  code = check_members(d, nnz, cols, mark);
  if (code) return code;
  SetData sets = d.sets;
  sets.type[k] = type;
  if (t == 4 && sets.cardinality.empty()) sets.cardinality.assign(sets.count(), 0);
  replace_group(sets.start, sets.member, k, nnz, cols);
  d.sets = std::move(sets);
  change_epilogue(model, false);
  return 0;
}

// The activity flag is 1 minus the state; sets never touched count as state 0.
int set_state(Model *model, int k, int state) {
  SetData &sets = model->data.sets;
  if (k < 0 || k >= sets.count()) return err::kIndexOutOfRange;
  if (state != 0 && state != 1) return err::kBadInput;
  if (sets.active.empty()) sets.active.assign(sets.count(), 1);
  sets.state.resize(sets.count(), 0);
  sets.state[k] = static_cast<char>(state);
  sets.active[k] = static_cast<char>(1 - state);
  change_epilogue(model, false);
  return 0;
}

int get_sets(const Model &model, int *nsets, int *ntotal, char *types, int *cards, int *sizes, int *starts,
             int *cols) {
  if (!model_available(model)) return err::kNotAvailable;
  const SetData &s = model.data.sets;
  const int count = s.count();
  if (count == 0) return err::kNotAvailable;
  if (nsets) *nsets = count;
  if (ntotal) *ntotal = static_cast<int>(s.member.size());
  if (types) std::copy(s.type.begin(), s.type.end(), types);
  if (cards) {
    if (s.cardinality.empty())
      std::fill(cards, cards + count, 0);
    else
      std::copy(s.cardinality.begin(), s.cardinality.end(), cards);
  }
  for (int k = 0; k < count; ++k) {
    if (sizes) sizes[k] = s.start[k + 1] - s.start[k];
    if (starts) starts[k] = s.start[k];
  }
  if (starts) starts[count] = s.start[count];
  if (cols) std::copy(s.member.begin(), s.member.end(), cols);
  return 0;
}

int get_set(const Model &model, int k, char *type, int *card, int *size, int *cols) {
  if (!model_available(model)) return err::kNotAvailable;
  const SetData &s = model.data.sets;
  if (s.count() == 0) return err::kNotAvailable;
  if (k < 0 || k >= s.count()) return err::kIndexOutOfRange;
  if (type) *type = s.type[k];
  if (card) *card = s.cardinality.empty() ? 0 : s.cardinality[k];
  if (size) *size = s.start[k + 1] - s.start[k];
  if (cols) std::copy(s.member.begin() + s.start[k], s.member.begin() + s.start[k + 1], cols);
  return 0;
}

}  // namespace
}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" {

TVAPI int TVloadSETSData(pTVmodel model, int nSets, const char *setTypes, const int *cardinalities,
                         const int *setStarts, const int *setCols) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return load_sets(model, nSets, setTypes, cardinalities, setStarts, setCols); });
}

TVAPI int TVaddSETS(pTVmodel model, int nSets, const char *setTypes, const int *cardinalities,
                    const int *setStarts, const int *setCols) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return add_sets(model, nSets, setTypes, cardinalities, setStarts, setCols); });
}

TVAPI int TVdeleteSETS(pTVmodel model, int nSets, const int *sets) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return delete_sets(model, nSets, sets); });
}

TVAPI int TVmodifySET(pTVmodel model, char setType, int k, int nnz, const int *setCols) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return modify_set(model, setType, k, nnz, setCols); });
}

TVAPI int TVsetSETSStatei(pTVmodel model, int k, int state) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return set_state(model, k, state); });
}

TVAPI int TVgetSETSData(pTVmodel model, int *nSets, int *nTotal, char *setTypes, int *cardinalities,
                        int *setSizes, int *setStarts, int *setCols) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded(
      [&] { return get_sets(*model, nSets, nTotal, setTypes, cardinalities, setSizes, setStarts, setCols); });
}

TVAPI int TVgetSETSDatai(pTVmodel model, int k, char *setType, int *cardinality, int *size, int *setCols) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return get_set(*model, k, setType, cardinality, size, setCols); });
}

}  // extern "C"
