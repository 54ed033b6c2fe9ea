// Shared pieces of the algebraic text exports.
#include "io/text_export.hpp"

#include <cstring>

#include "io/number_text.hpp"

namespace tarvo::io {

std::string clean_name(const std::string &name) {
  std::string out = name;
  for (char &ch : out)
    if (std::strchr(" \t\n\r+-<>=!.]", ch) && ch != '\0') ch = '_';
  return out;
}

TextView::TextView(const base::ModelData &d) : entries(d.m), quad(static_cast<size_t>(d.m) + 1) {
  ColumnNamer names(d);
  for (int i = 0; i < d.m; ++i) row.push_back(clean_name(row_name(d, i)));
  for (int j = 0; j < d.n; ++j) col.push_back(clean_name(names(j)));
  for (int j = 0; j < d.n; ++j)
    for (int p = d.start[j]; p < d.start[j] + d.length[j]; ++p) entries[d.rowidx[p]].push_back({j, d.value[p]});
  for (size_t t = 0; t < d.qc.coef.size(); ++t) {
    const int r = d.qc.row[t];
    quad[r < 0 ? d.m : r].push_back(static_cast<int>(t));
  }
}

int export_ready(const base::Model &model) { return model.status == TV_STATUS_UNLOADED ? 2009 : 0; }

}  // namespace tarvo::io
