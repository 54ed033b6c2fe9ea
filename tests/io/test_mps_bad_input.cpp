// Malformed and hostile MPS input: every case ends with a return code, a
// file-error record where a line is to blame, a consistent model and no
// crash. The model folder's small files are cut and damaged systematically.
#include <sys/stat.h>

#include <random>

#include "mps_test_util.hpp"

using namespace tvtest;

namespace {

const std::string kModel =
    "NAME TINY\nROWS\n N obj\n L c1\n G c2\nCOLUMNS\n x obj 1 c1 1\n x c2 1\n y obj -2 c1 3\nRHS\n rhs c1 4\n"
    "RANGES\n rng c2 2\nBOUNDS\n UP bnd x 8\n FR bnd y\nENDATA\n";

std::string with_line(const std::string &line) {
  return "NAME\nROWS\n N obj\n L c1\nCOLUMNS\n" + line + "\nRHS\nENDATA\n";
}

TEST(MpsBadInput, MissingEmptyAndDirectoryFiles) {
  MpsModel missing;
  EXPECT_EQ(missing.read_file("/nonexistent/dir/model.mps"), 2002);
  EXPECT_EQ(missing.read_file("/nonexistent/dir/model.mps.gz"), 2002);
  EXPECT_NE(missing.log.find("\nMPS Reader: Could not open file for problem I/O."), std::string::npos);
  MpsModel dir;
  EXPECT_EQ(dir.read_file("/tmp"), 2002);
  EXPECT_EQ(dir.read_file("/tmp/.gz"), 2002);
  MpsModel empty;
  EXPECT_EQ(empty.read_text(""), 2003);
  EXPECT_EQ(empty.error_line, 0u);
  MpsModel comments;
  EXPECT_EQ(comments.read_text("* nothing but a comment\n\n   \n"), 2003);
  EXPECT_EQ(comments.error_line, 3u);
  for (MpsModel *m : {&missing, &dir, &empty, &comments}) EXPECT_CONSISTENT(*m);
}

TEST(MpsBadInput, EveryCutOfAFileFailsCleanlyUntilEndata) {
  // Cut the file after every character: only cuts that keep ENDATA succeed.
  const size_t endata = kModel.find("ENDATA");
  for (size_t len = 0; len < kModel.size(); ++len) {
    MpsModel m;
    const int code = m.read_text(kModel.substr(0, len));
    EXPECT_EQ(code, len >= endata + 6 ? 0 : 2003) << "cut at " << len;
    EXPECT_CONSISTENT(m);
  }
  // A compressed file cut short: the stream ends early, never a crash.
  const std::string path = temp_path("cut.mps.gz");
  write_gz(path, kModel);
  const std::string whole = read_file(path);
  for (size_t len : {size_t(0), size_t(5), whole.size() / 2, whole.size() - 4}) {
    write_file(path, whole.substr(0, len));
    MpsModel m;
    EXPECT_EQ(m.read_file(path, 0), 2003) << "compressed cut at " << len;
    EXPECT_CONSISTENT(m);
  }
  std::remove(path.c_str());
}

TEST(MpsBadInput, BinaryJunkAndNulBytes) {
  std::mt19937 rng(17);
  for (int round = 0; round < 50; ++round) {
    std::string junk(200 + round * 37, '\0');
    for (char &ch : junk) ch = static_cast<char>(rng() & 0xff);
    MpsModel m;
    EXPECT_EQ(m.read_text(junk), 2003);
    EXPECT_LE(m.error_text.size(), 255u);
    EXPECT_CONSISTENT(m);
  }
  MpsModel nul;
  std::string text = kModel;
  text[text.find("x obj")] = '\0';
  EXPECT_EQ(nul.read_text(text), 2003);
  EXPECT_EQ(nul.error_line, 7u);
}

TEST(MpsBadInput, OverlongLinesAreRefusedUnlessOnlyBlanksOrCommentGoOn) {
  MpsModel too_long;
  const std::string name(300, 'a');
  EXPECT_EQ(too_long.read_text(with_line(" x obj 1 c1 " + name)), 2003);
  EXPECT_EQ(too_long.error_line, 6u);
  EXPECT_EQ(too_long.error_text.size(), 255u);  // the record holds at most a line's worth

  MpsModel blanks, comment, block;
  EXPECT_EQ(blanks.read_text(with_line(" x obj 1 c1 1" + std::string(400, ' '))), 0);
  EXPECT_EQ(comment.read_text("*" + std::string(5000, 'c') + "\n" + with_line(" x obj 1 c1 1")), 0);
  // A line longer than a whole read block is cut there; the rest is not read as a line of its own.
  EXPECT_EQ(block.read_text("*" + std::string(3000000, 'c') + " NAME\n" + with_line(" x obj 1 c1 1")), 0);
}

TEST(MpsBadInput, NumbersThatAreNotFiniteDecimals) {
  for (const char *value : {"nan", "NaN", "inf", "-Inf", "1e999", "-1e400", "1.2.3", "0x10", "--1", "+-1", "1e",
                            "e5", ".", "1,5", "12a"}) {
    MpsModel m;
    EXPECT_EQ(m.read_text(with_line(std::string(" x obj 1 c1 ") + value)), 2003) << value;
    EXPECT_EQ(m.error_line, 6u) << value;
    EXPECT_CONSISTENT(m);
  }
  MpsModel tiny;  // below the smallest double: zero, not an error
  ASSERT_EQ(tiny.read_text(with_line(" x obj 1 c1 1e-400")), 0);
  EXPECT_EQ(picture(tiny).values, (std::vector<double>{0}));
  for (const char *section : {"RHS\n rhs c1 nan\n", "RHS\nBOUNDS\n UP bnd x inf\n", "RHS\nRANGES\n r c1 1e999\n"}) {
    MpsModel m;
    EXPECT_EQ(m.read_text(std::string("NAME\nROWS\n N obj\n L c1\nCOLUMNS\n x c1 1\n") + section + "ENDATA\n"),
              2003)
        << section;
  }
}

TEST(MpsBadInput, DuplicateAndUnknownNames) {
  const char *cases[] = {
      "NAME\nROWS\n N obj\n L c1\n G c1\nCOLUMNS\n x c1 1\nRHS\nENDATA\n",       // two rows of one name
      "NAME\nROWS\n N obj\n L obj\nCOLUMNS\n x obj 1\nRHS\nENDATA\n",            // a row named like the objective
      "NAME\nROWS\n N obj\n N o2\n L o2\nCOLUMNS\n x o2 1\nRHS\nENDATA\n",       // a row named like a free row
      "NAME\nROWS\n N obj\n L c1\nCOLUMNS\n x nowhere 1\nRHS\nENDATA\n",         // an unknown row
      "NAME\nROWS\n N obj\n L c1\nCOLUMNS\n x c1 1\nRHS\n rhs nowhere 1\nENDATA\n",
      "NAME\nROWS\n N obj\n L c1\nCOLUMNS\n x c1 1\nRHS\nRANGES\n r obj 1\nENDATA\n",  // no range on the objective
      "NAME\nROWS\n X obj\nCOLUMNS\nRHS\nENDATA\n",                               // unknown row type
  };
  for (const char *text : cases) {
    MpsModel m;
    EXPECT_EQ(m.read_text(text), 2003) << text;
    EXPECT_GT(m.error_line, 0u) << text;
    EXPECT_CONSISTENT(m);
  }
}

TEST(MpsBadInput, WrongTokenCounts) {
  for (const char *line : {" x", " x obj", " x obj 1 c1", " x obj 1 c1 1 c1", " x obj 1 c1 1 c1 1 2"}) {
    MpsModel m;
    EXPECT_EQ(m.read_text(with_line(line)), 2003) << line;
  }
  MpsModel rhs;
  EXPECT_EQ(rhs.read_text("NAME\nROWS\n N obj\n L c1\nCOLUMNS\n x c1 1\nRHS\n a c1 1 c1 2 c1\nENDATA\n"), 2003);
}

TEST(MpsBadInput, CarriageReturnsAndTabsAreBlanks) {
  std::string crlf;
  for (char ch : kModel) {
    if (ch == '\n') crlf += '\r';
    crlf += ch;
  }
  MpsModel m;
  ASSERT_EQ(m.read_text(crlf), 0) << m.error_line << " " << m.error_text;
  MpsModel tabs;
  ASSERT_EQ(tabs.read_text(with_line("\tx\tobj\t1\tc1\t2")), 0);
  EXPECT_EQ(picture(tabs).values, (std::vector<double>{2}));
}

}  // namespace
