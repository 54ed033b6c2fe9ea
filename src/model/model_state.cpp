// Derived state of a model and the steps that keep it in line with the data.
#include "model/model_state.hpp"

namespace tarvo::base {

void mark_names_stale(Model *model) {
  model->var_index.invalidate();
  model->con_index.invalidate();
  model->cone_index.invalidate();
}

void mark_statistics_stale(Model *model) { model->stats.stale = true; }

void classify_model(Model *model) { model->kind.stale = true; }

const ModelClass &model_class(Model *model) {
  ModelClass &k = model->kind;
  if (!k.stale) return k;
  k.stale = false;
  const ModelData &d = model->data;
  k.quadratic = !d.qc.empty();
  k.conic = d.ncones > 0 || !d.posd.dim.empty();
  k.sets = d.sets.count() > 0;
  k.semicont = !d.semicont.var.empty();
  k.nonlinear = d.has_instructions;
  k.integer = false;
  for (char t : d.vtype)
    if (t == 'B' || t == 'I') {
      k.integer = true;
      break;
    }
  return k;
}

void reset_solution_statuses(Model *model) {
  if (!model->solution) return;
  model->solution->model_status = TV_STATUS_LOADED;
  if (model->solution->primal_status != TV_STATUS_UNLOADED) model->solution->primal_status = TV_STATUS_UNKNOWN;
}

void discard_mip_record(Model *model) {
  if (!model->cut_row_switch) model->mip.reset();
}

void after_load_reset(Model *model) {
  reset_solution_statuses(model);
  discard_mip_record(model);
  model->iis.reset();
  model->ius.reset();
  free_solver_memory(model);
  mark_statistics_stale(model);
  classify_model(model);
}

void change_epilogue(Model *model, bool keep_work) {
  model->status = TV_STATUS_LOADED;
  reset_solution_statuses(model);
  discard_mip_record(model);
  model->iis.reset();  // the analysed model no longer exists
  model->ius.reset();
  mark_names_stale(model);
  mark_statistics_stale(model);
  classify_model(model);
  if (!keep_work) free_solver_memory(model);
}

}  // namespace tarvo::base
