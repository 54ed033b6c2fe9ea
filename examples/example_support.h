/* What every example does first and last: an environment with one model, and
   a readable message for a return code. */
#ifndef TARVO_EXAMPLE_SUPPORT_H
#define TARVO_EXAMPLE_SUPPORT_H

#include <stdio.h>

#include "tarvo.h"

/* Creates an environment and a model in it; non-zero (with a message) on failure. */
static int open_model(pTVenv *env, pTVmodel *model) {
  int code = 0;
  *model = NULL;
  *env = TVcreateEnv(&code, NULL);
  if (*env) *model = TVcreateModel(*env, &code);
  if (!*model) {
    fprintf(stderr, "cannot create the environment and a model: error %d\n", code);
    if (*env) TVdeleteEnv(env);
    return 1;
  }
  return 0;
}

/* Deleting the environment also deletes its models; the model handle is
   cleared so that it is not used afterwards. */
static int close_model(pTVenv *env, pTVmodel *model, int code) {
  if (code != TVERR_NO_ERROR) {
    char message[256]; /* catalogue texts are shorter than 256 bytes */
    TVgetErrorMessage(*env, code, message);
    fprintf(stderr, "error %d: %s\n", code, message);
  }
  *model = NULL;
  TVdeleteEnv(env);
  return code == TVERR_NO_ERROR ? 0 : 1;
}

#endif
