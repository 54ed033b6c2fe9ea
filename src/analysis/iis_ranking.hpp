// Candidate orders for the filters (analysis level bits 32 and 128) and the
// split of the model into independent blocks (bit 64).
#pragma once

#include <vector>

#include "analysis/elastic_lp.hpp"

namespace tarvo::analysis {

// Denser members first, so that the deletion filters try to drop them first
// and the IIS keeps the sparse ones.
void rank_by_nonzeros(const base::ModelData &d, const ElasticLp &lp, std::vector<int> &ids);
// Rows by their place in a greedy lower-triangular ordering of the matrix,
// the rows that come last first: they are the least structural ones.
void rank_by_triangular_form(const base::ModelData &d, const ElasticLp &lp, std::vector<int> &ids);
// Block number of every member (-1 for members touching no row), rows joined
// through shared columns. Returns the number of blocks.
int independent_blocks(const base::ModelData &d, const ElasticLp &lp, std::vector<int> &block);

}  // namespace tarvo::analysis
