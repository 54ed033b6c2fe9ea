// Writing MPS: generated names, the objective styles of maximisation models,
// the fixed-width number text, the bound decisions, sets, quadratic terms,
// cones, indicators and pool objectives, each read back by the reader.
#include "mps_test_util.hpp"

using namespace tvtest;

namespace {

// A loaded model of three rows and columns, without names.
struct Built {
  EnvHandle env;
  ModelHandle model{env};
  Built(int sense, std::vector<double> c, std::vector<double> lower, std::vector<double> upper,
        std::string types = "") {
    const std::vector<double> b{1, 2, 3};
    const std::vector<int> start{0, 2, 3, 4}, rows{0, 1, 1, 2};
    const std::vector<double> values{1, 2, 3, 4};
    EXPECT_EQ(TVloadLPData(model, 3, 3, sense, 0, c.data(), b.data(), "LGE", 4, start.data(), nullptr, values.data(),
                           rows.data(), lower.data(), upper.data()),
              0);
    if (!types.empty()) {
      EXPECT_EQ(TVloadVarType(model, types.data()), 0);
    }
  }
  operator pTVmodel() const { return model; }
};

std::string written(pTVmodel model, int format) {
  const std::string path = temp_path("written.mps");
  EXPECT_EQ(TVwriteMPSFile(model, path.c_str(), format), 0);
  std::string text = read_file(path);
  std::remove(path.c_str());
  return text;
}

bool has(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

TEST(MpsWriter, GeneratedNamesFollowTheColumnType) {
  Built m(TV_MIN, {1, 0, 0}, {0, 0, 0}, {1e30, 1e30, 1}, "CIB");
  const std::string text = written(m, 0);
  EXPECT_TRUE(has(text, "NAME           NO_TITLE\n")) << text;
  EXPECT_TRUE(has(text, " N  OBJ\n L  R0000000\n G  R0000001\n E  R0000002\n")) << text;
  EXPECT_TRUE(has(text, "    C0000000  R0000000  1\n"));
  EXPECT_TRUE(has(text, "    I0000001  R0000001  3\n"));
  EXPECT_TRUE(has(text, "    B0000002  R0000002  4\n"));
  EXPECT_TRUE(has(text, "    INT0000B  'MARKER'                 'INTORG'\n    I0000001"));
  EXPECT_TRUE(has(text, "    INT0000E  'MARKER'                 'INTEND'\n"));
}

TEST(MpsWriter, MaximisationStyles) {
  Built m(TV_MAX, {3, -1, 0}, {0, 0, 0}, {1e30, 1e30, 1e30});
  // Default style 2: signs flipped and a remark; read back as minimisation.
  std::string text = written(m, 0);
  EXPECT_TRUE(has(text, "* The objective coefficients have flipped signs. \n")) << text;
  EXPECT_TRUE(has(text, "    C0000000  OBJ  -3\n"));
  const std::string path = temp_path("styles.mps");
  ASSERT_EQ(TVwriteMPSFile(m, path.c_str(), 0), 0);
  MpsModel back;
  ASSERT_EQ(back.read_file(path, 0), 0);
  EXPECT_EQ(picture(back).sense, TV_MIN);
  EXPECT_EQ(picture(back).c, (std::vector<double>{-3, 1, 0}));

  // Style 1: an OBJSENSE card that the reader honours.
  ASSERT_EQ(TVsetModelIntParameter(m, TV_IPARAM_MPS_OBJ_WRITESTYLE, 1), 0);
  text = written(m, 0);
  EXPECT_TRUE(has(text, "* cause the model to be treated as a minimization model.\n"));
  EXPECT_TRUE(has(text, "OBJSENSE\n    MAX\nROWS\n"));
  ASSERT_EQ(TVwriteMPSFile(m, path.c_str(), 1), 0);
  MpsModel card;
  ASSERT_EQ(card.read_file(path, 1), 0);
  EXPECT_EQ(picture(card).sense, TV_MAX);
  EXPECT_EQ(picture(card).c, (std::vector<double>{3, -1, 0}));

  // Style 0: the card is there but commented out.
  ASSERT_EQ(TVsetModelIntParameter(m, TV_IPARAM_MPS_OBJ_WRITESTYLE, 0), 0);
  text = written(m, 0);
  EXPECT_TRUE(has(text, "*OBJSENSE     \n*    MAX      \n"));
  EXPECT_TRUE(has(text, "    C0000000  OBJ  3\n"));
  std::remove(path.c_str());
}

TEST(MpsWriter, FixedWidthNumbers) {
  Built m(TV_MIN, {0.001, 1.0 / 3, 123456789012345.0}, {2.5, 0, -1e-101}, {1e30, 1e30, 1e30});
  const std::string text = written(m, 1);
  EXPECT_TRUE(has(text, "  1.0000000E-3\n")) << text;
  EXPECT_TRUE(has(text, "  0.3333333333\n"));
  EXPECT_TRUE(has(text, "  1.2345679E14\n"));
  EXPECT_TRUE(has(text, " LO BND1      C0000000           2.5\n"));
  EXPECT_TRUE(has(text, " LO BND1      C0000002  -1.0000E-101\n"));  // fewer digits rather than no text
  // Free format carries the digits needed to read back the same doubles.
  const std::string path = temp_path("numbers.mps");
  ASSERT_EQ(TVwriteMPSFile(m, path.c_str(), 0), 0);
  MpsModel back;
  ASSERT_EQ(back.read_file(path, 0), 0);
  EXPECT_EQ(picture(back).c, (std::vector<double>{0.001, 1.0 / 3, 123456789012345.0}));
  EXPECT_EQ(picture(back).lower[2], -1e-101);
  std::remove(path.c_str());
}

TEST(MpsWriter, BoundLines) {
  Built m(TV_MIN, {0, 0, 0}, {0, 5, -1e30}, {1e30, 5, 3}, "ICC");
  std::string text = written(m, 1);
  EXPECT_TRUE(has(text, " LO BND1      I0000000             0\n")) << text;
  EXPECT_TRUE(has(text, " FX BND1      C0000001             5\n"));
  EXPECT_TRUE(has(text, " MI BND1      C0000002\n UP BND1      C0000002             3\n"));
  Built plain(TV_MIN, {0, 0, 0}, {0, -1e30, 0}, {1e30, 1e30, 1}, "CCB");
  text = written(plain, 0);
  EXPECT_FALSE(has(text, "C0000000\n")) << text;  // default bounds write nothing
  EXPECT_TRUE(has(text, " FR BND1      C0000001\n"));
  EXPECT_TRUE(has(text, " BV BND1      B0000002\n"));
}

TEST(MpsWriter, SetMembersAreWrittenTogether) {
  Built m(TV_MIN, {1, 1, 1}, {0, 0, 0}, {1, 1, 1});
  const char types[] = {2};
  const int starts[] = {0, 2}, members[] = {2, 0};
  ASSERT_EQ(TVloadSETSData(m, 1, types, nullptr, starts, members), 0);
  const std::string text = written(m, 0);
  const size_t org = text.find(" S2 SET0001   'MARKER'                 'SOSORG'\n");
  ASSERT_NE(org, std::string::npos) << text;
  EXPECT_LT(text.find("    C0000002"), text.find("    C0000000"));  // in the set's member order
  EXPECT_LT(text.find("    C0000000"), text.find("    SET0001   'MARKER'                 'SOSEND'\n"));
  EXPECT_LT(text.find("'SOSEND'"), text.find("    C0000001"));

  const std::string path = temp_path("sets.mps");
  ASSERT_EQ(TVwriteMPSFile(m, path.c_str(), 0), 0);
  MpsModel back;
  ASSERT_EQ(back.read_file(path, 0), 0);
  char type = 0;
  int card = 0, size = 0, cols[2];
  ASSERT_EQ(TVgetSETSDatai(back, 0, &type, &card, &size, cols), 0);
  EXPECT_EQ(type, 2);
  ASSERT_EQ(size, 2);
  char name[64];
  ASSERT_EQ(TVgetVariableNamej(back, cols[0], name), 0);
  EXPECT_STREQ(name, "C0000002");
  std::remove(path.c_str());
}

TEST(MpsWriter, CardinalitySetsWriteNoMarkers) {
  Built m(TV_MIN, {1, 1, 1}, {0, 0, 0}, {1, 1, 1});
  const char types[] = {4};
  const int card[] = {1}, starts[] = {0, 2}, members[] = {2, 0};
  ASSERT_EQ(TVloadSETSData(m, 1, types, card, starts, members), 0);
  const std::string text = written(m, 0);
  EXPECT_FALSE(has(text, "'SOS")) << text;
  EXPECT_LT(text.find("    C0000000"), text.find("    C0000002"));
}

// Quadratic terms, cones and indicators written and read back in free format.
TEST(MpsWriter, SpecialDataReadsBack) {
  MpsModel src;
  const std::string cols =
      "NAME Q\nROWS\n N obj\n L r1\n G r2\nCOLUMNS\n M 'MARKER' 'INTORG'\n b r1 1\n M 'MARKER' 'INTEND'\n"
      " x obj 1 r1 1\n y r2 1\n s r2 1\nRHS\n rhs r1 5\nBOUNDS\n UP bnd b 1\n SC bnd s 5\n LO bnd s 2\n"
      "INDICATORS\n IF r2 b 1\n"
      "QSECTION obj\n x x 2\n x y -1\nQSECTION r1\n y y 3\nENDATA\n";
  ASSERT_EQ(src.read_text(cols), 0) << src.error_line << src.error_text;
  const std::string path = temp_path("special.mps");
  ASSERT_EQ(TVwriteMPSFile(src, path.c_str(), 0), 0);
  MpsModel back;
  ASSERT_EQ(back.read_file(path, 0), 0) << back.error_line << ": " << back.error_text << "\n" << read_file(path);
  EXPECT_EQ(compare(picture(src), picture(back), 0), "");
  int rows[3], c1[3], c2[3];
  double v[3];
  ASSERT_EQ(TVgetQCData(back, rows, c1, c2, v), 0);
  EXPECT_EQ(std::vector<double>(v, v + 3), (std::vector<double>{2, -1, 3}));
  int nsc = 0, var = -1;
  double lo = 0, up = 0;
  ASSERT_EQ(TVgetSemiContData(back, &nsc, &var, &lo, &up), 0);
  EXPECT_EQ(nsc, 1);
  EXPECT_EQ(lo, 2);
  EXPECT_EQ(up, 5);

  MpsModel cones;
  ASSERT_EQ(cones.read_text("NAME\nROWS\n N obj\n L r\nCOLUMNS\n x r 1\n y r 1\n z r 1\nRHS\n"
                            "CSECTION k1 0 QUAD\n x\n y\nCSECTION k2 0.25 PPOW\n z\n u\n w\nENDATA\n"),
            2003);  // u and w are not columns
  ASSERT_EQ(cones.read_text("NAME\nROWS\n N obj\n L r\nCOLUMNS\n x r 1\n y r 1\n z r 1\n u r 1\n w r 1\nRHS\n"
                            "CSECTION k1 0 QUAD\n x\n y\nCSECTION k2 0.25 PPOW\n z\n u\n w\nENDATA\n"),
            0);
  ASSERT_EQ(TVwriteMPSFile(cones, path.c_str(), 0), 0);
  const std::string text = read_file(path);
  EXPECT_TRUE(has(text, "CSECTION            k2   0.25  PPOW\n    z \n")) << text;
  MpsModel cones_back;
  ASSERT_EQ(cones_back.read_file(path, 0), 0) << cones_back.error_text;
  char type = 0;
  double alpha = 0;
  int nnz = 0, members[3];
  ASSERT_EQ(TVgetConeDatai(cones_back, 1, &type, &alpha, &nnz, members), 0);
  EXPECT_EQ(type, 'P');
  EXPECT_EQ(alpha, 0.25);
  EXPECT_EQ(nnz, 3);
  std::remove(path.c_str());
}

TEST(MpsWriter, PoolObjectivesBecomeFreeRowsAndReadBack) {
  MpsModel src;
  ASSERT_EQ(src.read_text("NAME\nROWS\n N o1 2 1 0.5 0.1\n N o2 1 3 0 0.2 -1\n L r\nCOLUMNS\n x o1 1 o2 4\n"
                          " x r 1\n y o2 5 r 1\nRHS\nENDATA\n"),
            0);
  for (int format : {0, 1}) {
    const std::string path = temp_path("pool.mps");
    ASSERT_EQ(TVwriteMPSFile(src, path.c_str(), format), 0);
    const std::string text = read_file(path);
    EXPECT_TRUE(has(text, format ? " N  OBJ1    " : " N  OBJ1      1 3.000000e+00")) << text;
    MpsModel back;
    ASSERT_EQ(back.read_file(path, format), 0) << back.error_text << "\n" << text;
    EXPECT_EQ(compare(picture(src), picture(back), 0), "") << text;
    double v = 0;
    ASSERT_EQ(TVgetObjPoolParam(back, 1, TV_DINFO_OBJWEIGHT, &v), 0);
    EXPECT_EQ(v, 3);
    ASSERT_EQ(TVgetObjPoolParam(back, 1, TV_DINFO_OBJRELTOL, &v), 0);
    EXPECT_EQ(v, 0.2);
    std::remove(path.c_str());
  }
  EXPECT_CONSISTENT(src);
}

TEST(MpsWriter, WritingChangesNothingInTheModel) {
  MpsModel src;
  ASSERT_EQ(src.read_text("NAME\nROWS\n N o1 2\n N o2 1\n L r\nCOLUMNS\n x o1 1 o2 4\n x r 1\nRHS\nENDATA\n"), 0);
  const double x[] = {1.0};
  ASSERT_EQ(TVloadPrimalSolution(src, TV_STATUS_FEASIBLE, x), 0);
  const Picture before = picture(src);
  const std::string path = temp_path("unchanged.mps");
  ASSERT_EQ(TVwriteMPSFile(src, path.c_str(), 0), 0);
  std::remove(path.c_str());
  EXPECT_EQ(compare(before, picture(src), 0), "");
  int status = 0;
  ASSERT_EQ(TVgetSolutionStatus(src, &status), 0);
  EXPECT_EQ(status, TV_STATUS_FEASIBLE);  // the solution survives a write
}

TEST(MpsWriter, FailureCodes) {
  EnvHandle env;
  ModelHandle empty(env);
  EXPECT_EQ(TVwriteMPSFile(nullptr, "x.mps", 0), 2010);
  EXPECT_EQ(TVwriteMPSFile(empty, nullptr, 0), 2010);
  EXPECT_EQ(TVwriteMPSFile(empty, temp_path("never.mps").c_str(), 0), 2009);
  Built m(TV_MIN, {1, 0, 0}, {0, 0, 0}, {1, 1, 1});
  EXPECT_EQ(TVwriteMPSFile(m, "/nonexistent/dir/x.mps", 0), 2002);
}

}  // namespace
