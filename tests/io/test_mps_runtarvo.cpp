// runtarvo and MPS files: the auto layout (free, then fixed), the report of
// a read error with its line, and --write-mps in both layouts.
#include "runtarvo_util.hpp"

using namespace tvtest;

namespace {

#ifdef TARVO_RUNTARVO
// Names with blanks: free reading fails on line 6, fixed reading works.
const char *kFixedOnly =
    "NAME          BLANKS\n"
    "ROWS\n"
    " N  OBJ\n"
    " L  ROW 1\n"
    "COLUMNS\n"
    "    COL A     OBJ                  1   ROW 1                2\n"
    "RHS\n"
    "    RHS       ROW 1                4\n"
    "ENDATA\n";

TEST(Runtarvo, AutoLayoutFallsBackToFixed) {
  const std::string path = temp_path("blanks.mps");
  write_file(path, kFixedOnly);
  Outcome r = runtarvo(path);
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("Model      : " + path + ", 1 rows, 1 columns, 1 nonzeros"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("There is an error"), std::string::npos) << r.out;

  r = runtarvo("--mps-format free " + path);
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find(path + ":6:     COL A     OBJ"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("There is an error in the input model file. (error 2003)"), std::string::npos) << r.err;
  std::remove(path.c_str());
}

TEST(Runtarvo, WritesTheModelBack) {
  const std::string in = temp_path("in.mps.gz"), out = temp_path("out.mps");
  write_gz(in, kFixedOnly);
  for (bool fixed : {false, true}) {
    Outcome r = runtarvo("--mps-format fixed --write-mps " + out + (fixed ? " --fixed " : " ") + in);
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    MpsModel back;
    EXPECT_EQ(back.read_file(out, fixed ? 1 : 0), fixed ? 0 : 2003);  // free text cannot keep "COL A"
    if (fixed) {
      EXPECT_EQ(picture(back).colnames, (std::vector<std::string>{"COL A"}));
    }
  }
  EXPECT_EQ(runtarvo("--mps-format sideways " + in).status, 2);
  std::remove(in.c_str());
  std::remove(out.c_str());
}
#endif

}  // namespace
