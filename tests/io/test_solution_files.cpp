// Solution, basis and ranging files: reports parsed back and compared with
// the solver's arrays, a basis written and read back re-solving without
// iterations, and ranges checked against known answers and re-solves.
#include <fstream>
#include <map>
#include <sstream>

#include "lp_test_util.hpp"

using namespace tvtest;

namespace {

// max 3x + 2y: x + y <= 4 (binding), x + 3y <= 7 (slack 1), x <= 3 (at its bound).
const char *kSmall =
    "max\n obj: 3 x + 2 y\nst\n c1: x + y <= 4\n c2: x + 3 y <= 7\nbounds\n x <= 3\nend\n";

struct Solved : LpModel {
  explicit Solved(const std::string &text) {
    EXPECT_EQ(read(text), 0) << log;
    int status = 0;
    EXPECT_EQ(TVoptimize(model, TV_METHOD_FREE, &status), 0);
    EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  }
};

std::vector<std::vector<std::string>> token_lines(const std::string &path) {
  std::ifstream in(path);
  std::vector<std::vector<std::string>> out;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::vector<std::string> t;
    std::string w;
    while (words >> w) t.push_back(w);
    out.push_back(t);
  }
  return out;
}

TEST(SolutionFiles, ShortListingHasEveryColumnWithItsPosition) {
  Solved lp("max\n 3 x + 2 y - z\nst\n c1: x + y + z <= 4\n c2: x + 3 y <= 7\nbounds\n x <= 3\nend\n");
  const std::string path = temp_path("short.sol");
  ASSERT_EQ(TVwriteSolutionOfType(lp, path.c_str(), 3), 0);
  const auto lines = token_lines(path);
  ASSERT_GE(lines.size(), 8u);
  EXPECT_EQ(lines[0], (std::vector<std::string>{"SOLUTION", "LP", "(OPTIMAL)"}));
  EXPECT_EQ(lines[2][0], "OBJECTIVE");
  double obj = 0;
  TVgetInfo(lp, TV_DINFO_POBJ, &obj);
  EXPECT_NEAR(std::stod(lines[2][2]), obj, 1e-9 * std::fabs(obj));
  std::vector<double> x(3);
  ASSERT_EQ(TVgetPrimalSolution(lp, x.data()), 0);
  const std::vector<std::string> at = {"UL", "BS", "LL"};
  for (int j = 0; j < 3; ++j) {
    const auto &t = lines[6 + j];
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[0], std::to_string(j + 1));
    EXPECT_EQ(t[2], at[j]) << t[1];
    EXPECT_NEAR(std::stod(t[3]), x[j], 1e-9);
  }
  std::remove(path.c_str());
}

TEST(SolutionFiles, FullReportTablesMatchTheSolution) {
  Solved lp(kSmall);
  const std::string path = temp_path("full.sol");
  ASSERT_EQ(TVsetModelIntParameter(lp, TV_IPARAM_SOL_REPORT_STYLE, 2), 0);
  ASSERT_EQ(TVwriteSolution(lp, path.c_str()), 0);
  const auto lines = token_lines(path);
  std::vector<double> x(2), d(2), slack(2), dual(2);
  TVgetPrimalSolution(lp, x.data());
  TVgetReducedCosts(lp, d.data());
  TVgetSlacks(lp, slack.data());
  TVgetDualSolution(lp, dual.data());
  std::map<std::string, std::vector<std::string>> by_name;
  bool optimum = false;
  for (const auto &t : lines) {
    if (t.size() >= 4 && t[1] == "LP" && t[2] == "GLOBAL") optimum = true;
    if (t.size() == 4 && t[3].rfind("TV_BASTYPE_", 0) == 0 && !by_name.count(t[0])) by_name[t[0]] = t;
  }
  EXPECT_TRUE(optimum);
  ASSERT_EQ(by_name.size(), 4u);
  EXPECT_NEAR(std::stod(by_name["x"][1]), x[0], 1e-9);
  EXPECT_NEAR(std::stod(by_name["y"][1]), x[1], 1e-9);
  EXPECT_NEAR(std::stod(by_name["x"][2]), d[0], 1e-9);
  EXPECT_NEAR(std::stod(by_name["c1"][1]), slack[0], 1e-9);
  EXPECT_NEAR(std::stod(by_name["c2"][2]), dual[1], 1e-9);
  EXPECT_EQ(by_name["y"][3], "TV_BASTYPE_BAS");
  std::string all;
  for (const auto &t : lines)
    for (const auto &w : t) all += w + " ";
  EXPECT_NE(all.find("OBJECTIVE COEFFICIENT RANGES"), std::string::npos);
  EXPECT_NE(all.find("RIGHTHAND SIDE RANGES"), std::string::npos);
  std::remove(path.c_str());

  LpModel unsolved;
  ASSERT_EQ(unsolved.read(kSmall), 0);
  EXPECT_EQ(TVwriteSolution(unsolved, path.c_str()), 2009);
  EXPECT_EQ(TVwriteSolution(nullptr, path.c_str()), 2010);
  EXPECT_EQ(TVwriteSolutionOfType(lp, path.c_str(), 7), 2024);
  EXPECT_EQ(TVwriteSolution(lp, "/no/such/folder/x.sol"), 2002);
  std::remove(path.c_str());
}

TEST(Ranging, SmallLpHasTheTextbookRanges) {
  Solved lp(kSmall);
  std::vector<double> cdec(2), cinc(2), bdec(2), binc(2);
  ASSERT_EQ(TVgetObjectiveRanges(lp, cdec.data(), cinc.data()), 0);
  ASSERT_EQ(TVgetRHSRanges(lp, bdec.data(), binc.data()), 0);
  EXPECT_NEAR(cdec[0], 1, 1e-9);  // x at its upper bound while c_x >= c_y
  EXPECT_GE(cinc[0], 1e30);
  EXPECT_NEAR(cdec[1], 2, 1e-9);  // y basic for 0 <= c_y <= 3
  EXPECT_NEAR(cinc[1], 1, 1e-9);
  EXPECT_NEAR(bdec[0], 1, 1e-9);  // y = b1 - 3 >= 0 and 13 - 3 b1 >= 0
  EXPECT_NEAR(binc[0], 1.0 / 3, 1e-9);
  EXPECT_NEAR(bdec[1], 1, 1e-9);  // c2 has slack 1
  EXPECT_GE(binc[1], 1e30);

  LpModel unsolved;
  ASSERT_EQ(unsolved.read(kSmall), 0);
  EXPECT_EQ(TVgetObjectiveRanges(unsolved, cdec.data(), cinc.data()), 2009);
  EXPECT_EQ(TVgetObjectiveRanges(lp, nullptr, cinc.data()), 2010);
}

// Inside its range a cost change keeps the old solution optimal; for a
// nondegenerate optimum a change past the range makes it worse than the new optimum.
TEST(Ranging, CostRangesAgreeWithResolves) {
  const std::string path = data_dir() + "/netlib/afiro.mps.gz";
  if (read_gz(path).empty()) GTEST_SKIP() << "netlib missing";
  MpsModel base;
  ASSERT_EQ(base.read_file(path, 1), 0);
  int status = 0;
  ASSERT_EQ(TVoptimize(base, TV_METHOD_FREE, &status), 0);
  int n = 0;
  TVgetInfo(base, TV_IINFO_NUM_VARS, &n);
  std::vector<double> dec(n), inc(n), x(n), c(n);
  ASSERT_EQ(TVgetObjectiveRanges(base, dec.data(), inc.data()), 0);
  ASSERT_EQ(TVgetPrimalSolution(base, x.data()), 0);
  const Picture p = picture(base);
  for (int j = 0; j < n; ++j) {
    for (double step : {0.5 * std::min(inc[j], 10.0), -0.5 * std::min(dec[j], 10.0)}) {
      if (step == 0) continue;
      MpsModel m;
      ASSERT_EQ(m.read_file(path, 1), 0);
      const double cj = p.c[j] + step;
      ASSERT_EQ(TVmodifyObjective(m, 1, &j, &cj), 0);
      ASSERT_EQ(TVoptimize(m, TV_METHOD_FREE, &status), 0);
      double obj = 0;
      TVgetInfo(m, TV_DINFO_POBJ, &obj);
      double old_obj = p.constant;
      for (int k = 0; k < n; ++k) old_obj += (k == j ? cj : p.c[k]) * x[k];
      EXPECT_NEAR(obj, old_obj, 1e-6 * (1 + std::fabs(obj))) << "column " << j << " step " << step;
    }
  }
}

TEST(BasisFiles, WrittenBasisReadBackResolvesWithoutIterations) {
  const std::string path = data_dir() + "/netlib/afiro.mps.gz";
  if (read_gz(path).empty()) GTEST_SKIP() << "netlib missing";
  MpsModel solved;
  ASSERT_EQ(solved.read_file(path, 1), 0);
  int status = 0;
  ASSERT_EQ(TVoptimize(solved, TV_METHOD_FREE, &status), 0);
  const std::string bin = temp_path("afiro.bas"), text = temp_path("afiro.bas.txt"), mps = temp_path("b.mps"),
                    trip = temp_path("b.txt");
  ASSERT_EQ(TVwriteBasis(solved, bin.c_str(), 1), 0);
  ASSERT_EQ(TVwriteBasis(solved, text.c_str(), 3), 0);
  ASSERT_EQ(TVwriteBasis(solved, mps.c_str(), 2), 0);
  ASSERT_EQ(TVwriteBasis(solved, trip.c_str(), 4), 0);
  EXPECT_EQ(TVwriteBasis(solved, bin.c_str(), 5), 2024);
  int n = 0, m = 0;
  TVgetInfo(solved, TV_IINFO_NUM_VARS, &n);
  TVgetInfo(solved, TV_IINFO_NUM_CONS, &m);

  MpsModel fresh;
  ASSERT_EQ(fresh.read_file(path, 1), 0);
  EXPECT_EQ(TVreadBasis(fresh, bin.c_str(), 2), 2024);
  ASSERT_EQ(TVreadBasis(fresh, bin.c_str(), -1), 0);
  ASSERT_EQ(TVoptimize(fresh, TV_METHOD_FREE, &status), 0);
  int iters = -1;
  TVgetInfo(fresh, TV_IINFO_SIM_ITER, &iters);
  EXPECT_EQ(iters, 0);
  std::vector<int> a(n), ar(m), b(n), br(m);
  TVgetBasis(solved, a.data(), ar.data());
  TVgetBasis(fresh, b.data(), br.data());
  for (int j = 0; j < n; ++j) EXPECT_EQ(a[j] >= 0, b[j] >= 0) << j;

  // The text file names every column and row with its status.
  const auto lines = token_lines(text);
  ASSERT_EQ(static_cast<int>(lines.size()), n + m);
  int basic = 0;
  for (const auto &t : lines) basic += t.back() == "TV_BASTYPE_BAS";
  EXPECT_EQ(basic, m);
  // The basis matrix is square: m rows, m basic columns.
  const auto triplets = token_lines(trip);
  ASSERT_FALSE(triplets.empty());
  EXPECT_EQ(triplets[0][0], std::to_string(m));
  EXPECT_EQ(triplets[0][1], std::to_string(m));
  MpsModel basis_model;
  ASSERT_EQ(basis_model.read_file(mps, 0), 0);
  int bn = 0;
  TVgetInfo(basis_model, TV_IINFO_NUM_VARS, &bn);
  EXPECT_EQ(bn, m);

  // A truncated binary file is refused.
  const std::string bytes = read_file(bin);
  write_file(bin, bytes.substr(0, bytes.size() - 3));
  MpsModel again;
  ASSERT_EQ(again.read_file(path, 1), 0);
  EXPECT_EQ(TVreadBasis(again, bin.c_str(), 1), 2015);
  EXPECT_EQ(TVreadBasis(again, temp_path("none.bas").c_str(), 1), 2002);
  for (const std::string &f : {bin, text, mps, trip}) std::remove(f.c_str());
}

}  // namespace

namespace {

TEST(StartPointFiles, ReportReadsBackAsAStartPoint) {
  Solved lp(kSmall);
  const std::string path = temp_path("start.sol");
  ASSERT_EQ(TVwriteSolution(lp, path.c_str()), 0);
  LpModel fresh;
  ASSERT_EQ(fresh.read(kSmall), 0);
  ASSERT_EQ(TVreadVarStartPoint(fresh, path.c_str()), 0) << fresh.log;
  std::vector<double> x(2), start(2);
  TVgetPrimalSolution(lp, x.data());
  ASSERT_EQ(TVgetVarStartPoint(fresh, start.data()), 0);
  EXPECT_NEAR(start[0], x[0], 1e-9);
  EXPECT_NEAR(start[1], x[1], 1e-9);
  EXPECT_EQ(TVreadVarStartPoint(fresh, temp_path("nothing.sol").c_str()), 2002);
  std::remove(path.c_str());
}

TEST(StartPointFiles, MipStartPairsByNameOrIndex) {
  LpModel lp;
  ASSERT_EQ(lp.read("max\n x + y + z\nst\n c: x + y + z <= 4\ngeneral\n x y z\nend"), 0);
  const std::string path = temp_path("start.mip");
  write_file(path, "x 1\n2 3\nghost 5\n7 1\n");
  ASSERT_EQ(TVreadMipSolution(lp, path.c_str()), 0) << lp.log;
  std::vector<double> start(3, -1);
  ASSERT_EQ(TVgetMIPVarStartPoint(lp, start.data()), 0);
  EXPECT_EQ(start, (std::vector<double>{1, 0, 3}));
  EXPECT_NE(lp.log.find("Read 2 nonzero values from file."), std::string::npos) << lp.log;
  EXPECT_NE(lp.log.find("out of range"), std::string::npos);
  write_file(path, "x one\n");
  EXPECT_EQ(TVreadMipSolution(lp, path.c_str()), 2015);
  EnvHandle env;
  ModelHandle empty(env);
  EXPECT_EQ(TVreadMipSolution(empty, path.c_str()), 2031);
  std::remove(path.c_str());
}

}  // namespace
