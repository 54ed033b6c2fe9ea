// Export of a fresh factorisation as explicit triangular matrices over pivot
// positions, with the row and column permutations, so that tests and tools can
// check B(row_perm, col_perm) = L U entry by entry.
#include <vector>

#include "xlu/lu_internal.hpp"
#include "xlu/xlu.hpp"

namespace tarvo::xlu {

int Factor::get_factors(Factors& out) const {
  const detail::Work& W = *w_;
  if (!W.valid || W.nupdates > 0) return kInvalidInput;
  const int m = W.m;
  std::vector<int> pos(static_cast<std::size_t>(m));
  for (int k = 0; k < m; ++k) pos[W.lorder[k]] = k;
  out.row_perm.resize(m);
  out.col_perm.resize(m);
  for (int k = 0; k < m; ++k) {
    out.col_perm[k] = W.lorder[k];
    out.row_perm[k] = W.row_of_col[W.lorder[k]];
  }
  out.l_begin.assign(1, 0);
  out.l_index.clear();
  out.l_value.clear();
  out.u_begin.assign(1, 0);
  out.u_index.clear();
  out.u_value.clear();
  for (int k = 0; k < m; ++k) {
    const int a = W.lorder[k];
    for (int q = W.lbegin[a]; q < W.lend[a]; ++q) {
      out.l_index.push_back(pos[W.lindex[q]]);
      out.l_value.push_back(W.lvalue[q]);
    }
    out.l_begin.push_back(static_cast<int>(out.l_index.size()));
    out.u_index.push_back(k);
    out.u_value.push_back(W.diag[a]);
    for (int q = W.Uc.begin[a]; q < W.Uc.end[a]; ++q) {
      out.u_index.push_back(pos[W.Uc.index[q]]);
      out.u_value.push_back(W.Uc.value[q]);
    }
    out.u_begin.push_back(static_cast<int>(out.u_index.size()));
  }
  return kOk;
}

}  // namespace tarvo::xlu
