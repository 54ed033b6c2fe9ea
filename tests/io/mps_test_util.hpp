// Helpers of the model-file tests: writing small files, reading them into a
// fresh model, a full picture of a model through the public queries, and the
// data folder of the shared model sets.
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "test_support.hpp"

namespace tvtest {

#define EXPECT_CONSISTENT(model)                                      \
  do {                                                                \
    char reason_[256] = "";                                           \
    EXPECT_EQ(TVcheckModelConsistency(model, reason_), 0) << reason_; \
  } while (0)

// The shared model sets, next to the project folder unless TARVO_DATA_DIR says otherwise.
inline std::string data_dir() {
  if (const char *env = std::getenv("TARVO_DATA_DIR")) return env;
#ifdef TARVO_DATA_DIR
  return TARVO_DATA_DIR;
#else
  return std::string(TARVO_SOURCE_DIR) + "/../shared/data";
#endif
}

inline void write_gz(const std::string &path, const std::string &text) {
  gzFile gz = gzopen(path.c_str(), "wb");
  ASSERT_NE(gz, nullptr);
  if (!text.empty()) {
    ASSERT_EQ(gzwrite(gz, text.data(), static_cast<unsigned>(text.size())), (int)text.size());
  }
  gzclose(gz);
}

inline std::string read_gz(const std::string &path) {
  std::string text;
  gzFile gz = gzopen(path.c_str(), "rb");
  if (!gz) return text;
  char buf[1 << 16];
  int n;
  while ((n = gzread(gz, buf, sizeof buf)) > 0) text.append(buf, n);
  gzclose(gz);
  return text;
}

// A model of its own environment with its log collected and the file-error
// record of its last read.
struct FileModel {
  EnvHandle env;
  ModelHandle model{env};
  std::string log;
  int code = -1;
  unsigned error_line = 0;
  std::string error_text;

  FileModel() { TVsetModelLogfunc(model, collect_model_log, &log); }
  int record(int result) {
    code = result;
    char text[512] = "";
    TVgetFileError(model, &error_line, text);
    error_text = text;
    return code;
  }
  operator pTVmodel() const { return model; }
};

// A model filled from MPS text.
struct MpsModel : FileModel {
  int read_file(const std::string &path, int format = 1, int objIndex = 0, int keep = 0) {
    return record(TVreadMPSFileFR(model, path.c_str(), format, objIndex, keep));
  }
  int read_text(const std::string &text, int format = 0, int objIndex = 0, int keep = 0,
                const std::string &leaf = "model.mps") {
    const std::string path = temp_path(leaf);
    write_file(path, text);
    read_file(path, format, objIndex, keep);
    std::remove(path.c_str());
    return code;
  }
};

// Everything the public queries tell about a model's problem data.
struct Picture {
  int m = 0, n = 0, nz = 0, sense = 0;
  double constant = 0;
  std::vector<double> c, b, lower, upper, values;
  std::vector<int> rows, lengths;  // matrix column by column, in stored order
  std::string ctype, vtype;
  std::vector<std::string> rownames, colnames;
  std::string title, objname;
};

inline Picture picture(pTVmodel model) {
  Picture p;
  EXPECT_EQ(TVgetDimensions(model, &p.n, &p.m, nullptr, &p.nz, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr),
            0);
  p.c.resize(p.n + 1);
  p.lower.resize(p.n + 1);
  p.upper.resize(p.n + 1);
  p.b.resize(p.m + 1);
  std::vector<char> ctype(p.m + 1), vtype(p.n + 1);
  std::vector<int> starts(p.n + 1), lengths(p.n + 1), rows(p.nz + 1);
  std::vector<double> values(p.nz + 1);
  EXPECT_EQ(TVgetLPData(model, &p.sense, &p.constant, p.c.data(), p.b.data(), ctype.data(), starts.data(),
                        lengths.data(), values.data(), rows.data(), p.lower.data(), p.upper.data()),
            0);
  p.c.resize(p.n);
  p.lower.resize(p.n);
  p.upper.resize(p.n);
  p.b.resize(p.m);
  p.ctype.assign(ctype.data(), p.m);
  if (TVgetVarType(model, vtype.data()) == 0) p.vtype.assign(vtype.data(), p.n);
  for (int j = 0; j < p.n; ++j) {
    p.lengths.push_back(lengths[j]);
    for (int q = starts[j]; q < starts[j] + lengths[j]; ++q) {
      p.rows.push_back(rows[q]);
      p.values.push_back(values[q]);
    }
  }
  std::vector<char> name(1 << 16);
  for (int i = 0; i < p.m; ++i)
    if (TVgetConstraintNamei(model, i, name.data()) == 0) p.rownames.emplace_back(name.data());
  for (int j = 0; j < p.n; ++j)
    if (TVgetVariableNamej(model, j, name.data()) == 0) p.colnames.emplace_back(name.data());
  std::vector<char> title(1 << 16), obj(1 << 16);
  if (TVgetNameData(model, title.data(), obj.data(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                    nullptr) == 0) {
    p.title = title.data();
    p.objname = obj.data();
  }
  return p;
}

// Values agree exactly (tolerance 0) or to `rel` of their magnitude.
inline bool close_values(const std::vector<double> &a, const std::vector<double> &b, double rel, std::string *why,
                         const char *what) {
  if (a.size() != b.size()) {
    *why = std::string(what) + ": sizes differ";
    return false;
  }
  for (size_t k = 0; k < a.size(); ++k) {
    const double tol = rel * std::max(1.0, std::fabs(a[k]));
    if (!(a[k] == b[k] || std::fabs(a[k] - b[k]) <= tol)) {
      *why = std::string(what) + "[" + std::to_string(k) + "]: " + std::to_string(a[k]) + " vs " +
             std::to_string(b[k]);
      return false;
    }
  }
  return true;
}

// Empty when the two pictures agree; otherwise the first difference.
inline std::string compare(const Picture &a, const Picture &b, double rel) {
  std::string why;
  if (a.m != b.m || a.n != b.n || a.nz != b.nz)
    return "dimensions " + std::to_string(a.m) + "x" + std::to_string(a.n) + "/" + std::to_string(a.nz) + " vs " +
           std::to_string(b.m) + "x" + std::to_string(b.n) + "/" + std::to_string(b.nz);
  if (a.sense != b.sense) return "sense";
  if (a.ctype != b.ctype) return "row types";
  if (a.vtype != b.vtype) return "column types";
  if (a.rows != b.rows || a.lengths != b.lengths) return "matrix pattern";
  if (a.rownames != b.rownames) return "row names";
  if (a.colnames != b.colnames) return "column names";
  if (!close_values({a.constant}, {b.constant}, rel, &why, "constant") || !close_values(a.c, b.c, rel, &why, "c") ||
      !close_values(a.b, b.b, rel, &why, "rhs") || !close_values(a.lower, b.lower, rel, &why, "lower") ||
      !close_values(a.upper, b.upper, rel, &why, "upper") || !close_values(a.values, b.values, rel, &why, "a"))
    return why;
  return "";
}

}  // namespace tvtest
