// LP-format text of a loaded model, built from the public queries: the
// converter behind the tests that read netlib and MIPLIB models back from LP
// text. Names the format cannot carry are replaced, and the names used are
// returned so the models can be compared.
#pragma once

#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

#include "mps_test_util.hpp"

namespace tvtest {

struct LpText {
  std::string text;
  std::vector<std::string> rownames, colnames;
};

inline bool lp_name_ok(const std::string &s) {
  if (s.empty()) return false;
  const unsigned char c0 = static_cast<unsigned char>(s[0]);
  if (!std::isalpha(c0) && std::string("!\"#$%&(),.;?@_'`{}~").find(s[0]) == std::string::npos) return false;
  if (s[0] == '.' && s.size() > 1 && std::isdigit(static_cast<unsigned char>(s[1]))) return false;
  for (char c : s)
    if (std::string(" \t\r\n+-<>=:\\").find(c) != std::string::npos || c == '\0') return false;
  for (const char *reserved : {"inf", "infinity", "free"}) {
    std::string lower;
    for (char c : s) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == reserved) return false;
  }
  return true;
}

inline std::string lp_number(double v) {
  if (v >= 1e30) return "inf";
  if (v <= -1e30) return "-inf";
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

inline LpText lp_text_of(const Picture &p) {
  LpText out;
  for (int i = 0; i < p.m; ++i) {
    const std::string &s = i < static_cast<int>(p.rownames.size()) ? p.rownames[i] : std::string();
    out.rownames.push_back(lp_name_ok(s) ? s : "r" + std::to_string(i));
  }
  for (int j = 0; j < p.n; ++j) {
    const std::string &s = j < static_cast<int>(p.colnames.size()) ? p.colnames[j] : std::string();
    out.colnames.push_back(lp_name_ok(s) ? s : "x" + std::to_string(j));
  }
  std::string &t = out.text;
  t += "\\ written by the test converter\n";
  t += p.sense == TV_MAX ? "Maximize\n" : "Minimize\n";
  t += " " + (lp_name_ok(p.objname) ? p.objname : std::string("obj")) + ":";
  // Every column appears in the objective, in order, so it is created in order.
  for (int j = 0; j < p.n; ++j) {
    t += (j % 8 == 7 ? "\n " : " ") + std::string(p.c[j] < 0 ? "- " : "+ ") + lp_number(std::fabs(p.c[j])) + " " +
         out.colnames[j];
  }
  if (p.constant != 0) t += std::string(p.constant < 0 ? " - " : " + ") + lp_number(std::fabs(p.constant));
  t += "\nSubject To\n";
  std::vector<std::vector<std::pair<int, double>>> rows(p.m);
  for (int j = 0, q = 0; j < p.n; ++j)
    for (int k = 0; k < p.lengths[j]; ++k, ++q) rows[p.rows[q]].emplace_back(j, p.values[q]);
  for (int i = 0; i < p.m; ++i) {
    const char rel = p.ctype[i];
    const char *op = rel == 'L' ? "<=" : rel == 'G' ? ">=" : "=";
    t += " " + out.rownames[i] + ":";
    if (rows[i].empty()) {  // value rel constant: the row keeps its type
      const char *flip = rel == 'L' ? ">=" : rel == 'G' ? "<=" : "=";
      t += " " + lp_number(p.b[i]) + " " + flip + " 0\n";
      continue;
    }
    int k = 0;
    for (const auto &e : rows[i]) {
      t += (++k % 8 == 0 ? "\n " : " ") + std::string(e.second < 0 ? "- " : "+ ") + lp_number(std::fabs(e.second)) +
           " " + out.colnames[e.first];
    }
    t += std::string(" ") + op + " " + lp_number(p.b[i]) + "\n";
  }
  t += "Bounds\n";
  for (int j = 0; j < p.n; ++j) {
    if (!p.vtype.empty() && p.vtype[j] == 'B') continue;
    if (p.lower[j] == 0 && p.upper[j] >= 1e30) continue;
    t += " " + lp_number(p.lower[j]) + " <= " + out.colnames[j] + " <= " + lp_number(p.upper[j]) + "\n";
  }
  for (char kind : {'I', 'B'}) {
    std::string list;
    for (int j = 0; j < p.n; ++j)
      if (!p.vtype.empty() && p.vtype[j] == kind) list += " " + out.colnames[j] + (j % 8 == 7 ? "\n" : "");
    if (!list.empty()) t += std::string(kind == 'I' ? "Generals\n" : "Binaries\n") + list + "\n";
  }
  t += "End\n";
  return out;
}

// Entries of each column in row order (readers may store them in file order).
inline void sort_columns(Picture *p) {
  for (size_t j = 0, q = 0; j < p->lengths.size(); q += p->lengths[j++]) {
    std::vector<std::pair<int, double>> col;
    for (int k = 0; k < p->lengths[j]; ++k) col.emplace_back(p->rows[q + k], p->values[q + k]);
    std::sort(col.begin(), col.end());
    for (int k = 0; k < p->lengths[j]; ++k) {
      p->rows[q + k] = col[k].first;
      p->values[q + k] = col[k].second;
    }
  }
}

// The columns of *p in the order of `names` (names *p lacks are left out;
// columns of *p not in `names` are dropped).
inline void reorder_columns(Picture *p, const std::vector<std::string> &names) {
  std::vector<int> first(p->n + 1, 0);
  for (int j = 0; j < p->n; ++j) first[j + 1] = first[j] + p->lengths[j];
  Picture q = *p;
  q.c.clear(), q.lower.clear(), q.upper.clear(), q.lengths.clear(), q.rows.clear(), q.values.clear();
  q.colnames.clear();
  q.vtype.clear();
  std::unordered_map<std::string, int> index;
  for (int j = 0; j < p->n; ++j) index.emplace(p->colnames[j], j);
  for (const std::string &name : names) {
    const auto it = index.find(name);
    if (it == index.end()) continue;
    const int j = it->second;
    q.c.push_back(p->c[j]);
    q.lower.push_back(p->lower[j]);
    q.upper.push_back(p->upper[j]);
    if (!p->vtype.empty()) q.vtype += p->vtype[j];
    q.colnames.push_back(name);
    q.lengths.push_back(p->lengths[j]);
    for (int k = first[j]; k < first[j + 1]; ++k) {
      q.rows.push_back(p->rows[k]);
      q.values.push_back(p->values[k]);
    }
  }
  q.n = static_cast<int>(q.c.size());
  q.nz = static_cast<int>(q.rows.size());
  *p = q;
}

// The compressed MPS files of a folder of the shared sets, sorted.
inline std::vector<std::string> model_files(const std::string &folder) {
  std::vector<std::string> out;
  if (DIR *dir = opendir(folder.c_str())) {
    while (dirent *e = readdir(dir)) {
      const std::string leaf = e->d_name;
      if (leaf.size() > 7 && leaf.compare(leaf.size() - 7, 7, ".mps.gz") == 0) out.push_back(folder + "/" + leaf);
    }
    closedir(dir);
  }
  std::sort(out.begin(), out.end());
  return out;
}

// A model filled from LP text.
struct LpModel : FileModel {
  int read(const std::string &text) {
    return record(TVreadLPStream(model, text.data(), static_cast<int>(text.size())));
  }
};

}  // namespace tvtest
