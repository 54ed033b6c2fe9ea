// Reduced-cost fixing with every optimal root LP, not only the last one.
// A root LP over valid rows and the global bounds of its time, with value z
// and reduced cost d > 0 at a column's lower bound l, proves that a solution
// better than a cutoff U has x <= l + floor((U - z) / d). Earlier LPs of the
// cut loop often price a column higher than the final one, so each column
// keeps the best few (cutoff, bound) rules over all of them. The rules speak
// of the problem's column indices: a restarted (re-presolved) problem takes
// them remapped, next to the rules of its own roots.
#pragma once

#include <vector>

namespace tarvo::mip {

class RootCostFixing {
 public:
  static constexpr int kMaxRules = 4;  // per column and side

  // Forgets every rule; n columns.
  void reset(int n);
  bool empty() const { return rules_ == 0; }
  // One optimal LP: value z, reduced costs d (times `scale`), point x and
  // column bounds lo/up, which must hold for every solution of the problem.
  void record(double z, const std::vector<double> &d, const std::vector<double> &x, const std::vector<double> &lo,
              const std::vector<double> &up, const std::vector<char> &is_int, double scale);
  // Tightens lo/up by every rule whose cutoff lies above `cutoff`; the
  // number of bounds tightened.
  int apply(double cutoff, std::vector<double> &lo, std::vector<double> &up) const;
  // The rules over another numbering: column j takes the rules of column
  // from[j] (-1: none). The columns must keep their values (no merged ones).
  RootCostFixing remapped(const std::vector<int> &from) const;

 private:
  // Every solution with objective below `cutoff` has its column within `bound`.
  struct Rule {
    double cutoff, bound;
  };
  // Adds r unless another rule is at least as strong for every cutoff; `upper`:
  // bound is an upper bound (smaller is stronger).
  void insert(std::vector<Rule> &list, Rule r, bool upper);
  std::vector<std::vector<Rule>> up_rules_, lo_rules_;
  long long rules_ = 0;
};

}  // namespace tarvo::mip
