/* An LP loaded from arrays, solved, and read back with its duals and reduced
   costs.

     maximise 3 x + 5 y   subject to   x <= 4,  2 y <= 12,  3 x + 2 y <= 18,
                                       x, y >= 0.

   The optimum is 36 at x = 2, y = 6. */
#include <stdio.h>

#include "example_support.h"

int main(void) {
  pTVenv env;
  pTVmodel model;
  if (open_model(&env, &model) != 0) return 1;

  /* Column-wise matrix: column j has its entries at colStarts[j] ..
     colStarts[j+1]-1 (colStarts holds n+1 entries). */
  double c[2] = {3, 5};
  double b[3] = {4, 12, 18};
  char types[3] = {'L', 'L', 'L'};
  int colStarts[3] = {0, 2, 4};
  int rowIndices[4] = {0, 2, 1, 2};
  double values[4] = {1, 3, 2, 2};
  /* Null bounds mean 0 below and no upper bound. */
  int code = TVloadLPData(model, 3, 2, TV_MAX, 0.0, c, b, types, 4, colStarts, NULL, values, rowIndices, NULL, NULL);

  int status = 0;
  if (code == TVERR_NO_ERROR) code = TVoptimize(model, TV_METHOD_FREE, &status);
  double objective = 0, x[2], duals[3], reduced[2];
  if (code == TVERR_NO_ERROR) code = TVgetInfo(model, TV_DINFO_POBJ, &objective);
  if (code == TVERR_NO_ERROR) code = TVgetPrimalSolution(model, x);
  if (code == TVERR_NO_ERROR) code = TVgetDualSolution(model, duals);
  if (code == TVERR_NO_ERROR) code = TVgetReducedCosts(model, reduced);
  if (code == TVERR_NO_ERROR) {
    printf("status %d\n", status);
    printf("objective %g\n", objective);
    printf("x = %g, y = %g\n", x[0], x[1]);
    /* Adding 0.0 prints a negative zero as 0. */
    printf("duals %g %g %g\n", duals[0] + 0.0, duals[1] + 0.0, duals[2] + 0.0);
    printf("reduced costs %g %g\n", reduced[0] + 0.0, reduced[1] + 0.0);
  }
  return close_model(&env, &model, code);
}
