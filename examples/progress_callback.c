/* A progress callback that reports the simplex as it runs and stops the solve
   after a few calls. The model is a 12 x 12 transportation problem built in
   code, large enough for many iterations. */
#include <stdio.h>

#include "example_support.h"

#define K 12

struct progress {
  int calls;
  int stop_after;
};

/* Called by the running solver; a non-zero result stops it (the solve then
   returns 2023). Queries from inside must use TVgetCallbackInfo. */
static int on_progress(pTVmodel model, int location, void *userData) {
  struct progress *p = userData;
  int iteration = 0;
  double objective = 0;
  TVgetCallbackInfo(model, location, TV_IINFO_CUR_ITER, &iteration);
  TVgetCallbackInfo(model, location, TV_DINFO_CUR_OBJ, &objective);
  ++p->calls;
  printf("progress: location %d, iteration %d\n", location, iteration);
  return p->calls >= p->stop_after;
}

int main(void) {
  pTVenv env;
  pTVmodel model;
  if (open_model(&env, &model) != 0) return 1;
  /* Rows 0..K-1: supply of plant i (<= 20); rows K..2K-1: demand of market j (>= 15). */
  double c[K * K], values[2 * K * K], b[2 * K];
  int colStarts[K * K + 1], rowIndices[2 * K * K];
  char types[2 * K];
  for (int i = 0; i < K; ++i) {
    b[i] = 20;
    types[i] = 'L';
    b[K + i] = 15;
    types[K + i] = 'G';
  }
  for (int i = 0; i < K; ++i)
    for (int j = 0; j < K; ++j) {
      int col = i * K + j;
      c[col] = 1 + (double)((i * 7 + j * 13) % 17);
      colStarts[col] = 2 * col;
      rowIndices[2 * col] = i;
      values[2 * col] = 1;
      rowIndices[2 * col + 1] = K + j;
      values[2 * col + 1] = 1;
    }
  colStarts[K * K] = 2 * K * K;
  int code = TVloadLPData(model, 2 * K, K * K, TV_MIN, 0.0, c, b, types, 2 * K * K, colStarts, NULL, values,
                      rowIndices, NULL, NULL);

  struct progress p = {0, 3};
  if (code == TVERR_NO_ERROR) code = TVsetCallback(model, on_progress, &p);
  /* 0: call back at every opportunity instead of at most twice a second. */
  if (code == TVERR_NO_ERROR) code = TVsetModelDouParameter(model, TV_DPARAM_CALLBACKFREQ, 0.0);
  int status = 0;
  if (code == TVERR_NO_ERROR) code = TVoptimize(model, TV_METHOD_FREE, &status);
  char message[256];
  TVgetErrorMessage(env, code, message);
  printf("solve returned %d (%s) after %d callback calls\n", code, message, p.calls);
  int stopped = code == 2023;

  /* Without the stop the same model solves to optimality. */
  TVsetCallback(model, NULL, NULL);
  code = TVoptimize(model, TV_METHOD_FREE, &status);
  double objective = 0;
  if (code == TVERR_NO_ERROR) code = TVgetInfo(model, TV_DINFO_POBJ, &objective);
  if (code == TVERR_NO_ERROR) printf("without the callback: status %d, objective %g\n", status, objective);
  return close_model(&env, &model, code) == 0 && stopped ? 0 : 1;
}
