// Rules shared by the solution queries and the information items, so that
// TVgetMIPSolutionStatus and TV_IINFO_MIP_STATUS can never disagree.
#pragma once

#include "model/model_state.hpp"

namespace tarvo::base {

// The status a MIP record reports: the final status once the search has
// finished; before that the status so far, or feasible once two or more
// integer solutions exist.
inline int mip_reported_status(const MipRecord &r) {
  if (!r.finished && r.num_solutions >= 2) return TV_STATUS_FEASIBLE;
  return r.status;
}

// Statuses whose solution values may be read.
inline bool status_has_solution(int status) {
  return status == TV_STATUS_OPTIMAL || status == TV_STATUS_BASIC_OPTIMAL || status == TV_STATUS_FEASIBLE ||
         status == TV_STATUS_LOCAL_OPTIMAL;
}

// The data queries additionally refuse while the arrays are lent to the
// threads of a parallel solve.
inline bool data_readable(const Model &model) { return model_available(model) && !model.lent_to_workers; }

}  // namespace tarvo::base
