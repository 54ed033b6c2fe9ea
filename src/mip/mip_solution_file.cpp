// Writing the MIP solution text file, and TVbnbSolve that ends with it.
#include "mip/mip_solution_file.hpp"

#include <cstdio>

#include "common/error_codes.hpp"
#include "model/query_rules.hpp"
#include "common/boundary.hpp"
#include "mip/mip_driver.hpp"
#include "env/live_handles.hpp"

namespace tarvo::mip {

int write_mip_solution(const base::Model &model, const char *path) {
  const base::MipRecord *r = model.mip.get();
  if (!r || !base::status_has_solution(base::mip_reported_status(*r))) return err::kNotAvailable;
  FILE *f = std::fopen(path, "w");
  if (!f) return err::kFileOpen;
  std::fprintf(f, "Status: %d\nObjective value: %.17g\nBest bound: %.17g\n", base::mip_reported_status(*r), r->obj,
               r->bestbound);
  const base::NamePool &names = model.data.varnames;
  for (size_t j = 0; j < r->x.size(); ++j) {
    if (names.present() && j < names.offsets.size())
      std::fprintf(f, "%s %.17g\n", names.name(static_cast<int>(j)), r->x[j]);
    else
      std::fprintf(f, "C%07zu %.17g\n", j, r->x[j]);
  }
  return std::fclose(f) == 0 ? 0 : err::kFileOpen;
}

}  // namespace tarvo::mip

extern "C" TVAPI int TVbnbSolve(pTVmodel model, const char *fileName) {
  if (!tarvo::base::live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] {
    int status = 0;
    const int code = tarvo::mip::solve_mip(model, &status);
    if (code != 0 || !fileName) return code;
    const int w = tarvo::mip::write_mip_solution(*model, fileName);
    return w == tarvo::err::kNotAvailable ? 0 : w;
  });
}
