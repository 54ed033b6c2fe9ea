// runtarvo with model files of every kind: the reader chosen by extension in
// any letter case or by --format, the solution values, solution and basis
// files, ranges, --version, the exit statuses and the --json line of every
// outcome.
#include "runtarvo_util.hpp"

using namespace tvtest;

namespace {

#ifdef TARVO_RUNTARVO
const char *kSmallLp = "max\n obj: 3 x + 2 y + 0 z\nst\n c1: x + y <= 4\n c2: x + 3 y <= 7\nbounds\n x <= 3\nend\n";

std::string last_line(const std::string &out) {
  const size_t end = out.find_last_not_of('\n');
  if (end == std::string::npos) return "";
  const size_t begin = out.rfind('\n', end);
  return out.substr(begin == std::string::npos ? 0 : begin + 1, end - (begin == std::string::npos ? 0 : begin + 1) + 1);
}

TEST(RuntarvoFiles, ReaderByExtensionInAnyCase) {
  const std::string lp = temp_path("SMALL.LP"), gz = temp_path("small.Lp.GZ"), odd = temp_path("small.model");
  write_file(lp, kSmallLp);
  write_gz(gz, kSmallLp);
  write_file(odd, kSmallLp);
  for (const std::string &args : {lp, gz, "--format lp " + odd}) {
    const Outcome r = runtarvo(args);
    EXPECT_EQ(r.status, 0) << args << r.out << r.err;
    EXPECT_NE(r.out.find("Objective  : 11"), std::string::npos) << r.out;
  }
  const std::string ltx = temp_path("small.LTX");
  Outcome r = runtarvo("--read-only --write-ltx " + ltx + " " + lp);
  ASSERT_EQ(r.status, 0) << r.err;
  r = runtarvo(ltx);
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("Objective  : 11"), std::string::npos) << r.out;
  // A name that tells nothing: a usage error, with the JSON line.
  r = runtarvo("--json " + odd);
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(last_line(r.out).find("\"exit_code\": 2"), std::string::npos) << r.out;
  for (const std::string &f : {lp, gz, odd, ltx}) std::remove(f.c_str());
}

TEST(RuntarvoFiles, ValuesSolutionBasisAndRanges) {
  const std::string lp = temp_path("values.lp"), sol = temp_path("values.sol"), bas = temp_path("values.bas");
  write_file(lp, kSmallLp);
  Outcome r = runtarvo("--ranging --write-solution " + sol + " --write-basis " + bas + " " + lp);
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  const size_t values = r.out.find("Nonzero columns"), ranges = r.out.find("Cost ranges");
  ASSERT_NE(values, std::string::npos);
  ASSERT_NE(ranges, std::string::npos);
  const std::string listing = r.out.substr(values, ranges - values);
  EXPECT_NE(listing.find("  x "), std::string::npos);
  EXPECT_EQ(listing.find("  z "), std::string::npos) << listing;  // zero: left out by default
  const std::string report = read_file(sol);
  EXPECT_NE(report.find("GLOBAL OPTIMUM FOUND"), std::string::npos);
  EXPECT_NE(report.find("RIGHTHAND SIDE RANGES"), std::string::npos);
  r = runtarvo("--print-all --read-basis " + bas + " " + lp);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Iterations : 0"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  z "), std::string::npos) << r.out;
  // A missing basis file is a file error.
  r = runtarvo("--json --read-basis " + temp_path("missing.bas") + " " + lp);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(last_line(r.out).find("\"error\": 2002"), std::string::npos) << r.out;
  for (const std::string &f : {lp, sol, bas}) std::remove(f.c_str());
}

TEST(RuntarvoFiles, ExitStatusesAndJsonForEveryOutcome) {
  const std::string bad = temp_path("bad.lp"), inf = temp_path("inf.lp");
  write_file(bad, "min\n x\nst\n x >= 1 <\nend\n");
  write_file(inf, "min\n x\nst\n c: x >= 5\nbounds\n x <= 1\nend\n");
  Outcome r = runtarvo("--json " + bad);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(bad + ":4:"), std::string::npos) << r.err;
  EXPECT_NE(last_line(r.out).find("\"error\": 2025"), std::string::npos) << r.out;
  r = runtarvo("--json " + inf);
  EXPECT_EQ(r.status, 0) << r.out;  // infeasibility is an answer
  EXPECT_NE(last_line(r.out).find("\"status\": 3"), std::string::npos) << r.out;
  r = runtarvo("--json --no-such-option");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(last_line(r.out).rfind("{", 0), 0u) << r.out;
  const std::string netlib = data_dir() + "/netlib/adlittle.mps.gz";
  if (!read_gz(netlib).empty()) {
    r = runtarvo("--json --iter-limit 1 " + netlib);
    EXPECT_EQ(r.status, 3) << r.out;
    EXPECT_NE(last_line(r.out).find("\"exit_code\": 3"), std::string::npos) << r.out;
  }
  r = runtarvo("--version " + inf);
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("TARVO engine"), std::string::npos);
  EXPECT_EQ(r.out.find("Status"), std::string::npos) << r.out;  // prints and exits
  std::remove(bad.c_str());
  std::remove(inf.c_str());
}
#endif

}  // namespace
