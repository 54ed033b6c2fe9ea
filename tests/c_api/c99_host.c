/* A host written in plain C99 against the public header: it calls every
 * operation of the environment, model, message and parameter families and
 * fails (exit status 1) on the first unexpected answer. */
#include <stdio.h>
#include <string.h>

#include "tarvo.h"

static int failures = 0;

#define CHECK(cond)                                                    \
  do {                                                                 \
    if (!(cond)) {                                                     \
      fprintf(stderr, "c99_host: line %d: %s\n", __LINE__, #cond);     \
      ++failures;                                                      \
    }                                                                  \
  } while (0)

static void env_log(pTVenv env, const char *text, void *data) {
  (void)env;
  strncat((char *)data, text, 1000 - strlen((char *)data));
}

static void model_log(pTVmodel model, const char *text, void *data) {
  (void)model;
  strncat((char *)data, text, 1000 - strlen((char *)data));
}

static void on_exit_hook(void *data, const char *module, int line, const char *msg) {
  (void)data; (void)module; (void)line; (void)msg;
}

int main(int argc, char **argv) {
  const char *dir = argc > 1 ? argv[1] : ".";
  char path[1024], text[4096], version[64], arch[64], letter = 0;
  char envlog[1001] = "", modlog[1001] = "";
  int code = -1, ival = 0, type = 0, id = 0, pos = 0, lo = 0, hi = 0, count = 0;
  unsigned int line = 9;
  double dval = 0, dlo = 0, dhi = 0;
  int *block = NULL;
  char **offsets = NULL;
  pTVenv env, owner = NULL;
  pTVmodel model, copy, list[4];
  const TVparamRecord *records;

  env = TVcreateEnv(&code, NULL);
  CHECK(env != NULL && code == TVERR_NO_ERROR);
  CHECK(TVsetEnvLogfunc(env, env_log, envlog) == 0);
  CHECK(TVsetEnvExitFunc(env, on_exit_hook, NULL) == 0);

  CHECK(TVgetErrorMessage(env, 2010, text) == 0 && strcmp(text, "Illegal NULL pointer as argument.") == 0);
  CHECK(TVgetErrorMessage(NULL, 2751, text) == 2051 && strcmp(text, "Unknown error.") == 0);
  CHECK(TVgetVersionInfo(version, text) == 0 && strcmp(version, "16.0.7099.090") == 0);
  CHECK(TVgetLibArch(arch, &letter) == 0 && letter != 0);
  CHECK(TVgetCComInfo(env, text, 1) == 0 && strstr(text, "Compiler") != NULL);
  CHECK(TVgetParamCount(env, 0) == 463);
  CHECK(TVgetPlatformSpecificDllName(9, text) == 0);
  CHECK(TVsetXSolverLibrary(env, 100, NULL) == 2091);
  CHECK(TVsetXSolverLibrary(env, 2, "/nonexistent/lib.so") == 2080);
  CHECK(TVgetXSolverLibrary(env, 2, text) == 2009);
  CHECK(TVlogenv(env, 1, "%s", "hello") == 5 && strstr(envlog, "hello") != NULL);
  CHECK(TVgetMirelEnv(env) == NULL);

  CHECK(TVcalloc4(&block, 16, __FILE__, __LINE__) == 0 && block != NULL && block[15] == 0);
  TVfreeBlock(&block);
  CHECK(TVmalloc4(&block, 0, __FILE__, __LINE__) == 0 && block == NULL);
  CHECK(TVmalloc1(&block, 8, __FILE__, __LINE__) == 0);
  CHECK(TVrealloc1(&block, 32, __FILE__, __LINE__) == 0);
  TVfreeBlock(&block);
  CHECK(TVcalloc1(&block, 3, __FILE__, __LINE__) == 0);
  CHECK(TVrealloc4(&block, 0, __FILE__, __LINE__) == 0 && block == NULL);
  CHECK(TVcalloc8(&block, 2, __FILE__, __LINE__) == 0);
  CHECK(TVrealloc8(&block, 4, __FILE__, __LINE__) == 0);
  TVfreeBlock(&block);
  CHECK(TVmalloc8(&block, 1, __FILE__, __LINE__) == 0);
  TVfreeBlock(&block);
  CHECK(TVrebaseOffsets(&offsets, 2, 0, text, __FILE__, __LINE__) == 0 && offsets[0] == text);
  TVfreeBlock(&offsets);

  model = TVcreateModel(env, &code);
  CHECK(model != NULL && code == 0);
  CHECK(TVsetModelLogfunc(model, model_log, modlog) == 0);
  CHECK(TVgetEnvLogModel(env) == model);
  CHECK(TVlogmod(model, 1, "line %d", 1) == 6 && strcmp(modlog, "line 1") == 0);
  CHECK(TVgetFileError(model, &line, text) == 0 && line == 0 && text[0] == 0);
  CHECK(TVgetErrorRowIndex(model, &ival) == 2009);
  CHECK(TVgetModelEnv(model, &owner) == 0 && owner == env);
  CHECK(TVgetMasterModel(model) == NULL);
  CHECK(TVgetDimensions(model, &ival, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL) == 2009);
  CHECK(TVgetLowerBoundj(model, 0, &dval) == 2009);
  CHECK(TVgetUpperBoundj(model, 0, &dval) == 2009);

  CHECK(TVsetModelIntParameter(model, TV_IPARAM_LP_PRINTLEVEL, 3) == 0);
  CHECK(TVgetModelIntParameter(model, TV_IPARAM_LP_PRINTLEVEL, &ival) == 0 && ival == 3);
  CHECK(TVsetModelDouParameter(model, TV_DPARAM_SOLVER_FEASTOL, 1e-6) == 0);
  CHECK(TVgetModelDouParameter(model, TV_DPARAM_SOLVER_FEASTOL, &dval) == 0 && dval == 1e-6);
  CHECK(TVsetEnvIntParameter(env, TV_IPARAM_DEFAULT_SEED, 7) == 0);
  CHECK(TVgetEnvIntParameter(env, TV_IPARAM_DEFAULT_SEED, &ival) == 0 && ival == 7);
  CHECK(TVsetEnvDouParameter(env, TV_DPARAM_CALLBACKFREQ, 1.0) == 0);
  CHECK(TVgetEnvDouParameter(env, TV_DPARAM_CALLBACKFREQ, &dval) == 0 && dval == 1.0);
  ival = 4;
  CHECK(TVsetModelParameter(model, TV_IPARAM_MIP_PRINTLEVEL, &ival) == 0);
  CHECK(TVgetModelParameter(model, TV_IPARAM_MIP_PRINTLEVEL, &ival) == 0 && ival == 4);
  dval = 0.75;
  CHECK(TVsetEnvParameter(env, TV_DPARAM_CALLBACKFREQ, &dval) == 0);
  CHECK(TVgetEnvParameter(env, TV_DPARAM_CALLBACKFREQ, &dval) == 0 && dval == 0.75);
  CHECK(TVgetIntParameterRange(model, TV_IPARAM_LP_SCALE, &lo, &hi) == 0 && lo == 0 && hi == 3);
  CHECK(TVgetDouParameterRange(model, TV_DPARAM_SOLVER_FEASTOL, &dlo, &dhi) == 0 && dhi == 1e-4);
  CHECK(TVgetParamShortDesc(env, TV_IPARAM_LP_SCALE, text) == 0 && text[0] != 0);
  CHECK(TVgetParamLongDesc(env, TV_IPARAM_LP_SCALE, text) == 0 && text[0] != 0);
  CHECK(TVgetParamMacroName(env, TV_IPARAM_LP_SCALE, text) == 0 && strcmp(text, "TV_IPARAM_LP_SCALE") == 0);
  CHECK(TVgetParamShortDescPtr(env, TV_IPARAM_LP_SCALE) != NULL);
  CHECK(TVgetParamLongDescPtr(env, TV_IPARAM_LP_SCALE) != NULL);
  CHECK(strcmp(TVgetParamMacroNamePtr(env, TV_IPARAM_LP_SCALE), "TV_IPARAM_LP_SCALE") == 0);
  CHECK(TVgetParamMacroID(env, "TV_IPARAM_SPLEX_SCALE", &type, &id) == 0 && id == TV_IPARAM_LP_SCALE);
  CHECK(TVsearchParamHasKeyword(env, "OBJSENSE", &pos, &id) == 0 && id == TV_IPARAM_OBJSENSE);
  records = TVgetParamRecords(env);
  CHECK(records != NULL && records[0].id == TV_IPARAM_VER_MAJOR);

  snprintf(path, sizeof path, "%s/c99_host.par", dir);
  CHECK(TVwriteModelParameter(model, path) == 0);
  CHECK(TVreadModelParameter(model, path) == 0);
  CHECK(TVloadModelParameter(model, path, TVgetParamCount(env, 0), records) == 0);
  CHECK(TVwriteEnvParameter(env, path) == 0);
  CHECK(TVreadEnvParameter(env, path) == 0);
  CHECK(TVloadEnvParameter(env, path, 1, records) == 0);
  remove(path);
  snprintf(path, sizeof path, "%s/c99_host.adoc", dir);
  CHECK(TVwriteParameterAsciiDoc(env, path) == 0);
  remove(path);

  copy = TVcopyModel(model, &code);
  CHECK(copy != NULL && code == 0);
  CHECK(TVgetModelIntParameter(copy, TV_IPARAM_LP_PRINTLEVEL, &ival) == 0 && ival == 3);
  CHECK(TVcopyParam(model, copy, 0) == 0);
  CHECK(TVgetEnvModelCount(env, &count) == 0 && count == 2);
  CHECK(TVgetEnvModelList(env, list) == 0 && list[0] == model && list[1] == copy);
  CHECK(TVdeleteModel(&copy) == 0 && copy == NULL);
  CHECK(TVdeleteModel(&model) == 0 && model == NULL);
  CHECK(TVsetDbgLogfunc(env_log, envlog) == 0);
  CHECK(TVdeleteEnv(&env) == 0 && env == NULL);
  if (failures == 0) printf("c99_host: all checks passed\n");
  return failures == 0 ? 0 : 1;
}
