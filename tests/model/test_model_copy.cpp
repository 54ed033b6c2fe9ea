// TVcopyModel: the copy holds every data kind of the source, stands on its
// own (changing one leaves the other alone) and reads back identically.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "test_support.hpp"

using namespace tvtest;

namespace {

struct Snapshot {
  int sense = 0, n = 0, m = 0;
  double constant = 0;
  std::vector<double> c, b, values, lower, upper;
  std::vector<int> starts, lengths, rows;
  std::string contypes, vartypes, names;
  std::vector<int> qrows, qc1, qc2;
  std::vector<double> qcoef;
  int nsets = 0, nsemi = 0, ncones = 0;
  std::vector<double> start_point;

  bool operator==(const Snapshot &o) const {
    return sense == o.sense && n == o.n && m == o.m && constant == o.constant && c == o.c && b == o.b &&
           values == o.values && lower == o.lower && upper == o.upper && starts == o.starts && lengths == o.lengths &&
           rows == o.rows && contypes == o.contypes && vartypes == o.vartypes && names == o.names &&
           qrows == o.qrows && qc1 == o.qc1 && qc2 == o.qc2 && qcoef == o.qcoef && nsets == o.nsets &&
           nsemi == o.nsemi && ncones == o.ncones && start_point == o.start_point;
  }
};

Snapshot take(pTVmodel model) {
  Snapshot s;
  int nz = 0, nqc = 0;
  EXPECT_EQ(TVgetDimensions(model, &s.n, &s.m, &s.ncones, &nz, &nqc, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr),
            0);
  s.c.resize(s.n);
  s.b.resize(s.m);
  s.values.resize(nz);
  s.lower.resize(s.n);
  s.upper.resize(s.n);
  s.starts.resize(s.n + 1);
  s.lengths.resize(s.n);
  s.rows.resize(nz);
  s.contypes.assign(s.m + 1, '\0');
  s.vartypes.assign(s.n + 1, '\0');
  EXPECT_EQ(TVgetLPData(model, &s.sense, &s.constant, s.c.data(), s.b.data(), s.contypes.data(), s.starts.data(),
                        s.lengths.data(), s.values.data(), s.rows.data(), s.lower.data(), s.upper.data()),
            0);
  EXPECT_EQ(TVgetVarType(model, s.vartypes.data()), 0);
  for (int j = 0; j < s.n; ++j) {
    char name[256];
    EXPECT_EQ(TVgetVariableNamej(model, j, name), 0);
    s.names += std::string(name) + "|";
  }
  s.qrows.resize(nqc);
  s.qc1.resize(nqc);
  s.qc2.resize(nqc);
  s.qcoef.resize(nqc);
  if (nqc > 0) {
    EXPECT_EQ(TVgetQCData(model, s.qrows.data(), s.qc1.data(), s.qc2.data(), s.qcoef.data()), 0);
  }
  int total = 0;
  if (TVgetSETSData(model, &s.nsets, &total, nullptr, nullptr, nullptr, nullptr, nullptr) != 0) s.nsets = -1;
  if (TVgetSemiContData(model, &s.nsemi, nullptr, nullptr, nullptr) != 0) s.nsemi = -1;
  s.start_point.resize(s.n);
  if (TVgetVarStartPoint(model, s.start_point.data()) != 0) s.start_point.clear();
  return s;
}

// Two rows, four columns with types, names, quadratic terms, one cone, one set,
// a semicontinuous column and a start point.
void load_rich_model(pTVmodel model) {
  const double c[4] = {1, -2, 3, 0.5}, b[2] = {4, 10};
  const int starts[5] = {0, 2, 3, 5, 6}, rows[6] = {0, 1, 0, 0, 1, 1};
  const double values[6] = {1, 2, 3, 4, 5, 6}, lower[4] = {0, 0, -5, 0}, upper[4] = {10, 1, 5, 8};
  ASSERT_EQ(TVloadLPData(model, 2, 4, TV_MAX, 7.5, c, b, "LG", 6, starts, nullptr, values, rows, lower, upper), 0);
  char types[] = "CBIC";
  ASSERT_EQ(TVloadVarType(model, types), 0);
  char n0[] = "x0", n1[] = "flag", n2[] = "count", n3[] = "scale";
  char r0[] = "cap", r1[] = "demand";
  char *vars[4] = {n0, n1, n2, n3}, *cons[2] = {r0, r1};
  ASSERT_EQ(TVloadNameData(model, "rich", "profit", "rhs", "rng", "bnd", cons, vars, nullptr), 0);
  const int qr[2] = {-1, 0}, q1[2] = {0, 0}, q2[2] = {0, 2};
  const double qv[2] = {2.0, -1.0};
  ASSERT_EQ(TVloadQCData(model, 2, qr, q1, q2, qv), 0);
  const int cstart[2] = {0, 2}, ccols[2] = {0, 2};
  ASSERT_EQ(TVloadConeData(model, 1, "R", nullptr, cstart, ccols), 0);
  const int sstart[2] = {0, 2}, scols[2] = {1, 3};
  ASSERT_EQ(TVloadSETSData(model, 1, "\x01", nullptr, sstart, scols), 0);
  const int semi[1] = {3};
  const double slo[1] = {1}, sup[1] = {8};
  ASSERT_EQ(TVloadSemiContData(model, 1, semi, slo, sup), 0);
  const double x0[4] = {1, 0, 2, 3};
  ASSERT_EQ(TVloadVarStartPoint(model, x0), 0);
}

}  // namespace

TEST(ModelCopy, CopyHoldsEveryDataKindAndParameters) {
  EnvHandle env;
  ModelHandle source(env);
  load_rich_model(source);
  ASSERT_EQ(TVsetModelIntParameter(source, TV_IPARAM_LP_PRINTLEVEL, 4), 0);
  for (int mode : {0, 1}) {
    ASSERT_EQ(TVsetModelIntParameter(source, TV_IPARAM_COPY_MODE, mode), 0);
    int code = -1;
    pTVmodel copy = TVcopyModel(source, &code);
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(code, 0);
    char why[256];
    EXPECT_EQ(TVcheckModelConsistency(copy, why), 0) << why;
    EXPECT_TRUE(take(copy) == take(source)) << "copy mode " << mode;
    int level = 0, status = 0;
    TVgetModelIntParameter(copy, TV_IPARAM_LP_PRINTLEVEL, &level);
    EXPECT_EQ(level, 4);
    TVgetIntInfo(copy, TV_IINFO_MODEL_STATUS, &status);
    EXPECT_EQ(status, TV_STATUS_LOADED);
    int j = -1;
    EXPECT_EQ(TVgetVariableIndex(copy, "count", &j), 0) << "the copy builds its own name table";
    EXPECT_EQ(j, 2);
    TVdeleteModel(&copy);
  }
}

TEST(ModelCopy, CopyAndSourceChangeIndependently) {
  EnvHandle env;
  ModelHandle source(env);
  load_rich_model(source);
  int code = -1;
  pTVmodel copy = TVcopyModel(source, &code);
  ASSERT_NE(copy, nullptr);
  Snapshot before = take(source);
  const int col[1] = {0};
  const double value[1] = {99};
  ASSERT_EQ(TVmodifyObjective(copy, 1, col, value), 0);
  const int row[1] = {1};
  ASSERT_EQ(TVdeleteConstraints(copy, 1, row), 0);
  EXPECT_TRUE(take(source) == before) << "changing the copy left the source alone";
  EXPECT_EQ(TVdeleteModel(&copy), 0);
  EXPECT_TRUE(take(source) == before);
}

TEST(ModelCopy, CopyOfAnUnloadedModelIsUnloaded) {
  EnvHandle env;
  ModelHandle source(env);
  int code = -1;
  pTVmodel copy = TVcopyModel(source, &code);
  ASSERT_NE(copy, nullptr);
  int status = 0;
  TVgetIntInfo(copy, TV_IINFO_MODEL_STATUS, &status);
  EXPECT_EQ(status, TV_STATUS_UNLOADED);
  TVdeleteModel(&copy);
}
