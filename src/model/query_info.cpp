// TVgetInfo and its typed companions: numbered information items answered
// from the model's data, statistics block, solution record and MIP record.
// Items the model does not answer go to the stochastic store, then to the
// profiler table.
#include <cmath>
#include <cstring>
#include <optional>
#include <type_traits>

#include "env/profiler.hpp"
#include "model/query_rules.hpp"
#include "model/statistics.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

// One answer: the code and, when `write` is set, a value of the item's type.
// An answer may carry a value together with a failure code (the infeasibility
// items write 1e30 before there is a solution).
struct InfoAnswer {
  int code = 0;
  bool is_double = false;
  bool write = false;
  int ival = 0;
  double dval = 0;
};

InfoAnswer integer(int v) { return {0, false, true, v, 0}; }
InfoAnswer real(double v) { return {0, true, true, 0, v}; }
InfoAnswer unavailable() { return {2009, false, false, 0, 0}; }

// Iteration counters are kept as doubles; the integer items saturate.
int counter(double v) {
  if (!(v > 0)) return 0;
  return v >= 2147483647.0 ? 2147483647 : static_cast<int>(v);
}

// Model statistics 11010 to 11079; all need the model available.
std::optional<InfoAnswer> statistics_item(Model *model, int item) {
  if (item < TV_IINFO_NUM_CONS || item > TV_IINFO_NUM_NLP_COUNT) return std::nullopt;
  const ModelData &d = model->data;
  auto stat = [&](int Statistics::*member) -> std::optional<InfoAnswer> {
    if (!model_available(*model)) return unavailable();
    return integer(current_statistics(model).*member);
  };
  auto direct = [&](int value) -> std::optional<InfoAnswer> {
    if (!model_available(*model)) return unavailable();
    return integer(value);
  };
  // The coefficient extremes exist only for a matrix with a nonzero entry.
  auto extreme = [&](auto member) -> std::optional<InfoAnswer> {
    if (!model_available(*model)) return unavailable();
    const Statistics &s = current_statistics(model);
    if (s.min_coef_col < 0) return unavailable();
    if constexpr (std::is_same_v<decltype(member), double Statistics::*>)
      return real(s.*member);
    else
      return integer(s.*member);
  };
  switch (item) {
    case TV_IINFO_NUM_CONS: return direct(d.m);
    case TV_IINFO_NUM_VARS: return direct(d.n);
    case TV_IINFO_NUM_NONZ: return direct(d.nz);
    case TV_IINFO_NUM_BIN: return stat(&Statistics::nbin);
    case TV_IINFO_NUM_INT: return stat(&Statistics::nint);
    case TV_IINFO_NUM_CONT: return stat(&Statistics::ncont);
    case TV_IINFO_NUM_QC_NONZ: return direct(d.nqc_nz);
    case TV_IINFO_NUM_NLP_NONZ: return direct(d.nnl_con);
    case TV_IINFO_NUM_NLPOBJ_NONZ: return direct(d.nnl_obj);
    case TV_IINFO_LEN_VARNAMES: return direct(name_pool_extent(d.varnames, d.n));
    case TV_IINFO_LEN_CONNAMES: return direct(name_pool_extent(d.connames, d.m));
    case TV_IINFO_NUM_CONES: return direct(d.ncones);
    case TV_IINFO_NUM_CONE_NONZ: return direct(d.ncone_nz);
    case TV_IINFO_LEN_CONENAMES: return direct(name_pool_extent(d.conenames, d.ncones));
    case TV_DINFO_INST_VAL_MIN_COEF: return extreme(&Statistics::min_coef);
    case TV_IINFO_INST_VARNDX_MIN_COEF: return extreme(&Statistics::min_coef_col);
    case TV_IINFO_INST_CONNDX_MIN_COEF: return extreme(&Statistics::min_coef_row);
    case TV_DINFO_INST_VAL_MAX_COEF: return extreme(&Statistics::max_coef);
    case TV_IINFO_INST_VARNDX_MAX_COEF: return extreme(&Statistics::max_coef_col);
    case TV_IINFO_INST_CONNDX_MAX_COEF: return extreme(&Statistics::max_coef_row);
    case TV_IINFO_NUM_VARS_CARD: return stat(&Statistics::nvars_card);
    case TV_IINFO_NUM_VARS_SOS1: return stat(&Statistics::nvars_sos1);
    case TV_IINFO_NUM_VARS_SOS2: return stat(&Statistics::nvars_sos2);
    case TV_IINFO_NUM_VARS_SOS3: return stat(&Statistics::nvars_sos3);
    case TV_IINFO_NUM_VARS_SCONT: return stat(&Statistics::nvars_scont);
    case TV_IINFO_NUM_CONS_L: return stat(&Statistics::ncons_l);
    case TV_IINFO_NUM_CONS_E: return stat(&Statistics::ncons_e);
    case TV_IINFO_NUM_CONS_G: return stat(&Statistics::ncons_g);
    case TV_IINFO_NUM_CONS_R: return stat(&Statistics::ncons_r);
    case TV_IINFO_NUM_CONS_N: return stat(&Statistics::ncons_n);
    case TV_IINFO_NUM_VARS_LB: return stat(&Statistics::nvars_lb);
    case TV_IINFO_NUM_VARS_UB: return stat(&Statistics::nvars_ub);
    case TV_IINFO_NUM_VARS_LUB: return stat(&Statistics::nvars_lub);
    case TV_IINFO_NUM_VARS_FR: return stat(&Statistics::nvars_fr);
    case TV_IINFO_NUM_VARS_FX: return stat(&Statistics::nvars_fx);
    default: return std::nullopt;
  }
}

// Items of the last continuous solve; each needs the solution record except
// the model status, which falls back to the model's own status.
std::optional<InfoAnswer> solution_item(Model *model, int item) {
  const SolutionRecord *s = model->solution.get();
  switch (item) {
    case TV_IINFO_MODEL_STATUS: return integer(s ? s->model_status : model->status);
    case TV_IINFO_METHOD:
      if (!s) return unavailable();
      return integer(s->used_method);
    case TV_DINFO_PINFEAS:
    case TV_DINFO_DINFEAS:
      if (!s) return InfoAnswer{2009, true, true, 0, 1e30};
      return real(item == TV_DINFO_PINFEAS ? s->pinfeas : s->dinfeas);
    default: break;
  }
  switch (item) {
    case TV_DINFO_POBJ:
    case TV_DINFO_DOBJ:
    case TV_IINFO_PRIMAL_STATUS:
    case TV_IINFO_DUAL_STATUS:
    case TV_IINFO_BASIC_STATUS:
    case TV_IINFO_BAR_ITER:
    case TV_IINFO_SIM_ITER:
    case TV_IINFO_NLP_ITER:
    case TV_IINFO_ELAPSED_TIME:
      if (!s) return unavailable();
      break;
    default: return std::nullopt;
  }
  switch (item) {
    case TV_DINFO_POBJ: return real(s->pobj);
    case TV_DINFO_DOBJ: return real(s->dobj);
    case TV_IINFO_PRIMAL_STATUS: return integer(s->primal_status);
    case TV_IINFO_DUAL_STATUS: return integer(s->dual_status);
    case TV_IINFO_BASIC_STATUS: return integer(s->basis_status);
    case TV_IINFO_BAR_ITER: return integer(counter(s->bar_iter));
    case TV_IINFO_SIM_ITER: return integer(counter(s->sim_iter));
    case TV_IINFO_NLP_ITER: return integer(counter(s->nlp_iter));
    default: return integer(s->elapsed_time);
  }
}

// Items of the integer search; each needs the MIP record.
std::optional<InfoAnswer> mip_item(Model *model, int item) {
  switch (item) {
    case TV_IINFO_MIP_STATUS:
    case TV_DINFO_MIP_OBJ:
    case TV_DINFO_MIP_BESTBOUND:
    case TV_IINFO_MIP_SIM_ITER:
    case TV_IINFO_MIP_BAR_ITER:
    case TV_IINFO_MIP_NLP_ITER:
    case TV_IINFO_MIP_BRANCHCOUNT:
    case TV_IINFO_MIP_NEWIPSOL:
    case TV_IINFO_MIP_LPCOUNT:
    case TV_IINFO_MIP_ACTIVENODES:
      break;
    default: return std::nullopt;
  }
  const MipRecord *r = model->mip.get();
  if (!r) return unavailable();
  switch (item) {
    case TV_IINFO_MIP_STATUS: return integer(mip_reported_status(*r));
    case TV_DINFO_MIP_OBJ:
      if (!status_has_solution(mip_reported_status(*r))) return unavailable();
      return real(r->obj);
    case TV_DINFO_MIP_BESTBOUND: return real(r->bestbound);
    case TV_IINFO_MIP_SIM_ITER: return integer(counter(r->sim_iter));
    case TV_IINFO_MIP_BAR_ITER: return integer(counter(r->bar_iter));
    case TV_IINFO_MIP_NLP_ITER: return integer(counter(r->nlp_iter));
    case TV_IINFO_MIP_BRANCHCOUNT: return integer(counter(r->branch_count));
    case TV_IINFO_MIP_NEWIPSOL: return integer(r->num_solutions);
    case TV_IINFO_MIP_LPCOUNT: return integer(counter(r->lp_count));
    default: return integer(r->active_nodes);
  }
}

// Items of the last IIS and IUS analysis; 2009 until a run made its record.
std::optional<InfoAnswer> analysis_item(Model *model, int item) {
  const IisRecord *r = model->iis.get();
  const IusRecord *u = model->ius.get();
  auto from_iis = [&](auto value) -> std::optional<InfoAnswer> { return r ? value(*r) : unavailable(); };
  auto from_ius = [&](auto value) -> std::optional<InfoAnswer> { return u ? value(*u) : unavailable(); };
  auto size = [](const std::vector<int> &v) { return static_cast<int>(v.size()); };
  switch (item) {
    case TV_IINFO_NUM_SUF_ROWS: return from_iis([](const IisRecord &x) { return integer(x.suf_rows); });
    case TV_IINFO_NUM_IIS_ROWS: return from_iis([&](const IisRecord &x) { return integer(size(x.rows)); });
    case TV_IINFO_NUM_SUF_BNDS: return from_iis([](const IisRecord &x) { return integer(x.suf_cols); });
    case TV_IINFO_NUM_IIS_BNDS: return from_iis([&](const IisRecord &x) { return integer(size(x.cols)); });
    case TV_IINFO_NUM_SUF_INTS: return from_iis([](const IisRecord &x) { return integer(x.suf_ints); });
    case TV_IINFO_NUM_IIS_INTS: return from_iis([&](const IisRecord &x) { return integer(size(x.ints)); });
    case TV_IINFO_IIS_SIM_ITER: return from_iis([](const IisRecord &x) { return integer(counter(x.sim_iter)); });
    case TV_IINFO_IIS_BAR_ITER:
    case TV_IINFO_IIS_NLP_ITER:
    case TV_IINFO_IIS_NLPCOUNT: return from_iis([](const IisRecord &) { return integer(0); });
    case TV_IINFO_IIS_TOT_TIME: return from_iis([](const IisRecord &x) { return integer(static_cast<int>(x.seconds)); });
    case TV_IINFO_IIS_LPCOUNT: return from_iis([](const IisRecord &x) { return integer(x.lp_count); });
    case TV_IINFO_IIS_MIPCOUNT: return from_iis([](const IisRecord &x) { return integer(x.mip_count); });
    case TV_IINFO_NUM_SUF_COLS: return from_ius([](const IusRecord &x) { return integer(x.suf_cols); });
    case TV_IINFO_NUM_IUS_COLS: return from_ius([&](const IusRecord &x) { return integer(size(x.cols)); });
    case TV_IINFO_IUS_SIM_ITER: return from_ius([](const IusRecord &x) { return integer(counter(x.sim_iter)); });
    case TV_IINFO_IUS_BAR_ITER:
    case TV_IINFO_IUS_NLP_ITER:
    case TV_IINFO_IUS_NLPCOUNT:
    case TV_IINFO_IUS_MIPCOUNT: return from_ius([](const IusRecord &) { return integer(0); });
    case TV_IINFO_IUS_TOT_TIME: return from_ius([](const IusRecord &x) { return integer(static_cast<int>(x.seconds)); });
    case TV_IINFO_IUS_LPCOUNT: return from_ius([](const IusRecord &x) { return integer(x.lp_count); });
    default: return std::nullopt;
  }
}

std::optional<InfoAnswer> model_item(Model *model, int item) {
  if (auto a = analysis_item(model, item)) return a;
  if (auto a = statistics_item(model, item)) return a;
  if (auto a = solution_item(model, item)) return a;
  if (auto a = mip_item(model, item)) return a;
  if (item == TV_IINFO_ERR_OPTIM) return integer(model->last_error);
  return std::nullopt;
}

// Items answered elsewhere, typed by their names: the stochastic statistics
// and the profiler phases (read through TVgetInfo as seconds).
bool routed_item_is_double(int item) {
  if (item >= TV_DINFO_STOC_EVOBJ && item <= TV_DINFO_STOC_NUM_COLS_DETEQI) return true;
  return item >= kProfilerFirstItem && item <= kProfilerLastItem;
}

bool routed_item_is_int(int item) { return item >= TV_IINFO_STOC_STATUS && item <= TV_IINFO_STOC_THREADS; }

// The whole lookup: the model's own items, else the stochastic store, else
// the profiler. `raw` receives what a routed answer writes (8 bytes, aligned).
InfoAnswer info_answer(Model *model, int item, double *raw) {
  if (auto a = model_item(model, item)) return *a;
  InfoAnswer routed;
  routed.code = TVgetStocInfo(model, item, raw);
  if (routed.code == err::kNotAvailable) routed.code = profiler_get(*model, item, nullptr, raw);
  if (routed.code == 0) {
    routed.write = true;
    routed.is_double = !routed_item_is_int(item);
    if (routed.is_double) {
      routed.dval = *raw;
    } else {
      std::memcpy(&routed.ival, raw, sizeof(int));
    }
    // A routed answer of an identifier whose type is unknown cannot be relayed safely.
    if (!routed_item_is_double(item) && !routed_item_is_int(item)) routed = InfoAnswer{2009, false, false, 0, 0};
  }
  return routed;
}

}  // namespace
}  // namespace tarvo::base

using namespace tarvo::base;

namespace {

enum class Want { kAny, kInt, kDouble };

int get_info(Model *model, int item, void *result, Want want) {
  double raw = 0;
  InfoAnswer a = info_answer(model, item, &raw);
  if (!a.write) return a.code;
  if (a.is_double) {
    // A double item cannot be narrowed into an integer without losing it.
    if (want == Want::kInt) return tarvo::err::kBadInput;
    *static_cast<double *>(result) = a.dval;
  } else if (want == Want::kDouble) {
    *static_cast<double *>(result) = a.ival;  // widening an integer loses nothing
  } else {
    *static_cast<int *>(result) = a.ival;
  }
  return a.code;
}

}  // namespace

extern "C" {

TVAPI int TVgetInfo(pTVmodel model, int item, void *result) {
  if (!live(model)) return tarvo::err::kNullArgument;
  if (!result) return 0;
  return tarvo::guarded([&] { return get_info(model, item, result, Want::kAny); });
}

TVAPI int TVgetIntInfo(pTVmodel model, int item, int *result) {
  if (!live(model)) return tarvo::err::kNullArgument;
  if (!result) return 0;
  return tarvo::guarded([&] { return get_info(model, item, result, Want::kInt); });
}

TVAPI int TVgetDouInfo(pTVmodel model, int item, double *result) {
  if (!live(model)) return tarvo::err::kNullArgument;
  if (!result) return 0;
  return tarvo::guarded([&] { return get_info(model, item, result, Want::kDouble); });
}

}  // extern "C"
