// Creation and release of the tree's cut pool.
#include "mip/cut_pool_holder.hpp"

#if __has_include("mip/cutpool.hpp")
#include "mip/cutpool.hpp"
#define TARVO_CUT_POOL_COMPLETE 1
#endif

namespace tarvo::mip {

#ifdef TARVO_CUT_POOL_COMPLETE
CutPoolHolder::CutPoolHolder(const MipProblem &prob) : pool_(make_cut_pool(prob).release()) {}
CutPoolHolder::~CutPoolHolder() { delete_cut_pool(pool_); }
#else
CutPoolHolder::CutPoolHolder(const MipProblem &) {}
CutPoolHolder::~CutPoolHolder() = default;
#endif

}  // namespace tarvo::mip
