// TVwriteSolution and TVwriteSolutionOfType: the full solution report of the
// last continuous solve (values, reduced costs, slacks, duals and basis
// statuses, ranging with style 2) and the short listing of columns.
#include "io/solution_report.hpp"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

#include "common/error_codes.hpp"
#include "common/boundary.hpp"
#include "io/output_file.hpp"
#include "io/number_text.hpp"
#include "io/ranging.hpp"
#include "env/live_handles.hpp"

namespace tarvo::io {
namespace {

// Numbers in the report: fixed point for moderate magnitudes, exponent form
// for very large and very small ones so no digits are lost.
bool scientific(double v) {
  const double a = std::fabs(v);
  return a >= 1e10 || (a > 0 && a < 1e-6);
}

void put_value(FILE *f, double v) { std::fprintf(f, scientific(v) ? "%22.14e" : "%22.9f", v); }

const char *kLegal[3] = {"Copyright (c) the TARVO engine developers.",
                         "This report was written by the TARVO engine library.",
                         "Use and distribution follow the licence of the engine."};

struct Snapshot {
  int n = 0, m = 0;
  std::vector<double> x, redcost, slack, dual;
  std::vector<int> colbasis, rowbasis;
  bool basis = false;
};

bool integer_model(const base::Model &model) {
  for (char t : model.data.vtype)
    if (t != 'C') return true;
  return false;
}

bool mip_solution(const base::Model &model) {
  return integer_model(model) && model.mip && !model.mip->x.empty();
}

// An integer search that proved infeasibility or unboundedness answered
// without a point: its report gives the verdict and no tables.
bool mip_verdict_only(const base::Model &model) {
  if (!integer_model(model) || !model.mip || !model.mip->x.empty()) return false;
  return model.mip->status == TV_STATUS_INFEASIBLE || model.mip->status == TV_STATUS_UNBOUNDED;
}

int take_snapshot(base::Model *model, bool mip, Snapshot *s) {
  s->n = model->data.n;
  s->m = model->data.m;
  s->x.resize(s->n);
  s->redcost.assign(s->n, 0.0);
  s->slack.assign(s->m, 0.0);
  s->dual.assign(s->m, 0.0);
  if (mip) {
    if (int code = TVgetMIPPrimalSolution(model, s->x.data())) return code;
    TVgetMIPSlacks(model, s->slack.data());
    TVgetMIPDualSolution(model, s->dual.data());
    TVgetMIPReducedCosts(model, s->redcost.data());
    return 0;
  }
  if (int code = TVgetPrimalSolution(model, s->x.data())) return code;
  TVgetReducedCosts(model, s->redcost.data());
  TVgetSlacks(model, s->slack.data());
  TVgetDualSolution(model, s->dual.data());
  s->colbasis.resize(s->n);
  s->rowbasis.resize(s->m);
  s->basis = TVgetBasis(model, s->colbasis.data(), s->rowbasis.data()) == 0;
  return 0;
}

const char *kind_name(const base::Model &model, bool mip) {
  if (!model.data.cones.type.empty()) return mip ? "MICONIC" : "CONIC";
  if (!model.data.qc.empty()) return mip ? "MIQC" : "QP";
  if (model.data.has_instructions) return mip ? "MINLP" : "NLP";
  if (mip) return "MILP";
  return model.solution && model.solution->bar_iter > 0 && model.solution->sim_iter == 0 ? "LP_IPM" : "LP";
}

int model_status(const base::Model &model, bool mip) {
  if (mip) return model.mip->status;
  return model.solution ? model.solution->model_status : TV_STATUS_UNKNOWN;
}

void write_ranges(FILE *f, base::Model *model, const ColumnNamer &col_name) {
  const base::ModelData &d = model->data;
  Ranges r;
  auto t0 = std::chrono::steady_clock::now();
  const int code = compute_ranges(model, &r);
  double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  if (code) {
    std::fprintf(f, "\n*\n* RANGES NOT AVAILABLE (error %d)\n*\n", code);
    return;
  }
  std::fprintf(f, "\n*\n* OBJECTIVE COEFFICIENT RANGES (%g secs)\n*\n", secs);
  std::fprintf(f, " %22s   %22s   %22s   %22s\n", "", "CURRENT", "ALLOWABLE", "ALLOWABLE");
  std::fprintf(f, " %22s   %22s   %22s   %22s\n\n", "VARIABLES", "COEFF.", "DECREASE", "INCREASE");
  for (int j = 0; j < d.n; ++j)
    std::fprintf(f, " %22s   %22g   %22g   %22g\n", col_name(j).c_str(), d.c[j], r.cost_decrease[j],
                 r.cost_increase[j]);
  std::fprintf(f, "\n*\n* RIGHTHAND SIDE RANGES (%g secs)\n*\n", secs);
  std::fprintf(f, " %22s   %22s   %22s   %22s\n", "", "CURRENT", "ALLOWABLE", "ALLOWABLE");
  std::fprintf(f, " %22s   %22s   %22s   %22s\n\n", "ROW", "RHS", "DECREASE", "INCREASE");
  for (int i = 0; i < d.m; ++i)
    std::fprintf(f, " %22s   %22g   %22g   %22g\n", row_name(d, i).c_str(), d.b[i], r.rhs_decrease[i],
                 r.rhs_increase[i]);
}

int full_report(base::Model *model, FILE *f, bool ranging) {
  const bool verdict_only = mip_verdict_only(*model);
  const bool mip = verdict_only || mip_solution(*model);
  Snapshot s;
  if (!verdict_only && take_snapshot(model, mip, &s) != 0) {
    std::fprintf(f, "%s\n", base::message_text(model->env, err::kNotAvailable));
    return err::kNotAvailable;
  }
  const base::ModelData &d = model->data;
  char version[64] = "", build[1024] = "";
  TVgetVersionInfo(version, build);
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const double stamp = std::chrono::duration<double>(now).count();
  std::fprintf(f, "* -----------------------------------------------------------------");
  std::fprintf(f, "\n*                    SOLUTION REPORT                               ");
  std::fprintf(f, "\n*                    %08d:%.3f                                    ",
               static_cast<int>(static_cast<long long>(stamp / 86400) % 100000000), std::fmod(stamp, 86400.0));
  std::fprintf(f, "\n* TARVO API Version %s built on %s\n*", version, __DATE__);
  for (const char *line : kLegal) std::fprintf(f, "\n* %s", line);
  std::fprintf(f, "\n* -----------------------------------------------------------------");
  std::fprintf(f, "\n* \n");
  if (!d.title.empty())
    std::fprintf(f, "* PROBLEM NAME     %s\n* \n", d.title.c_str());
  else
    std::fprintf(f, "* PROBLEM NAME\n* \n");
  const char *kind = kind_name(*model, mip);
  switch (model_status(*model, mip)) {
    case TV_STATUS_INFEASIBLE: std::fprintf(f, "*   %s SOLUTION INFEASIBLE\n* \n", kind); break;
    case TV_STATUS_UNBOUNDED: std::fprintf(f, "*   %s SOLUTION UNBOUNDED\n* \n", kind); break;
    case TV_STATUS_OPTIMAL:
    case TV_STATUS_BASIC_OPTIMAL: std::fprintf(f, "*   %s GLOBAL OPTIMUM FOUND\n* \n", kind); break;
    case TV_STATUS_LOCAL_OPTIMAL: std::fprintf(f, "*   %s LOCAL OPTIMUM FOUND\n* \n", kind); break;
    default: std::fprintf(f, "*   %s SOLUTION MAY BE NONOPTIMAL\n* \n", kind);
  }
  const base::SolutionRecord *sol = model->solution.get();
  const double sim = mip ? model->mip->sim_iter : sol ? sol->sim_iter : 0;
  const double bar = mip ? model->mip->bar_iter : sol ? sol->bar_iter : 0;
  const double nlp = mip ? model->mip->nlp_iter : sol ? sol->nlp_iter : 0;
  std::fprintf(f, "*   ITERATIONS BY SIMPLEX METHOD = %11.0f\n", sim);
  std::fprintf(f, "*   ITERATIONS BY BARRIER METHOD = %11.0f\n", bar);
  std::fprintf(f, "*   ITERATIONS BY NLP METHOD     = %11.0f\n", nlp);
  std::fprintf(f, "*   TIME ELAPSED (s)             = %11d\n* \n", sol ? sol->elapsed_time : 0);
  if (verdict_only) return 0;
  double obj = mip ? model->mip->obj : sol ? sol->pobj : 0;
  std::fprintf(f, "*   OBJECTIVE FUNCTION VALUE\n* \n");
  std::fprintf(f, scientific(obj) ? "*    1)      %22.14e\n* \n" : "*    1)      %22.9f\n* \n", obj);

  const ColumnNamer col_name(d);
  if (s.basis)
    std::fprintf(f, " %22s   %22s   %22s   %22s\n\n", "VARIABLES", "VALUE", "REDUCED COST", "BASIS STATUS");
  else
    std::fprintf(f, " %22s   %22s   %22s\n\n", "VARIABLES", "VALUE", "REDUCED COST");
  for (int j = 0; j < s.n; ++j) {
    std::fprintf(f, " %22s   ", col_name(j).c_str());
    put_value(f, s.x[j]);
    std::fputs("   ", f);
    put_value(f, s.redcost[j]);
    if (s.basis) std::fprintf(f, "   %22s", basis_status_name(s.colbasis[j]));
    std::fputc('\n', f);
  }
  std::fputc('\n', f);
  if (s.basis)
    std::fprintf(f, " %22s   %22s   %22s   %22s\n\n", "CONSTRAINTS", "SLACK OR SURPLUS", "DUAL PRICES",
                 "BASIS STATUS");
  else
    std::fprintf(f, " %22s   %22s   %22s\n\n", "CONSTRAINTS", "SLACK OR SURPLUS", "DUAL PRICES");
  for (int i = 0; i < s.m; ++i) {
    std::fprintf(f, " %22s   ", row_name(d, i).c_str());
    put_value(f, s.slack[i]);
    std::fputs("   ", f);
    put_value(f, s.dual[i]);
    if (s.basis) std::fprintf(f, "   %22s", basis_status_name(s.rowbasis[i]));
    std::fputc('\n', f);
  }
  if (ranging && !mip && s.basis) write_ranges(f, model, col_name);
  return 0;
}

int short_listing(base::Model *model, FILE *f, bool mip) {
  Snapshot s;
  const bool verdict_only = mip && mip_verdict_only(*model);
  if (mip && !verdict_only && !mip_solution(*model)) mip = false;
  if (!verdict_only && take_snapshot(model, mip, &s) != 0) {
    std::fprintf(f, "%s\n", base::message_text(model->env, err::kNotAvailable));
    return err::kNotAvailable;
  }
  const base::ModelData &d = model->data;
  const char *kind = mip ? "MIP" : "LP";
  switch (model_status(*model, mip)) {
    case TV_STATUS_OPTIMAL:
    case TV_STATUS_BASIC_OPTIMAL: std::fprintf(f, "SOLUTION %s (OPTIMAL)\n", kind); break;
    case TV_STATUS_INFEASIBLE: std::fprintf(f, "SOLUTION  %s (INFEASIBLE)\n", kind); break;
    case TV_STATUS_UNBOUNDED: std::fprintf(f, "SOLUTION %s (UNBOUNDED)\n", kind); break;
    default: std::fprintf(f, "SOLUTION %s \n", kind);
  }
  if (!d.title.empty())
    std::fprintf(f, "PROBLEM NAME        %s\n", d.title.c_str());
  else
    std::fprintf(f, "PROBLEM NAME        \n");
  if (verdict_only) return 0;
  const double obj = mip ? model->mip->obj : model->solution->pobj;
  std::fprintf(f, "OBJECTIVE VALUE     %16.10e\n", obj);
  std::fprintf(f, "\n\nNUMBER  ......COLUMNS...... AT ...ACTIVITY...\n");
  const double tol = model->params.dbl(TV_DPARAM_SOLVER_FEASTOL);
  const ColumnNamer col_name(d);
  for (int j = 0; j < s.n; ++j) {
    const char *at = "BS";
    if (!d.vtype.empty() && d.vtype[j] != 'C') at = "EQ";
    else if (std::fabs(s.x[j] - d.lower[j]) <= tol) at = "LL";
    else if (std::fabs(s.x[j] - d.upper[j]) <= tol) at = "UL";
    std::fprintf(f, "%6u  %-20s%2s   %16.10e\n", static_cast<unsigned>(j + 1), col_name(j).c_str(), at, s.x[j]);
  }
  return 0;
}

int print_level(const base::Model &model) {
  return std::max({model.params.integer(TV_IPARAM_LP_PRINTLEVEL), model.params.integer(TV_IPARAM_MIP_PRINTLEVEL),
                   model.params.integer(TV_IPARAM_NLP_PRINTLEVEL)});
}

}  // namespace

int solution_type_for_style(const base::Model &model, int style) {
  if (style == 1) return mip_solution(model) || mip_verdict_only(model) ? 4 : 3;
  return style == 2 ? 2 : 0;
}

const char *basis_status_name(int status) {
  switch (status) {
    case TV_BASTYPE_ATLO: return "TV_BASTYPE_ATLO";
    case TV_BASTYPE_ATUP: return "TV_BASTYPE_ATUP";
    case TV_BASTYPE_FNUL: return "TV_BASTYPE_FNUL";
    case TV_BASTYPE_SBAS: return "TV_BASTYPE_SBAS";
    default: return "TV_BASTYPE_BAS ";
  }
}

bool parse_basis_status(const std::string &name, int *status) {
  static const struct {
    const char *name;
    int status;
  } kNames[] = {{"TV_BASTYPE_BAS", TV_BASTYPE_BAS},   {"TV_BASTYPE_ATLO", TV_BASTYPE_ATLO},
                {"TV_BASTYPE_ATUP", TV_BASTYPE_ATUP}, {"TV_BASTYPE_FNUL", TV_BASTYPE_FNUL},
                {"TV_BASTYPE_SBAS", TV_BASTYPE_SBAS}};
  for (const auto &k : kNames)
    if (name == k.name) {
      *status = k.status;
      return true;
    }
  return false;
}

int write_solution(base::Model *model, const char *file_name, int type) {
  if (type < 0 || type > 4) return err::kParamOutOfRange;
  File f(std::fopen(file_name, "w"));
  if (!f) return err::kFileOpen;
  const int level = print_level(*model);
  base::log_model(model, level > 0, "\nWriting model solution.");
  const int code = type <= 2 ? full_report(model, f.get(), type == 2) : short_listing(model, f.get(), type == 4);
  if (int closed = finish(&f)) return closed;
  base::log_model(model, level > 0, "\nFinished writing model solution.");
  return code;
}

}  // namespace tarvo::io

using tarvo::base::Model;

extern "C" {

TVAPI int TVwriteSolutionOfType(pTVmodel model, const char *fileName, int type) {
  if (!tarvo::base::live(model) || !fileName) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return tarvo::io::write_solution(model, fileName, type); });
}

TVAPI int TVwriteNLSolution(pTVmodel model, const char *fileName) {
  if (!tarvo::base::live(model) || !fileName) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return tarvo::io::write_solution(model, fileName, 0); });
}

TVAPI int TVwriteSolution(pTVmodel model, const char *fileName) {
  if (!model || !fileName) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] {
    if (model->data.has_instructions) return TVwriteNLSolution(model, fileName);
    const int style = model->params.integer(TV_IPARAM_SOL_REPORT_STYLE);
    return tarvo::io::write_solution(model, fileName, tarvo::io::solution_type_for_style(*model, style));
  });
}

}  // extern "C"
