/* Warm re-solve: after a first solve the model keeps its basis, so a changed
   bound is re-optimised from there in a few dual simplex iterations.

     minimise 2 x + 3 y + 4 z   subject to   x + y + z >= 10,  x - y >= -2,
                                             0 <= x <= 3, y, z >= 0. */
#include <stdio.h>

#include "example_support.h"

static int report(pTVmodel model, const char *what) {
  double objective = 0;
  int iterations = 0, status = 0;
  /* Each item has its type: TV_DINFO_... a double, TV_IINFO_... an int. */
  int code = TVgetInfo(model, TV_DINFO_POBJ, &objective);
  if (code == TVERR_NO_ERROR) code = TVgetInfo(model, TV_IINFO_SIM_ITER, &iterations);
  if (code == TVERR_NO_ERROR) code = TVgetInfo(model, TV_IINFO_MODEL_STATUS, &status);
  if (code == TVERR_NO_ERROR) printf("%s: status %d, objective %g, iterations %d\n", what, status, objective, iterations);
  return code;
}

int main(void) {
  pTVenv env;
  pTVmodel model;
  if (open_model(&env, &model) != 0) return 1;
  double c[3] = {2, 3, 4}, b[2] = {10, -2};
  char types[2] = {'G', 'G'};
  int colStarts[4] = {0, 2, 4, 5}, rowIndices[5] = {0, 1, 0, 1, 0};
  double values[5] = {1, 1, 1, -1, 1};
  double lower[3] = {0, 0, 0}, upper[3] = {3, TV_INFINITY, TV_INFINITY};
  int code = TVloadLPData(model, 2, 3, TV_MIN, 0.0, c, b, types, 5, colStarts, NULL, values, rowIndices, lower, upper);
  int status = 0;
  if (code == TVERR_NO_ERROR) code = TVoptimize(model, TV_METHOD_FREE, &status);
  if (code == TVERR_NO_ERROR) code = report(model, "first solve");

  /* Raise the upper bound of x from 3 to 8 and solve again from the kept basis. */
  int column = 0;
  double raised = 8;
  if (code == TVERR_NO_ERROR) code = TVmodifyUpperBounds(model, 1, &column, &raised);
  if (code == TVERR_NO_ERROR) code = TVoptimize(model, TV_METHOD_FREE, &status);
  if (code == TVERR_NO_ERROR) code = report(model, "after the change");
  double x[3];
  if (code == TVERR_NO_ERROR) code = TVgetPrimalSolution(model, x);
  if (code == TVERR_NO_ERROR) printf("x = %g, y = %g, z = %g\n", x[0], x[1], x[2]);
  return close_model(&env, &model, code);
}
