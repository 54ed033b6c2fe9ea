// Correlation between two equally long point sets: Pearson, Spearman (Pearson
// of mid-ranks) and Kendall's tau-b (Knight's O(n log n) algorithm), and the
// conversions of rank correlations to the Pearson scale.
#pragma once

#include <vector>

namespace tarvo::stoc {

double pearson(const std::vector<double> &x, const std::vector<double> &y);
double spearman(const std::vector<double> &x, const std::vector<double> &y);
double kendall(const std::vector<double> &x, const std::vector<double> &y);
// By TV_CORR_PEARSON (0), TV_CORR_KENDALL (1) or TV_CORR_SPEARMAN (2).
double correlation(int type, const std::vector<double> &x, const std::vector<double> &y);
// Target of a rank correlation type expressed as a Pearson value.
double to_pearson(int type, double value);
// Mid-ranks (1-based, ties averaged).
std::vector<double> mid_ranks(const std::vector<double> &x);

}  // namespace tarvo::stoc
