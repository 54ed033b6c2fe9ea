// Row and column names for the analysis output.
#include "analysis/member_names.hpp"

#include <cstdio>

namespace tarvo::analysis {

std::string row_name(const base::Model &model, int i) {
  const base::NamePool &p = model.data.connames;
  if (p.present() && i < static_cast<int>(p.offsets.size())) return p.name(i);
  char buf[32];
  std::snprintf(buf, sizeof buf, "R%07d", i);
  return buf;
}

std::string col_name(const base::Model &model, int j) {
  const base::NamePool &p = model.data.varnames;
  if (p.present() && j < static_cast<int>(p.offsets.size())) return p.name(j);
  char buf[32];
  std::snprintf(buf, sizeof buf, "C%07d", j);
  return buf;
}

}  // namespace tarvo::analysis
