// Reading problem data and names back: the matrix as hosts can size it, one
// column, one row, types, and the name pools.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.hpp"

#if __has_include("model/model.hpp")
#include "model/model.hpp"
#define TARVO_WHITE_BOX 1
#endif

using namespace tvtest;

namespace {

void expect_consistent(pTVmodel model) {
  char why[256];
  EXPECT_EQ(TVcheckModelConsistency(model, why), 0) << why;
}

// 3 rows, 5 columns; column 1 names row 0 twice (merged into 2, leaving a
// gap after the column) and column 4 is empty.
void load_sample(pTVmodel model) {
  const double c[] = {1, -2, 3, 0, 5}, b[] = {4, 1, 2};
  const int starts[] = {0, 2, 5, 6, 8, 8}, rows[] = {0, 2, 0, 1, 0, 1, 1, 2};
  const double vals[] = {1, 1, 1, 1, 1, 3, -1, 1};
  const double lo[] = {0, -1e30, 1, -1e30, 2}, up[] = {1e30, 5, 3, 1e30, 2};
  ASSERT_EQ(TVloadLPData(model, 3, 5, TV_MAX, 7.5, c, b, "LGE", 8, starts, nullptr, vals, rows, lo, up), 0);
}

TEST(QueryData, LinearCoreComesBackCompactedAndAgreesWithRowsAndColumns) {
  EnvHandle env;
  ModelHandle model(env);
  load_sample(model);
  int sense = 0, starts[6], lengths[5], rows[7];
  double constant = 0, b[3], up[5], vals[7];
  char types[3];
  ASSERT_EQ(TVgetLPData(model, &sense, &constant, nullptr, b, types, starts, lengths, vals, rows, nullptr, up), 0);
  EXPECT_EQ(sense, TV_MAX);
  EXPECT_EQ(constant, 7.5);
  EXPECT_EQ(std::string(types, 3), "LGE");
  EXPECT_EQ(up[3], 1e30);
  EXPECT_EQ(std::vector<int>(starts, starts + 6), (std::vector<int>{0, 2, 4, 5, 7, 7})) << "no gaps";
  EXPECT_EQ(std::vector<int>(lengths, lengths + 5), (std::vector<int>{2, 2, 1, 2, 0}));
  EXPECT_EQ(std::vector<double>(vals, vals + 7), (std::vector<double>{1, 1, 2, 1, 3, -1, 1}));

  // The same matrix seen column by column and row by row.
  std::vector<std::vector<double>> by_col(3, std::vector<double>(5)), by_row = by_col;
  for (int j = 0; j < 5; ++j) {
    int nnz = -1, idx[3];
    double v[3];
    ASSERT_EQ(TVgetLPVariableDataj(model, j, nullptr, nullptr, nullptr, nullptr, &nnz, idx, v), 0);
    for (int k = 0; k < nnz; ++k) by_col[idx[k]][j] += v[k];
  }
  for (int i = 0; i < 3; ++i) {
    int nnz = -1, idx[5];
    double v[5];
    ASSERT_EQ(TVgetLPConstraintDatai(model, i, nullptr, nullptr, &nnz, idx, v), 0);
    for (int k = 0; k < nnz; ++k) by_row[i][idx[k]] += v[k];
  }
  EXPECT_EQ(by_col, by_row);
  EXPECT_EQ(by_col[0][1], 2.0);

  int nnz;
  EXPECT_EQ(TVgetLPVariableDataj(model, 5, nullptr, nullptr, nullptr, nullptr, &nnz, nullptr, nullptr), 2012);
  EXPECT_EQ(TVgetLPConstraintDatai(model, -1, nullptr, nullptr, &nnz, nullptr, nullptr), 2012);
  EXPECT_EQ(TVgetConstraintDatai(model, 3, nullptr, nullptr, nullptr), 2012);
  char type = 0, nonlinear = 9;
  double rhs = 0;
  ASSERT_EQ(TVgetConstraintDatai(model, 1, &type, &nonlinear, &rhs), 0);
  EXPECT_EQ(type, 'G');
  EXPECT_EQ(nonlinear, 0);
  EXPECT_EQ(rhs, 1.0);
  expect_consistent(model);
}

TEST(QueryData, VariableTypesDefaultToContinuous) {
  EnvHandle env;
  ModelHandle model(env);
  char types[5];
  EXPECT_EQ(TVgetVarType(model, types), 2009) << "unloaded";
  load_sample(model);
  ASSERT_EQ(TVgetVarType(model, types), 0);
  EXPECT_EQ(std::string(types, 5), "CCCCC");
  EXPECT_EQ(TVgetVarType(model, nullptr), 2010);
  char given[] = "CICCI";
  ASSERT_EQ(TVloadVarType(model, given), 0);
  ASSERT_EQ(TVgetVarType(model, types), 0);
  EXPECT_EQ(std::string(types, 5), "CICCI");
  expect_consistent(model);
}

TEST(QueryNames, PoolsAreCopiedWithPointersIntoTheCallersBuffer) {
  EnvHandle env;
  ModelHandle model(env);
  load_sample(model);
  char r0[] = "cap", r1[] = "demand_long_name", r2[] = "e", v0[] = "x", v1[] = "y1", v2[] = "zz2", v3[] = "w",
       v4[] = "fixed";
  char *cons[] = {r0, r1, r2}, *vars[] = {v0, v1, v2, v3, v4};
  ASSERT_EQ(TVloadNameData(model, "sample", nullptr, nullptr, nullptr, nullptr, cons, vars, nullptr), 0);
  // Buffers sized exactly from the reported lengths: any longer copy overflows.
  int conlen = 0, varlen = 0;
  ASSERT_EQ(TVgetIntInfo(model, TV_IINFO_LEN_CONNAMES, &conlen), 0);
  ASSERT_EQ(TVgetIntInfo(model, TV_IINFO_LEN_VARNAMES, &varlen), 0);
  EXPECT_EQ(conlen, 23);
  std::vector<char> conpool(conlen), varpool(varlen);
  char *conptr[3] = {}, *varptr[5] = {};
  char title[32], obj[32] = "stale";
  ASSERT_EQ(TVgetNameData(model, title, obj, nullptr, nullptr, nullptr, conptr, conpool.data(), varptr,
                          varpool.data()),
            0);
  EXPECT_STREQ(title, "sample");
  EXPECT_STREQ(obj, "") << "a name the model lacks comes back empty";
  for (int i = 0; i < 3; ++i) EXPECT_STREQ(conptr[i], cons[i]);
  for (int j = 0; j < 5; ++j) {
    EXPECT_STREQ(varptr[j], vars[j]);
    EXPECT_TRUE(varptr[j] >= varpool.data() && varptr[j] < varpool.data() + varlen);
  }
  char name[32] = "stale";
  ASSERT_EQ(TVgetConstraintNamei(model, 1, name), 0);
  EXPECT_STREQ(name, "demand_long_name");
  EXPECT_EQ(TVgetVariableNamej(model, 5, name), 2012);
  EXPECT_STREQ(name, "") << "the buffer is emptied first";
  EXPECT_EQ(TVgetVariableNamej(model, 0, nullptr), 2010);
  EXPECT_EQ(TVgetConeNamei(model, 0, name), 2009) << "no cones, no cone names";
  expect_consistent(model);
}

TEST(QueryNames, MissingPoolIsReportedWhileThePresentOneIsServed) {
  EnvHandle env;
  ModelHandle model(env);
  load_sample(model);
  char name[16] = "stale";
  EXPECT_EQ(TVgetVariableNamej(model, 0, name), 2009);
  EXPECT_STREQ(name, "");
  char v0[] = "a", v1[] = "b", v2[] = "c", v3[] = "d", v4[] = "e";
  char *vars[] = {v0, v1, v2, v3, v4};
  ASSERT_EQ(TVloadNameData(model, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, vars, nullptr), 0);
  char conpool[16], varpool[10], *conptr[3], *varptr[5] = {};
  EXPECT_EQ(TVgetNameData(model, nullptr, nullptr, nullptr, nullptr, nullptr, conptr, conpool, varptr, varpool),
            2009);
  EXPECT_STREQ(varptr[4], "e");
  // Cone names.
  const int starts[] = {0, 3}, cols[] = {0, 1, 2};
  ASSERT_EQ(TVloadConeData(model, 1, "Q", nullptr, starts, cols), 0);
  char k0[] = "lorentz";
  char *cones[] = {k0};
  ASSERT_EQ(TVloadNameData(model, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, cones), 0);
  ASSERT_EQ(TVgetConeNamei(model, 0, name), 0);
  EXPECT_STREQ(name, "lorentz");
  EXPECT_EQ(TVgetConeNamei(model, 1, name), 2012);
  expect_consistent(model);
}

#ifdef TARVO_WHITE_BOX
TEST(QueryData, NothingIsReadWhileLentToWorkersOrInsideARebuildingCallback) {
  EnvHandle env;
  ModelHandle model(env);
  load_sample(model);
  char types[5];
  int nnz;
  for (int pass = 0; pass < 2; ++pass) {
    if (pass == 0)
      model.model->lent_to_workers = true;
    else
      model.model->phase_marker = -1;
    EXPECT_EQ(TVgetLPData(model, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                          nullptr, nullptr),
              2009);
    EXPECT_EQ(TVgetLPConstraintDatai(model, 0, nullptr, nullptr, &nnz, nullptr, nullptr), 2009);
    EXPECT_EQ(TVgetVarType(model, types), 2009);
    model.model->lent_to_workers = false;
    model.model->phase_marker = 0;
  }
  EXPECT_EQ(TVgetVarType(model, types), 0);
}
#else
TEST(QueryData, WhiteBoxChecksNeedTheSourceTree) { GTEST_SKIP() << "src/ is not on the include path"; }
#endif

}  // namespace
