// Creation and release of the tree's cut pool.
#include "mip/cut_pool_holder.hpp"

#include "mip/cutpool.hpp"

namespace tarvo::mip {

CutPoolHolder::CutPoolHolder(const MipProblem &prob) : pool_(make_cut_pool(prob).release()) {}
CutPoolHolder::~CutPoolHolder() { delete_cut_pool(pool_); }

}  // namespace tarvo::mip
