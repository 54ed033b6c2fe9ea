// Primal heuristics run by the tree. Simple rounding of the node LP point is
// always tried; the other heuristics register here as they are built.
#include <cmath>

#include "mip/mip_context.hpp"

namespace tarvo::mip {
namespace {

// Rounds every integer column of the LP point to the nearest integer; the
// sink rejects the point unless every row still holds.
void simple_rounding(MipContext &ctx) {
  if (ctx.lp.status() != simplex::LpStatus::kOptimal) return;
  std::vector<double> x = ctx.lp.x();
  x.resize(ctx.prob.n);
  for (int j = 0; j < ctx.prob.n; ++j)
    if (ctx.prob.is_int[j]) x[j] = std::round(x[j]);
  ctx.sink.submit(x, "RND");
}

}  // namespace

void root_heuristics(MipContext &ctx) { simple_rounding(ctx); }
void node_heuristics(MipContext &ctx) { simple_rounding(ctx); }

}  // namespace tarvo::mip
