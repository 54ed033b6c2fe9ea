// The parameter reference as an AsciiDoc table, generated from the records.
#include <cstdio>
#include <cstring>

#include "env/env.hpp"
#include "params/param_table.hpp"
#include "common/boundary.hpp"
#include "common/text_lines.hpp"
#include "common/error_codes.hpp"

using namespace tarvo::base;

namespace {

const char *scope_text(unsigned cls) {
  bool env = cls & params::kEnvScope, model = cls & params::kModelScope;
  if (env && model) return "Environment,Model";
  if (env) return "Environment";
  if (model) return "Model";
  return "";
}

int write_doc(Env *env, const char *file) {
  const TVparamRecord *recs = params::records();
  const int n = params::count();
  for (int i = 0; i < n; ++i)
    if (!recs[i].help || !*recs[i].help) return tarvo::err::kBadParamId;
  FILE *f = std::fopen(file, "wt");
  if (!f) return tarvo::err::kFileOpen;
  std::fprintf(f, "[cols=\"3*\", options=\"header\"] \n");
  std::fprintf(f, "|===\n");
  std::fprintf(f, "|Name |Available for| Description \n");
  for (int i = 0; i < n; ++i) {
    std::fprintf(f, "|%s\n", recs[i].szid);
    std::fprintf(f, "|%s\n", scope_text(recs[i].cls));
    std::fprintf(f, "|\n");
    tarvo::common::for_each_line(recs[i].help, [f](const char *line, size_t len) {
      std::fprintf(f, "%.*s\n", static_cast<int>(len), line);
    });
    std::fprintf(f, "\n");
  }
  std::fprintf(f, "|===\n");
  std::fclose(f);
  log_env(env, 1, "\nWritten parameters to %s in asciidoc format", file);
  return 0;
}

}  // namespace

extern "C" {

TVAPI int TVwriteParameterAsciiDoc(pTVenv env, const char *fileName) {
  if (!live(env) || !fileName) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return write_doc(env, fileName); });
}

}  // extern "C"
