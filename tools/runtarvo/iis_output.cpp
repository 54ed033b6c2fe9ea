// --iis: TVfindIIS on a model the solve found infeasible, TVwriteIIS, and the
// counts on standard output.
#include "iis_output.hpp"

#include <cstdio>
#include <string>

namespace runtarvo {

int find_and_write_iis(pTVenv env, pTVmodel model, const Options &opts, Outcome *out) {
  if (out->status != TV_STATUS_INFEASIBLE && out->status != TV_STATUS_INFORUNB) {
    std::printf("\nIIS        : none (the model is not infeasible)\n");
    return 0;
  }
  const int code = TVfindIIS(model, 0);
  const bool limit = code == 2016 || code == 2017 || code == 2023 || code == 2037;
  if (code != 0 && !limit) {
    std::fprintf(stderr, "runtarvo: IIS analysis failed: %s (error %d)\n", error_message(env, code).c_str(), code);
    out->fail(kExitSolverError, code, "IIS analysis: " + error_message(env, code));
    return out->exit_code;
  }
  int suf_rows = 0, rows = 0, suf_bounds = 0, bounds = 0, ints = 0;
  if (TVgetIIS(model, &suf_rows, &rows, nullptr, &suf_bounds, &bounds, nullptr, nullptr) != 0 ||
      (rows == 0 && bounds == 0)) {
    std::printf("\nIIS        : none found\n");
    if (limit) out->fail(kExitStopped, code, "IIS analysis: " + error_message(env, code));
    return out->exit_code;
  }
  TVgetIISInts(model, nullptr, &ints, nullptr);
  out->iis_rows = rows;
  out->iis_bounds = bounds;
  out->iis_ints = ints;
  const int wcode = TVwriteIIS(model, opts.iis_file.c_str());
  if (wcode != 0) {
    std::fprintf(stderr, "runtarvo: cannot write IIS file '%s': %s (error %d)\n", opts.iis_file.c_str(),
                 error_message(env, wcode).c_str(), wcode);
    out->fail(kExitFileError, wcode, "cannot write IIS file '" + opts.iis_file + "': " + error_message(env, wcode));
    return out->exit_code;
  }
  std::printf("\nIIS        : %d rows (%d sufficient), %d bounds (%d sufficient), %d integrality restrictions%s\n",
              rows, suf_rows, bounds, suf_bounds, ints, limit ? " (partial)" : "");
  std::printf("\nWrote %s (IIS)\n", opts.iis_file.c_str());
  if (limit) out->fail(kExitStopped, code, "IIS analysis stopped: " + error_message(env, code));
  return out->exit_code;
}

}  // namespace runtarvo
