// Finding parameters by name, keyword or identifier, and their descriptions.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "params/param_table.hpp"
#include "env/env.hpp"
#include "common/error_codes.hpp"

using namespace tarvo::base;

namespace {

// Former macro names and their current names. Only TVgetParamMacroID reads it,
// and it follows one step: a current name that is itself an alias is not found.
const char *const kAliases[][2] = {
    {"TV_IPARAM_NLP_MSW_MAXREF", "TV_IPARAM_NLP_MSW_POPSIZE"},
    {"TV_IPARAM_STOC_DEBUG_LEVEL", "TV_IPARAM_STOC_DEBUG_MASK"},
    {"TV_SPRINT_OUTPUT_FILE_DEFAULT", "TV_SPRINT_OUTPUT_FILE_FREE"},
    {"TV_IPARAM_SPLEX_SCALE", "TV_IPARAM_LP_SCALE"},
    {"TV_IPARAM_SPLEX_ITRLMT", "TV_IPARAM_LP_ITRLMT"},
    {"TV_IPARAM_MIP_USE_ENUM_HEU", "TV_IPARAM_MIP_ENUM_HEUMODE"},
    {"TV_IPARAM_SOLVER_USE_CONCURRENT_OPT", "TV_IPARAM_SOLVER_CONCURRENT_OPTMODE"},
    {"TV_IPARAM_GOP_USEBNDLIM", "TV_IPARAM_GOP_BNDLIM_MODE"},
    {"TVLOC_BANDB", "TVLOC_MIP"},
    {"TV_IPARAM_ITRLMT", "TV_IPARAM_SPLEX_ITRLMT"},
    {"TV_IPARAM_PRICING", "TV_IPARAM_SPLEX_PPRICING"},
    {"TV_IPARAM_SCALE", "TV_IPARAM_SPLEX_SCALE"},
    {"TV_IPARAM_TIMLMT", "TV_IPARAM_SOLVER_TIMLMT"},
    {"TV_DPARAM_CUTOFFVAL", "TV_DPARAM_SOLVER_CUTOFFVAL"},
    {"TV_IPARAM_RESTART", "TV_IPARAM_SOLVER_RESTART"},
    {"TV_DPARAM_FEASTOL", "TV_DPARAM_SOLVER_FEASTOL"},
    {"TV_IPARAM_IUSOL", "TV_IPARAM_SOLVER_IUSOL"},
    {"TV_IPARAM_MIPTIMLIM", "TV_IPARAM_MIP_TIMLIM"},
    {"TV_IPARAM_MIPAOPTTIMLIM", "TV_IPARAM_MIP_AOPTTIMLIM"},
    {"TV_IPARAM_MIPPRELEVEL", "TV_IPARAM_MIP_PRELEVEL"},
    {"TV_IPARAM_MIPNODESELRULE", "TV_IPARAM_MIP_NODESELRULE"},
    {"TV_DPARAM_MIPINTTOL", "TV_DPARAM_MIP_INTTOL"},
    {"TV_DPARAM_MIPRELINTTOL", "TV_DPARAM_MIP_RELINTTOL"},
    {"TV_DPARAM_MIP_OPTTOL", "TV_DPARAM_MIP_RELOPTTOL"},
    {"TV_DPARAM_MIPOPTTOL", "TV_DPARAM_MIP_OPTTOL"},
    {"TV_DPARAM_MIPPEROPTTOL", "TV_DPARAM_MIP_PEROPTTOL"},
    {"TV_IPARAM_MIPMAXCUTPASS", "TV_IPARAM_MIP_MAXCUTPASS_TOP"},
    {"TV_DPARAM_MIPADDCUTPER", "TV_DPARAM_MIP_ADDCUTPER"},
    {"TV_IPARAM_MIPCUTLEVEL", "TV_IPARAM_MIP_CUTLEVEL_TOP"},
    {"TV_IPARAM_MIPHEULEVEL", "TV_IPARAM_MIP_HEULEVEL"},
    {"TV_IPARAM_MIPPRINTLEVEL", "TV_IPARAM_MIP_PRINTLEVEL"},
    {"TV_IPARAM_MIPPREPRINTLEVEL", "TV_IPARAM_MIP_PREPRINTLEVEL"},
    {"TV_DPARAM_MIPCUTOFFOBJ", "TV_DPARAM_MIP_CUTOFFOBJ"},
    {"TV_IPARAM_MIPSTRONGBRANCHLEVEL", "TV_IPARAM_MIP_STRONGBRANCHLEVEL"},
    {"TV_IPARAM_MIPBRANCHDIR", "TV_IPARAM_MIP_BRANCHDIR"},
    {"TV_IPARAM_MIPTOPOPT", "TV_IPARAM_MIP_TOPOPT"},
    {"TV_IPARAM_MIPREOPT", "TV_IPARAM_MIP_REOPT"},
    {"TV_IPARAM_MIPSOLVERTYPE", "TV_IPARAM_MIP_SOLVERTYPE"},
    {"TV_IPARAM_MIPKEEPINMEM", "TV_IPARAM_MIP_KEEPINMEM"},
    {"TV_DPARAM_MIP_REDCOSTFIXING_CUTOFF", "TV_DPARAM_MIP_REDCOSTFIX_CUTOFF"},
    {"TV_IPARAM_NLPPRINTLEVEL", "TV_IPARAM_NLP_PRINTLEVEL"},
    {"TV_IPARAM_LPPRINTLEVEL", "TV_IPARAM_LP_PRINTLEVEL"},
    {"TV_IPARAM_NLPSOLVER", "TV_IPARAM_NLP_SOLVER"},
    {"TV_IPARAM_MODEL_CONVEX_FLAG", "TV_IPARAM_NLP_CONVEX"},
    {"TV_IPARAM_NLP_SOLVEASLP", "TV_IPARAM_NLP_SOLVE_AS_LP"},
    {"TV_DINFO_MIPBESTBOUND", "TV_DINFO_MIP_BESTBOUND"},
    {"TV_IINFO_MIPBRANCHCOUNT", "TV_IINFO_MIP_BRANCHCOUNT"},
    {"TV_IINFO_MIPSTATUS", "TV_IINFO_MIP_STATUS"},
    {"TV_IINFO_MIPNEWIPSOL", "TV_IINFO_MIP_NEWIPSOL"},
    {"TV_IINFO_MIPLPCOUNT", "TV_IINFO_MIP_LPCOUNT"},
    {"TV_IINFO_MIPACTIVENODES", "TV_IINFO_MIP_ACTIVENODES"},
    {"TV_IINFO_MIPLTYPE", "TV_IINFO_MIP_LTYPE"},
    {"TV_IINFO_MIPAOPTTIMETOSTOP", "TV_IINFO_MIP_AOPTTIMETOSTOP"},
    {"TV_DINFO_MIPOBJ", "TV_DINFO_MIP_OBJ"},
    {"TV_IPARAM_BARRIER_PROB_TO_SOLVE", "TV_IPARAM_PROB_TO_SOLVE"},
    {"TV_IINFO_STATUS", "TV_IINFO_PRIMAL_STATUS"},
    {"TV_GOPSOLSTAT_GLOBAL_OPTIMAL", "TV_STATUS_OPTIMAL"},
    {"TV_GOPSOLSTAT_LOCAL_OPTIMAL", "TV_STATUS_LOCAL_OPTIMAL"},
    {"TV_GOPSOLSTAT_INFEASIBLE", "TV_STATUS_INFEASIBLE"},
    {"TV_GOPSOLSTAT_TOPUNBOUNDED", "TV_STATUS_UNBOUNDED"},
    {"TV_GOPSOLSTAT_FEASIBLE", "TV_STATUS_FEASIBLE"},
    {"TV_GOPSOLSTAT_UNKNOWN", "TV_STATUS_UNKNOWN"},
    {"TV_GOPSOLSTAT_NUMERICAL_ERROR", "TV_STATUS_NUMERICAL_ERROR"},
    {"TV_IIS_NORM_NONE", "TV_IIS_NORM_FREE"},
    {"TV_IPARAM_STOC_SAMPLING_METHOD", "TV_IPARAM_STOC_VARCONTROL_METHOD"},
    {"TV_DPARAM_GOP_OPTTOL", "TV_DPARAM_GOP_RELOPTTOL"},
};
static_assert(sizeof kAliases / sizeof kAliases[0] == 66, "the alias table has 66 pairs");

// A whole positive number written in decimal, nothing else.
bool reads_as_identifier(const char *text, int *id) {
  if (!*text) return false;
  char *end = nullptr;
  long v = std::strtol(text, &end, 10);
  if (*end != '\0' || v <= 0 || v > 2147483647L) return false;
  for (const char *p = text; *p; ++p)
    if (*p < '0' || *p > '9') return false;
  *id = static_cast<int>(v);
  return true;
}

int copy_text(const char *text, char *buffer) {
  if (!text || !*text) return tarvo::err::kBadParamId;
  std::sprintf(buffer, "%s", text);
  return 0;
}

const TVparamRecord *describe(int id) { return params::find(id < 0 ? -id : id); }

}  // namespace

extern "C" {

TVAPI int TVgetParamMacroID(pTVenv env, const char *macroName, int *type, int *id) {
  if (!live(env) || !macroName || !type || !id) return tarvo::err::kNullArgument;
  const TVparamRecord *rec = params::find_by_name(macroName);
  if (!rec) {
    for (const auto &pair : kAliases) {
      if (std::strcmp(pair[0], macroName) == 0) {
        rec = params::find_by_name(pair[1]);
        break;
      }
    }
  }
  if (!rec) return tarvo::err::kBadParamId;
  *type = static_cast<int>(rec->type);
  *id = rec->id;
  return 0;
}

TVAPI int TVsearchParamHasKeyword(pTVenv env, const char *keyword, int *position, int *id) {
  if (!live(env) || !keyword || !id) return tarvo::err::kNullArgument;
  const int n = params::count();
  const TVparamRecord *recs = params::records();
  int start = position && *position > 0 ? *position : 0;
  int wanted = 0;
  bool by_id = reads_as_identifier(keyword, &wanted);
  if (by_id && start >= n) return tarvo::err::kIndexOutOfRange;
  for (int i = start; i < n; ++i) {
    bool hit = by_id ? recs[i].id == wanted : std::strstr(recs[i].szid, keyword) != nullptr;
    if (hit) {
      if (position) *position = i;
      *id = recs[i].id;
      return 0;
    }
  }
  if (position) *position = n;
  *id = -1;
  return 0;
}

TVAPI int TVgetParamShortDesc(pTVenv env, int id, char *buffer) {
  if (!live(env) || !buffer) return tarvo::err::kNullArgument;
  const TVparamRecord *rec = params::find(id);
  return copy_text(rec ? rec->name : nullptr, buffer);
}

TVAPI int TVgetParamLongDesc(pTVenv env, int id, char *buffer) {
  if (!live(env) || !buffer) return tarvo::err::kNullArgument;
  const TVparamRecord *rec = describe(id);
  return copy_text(rec ? rec->help : nullptr, buffer);
}

TVAPI int TVgetParamMacroName(pTVenv env, int id, char *buffer) {
  if (!live(env) || !buffer) return tarvo::err::kNullArgument;
  const TVparamRecord *rec = params::find(id);
  return copy_text(rec ? rec->szid : nullptr, buffer);
}

TVAPI const char *TVgetParamShortDescPtr(pTVenv env, int id) {
  const TVparamRecord *rec = live(env) ? params::find(id) : nullptr;
  return rec ? rec->name : nullptr;
}

TVAPI const char *TVgetParamLongDescPtr(pTVenv env, int id) {
  const TVparamRecord *rec = live(env) ? describe(id) : nullptr;
  return rec ? rec->help : nullptr;
}

TVAPI const char *TVgetParamMacroNamePtr(pTVenv env, int id) {
  const TVparamRecord *rec = live(env) ? params::find(id) : nullptr;
  return rec ? rec->szid : nullptr;
}

TVAPI const TVparamRecord *TVgetParamRecords(pTVenv env) { return live(env) ? params::records() : nullptr; }

}  // extern "C"
