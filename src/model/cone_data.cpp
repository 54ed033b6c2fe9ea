// Cones (types Q, R, E, P with member columns, an alpha per cone for P):
// loading, appending with names, deleting, changing one cone and the query.
// A column belongs to at most one cone.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "model/member_lists.hpp"
#include "model/model_state.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

bool valid_cone_type(char t) { return t == 'Q' || t == 'R' || t == 'E' || t == 'P'; }

// Checks the members of one cone; `in_cone` marks the columns already taken
// and receives this cone's members.
int check_members(const ModelData &d, int size, const int *members, std::vector<char> &in_cone) {
  for (int p = 0; p < size; ++p) {
    int j = members[p];
    if (j < 0 || j >= d.n || in_cone[j]) return err::kColumnOutOfRange;
    in_cone[j] = 1;
  }
  return 0;
}

// Checks caller cones against the model; nothing is changed.
int check_cones(const ModelData &d, int count, const char *types, const double *alphas, const int *starts,
                const int *cols, std::vector<char> &in_cone) {
  if (starts[0] < 0) return err::kBadColumnLength;
  for (int k = 0; k < count; ++k) {
    char t = types[k];
    if (!valid_cone_type(t) || (t == 'P' && !alphas)) return err::kBadConstraintType;
    int size = starts[k + 1] - starts[k];
    if (!cone_size_fits(t, size)) return err::kBadColumnLength;
    // Alphas are stored for every cone when given, so none may be NaN.
    if (alphas && !std::isfinite(alphas[k])) return err::kValueOutOfRange;
    int code = check_members(d, size, cols + starts[k], in_cone);
    if (code) return code;
  }
  return 0;
}

// Marks of the columns in cones, leaving out cone `skip`.
std::vector<char> cone_columns(const ModelData &d, int skip = -1) {
  std::vector<char> mark(d.n, 0);
  for (int k = 0; k < d.ncones; ++k) {
    if (k == skip) continue;
    for (int p = d.cones.start[k]; p < d.cones.start[k + 1]; ++p) mark[d.cones.member[p]] = 1;
  }
  return mark;
}

std::vector<std::string> cone_names(const ModelData &d) {
  std::vector<std::string> names;
  if (!d.conenames.present()) return names;
  for (int k = 0; k < d.ncones; ++k) names.emplace_back(d.conenames.name(k));
  return names;
}

// Cone names back to back; the extra last offset marks the pool's end.
NamePool make_pool(const std::vector<std::string> &names) {
  NamePool pool;
  if (names.empty()) return pool;
  for (const std::string &name : names) {
    pool.offsets.push_back(static_cast<int>(pool.pool.size()));
    pool.pool.insert(pool.pool.end(), name.begin(), name.end());
    pool.pool.push_back('\0');
  }
  pool.offsets.push_back(static_cast<int>(pool.pool.size()));
  return pool;
}

void set_counts(ModelData &d) {
  d.ncones = static_cast<int>(d.cones.type.size());
  d.ncone_nz = static_cast<int>(d.cones.member.size());
  if (d.ncones == 0) d.cones = ConeData{};
}

int load_cones(Model *model, int count, const char *types, const double *alphas, const int *starts,
               const int *cols) {
  if (count == 0) return 0;
  if (count < 0) return err::kBadInput;
  if (!types || !starts || !cols) return err::kNullArgument;
  ModelData &d = model->data;
  if (d.has_instructions) return err::kAlreadyLoaded;
  std::vector<char> in_cone(d.n, 0);
  int code = check_cones(d, count, types, alphas, starts, cols, in_cone);
  if (code) return code;
  ConeData cones;
  cones.type.assign(types, types + count);
  if (alphas) cones.alpha.assign(alphas, alphas + count);
  copy_groups(count, starts, cols, cones.start, cones.member);
  // The new cones replace the old ones, and the old cone names go with them.
  d.cones = std::move(cones);
  d.conenames = NamePool{};
  set_counts(d);
  model->cone_index.invalidate();
  after_load_reset(model);
  return 0;
}

int add_cones(Model *model, int count, const char *types, const double *alphas, char **names, const int *starts,
              const int *cols) {
  if (count == 0) return 0;
  if (count < 0) return err::kBadInput;
  if (!types || !starts || !cols) return err::kNullArgument;
  ModelData &d = model->data;
  if (d.has_instructions) return err::kAlreadyLoaded;
  std::vector<char> in_cone = cone_columns(d);
  int code = check_cones(d, count, types, alphas, starts, cols, in_cone);
  if (code) return code;
  // Build the new state aside so that a failed allocation changes nothing.
  ConeData cones = d.cones;
  cones.type.insert(cones.type.end(), types, types + count);
  if (alphas || !cones.alpha.empty()) {
    cones.alpha.resize(d.ncones, 0.0);
    for (int k = 0; k < count; ++k) cones.alpha.push_back(alphas ? alphas[k] : 0.0);
  }
  append_groups(count, starts, cols, cones.start, cones.member);
  NamePool pool;
  bool renamed = names || d.conenames.present();
  if (renamed) {
    std::vector<std::string> all = cone_names(d);
    all.resize(d.ncones);  // cones without names so far get empty ones
    for (int k = 0; k < count; ++k) all.emplace_back(names && names[k] ? names[k] : "");
    pool = make_pool(all);
  }
  d.cones = std::move(cones);
  if (renamed) d.conenames = std::move(pool);
  set_counts(d);
  change_epilogue(model, false);
  return 0;
}

int delete_cones(Model *model, int count, const int *list) {
  if (count == 0) return 0;
  if (count < 0) return err::kBadInput;
  if (!list) return err::kNullArgument;
  ModelData &d = model->data;
  std::vector<char> drop;
  int code = check_index_list(count, list, 0, d.ncones, 2012, &drop);
  if (code) return code;
  std::vector<std::string> names = cone_names(d);
  drop_flagged(names, drop);
  NamePool pool = make_pool(names);
  ConeData cones = d.cones;
  drop_flagged(cones.type, drop);
  if (!cones.alpha.empty()) drop_flagged(cones.alpha, drop);
  drop_groups(cones.start, cones.member, drop);
  d.cones = std::move(cones);
  d.conenames = std::move(pool);
  set_counts(d);
  change_epilogue(model, false);
  return 0;
}

int modify_cone(Model *model, char type, int k, int nnz, const int *cols, double alpha) {
  ModelData &d = model->data;
  if (k < 0 || k >= d.ncones) return err::kIndexOutOfRange;
  if (!valid_cone_type(type)) return err::kBadConstraintType;
  if (!cone_size_fits(type, nnz)) return err::kBadColumnLength;
  if (!cols) return err::kNullArgument;
  bool keep_alpha = type == 'P' || !d.cones.alpha.empty();
  if (keep_alpha && !std::isfinite(alpha)) return err::kValueOutOfRange;
  std::vector<char> in_cone = cone_columns(d, k);
  int code = check_members(d, nnz, cols, in_cone);
  if (code) return code;
  ConeData cones = d.cones;
  cones.type[k] = type;
  if (keep_alpha) {
    cones.alpha.resize(d.ncones, 0.0);
    cones.alpha[k] = alpha;
  }
  replace_group(cones.start, cones.member, k, nnz, cols);
  d.cones = std::move(cones);
  set_counts(d);
  change_epilogue(model, false);
  return 0;
}

int get_cone(const Model &model, int k, char *type, double *alpha, int *nnz, int *cols) {
  if (!model_available(model)) return err::kNotAvailable;
  const ModelData &d = model.data;
  if (d.ncones == 0) return err::kNotAvailable;
  if (k < 0 || k >= d.ncones) return err::kIndexOutOfRange;
  const ConeData &c = d.cones;
  if (type) *type = c.type[k];
  if (alpha) *alpha = c.alpha.empty() ? 0.0 : c.alpha[k];
  if (nnz) *nnz = c.start[k + 1] - c.start[k];
  if (cols) std::copy(c.member.begin() + c.start[k], c.member.begin() + c.start[k + 1], cols);
  return 0;
}

}  // namespace
}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" {

TVAPI int TVloadConeData(pTVmodel model, int nCones, const char *coneTypes, const double *alphas,
                         const int *coneStarts, const int *coneCols) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return load_cones(model, nCones, coneTypes, alphas, coneStarts, coneCols); });
}

TVAPI int TVaddCones(pTVmodel model, int nCones, const char *coneTypes, const double *alphas, char **coneNames,
                     const int *coneStarts, const int *coneCols) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded(
      [&] { return add_cones(model, nCones, coneTypes, alphas, coneNames, coneStarts, coneCols); });
}

TVAPI int TVdeleteCones(pTVmodel model, int nCones, const int *cones) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return delete_cones(model, nCones, cones); });
}

TVAPI int TVmodifyCone(pTVmodel model, char coneType, int k, int nnz, const int *coneCols, double alpha) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return modify_cone(model, coneType, k, nnz, coneCols, alpha); });
}

TVAPI int TVgetConeDatai(pTVmodel model, int k, char *coneType, double *alpha, int *nnz, int *coneCols) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return get_cone(*model, k, coneType, alpha, nnz, coneCols); });
}

}  // extern "C"
