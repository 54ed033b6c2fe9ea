// The objective pool of lexicographic optimisation: further objectives of a
// linear or integer model with their rank, sense, weight and tolerances, and
// the solutions the lexicographic solver stores per objective.
#include <cmath>
#include <cstring>
#include <iterator>
#include <memory>
#include <vector>

#include "model/model_state.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

constexpr double kMachineEpsilon = 2.220446049250313e-16;
constexpr size_t kMaxPoolNameLength = 32;

bool has_integer_variables(const ModelData &d) {
  for (int j = 0; j < d.n && j < static_cast<int>(d.vtype.size()); ++j)
    if (d.vtype[j] == 'B' || d.vtype[j] == 'I') return true;
  return false;
}

// Objectives live in the integer pool of an integer model and in the linear
// pool otherwise. When the variable types changed since objectives were added,
// the entries follow the model into the other pool, so there is one pool at a time.
std::vector<PoolObjective> &active_pool(Model *model) {
  ModelData &d = model->data;
  const bool integer = has_integer_variables(d);
  std::vector<PoolObjective> &target = integer ? d.mip_pool : d.lp_pool;
  std::vector<PoolObjective> &other = integer ? d.lp_pool : d.mip_pool;
  if (!other.empty()) {
    target.insert(target.end(), std::make_move_iterator(other.begin()), std::make_move_iterator(other.end()));
    other.clear();
  }
  return target;
}

int find_entry(Model *model, int index, PoolObjective **entry) {
  if (!model->data.obj_pool_open) return err::kNotAvailable;
  std::vector<PoolObjective> &pool = active_pool(model);
  if (pool.empty()) return err::kObjPoolEmpty;
  if (index < 0 || index >= static_cast<int>(pool.size())) return err::kIndexOutOfRange;
  *entry = &pool[index];
  return 0;
}

// -1 stands for the model's own relative optimality tolerance; a zero becomes
// the machine epsilon; anything else must lie strictly between 0 and 1.
int resolve_relative_tolerance(const Model *model, double value, double *out) {
  if (value == -1) {
    *out = model->params.dbl(TV_DPARAM_MIP_RELOPTTOL);
    return 0;
  }
  if (std::fabs(value) <= kMachineEpsilon) {
    *out = kMachineEpsilon;
    return 0;
  }
  if (!(value > 0 && value < 1)) return err::kParamOutOfRange;
  *out = value;
  return 0;
}

int add_objective(Model *model, const double *c, int sense, int rank, double reltol) {
  const ModelData &d = model->data;
  if (rank < 1) return err::kParamOutOfRange;
  if (!d.qc.empty() || d.ncones > 0 || !d.posd.dim.empty() || d.has_instructions) return err::kNotSupported;
  if (sense != TV_MIN && sense != TV_MAX) return err::kParamOutOfRange;
  PoolObjective obj;
  if (int code = resolve_relative_tolerance(model, reltol, &obj.reltol)) return code;
  for (int j = 0; j < d.n; ++j)
    if (!std::isfinite(c[j])) return err::kValueOutOfRange;
  obj.c.assign(c, c + d.n);
  obj.sense = sense;
  obj.rank = rank;
  std::vector<PoolObjective> &pool = active_pool(model);
  pool.push_back(std::move(obj));
  model->data.obj_pool_open = true;
  const PoolObjective &added = pool.back();
  log_model(model, effective_print_level(*model) >= 3, "\nAdded obj %d, rank:%d, wgt:%g, abstol:%g, reltol:%g, sense:%d",
            static_cast<int>(pool.size()) - 1, added.rank, added.weight, added.abstol, added.reltol, added.sense);
  return 0;
}

int remove_objective(Model *model, int index) {
  PoolObjective *entry = nullptr;
  if (int code = find_entry(model, index, &entry)) return code;
  std::vector<PoolObjective> &pool = active_pool(model);
  if (index != static_cast<int>(pool.size()) - 1) pool[index] = std::move(pool.back());
  pool.pop_back();
  return 0;
}

int name_objective(Model *model, int index, const char *name) {
  if (std::strlen(name) > kMaxPoolNameLength) return err::kNameTooLong;
  PoolObjective *entry = nullptr;
  if (int code = find_entry(model, index, &entry)) return code;
  if (*name)
    for (const PoolObjective &other : active_pool(model))
      if (&other != entry && other.name == name) return err::kBadInput;
  entry->name = name;
  return 0;
}

bool is_pool_item(int item) {
  return item == TV_DINFO_OBJWEIGHT || item == TV_DINFO_OBJABSTOL || item == TV_DINFO_OBJRELTOL ||
         item == TV_IINFO_OBJRANK || item == TV_IINFO_OBJSENSE;
}

int set_item(Model *model, PoolObjective &entry, int item, double value) {
  switch (item) {
    case TV_DINFO_OBJWEIGHT:
      if (std::isnan(value)) return err::kParamOutOfRange;
      entry.weight = value;
      return 0;
    case TV_DINFO_OBJABSTOL:
      if (!(value >= 0)) return err::kParamOutOfRange;
      entry.abstol = value;
      return 0;
    case TV_DINFO_OBJRELTOL:
      return resolve_relative_tolerance(model, value, &entry.reltol);
    case TV_IINFO_OBJRANK:
      if (!(value >= 1 && value <= 2147483647.0) || value != std::floor(value)) return err::kParamOutOfRange;
      entry.rank = static_cast<int>(value);
      return 0;
    case TV_IINFO_OBJSENSE:
      if (value != TV_MIN && value != TV_MAX) return err::kParamOutOfRange;
      entry.sense = static_cast<int>(value);
      return 0;
    default:
      return err::kBadParamId;
  }
}

double get_item(const PoolObjective &entry, int item) {
  switch (item) {
    case TV_DINFO_OBJWEIGHT:
      return entry.weight;
    case TV_DINFO_OBJABSTOL:
      return entry.abstol;
    case TV_DINFO_OBJRELTOL:
      return entry.reltol;
    case TV_IINFO_OBJRANK:
      return entry.rank;
    default:
      return entry.sense;
  }
}

bool is_integer_item(int item) { return item == TV_IINFO_OBJRANK || item == TV_IINFO_OBJSENSE; }

double objective_at(const ModelData &d, const std::vector<double> &x) {
  double value = d.obj_constant;
  for (int j = 0; j < d.n; ++j) value += d.c[j] * x[j];
  return value;
}

// A stored solution becomes the current one: the integer result of an integer
// model, the continuous solution otherwise. The status of the solve that
// stored it is kept; without one the point counts as feasible.
int load_stored_solution(Model *model, int objIndex, int solIndex) {
  if (!model->data.obj_pool_open) return err::kNotAvailable;
  std::vector<PoolObjective> &pool = active_pool(model);
  if (objIndex < 0 || objIndex >= static_cast<int>(pool.size())) return err::kIndexOutOfRange;
  const PoolObjective &entry = pool[objIndex];
  if (solIndex < 0 || solIndex >= static_cast<int>(entry.solutions.size())) return err::kIndexOutOfRange;
  const std::vector<double> &x = entry.solutions[solIndex];
  const ModelData &d = model->data;
  if (static_cast<int>(x.size()) != d.n) return err::kNotAvailable;  // stored before the model changed shape
  if (&pool == &model->data.mip_pool) {
    if (!model->mip) {
      model->mip = std::make_unique<MipRecord>();
      model->mip->status = TV_STATUS_FEASIBLE;
      model->mip->finished = true;
    }
    model->mip->x = x;
    model->mip->obj = objective_at(d, x);
    if (model->mip->num_solutions < 1) model->mip->num_solutions = 1;
    return 0;
  }
  int status = model->solution ? model->solution->model_status : TV_STATUS_FEASIBLE;
  if (status < 1 || status > 13 || status == 9) status = TV_STATUS_FEASIBLE;
  return TVloadPrimalSolution(model, status, x.data());
}

}  // namespace
}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" {

TVAPI int TVaddObjPool(pTVmodel model, const double *c, int sense, int rank, double relOptTol) {
  if (!live(model) || !c) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return add_objective(model, c, sense, rank, relOptTol); });
}

TVAPI int TVremObjPool(pTVmodel model, int index) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return remove_objective(model, index); });
}

TVAPI int TVfreeObjPool(pTVmodel model) {
  if (!live(model)) return tarvo::err::kNullArgument;
  model->data.lp_pool.clear();
  model->data.mip_pool.clear();
  model->data.obj_pool_open = false;
  return 0;
}

TVAPI int TVsetObjPoolName(pTVmodel model, int index, const char *name) {
  if (!live(model) || !name) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return name_objective(model, index, name); });
}

TVAPI int TVsetObjPoolParam(pTVmodel model, int index, int item, double value) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] {
    PoolObjective *entry = nullptr;
    if (int code = find_entry(model, index, &entry)) return code;
    return set_item(model, *entry, item, value);
  });
}

TVAPI int TVgetObjPoolParam(pTVmodel model, int index, int item, double *value) {
  if (!live(model) || !value) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] {
    PoolObjective *entry = nullptr;
    if (int code = find_entry(model, index, &entry)) return code;
    if (!is_pool_item(item)) return tarvo::err::kBadParamId;
    *value = get_item(*entry, item);
    return 0;
  });
}

TVAPI int TVgetObjPoolNumSol(pTVmodel model, int index, int *numSolutions) {
  if (!live(model) || !numSolutions) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] {
    PoolObjective *entry = nullptr;
    if (int code = find_entry(model, index, &entry)) return code;
    *numSolutions = static_cast<int>(entry->solutions.size());
    return 0;
  });
}

// The typed view of the same items: rank and sense as int, the others as double.
TVAPI int TVsetObjPoolInfo(pTVmodel model, int index, int item, void *value) {
  if (!live(model) || !value) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] {
    PoolObjective *entry = nullptr;
    if (int code = find_entry(model, index, &entry)) return code;
    if (!is_pool_item(item)) return tarvo::err::kNotAvailable;
    double v = is_integer_item(item) ? *static_cast<int *>(value) : *static_cast<double *>(value);
    return set_item(model, *entry, item, v);
  });
}

TVAPI int TVgetObjPoolInfo(pTVmodel model, int index, int item, void *value) {
  if (!live(model) || !value) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] {
    PoolObjective *entry = nullptr;
    if (int code = find_entry(model, index, &entry)) return code;
    if (!is_pool_item(item)) return tarvo::err::kNotAvailable;
    if (is_integer_item(item))
      *static_cast<int *>(value) = static_cast<int>(get_item(*entry, item));
    else
      *static_cast<double *>(value) = get_item(*entry, item);
    return 0;
  });
}

TVAPI int TVloadSolutionAt(pTVmodel model, int objIndex, int solIndex) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return load_stored_solution(model, objIndex, solIndex); });
}

}  // extern "C"
