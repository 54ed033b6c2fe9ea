/*
 * tarvo.h -- the public C interface of the TARVO optimisation engine.
 *
 * A host creates an environment, creates models inside it, loads data, sets
 * parameters, solves and reads back results. Every function returns a signed
 * 32-bit return code (TVERR_NO_ERROR on success) except the constructors, which
 * return a handle and write the code through a pointer. Valid C99 and C++.
 *
 * What a host must know
 *
 * Handles. pTVenv and pTVmodel are opaque. A model belongs to the environment
 * it was created in; TVdeleteEnv deletes every model still attached, so those
 * model handles die with their environment. A handle the library has freed
 * (or never made) is refused with a return code (2010 for most functions,
 * 2009 where the function gives 2009 for a null handle), never read; use it
 * no further all the same. A model is used by one thread at a time.
 *
 * Indices and arrays. Indices are 0-based. n is the number of variables
 * (columns), m the number of constraints (rows). The matrix is stored column
 * by column: colStarts has n+1 entries, column j holds its row indices and
 * values at positions colStarts[j] .. colStarts[j+1]-1 (or colStarts[j] ..
 * colStarts[j]+colLengths[j]-1 when colLengths is given); nAnnz counts the
 * entries. Arrays passed in are copied, output arrays belong to the caller and
 * must be long enough: n entries for values per variable (x, reduced costs,
 * bounds, types), m for values per constraint (duals, slacks, right-hand
 * sides, constraint types). Output pointers that a function does not need for
 * its job may be NULL where a comment says so; input arrays that the counts
 * require may not (2010).
 *
 * Numbers. Doubles throughout. TV_INFINITY (1e30) stands for "no bound":
 * bounds beyond it are taken as infinite. NaN is refused everywhere; costs
 * and matrix values must also be finite (2047 when loading or adding, 2024
 * when changing).
 *
 * Letters. Constraint types: 'E' equal, 'G' greater or equal, 'L' less or
 * equal, 'N' free (a row that constrains nothing). Variable types: 'C'
 * continuous, 'B' binary, 'I' general integer, 'S' semi-continuous. Basis
 * statuses: 0 and above basic, TV_BASTYPE_ATLO at the lower bound,
 * TV_BASTYPE_ATUP at the upper bound, TV_BASTYPE_FNUL free at zero,
 * TV_BASTYPE_SBAS superbasic.
 *
 * Statuses. A model is TV_STATUS_UNLOADED (13) until data is loaded or read,
 * then TV_STATUS_LOADED (14); a solve leaves the status it reached
 * (TV_STATUS_OPTIMAL, TV_STATUS_BASIC_OPTIMAL, TV_STATUS_INFEASIBLE, ...).
 * Data queries need a loaded model; solution queries need a solve that
 * produced the values asked for, otherwise they give 2009 and write nothing.
 * Every change of a loaded model sets it back to TV_STATUS_LOADED.
 *
 * Buffers. Error messages: 256 bytes (TVgetErrorMessage). File-error line
 * text: 256 bytes (TVgetFileError). Names: the longest name plus one;
 * TVgetDimensions gives the length of each name pool, which bounds them all.
 * Version text: 32 bytes; build description and TVgetCComInfo: 2048 bytes.
 */
#ifndef TARVO_H
#define TARVO_H

#ifdef __cplusplus
extern "C" {
#endif

#if defined(TARVO_BUILDING_LIBRARY)
#define TVAPI __attribute__((visibility("default")))
#else
#define TVAPI
#endif

typedef struct tvEnv *pTVenv;
typedef struct tvModel *pTVmodel;

/* ---- Basic constants ---- */
#define TVERR_NO_ERROR 0
#define TV_INFINITY 1.0E+30
#define TV_MIN 1
#define TV_MAX -1
#define TV_BASTYPE_BAS 0

/* Callback and hook types. */
typedef void (*TVenvLogfunc_t)(pTVenv env, const char *text, void *userData);
typedef void (*TVmodelLogfunc_t)(pTVmodel model, const char *text, void *userData);
typedef void (*TVexitFunc_t)(void *userData, const char *module, int line, const char *message);

/* A parameter record, as held by the parameter registry and accepted by the
 * TVload...Parameter readers. Text fields point into the library's static table. */
typedef struct TVparamRecord {
  unsigned int pos;    /* position in the sorted table (class marker in the first record) */
  int id;              /* parameter identifier */
  const char *szid;    /* macro name */
  const char *name;    /* one-line description */
  const char *help;    /* long description, lines separated by newlines */
  unsigned int type;   /* 4 integer, 8 double */
  unsigned int cls;    /* 1024 environment, 2048 model, 4 tunable, 1 level/mask, 2 tolerance */
  double min, max, dfl, val, step;
  void *valuePtr;      /* external storage of the value, or NULL */
} TVparamRecord;

#define TV_PARAM_TYPE_INT 4
#define TV_PARAM_TYPE_DOUBLE 8
#define TV_PARAM_CLASS_ENV 1024
#define TV_PARAM_CLASS_MODEL 2048

/* ===================================================================== */
/* Return codes and messages                                              */
/* ===================================================================== */
/* message: at least 256 bytes. env may be NULL (the texts are the same). */
TVAPI int TVgetErrorMessage(pTVenv env, int code, char *message);
/* The line number and text (at most 255 characters; a 256-byte buffer) of the
 * line that stopped the last model-file read; 0 and "" when none. Either
 * output may be NULL. */
TVAPI int TVgetFileError(pTVmodel model, unsigned int *lineNumber, char *lineText);
TVAPI int TVgetErrorRowIndex(pTVmodel model, int *rowIndex);

/* Allocation helpers: slot is the address of the pointer to fill; module and
 * line identify the caller. Each returns 0 or 2001; a count of all ones
 * changes nothing. Blocks are released with TVfreeBlock. */
TVAPI int TVcalloc1(void *slot, unsigned long long count, const char *module, int line);
TVAPI int TVcalloc4(void *slot, unsigned long long count, const char *module, int line);
TVAPI int TVcalloc8(void *slot, unsigned long long count, const char *module, int line);
TVAPI int TVmalloc1(void *slot, unsigned long long count, const char *module, int line);
TVAPI int TVmalloc4(void *slot, unsigned long long count, const char *module, int line);
TVAPI int TVmalloc8(void *slot, unsigned long long count, const char *module, int line);
TVAPI int TVrealloc1(void *slot, unsigned long long count, const char *module, int line);
TVAPI int TVrealloc4(void *slot, unsigned long long count, const char *module, int line);
TVAPI int TVrealloc8(void *slot, unsigned long long count, const char *module, int line);
/* Resizes an array of pointers into a text buffer that moved to newBase: the
 * first entry becomes newBase and every further entry keeps its distance from
 * the first (for the smaller of oldCount and count entries). */
TVAPI int TVrebaseOffsets(void *slot, unsigned long long count, unsigned long long oldCount,
                          char *newBase, const char *module, int line);
TVAPI void TVfreeBlock(void *slot);

/* ===================================================================== */
/* Environment                                                            */
/* ===================================================================== */
/* errorCode may be NULL; the text argument is ignored and may be NULL. */
TVAPI pTVenv TVcreateEnv(int *errorCode, char *license);
/* Deletes the environment and every model still in it (their handles die with
 * it), then sets *env to NULL. */
TVAPI int TVdeleteEnv(pTVenv *env);
TVAPI int TVsetEnvLogfunc(pTVenv env, TVenvLogfunc_t func, void *userData);
TVAPI int TVsetDbgLogfunc(TVenvLogfunc_t func, void *userData);
TVAPI int TVsetEnvExitFunc(pTVenv env, TVexitFunc_t func, void *userData);
TVAPI pTVmodel TVgetEnvLogModel(pTVenv env);
TVAPI void *TVgetMirelEnv(pTVenv env);
TVAPI int TVgetVersionInfo(char *version, char *buildDescription);
TVAPI int TVgetLibArch(char *description, char *letter);
TVAPI int TVgetCComInfo(pTVenv env, char *buffer, int mode);
TVAPI int TVgetParamCount(pTVenv env, int which);
TVAPI int TVsetXSolverLibrary(pTVenv env, int kind, const char *path);
TVAPI int TVgetXSolverLibrary(pTVenv env, int kind, char *buffer);
TVAPI int TVgetPlatformSpecificDllName(int kind, char *buffer);
TVAPI int TVlogenv(pTVenv env, int importance, const char *format, ...);

/* ===================================================================== */
/* Model object                                                           */
/* ===================================================================== */
/* errorCode must be given. The model takes a copy of the environment's parameters. */
TVAPI pTVmodel TVcreateModel(pTVenv env, int *errorCode);
/* Sets *model to NULL; a NULL handle gives 0, an already freed one 2010. */
TVAPI int TVdeleteModel(pTVmodel *model);
TVAPI pTVmodel TVcopyModel(pTVmodel model, int *errorCode);
TVAPI int TVcopyParam(pTVmodel source, pTVmodel target, int mode);
TVAPI pTVmodel TVgetMasterModel(pTVmodel model);
TVAPI int TVgetModelEnv(pTVmodel model, pTVenv *env);
TVAPI int TVgetEnvModelCount(pTVenv env, int *count);
TVAPI int TVgetEnvModelList(pTVenv env, pTVmodel *models);
/* Every output may be NULL. 2009 while the model is unloaded. */
TVAPI int TVgetDimensions(pTVmodel model, int *nVars, int *nCons, int *nCones, int *nAnnz,
                          int *nQCnnz, int *nConennz, int *nNLPnnz, int *nNLPobjnnz,
                          int *nVarNamelen, int *nConNamelen, int *nConeNamelen);
TVAPI int TVgetLowerBoundj(pTVmodel model, int j, double *lower);
TVAPI int TVgetUpperBoundj(pTVmodel model, int j, double *upper);

/* Model log: the host's function receives every line the model's solvers write. */
TVAPI int TVsetModelLogfunc(pTVmodel model, TVmodelLogfunc_t func, void *userData);
TVAPI int TVlogmod(pTVmodel model, int on, const char *format, ...);

/* How log text reaches the log functions. TV_LOGMODE_PIECES (the default)
   passes each piece as written: pieces usually begin with a line feed and end
   without one, and one line may come in several pieces. TV_LOGMODE_LINES
   passes one complete line per call, ending in "\n", without blank lines,
   trailing blanks or the internal basis hashes of re-optimisation lines: a
   host can prefix or timestamp each call. Other modes: 2024. */
#define TV_LOGMODE_PIECES 0
#define TV_LOGMODE_LINES 1
TVAPI int TVsetModelLogMode(pTVmodel model, int mode);
TVAPI int TVsetEnvLogMode(pTVenv env, int mode);

/* ===================================================================== */
/* Callback and evaluator types                                           */
/* ===================================================================== */
/* Progress callback: a non-zero result stops the running solve (2023). */
typedef int (*TVcallback_t)(pTVmodel model, int location, void *userData);
/* New integer solution found by the integer solver. */
typedef int (*TVmipCallback_t)(pTVmodel model, void *userData, double objective, double *primal);
/* The host may offer a solution (x of length n) or an objective bound; a
 * non-zero result means something was offered. */
typedef int (*TVinsMIPSol_t)(pTVmodel model, void *userData, double *primal, double *objective);
typedef int (*TVinsMIPObj_t)(pTVmodel model, void *userData, double *objective);
typedef int (*TVgopCallback_t)(pTVmodel model, void *userData, double objective, double *primal);
/* Function value of row `row` (-1 the objective) at x; with jDiff >= 0 only
 * variable jDiff changed from xjBase. */
typedef int (*TVfuncalc_t)(pTVmodel model, void *userData, int row, const double *x, int jDiff,
                           double xjBase, double *value, void *reserved);
/* Partial derivatives of row `row` at x for the nPar variables in parList. */
typedef int (*TVgradcalc_t)(pTVmodel model, void *userData, int row, const double *x, const double *lower,
                            const double *upper, int newPoint, int nPar, const int *parList, double *partial);
/* Second derivatives of row `row` at x in the order of the Hessian's structure. */
typedef int (*TVhessdccalc_t)(pTVmodel model, int row, const double *x, double *hessian, void *userData);
/* User function of an instruction list: nArgs arguments in, one result out. */
typedef int (*TVusercalc_t)(pTVmodel model, int nArgs, const double *args, void *userData, double *result);
/* Function and derivative evaluator: values of all rows and, when wanted, their gradients. */
typedef int (*TVfdeCallback_t)(pTVmodel model, void *userData, int mode, const double *x, double *values,
                               double *gradients);

/* ===================================================================== */
/* Loading model data                                                     */
/* ===================================================================== */
/* Loads the linear core into an empty model (2030 when it already holds rows
 * or columns):
 *   objSense   TV_MIN or TV_MAX;
 *   c          n objective coefficients (finite);
 *   b          m right-hand sides;  conTypes  m letters E, G, L or N;
 *   colStarts  n+1 entries, colStarts[n] >= nAnnz;
 *   colLengths n entries, or NULL for colStarts[j+1]-colStarts[j];
 *   values, rowIndices  the entries (rows 0..m-1; a row repeated in a column
 *              adds up); both may be NULL when nAnnz is 0;
 *   lower, upper  n bounds, or NULL for 0 and TV_INFINITY.
 * Any fault leaves an empty (unloaded) model and its return code. */
TVAPI int TVloadLPData(pTVmodel model, int nCons, int nVars, int objSense, double objConst, const double *c,
                       const double *b, const char *conTypes, int nAnnz, const int *colStarts,
                       const int *colLengths, const double *values, const int *rowIndices, const double *lower,
                       const double *upper);
TVAPI int TVloadVarType(pTVmodel model, char *varTypes);
TVAPI int TVloadNameData(pTVmodel model, const char *title, const char *objName, const char *rhsName,
                         const char *rangeName, const char *boundName, char **conNames, char **varNames,
                         char **coneNames);
TVAPI int TVloadQCData(pTVmodel model, int nQCnnz, const int *rows, const int *cols1, const int *cols2,
                       const double *coefs);
TVAPI int TVloadConeData(pTVmodel model, int nCones, const char *coneTypes, const double *alphas,
                         const int *coneStarts, const int *coneCols);
TVAPI int TVloadSETSData(pTVmodel model, int nSets, const char *setTypes, const int *cardinalities,
                         const int *setStarts, const int *setCols);
TVAPI int TVloadSemiContData(pTVmodel model, int nVars, const int *vars, const double *lower,
                             const double *upper);
TVAPI int TVloadIndData(pTVmodel model, int nEntries, const int *rows, const int *vars, const int *values);
TVAPI int TVloadPOSDData(pTVmodel model, int nBlocks, const int *dims, const int *starts, const int *rowPos,
                         const int *colPos, const int *vars);
TVAPI int TVloadALLDIFFData(pTVmodel model, int nGroups, const int *lowerValues, const int *upperValues,
                            const int *starts, const int *vars);
TVAPI int TVloadBasis(pTVmodel model, const int *colStatus, const int *rowStatus);
TVAPI int TVloadVarPriorities(pTVmodel model, const int *priorities);
TVAPI int TVreadVarPriorities(pTVmodel model, const char *fileName);
TVAPI int TVwriteVarPriorities(pTVmodel model, const char *fileName, int mode);
TVAPI int TVloadVarStartPoint(pTVmodel model, const double *x);
TVAPI int TVloadMIPVarStartPoint(pTVmodel model, const double *x);
TVAPI int TVloadVarStartPointPartial(pTVmodel model, int nCols, const int *cols, const double *x);
TVAPI int TVloadMIPVarStartPointPartial(pTVmodel model, int nCols, const int *cols, const double *x);
TVAPI int TVgetVarStartPoint(pTVmodel model, double *x);
TVAPI int TVgetMIPVarStartPoint(pTVmodel model, double *x);
TVAPI int TVgetVarStartPointPartial(pTVmodel model, int *nCols, int *cols, double *x);
TVAPI int TVgetMIPVarStartPointPartial(pTVmodel model, int *nCols, int *cols, double *x);
TVAPI int TVloadModelStatus(pTVmodel model, int *status, int *errorCode);
/* Solution loaders: each replaces the solution record with a new one of the
 * given model status (1 to 8 or 10 to 13); arrays not given stay absent. */
TVAPI int TVloadPrimalSolution(pTVmodel model, int status, const double *x);
TVAPI int TVloadSolution(pTVmodel model, int status, const double *x, const double *duals, const double *slacks,
                         const double *reducedCosts);
TVAPI int TVaddObjPool(pTVmodel model, const double *c, int sense, int rank, double relOptTol);
TVAPI int TVremObjPool(pTVmodel model, int index);
TVAPI int TVfreeObjPool(pTVmodel model);
TVAPI int TVsetObjPoolName(pTVmodel model, int index, const char *name);
TVAPI int TVsetObjPoolParam(pTVmodel model, int index, int item, double value);
TVAPI int TVgetObjPoolParam(pTVmodel model, int index, int item, double *value);
TVAPI int TVgetObjPoolNumSol(pTVmodel model, int index, int *numSolutions);
TVAPI int TVsetObjPoolInfo(pTVmodel model, int index, int item, void *value);
TVAPI int TVgetObjPoolInfo(pTVmodel model, int index, int item, void *value);
TVAPI int TVloadSolutionAt(pTVmodel model, int objIndex, int solIndex);

/* ===================================================================== */
/* Queries and solution access                                            */
/* ===================================================================== */
/* Solution of the last continuous solve: x and reducedCosts n entries, duals
 * and slacks m entries, basis statuses n and m entries (see the letters
 * above). 2009 (nothing written) until a solve has produced them; a model
 * found infeasible or unbounded has no values. After an integer solve the
 * TVgetMIP... forms give the best integer solution. */
TVAPI int TVgetPrimalSolution(pTVmodel model, double *x);
TVAPI int TVgetDualSolution(pTVmodel model, double *duals);
TVAPI int TVgetSlacks(pTVmodel model, double *slacks);
TVAPI int TVgetReducedCosts(pTVmodel model, double *reducedCosts);
TVAPI int TVgetReducedCostsCone(pTVmodel model, double *reducedCosts);
TVAPI int TVgetBasis(pTVmodel model, int *colStatus, int *rowStatus);
/* Groups of duplicate columns: columns whose matrix entries (and costs, with
 * withCost non-zero) are multiples of each other. Group k holds
 * setMembers[setBegin[k] .. setBegin[k+1]-1]; setBegin takes nSets+1 values,
 * setMembers at most n. Either array may be null to learn the count only. */
TVAPI int TVgetDuplicateColumns(pTVmodel model, int withCost, int *nSets, int *setBegin, int *setMembers);
TVAPI int TVgetSolution(pTVmodel model, int which, double *values);
TVAPI int TVgetObjective(pTVmodel model, double *objective);
TVAPI int TVgetSolutionStatus(pTVmodel model, int *status);
TVAPI int TVgetMIPSolution(pTVmodel model, double *objective, double *x);
TVAPI int TVgetMIPSolutionStatus(pTVmodel model, int *status);
TVAPI int TVgetMIPPrimalSolution(pTVmodel model, double *x);
TVAPI int TVgetMIPDualSolution(pTVmodel model, double *duals);
TVAPI int TVgetMIPReducedCosts(pTVmodel model, double *reducedCosts);
TVAPI int TVgetMIPSlacks(pTVmodel model, double *slacks);
TVAPI int TVgetMIPBasis(pTVmodel model, int *colStatus, int *rowStatus);

/* Integer solver */
TVAPI int TVsolveMIP(pTVmodel model, int *status);
TVAPI int TVsolveMIPSerial(pTVmodel model, int *status);
TVAPI int TVsolveMIPCC(pTVmodel model, int *status);
/* Solves and, on success, writes the MIP solution to fileName (may be null) */
TVAPI int TVbnbSolve(pTVmodel model, const char *fileName);
TVAPI int TVgetDualMIPsolution(pTVmodel model);
/* k-best: the callback receives each solution in turn (best first); non-zero stops */
TVAPI int TVgetKBestMIPSols(pTVmodel model, const char *prefix, TVmipCallback_t callback, void *userData,
                            int nLimit);
TVAPI int TVgetNextBestMIPSol(pTVmodel model, int *status);
TVAPI int TVgetRoundMIPsolution(pTVmodel model, double *primal, double *objective, double *primalInfeas, int useOpti);
/* Column bounds that every feasible point keeps (declared bounds tightened
 * by propagation over the rows, integer bounds rounded inwards); either array
 * may be null, not both. 2009 when the bounds prove the model infeasible. */
TVAPI int TVgetBestBounds(pTVmodel model, double *bestLower, double *bestUpper);
/* A copy of the model with every general integer x in [l, u] replaced by
 * binaries b_k, x = l + sum 2^k b_k (appended after the remaining columns),
 * solved from the expanded MIP solution when one is installed. The caller
 * deletes the copy; *errorCode gets 2029 for a continuous model or special
 * structure, else the solve's code (the copy is kept for 2016/2017/2023/2037). */
TVAPI pTVmodel TVconvGin2Bin(pTVmodel model, int *errorCode);
/* A copy of a pure binary linear model in columns s = 2x - 1, integers in
 * [-1, 1] meant at -1 and +1; 2029 (and a logged reason) for anything else. */
TVAPI pTVmodel TVconvBin2PM1(pTVmodel model, int *errorCode);
TVAPI int TVgetLPData(pTVmodel model, int *objSense, double *objConst, double *c, double *b, char *conTypes,
                      int *colStarts, int *colLengths, double *values, int *rowIndices, double *lower,
                      double *upper);
TVAPI int TVgetLPVariableDataj(pTVmodel model, int j, char *varType, double *c, double *lower, double *upper,
                               int *nnz, int *rowIndices, double *values);
TVAPI int TVgetLPConstraintDatai(pTVmodel model, int i, char *conType, double *rhs, int *nnz, int *colIndices,
                                 double *values);
TVAPI int TVgetConstraintDatai(pTVmodel model, int i, char *conType, char *isNonlinear, double *rhs);
TVAPI int TVgetVarType(pTVmodel model, char *varTypes);
TVAPI int TVgetNameData(pTVmodel model, char *title, char *objName, char *rhsName, char *rangeName,
                        char *boundName, char **conNamePtrs, char *conNamePool, char **varNamePtrs,
                        char *varNamePool);
/* name: the longest name plus one byte (see TVgetDimensions); 2009 when the
 * model has no names of that kind. */
TVAPI int TVgetVariableNamej(pTVmodel model, int j, char *name);
TVAPI int TVgetConstraintNamei(pTVmodel model, int i, char *name);
TVAPI int TVgetConeNamei(pTVmodel model, int k, char *name);
TVAPI int TVgetVariableIndex(pTVmodel model, const char *name, int *j);
TVAPI int TVgetConstraintIndex(pTVmodel model, const char *name, int *i);
TVAPI int TVgetConeIndex(pTVmodel model, const char *name, int *k);
/* result points to an int for TV_IINFO_... items and to a double for
 * TV_DINFO_... items. */
TVAPI int TVgetInfo(pTVmodel model, int item, void *result);
TVAPI int TVgetIntInfo(pTVmodel model, int item, int *result);
TVAPI int TVgetDouInfo(pTVmodel model, int item, double *result);
TVAPI int TVgetProfilerInfo(pTVmodel model, int item, int *calls, double *seconds);
TVAPI int TVgetStocInfo(pTVmodel model, int item, void *result);
TVAPI int TVgetQCData(pTVmodel model, int *rows, int *cols1, int *cols2, double *coefs);
TVAPI int TVgetQCDatai(pTVmodel model, int i, int *nnz, int *cols1, int *cols2, double *coefs);
TVAPI int TVgetSETSData(pTVmodel model, int *nSets, int *nTotal, char *setTypes, int *cardinalities,
                        int *setSizes, int *setStarts, int *setCols);
TVAPI int TVgetSETSDatai(pTVmodel model, int k, char *setType, int *cardinality, int *size, int *setCols);
TVAPI int TVgetSemiContData(pTVmodel model, int *nVars, int *vars, double *lower, double *upper);
TVAPI int TVgetConeDatai(pTVmodel model, int k, char *coneType, double *alpha, int *nnz, int *coneCols);
TVAPI int TVgetALLDIFFData(pTVmodel model, int *nGroups, int *lowerValues, int *upperValues, int *starts,
                           int *vars);
TVAPI int TVgetPOSDData(pTVmodel model, int *nBlocks, int *dims, int *starts, int *rowPos, int *colPos,
                        int *vars);
/* Checks every invariant of the model's data; 0, or 2005 with the first
 * violation described in `reason` (at least 256 bytes, or NULL). */
TVAPI int TVcheckModelConsistency(pTVmodel model, char *reason);

/* ===================================================================== */
/* Callbacks and logging                                                  */
/* ===================================================================== */
TVAPI int TVsetCallback(pTVmodel model, TVcallback_t func, void *userData);
TVAPI int TVsetMIPCallback(pTVmodel model, TVmipCallback_t func, void *userData);
TVAPI int TVsetMIPCallbackInsMIPSol(pTVmodel model, TVinsMIPSol_t func, void *userData);
TVAPI int TVsetMIPCallbackInsMIPObj(pTVmodel model, TVinsMIPObj_t func, void *userData);
TVAPI int TVsetGOPCallback(pTVmodel model, TVgopCallback_t func, void *userData);
TVAPI int TVsetFDECallback(pTVmodel model, TVfdeCallback_t func, void *userData);
TVAPI int TVsetFuncalc(pTVmodel model, TVfuncalc_t func, void *userData);
TVAPI int TVsetGradcalc(pTVmodel model, TVgradcalc_t func, void *userData, int nRows, const int *rows);
TVAPI int TVsetGradcalcFullPartial(pTVmodel model, TVgradcalc_t func, void *userData, int nRows, const int *rows);
TVAPI int TVsetHessdccalc(pTVmodel model, TVhessdccalc_t func, void *userData);
TVAPI int TVsetUsercalc(pTVmodel model, TVusercalc_t func, void *userData);
TVAPI int TVgetCallbackInfo(pTVmodel model, int location, int item, void *value);
TVAPI int TVgetMIPCallbackInfo(pTVmodel model, int item, void *value);
TVAPI int TVgetProgressInfo(pTVmodel model, int location, int item, void *value);

/* ===================================================================== */
/* Model modification                                                     */
/* ===================================================================== */
TVAPI int TVaddConstraints(pTVmodel model, int nCons, const char *conTypes, char **conNames, const int *rowStarts,
                           const double *values, const int *colIndices, const double *rhs);
TVAPI int TVaddVariables(pTVmodel model, int nVars, const char *varTypes, char **varNames, const int *colStarts,
                         const int *colLengths, const double *values, const int *rowIndices, const double *c,
                         const double *lower, const double *upper);
TVAPI int TVaddCones(pTVmodel model, int nCones, const char *coneTypes, const double *alphas, char **coneNames,
                     const int *coneStarts, const int *coneCols);
TVAPI int TVaddSETS(pTVmodel model, int nSets, const char *setTypes, const int *cardinalities,
                    const int *setStarts, const int *setCols);
TVAPI int TVaddQCterms(pTVmodel model, int nQCnnz, const int *rows, const int *cols1, const int *cols2,
                       const double *coefs);
TVAPI int TVdeleteConstraints(pTVmodel model, int nCons, const int *cons);
TVAPI int TVdeleteVariables(pTVmodel model, int nVars, const int *vars);
TVAPI int TVdeleteCones(pTVmodel model, int nCones, const int *cones);
TVAPI int TVdeleteSETS(pTVmodel model, int nSets, const int *sets);
TVAPI int TVdeleteSemiContVars(pTVmodel model, int nVars, const int *vars);
/* Removes every quadratic term of the listed rows (-1 the objective). */
TVAPI int TVdeleteQCterms(pTVmodel model, int nRows, const int *rows);
TVAPI int TVdeleteAj(pTVmodel model, int j, int nRows, const int *rows);
TVAPI int TVmodifyRHS(pTVmodel model, int nCons, const int *cons, const double *values);
TVAPI int TVmodifyObjective(pTVmodel model, int nVars, const int *vars, const double *values);
TVAPI int TVmodifyObjConstant(pTVmodel model, double value);
TVAPI int TVmodifyLowerBounds(pTVmodel model, int nVars, const int *vars, const double *values);
TVAPI int TVmodifyUpperBounds(pTVmodel model, int nVars, const int *vars, const double *values);
TVAPI int TVmodifyAj(pTVmodel model, int j, int nRows, const int *rows, const double *values);
TVAPI int TVmodifyConstraintType(pTVmodel model, int nCons, const int *cons, const char *conTypes);
TVAPI int TVmodifyVariableType(pTVmodel model, int nVars, const int *vars, const char *varTypes);
TVAPI int TVmodifyCone(pTVmodel model, char coneType, int k, int nnz, const int *coneCols, double alpha);
TVAPI int TVmodifySET(pTVmodel model, char setType, int k, int nnz, const int *setCols);
TVAPI int TVmodifySemiContVars(pTVmodel model, int nVars, const int *vars, const double *lower,
                               const double *upper);
TVAPI int TVsetSETSStatei(pTVmodel model, int k, int state);
TVAPI int TVsetProbAllocSizes(pTVmodel model, int colCapacity, int rowCapacity, int matrixCapacity,
                              int quadraticCapacity, int nonlinearCapacity, int nameCapacity);
TVAPI int TVsetProbNameAllocSizes(pTVmodel model, int varNamePoolSize, int conNamePoolSize);
TVAPI int TVaddEmptySpacesAcolumns(pTVmodel model, const int *colNnz);
/* Releases the solvers' working memory kept in the model between solves. */
TVAPI int TVfreeSolverMemory(pTVmodel model);

/* ===================================================================== */
/* Model files                                                            */
/* ===================================================================== */
/* MPS files, plain or gzip-compressed (name ending in .gz): format 0 free,
 * 1 fixed; 2 and 3 the same layouts with unbounded integer columns read as
 * binary. TVreadMPSFileFR picks the objective among the N rows and may keep
 * the others as free rows. */
TVAPI int TVreadMPSFile(pTVmodel model, const char *fileName, int format);
TVAPI int TVreadMPSFileFR(pTVmodel model, const char *fileName, int format, int objectiveRowIndex,
                          int keepFreeRows);
TVAPI int TVwriteMPSFile(pTVmodel model, const char *fileName, int format);
/* The explicit LP dual, written (objSense 1 negates its objective) or built
 * into an empty model. */
TVAPI int TVwriteDualMPSFile(pTVmodel model, const char *fileName, int format, int objSense);
TVAPI int TVgetDualModel(pTVmodel model, pTVmodel dualModel);
/* LP-format files (plain or gzip-compressed) and LP-format text in memory,
 * read into an empty model. */
TVAPI int TVreadLPFile(pTVmodel model, const char *fileName);
TVAPI int TVreadLPStream(pTVmodel model, const char *text, int length);
/* TARVO text files (".ltx"): the library's own algebraic format. */
TVAPI int TVreadTARVOFile(pTVmodel model, const char *fileName);
TVAPI int TVreadTARVOFileX(pTVmodel model, const char *fileName);
TVAPI int TVreadTARVOStream(pTVmodel model, const char *text, int length);
TVAPI int TVwriteTARVOFile(pTVmodel model, const char *fileName);
/* The model as LP-format text that TVreadLPFile reads back to the same model. */
TVAPI int TVwriteLPFile(pTVmodel model, const char *fileName);
TVAPI int TVwriteDualTARVOFile(pTVmodel model, const char *fileName, int objSense);
/* Solution files: TVwriteSolution follows TV_IPARAM_SOL_REPORT_STYLE (0 full
 * report, 1 short listing, 2 report with ranging); TVwriteSolutionOfType
 * takes 0-2 the full report, 3 the short LP listing, 4 the short MIP listing. */
TVAPI int TVwriteSolution(pTVmodel model, const char *fileName);
TVAPI int TVwriteSolutionOfType(pTVmodel model, const char *fileName, int type);
TVAPI int TVwriteNLSolution(pTVmodel model, const char *fileName);
/* Allowable decrease and increase (1e30 for no limit) of each cost (nVars
 * values) and each right-hand side (nCons values) keeping the optimal basis. */
TVAPI int TVgetObjectiveRanges(pTVmodel model, double *decrease, double *increase);
TVAPI int TVgetRHSRanges(pTVmodel model, double *decrease, double *increase);
/* A start point (values and basis statuses) read back from a solution report;
 * a MIP start read from (variable name or index, value) pairs. */
TVAPI int TVreadVarStartPoint(pTVmodel model, const char *fileName);
TVAPI int TVreadMipSolution(pTVmodel model, const char *fileName);
/* Basis files: format 1 binary, 2 the basis matrix as MPS, 3 text, 4 the basis
 * matrix as triplets; a negative format lets TVwriteBasis build a basis from
 * the current solution when none is kept. TVreadBasis reads format 1. */
TVAPI int TVwriteBasis(pTVmodel model, const char *fileName, int format);
TVAPI int TVreadBasis(pTVmodel model, const char *fileName, int format);

/* The presolved model (LP or integer presolve by the model's type and level)
 * written as MPS; rows and columns keep their original names. */
TVAPI int TVwriteReducedMPSFile(pTVmodel model, const char *fileName, int format);
/* Algebraic text exports of linear and quadratic models. */
TVAPI int TVwriteMERLOFile(pTVmodel model, const char *fileName);
TVAPI int TVwriteMPXFile(pTVmodel model, const char *fileName, int options);

/* ===================================================================== */
/* Optimisation                                                           */
/* ===================================================================== */
/* Solves a continuous model; status (may be NULL) receives the model status.
 * method: TV_METHOD_FREE (the library chooses), TV_METHOD_PSIMPLEX,
 * TV_METHOD_DSIMPLEX, ... A second call after a change starts warm from the
 * kept basis. 0 does not mean optimal: read the status. A progress callback
 * that returns non-zero stops the solve with 2023; 2016 and 2017 (iteration
 * and time limit) keep the best solution found. */
TVAPI int TVoptimize(pTVmodel model, int method, int *status);
/* Solves with the basis of the last simplex run: sparse vectors (count,
 * indices, values) in the model's unscaled space. FTRAN: B x = a with a
 * indexed by rows and x by basic positions; BTRAN: y^T B = c^T. */
TVAPI int TVdoFTRAN(pTVmodel model, int *inCount, int *inIndex, double *inValue, int *outCount, int *outIndex,
                    double *outValue);
TVAPI int TVdoBTRAN(pTVmodel model, int *inCount, int *inIndex, double *inValue, int *outCount, int *outIndex,
                    double *outValue);

/* ===================================================================== */
/* IIS and IUS analysis of infeasible and unbounded models                */
/* ===================================================================== */
/* nLevel >= 1 overrides TV_IPARAM_IIS_ANALYZE_LEVEL (TV_IPARAM_IUS_ANALYZE_LEVEL). */
TVAPI int TVfindIIS(pTVmodel model, int nLevel);
TVAPI int TVfindIUS(pTVmodel model, int nLevel);
/* Each list holds the sufficient members first. Bound types: -1 lower, 1 upper,
 * 0 both. Every out-argument may be NULL. */
TVAPI int TVgetIIS(pTVmodel model, int *nSuf_r, int *nIIS_r, int *aiCons, int *nSuf_c, int *nIIS_c,
                   int *aiVars, int *anBnds);
TVAPI int TVgetIISInts(pTVmodel model, int *nSuf_xnt, int *nIIS_xnt, int *aiVars);
TVAPI int TVgetIISSETs(pTVmodel model, int *nSuf_set, int *nIIS_set, int *aiSets);
TVAPI int TVgetIUS(pTVmodel model, int *nSuf, int *nIUS, int *aiVars);
TVAPI int TVwriteIIS(pTVmodel model, const char *fileName);
TVAPI int TVwriteIUS(pTVmodel model, const char *fileName);

/* ===================================================================== */
/* Parameters                                                             */
/* ===================================================================== */
TVAPI int TVsetModelIntParameter(pTVmodel model, int id, int value);
TVAPI int TVsetEnvIntParameter(pTVenv env, int id, int value);
TVAPI int TVsetModelDouParameter(pTVmodel model, int id, double value);
TVAPI int TVsetEnvDouParameter(pTVenv env, int id, double value);
TVAPI int TVgetModelIntParameter(pTVmodel model, int id, int *value);
TVAPI int TVgetEnvIntParameter(pTVenv env, int id, int *value);
TVAPI int TVgetModelDouParameter(pTVmodel model, int id, double *value);
TVAPI int TVgetEnvDouParameter(pTVenv env, int id, double *value);
TVAPI int TVsetModelParameter(pTVmodel model, int id, void *value);
TVAPI int TVsetEnvParameter(pTVenv env, int id, void *value);
TVAPI int TVgetModelParameter(pTVmodel model, int id, void *value);
TVAPI int TVgetEnvParameter(pTVenv env, int id, void *value);
TVAPI int TVgetIntParameterRange(pTVmodel model, int id, int *minValue, int *maxValue);
TVAPI int TVgetDouParameterRange(pTVmodel model, int id, double *minValue, double *maxValue);
TVAPI int TVreadModelParameter(pTVmodel model, const char *fileName);
TVAPI int TVreadEnvParameter(pTVenv env, const char *fileName);
TVAPI int TVwriteModelParameter(pTVmodel model, const char *fileName);
TVAPI int TVwriteEnvParameter(pTVenv env, const char *fileName);
TVAPI int TVloadModelParameter(pTVmodel model, const char *fileName, int nRecords,
                               const TVparamRecord *records);
TVAPI int TVloadEnvParameter(pTVenv env, const char *fileName, int nRecords,
                             const TVparamRecord *records);
TVAPI int TVwriteParameterAsciiDoc(pTVenv env, const char *fileName);
TVAPI int TVgetParamShortDesc(pTVenv env, int id, char *buffer);
TVAPI int TVgetParamLongDesc(pTVenv env, int id, char *buffer);
TVAPI int TVgetParamMacroName(pTVenv env, int id, char *buffer);
TVAPI const char *TVgetParamShortDescPtr(pTVenv env, int id);
TVAPI const char *TVgetParamLongDescPtr(pTVenv env, int id);
TVAPI const char *TVgetParamMacroNamePtr(pTVenv env, int id);
TVAPI int TVgetParamMacroID(pTVenv env, const char *macroName, int *type, int *id);
TVAPI int TVsearchParamHasKeyword(pTVenv env, const char *keyword, int *position, int *id);
/* The registry's records in identifier order (count from TVgetParamCount). */
TVAPI const TVparamRecord *TVgetParamRecords(pTVenv env);

/* ---- Parameters (integer TV_IPARAM_..., double TV_DPARAM_...) ---- */

/* Library version (read-only) */
#define TV_IPARAM_VER_MAJOR                          990
#define TV_IPARAM_VER_MINOR                          991
#define TV_IPARAM_VER_BUILD                          992
#define TV_IPARAM_VER_REVISION                       993
#define TV_IPARAM_VER_NUMBER                         999

/* General and model-wide */
#define TV_IPARAM_OBJSENSE                           1022
#define TV_DPARAM_CALLBACKFREQ                       1023
#define TV_DPARAM_OBJPRINTMUL                        1024
#define TV_IPARAM_CHECK_FOR_ERRORS                   1025
#define TV_IPARAM_ALLOW_CNTRLBREAK                   1026
#define TV_IPARAM_DECOMPOSITION_TYPE                 1027
#define TV_IPARAM_BARRIER_SOLVER                     1028
#define TV_IPARAM_MPS_OBJ_WRITESTYLE                 1029
#define TV_IPARAM_SOL_REPORT_STYLE                   1030
#define TV_IPARAM_INSTRUCT_LOADTYPE                  1031
#define TV_IPARAM_STRING_LENLMT                      1032
#define TV_IPARAM_USE_NAMEDATA                       1033
#define TV_IPARAM_COPY_MODE                          1046
#define TV_IPARAM_SBD_NUM_THREADS                    1047
#define TV_IPARAM_NUM_THREADS                        1048
#define TV_IPARAM_MULTITHREAD_MODE                   1049
#define TV_IPARAM_FIND_BLOCK                         1050
#define TV_IPARAM_PROFILER_LEVEL                     1051
#define TV_IPARAM_INSTRUCT_READMODE                  1052
#define TV_IPARAM_INSTRUCT_SUBOUT                    1053
#define TV_IPARAM_SOLPOOL_LIM                        1054
#define TV_IPARAM_FIND_SYMMETRY_LEVEL                1055
#define TV_IPARAM_FIND_SYMMETRY_PRINT_LEVEL          1056
#define TV_IPARAM_TUNER_PRINT_LEVEL                  1057
#define TV_IPARAM_DEFAULT_SEED                       1058
#define TV_IPARAM_XSOLVER_LOG_LEVEL                  1059

/* Solver selection and common tolerances */
#define TV_IPARAM_SOLVER_IUSOL                       1251
#define TV_IPARAM_SOLVER_TIMLMT                      1252
#define TV_DPARAM_SOLVER_CUTOFFVAL                   1253
#define TV_DPARAM_SOLVER_FEASTOL                     1254
#define TV_IPARAM_SOLVER_RESTART                     1255
#define TV_IPARAM_SOLVER_IPMSOL                      1256
#define TV_DPARAM_SOLVER_OPTTOL                      1257
#define TV_IPARAM_SOLVER_USECUTOFFVAL                1258
#define TV_IPARAM_SOLVER_PRE_ELIM_FILL               1259
#define TV_DPARAM_SOLVER_TIMLMT                      1260
#define TV_IPARAM_SOLVER_CONCURRENT_OPTMODE          1261
#define TV_DPARAM_SOLVER_PERT_FEASTOL                1262
#define TV_IPARAM_SOLVER_PARTIALSOL_LEVEL            1263
#define TV_IPARAM_SOLVER_MODE                        1264
#define TV_IPARAM_SOLVER_METHOD                      1265
#define TV_IPARAM_SOLVER_DUALSOL                     1266

/* IIS and IUS analysis, formats */
#define TV_IPARAM_IIS_ANALYZE_LEVEL                  1550
#define TV_IPARAM_IUS_ANALYZE_LEVEL                  1551
#define TV_IPARAM_IIS_TOPOPT                         1552
#define TV_IPARAM_IIS_REOPT                          1553
#define TV_IPARAM_IIS_USE_SFILTER                    1554
#define TV_IPARAM_IIS_PRINT_LEVEL                    1555
#define TV_IPARAM_IIS_INFEAS_NORM                    1556
#define TV_IPARAM_IIS_ITER_LIMIT                     1557
#define TV_DPARAM_IIS_ITER_LIMIT                     1558
#define TV_IPARAM_IIS_TIME_LIMIT                     1559
#define TV_IPARAM_IIS_METHOD                         1560
#define TV_IPARAM_IIS_USE_EFILTER                    1561
#define TV_IPARAM_IIS_USE_GOP                        1562
#define TV_IPARAM_IIS_NUM_THREADS                    1563
#define TV_IPARAM_IIS_GETMODE                        1564
#define TV_IPARAM_FMT_ISSQL                          1590

/* Nonlinear solver */
#define TV_IPARAM_NLP_SOLVE_AS_LP                    2500
#define TV_IPARAM_NLP_SOLVER                         2501
#define TV_IPARAM_NLP_SUBSOLVER                      2502
#define TV_IPARAM_NLP_PRINTLEVEL                     2503
#define TV_DPARAM_NLP_PSTEP_FINITEDIFF               2504
#define TV_IPARAM_NLP_DERIV_DIFFTYPE                 2505
#define TV_DPARAM_NLP_FEASTOL                        2506
#define TV_DPARAM_NLP_REDGTOL                        2507
#define TV_IPARAM_NLP_USE_CRASH                      2508
#define TV_IPARAM_NLP_USE_STEEPEDGE                  2509
#define TV_IPARAM_NLP_USE_SLP                        2510
#define TV_IPARAM_NLP_USE_SELCONEVAL                 2511
#define TV_IPARAM_NLP_PRELEVEL                       2512
#define TV_IPARAM_NLP_ITRLMT                         2513
#define TV_IPARAM_NLP_LINEARZ                        2514
#define TV_IPARAM_NLP_LINEARITY                      2515
#define TV_IPARAM_NLP_STARTPOINT                     2516
#define TV_IPARAM_NLP_CONVEXRELAX                    2517
#define TV_IPARAM_NLP_CR_ALG_REFORM                  2518
#define TV_IPARAM_NLP_QUADCHK                        2519
#define TV_IPARAM_NLP_AUTODERIV                      2520
#define TV_IPARAM_NLP_MAXLOCALSEARCH                 2521
#define TV_IPARAM_NLP_CONVEX                         2522
#define TV_IPARAM_NLP_CONOPT_VER                     2523
#define TV_IPARAM_NLP_USE_TARVO_CRASH                2524
#define TV_IPARAM_NLP_STALL_ITRLMT                   2525
#define TV_IPARAM_NLP_AUTOHESS                       2526
#define TV_IPARAM_NLP_FEASCHK                        2527
#define TV_DPARAM_NLP_ITRLMT                         2528
#define TV_IPARAM_NLP_MAXSUP                         2529
#define TV_IPARAM_NLP_MSW_SOLIDX                     2530
#define TV_IPARAM_NLP_ITERS_PER_LOGLINE              2531
#define TV_IPARAM_NLP_MAX_RETRY                      2532
#define TV_IPARAM_NLP_MSW_NORM                       2533
#define TV_IPARAM_NLP_MSW_POPSIZE                    2534
#define TV_IPARAM_NLP_MSW_MAXPOP                     2535
#define TV_IPARAM_NLP_MSW_MAXNOIMP                   2536
#define TV_IPARAM_NLP_MSW_FILTMODE                   2537
#define TV_DPARAM_NLP_MSW_POXDIST_THRES              2538
#define TV_DPARAM_NLP_MSW_EUCDIST_THRES              2539
#define TV_DPARAM_NLP_MSW_XNULRAD_FACTOR             2540
#define TV_DPARAM_NLP_MSW_XKKTRAD_FACTOR             2541
#define TV_IPARAM_NLP_MAXLOCALSEARCH_TREE            2542
#define TV_IPARAM_NLP_MSW_NUM_THREADS                2543
#define TV_IPARAM_NLP_MSW_RG_SEED                    2544
#define TV_IPARAM_NLP_MSW_PREPMODE                   2545
#define TV_IPARAM_NLP_MSW_RMAPMODE                   2546
#define TV_IPARAM_NLP_XSMODE                         2547
#define TV_DPARAM_NLP_MSW_OVERLAP_RATIO              2548
#define TV_DPARAM_NLP_INF                            2549
#define TV_IPARAM_NLP_IPM2GRG                        2550
#define TV_IPARAM_NLP_USE_SDP                        2551
#define TV_IPARAM_NLP_LINEARZ_WB_CONSISTENT          2552
#define TV_DPARAM_NLP_CUTOFFOBJ                      2553
#define TV_IPARAM_NLP_USECUTOFFOBJ                   2554
#define TV_IPARAM_NLP_CONIC_REFORM                   2555
#define TV_IPARAM_NLP_QP_REFORM_LEVEL                2556
#define TV_IPARAM_NLP_NLOPT_ALGO                     2557
#define TV_DPARAM_NLP_ENLAMBDA                       2558

/* Barrier (interior point) solver */
#define TV_DPARAM_IPM_TOL_INFEAS                     3150
#define TV_DPARAM_IPM_TOL_PATH                       3151
#define TV_DPARAM_IPM_TOL_PFEAS                      3152
#define TV_DPARAM_IPM_TOL_REL_STEP                   3153
#define TV_DPARAM_IPM_TOL_PSAFE                      3154
#define TV_DPARAM_IPM_TOL_DFEAS                      3155
#define TV_DPARAM_IPM_TOL_DSAFE                      3156
#define TV_DPARAM_IPM_TOL_MU_RED                     3157
#define TV_DPARAM_IPM_BASIS_REL_TOL_S                3158
#define TV_DPARAM_IPM_BASIS_TOL_S                    3159
#define TV_DPARAM_IPM_BASIS_TOL_X                    3160
#define TV_DPARAM_IPM_BI_LU_TOL_REL_PIV              3161
#define TV_DPARAM_IPM_CO_TOL_INFEAS                  3162
#define TV_DPARAM_IPM_CO_TOL_PFEAS                   3163
#define TV_DPARAM_IPM_CO_TOL_DFEAS                   3164
#define TV_DPARAM_IPM_CO_TOL_MU_RED                  3165
#define TV_IPARAM_IPM_MAX_ITERATIONS                 3166
#define TV_IPARAM_IPM_OFF_COL_TRH                    3167
#define TV_IPARAM_IPM_NUM_THREADS                    3168
#define TV_IPARAM_IPM_CHECK_CONVEXITY                3169

/* Simplex and LP presolve */
#define TV_IPARAM_LP_SCALE                           4029
#define TV_IPARAM_LP_ITRLMT                          4030
#define TV_IPARAM_SPLEX_PPRICING                     4031
#define TV_IPARAM_SPLEX_REFACFRQ                     4032
#define TV_IPARAM_PROB_TO_SOLVE                      4033
#define TV_IPARAM_LP_PRINTLEVEL                      4035
#define TV_IPARAM_SPLEX_DPRICING                     4037
#define TV_IPARAM_SPLEX_DUAL_PHASE                   4038
#define TV_IPARAM_LP_PRELEVEL                        4041
#define TV_IPARAM_SPLEX_USE_EXTERNAL                 4042
#define TV_DPARAM_LP_ITRLMT                          4045
#define TV_DPARAM_LP_MIN_FEASTOL                     4060
#define TV_DPARAM_LP_MAX_FEASTOL                     4061
#define TV_DPARAM_LP_MIN_OPTTOL                      4062
#define TV_DPARAM_LP_MAX_OPTTOL                      4063
#define TV_DPARAM_LP_MIN_PIVTOL                      4064
#define TV_DPARAM_LP_MAX_PIVTOL                      4065
#define TV_DPARAM_LP_AIJ_ZEROTOL                     4066
#define TV_DPARAM_LP_PIV_ZEROTOL                     4067
#define TV_DPARAM_LP_PIV_BIGTOL                      4068
#define TV_DPARAM_LP_BIGM                            4069
#define TV_DPARAM_LP_BNDINF                          4070
#define TV_DPARAM_LP_INFINITY                        4071
#define TV_IPARAM_LP_PPARTIAL                        4072
#define TV_IPARAM_LP_DPARTIAL                        4073
#define TV_IPARAM_LP_DRATIO                          4074
#define TV_IPARAM_LP_PRATIO                          4075
#define TV_IPARAM_LP_RATRANGE                        4076
#define TV_IPARAM_LP_DPSWITCH                        4077
#define TV_IPARAM_LP_PALLOC                          4078
#define TV_IPARAM_LP_PRTFG                           4079
#define TV_IPARAM_LP_OPRFREE                         4080
#define TV_IPARAM_LP_SPRINT_SUB                      4081
#define TV_IPARAM_LP_XMODE                           4082
#define TV_IPARAM_LP_PCOLAL_FACTOR                   4083
#define TV_IPARAM_LP_MAXMERGE                        4084
#define TV_DPARAM_LP_PERTFACT                        4085
#define TV_DPARAM_LP_DYNOBJFACT                      4086
#define TV_IPARAM_LP_DYNOBJMODE                      4087
#define TV_DPARAM_LP_MERGEFACT                       4088
#define TV_IPARAM_LP_UMODE                           4089
#define TV_IPARAM_LP_SPRINT_MAXPASS                  4090
#define TV_IPARAM_LP_SPRINT_COLFACT                  4091
#define TV_IPARAM_LP_BASRECOV_METHOD                 4092
#define TV_IPARAM_LP_BASPOLISH_ITRLMT                4093
#define TV_IPARAM_LP_BASPOLISH_DEPTH                 4094
#define TV_IPARAM_LP_BASPOLISH_MODE                  4095

/* LU factorisation */
#define TV_IPARAM_LU_NUM_CANDITS                     4800
#define TV_IPARAM_LU_MAX_UPDATES                     4801
#define TV_IPARAM_LU_PRINT_LEVEL                     4802
#define TV_IPARAM_LU_UPDATE_TYPE                     4803
#define TV_IPARAM_LU_MODE                            4804
#define TV_IPARAM_LU_PIVMOD                          4805
#define TV_DPARAM_LU_EPS_DIAG                        4806
#define TV_DPARAM_LU_EPS_NONZ                        4807
#define TV_DPARAM_LU_EPS_PIVABS                      4808
#define TV_DPARAM_LU_EPS_PIVREL                      4809
#define TV_DPARAM_LU_INI_RCOND                       4810
#define TV_DPARAM_LU_SPVTOL_UPDATE                   4811
#define TV_DPARAM_LU_SPVTOL_FTRAN                    4812
#define TV_DPARAM_LU_SPVTOL_BTRAN                    4813
#define TV_IPARAM_LU_CORE                            4908

/* Integer (MIP) solver */
#define TV_IPARAM_MIP_TIMLIM                         5300
#define TV_IPARAM_MIP_AOPTTIMLIM                     5301
#define TV_IPARAM_MIP_LSOLTIMLIM                     5302
#define TV_IPARAM_MIP_PRELEVEL                       5303
#define TV_IPARAM_MIP_NODESELRULE                    5304
#define TV_DPARAM_MIP_INTTOL                         5305
#define TV_DPARAM_MIP_RELINTTOL                      5306
#define TV_DPARAM_MIP_RELOPTTOL                      5307
#define TV_DPARAM_MIP_PEROPTTOL                      5308
#define TV_IPARAM_MIP_MAXCUTPASS_TOP                 5309
#define TV_IPARAM_MIP_MAXCUTPASS_TREE                5310
#define TV_DPARAM_MIP_ADDCUTPER                      5311
#define TV_DPARAM_MIP_ADDCUTPER_TREE                 5312
#define TV_IPARAM_MIP_MAXNONIMP_CUTPASS              5313
#define TV_IPARAM_MIP_CUTLEVEL_TOP                   5314
#define TV_IPARAM_MIP_CUTLEVEL_TREE                  5315
#define TV_IPARAM_MIP_CUTTIMLIM                      5316
#define TV_IPARAM_MIP_CUTDEPTH                       5317
#define TV_IPARAM_MIP_CUTFREQ                        5318
#define TV_IPARAM_MIP_HEULEVEL                       5319
#define TV_IPARAM_MIP_PRINTLEVEL                     5320
#define TV_IPARAM_MIP_PREPRINTLEVEL                  5321
#define TV_DPARAM_MIP_CUTOFFOBJ                      5322
#define TV_IPARAM_MIP_USECUTOFFOBJ                   5323
#define TV_IPARAM_MIP_STRONGBRANCHLEVEL              5324
#define TV_IPARAM_MIP_TREEREORDERLEVEL               5325
#define TV_IPARAM_MIP_BRANCHDIR                      5326
#define TV_IPARAM_MIP_TOPOPT                         5327
#define TV_IPARAM_MIP_REOPT                          5328
#define TV_IPARAM_MIP_SOLVERTYPE                     5329
#define TV_IPARAM_MIP_KEEPINMEM                      5330
#define TV_IPARAM_MIP_BRANCHRULE                     5331
#define TV_DPARAM_MIP_REDCOSTFIX_CUTOFF              5332
#define TV_DPARAM_MIP_ADDCUTOBJTOL                   5333
#define TV_IPARAM_MIP_HEUMINTIMLIM                   5334
#define TV_IPARAM_MIP_BRANCH_PRIO                    5335
#define TV_IPARAM_MIP_SCALING_BOUND                  5336
#define TV_DPARAM_MIP_PSEUDOCOST_WEIGT               5337
#define TV_DPARAM_MIP_LBIGM                          5338
#define TV_DPARAM_MIP_DELTA                          5339
#define TV_IPARAM_MIP_DUAL_SOLUTION                  5340
#define TV_IPARAM_MIP_BRANCH_LIMIT                   5341
#define TV_DPARAM_MIP_ITRLIM                         5342
#define TV_IPARAM_MIP_AGGCUTLIM_TOP                  5343
#define TV_IPARAM_MIP_AGGCUTLIM_TREE                 5344
#define TV_DPARAM_MIP_SWITCHFAC_SIM_IPM_ITER         5345
#define TV_IPARAM_MIP_ANODES_SWITCH_DF               5346
#define TV_DPARAM_MIP_ABSOPTTOL                      5347
#define TV_DPARAM_MIP_MINABSOBJSTEP                  5348
#define TV_IPARAM_MIP_PSEUDOCOST_RULE                5349
#define TV_IPARAM_MIP_ENUM_HEUMODE                   5350
#define TV_IPARAM_MIP_PRELEVEL_TREE                  5351
#define TV_DPARAM_MIP_REDCOSTFIX_CUTOFF_TREE         5352
#define TV_IPARAM_MIP_USE_INT_ZERO_TOL               5353
#define TV_IPARAM_MIP_USE_CUTS_HEU                   5354
#define TV_DPARAM_MIP_BIGM_FOR_INTTOL                5355
#define TV_IPARAM_MIP_STRONGBRANCHDONUM              5356
#define TV_IPARAM_MIP_MAKECUT_INACTIVE_COUNT         5357
#define TV_IPARAM_MIP_PRE_ELIM_FILL                  5358
#define TV_IPARAM_MIP_HEU_MODE                       5359
#define TV_DPARAM_MIP_TIMLIM                         5370
#define TV_DPARAM_MIP_AOPTTIMLIM                     5371
#define TV_DPARAM_MIP_LSOLTIMLIM                     5372
#define TV_DPARAM_MIP_CUTTIMLIM                      5373
#define TV_DPARAM_MIP_HEUMINTIMLIM                   5374
#define TV_IPARAM_MIP_FP_MODE                        5375
#define TV_DPARAM_MIP_FP_WEIGHT                      5376
#define TV_IPARAM_MIP_FP_OPT_METHOD                  5377
#define TV_DPARAM_MIP_FP_TIMLIM                      5378
#define TV_IPARAM_MIP_FP_ITRLIM                      5379
#define TV_IPARAM_MIP_FP_HEU_MODE                    5380
#define TV_DPARAM_MIP_OBJ_THRESHOLD                  5381
#define TV_IPARAM_MIP_LOCALBRANCHNUM                 5382
#define TV_DPARAM_MIP_SWITCHFAC_SIM_IPM_TIME         5383
#define TV_DPARAM_MIP_ITRLIM_SIM                     5384
#define TV_DPARAM_MIP_ITRLIM_NLP                     5385
#define TV_DPARAM_MIP_ITRLIM_IPM                     5386
#define TV_IPARAM_MIP_MAXNUM_MIP_SOL_STORAGE         5387
#define TV_IPARAM_MIP_CONCURRENT_TOPOPTMODE          5388
#define TV_IPARAM_MIP_CONCURRENT_REOPTMODE           5389
#define TV_IPARAM_MIP_PREHEU_LEVEL                   5390
#define TV_IPARAM_MIP_PREHEU_PRE_LEVEL               5391
#define TV_IPARAM_MIP_PREHEU_PRINT_LEVEL             5392
#define TV_IPARAM_MIP_PREHEU_TC_ITERLIM              5393
#define TV_IPARAM_MIP_PREHEU_DFE_VSTLIM              5394
#define TV_IPARAM_MIP_PREHEU_VAR_SEQ                 5395
#define TV_IPARAM_MIP_USE_PARTIALSOL_LEVEL           5396
#define TV_IPARAM_MIP_GENERAL_MODE                   5397
#define TV_IPARAM_MIP_NUM_THREADS                    5398
#define TV_IPARAM_MIP_POLISH_NUM_BRANCH_NEXT         5399
#define TV_IPARAM_MIP_POLISH_MAX_BRANCH_COUNT        5400
#define TV_DPARAM_MIP_POLISH_ALPHA_TARGET            5401
#define TV_IPARAM_MIP_CONCURRENT_STRATEGY            5402
#define TV_DPARAM_MIP_BRANCH_TOP_VAL_DIFF_WEIGHT     5403
#define TV_IPARAM_MIP_BASCUTS_DONUM                  5404
#define TV_IPARAM_MIP_PARA_SUB                       5405
#define TV_DPARAM_MIP_PARA_RND_ITRLMT                5406
#define TV_DPARAM_MIP_PARA_INIT_NODE                 5407
#define TV_IPARAM_MIP_PARA_ITR_MODE                  5408
#define TV_IPARAM_MIP_PARA_FP                        5409
#define TV_IPARAM_MIP_PARA_FP_MODE                   5410
#define TV_IPARAM_MIP_HEU_DROP_OBJ                   5411
#define TV_DPARAM_MIP_ABSCUTTOL                      5412
#define TV_IPARAM_MIP_PERSPECTIVE_REFORM             5413
#define TV_IPARAM_MIP_TREEREORDERMODE                5414
#define TV_IPARAM_MIP_XSOLVER                        5415
#define TV_IPARAM_MIP_BNB_TRY_BNP                    5416
#define TV_IPARAM_MIP_KBEST_USE_GOP                  5417
#define TV_IPARAM_MIP_SYMMETRY_MODE                  5418
#define TV_IPARAM_MIP_ALLDIFF_METHOD                 5419
#define TV_IPARAM_MIP_SOLLIM                         5420
#define TV_IPARAM_MIP_FP_PROJECTION                  5421
#define TV_IPARAM_MIP_SYMMETRY_NONZ                  5422
#define TV_IPARAM_MIP_FIXINIT_ITRLIM                 5423

/* Global solver */
#define TV_DPARAM_GOP_RELOPTTOL                      6400
#define TV_DPARAM_GOP_FLTTOL                         6401
#define TV_DPARAM_GOP_BOXTOL                         6402
#define TV_DPARAM_GOP_WIDTOL                         6403
#define TV_DPARAM_GOP_DELTATOL                       6404
#define TV_DPARAM_GOP_BNDLIM                         6405
#define TV_IPARAM_GOP_TIMLIM                         6406
#define TV_IPARAM_GOP_OPTCHKMD                       6407
#define TV_IPARAM_GOP_BRANCHMD                       6408
#define TV_IPARAM_GOP_MAXWIDMD                       6409
#define TV_IPARAM_GOP_PRELEVEL                       6410
#define TV_IPARAM_GOP_POSTLEVEL                      6411
#define TV_IPARAM_GOP_BBSRCHMD                       6412
#define TV_IPARAM_GOP_DECOMPPTMD                     6413
#define TV_IPARAM_GOP_ALGREFORMMD                    6414
#define TV_IPARAM_GOP_RELBRNDMD                      6415
#define TV_IPARAM_GOP_PRINTLEVEL                     6416
#define TV_IPARAM_GOP_BNDLIM_MODE                    6417
#define TV_IPARAM_GOP_BRANCH_LIMIT                   6418
#define TV_IPARAM_GOP_CORELEVEL                      6419
#define TV_IPARAM_GOP_OPT_MODE                       6420
#define TV_IPARAM_GOP_HEU_MODE                       6421
#define TV_IPARAM_GOP_SUBOUT_MODE                    6422
#define TV_IPARAM_GOP_USE_NLPSOLVE                   6423
#define TV_IPARAM_GOP_LSOLBRANLIM                    6424
#define TV_IPARAM_GOP_LPSOPT                         6425
#define TV_DPARAM_GOP_TIMLIM                         6426
#define TV_DPARAM_GOP_BRANCH_LIMIT                   6427
#define TV_IPARAM_GOP_QUADMD                         6428
#define TV_IPARAM_GOP_LIM_MODE                       6429
#define TV_DPARAM_GOP_ITRLIM                         6430
#define TV_DPARAM_GOP_ITRLIM_SIM                     6431
#define TV_DPARAM_GOP_ITRLIM_IPM                     6432
#define TV_DPARAM_GOP_ITRLIM_NLP                     6433
#define TV_DPARAM_GOP_ABSOPTTOL                      6434
#define TV_DPARAM_GOP_PEROPTTOL                      6435
#define TV_DPARAM_GOP_AOPTTIMLIM                     6436
#define TV_IPARAM_GOP_LINEARZ                        6437
#define TV_IPARAM_GOP_NUM_THREADS                    6438
#define TV_IPARAM_GOP_MULTILINEAR                    6439
#define TV_DPARAM_GOP_OBJ_THRESHOLD                  6440
#define TV_IPARAM_GOP_QUAD_METHOD                    6441
#define TV_IPARAM_GOP_SOLLIM                         6442
#define TV_IPARAM_GOP_CMINLP                         6443
#define TV_IPARAM_GOP_CONIC_REFORM                   6444

/* Stochastic programming */
#define TV_IPARAM_STOC_NSAMPLE_SPAR                  6600
#define TV_IPARAM_STOC_NSAMPLE_STAGE                 6601
#define TV_IPARAM_STOC_RG_SEED                       6602
#define TV_IPARAM_STOC_METHOD                        6603
#define TV_IPARAM_STOC_REOPT                         6604
#define TV_IPARAM_STOC_TOPOPT                        6605
#define TV_IPARAM_STOC_ITER_LIM                      6606
#define TV_IPARAM_STOC_PRINT_LEVEL                   6607
#define TV_IPARAM_STOC_DETEQ_TYPE                    6608
#define TV_IPARAM_STOC_CALC_EVPI                     6609
#define TV_IPARAM_STOC_SAMP_CONT_ONLY                6610
#define TV_IPARAM_STOC_BUCKET_SIZE                   6611
#define TV_IPARAM_STOC_MAX_NUMSCENS                  6612
#define TV_IPARAM_STOC_SHARE_BEGSTAGE                6613
#define TV_IPARAM_STOC_NODELP_PRELEVEL               6614
#define TV_DPARAM_STOC_TIME_LIM                      6615
#define TV_DPARAM_STOC_RELOPTTOL                     6616
#define TV_DPARAM_STOC_ABSOPTTOL                     6617
#define TV_IPARAM_STOC_DEBUG_MASK                    6618
#define TV_IPARAM_STOC_VARCONTROL_METHOD             6619
#define TV_IPARAM_STOC_CORRELATION_TYPE              6620
#define TV_IPARAM_STOC_WSBAS                         6621
#define TV_IPARAM_STOC_ALD_OUTER_ITER_LIM            6622
#define TV_IPARAM_STOC_ALD_INNER_ITER_LIM            6623
#define TV_DPARAM_STOC_ALD_DUAL_FEASTOL              6624
#define TV_DPARAM_STOC_ALD_PRIMAL_FEASTOL            6625
#define TV_DPARAM_STOC_ALD_DUAL_STEPLEN              6626
#define TV_DPARAM_STOC_ALD_PRIMAL_STEPLEN            6627
#define TV_IPARAM_CORE_ORDER_BY_STAGE                6628
#define TV_SPARAM_STOC_FMT_NODE_NAME                 6629
#define TV_SPARAM_STOC_FMT_SCENARIO_NAME             6630
#define TV_IPARAM_STOC_MAP_MPI2LP                    6631
#define TV_IPARAM_STOC_AUTOAGGR                      6632
#define TV_IPARAM_STOC_BENCHMARK_SCEN                6633
#define TV_DPARAM_STOC_INFBND                        6634
#define TV_IPARAM_STOC_ADD_MPI                       6635
#define TV_IPARAM_STOC_ELIM_FXVAR                    6636
#define TV_DPARAM_STOC_SBD_OBJCUTVAL                 6637
#define TV_IPARAM_STOC_SBD_OBJCUTFLAG                6638
#define TV_IPARAM_STOC_SBD_NUMCANDID                 6639
#define TV_DPARAM_STOC_BIGM                          6640
#define TV_IPARAM_STOC_NAMEDATA_LEVEL                6641
#define TV_IPARAM_STOC_SBD_MAXCUTS                   6642
#define TV_IPARAM_STOC_DEQOPT                        6643
#define TV_IPARAM_STOC_DS_SUBFORM                    6644
#define TV_DPARAM_STOC_REL_PSTEPTOL                  6645
#define TV_DPARAM_STOC_REL_DSTEPTOL                  6646
#define TV_IPARAM_STOC_NUM_THREADS                   6647
#define TV_IPARAM_STOC_DETEQ_NBLOCKS                 6649

/* Sampling */
#define TV_IPARAM_SAMP_NCM_METHOD                    7701
#define TV_DPARAM_SAMP_NCM_CUTOBJ                    7702
#define TV_IPARAM_SAMP_NCM_DSTORAGE                  7703
#define TV_DPARAM_SAMP_CDSINC                        7704
#define TV_IPARAM_SAMP_SCALE                         7705
#define TV_IPARAM_SAMP_NCM_ITERLIM                   7706
#define TV_DPARAM_SAMP_NCM_OPTTOL                    7707
#define TV_DPARAM_SAMP_CDSMAX                        7708
#define TV_IPARAM_SAMP_NUM_THREADS                   7709
#define TV_IPARAM_SAMP_RG_BUFFER_SIZE                7739

/* Branch-and-price (decomposition) */
#define TV_DPARAM_BNP_INFBND                         8010
#define TV_IPARAM_BNP_LEVEL                          8011
#define TV_IPARAM_BNP_PRINT_LEVEL                    8012
#define TV_DPARAM_BNP_BOX_SIZE                       8013
#define TV_IPARAM_BNP_NUM_THREADS                    8014
#define TV_DPARAM_BNP_SUB_ITRLMT                     8015
#define TV_IPARAM_BNP_FIND_BLK                       8016
#define TV_IPARAM_BNP_PRELEVEL                       8017
#define TV_DPARAM_BNP_COL_LMT                        8018
#define TV_DPARAM_BNP_TIMLIM                         8019
#define TV_DPARAM_BNP_ITRLIM_SIM                     8020
#define TV_DPARAM_BNP_ITRLIM_IPM                     8021
#define TV_IPARAM_BNP_BRANCH_LIMIT                   8022
#define TV_DPARAM_BNP_ITRLIM                         8023

/* Genetic algorithm */
#define TV_DPARAM_GA_CXOVER_PROB                     8501
#define TV_DPARAM_GA_XOVER_SPREAD                    8502
#define TV_DPARAM_GA_IXOVER_PROB                     8503
#define TV_DPARAM_GA_CMUTAT_PROB                     8504
#define TV_DPARAM_GA_MUTAT_SPREAD                    8505
#define TV_DPARAM_GA_IMUTAT_PROB                     8506
#define TV_DPARAM_GA_TOL_ZERO                        8507
#define TV_DPARAM_GA_TOL_PFEAS                       8508
#define TV_DPARAM_GA_INF                             8509
#define TV_DPARAM_GA_INFBND                          8510
#define TV_DPARAM_GA_BLXA                            8511
#define TV_DPARAM_GA_BLXB                            8512
#define TV_IPARAM_GA_CXOVER_METHOD                   8513
#define TV_IPARAM_GA_IXOVER_METHOD                   8514
#define TV_IPARAM_GA_CMUTAT_METHOD                   8515
#define TV_IPARAM_GA_IMUTAT_METHOD                   8516
#define TV_IPARAM_GA_SEED                            8517
#define TV_IPARAM_GA_NGEN                            8518
#define TV_IPARAM_GA_POPSIZE                         8519
#define TV_IPARAM_GA_FILEOUT                         8520
#define TV_IPARAM_GA_PRINTLEVEL                      8521
#define TV_IPARAM_GA_INJECT_OPT                      8522
#define TV_IPARAM_GA_NUM_THREADS                     8523
#define TV_IPARAM_GA_OBJDIR                          8524
#define TV_DPARAM_GA_OBJSTOP                         8525
#define TV_DPARAM_GA_MIGRATE_PROB                    8526
#define TV_IPARAM_GA_SSPACE                          8527

/* ---- Information items (TVgetInfo) ---- */
#define TV_IINFO_NUM_CONS                            11010
#define TV_IINFO_NUM_VARS                            11011
#define TV_IINFO_NUM_NONZ                            11012
#define TV_IINFO_NUM_BIN                             11013
#define TV_IINFO_NUM_INT                             11014
#define TV_IINFO_NUM_CONT                            11015
#define TV_IINFO_NUM_QC_NONZ                         11016
#define TV_IINFO_NUM_NLP_NONZ                        11017
#define TV_IINFO_NUM_NLPOBJ_NONZ                     11018
#define TV_IINFO_NUM_RDCONS                          11019
#define TV_IINFO_NUM_RDVARS                          11020
#define TV_IINFO_NUM_RDNONZ                          11021
#define TV_IINFO_NUM_RDINT                           11022
#define TV_IINFO_LEN_VARNAMES                        11023
#define TV_IINFO_LEN_CONNAMES                        11024
#define TV_IINFO_NUM_NLP_CONS                        11025
#define TV_IINFO_NUM_NLP_VARS                        11026
#define TV_IINFO_NUM_SUF_ROWS                        11027
#define TV_IINFO_NUM_IIS_ROWS                        11028
#define TV_IINFO_NUM_SUF_BNDS                        11029
#define TV_IINFO_NUM_IIS_BNDS                        11030
#define TV_IINFO_NUM_SUF_COLS                        11031
#define TV_IINFO_NUM_IUS_COLS                        11032
#define TV_IINFO_NUM_CONES                           11033
#define TV_IINFO_NUM_CONE_NONZ                       11034
#define TV_IINFO_LEN_CONENAMES                       11035
#define TV_DINFO_INST_VAL_MIN_COEF                   11036
#define TV_IINFO_INST_VARNDX_MIN_COEF                11037
#define TV_IINFO_INST_CONNDX_MIN_COEF                11038
#define TV_DINFO_INST_VAL_MAX_COEF                   11039
#define TV_IINFO_INST_VARNDX_MAX_COEF                11040
#define TV_IINFO_INST_CONNDX_MAX_COEF                11041
#define TV_IINFO_NUM_VARS_CARD                       11042
#define TV_IINFO_NUM_VARS_SOS1                       11043
#define TV_IINFO_NUM_VARS_SOS2                       11044
#define TV_IINFO_NUM_VARS_SOS3                       11045
#define TV_IINFO_NUM_VARS_SCONT                      11046
#define TV_IINFO_NUM_CONS_L                          11047
#define TV_IINFO_NUM_CONS_E                          11048
#define TV_IINFO_NUM_CONS_G                          11049
#define TV_IINFO_NUM_CONS_R                          11050
#define TV_IINFO_NUM_CONS_N                          11051
#define TV_IINFO_NUM_VARS_LB                         11052
#define TV_IINFO_NUM_VARS_UB                         11053
#define TV_IINFO_NUM_VARS_LUB                        11054
#define TV_IINFO_NUM_VARS_FR                         11055
#define TV_IINFO_NUM_VARS_FX                         11056
#define TV_IINFO_NUM_SPARS                           11059
#define TV_IINFO_NUM_SUF_INTS                        11062
#define TV_IINFO_NUM_IIS_INTS                        11063
#define TV_DINFO_OBJWEIGHT                           11074
#define TV_IINFO_OBJRANK                             11075
#define TV_DINFO_OBJRELTOL                           11076
#define TV_DINFO_OBJABSTOL                           11077
#define TV_IINFO_OBJSENSE                            11078
#define TV_IINFO_NUM_NLP_COUNT                       11079
#define TV_IINFO_METHOD                              11200
#define TV_DINFO_POBJ                                11201
#define TV_DINFO_DOBJ                                11202
#define TV_DINFO_PINFEAS                             11203
#define TV_DINFO_DINFEAS                             11204
#define TV_IINFO_MODEL_STATUS                        11205
#define TV_IINFO_PRIMAL_STATUS                       11206
#define TV_IINFO_DUAL_STATUS                         11207
#define TV_IINFO_BASIC_STATUS                        11208
#define TV_IINFO_BAR_ITER                            11209
#define TV_IINFO_SIM_ITER                            11210
#define TV_IINFO_NLP_ITER                            11211
#define TV_IINFO_ELAPSED_TIME                        11212
#define TV_DINFO_MSW_POBJ                            11213
#define TV_IINFO_MSW_PASS                            11214
#define TV_IINFO_MSW_NSOL                            11215
#define TV_IINFO_IPM_STATUS                          11216
#define TV_DINFO_IPM_POBJ                            11217
#define TV_DINFO_IPM_DOBJ                            11218
#define TV_DINFO_IPM_PINFEAS                         11219
#define TV_DINFO_IPM_DINFEAS                         11220
#define TV_IINFO_NLP_CALL_FUN                        11221
#define TV_IINFO_NLP_CALL_DEV                        11222
#define TV_IINFO_NLP_CALL_HES                        11223
#define TV_IINFO_BAR_THREADS                         11229
#define TV_IINFO_NLP_THREADS                         11230
#define TV_IINFO_SIM_THREADS                         11231
#define TV_IINFO_ARCH_ID                             11237
#define TV_IINFO_LPTOOL                              11241
#define TV_IINFO_MIP_STATUS                          11300
#define TV_DINFO_MIP_OBJ                             11301
#define TV_DINFO_MIP_BESTBOUND                       11302
#define TV_IINFO_MIP_SIM_ITER                        11303
#define TV_IINFO_MIP_BAR_ITER                        11304
#define TV_IINFO_MIP_NLP_ITER                        11305
#define TV_IINFO_MIP_BRANCHCOUNT                     11306
#define TV_IINFO_MIP_NEWIPSOL                        11307
#define TV_IINFO_MIP_LPCOUNT                         11308
#define TV_IINFO_MIP_ACTIVENODES                     11309
#define TV_IINFO_MIP_LTYPE                           11310
#define TV_IINFO_MIP_AOPTTIMETOSTOP                  11311
#define TV_IINFO_MIP_NUM_TOTAL_CUTS                  11312
#define TV_IINFO_MIP_GUB_COVER_CUTS                  11313
#define TV_IINFO_MIP_FLOW_COVER_CUTS                 11314
#define TV_IINFO_MIP_LIFT_CUTS                       11315
#define TV_IINFO_MIP_PLAN_LOC_CUTS                   11316
#define TV_IINFO_MIP_DISAGG_CUTS                     11317
#define TV_IINFO_MIP_KNAPSUR_COVER_CUTS              11318
#define TV_IINFO_MIP_LATTICE_CUTS                    11319
#define TV_IINFO_MIP_GOMORY_CUTS                     11320
#define TV_IINFO_MIP_COEF_REDC_CUTS                  11321
#define TV_IINFO_MIP_GCD_CUTS                        11322
#define TV_IINFO_MIP_OBJ_CUT                         11323
#define TV_IINFO_MIP_BASIS_CUTS                      11324
#define TV_IINFO_MIP_CARDGUB_CUTS                    11325
#define TV_IINFO_MIP_CLIQUE_CUTS                     11326
#define TV_IINFO_MIP_CONTRA_CUTS                     11327
#define TV_IINFO_MIP_GUB_CONS                        11328
#define TV_IINFO_MIP_GLB_CONS                        11329
#define TV_IINFO_MIP_PLANTLOC_CONS                   11330
#define TV_IINFO_MIP_DISAGG_CONS                     11331
#define TV_IINFO_MIP_SB_CONS                         11332
#define TV_IINFO_MIP_IKNAP_CONS                      11333
#define TV_IINFO_MIP_KNAP_CONS                       11334
#define TV_IINFO_MIP_NLP_CONS                        11335
#define TV_IINFO_MIP_CONT_CONS                       11336
#define TV_DINFO_MIP_TOT_TIME                        11347
#define TV_DINFO_MIP_OPT_TIME                        11348
#define TV_DINFO_MIP_HEU_TIME                        11349
#define TV_IINFO_MIP_SOLSTATUS_LAST_BRANCH           11350
#define TV_DINFO_MIP_SOLOBJVAL_LAST_BRANCH           11351
#define TV_IINFO_MIP_HEU_LEVEL                       11352
#define TV_DINFO_MIP_PFEAS                           11353
#define TV_DINFO_MIP_INTPFEAS                        11354
#define TV_DINFO_MIP_ROOT_PRE_TIME                   11360
#define TV_IINFO_MIP_THREADS                         11367
#define TV_IINFO_MIP_STRATEGY_MASK                   11374
#define TV_DINFO_MIP_TIME_TO_BESTSOL                 11376
#define TV_DINFO_GOP_OBJ                             11600
#define TV_IINFO_GOP_SIM_ITER                        11601
#define TV_IINFO_GOP_BAR_ITER                        11602
#define TV_IINFO_GOP_NLP_ITER                        11603
#define TV_DINFO_GOP_BESTBOUND                       11604
#define TV_IINFO_GOP_STATUS                          11605
#define TV_IINFO_GOP_LPCOUNT                         11606
#define TV_IINFO_GOP_NLPCOUNT                        11607
#define TV_IINFO_GOP_MIPCOUNT                        11608
#define TV_IINFO_GOP_NEWSOL                          11609
#define TV_IINFO_GOP_BOX                             11610
#define TV_IINFO_GOP_BBITER                          11611
#define TV_IINFO_GOP_SUBITER                         11612
#define TV_IINFO_GOP_MIPBRANCH                       11613
#define TV_IINFO_GOP_ACTIVEBOXES                     11614
#define TV_IINFO_GOP_TOT_TIME                        11615
#define TV_IINFO_GOP_MAXDEPTH                        11616
#define TV_DINFO_GOP_SIM_ITER                        11619
#define TV_DINFO_GOP_BAR_ITER                        11620
#define TV_DINFO_GOP_NLP_ITER                        11621
#define TV_DINFO_GOP_LPCOUNT                         11622
#define TV_DINFO_GOP_NLPCOUNT                        11623
#define TV_DINFO_GOP_MIPCOUNT                        11624
#define TV_DINFO_GOP_BBITER                          11625
#define TV_DINFO_GOP_SUBITER                         11626
#define TV_DINFO_GOP_MIPBRANCH                       11627
#define TV_DINFO_GOP_FIRST_TIME                      11628
#define TV_DINFO_GOP_BEST_TIME                       11629
#define TV_IINFO_GOP_THREADS                         11631
#define TV_DINFO_SUB_OBJ                             11700
#define TV_DINFO_SUB_PINF                            11701
#define TV_DINFO_CUR_OBJ                             11702
#define TV_IINFO_CUR_ITER                            11703
#define TV_DINFO_CUR_BEST_BOUND                      11704
#define TV_IINFO_CUR_STATUS                          11705
#define TV_IINFO_CUR_LP_COUNT                        11706
#define TV_IINFO_CUR_BRANCH_COUNT                    11707
#define TV_IINFO_CUR_ACTIVE_COUNT                    11708
#define TV_IINFO_CUR_NLP_COUNT                       11709
#define TV_IINFO_CUR_MIP_COUNT                       11710
#define TV_IINFO_CUR_CUT_COUNT                       11711
#define TV_DINFO_CUR_ITER                            11712
#define TV_DINFO_CUR_TIME                            11713
#define TV_DINFO_GEN_PERCENT                         11800
#define TV_IINFO_GEN_NONZ_TTL                        11801
#define TV_IINFO_GEN_NONZ_NL                         11802
#define TV_IINFO_GEN_ROW_NL                          11803
#define TV_IINFO_GEN_VAR_NL                          11804
#define TV_IINFO_IIS_BAR_ITER                        11850
#define TV_IINFO_IIS_SIM_ITER                        11851
#define TV_IINFO_IIS_NLP_ITER                        11852
#define TV_IINFO_IIS_TOT_TIME                        11856
#define TV_IINFO_IIS_ACT_NODE                        11857
#define TV_IINFO_IIS_LPCOUNT                         11858
#define TV_IINFO_IIS_NLPCOUNT                        11859
#define TV_IINFO_IIS_MIPCOUNT                        11860
#define TV_IINFO_IIS_THREADS                         11861
#define TV_IINFO_IUS_BAR_ITER                        11875
#define TV_IINFO_IUS_SIM_ITER                        11876
#define TV_IINFO_IUS_NLP_ITER                        11877
#define TV_IINFO_IUS_TOT_TIME                        11881
#define TV_IINFO_IUS_ACT_NODE                        11882
#define TV_IINFO_IUS_LPCOUNT                         11883
#define TV_IINFO_IUS_NLPCOUNT                        11884
#define TV_IINFO_IUS_MIPCOUNT                        11885
#define TV_IINFO_IUS_THREADS                         11886
#define TV_IINFO_ERR_OPTIM                           11999

/* ---- Instruction-list opcodes ---- */
#define EP_PLUS                                      1001
#define EP_MINUS                                     1002
#define EP_MULTIPLY                                  1003
#define EP_DIVIDE                                    1004
#define EP_POWER                                     1005
#define EP_EQUAL                                     1006
#define EP_NOT_EQUAL                                 1007
#define EP_LTOREQ                                    1008
#define EP_GTOREQ                                    1009
#define EP_LTHAN                                     1010
#define EP_GTHAN                                     1011
#define EP_AND                                       1012
#define EP_OR                                        1013
#define EP_NOT                                       1014
#define EP_PERCENT                                   1015
#define EP_POSATE                                    1016
#define EP_NEGATE                                    1017
#define EP_ABS                                       1018
#define EP_SQRT                                      1019
#define EP_LOG                                       1020
#define EP_LN                                        1021
#define EP_PI                                        1022
#define EP_SIN                                       1023
#define EP_COS                                       1024
#define EP_TAN                                       1025
#define EP_ATAN2                                     1026
#define EP_ATAN                                      1027
#define EP_ASIN                                      1028
#define EP_ACOS                                      1029
#define EP_EXP                                       1030
#define EP_MOD                                       1031
#define EP_FALSE                                     1032
#define EP_TRUE                                      1033
#define EP_IF                                        1034
#define EP_PSN                                       1035
#define EP_PSL                                       1036
#define EP_LGM                                       1037
#define EP_SIGN                                      1038
#define EP_FLOOR                                     1039
#define EP_FPA                                       1040
#define EP_FPL                                       1041
#define EP_PEL                                       1042
#define EP_PEB                                       1043
#define EP_PPS                                       1044
#define EP_PPL                                       1045
#define EP_PTD                                       1046
#define EP_PCX                                       1047
#define EP_WRAP                                      1048
#define EP_PBNO                                      1049
#define EP_PFS                                       1050
#define EP_PFD                                       1051
#define EP_PHG                                       1052
#define EP_RAND                                      1053
#define EP_USER                                      1054
#define EP_SUM                                       1055
#define EP_AVG                                       1056
#define EP_MIN                                       1057
#define EP_MAX                                       1058
#define EP_NPV                                       1059
#define EP_VAND                                      1060
#define EP_VOR                                       1061
#define EP_PUSH_NUM                                  1062
#define EP_PUSH_VAR                                  1063
#define EP_NORMDENS                                  1064
#define EP_NORMINV                                   1065
#define EP_TRIAINV                                   1066
#define EP_EXPOINV                                   1067
#define EP_UNIFINV                                   1068
#define EP_MULTINV                                   1069
#define EP_USRCOD                                    1070
#define EP_SUMPROD                                   1071
#define EP_SUMIF                                     1072
#define EP_VLOOKUP                                   1073
#define EP_VPUSH_NUM                                 1074
#define EP_VPUSH_VAR                                 1075
#define EP_VMULT                                     1076
#define EP_SQR                                       1077
#define EP_SINH                                      1078
#define EP_COSH                                      1079
#define EP_TANH                                      1080
#define EP_ASINH                                     1081
#define EP_ACOSH                                     1082
#define EP_ATANH                                     1083
#define EP_LOGB                                      1084
#define EP_LOGX                                      1085
#define EP_LNX                                       1086
#define EP_TRUNC                                     1087
#define EP_NORMSINV                                  1088
#define EP_INT                                       1089
#define EP_PUSH_STR                                  1090
#define EP_VPUSH_STR                                 1091
#define EP_PUSH_SPAR                                 1092
#define EP_NORMPDF                                   1093
#define EP_NORMCDF                                   1094
#define EP_LSQ                                       1095
#define EP_LNPSNX                                    1096
#define EP_LNCPSN                                    1097
#define EP_XEXPNAX                                   1098
#define EP_PBT                                       1100
#define EP_PBTINV                                    1101
#define EP_PBNINV                                    1102
#define EP_PCC                                       1103
#define EP_PCCINV                                    1104
#define EP_PCXINV                                    1105
#define EP_EXPN                                      1106
#define EP_PFDINV                                    1107
#define EP_PGA                                       1108
#define EP_PGAINV                                    1109
#define EP_PGE                                       1110
#define EP_PGEINV                                    1111
#define EP_PGU                                       1112
#define EP_PGUINV                                    1113
#define EP_PHGINV                                    1114
#define EP_PLA                                       1115
#define EP_PLAINV                                    1116
#define EP_PLG                                       1117
#define EP_PLGINV                                    1118
#define EP_LGT                                       1119
#define EP_LGTINV                                    1120
#define EP_LGNM                                      1121
#define EP_LGNMINV                                   1122
#define EP_NGBN                                      1123
#define EP_NGBNINV                                   1124
#define EP_NRM                                       1125
#define EP_PPT                                       1126
#define EP_PPTINV                                    1127
#define EP_PPSINV                                    1128
#define EP_PTDINV                                    1129
#define EP_TRIAN                                     1130
#define EP_UNIFM                                     1131
#define EP_PWB                                       1132
#define EP_PWBINV                                    1133
#define EP_NRMINV                                    1134
#define EP_TRIANINV                                  1135
#define EP_EXPNINV                                   1136
#define EP_UNIFMINV                                  1137
#define EP_MLTNMINV                                  1138
#define EP_BTDENS                                    1139
#define EP_BNDENS                                    1140
#define EP_CCDENS                                    1141
#define EP_CXDENS                                    1142
#define EP_EXPDENS                                   1143
#define EP_FDENS                                     1144
#define EP_GADENS                                    1145
#define EP_GEDENS                                    1146
#define EP_GUDENS                                    1147
#define EP_HGDENS                                    1148
#define EP_LADENS                                    1149
#define EP_LGDENS                                    1150
#define EP_LGTDENS                                   1151
#define EP_LGNMDENS                                  1152
#define EP_NGBNDENS                                  1153
#define EP_NRMDENS                                   1154
#define EP_PTDENS                                    1155
#define EP_PSDENS                                    1156
#define EP_TDENS                                     1157
#define EP_TRIADENS                                  1158
#define EP_UNIFDENS                                  1159
#define EP_WBDENS                                    1160
#define EP_RADIANS                                   1161
#define EP_DEGREES                                   1162
#define EP_ROUND                                     1163
#define EP_ROUNDUP                                   1164
#define EP_ROUNDDOWN                                 1165
#define EP_ERF                                       1166
#define EP_PBN                                       1167
#define EP_PBB                                       1168
#define EP_PBBINV                                    1169
#define EP_BBDENS                                    1170
#define EP_PSS                                       1171
#define EP_SSDENS                                    1172
#define EP_SSINV                                     1173
#define EP_POSD                                      1174
#define EP_SETS                                      1175
#define EP_CARD                                      1176
#define EP_STDEV                                     1177
#define EP_LMTD                                      1178
#define EP_RLMTD                                     1179
#define EP_LOGIT                                     1180
#define EP_ALLDIFF                                   1181
#define EP_SIGNPOWER                                 1182
#define EP_QUADPROD                                  1183
#define EP_ATAN2R                                    1184
#define EP_XPOWDIVAB                                 1185
#define EP_LOGABEXPX                                 1186
#define EP_LOGSUMEXP                                 1187
#define EP_LOGSUMAEXP                                1188
#define EP_EXPMODIV                                  1189
#define EP_POWERUTILITY                              1190
#define EP_POLYNOMIAL                                1191
#define EP_CENSOR                                    1192

/* ---- other constants ---- */

/* Opcode 0 is a no-operation word; stochastic variables are pushed like parameters. */
#define EP_NO_OP                                     0
#define EP_PUSH_SVAR                                 EP_PUSH_SPAR

/* Progress-callback location codes. */
#define TVLOC_PRIMAL                                 0
#define TVLOC_DUAL                                   1
#define TVLOC_CONIC                                  3
#define TVLOC_BARRIER                                4
#define TVLOC_MIP                                    5
#define TVLOC_SLP                                    6
#define TVLOC_INSTRUCT                               8
#define TVLOC_GOP                                   10
#define TVLOC_MIP_REDUCED                           11
#define TVLOC_PRESOLVE                              12
#define TVLOC_MSW                                   13
#define TVLOC_IIS                                   15
#define TVLOC_STOC                                  18
#define TVLOC_LSQ                                   21
#define TVLOC_BNP                                   26

/* Norms of the IIS analysis (TV_IPARAM_IIS_INFEAS_NORM). */
#define TV_IIS_NORM_FREE                             0
#define TV_IIS_NORM_ONE_OBJ                          1
#define TV_IIS_NORM_INF_OBJ                          2
#define TV_IIS_NORM_ONE_ORG                          3
#define TV_IIS_NORM_ONE_BND                          4

/* Flags of TV_IPARAM_NLP_MSW_PREPMODE; the solver-decides value is 273. */
#define TV_MSW_MODE_TRUNCATE_FREE                    1
#define TV_MSW_MODE_SCALE_REFSET                     2
#define TV_MSW_MODE_EXPAND_RADIUS                    4
#define TV_MSW_MODE_SKEWED_SAMPLE                    8
#define TV_MSW_MODE_BEST_LOCAL_BND                  16
#define TV_MSW_MODE_BEST_GLOBAL_BND                 32
#define TV_MSW_MODE_SAMPLE_FREEVARS                 64
#define TV_MSW_MODE_PRECOLLECT                     128
#define TV_MSW_MODE_POWER_SOLVE                    256

/* Modify rule of stochastic events: the outcome replaces the core value. */
#define TV_REPLACE                                   0

/* Bit of TV_IPARAM_SOLVER_MODE: solve each lexicographic objective exactly. */
#define TV_SOLVER_MODE_LEX_EXPEACH                   2

/* Output file of the sifting solver. */
#define TV_SPRINT_OUTPUT_FILE_FREE                   0

/* Stochastic information items (TVgetStocInfo). */
#define TV_DINFO_STOC_EVOBJ                      11900
#define TV_DINFO_STOC_EVPI                       11901
#define TV_DINFO_STOC_EVMU                       11902
#define TV_DINFO_STOC_PINFEAS                    11903
#define TV_DINFO_STOC_DINFEAS                    11904
#define TV_DINFO_STOC_TOTAL_TIME                 11905
#define TV_DINFO_STOC_NUM_SCENARIOS              11906
#define TV_DINFO_STOC_NUM_ROWS_DETEQI            11907
#define TV_DINFO_STOC_NUM_COLS_DETEQI            11908
#define TV_IINFO_STOC_STATUS                     11920
#define TV_IINFO_STOC_NUM_STAGES                 11921
#define TV_IINFO_STOC_NUM_SCENARIOS              11922
#define TV_IINFO_STOC_SIM_ITER                   11923
#define TV_IINFO_STOC_BAR_ITER                   11924
#define TV_IINFO_STOC_NLP_ITER                   11925
#define TV_IINFO_STOC_NUM_BUCKETS                11926
#define TV_IINFO_STOC_NUM_NBF_CUTS               11927
#define TV_IINFO_STOC_NUM_NBO_CUTS               11928
#define TV_IINFO_STOC_THREADS                    11929
#define TV_ANTITHETIC                                2
#define TV_BASTYPE_ATLO                              -1
#define TV_BASTYPE_ATUP                              -2
#define TV_BASTYPE_FNUL                              -3
#define TV_BASTYPE_SBAS                              -4
#define TV_CORR_KENDALL                              1
#define TV_CORR_PEARSON                              0
#define TV_CORR_SPEARMAN                             2
#define TV_CORR_TARGET                               -1
#define TV_DETEQ_CHANCE                              2
#define TV_DETEQ_EXPLICIT                            1
#define TV_DETEQ_FREE                                -1
#define TV_DETEQ_IMPLICIT                            0
#define TV_LATINSQUARE                               1
#define TV_METHOD_BARRIER                            3
#define TV_METHOD_DSIMPLEX                           2
#define TV_METHOD_FREE                               0
#define TV_METHOD_GA                                 12
#define TV_METHOD_GOP                                7
#define TV_METHOD_IIS                                8
#define TV_METHOD_IUS                                9
#define TV_METHOD_MIP                                5
#define TV_METHOD_MULTIS                             6
#define TV_METHOD_NLP                                4
#define TV_METHOD_PSIMPLEX                           1
#define TV_METHOD_SBD                                10
#define TV_METHOD_SPRINT                             11
#define TV_METHOD_STOC_ALD                           2
#define TV_METHOD_STOC_DETEQ                         0
#define TV_METHOD_STOC_FREE                          -1
#define TV_METHOD_STOC_NBD                           1
#define TV_MIP_BASIS_CUTS                            4096
#define TV_MIP_CARDGUB_CUTS                          8192
#define TV_MIP_COEF_REDC_CUTS                        512
#define TV_MIP_DISAGG_CUTS                           32
#define TV_MIP_DISJUN_CUTS                           16384
#define TV_MIP_FLOW_COVER_CUTS                       4
#define TV_MIP_GCD_CUTS                              1024
#define TV_MIP_GOMORY_CUTS                           256
#define TV_MIP_GUB_COVER_CUTS                        2
#define TV_MIP_KNAPSUR_COVER_CUTS                    64
#define TV_MIP_LATTICE_CUTS                          128
#define TV_MIP_LIFT_CUTS                             8
#define TV_MIP_LP_ROUND_CUTS                         65536
#define TV_MIP_OBJ_CUT                               2048
#define TV_MIP_PLAN_LOC_CUTS                         16
#define TV_MIP_SOFT_KNAP_CUTS                        32768
#define TV_MONTECARLO                                0
#define TV_SCEN_AVRG                                 -2
#define TV_SCEN_MEDIAN                               -3
#define TV_SCEN_NONE                                 -5
#define TV_SCEN_ROOT                                 -1
#define TV_SCEN_USER                                 -4
#define TV_STATUS_BASIC_OPTIMAL                      2
#define TV_STATUS_BOUNDED                            15
#define TV_STATUS_CUTOFF                             10
#define TV_STATUS_FEASIBLE                           5
#define TV_STATUS_INFEASIBLE                         3
#define TV_STATUS_INFORUNB                           6
#define TV_STATUS_LOADED                             14
#define TV_STATUS_LOCAL_INFEASIBLE                   9
#define TV_STATUS_LOCAL_OPTIMAL                      8
#define TV_STATUS_NEAR_OPTIMAL                       7
#define TV_STATUS_NUMERICAL_ERROR                    11
#define TV_STATUS_OPTIMAL                            1
#define TV_STATUS_UNBOUNDED                          4
#define TV_STATUS_UNKNOWN                            12
#define TV_STATUS_UNLOADED                           13

/* ---- Former names kept for old hosts ---- */
#define TV_IPARAM_NLP_MSW_MAXREF TV_IPARAM_NLP_MSW_POPSIZE
#define TV_IPARAM_STOC_DEBUG_LEVEL TV_IPARAM_STOC_DEBUG_MASK
#define TV_IPARAM_SPLEX_SCALE TV_IPARAM_LP_SCALE
#define TV_IPARAM_SPLEX_ITRLMT TV_IPARAM_LP_ITRLMT
#define TV_IPARAM_MIP_USE_ENUM_HEU TV_IPARAM_MIP_ENUM_HEUMODE
#define TV_IPARAM_SOLVER_USE_CONCURRENT_OPT TV_IPARAM_SOLVER_CONCURRENT_OPTMODE
#define TV_IPARAM_GOP_USEBNDLIM TV_IPARAM_GOP_BNDLIM_MODE
#define TV_IPARAM_ITRLMT TV_IPARAM_SPLEX_ITRLMT
#define TV_IPARAM_PRICING TV_IPARAM_SPLEX_PPRICING
#define TV_IPARAM_SCALE TV_IPARAM_SPLEX_SCALE
#define TV_IPARAM_TIMLMT TV_IPARAM_SOLVER_TIMLMT
#define TV_DPARAM_CUTOFFVAL TV_DPARAM_SOLVER_CUTOFFVAL
#define TV_IPARAM_RESTART TV_IPARAM_SOLVER_RESTART
#define TV_DPARAM_FEASTOL TV_DPARAM_SOLVER_FEASTOL
#define TV_IPARAM_IUSOL TV_IPARAM_SOLVER_IUSOL
#define TV_IPARAM_MIPTIMLIM TV_IPARAM_MIP_TIMLIM
#define TV_IPARAM_MIPAOPTTIMLIM TV_IPARAM_MIP_AOPTTIMLIM
#define TV_IPARAM_MIPPRELEVEL TV_IPARAM_MIP_PRELEVEL
#define TV_IPARAM_MIPNODESELRULE TV_IPARAM_MIP_NODESELRULE
#define TV_DPARAM_MIPINTTOL TV_DPARAM_MIP_INTTOL
#define TV_DPARAM_MIPRELINTTOL TV_DPARAM_MIP_RELINTTOL
#define TV_DPARAM_MIP_OPTTOL TV_DPARAM_MIP_RELOPTTOL
#define TV_DPARAM_MIPOPTTOL TV_DPARAM_MIP_OPTTOL
#define TV_DPARAM_MIPPEROPTTOL TV_DPARAM_MIP_PEROPTTOL
#define TV_IPARAM_MIPMAXCUTPASS TV_IPARAM_MIP_MAXCUTPASS_TOP
#define TV_DPARAM_MIPADDCUTPER TV_DPARAM_MIP_ADDCUTPER
#define TV_IPARAM_MIPCUTLEVEL TV_IPARAM_MIP_CUTLEVEL_TOP
#define TV_IPARAM_MIPHEULEVEL TV_IPARAM_MIP_HEULEVEL
#define TV_IPARAM_MIPPRINTLEVEL TV_IPARAM_MIP_PRINTLEVEL
#define TV_IPARAM_MIPPREPRINTLEVEL TV_IPARAM_MIP_PREPRINTLEVEL
#define TV_DPARAM_MIPCUTOFFOBJ TV_DPARAM_MIP_CUTOFFOBJ
#define TV_IPARAM_MIPSTRONGBRANCHLEVEL TV_IPARAM_MIP_STRONGBRANCHLEVEL
#define TV_IPARAM_MIPBRANCHDIR TV_IPARAM_MIP_BRANCHDIR
#define TV_IPARAM_MIPTOPOPT TV_IPARAM_MIP_TOPOPT
#define TV_IPARAM_MIPREOPT TV_IPARAM_MIP_REOPT
#define TV_IPARAM_MIPSOLVERTYPE TV_IPARAM_MIP_SOLVERTYPE
#define TV_IPARAM_MIPKEEPINMEM TV_IPARAM_MIP_KEEPINMEM
#define TV_DPARAM_MIP_REDCOSTFIXING_CUTOFF TV_DPARAM_MIP_REDCOSTFIX_CUTOFF
#define TV_IPARAM_NLPPRINTLEVEL TV_IPARAM_NLP_PRINTLEVEL
#define TV_IPARAM_LPPRINTLEVEL TV_IPARAM_LP_PRINTLEVEL
#define TV_IPARAM_NLPSOLVER TV_IPARAM_NLP_SOLVER
#define TV_IPARAM_MODEL_CONVEX_FLAG TV_IPARAM_NLP_CONVEX
#define TV_IPARAM_NLP_SOLVEASLP TV_IPARAM_NLP_SOLVE_AS_LP
#define TV_DINFO_MIPBESTBOUND TV_DINFO_MIP_BESTBOUND
#define TV_IINFO_MIPBRANCHCOUNT TV_IINFO_MIP_BRANCHCOUNT
#define TV_IINFO_MIPSTATUS TV_IINFO_MIP_STATUS
#define TV_IINFO_MIPNEWIPSOL TV_IINFO_MIP_NEWIPSOL
#define TV_IINFO_MIPLPCOUNT TV_IINFO_MIP_LPCOUNT
#define TV_IINFO_MIPACTIVENODES TV_IINFO_MIP_ACTIVENODES
#define TV_IINFO_MIPLTYPE TV_IINFO_MIP_LTYPE
#define TV_IINFO_MIPAOPTTIMETOSTOP TV_IINFO_MIP_AOPTTIMETOSTOP
#define TV_DINFO_MIPOBJ TV_DINFO_MIP_OBJ
#define TV_IPARAM_BARRIER_PROB_TO_SOLVE TV_IPARAM_PROB_TO_SOLVE
#define TV_IINFO_STATUS TV_IINFO_PRIMAL_STATUS
#define TV_GOPSOLSTAT_GLOBAL_OPTIMAL TV_STATUS_OPTIMAL
#define TV_GOPSOLSTAT_LOCAL_OPTIMAL TV_STATUS_LOCAL_OPTIMAL
#define TV_GOPSOLSTAT_INFEASIBLE TV_STATUS_INFEASIBLE
#define TV_GOPSOLSTAT_TOPUNBOUNDED TV_STATUS_UNBOUNDED
#define TV_GOPSOLSTAT_FEASIBLE TV_STATUS_FEASIBLE
#define TV_GOPSOLSTAT_UNKNOWN TV_STATUS_UNKNOWN
#define TV_GOPSOLSTAT_NUMERICAL_ERROR TV_STATUS_NUMERICAL_ERROR
#define TV_IIS_NORM_NONE TV_IIS_NORM_FREE
#define TV_IPARAM_STOC_SAMPLING_METHOD TV_IPARAM_STOC_VARCONTROL_METHOD
#define TV_DPARAM_GOP_OPTTOL TV_DPARAM_GOP_RELOPTTOL
#define TV_SPRINT_OUTPUT_FILE_DEFAULT TV_SPRINT_OUTPUT_FILE_FREE
#define TVLOC_BANDB TVLOC_MIP

/* ---- Random generators and samples ----
 * A generator (pTVrandom) produces uniform variates by one of seven types
 * (TV_RANDOM_*); a sample (pTVsample) holds one univariate distribution, draws
 * points from it with its generator and takes part in correlation induction.
 *
 * Distribution parameters by index (index 0 first):
 *   TV_DIST_BINOMIAL          trials n, success probability p
 *   TV_DIST_NEGATIVE_BINOMIAL successes r (> 0), success probability p; counts failures
 *   TV_DIST_GEOMETRIC         success probability p; counts failures before the success
 *   TV_DIST_POISSON           mean lambda (>= 0)
 *   TV_DIST_LOGARITHMIC       p in (0, 1); support 1, 2, ...
 *   TV_DIST_HYPER_GEOMETRIC   population size N, successes in the population K, draws n
 *   TV_DIST_BETA_BINOMIAL     trials n, shape alpha, shape beta
 *   TV_DIST_BETA              shape alpha, shape beta
 *   TV_DIST_CAUCHY, _GUMBEL, _LAPLACE, _LOGISTIC   location, scale
 *   TV_DIST_CHI_SQUARE        degrees of freedom k
 *   TV_DIST_EXPONENTIAL       rate lambda
 *   TV_DIST_F_DISTRIBUTION    degrees of freedom d1, d2
 *   TV_DIST_GAMMA             scale, shape
 *   TV_DIST_LOGNORMAL         mean and standard deviation of log x
 *   TV_DIST_NORMAL            mean, standard deviation
 *   TV_DIST_PARETO            scale x_m, shape alpha
 *   TV_DIST_STUDENTS_T        degrees of freedom
 *   TV_DIST_TRIANGULAR        lower a, upper b, mode c
 *   TV_DIST_UNIFORM           lower a, upper b
 *   TV_DIST_WEIBULL           scale lambda, shape k
 *   TV_DIST_SYM_STABLE        location, scale, index alpha in (0, 2]; characteristic
 *                             function exp(i location t - |scale t|^alpha)
 * Discrete types evaluate at the integer part of x; their inverse returns the
 * smallest k whose distribution function reaches u. The table types return
 * the table index k. */
typedef struct tvRandom *pTVrandom;
typedef struct tvSample *pTVsample;

/* User distribution: called with the function type (TV_PDF, TV_CDF,
 * TV_CDFINV, TV_PDFDIFF, or TV_USER_FUNC for a function of argument
 * samples), the argument values and their count; writes *result. */
typedef int (*TVuserDistr_t)(pTVsample sample, int funcType, const double *args, int nargs,
                             double *result, void *userData);

#define TV_RANDOM_DEFAULT         -1
#define TV_RANDOM_SYSTEM           0
#define TV_RANDOM_MRG32K3A         1
#define TV_RANDOM_LCG              2
#define TV_RANDOM_SHUFFLE          3
#define TV_RANDOM_SUBTRACTIVE      4
#define TV_RANDOM_LAGGED           5
#define TV_RANDOM_MT19937          6

#define TV_DIST_BINOMIAL           701
#define TV_DIST_DISCRETE           702
#define TV_DIST_DISCRETE_BLOCK     703
#define TV_DIST_NEGATIVE_BINOMIAL  704
#define TV_DIST_GEOMETRIC          705
#define TV_DIST_POISSON            706
#define TV_DIST_LOGARITHMIC        707
#define TV_DIST_HYPER_GEOMETRIC    708
#define TV_DIST_USER               712
#define TV_DIST_BETA               801
#define TV_DIST_CAUCHY             802
#define TV_DIST_CHI_SQUARE         803
#define TV_DIST_EXPONENTIAL        804
#define TV_DIST_F_DISTRIBUTION     805
#define TV_DIST_GAMMA              806
#define TV_DIST_GUMBEL             807
#define TV_DIST_LAPLACE            808
#define TV_DIST_LOGNORMAL          809
#define TV_DIST_LOGISTIC           810
#define TV_DIST_NORMAL             811
#define TV_DIST_PARETO             812
#define TV_DIST_STABLE_PARETIAN    813
#define TV_DIST_STUDENTS_T         814
#define TV_DIST_TRIANGULAR         815
#define TV_DIST_UNIFORM            816
#define TV_DIST_WEIBULL            817
#define TV_DIST_WILCOXON           818
#define TV_DIST_BETA_BINOMIAL      819
#define TV_DIST_SYM_STABLE         820

#define TV_USER_FUNC               0
#define TV_PDF                     1
#define TV_CDF                     2
#define TV_CDFINV                  3
#define TV_PDFDIFF                 4

#define TV_LATINANTITHETIC         3

/* TVsampGetCorrDiff measures */
#define TV_CORRDIFF_MAXABS         0
#define TV_CORRDIFF_FROBENIUS      1
#define TV_CORRDIFF_MEANABS        2

/* TVsampGetInfo items */
#define TV_IINFO_DIST_TYPE         13001
#define TV_IINFO_DIST_NARG         13002
#define TV_IINFO_SAMP_SIZE         13003
#define TV_IINFO_SAMP_VARCONTROL_METHOD 13004
#define TV_IINFO_SAMP_NUSERARGS    13005
#define TV_IINFO_SAMP_CI_SIZE      13006
#define TV_DINFO_SAMP_MEAN         13011
#define TV_DINFO_SAMP_STD          13012
#define TV_DINFO_SAMP_SKEWNESS     13013
#define TV_DINFO_SAMP_KURTOSIS     13014
#define TV_DINFO_SAMP_MAXABS       13015

TVAPI pTVrandom TVcreateRG(pTVenv env, int type);
TVAPI pTVrandom TVcreateRGMT(pTVenv env, int type);
TVAPI int TVsetRGSeed(pTVrandom rg, int seed);
/* A uniform variate; -1.0 for a null generator. */
TVAPI double TVgetDoubleRV(pTVrandom rg);
TVAPI int TVgetInt32RV(pTVrandom rg, int low, int high);
/* The seed of the last seeding (0: never seeded or null generator). */
TVAPI unsigned int TVgetInitSeed(pTVrandom rg);
TVAPI int TVgetRGNumThreads(pTVrandom rg, int *numThreads);
TVAPI int TVsetDistrRG(pTVrandom rg, int distType);
TVAPI int TVsetDistrParamRG(pTVrandom rg, int index, double value);
TVAPI int TVgetDistrRV(pTVrandom rg, double *value);
TVAPI int TVfillRGBuffer(pTVrandom rg);
TVAPI double *TVgetRGBufferPtr(pTVrandom rg, int *size);
TVAPI int TVdisposeRG(pTVrandom *rg);

TVAPI pTVsample TVsampCreate(pTVenv env, int distType, int *errorCode);
TVAPI int TVsampDelete(pTVsample *sample);
TVAPI int TVsampSetDistrParam(pTVsample sample, int index, double value);
TVAPI int TVsampGetDistrParam(pTVsample sample, int index, double *value);
TVAPI int TVsampSetRG(pTVsample sample, pTVrandom rg);
TVAPI int TVsampEvalDistr(pTVsample sample, int funcType, double x, double *result);
TVAPI int TVsampEvalDistrLI(pTVsample sample, int funcType, double x, double *result);
TVAPI int TVsampEvalUserDistr(pTVsample sample, int funcType, const double *args, int nargs,
                              double *result);
TVAPI int TVsampSetUserDistr(pTVsample sample, TVuserDistr_t func, void *userData);
TVAPI int TVsampAddUserFuncArg(pTVsample sample, pTVsample argSample);
TVAPI int TVsampSetKeepPoints(pTVsample sample, int keep);
TVAPI int TVsampGenerate(pTVsample sample, int method, int size);
TVAPI int TVsampGetPointsPtr(pTVsample sample, int *size, double **points);
TVAPI int TVsampGetPoints(pTVsample sample, int *size, double *points);
TVAPI int TVsampLoadPoints(pTVsample sample, int size, const double *points);
TVAPI int TVsampGetCIPointsPtr(pTVsample sample, int *size, double **points);
TVAPI int TVsampGetCIPoints(pTVsample sample, int *size, double *points);
TVAPI int TVsampLoadDiscretePdfTable(pTVsample sample, int length, const double *probabilities,
                                     const double *values);
TVAPI int TVsampGetDiscretePdfTable(pTVsample sample, int *length, double *probabilities,
                                    double *values);
TVAPI int TVsampGetInfo(pTVsample sample, int item, void *result);
/* Target entries (rows[k], cols[k], values[k]) over sample indices; the
 * matrix is symmetric with unit diagonal, entries not given are 0. */
TVAPI int TVsampInduceCorrelation(pTVsample *samples, int numSamples, int corrType, int numTargets,
                                  const int *rows, const int *cols, const double *values);
/* Correlation among the points (induced = 0) or the correlation-induced points
 * (induced = 1) by type; writes the strict lower triangle, column by column,
 * n(n-1)/2 entries. */
TVAPI int TVsampGetCorrelationMatrix(pTVsample *samples, int numSamples, int induced, int corrType,
                                     int *numEntries, int *rows, int *cols, double *values);
/* Difference between the last induced target and the achieved correlation of
 * the same type, over the target entries, by TV_CORRDIFF_* measure. */
TVAPI int TVsampGetCorrDiff(pTVsample *samples, int numSamples, int measure, double *difference);
/* Histogram of values (weights optional): `numBins` inner bins between
 * lower and upper (lower >= upper: the range of the values; *numBins < 1: a
 * default count); values below and above fall in two open-ended bins. On
 * return *numBins is the number of bins written (inner + 2); each output
 * array may be null and needs that many entries. */
TVAPI int TVgetHistogram(pTVmodel model, int numValues, const double *values, const double *weights,
                         double lower, double upper, int *numBins, int *binCounts,
                         double *binFrequencies, double *binLower, double *binUpper);

#ifdef __cplusplus
}
#endif

#endif /* TARVO_H */
