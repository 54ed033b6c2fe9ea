// The explicit LP dual: its shape (rows from columns, columns from rows,
// finite non-zero bounds and row ranges), its optimum equal to the primal's,
// the MPS export of it, and the models it refuses.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <map>

#include "model/model.hpp"
#include "mps_test_util.hpp"

using namespace tvtest;

namespace {

// min x1 + 2x2 - x3 + 0.5x4 - x5 over rows G, L, E with bounds
// x1 >= 0, 2 <= x2 <= 5, x3 <= 5, x4 free, x5 <= 0; optimum -1.5. With
// `maximise` the negated objective is maximised instead: optimum +1.5.
std::string primal_text(bool maximise = false) {
  const double s = maximise ? -1 : 1;
  char buf[1024];
  std::snprintf(buf, sizeof buf,
                "NAME PRIMAL\n%sROWS\n N cost\n G r1\n L r2\n E r3\nCOLUMNS\n x1 cost %g r1 1\n x1 r2 1\n"
                " x2 cost %g r1 1\n x2 r3 1\n x3 cost %g r1 1\n x3 r2 -1\n x4 cost %g r2 1\n x4 r3 1\n"
                " x5 cost %g r2 1\nRHS\n rhs r1 2 r2 3\n rhs r3 1\nBOUNDS\n LO bnd x2 2\n UP bnd x2 5\n"
                " MI bnd x3\n UP bnd x3 5\n FR bnd x4\n MI bnd x5\n UP bnd x5 0\nENDATA\n",
                maximise ? "OBJSENSE\n MAX\n" : "", s, 2 * s, -s, 0.5 * s, -s);
  return buf;
}
const std::string kPrimal = primal_text();

double optimum(pTVmodel model) {
  int status = 0;
  EXPECT_EQ(TVoptimize(model, TV_METHOD_FREE, &status), 0);
  EXPECT_TRUE(status == TV_STATUS_OPTIMAL || status == TV_STATUS_BASIC_OPTIMAL) << status;
  double obj = 0;
  EXPECT_EQ(TVgetInfo(model, TV_DINFO_POBJ, &obj), 0);
  return obj;
}

TEST(MpsDual, ShapeOfTheDual) {
  MpsModel primal;
  ASSERT_EQ(primal.read_text(kPrimal), 0);
  ModelHandle dual(primal.env);
  ASSERT_EQ(TVgetDualModel(primal, dual), 0);
  EXPECT_CONSISTENT(dual);
  const Picture d = picture(dual);
  EXPECT_EQ(d.sense, TV_MAX);
  EXPECT_EQ(d.m, 5);
  EXPECT_EQ(d.ctype, "LEEEG");  // [0,inf) L; bounded both ways E; (-inf,5] E; free E; (-inf,0] G
  EXPECT_EQ(d.rownames, (std::vector<std::string>{"x1", "x2", "x3", "x4", "x5"}));
  EXPECT_EQ(d.colnames, (std::vector<std::string>{"r1", "r2", "r3", "YL_x2", "YU_x2", "YU_x3"}));
  EXPECT_EQ(d.c, (std::vector<double>{2, 3, 1, 2, 5, 5}));
  EXPECT_EQ(d.b, (std::vector<double>{1, 2, -1, 0.5, -1}));
  EXPECT_EQ(d.lower, (std::vector<double>{0, -1e30, -1e30, 0, -1e30, -1e30}));
  EXPECT_EQ(d.upper, (std::vector<double>{1e30, 0, 1e30, 1e30, 0, 0}));
}

TEST(MpsDual, DualOptimumEqualsPrimalOptimum) {
  for (int sense : {TV_MIN, TV_MAX}) {
    MpsModel primal;
    const std::string text = primal_text(sense == TV_MAX);
    ASSERT_EQ(primal.read_text(text), 0) << text;
    ModelHandle dual(primal.env);
    ASSERT_EQ(TVgetDualModel(primal, dual), 0);
    const double p = optimum(primal), d = optimum(dual);
    EXPECT_NEAR(p, sense == TV_MIN ? -1.5 : 1.5, 1e-9);
    EXPECT_NEAR(d, p, 1e-9) << "sense " << sense;
  }
}

TEST(MpsDual, NetlibDualsMatchTheirPrimals) {
  const std::string dir = data_dir() + "/netlib/";
  if (read_gz(dir + "afiro.mps.gz").empty()) GTEST_SKIP() << "no netlib models under " << data_dir();
  for (const char *leaf : {"afiro.mps.gz", "sc50b.mps.gz", "adlittle.mps.gz", "boeing2.mps.gz"}) {
    MpsModel primal;
    ASSERT_EQ(primal.read_file(dir + leaf, 1), 0) << leaf;
    ModelHandle dual(primal.env);
    ASSERT_EQ(TVgetDualModel(primal, dual), 0) << leaf;
    const double p = optimum(primal), d = optimum(dual);
    EXPECT_NEAR(d, p, 1e-6 * std::max(1.0, std::fabs(p))) << leaf;
  }
}

TEST(MpsDual, WritingTheDual) {
  MpsModel primal;
  ASSERT_EQ(primal.read_text(kPrimal), 0);
  const std::string path = temp_path("dual.mps");
  EXPECT_EQ(TVwriteDualMPSFile(primal, path.c_str(), 0, 0), 2007);
  EXPECT_EQ(TVwriteDualMPSFile(nullptr, path.c_str(), 0, 1), 2010);
  // Asked for as a minimisation, the maximising dual is written with its objective negated.
  ASSERT_EQ(TVwriteDualMPSFile(primal, path.c_str(), 1, TV_MIN), 0);
  MpsModel back;
  ASSERT_EQ(back.read_file(path, 1), 0) << read_file(path);
  const Picture d = picture(back);
  EXPECT_EQ(d.sense, TV_MIN);
  EXPECT_EQ(d.c, (std::vector<double>{-2, -3, -1, -2, -5, -5}));
  EXPECT_NEAR(optimum(back), 1.5, 1e-9);
  ASSERT_EQ(TVwriteDualMPSFile(primal, path.c_str(), 0, TV_MAX), 0);
  MpsModel as_max;
  ASSERT_EQ(as_max.read_file(path, 0), 0);
  // The maximising dual is written flipped (the default style): its file minimises the negated objective.
  EXPECT_NEAR(optimum(as_max), 1.5, 1e-9);
  std::remove(path.c_str());
}

TEST(MpsDual, RefusedModels) {
  EnvHandle env;
  ModelHandle empty(env), target(env);
  EXPECT_EQ(TVgetDualModel(nullptr, target), 2010);
  EXPECT_EQ(TVgetDualModel(empty, target), 2009);
  EXPECT_EQ(TVwriteDualMPSFile(empty, temp_path("d.mps").c_str(), 0, 1), 2009);

  MpsModel integer;
  ASSERT_EQ(integer.read_text("NAME\nROWS\n N o\n L r\nCOLUMNS\n M 'MARKER' 'INTORG'\n x o 1 r 1\n"
                              " M 'MARKER' 'INTEND'\nRHS\nENDATA\n"),
            0);
  EXPECT_EQ(TVgetDualModel(integer, target), 2029);
  MpsModel quadratic;
  ASSERT_EQ(quadratic.read_text("NAME\nROWS\n N o\n L r\nCOLUMNS\n x o 1 r 1\nRHS\nQUADOBJ\n x x 1\nENDATA\n"), 0);
  EXPECT_EQ(TVgetDualModel(quadratic, target), 2054);

  MpsModel primal;
  ASSERT_EQ(primal.read_text(kPrimal), 0);
  EXPECT_EQ(TVgetDualModel(primal, primal), 2030);  // the target must be empty
  EXPECT_CONSISTENT(primal);
}

// --- row ranges ---

// Over x1, x2 in [0, 10] and x3 in [-1, 10]:
//   r1: x1 + x2 <= 4 ranged 3 -> [1, 4]      r2: x2 + x3 >= 1 ranged 2 -> [1, 3]
//   r3: x1 + x3 =  2 ranged 0.5 -> [2, 2.5]  r4: x1 - x2 = 0 ranged -0.5 -> [-0.5, 0]
// Each case below has its optimum on a far end, so an LP without the ranges
// has another optimum (given second).
struct RangedCase {
  int sense;
  std::vector<double> c;
  double optimum, without_ranges;
};
const RangedCase kRangedCases[] = {
    {TV_MIN, {1, 2, 1}, 3, 2},       // r1 at its lower end 1
    {TV_MAX, {1, 2, 1}, 7, 6},       // r2, r3 and r4 at their far ends
    {TV_MIN, {1, -1, 0}, -0.5, 0},   // r4 at its lower end
};
const std::vector<double> kRanges = {3, 2, 0.5, -0.5, 0};

void load_ranged(pTVmodel model, const RangedCase &lp, const std::vector<double> &ranges = kRanges,
                 const char *last_row_name = "r4") {
  const double b[] = {4, 1, 2, 0};
  const int start[] = {0, 3, 6, 8};
  const int rows[] = {0, 2, 3, 0, 1, 3, 1, 2};
  const double values[] = {1, 1, 1, 1, 1, -1, 1, 1};
  const double lower[] = {0, 0, -1}, upper[] = {10, 10, 10};
  ASSERT_EQ(TVloadLPData(model, 4, 3, lp.sense, 0, lp.c.data(), b, "LGEE", 8, start, nullptr, values, rows, lower,
                         upper),
            0);
  std::string r4 = last_row_name;
  char *con[] = {const_cast<char *>("r1"), const_cast<char *>("r2"), const_cast<char *>("r3"), r4.data()};
  char *var[] = {const_cast<char *>("x1"), const_cast<char *>("x2"), const_cast<char *>("x3")};
  ASSERT_EQ(TVloadNameData(model, "RANGED", "cost", nullptr, nullptr, nullptr, con, var, nullptr), 0);
  // Ranges have no loader of their own: the model keeps them next to b.
  model->data.range = ranges;
  EXPECT_CONSISTENT(model);
}

TEST(MpsDualRanges, EveryRangedRowGetsAFarEndColumn) {
  EnvHandle env;
  ModelHandle primal(env), dual(env);
  load_ranged(primal, kRangedCases[0]);
  ASSERT_EQ(TVgetDualModel(primal, dual), 0);
  EXPECT_CONSISTENT(dual);
  EXPECT_CONSISTENT(primal);
  const Picture d = picture(dual);
  EXPECT_EQ(d.sense, TV_MAX);
  EXPECT_EQ(d.colnames, (std::vector<std::string>{"r1", "r2", "r3", "r4", "YU_x1", "YU_x2", "YL_x3", "YU_x3",
                                                  "YR_r1", "YR_r2", "YR_r3", "YR_r4"}));
  // A row's own column prices the end at b, the YR_ column the far end.
  EXPECT_EQ(d.c, (std::vector<double>{4, 1, 2, 0, 10, 10, -1, 10, 1, 3, 2.5, -0.5}));
  // Lower ends take multipliers >= 0, upper ends <= 0; a ranged E row's
  // multiplier is no longer free.
  EXPECT_EQ(d.lower, (std::vector<double>{-1e30, 0, 0, -1e30, -1e30, -1e30, 0, -1e30, 0, -1e30, -1e30, 0}));
  EXPECT_EQ(d.upper, (std::vector<double>{0, 1e30, 1e30, 0, 0, 0, 1e30, 0, 1e30, 0, 0, 1e30}));
  // The far-end column has the row's entries.
  EXPECT_EQ(std::vector<int>(d.lengths.begin() + 8, d.lengths.end()), (std::vector<int>{2, 2, 2, 2}));
  EXPECT_EQ(std::vector<double>(d.values.end() - 2, d.values.end()), (std::vector<double>{1, -1}));
}

TEST(MpsDualRanges, FarEndNamesKeepTheNameBuffer) {
  EnvHandle env;
  ModelHandle primal(env), dual(env);
  const std::string long_name(70, 'w');
  load_ranged(primal, kRangedCases[0], kRanges, long_name.c_str());
  ASSERT_EQ(TVgetDualModel(primal, dual), 0);
  const Picture d = picture(dual);
  ASSERT_EQ(d.colnames.size(), 12u);
  EXPECT_EQ(d.colnames.back(), "YR_" + long_name.substr(0, 60));
}

TEST(MpsDualRanges, DualOptimumEqualsTheRangedPrimalOptimum) {
  for (const RangedCase &lp : kRangedCases) {
    SCOPED_TRACE(lp.optimum);
    EnvHandle env;
    ModelHandle primal(env), dual(env), plain(env);
    load_ranged(primal, lp);
    ASSERT_EQ(TVgetDualModel(primal, dual), 0);
    EXPECT_NEAR(optimum(primal), lp.optimum, 1e-9);
    EXPECT_NEAR(optimum(dual), lp.optimum, 1e-9);
    EXPECT_CONSISTENT(dual);
    // The same rows without ranges are another LP, and so is their dual.
    load_ranged(plain, lp, {});
    ModelHandle plain_dual(env);
    ASSERT_EQ(TVgetDualModel(plain, plain_dual), 0);
    EXPECT_NEAR(optimum(plain_dual), lp.without_ranges, 1e-9);
  }
}

TEST(MpsDualRanges, RangesTheSimplexIgnoresAreIgnoredToo) {
  // NaN and infinite ranges leave r1 and r2 one-sided for the simplex; the
  // dual must describe that LP, not invent a far end.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EnvHandle env;
  ModelHandle primal(env), dual(env);
  load_ranged(primal, kRangedCases[1], {nan, 1e30, 0.5, -0.5, 0});
  ASSERT_EQ(TVgetDualModel(primal, dual), 0);
  EXPECT_CONSISTENT(dual);
  const Picture d = picture(dual);
  EXPECT_EQ(d.colnames, (std::vector<std::string>{"r1", "r2", "r3", "r4", "YU_x1", "YU_x2", "YL_x3", "YU_x3",
                                                  "YR_r3", "YR_r4"}));
  EXPECT_NEAR(optimum(dual), optimum(primal), 1e-9);
}

TEST(MpsDualRanges, WrittenDualOfARangedModel) {
  const std::string path = temp_path("ranged_dual.mps");
  for (const RangedCase &lp : {kRangedCases[0], kRangedCases[1]}) {
    SCOPED_TRACE(lp.optimum);
    EnvHandle env;
    ModelHandle primal(env);
    load_ranged(primal, lp);
    ASSERT_EQ(TVwriteDualMPSFile(primal, path.c_str(), 0, TV_MIN), 0);
    const std::string text = read_file(path);
    EXPECT_NE(text.find("YR_r2"), std::string::npos) << text;
    MpsModel back;
    ASSERT_EQ(back.read_file(path, 0), 0) << text;
    EXPECT_EQ(picture(back).n, 12);
    // A maximising dual written as a minimisation has its optimum negated.
    EXPECT_NEAR(optimum(back), lp.sense == TV_MIN ? -lp.optimum : lp.optimum, 1e-9);
  }
  std::remove(path.c_str());
}

TEST(MpsDualRanges, DispatcherSolvesARangedModelThroughItsDual) {
  for (const RangedCase &lp : kRangedCases) {
    SCOPED_TRACE(lp.optimum);
    EnvHandle env;
    ModelHandle primal(env);
    std::string log;
    load_ranged(primal, lp);
    TVsetModelLogfunc(primal, collect_model_log, &log);
    ASSERT_EQ(TVsetModelIntParameter(primal, TV_IPARAM_LP_PRINTLEVEL, 1), 0);
    ASSERT_EQ(TVsetModelIntParameter(primal, TV_IPARAM_PROB_TO_SOLVE, 2), 0);
    int status = -1;
    ASSERT_EQ(TVoptimize(primal, 0, &status), 0);
    EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
    double obj = 0;
    EXPECT_EQ(TVgetInfo(primal, TV_DINFO_POBJ, &obj), 0);
    EXPECT_NEAR(obj, lp.optimum, 1e-9);
    EXPECT_NE(log.find("\n\nConstructing a primal basis from the explicit dual...\n"), std::string::npos) << log;
    // the reported point keeps every row inside its range
    std::vector<double> x(3);
    ASSERT_EQ(TVgetPrimalSolution(primal, x.data()), 0);
    const double act[] = {x[0] + x[1], x[1] + x[2], x[0] + x[2], x[0] - x[1]};
    const double lo[] = {1, 1, 2, -0.5}, up[] = {4, 3, 2.5, 0};
    for (int i = 0; i < 4; ++i) {
      EXPECT_GE(act[i], lo[i] - 1e-9) << i;
      EXPECT_LE(act[i], up[i] + 1e-9) << i;
    }
    EXPECT_CONSISTENT(primal);
  }
}

// Netlib models with RANGES, their range slacks (added by the reader) put
// back into the rows as ranges: 'G'/'L' rows for some, 'E' rows for others,
// with either sign of the range value. Returns the number of ranged rows.
int load_as_ranged(pTVmodel from, pTVmodel to) {
  const tarvo::base::ModelData &d = from->data;
  std::vector<char> type(d.ctype.begin(), d.ctype.begin() + d.m);
  std::vector<double> range(d.m + 1, 0.0), c, lower, upper, values;
  std::vector<int> start{0}, rows;
  std::vector<std::string> colnames;
  int ranged = 0;
  for (int j = 0; j < d.n; ++j) {
    const std::string name = d.varnames.present() ? d.varnames.name(j) : "";
    const int p = d.start[j];
    if (name.rfind("slk", 0) == 0 && d.length[j] == 1 && d.lower[j] == 0 && d.c[j] == 0 &&
        std::fabs(d.value[p]) == 1) {
      const int i = d.rowidx[p];
      const double u = d.upper[j];
      if (u == 0) continue;  // a zero range: the row stays an equality
      const bool up_from_b = d.value[p] < 0;  // a x - s = b: [b, b+u]
      switch (ranged++ % 4) {
        case 0: type[i] = up_from_b ? 'G' : 'L', range[i] = u; break;
        case 1: range[i] = up_from_b ? u : -u; break;
        case 2: type[i] = up_from_b ? 'G' : 'L', range[i] = -u; break;
        default: range[i] = up_from_b ? u : -u; break;
      }
      continue;
    }
    for (int k = p; k < p + d.length[j]; ++k) {
      rows.push_back(d.rowidx[k]);
      values.push_back(d.value[k]);
    }
    start.push_back(static_cast<int>(rows.size()));
    c.push_back(d.c[j]);
    lower.push_back(d.lower[j]);
    upper.push_back(d.upper[j]);
    colnames.push_back(name);
  }
  const int n = static_cast<int>(c.size());
  EXPECT_EQ(TVloadLPData(to, d.m, n, d.sense, d.obj_constant, c.data(), d.b.data(), type.data(),
                         static_cast<int>(rows.size()), start.data(), nullptr, values.data(), rows.data(),
                         lower.data(), upper.data()),
            0);
  std::vector<std::string> connames;
  for (int i = 0; i < d.m; ++i) connames.push_back(d.connames.name(i));
  std::vector<char *> con, var;
  for (std::string &s : connames) con.push_back(s.data());
  for (std::string &s : colnames) var.push_back(s.data());
  EXPECT_EQ(TVloadNameData(to, nullptr, nullptr, nullptr, nullptr, nullptr, con.data(), var.data(), nullptr), 0);
  to->data.range = range;
  return ranged;
}

std::map<std::string, double> netlib_optima() {
  std::map<std::string, double> out;
  std::ifstream in(data_dir() + "/netlib/optimal.csv");
  std::string line;
  while (std::getline(in, line)) {
    const size_t comma = line.find(',');
    if (comma == std::string::npos) continue;
    try {
      out[line.substr(0, comma)] = std::stod(line.substr(comma + 1));
    } catch (const std::exception &) {
    }
  }
  return out;
}

TEST(MpsDualRanges, NetlibModelsWithRanges) {
  const std::string dir = data_dir() + "/netlib/";
  const auto optima = netlib_optima();
  if (optima.empty()) GTEST_SKIP() << "no netlib models under " << data_dir();
  for (const char *name : {"boeing1", "boeing2", "forplan", "seba"}) {
    SCOPED_TRACE(name);
    MpsModel read;
    ASSERT_EQ(read.read_file(dir + name + ".mps.gz", 1), 0);
    EnvHandle env;
    ModelHandle primal(env), dual(env), through_dual(env);
    ASSERT_GT(load_as_ranged(read, primal), 0);
    load_as_ranged(read, through_dual);
    EXPECT_CONSISTENT(primal);
    ASSERT_EQ(TVgetDualModel(primal, dual), 0);
    EXPECT_CONSISTENT(dual);
    const double want = optima.at(name), tol = 1e-6 * std::max(1.0, std::fabs(want));
    const double p = optimum(primal), q = optimum(dual);
    EXPECT_NEAR(p, want, tol);
    EXPECT_NEAR(q, p, tol);
    ASSERT_EQ(TVsetModelIntParameter(through_dual, TV_IPARAM_PROB_TO_SOLVE, 2), 0);
    EXPECT_NEAR(optimum(through_dual), want, tol);
    EXPECT_CONSISTENT(through_dual);
  }
}

}  // namespace
