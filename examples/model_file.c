/* A model read from an MPS file (plain or gzip-compressed), solved, and its
   solution printed by column name. Usage: model_file FILE.mps */
#include <stdio.h>
#include <stdlib.h>

#include "example_support.h"

int main(int argc, char **argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: %s FILE.mps\n", argv[0]);
    return 2;
  }
  pTVenv env;
  pTVmodel model;
  if (open_model(&env, &model) != 0) return 1;
  int code = TVreadMPSFile(model, argv[1], 0); /* 0: free layout, 1: fixed */
  if (code != TVERR_NO_ERROR) {
    /* The reader keeps the line that stopped it. */
    unsigned int line = 0;
    char text[512]; /* a line of the file: give room for a long one */
    TVgetFileError(model, &line, text);
    fprintf(stderr, "cannot read %s (error %d, line %u)\n", argv[1], code, line);
  }
  int status = 0, n = 0;
  if (code == TVERR_NO_ERROR) code = TVoptimize(model, TV_METHOD_FREE, &status);
  if (code == TVERR_NO_ERROR)
    code = TVgetDimensions(model, &n, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL);
  double *x = NULL;
  if (code == TVERR_NO_ERROR) {
    x = malloc(sizeof(double) * (size_t)(n > 0 ? n : 1));
    code = x ? TVgetPrimalSolution(model, x) : 2001;
  }
  double objective = 0;
  if (code == TVERR_NO_ERROR) code = TVgetInfo(model, TV_DINFO_POBJ, &objective);
  if (code == TVERR_NO_ERROR) {
    printf("status %d, objective %g\n", status, objective);
    for (int j = 0; j < n; ++j) {
      char name[256]; /* names are at most 255 characters */
      if (TVgetVariableNamej(model, j, name) != TVERR_NO_ERROR) snprintf(name, sizeof name, "x%d", j);
      printf("%-10s %g\n", name, x[j]);
    }
  }
  free(x);
  return close_model(&env, &model, code);
}
