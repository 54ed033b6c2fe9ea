/* A small knapsack solved as a mixed-integer program, with a callback that
   prints every new incumbent the search finds. */
#include <stdio.h>

#include "example_support.h"

#define N 12

/* Called with each improving integer solution; the result is ignored here
   (a non-zero result stops the search with 2023). */
static int on_incumbent(pTVmodel model, void *userData, double objective, double *primal) {
  int *count = userData;
  (void)model;
  (void)primal;
  ++*count;
  printf("new incumbent: %g\n", objective);
  return 0;
}

int main(void) {
  pTVenv env;
  pTVmodel model;
  if (open_model(&env, &model) != 0) return 1;
  /* max sum v_j x_j  s.t.  sum w_j x_j <= 50,  x binary */
  double value[N], weight[N], lower[N], upper[N], b[1] = {50};
  int colStarts[N + 1], rowIndices[N];
  char rowTypes[] = "L", varTypes[N + 1];
  for (int j = 0; j < N; ++j) {
    value[j] = 10 + (j * 7) % 13;
    weight[j] = 5 + (j * 5) % 11;
    lower[j] = 0;
    upper[j] = 1;
    colStarts[j] = j;
    rowIndices[j] = 0;
    varTypes[j] = 'B';
  }
  colStarts[N] = N;
  varTypes[N] = '\0';
  int code = TVloadLPData(model, 1, N, TV_MAX, 0.0, value, b, rowTypes, N, colStarts, NULL, weight, rowIndices,
                          lower, upper);
  if (code == TVERR_NO_ERROR) code = TVloadVarType(model, varTypes);
  int incumbents = 0;
  if (code == TVERR_NO_ERROR) code = TVsetMIPCallback(model, on_incumbent, &incumbents);
  int status = 0;
  if (code == TVERR_NO_ERROR) code = TVsolveMIP(model, &status);
  double objective = 0, x[N];
  if (code == TVERR_NO_ERROR) code = TVgetInfo(model, TV_DINFO_MIP_OBJ, &objective);
  if (code == TVERR_NO_ERROR) code = TVgetMIPPrimalSolution(model, x);
  if (code == TVERR_NO_ERROR) {
    printf("status %d, objective %g after %s\n", status, objective, incumbents > 0 ? "callbacks" : "no callback");
    printf("chosen:");
    for (int j = 0; j < N; ++j)
      if (x[j] > 0.5) printf(" %d", j);
    printf("\n");
  }
  return close_model(&env, &model, code);
}
