// Cut pool and cut loops. The separators register here as they are built;
// until then the loops only keep the node LP solved.
#include <memory>

#include "mip/mip_context.hpp"

namespace tarvo::mip {

class CutPool {
 public:
  explicit CutPool(const MipProblem &) {}
};

std::unique_ptr<CutPool> make_cut_pool(const MipProblem &prob) { return std::make_unique<CutPool>(prob); }
void delete_cut_pool(CutPool *pool) { delete pool; }

CutLoopResult root_cut_loop(MipContext &ctx, CutPool &) {
  CutLoopResult r;
  r.status = ctx.lp.status();
  return r;
}

CutLoopResult node_cut_loop(MipContext &ctx, CutPool &) {
  CutLoopResult r;
  r.status = ctx.lp.status();
  return r;
}

void report_cut_statistics(MipContext &, const CutPool &) {}

}  // namespace tarvo::mip
