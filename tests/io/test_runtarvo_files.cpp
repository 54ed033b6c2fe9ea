// runtarvo with model files of every kind: the reader chosen by extension in
// any letter case or by --format, the solution values, solution and basis
// files, ranges, --version, the exit statuses and the --json line of every
// outcome.
#include <cmath>
#include <cstdlib>

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

double objective_of(const std::string &out) {
  const size_t at = out.find("Objective  : ");
  return at == std::string::npos ? 1e300 : std::atof(out.c_str() + at + 13);
}

// The sample MIP through every file option: the model written in each format
// solves to the same optimum, and the reports name the integer solution.
TEST(RuntarvoFiles, IntegerModelThroughEveryFileOption) {
  const std::string lp = data_dir() + "/sample/exmip1.lp";
  if (read_gz(lp).empty()) GTEST_SKIP() << "sample models missing";
  const std::string mps = temp_path("mip.mps"), ltx = temp_path("mip.ltx"), lp2 = temp_path("mip2.lp"),
                    sol = temp_path("mip.sol"), listing = temp_path("mip.lst");
  const std::string bas = temp_path("mip.bas");
  Outcome r = runtarvo("--json --print-all --ranging --write-basis " + bas + " --write-solution " + sol +
                       " --write-mps " + mps + " --write-ltx " + ltx + " --write-lp " + lp2 + " " + lp);
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  const double optimum = objective_of(r.out);
  ASSERT_LT(optimum, 1e299) << r.out;
  EXPECT_NE(last_line(r.out).find("\"nodes\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("RgROW05"), std::string::npos) << r.out;  // --print-all lists zero columns too
  EXPECT_NE(r.out.find("Ranges     : not available"), std::string::npos) << r.out;  // no LP basis to range
  const std::string report = read_file(sol);
  EXPECT_NE(report.find("MILP GLOBAL OPTIMUM FOUND"), std::string::npos) << report;
  // The basis of the integer solution starts the search again.
  r = runtarvo("--read-basis " + bas + " " + lp);
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NEAR(objective_of(r.out), optimum, 1e-9 * (1 + std::fabs(optimum)));
  for (const std::string &f : {mps, ltx, lp2}) {
    const Outcome again = runtarvo(f);
    EXPECT_EQ(again.status, 0) << f << again.out;
    EXPECT_NEAR(objective_of(again.out), optimum, 1e-6 * (1 + std::fabs(optimum))) << f;
  }
  r = runtarvo("--param TV_IPARAM_SOL_REPORT_STYLE=1 --write-solution " + listing + " " + lp);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string short_listing = read_file(listing);
  EXPECT_EQ(short_listing.rfind("SOLUTION MIP (OPTIMAL)", 0), 0u) << short_listing;
  EXPECT_NE(short_listing.find("COL03               EQ"), std::string::npos) << short_listing;
  // A search that proves infeasibility answers without a point: both reports say so.
  const std::string none = temp_path("none.lp");
  write_file(none, "min\n x\nst\n c: 2 x + 2 y = 3\nbounds\n x <= 5\n y <= 5\ngenerals\n x\n y\nend\n");
  r = runtarvo("--write-solution " + sol + " " + none);
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(read_file(sol).find("MILP SOLUTION INFEASIBLE"), std::string::npos) << read_file(sol);
  r = runtarvo("--param TV_IPARAM_SOL_REPORT_STYLE=1 --write-solution " + listing + " " + none);
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(read_file(listing).rfind("SOLUTION  MIP (INFEASIBLE)", 0), 0u) << read_file(listing);
  for (const std::string &f : {mps, ltx, lp2, sol, listing, bas, none}) std::remove(f.c_str());
}

// --iis on an infeasible LP and on an integer model whose relaxation is
// feasible: the written set read back by runtarvo is infeasible again.
TEST(RuntarvoFiles, IisOfInfeasibleModels) {
  const std::string lp = temp_path("iis_lp.lp"), mip = temp_path("iis_mip.lp"), ok = temp_path("iis_ok.lp"),
                    out = temp_path("found.ltx"), out_mps = temp_path("found.mps");
  write_file(lp, "min\n x + y\nst\n c: x + y >= 5\n d: x - y <= 30\n e: x <= 1\nbounds\n y <= 2\nend\n");
  write_file(mip, "min\n x\nst\n c: 2 x + 2 y = 3\n d: x + y <= 8\nbounds\n x <= 5\n y <= 5\ngenerals\n x\n y\nend\n");
  write_file(ok, "min\n x\nst\n c: x >= 1\nend\n");
  for (const std::string &model : {lp, mip}) {
    for (const std::string &file : {out, out_mps}) {
      Outcome r = runtarvo("--json --iis " + file + " " + model);
      ASSERT_EQ(r.status, 0) << r.out << r.err;
      EXPECT_NE(r.out.find(" rows ("), std::string::npos) << r.out;
      EXPECT_NE(last_line(r.out).find(model == lp ? "\"iis\": {\"rows\": 2," : "\"iis\": {\"rows\": 1,"),
                std::string::npos)
          << r.out;
      r = runtarvo("--json " + file);
      EXPECT_EQ(r.status, 0) << r.out << r.err;
      EXPECT_NE(last_line(r.out).find("\"status\": 3"), std::string::npos) << model << "\n" << read_file(file);
    }
  }
  Outcome r = runtarvo("--iis " + out + " " + ok);
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("IIS        : none (the model is not infeasible)"), std::string::npos) << r.out;
  r = runtarvo("--json --iis /nonexistent-dir/x.ltx " + lp);
  EXPECT_EQ(r.status, 1) << r.out;
  for (const std::string &f : {lp, mip, ok, out, out_mps}) std::remove(f.c_str());
}
#endif

}  // namespace
