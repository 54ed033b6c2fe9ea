// Owns the tree's cut pool. The pool's type is complete only where the cut
// code defines it, so creation and release live in one file of their own.
#pragma once

#include "mip/mip_context.hpp"

namespace tarvo::mip {

class CutPoolHolder {
 public:
  explicit CutPoolHolder(const MipProblem &prob);
  ~CutPoolHolder();
  CutPoolHolder(const CutPoolHolder &) = delete;
  CutPoolHolder &operator=(const CutPoolHolder &) = delete;
  CutPool *get() const { return pool_; }

 private:
  CutPool *pool_ = nullptr;
};

}  // namespace tarvo::mip
