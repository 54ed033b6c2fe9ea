// A tree search over a MIPLIB 3 model with every log line off, for tests
// that look at its outcome and pools after run().
#pragma once

#include "common/clock.hpp"
#include "mip/tree_search.hpp"
#include "miplib_model.hpp"

namespace mip_test {

struct QuietTree {
  tarvo::mip::Incumbent inc;
  tarvo::mip::MipContext ctx;
  tarvo::mip::MipLog log;
  tarvo::mip::TreeSearch tree;

  // `set` must outlive the search
  QuietTree(MipModel &mm, const tarvo::mip::MipSettings &set)
      : inc(mm.prob, set.int_tol, 1e-6),
        ctx(silent(mm.context(inc))),
        log(mm.model, 0, 1),
        tree(ctx, set, inc, log, {}, tarvo::common::wall_seconds(), nullptr) {}
  QuietTree(const QuietTree &) = delete;
  QuietTree &operator=(const QuietTree &) = delete;

 private:
  static tarvo::mip::MipContext silent(tarvo::mip::MipContext c) {
    c.print_level = 0;
    return c;
  }
};

}  // namespace mip_test
