// Reading MPS files section by section: what each section puts into the
// model, the choices of the objective among N rows, the layouts and formats,
// and the codes and file-error records of malformed sections.
#include <cmath>

#include "mps_test_util.hpp"

using namespace tvtest;

namespace {

// One data line in the fixed columns: fields at columns 2, 5, 15, 25, 40, 50.
std::string fixed_line(const std::string &f1, const std::string &f2, const std::string &f3 = "",
                       const std::string &f4 = "", const std::string &f5 = "", const std::string &f6 = "") {
  char buf[128];
  std::snprintf(buf, sizeof buf, " %-2s %-8s  %-8s  %12s   %-8s  %12s", f1.c_str(), f2.c_str(), f3.c_str(),
                f4.c_str(), f5.c_str(), f6.c_str());
  std::string s = buf;
  s.erase(s.find_last_not_of(' ') + 1);
  return s + "\n";
}

const std::string kSmall = "NAME          SMALL\nROWS\n N  COST\n L  LIM1\n G  LIM2\n E  MYEQN\nCOLUMNS\n" +
                           fixed_line("", "X1", "COST", "1.0", "LIM1", "1.0") + fixed_line("", "X1", "LIM2", "1.0") +
                           fixed_line("", "X2", "COST", "2.0", "LIM1", "1.0") +
                           fixed_line("", "X2", "MYEQN", "-1.0") + fixed_line("", "X3", "COST", "-1.0", "MYEQN", "1.0") +
                           "RHS\n" + fixed_line("", "RHS", "LIM1", "4.0", "LIM2", "1.0") +
                           fixed_line("", "RHS", "MYEQN", "7.0") + "BOUNDS\n" + fixed_line("UP", "BND", "X1", "4.0") +
                           fixed_line("LO", "BND", "X2", "-1.0") + fixed_line("UP", "BND", "X2", "1.0") + "ENDATA\n";

// A model with the sections that follow COLUMNS replaced.
std::string with_sections(const std::string &columns, const std::string &rest, const std::string &rows = "") {
  return "NAME T\nROWS\n N obj\n L r1\n G r2\n E r3\n" + rows + "COLUMNS\n" + columns + "RHS\n" + rest + "ENDATA\n";
}

double lower_of(pTVmodel m, int j) {
  double v = -7;
  EXPECT_EQ(TVgetLowerBoundj(m, j, &v), 0);
  return v;
}

TEST(MpsReader, ReadsRowsColumnsRhsBoundsAndNamesInBothLayouts) {
  for (int format : {0, 1}) {
    MpsModel mps;
    ASSERT_EQ(mps.read_text(kSmall, format), 0) << mps.error_text;
    EXPECT_CONSISTENT(mps);
    const Picture p = picture(mps);
    EXPECT_EQ(p.m, 3);
    EXPECT_EQ(p.n, 3);
    EXPECT_EQ(p.nz, 5);
    EXPECT_EQ(p.sense, TV_MIN);
    EXPECT_EQ(p.ctype, "LGE");
    EXPECT_EQ(p.c, (std::vector<double>{1, 2, -1}));
    EXPECT_EQ(p.b, (std::vector<double>{4, 1, 7}));
    EXPECT_EQ(p.lower, (std::vector<double>{0, -1, 0}));
    EXPECT_EQ(p.upper, (std::vector<double>{4, 1, 1e30}));
    EXPECT_EQ(p.rows, (std::vector<int>{0, 1, 0, 2, 2}));
    EXPECT_EQ(p.values, (std::vector<double>{1, 1, 1, -1, 1}));
    EXPECT_EQ(p.rownames, (std::vector<std::string>{"LIM1", "LIM2", "MYEQN"}));
    EXPECT_EQ(p.colnames, (std::vector<std::string>{"X1", "X2", "X3"}));
    EXPECT_EQ(p.title, "SMALL");
    EXPECT_EQ(p.objname, "COST");
    EXPECT_NE(mps.log.find(format ? "in MPS format (formatted)" : "in MPS format (unformatted)"),
              std::string::npos);
    EXPECT_NE(mps.log.find("\nProcessed 20 lines in MPS format"), std::string::npos) << mps.log;
  }
}

TEST(MpsReader, FixedLayoutKeepsBlanksInsideNames) {
  const std::string text = "NAME          BLANKS\nROWS\n N  OBJ\n L  ROW 1\nCOLUMNS\n" +
                           fixed_line("", "COL A", "OBJ", "1.", "ROW 1", "2.") + "RHS\n" +
                           fixed_line("", "RHS 1", "ROW 1", "3.") + "ENDATA\n";
  MpsModel fixed;
  ASSERT_EQ(fixed.read_text(text, 1), 0);
  const Picture p = picture(fixed);
  EXPECT_EQ(p.rownames, (std::vector<std::string>{"ROW 1"}));
  EXPECT_EQ(p.colnames, (std::vector<std::string>{"COL A"}));
  EXPECT_EQ(p.b, (std::vector<double>{3}));
  MpsModel free_layout;
  EXPECT_EQ(free_layout.read_text(text, 0), 2003);  // the blank splits the names
  EXPECT_EQ(free_layout.error_line, 6u);
  EXPECT_CONSISTENT(free_layout);
}

TEST(MpsReader, FixedModelNames) {
  for (const auto &[line, title] : {std::pair<std::string, std::string>{"NAME          PP08ACUTS", "PP08ACUTS"},
                                    {"NAME          PILOT    (PILOTS) PILOT VERSION", "PILOT"},
                                    {"NAME", ""}}) {
    MpsModel mps;
    ASSERT_EQ(mps.read_text(line + "\nROWS\n N  o\nCOLUMNS\nRHS\nENDATA\n", 1), 0) << line;
    EXPECT_EQ(picture(mps).title, title);
  }
}

TEST(MpsReader, ChoosesTheObjectiveAmongNRowsAndKeepsOrDropsTheOthers) {
  const std::string text = with_sections(" x obj 1 other 5\n x r1 1\n y other 2 r2 1\n",
                                         " rhs other 9 r1 3\n", " N other\n");
  {
    MpsModel mps;  // first N row is the objective, the second is dropped with its entries
    ASSERT_EQ(mps.read_text(text), 0);
    const Picture p = picture(mps);
    EXPECT_EQ(p.m, 3);
    EXPECT_EQ(p.nz, 2);
    EXPECT_EQ(p.c, (std::vector<double>{1, 0}));
    EXPECT_EQ(p.b, (std::vector<double>{3, 0, 0}));
  }
  {
    MpsModel mps;  // the second N row as objective
    ASSERT_EQ(mps.read_text(text, 0, 1, 0), 0);
    const Picture p = picture(mps);
    EXPECT_EQ(p.c, (std::vector<double>{5, 2}));
    EXPECT_EQ(p.objname, "other");
    EXPECT_EQ(p.m, 3);
  }
  {
    MpsModel mps;  // ... and the first one kept as a free row
    ASSERT_EQ(mps.read_text(text, 0, 1, 1), 0);
    EXPECT_CONSISTENT(mps);
    const Picture p = picture(mps);
    EXPECT_EQ(p.ctype, "NLGE");
    EXPECT_EQ(p.rownames[0], "obj");
    EXPECT_EQ(p.c, (std::vector<double>{5, 2}));
    EXPECT_EQ(p.nz, 3);
  }
}

TEST(MpsReader, RhsOnTheObjectiveIsTheNegatedConstant) {
  MpsModel mps;
  ASSERT_EQ(mps.read_text(with_sections(" x obj 1 r1 1\n", " rhs obj 5\n")), 0);
  EXPECT_EQ(picture(mps).constant, -5);
  EXPECT_NE(mps.log.find("constant term of -5"), std::string::npos) << mps.log;
}

TEST(MpsReader, ColumnEntriesKeepTheFirstOfRepeatedRowsAndNeedContiguousLines) {
  MpsModel mps;
  ASSERT_EQ(mps.read_text(with_sections(" x r1 1 r1 4\n x r2 2\n x r1 9\n", "")), 0);
  const Picture p = picture(mps);
  EXPECT_EQ(p.nz, 2);
  EXPECT_EQ(p.values, (std::vector<double>{1, 2}));

  MpsModel split;
  EXPECT_EQ(split.read_text(with_sections(" x r1 1\n y r2 2\n x r3 3\n", "")), 2003);
  EXPECT_EQ(split.error_line, 10u);
  EXPECT_EQ(split.error_text, " x r3 3");
  EXPECT_CONSISTENT(split);
}

TEST(MpsReader, BoundTypes) {
  const std::string text = with_sections(
      " a r1 1\n b r1 1\n c r1 1\n d r1 1\n e r1 1\n f r1 1\n g r1 1\n h r1 1\n i r1 1\n",
      "BOUNDS\n UP BND a 1e29\n LI BND b 2.5\n UI BND c 2.5\n FR BND d\n MI BND e\n UP BND e 3\n"
      " FX BND f 4.5\n BV BND g\n SC BND h 0\n LO BND i -2\n PL BND i\n UP BND new 6\n");
  MpsModel mps;
  ASSERT_EQ(mps.read_text(text), 0) << mps.error_text;
  EXPECT_CONSISTENT(mps);
  const Picture p = picture(mps);
  ASSERT_EQ(p.n, 10);  // "new" appears only in BOUNDS
  EXPECT_EQ(p.upper[0], 1e30);
  EXPECT_EQ(p.lower[1], 2);
  EXPECT_EQ(p.upper[2], 3);
  EXPECT_EQ(p.vtype.substr(0, 3), "CII");
  EXPECT_EQ(p.lower[3], -1e30);
  EXPECT_EQ(p.upper[3], 1e30);
  EXPECT_EQ(p.lower[4], -1e30);
  EXPECT_EQ(p.upper[4], 3);
  EXPECT_EQ(p.lower[5], 4.5);
  EXPECT_EQ(p.upper[5], 4.5);
  EXPECT_EQ(p.vtype[6], 'B');
  EXPECT_EQ(p.lower[7], 0);  // SC 0 fixes the column at zero
  EXPECT_EQ(p.upper[7], 0);
  EXPECT_EQ(p.lower[8], -2);
  EXPECT_EQ(p.upper[8], 1e30);
  EXPECT_EQ(p.colnames[9], "new");
  EXPECT_EQ(p.upper[9], 6);
  EXPECT_EQ(p.lengths[9], 0);
}

TEST(MpsReader, SemicontinuousBounds) {
  MpsModel mps;
  ASSERT_EQ(mps.read_text(with_sections(" x r1 1\n y r1 1\n", "BOUNDS\n SC BND x 5\n LO BND x 2\n")), 0);
  int count = 0, var = -1;
  double lo = 0, up = 0;
  ASSERT_EQ(TVgetSemiContData(mps, &count, &var, &lo, &up), 0);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(var, 0);
  EXPECT_EQ(lo, 2);
  EXPECT_EQ(up, 5);
  EXPECT_EQ(lower_of(mps, 0), 0);

  for (const char *bad : {"BOUNDS\n SC BND x -1\n", "BOUNDS\n SC BND x 5\n UP BND x 3\n",
                          "BOUNDS\n SC BND x 5\n LO BND x -1\n"}) {
    MpsModel m;
    EXPECT_EQ(m.read_text(with_sections(" x r1 1\n", bad)), 2003) << bad;
  }
}

TEST(MpsReader, IntegerMarkersAndTheBinaryFormats) {
  const std::string text = with_sections(
      " M1 'MARKER' 'INTORG'\n z r1 1\n w r1 1\n M2 'MARKER' 'INTEND'\n c r1 1\n", "BOUNDS\n UP BND w 5\n");
  MpsModel plain;
  ASSERT_EQ(plain.read_text(text, 0), 0);
  Picture p = picture(plain);
  EXPECT_EQ(p.vtype, "IIC");
  EXPECT_EQ(p.upper[0], 1e30);

  MpsModel binary;  // format 2: an integer column without bounds is binary
  ASSERT_EQ(binary.read_text(text, 2), 0);
  p = picture(binary);
  EXPECT_EQ(p.vtype, "BIC");
  EXPECT_EQ(p.upper[0], 1);
  EXPECT_EQ(p.upper[1], 5);
  EXPECT_CONSISTENT(binary);
}

TEST(MpsReader, RangesBecomeSlackColumns) {
  const std::string text = with_sections(" x r1 1 r2 1\n x r3 1\n", " rhs r2 4 r3 1\nRANGES\n rng r2 3\n rng r3 0\n");
  MpsModel mps;
  ASSERT_EQ(mps.read_text(text), 0);
  EXPECT_CONSISTENT(mps);
  Picture p = picture(mps);
  ASSERT_EQ(p.n, 2);  // one slack: r3 is an E row with range 0
  EXPECT_EQ(p.ctype, "LEE");
  EXPECT_EQ(p.colnames[1], "slk00000");
  EXPECT_EQ(p.rows.back(), 1);
  EXPECT_EQ(p.values.back(), -1);
  EXPECT_EQ(p.lower[1], 0);
  EXPECT_EQ(p.upper[1], 3);

  // Signs and bounds of the other cases: L rows and E rows with a negative range.
  MpsModel more;
  ASSERT_EQ(more.read_text(with_sections(" x r1 1 r3 1\n", " rhs r1 4\nRANGES\n rng r1 -2 r3 -5\n")), 0);
  p = picture(more);
  ASSERT_EQ(p.n, 3);
  EXPECT_EQ(p.ctype, "EGE");
  EXPECT_EQ(p.values[2], 1);
  EXPECT_EQ(p.upper[1], 2);
  EXPECT_EQ(p.values[3], 1);
  EXPECT_EQ(p.upper[2], 5);
  EXPECT_EQ(p.colnames[2], "slk00001");
}

TEST(MpsReader, SlackNamesSkipTheModelsOwnColumns) {
  // A model written after its ranges were read carries slack columns; read
  // again with one more range, the new slack must not repeat their names.
  MpsModel mps;
  ASSERT_EQ(mps.read_text(with_sections(" slk00000 r1 1\n slk00002 r2 1\n x r1 1 r2 1\n",
                                        " rhs r1 4 r2 1\nRANGES\n rng r1 2 r2 3\n")),
            0);
  EXPECT_CONSISTENT(mps);
  const Picture p = picture(mps);
  ASSERT_EQ(p.n, 5);
  EXPECT_EQ(p.colnames[3], "slk00001");
  EXPECT_EQ(p.colnames[4], "slk00003");
  for (const char *name : {"slk00000", "slk00001", "slk00002", "slk00003"}) {
    int j = -1;
    ASSERT_EQ(TVgetVariableIndex(mps.model, name, &j), 0) << name;
    EXPECT_EQ(p.colnames[j], name);
  }
}

TEST(MpsReader, OnlyTheFirstSetOfRhsRangesAndBoundsIsRead) {
  MpsModel mps;
  ASSERT_EQ(mps.read_text(with_sections(" x r1 1\n",
                                        " A r1 1\n B r1 2\nBOUNDS\n UP B1 x 3\n UP B2 x 7\n")),
            0);
  const Picture p = picture(mps);
  EXPECT_EQ(p.b[0], 1);
  EXPECT_EQ(p.upper[0], 3);
}

TEST(MpsReader, ObjectiveSense) {
  MpsModel mps;
  ASSERT_EQ(mps.read_text("NAME\nOBJSENSE\n    MAX\nROWS\n N o\n L r\nCOLUMNS\n x o 1 r 1\nRHS\nENDATA\n"), 0);
  EXPECT_EQ(picture(mps).sense, TV_MAX);
  MpsModel no_sense;
  EXPECT_EQ(no_sense.read_text("NAME\nOBJSENSE\nROWS\n N o\nCOLUMNS\n x o 1\nRHS\nENDATA\n"), 2003);
}

TEST(MpsReader, NumbersInEveryAcceptedSpelling) {
  MpsModel mps;
  ASSERT_EQ(mps.read_text(with_sections(" x r1 1.5D2 r2 +.25\n y r1 -3E-1 r2 7.\n", "")), 0);
  EXPECT_EQ(picture(mps).values, (std::vector<double>{150, 0.25, -0.3, 7}));
}

TEST(MpsReader, CompressedFilesByTheirNameInEitherCase) {
  for (const char *leaf : {"small.mps.gz", "small.mps.GZ"}) {
    const std::string path = temp_path(leaf);
    write_gz(path, kSmall);
    MpsModel mps;
    EXPECT_EQ(mps.read_file(path, 1), 0) << leaf;
    EXPECT_EQ(picture(mps).nz, 5);
    std::remove(path.c_str());
  }
}

TEST(MpsReader, SectionOrder) {
  MpsModel bounds_first;  // BOUNDS needs an RHS header before it
  EXPECT_EQ(bounds_first.read_text("NAME\nROWS\n N o\nCOLUMNS\n x o 1\nBOUNDS\n UP B x 1\nENDATA\n"), 2003);
  EXPECT_EQ(bounds_first.error_line, 6u);
  MpsModel no_end;
  EXPECT_EQ(no_end.read_text("NAME\nROWS\n N o\nCOLUMNS\n x o 1\nRHS\n"), 2003);
  MpsModel data_in_name;
  EXPECT_EQ(data_in_name.read_text("NAME\n x y\nROWS\n"), 2003);
  MpsModel after_end;  // whatever follows ENDATA is not read
  EXPECT_EQ(after_end.read_text("NAME\nROWS\n N o\nCOLUMNS\n x o 1\nRHS\nENDATA\nIMPORTANCES\n x 2\n"), 0);
  MpsModel ranges_skip;  // RANGES skips what it does not know
  EXPECT_EQ(ranges_skip.read_text(with_sections(" x r1 1\n", "RANGES\nSOMETHING\n lonely\nBOUNDS\n")), 0);
}

TEST(MpsReader, SpecialOrderedSets) {
  const std::string columns =
      " S1 SOS 'MARKER' 'SOSORG'\n a r1 1\n b r1 1\n SOS 'MARKER' 'SOSEND'\n"
      " S2 SOS 'MARKER' 'SOSORG'\n c r1 1\n d r1 1\n SOS 'MARKER' 'SOSEND'\n"
      " SOS 'MARKER' 'SOSORG'\n e r1 1\n SOS 'MARKER' 'SOSEND'\n f r1 1\n";
  for (int format : {0, 2}) {
    MpsModel mps;
    ASSERT_EQ(mps.read_text(with_sections(columns, ""), format), 0);
    EXPECT_CONSISTENT(mps);
    int nsets = 0, total = 0;
    char types[4] = {};
    int card[4], sizes[4], starts[5], cols[8];
    ASSERT_EQ(TVgetSETSData(mps, &nsets, &total, types, card, sizes, starts, cols), 0);
    EXPECT_EQ(nsets, 3);
    EXPECT_EQ(total, 5);
    EXPECT_EQ(types[0], 1);
    EXPECT_EQ(types[1], 2);
    EXPECT_EQ(types[2], format == 0 ? 3 : 1);  // an unlabelled set: SOS3, or SOS1 in formats 2 and 3
    EXPECT_EQ(std::vector<int>(cols, cols + 5), (std::vector<int>{0, 1, 2, 3, 4}));
  }
  MpsModel bad;
  EXPECT_EQ(bad.read_text(with_sections(" S1 SOS 'MARKER' 'INTORG'\n a r1 1\n", "")), 2003);
}

TEST(MpsReader, QuadraticSections) {
  const std::string text = with_sections(" x obj 1 r1 1\n y r1 1\n",
                                         "QSECTION obj\n y x 2\n x x 4\nQSECTION r1\n x q 1\n");
  MpsModel mps;
  ASSERT_EQ(mps.read_text(text), 0) << mps.error_text;
  EXPECT_CONSISTENT(mps);
  int n = 0, nq = 0;
  ASSERT_EQ(TVgetDimensions(mps, &n, nullptr, nullptr, nullptr, &nq, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr),
            0);
  EXPECT_EQ(n, 3);  // "q" becomes a column
  ASSERT_EQ(nq, 3);
  int rows[3], c1[3], c2[3];
  double v[3];
  ASSERT_EQ(TVgetQCData(mps, rows, c1, c2, v), 0);
  EXPECT_EQ(std::vector<int>(rows, rows + 3), (std::vector<int>{-1, -1, 0}));
  EXPECT_EQ(std::vector<int>(c1, c1 + 3), (std::vector<int>{0, 0, 0}));  // smaller index first
  EXPECT_EQ(std::vector<int>(c2, c2 + 3), (std::vector<int>{1, 0, 2}));

  MpsModel qmatrix;
  ASSERT_EQ(qmatrix.read_text(with_sections(" x obj 1 r1 1\n", "QMATRIX r1\n x x 2\n")), 0);
  EXPECT_NE(qmatrix.log.find("Warning: ignoring QMATRIX row name 'r1'"), std::string::npos);

  MpsModel twice;  // the quadratic sections come in one run
  EXPECT_EQ(twice.read_text(with_sections(" x r1 1\n", "QUADOBJ\n x x 1\nBOUNDS\nQUADOBJ\n x x 1\n")), 2003);
  MpsModel unknown_row;
  EXPECT_EQ(unknown_row.read_text(with_sections(" x r1 1\n", "QSECTION nowhere\n x x 1\n")), 2003);
}

TEST(MpsReader, ConeSections) {
  const std::string text = with_sections(" x r1 1\n y r1 1\n z r1 1\n u r1 1\n",
                                         "CSECTION k1 0 QUAD\n x\n y\nCSECTION k2 0.5 RQUAD\n z\n u\n");
  MpsModel mps;
  ASSERT_EQ(mps.read_text(text), 0) << mps.error_text;
  EXPECT_CONSISTENT(mps);
  char type = 0;
  double alpha = -1;
  int nnz = 0, cols[4];
  ASSERT_EQ(TVgetConeDatai(mps, 1, &type, &alpha, &nnz, cols), 0);
  EXPECT_EQ(type, 'R');
  EXPECT_EQ(nnz, 2);
  EXPECT_EQ(cols[0], 2);
  char name[64];
  ASSERT_EQ(TVgetConeNamei(mps, 0, name), 0);
  EXPECT_STREQ(name, "k1");

  for (const char *bad : {"CSECTION k1 0 QUAD\n x\nCSECTION k2 0 RQUAD\n y\n",  // rotated cone of one
                          "CSECTION k1 0 QUAD\n x\nCSECTION k2 0 QUAD\n x\n",    // a column in two cones
                          "CSECTION k1 0 QUAD\n x\nCSECTION k1 0 QUAD\n y\n",    // a repeated name
                          "CSECTION k1 0 CUBE\n x\n", "CSECTION k1 a PPOW\n x\n y\n z\n",
                          "CSECTION k1 0 QUAD\n nobody\n"}) {
    MpsModel m;
    EXPECT_EQ(m.read_text(with_sections(" x r1 1\n y r1 1\n z r1 1\n", bad)), 2003) << bad;
    EXPECT_CONSISTENT(m);
  }
  MpsModel fixed;  // a cone header needs four fields, which only the free layout has
  EXPECT_EQ(fixed.read_text(text, 1), 2003);
}

TEST(MpsReader, IndicatorSection) {
  const std::string cols = " M 'MARKER' 'INTORG'\n b r1 1\n M 'MARKER' 'INTEND'\n x r1 1 r2 1\n";
  MpsModel mps;
  ASSERT_EQ(mps.read_text(with_sections(cols, "BOUNDS\n UP BND b 1\nINDICATORS\n IF r2 b 1\n")), 0)
      << mps.error_text;
  EXPECT_CONSISTENT(mps);
  const std::string path = temp_path("ind.mps");
  ASSERT_EQ(TVwriteMPSFile(mps, path.c_str(), 0), 0);
  EXPECT_NE(read_file(path).find("INDICATORS\n IF r2  b  1\n"), std::string::npos) << read_file(path);
  std::remove(path.c_str());

  const std::pair<const char *, int> cases[] = {
      {" IF r2 b\n", 2003},  {" IF r2 b 2\n", 2003}, {" IF nobody b 1\n", 2052},
      {" IF r2 zz 1\n", 2049}, {" IF r2 b 1\n IF r2 b 0\n", 2032}};
  for (const auto &c : cases) {
    MpsModel m;
    EXPECT_EQ(m.read_text(with_sections(cols, std::string("BOUNDS\n UP BND b 1\nINDICATORS\n") + c.first)),
              c.second)
        << c.first;
    EXPECT_CONSISTENT(m);
  }
}

TEST(MpsReader, FixedIndicatorLinesNameWhatIsMissing) {
  const std::string head = "NAME\nROWS\n N  o\n L  r\nCOLUMNS\n" + fixed_line("", "b", "r", "1") +
                           "RHS\nBOUNDS\n" + fixed_line("BV", "BND", "b") + "INDICATORS\n";
  MpsModel no_value, no_row;
  EXPECT_EQ(no_value.read_text(head + fixed_line("IF", "r", "b") + "ENDATA\n", 1), 2068);
  EXPECT_EQ(no_value.error_line, 11u);
  EXPECT_EQ(no_row.read_text(head + fixed_line("IF", "", "b", "1") + "ENDATA\n", 1), 2069);
  MpsModel fine;
  EXPECT_EQ(fine.read_text(head + fixed_line("IF", "r", "b", "0") + "ENDATA\n", 1), 0) << fine.error_text;
}

TEST(MpsReader, PoolObjectivesFromNRowsWithPriorities) {
  const std::string text =
      "NAME\nROWS\n N o1 2 1 0.5 0.1\n N o2 1 3 0 0.2 -1\n L r\nCOLUMNS\n x o1 1 o2 4\n x r 1\n y o2 5 r 1\n"
      "RHS\nENDATA\n";
  MpsModel mps;
  ASSERT_EQ(mps.read_text(text), 0) << mps.error_text;
  EXPECT_CONSISTENT(mps);
  double v = 0;
  ASSERT_EQ(TVgetObjPoolParam(mps, 0, TV_IINFO_OBJRANK, &v), 0);
  EXPECT_EQ(v, 2);
  ASSERT_EQ(TVgetObjPoolParam(mps, 0, TV_DINFO_OBJABSTOL, &v), 0);
  EXPECT_EQ(v, 0.5);
  ASSERT_EQ(TVgetObjPoolParam(mps, 1, TV_IINFO_OBJRANK, &v), 0);
  EXPECT_EQ(v, 1);
  ASSERT_EQ(TVgetObjPoolParam(mps, 1, TV_DINFO_OBJWEIGHT, &v), 0);
  EXPECT_EQ(v, 3);
  ASSERT_EQ(TVgetObjPoolParam(mps, 1, TV_IINFO_OBJSENSE, &v), 0);
  EXPECT_EQ(v, -1);
  EXPECT_EQ(TVgetObjPoolParam(mps, 2, TV_IINFO_OBJRANK, &v), 2012);
}

TEST(MpsReader, RefusesLoadedModelsAndNullArguments) {
  MpsModel mps;
  ASSERT_EQ(mps.read_text(kSmall), 0);
  EXPECT_EQ(mps.read_text(kSmall), 2030);
  EXPECT_EQ(picture(mps).nz, 5);
  EXPECT_EQ(TVreadMPSFile(nullptr, "x.mps", 0), 2010);
  EXPECT_EQ(TVreadMPSFile(mps, nullptr, 0), 2010);
}

TEST(MpsReader, DetailedLogAtHighPrintLevels) {
  MpsModel mps;
  TVsetModelIntParameter(mps, TV_IPARAM_LP_PRINTLEVEL, 201);
  ASSERT_EQ(mps.read_text(kSmall, 1), 0);
  EXPECT_NE(mps.log.find("\nMPS Reader: Found 4 rows, 3 columns, 8 nonzs"), std::string::npos) << mps.log;
  EXPECT_NE(mps.log.find("\nline0000008: X1 COST 1.0 LIM1 1.0 "), std::string::npos) << mps.log;
  EXPECT_NE(mps.log.find("\nMPS Reader: Completed successfully"), std::string::npos);

  MpsModel failing;
  TVsetModelIntParameter(failing, TV_IPARAM_LP_PRINTLEVEL, 200);
  EXPECT_EQ(failing.read_text("NAME\nROWS\n N o\n"), 2003);
  EXPECT_NE(failing.log.find("ENDATA section missing."), std::string::npos);
  EXPECT_NE(failing.log.find("\nMPS Reader: There is an error in the input model file."), std::string::npos);
}

}  // namespace
