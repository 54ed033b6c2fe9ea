// Total decomposition: an LP whose row-column graph falls apart into
// independent blocks is solved block by block (each as a model of its own,
// in parallel when threads are allowed), and the original model is then
// re-optimised warm from the consolidated basis.
#include <algorithm>
#include <memory>
#include <numeric>
#include <vector>

#include "optimize/optimize_internal.hpp"
#include "params/param_store.hpp"
#include "common/error_codes.hpp"
#include "common/union_find.hpp"

namespace tarvo::base {
namespace {

constexpr double kInf = 1e30;

using common::UnionFind;

// Rows and columns of each block. Empty rows and empty columns belong to no
// block: the final re-optimisation places them.
struct Blocks {
  std::vector<std::vector<int>> rows, cols;
  std::vector<int> local;  // position of a row (0..m-1) or column (m..m+n-1) in its block
};

Blocks find_blocks(const ModelData &d) {
  UnionFind uf(d.m + d.n);
  for (int j = 0; j < d.n; ++j)
    for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) uf.unite(d.m + j, d.rowidx[k]);
  Blocks b;
  b.local.assign(d.m + d.n, -1);
  std::vector<int> id(d.m + d.n, -1);
  auto block_of = [&](int node) {
    int &slot = id[uf.find(node)];
    if (slot < 0) {
      slot = static_cast<int>(b.rows.size());
      b.rows.emplace_back();
      b.cols.emplace_back();
    }
    return slot;
  };
  for (int j = 0; j < d.n; ++j) {
    if (d.length[j] == 0) continue;
    const int k = block_of(d.m + j);
    b.local[d.m + j] = static_cast<int>(b.cols[k].size());
    b.cols[k].push_back(j);
  }
  for (int i = 0; i < d.m; ++i) {
    if (id[uf.find(i)] < 0) continue;  // a row without columns
    const int k = id[uf.find(i)];
    b.local[i] = static_cast<int>(b.rows[k].size());
    b.rows[k].push_back(i);
  }
  return b;
}

int load_block(Model *block, const ModelData &d, const Blocks &b, int k) {
  const std::vector<int> &rows = b.rows[k], &cols = b.cols[k];
  const int mb = static_cast<int>(rows.size()), nb = static_cast<int>(cols.size());
  std::vector<double> c, rhs, lo, up, value;
  std::vector<char> type;
  std::vector<int> start{0}, index;
  for (int i : rows) {
    rhs.push_back(d.b[i]);
    type.push_back(d.ctype[i]);
  }
  for (int j : cols) {
    c.push_back(d.c[j]);
    lo.push_back(d.lower[j]);
    up.push_back(d.upper[j]);
    for (int p = d.start[j]; p < d.start[j] + d.length[j]; ++p) {
      index.push_back(b.local[d.rowidx[p]]);
      value.push_back(d.value[p]);
    }
    start.push_back(static_cast<int>(index.size()));
  }
  int code = TVloadLPData(block, mb, nb, d.sense, 0.0, c.data(), rhs.data(), type.data(),
                          static_cast<int>(index.size()), start.data(), nullptr, value.data(), index.data(),
                          lo.data(), up.data());
  if (code == 0 && !d.range.empty()) {
    block->data.range.assign(mb + 1, 0.0);
    for (int r = 0; r < mb; ++r) block->data.range[r] = d.range[rows[r]];
  }
  return code;
}

// The status an unplaced (empty) column takes: the bound its cost favours.
int empty_column_status(const ModelData &d, int j) {
  const double c = d.sense * d.c[j];
  if (c < 0 && d.upper[j] < kInf) return TV_BASTYPE_ATUP;
  if (d.lower[j] > -kInf) return TV_BASTYPE_ATLO;
  if (d.upper[j] < kInf) return TV_BASTYPE_ATUP;
  return TV_BASTYPE_FNUL;
}

}  // namespace

int solve_decomposed(Model *model, int method, bool *handled) {
  *handled = false;
  const ModelData &d = model->data;
  Blocks blocks = find_blocks(d);
  const int count = static_cast<int>(blocks.rows.size());
  if (count <= 1) return 0;
  const bool talk = model->params.integer(TV_IPARAM_LP_PRINTLEVEL) >= 1;
  if (talk) log_model(model, 1, "\nLP has been decomposed into %d independent blocks..\n", count);

  // A secondary hook of the owner is reached from every block: one thread then.
  const int threads = model->hooks.secondary ? 1 : std::max(1, model->params.integer(TV_IPARAM_NUM_THREADS));
  std::vector<std::unique_ptr<Scratch>> parts;
  for (int k = 0; k < count; ++k) {
    // blocks solved side by side share no log or callback of the owner
    parts.push_back(std::make_unique<Scratch>(model, threads == 1));
    Model *block = parts.back()->get();
    if (!block) return 0;
    if (load_block(block, d, blocks, k) != 0) return 0;
    if (threads > 1) store_int_param(block, TV_IPARAM_LP_PRINTLEVEL, 0);
    store_int_param(block, TV_IPARAM_NUM_THREADS, 1);
  }
  std::vector<int> codes(count, 0);
#pragma omp parallel for num_threads(threads) schedule(dynamic, 1) if (threads > 1)
  for (int k = 0; k < count; ++k) {
    int status = 0;
    codes[k] = TVoptimize(parts[k]->get(), method, &status);  // verdicts come from the re-optimisation
  }
  SolutionRecord &s = *model->solution;
  for (int k = 0; k < count; ++k)
    if (parts[k]->get()->solution) s.sim_iter += parts[k]->get()->solution->sim_iter;
  if (std::find(codes.begin(), codes.end(), 2023) != codes.end()) {
    // the host asked a block to stop: the whole solve stops
    *handled = true;
    fill_status(s, TV_STATUS_LOADED);
    s.primal_status = TV_STATUS_UNLOADED;
    return err::kUserInterrupt;
  }

  if (talk) log_model(model, 1, "\nConsolidating the solution to the original LP model..\n");
  std::vector<int> cols(d.n), rows(d.m, 0);
  for (int j = 0; j < d.n; ++j) cols[j] = empty_column_status(d, j);
  for (int k = 0; k < count; ++k) {
    Model *block = parts[k]->get();
    const std::vector<int> &br = blocks.rows[k], &bc = blocks.cols[k];
    std::vector<int> bcols(bc.size()), brows(br.size());
    // without a basis from the block its slacks stay basic
    if (TVgetBasis(block, bcols.data(), brows.data()) != 0) continue;
    for (size_t p = 0; p < bc.size(); ++p) cols[bc[p]] = bcols[p];
    for (size_t p = 0; p < br.size(); ++p) rows[br[p]] = brows[p];
  }
  fix_basic_count(d, cols, rows, d.m);
  // a cold-start request was served by the blocks, which start from scratch
  take_cold_start_request(model);
  model->work.reset();
  if (TVloadBasis(model, cols.data(), rows.data()) != 0) return 0;
  *handled = true;
  if (talk) log_model(model, 1, "\nReoptimizing the original LP with consolidated basis.");
  const int code = optimize_lp(model, method);
  if (!final_status(s.model_status) && code != err::kIterationLimit && code != err::kTimeLimit && code != err::kUserInterrupt) *handled = false;
  return code;
}

}  // namespace tarvo::base
