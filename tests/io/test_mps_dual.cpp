// The explicit LP dual: its shape (rows from columns, columns from rows and
// finite non-zero bounds), its optimum equal to the primal's, the MPS export
// of it, and the models it refuses.
#include <cmath>

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

}  // namespace
