// What every change of a model does to the state derived from its data: the
// after-load reset of the loaders and the common epilogue of modifications.
#pragma once

#include "model/model.hpp"

namespace tarvo::base {

// Name tables and statistics no longer describe the data.
void mark_names_stale(Model *model);
void mark_statistics_stale(Model *model);

// The problem class (quadratic, conic, integer, ...) must be recomputed. The
// scan is left to model_class so that long runs of changes stay cheap.
void classify_model(Model *model);
const ModelClass &model_class(Model *model);

// Solution statuses after a change: model status 14, primal status 12 unless
// it was 13 (not available).
void reset_solution_statuses(Model *model);

// The MIP record is discarded unless the model is a node problem (cut-row switch on).
void discard_mip_record(Model *model);

// Steps that end every loader that changes the problem structure (sets,
// semicontinuous data, cones, quadratic data).
void after_load_reset(Model *model);

// The common epilogue of every modification. `keep_work` is true when the
// change was applied to the solver work object in place.
void change_epilogue(Model *model, bool keep_work);

// Rows counted by row queries: m plus the cut rows while the switch is on.
inline int counted_rows(const Model &model) {
  return model.data.m + (model.cut_row_switch ? model.cut_rows : 0);
}

// The availability rule shared by the queries: loaded and not inside a
// callback that is rebuilding the arrays.
inline bool model_available(const Model &model) {
  return model.status != TV_STATUS_UNLOADED && model.phase_marker >= 0;
}

// Invariants of the data; false with a description of the first violation.
bool check_model(const Model &model, std::string *why);

}  // namespace tarvo::base
