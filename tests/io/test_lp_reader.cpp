// LP-format reader: every section and keyword variant on hand-written files,
// the error codes and file-error record of bad text, and agreement with the
// MPS reader on the shared model sets written out as LP text.
#include <algorithm>

#include "lp_test_util.hpp"

using namespace tvtest;

namespace {

double lower_of(pTVmodel m, int j) {
  double lo = 0, up = 0;
  EXPECT_EQ(TVgetLPVariableDataj(m, j, nullptr, nullptr, &lo, &up, nullptr, nullptr, nullptr), 0);
  return lo;
}
double upper_of(pTVmodel m, int j) {
  double lo = 0, up = 0;
  EXPECT_EQ(TVgetLPVariableDataj(m, j, nullptr, nullptr, &lo, &up, nullptr, nullptr, nullptr), 0);
  return up;
}

// A failed read leaves the model empty: a valid text still loads into it.
bool stays_empty(pTVmodel model) {
  const char text[] = "min\n x\nst\n x >= 1\nend";
  return TVreadLPStream(model, text, sizeof text - 1) == 0;
}

TEST(LpReader, SmallMaximisationWithNamedRowBoundAndGeneral) {
  LpModel lp;
  ASSERT_EQ(lp.read("maximize\nobj: 3 x + 2 y\nsubject to\nc1: x + y <= 4\nbounds\nx <= 3\ngeneral\ny\nend\n"), 0)
      << lp.log;
  const Picture p = picture(lp);
  EXPECT_EQ(p.sense, TV_MAX);
  EXPECT_EQ(p.m, 1);
  EXPECT_EQ(p.n, 2);
  EXPECT_EQ(p.rownames, (std::vector<std::string>{"c1"}));
  EXPECT_EQ(p.colnames, (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(p.c, (std::vector<double>{3, 2}));
  EXPECT_EQ(p.ctype, "L");
  EXPECT_EQ(p.b[0], 4);
  EXPECT_EQ(p.upper[0], 3);
  EXPECT_EQ(p.vtype, "CI");
  EXPECT_EQ(p.objname, "obj");
  EXPECT_NE(lp.log.find("Processed"), std::string::npos);
  EXPECT_CONSISTENT(lp);
}

TEST(LpReader, KeywordsInAnyCaseAndEveryVariant) {
  const char *objective[] = {"MAX", "Maximize", "maximum", "min", "MINIMIZE", "Minimum"};
  const char *subject[] = {"subject to", "SUBJECT   TO", "subjectto", "st", "S.T.", "s. t.", "such that", "ST"};
  for (const char *o : objective)
    for (const char *s : subject) {
      LpModel lp;
      const std::string text = std::string(o) + "\n x\n" + s + "\n x >= 1\nEND";
      EXPECT_EQ(lp.read(text), 0) << text << lp.log;
      EXPECT_EQ(picture(lp).sense, o[1] == 'A' || o[1] == 'a' ? TV_MAX : TV_MIN) << text;
    }
  for (const char *kw : {"bin", "binary", "binaries", "BINARIES"}) {
    LpModel lp;
    ASSERT_EQ(lp.read(std::string("min\n x + y\nst\n x + y >= 1\nbounds\n y <= 7\n") + kw + "\n y\nend"), 0) << kw;
    const Picture p = picture(lp);
    EXPECT_EQ(p.vtype, "CB") << kw;
    EXPECT_EQ(p.upper[1], 1) << kw;
  }
  for (const char *kw : {"int", "integer", "integers", "gen", "general", "GENERALS"}) {
    LpModel lp;
    ASSERT_EQ(lp.read(std::string("min\n x + y\nst\n x + y >= 1\n") + kw + "\n x y\nend"), 0) << kw;
    EXPECT_EQ(picture(lp).vtype, "II") << kw;
  }
  // A word that merely begins with a keyword is a name.
  LpModel lp;
  ASSERT_EQ(lp.read("min\n maxi + endx\nst\n maxi + endx >= 1\nend"), 0) << lp.log;
  EXPECT_EQ(picture(lp).colnames, (std::vector<std::string>{"maxi", "endx"}));
}

TEST(LpReader, BoundForms) {
  LpModel lp;
  ASSERT_EQ(lp.read("min\n a + b + c + d + e + f + g\nst\n r: a + b + c + d + e + f + g >= -100\n"
                    "bounds\n a free\n -inf <= b <= 2\n 3 <= c\n 4 >= d\n e = 5\n -1 <= f <= +INF\n"
                    " g >= -Infinity\n g <= 1e30\n ghost <= 4\nend"),
            0)
      << lp.log;
  const Picture p = picture(lp);
  ASSERT_EQ(p.n, 7);  // the bound on an unknown variable is ignored
  const double inf = 1e30;
  EXPECT_EQ(p.lower, (std::vector<double>{-inf, -inf, 3, 0, 5, -1, -inf}));
  EXPECT_EQ(p.upper, (std::vector<double>{inf, 2, inf, 4, 5, inf, inf}));
}

TEST(LpReader, RangesConstantsAndMergedTerms) {
  LpModel lp;
  ASSERT_EQ(lp.read("\\ a comment line\nMinimize\n cost: 2 x - y + 7 \\ trailing comment\n - 2\n"
                    "Subject To\n rng: -2 <= x + y <= 4\n rev: 3 >= x\n hi: 10 >= y - x >= 1\n"
                    " c: x + 2 <= 5\n twice: x + 2 x - y - y = -6\n -x + y >= -1\nEnd"),
            0)
      << lp.log;
  const Picture p = picture(lp);
  EXPECT_EQ(p.constant, 5);
  ASSERT_EQ(p.m, 6);
  EXPECT_EQ(p.rownames[5], "R0000005");
  // Ranged rows become equations with a slack of the range's width.
  EXPECT_EQ(p.ctype, "ELELEG");
  EXPECT_EQ(p.b[0], 4);
  EXPECT_EQ(p.b[1], 3);
  EXPECT_EQ(p.b[2], 10);
  EXPECT_EQ(p.b[3], 3);
  EXPECT_EQ(p.b[4], -6);
  EXPECT_EQ(p.b[5], -1);
  ASSERT_EQ(p.n, 4);
  EXPECT_EQ(p.lower[2], 0);
  EXPECT_EQ(p.upper[2], 6);
  EXPECT_EQ(p.upper[3], 9);
  // The merged row "twice" has one entry per column: 3 x - 2 y.
  std::vector<double> row(p.n, 0);
  int entries = 0;
  for (int j = 0, q = 0; j < p.n; ++j)
    for (int k = 0; k < p.lengths[j]; ++k, ++q)
      if (p.rows[q] == 4) {
        row[j] += p.values[q];
        ++entries;
      }
  EXPECT_EQ(entries, 2);
  EXPECT_EQ(row[0], 3);
  EXPECT_EQ(row[1], -2);
  // min 2x - y + 5 with 3x - 2y = -6 leaves 0.5 x + 2: optimal at x = 0.
  int status = 0;
  ASSERT_EQ(TVoptimize(lp, TV_METHOD_FREE, &status), 0);
  EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  double obj = 0;
  TVgetInfo(lp, TV_DINFO_POBJ, &obj);
  EXPECT_NEAR(obj, 2, 1e-9);
}

TEST(LpReader, MultiLineExpressionsAndUnnamedRows) {
  LpModel lp;
  ASSERT_EQ(lp.read("min\n x1 + x2\n + x3\nst\n x1 + x2\n + x3 >= 1\n -x1 + x2 <= 2\n 2 x3\n >= 0.5\nend"), 0)
      << lp.log;
  const Picture p = picture(lp);
  EXPECT_EQ(p.m, 3);
  EXPECT_EQ(p.nz, 6);
  EXPECT_EQ(p.ctype, "GLG");
  EXPECT_EQ(p.rownames, (std::vector<std::string>{"R0000000", "R0000001", "R0000002"}));
}

TEST(LpReader, SosAndSemiContinuousSections) {
  LpModel lp;
  ASSERT_EQ(lp.read("min\n x + y + z + s\nst\n x + y + z + s >= 1\nbounds\n 2 <= s <= 8\n"
                    "semi-continuous\n s\nsos\n s1: S1:: z:3 x:1 y:2\n S2:: x:1 y:2\n s3: S3:: x:1\nend"),
            0)
      << lp.log;
  int nsets = 0, total = 0;
  ASSERT_EQ(TVgetSETSData(lp, &nsets, &total, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(nsets, 2);  // the unknown tag S3 is ignored
  EXPECT_EQ(total, 5);
  char type = 0;
  int nnz = 0, members[3] = {0};
  ASSERT_EQ(TVgetSETSDatai(lp, 0, &type, nullptr, &nnz, members), 0);
  EXPECT_EQ(type, 1);
  ASSERT_EQ(nnz, 3);
  EXPECT_EQ(members[0], 0);  // ordered by weight: x, y, z
  EXPECT_EQ(members[2], 2);
  int nsc = 0, sc_var = -1;
  double sc_lo = 0, sc_up = 0;
  ASSERT_EQ(TVgetSemiContData(lp, &nsc, &sc_var, &sc_lo, &sc_up), 0);
  EXPECT_EQ(nsc, 1);
  EXPECT_EQ(sc_var, 3);
  EXPECT_EQ(sc_lo, 2);
  EXPECT_EQ(sc_up, 8);
  EXPECT_EQ(lower_of(lp, 3), 0);
  EXPECT_EQ(upper_of(lp, 3), 8);
}

TEST(LpReader, BadTextGivesTheCodeAndTheLine) {
  struct Case {
    const char *text;
    int code;
    unsigned line;
  } cases[] = {
      {"min\n x\nst\n x >= 1\n", 2025, 4},                      // missing end
      {"min\n x\nst\n x >= 1\n frob x\nend", 2025, 5},         // stray words
      {"min\n x\nst\n x + + >= 1\nend", 2025, 4},              // dangling sign
      {"min\n x\nst\n x >= 1 2\nend", 2025, 5},                // a number left over: no relation follows
      {"min\n x\nst\n 2 3 x >= 1\nend", 2025, 4},              // two numbers in a term
      {"min\n x\nst\n x >= nan\nend", 2025, 4},                // NaN is no number
      {"min\n x\nst\n x >= 1e999\nend", 2025, 4},              // nor is an overflow
      {"min\n x\nst\n x >=\nend", 2025, 5},                    // missing right-hand side
      {"min\n x\nst\n c: x >= 1\n c: x <= 3\nend", 2025, 5},   // duplicate row name
      {"min\n x\nst\n 1 <= x >= 3\nend", 2025, 4},             // mixed range
      {"min\n x\nst\n 5 <= x <= 3\nend", 2025, 4},             // empty range
      {"st\n x >= 1\nend", 2025, 1},                           // no objective
      {"min\n x\nmax\n x\nend", 2025, 3},                      // two objectives
      {"min\n x\nst\n x >= 1\nbounds\n x <= nan\nend", 2025, 6},
      {"min\n x\nst\n x >= 1\nbounds\n <= 3\nend", 2025, 6},
      {"min\n x [ x ^ 2 ]\nst\n x >= 1\nend", 2025, 2},
      {"min\n x\nst\n x\x01 >= 1\nend", 2025, 4},
      {"min\n x\nst\n x >= 1\nsos\n s1: S1:: x:1\n junk\nend", 2025, 7},
  };
  for (const Case &c : cases) {
    LpModel lp;
    EXPECT_EQ(lp.read(c.text), c.code) << c.text;
    EXPECT_EQ(lp.error_line, c.line) << c.text;
    EXPECT_TRUE(stays_empty(lp)) << c.text;
  }
}

TEST(LpReader, LineLimitAndShortStreams) {
  std::string pad(1024 - 2, ' ');
  LpModel ok;
  EXPECT_EQ(ok.read("min\n x" + pad + "\nst\n x >= 1\nend"), 0) << ok.log;  // 1024 characters
  LpModel ok_crlf;
  EXPECT_EQ(ok_crlf.read("min\r\n x" + pad + "\r\nst\r\n x >= 1\r\nend\r\n"), 0) << ok_crlf.log;
  LpModel longer;
  EXPECT_EQ(longer.read("min\n x" + pad + " \nst\n x >= 1\nend"), 2003);
  EXPECT_EQ(longer.error_line, 2u);
  EXPECT_NE(longer.log.find("Limit of 1024 chars per line exceeded."), std::string::npos);
  LpModel shortest;
  EXPECT_EQ(shortest.read("mi"), 2003);
  EXPECT_NE(shortest.log.find("LP stream is too short."), std::string::npos);

  EnvHandle env;
  ModelHandle model(env);
  EXPECT_EQ(TVreadLPStream(nullptr, "min\nx\nend", 9), 2010);
  EXPECT_EQ(TVreadLPStream(model, nullptr, 9), 2010);
  EXPECT_EQ(TVreadLPStream(model, "min\nx\nend", -4), 2003);
  EXPECT_EQ(TVreadLPFile(model, nullptr), 2010);
  EXPECT_EQ(TVreadLPFile(nullptr, "x.lp"), 2010);
  EXPECT_EQ(TVreadLPFile(model, temp_path("no_such_file.lp").c_str()), 2002);
  EXPECT_EQ(TVreadLPFile(model, "/"), 2002);
  ASSERT_EQ(TVreadLPStream(model, "min\nx\nst\nx>=1\nend", 17), 0);
  EXPECT_EQ(TVreadLPStream(model, "min\nx\nst\nx>=1\nend", 17), 2030);
}

// Every proper prefix of a valid file lacks its end: a clean 2025 or 2003, and no model.
TEST(LpReader, EveryTruncationFailsCleanly) {
  const std::string text =
      "\\ model\nMaximize\n obj: 3 x + 2 y - 4 z + 1.5\nSubject To\n c1: x + y <= 4\n c2: -2 <= x - z <= 8\n"
      " 3 >= y\nBounds\n x <= 3\n z free\n -1 <= y <= 1e30\nGenerals\n y\nBinaries\n w\n"
      "SOS\n s: S1:: x:1 y:2\nEnd\n";
  const size_t end_at = text.rfind("End");
  for (size_t len = 0; len < end_at + 3; ++len) {
    LpModel lp;
    const int code = lp.read(text.substr(0, len));
    ASSERT_TRUE(code == 2025 || code == 2003) << len << " gave " << code;
    ASSERT_TRUE(stays_empty(lp)) << len;
  }
  LpModel whole;
  EXPECT_EQ(whole.read(text), 0) << whole.log;
}

TEST(LpReader, FilesPlainAndCompressed) {
  const std::string text = "min\n x + y\nst\n c: x + y >= 2\nend\n";
  const std::string plain = temp_path("lp_reader_plain.lp"), gz = temp_path("lp_reader_packed.lp.gz");
  write_file(plain, text);
  write_gz(gz, text);
  for (const std::string &path : {plain, gz}) {
    EnvHandle env;
    ModelHandle model(env);
    ASSERT_EQ(TVreadLPFile(model, path.c_str()), 0) << path;
    int status = 0;
    ASSERT_EQ(TVoptimize(model, TV_METHOD_FREE, &status), 0);
    double obj = 0;
    TVgetInfo(model, TV_DINFO_POBJ, &obj);
    EXPECT_DOUBLE_EQ(obj, 2);
  }
  std::remove(plain.c_str());
  std::remove(gz.c_str());
}

// The LP relaxation of a model: its optimum after every column is made continuous.
double relaxed_optimum(pTVmodel model) {
  int n = 0;
  TVgetInfo(model, TV_IINFO_NUM_VARS, &n);
  std::vector<int> all(n);
  for (int j = 0; j < n; ++j) all[j] = j;
  std::vector<char> types(n, 'C');
  EXPECT_EQ(TVmodifyVariableType(model, n, all.data(), types.data()), 0);
  int status = 0;
  EXPECT_EQ(TVoptimize(model, TV_METHOD_FREE, &status), 0);
  EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  double obj = 0;
  TVgetInfo(model, TV_DINFO_POBJ, &obj);
  return obj;
}

TEST(LpReader, SampleExmip1AgreesWithItsMpsFile) {
  const std::string lp_path = data_dir() + "/sample/exmip1.lp", mps_path = data_dir() + "/sample/exmip1.mps";
  if (read_gz(lp_path).empty() || read_gz(mps_path).empty()) GTEST_SKIP() << "sample models missing";
  EnvHandle env;
  ModelHandle from_lp(env), from_mps(env);
  ASSERT_EQ(TVreadLPFile(from_lp, lp_path.c_str()), 0);
  ASSERT_EQ(TVreadMPSFile(from_mps, mps_path.c_str(), 0), 0);
  const Picture a = picture(from_lp), b = picture(from_mps);
  EXPECT_EQ(a.m, b.m);
  EXPECT_EQ(a.n, b.n);
  EXPECT_EQ(a.nz, b.nz);
  EXPECT_EQ(a.ctype, b.ctype);
  EXPECT_EQ(a.rownames, b.rownames);
  EXPECT_EQ(std::count(a.vtype.begin(), a.vtype.end(), 'C'), std::count(b.vtype.begin(), b.vtype.end(), 'C'));
  EXPECT_NEAR(relaxed_optimum(from_lp), relaxed_optimum(from_mps), 1e-7);
}

// Each netlib and MIPLIB 3 model, written as LP text from the MPS read, reads
// back to the same model.
TEST(LpReader, SharedModelSetsReadBackFromLpText) {
  std::vector<std::string> files = model_files(data_dir() + "/netlib");
  for (const std::string &f : model_files(data_dir() + "/miplib3")) files.push_back(f);
  if (files.empty()) GTEST_SKIP() << "model sets missing";
#ifndef NDEBUG
  files.resize(std::min<size_t>(files.size(), 12));  // sanitizer builds: a sample
#endif
  for (const std::string &path : files) {
    MpsModel mps;
    ASSERT_EQ(mps.read_file(path, 1), 0) << path;
    Picture expected = picture(mps);
    const LpText lp_text = lp_text_of(expected);
    expected.rownames = lp_text.rownames;
    expected.colnames = lp_text.colnames;
    LpModel lp;
    ASSERT_EQ(lp.read(lp_text.text), 0) << path << ": line " << lp.error_line << ": " << lp.error_text;
    Picture got = picture(lp);
    sort_columns(&expected);
    sort_columns(&got);
    EXPECT_EQ(compare(expected, got, 0), "") << path;
  }
}

}  // namespace
