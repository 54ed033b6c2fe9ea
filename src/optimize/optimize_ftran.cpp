// TVdoFTRAN and TVdoBTRAN: solves with the basis kept by the last simplex run,
// taking and returning sparse vectors in the model's unscaled space.
#include <vector>

#include "model/model.hpp"
#include "common/boundary.hpp"
#include "simplex/glp.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

// FTRAN: the input is indexed by rows, the result by basic positions.
// BTRAN: the input by basic positions, the result by rows.
int solve_with_basis(Model *model, bool forward, int *inCount, int *inIndex, double *inValue, int *outCount,
                     int *outIndex, double *outValue) {
  auto *g = dynamic_cast<simplex::Glp *>(model->work.get());
  if (!g || !g->have_basis) return err::kNotAvailable;
  const int m = g->m;
  if (!inCount || !outCount || !outIndex || !outValue) return err::kNullArgument;
  const int nz = *inCount;
  if (nz < 0 || nz > m) return err::kIndexOutOfRange;
  if (nz > 0 && (!inIndex || !inValue)) return err::kNullArgument;
  for (int k = 0; k < nz; ++k)
    if (inIndex[k] < 0 || inIndex[k] >= m) return err::kIndexOutOfRange;
  if (!g->factored || g->wfact != simplex::WFACT_NO) {
    if (simplex::refactor(*g) != 0) return err::kNumerical;
  }
  // The scaled basis is B' = R B D with D the column scale of a basic
  // structural and 1/r_i for the slack (unit column e_i) of row i.
  std::vector<double> v(m, 0.0);
  auto basis_scale = [&](int p) {
    int j = g->head[p];
    return j < g->n ? g->col_scale[j] : 1.0 / g->row_scale[j - g->n];
  };
  if (forward) {
    // B x = a  <=>  B' (S^-1 x) = R a
    for (int k = 0; k < nz; ++k) v[inIndex[k]] += inValue[k] * g->row_scale[inIndex[k]];
    g->lu.ftran_dense(v.data(), false);
    for (int p = 0; p < m; ++p) v[p] *= basis_scale(p);
  } else {
    // y^T B = c^T  <=>  (R^-1 y)^T B' = (S c)^T
    for (int k = 0; k < nz; ++k) v[inIndex[k]] += inValue[k] * basis_scale(inIndex[k]);
    g->lu.btran_dense(v.data());
    for (int i = 0; i < m; ++i) v[i] *= g->row_scale[i];
  }
  int c = 0;
  for (int i = 0; i < m; ++i)
    if (v[i] != 0.0) {
      outIndex[c] = i;
      outValue[c++] = v[i];
    }
  *outCount = c;
  return 0;
}

}  // namespace
}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" TVAPI int TVdoFTRAN(pTVmodel model, int *inCount, int *inIndex, double *inValue, int *outCount,
                               int *outIndex, double *outValue) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return solve_with_basis(model, true, inCount, inIndex, inValue, outCount, outIndex, outValue); });
}

extern "C" TVAPI int TVdoBTRAN(pTVmodel model, int *inCount, int *inIndex, double *inValue, int *outCount,
                               int *outIndex, double *outValue) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return solve_with_basis(model, false, inCount, inIndex, inValue, outCount, outIndex, outValue); });
}
