// Symmetry in TVsolveMIP: the log block and the orbit file, the switches and
// the nonzero limit, and orbital fixing, which must never change the optimum
// (random symmetric programs solved with symmetry use on and off agree with
// each other and with enumeration).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <set>
#include <string>

#include "lp_fixture.hpp"
#include "mip_check.hpp"
#include "mip_fixture.hpp"

namespace {

using lpfix::Lp;

// Colouring of a graph with k interchangeable colours: x(v, c) = column
// v*k + c, colour used w(c) = column n*k + c; minimise the colours used.
Lp colouring(int nv, const std::vector<std::pair<int, int>> &edges, int k, std::string *vtypes) {
  Lp lp;
  const int n = nv * k + k;
  lp.c.assign(n, 0);
  for (int c = 0; c < k; ++c) lp.c[nv * k + c] = 1;
  lp.lower.assign(n, 0);
  lp.upper.assign(n, 1);
  for (int v = 0; v < nv; ++v) {
    std::vector<double> r(n, 0);
    for (int c = 0; c < k; ++c) r[v * k + c] = 1;
    lp.rows.push_back(r);
    lp.b.push_back(1);
    lp.types += 'E';
  }
  for (const auto &e : edges)
    for (int c = 0; c < k; ++c) {
      std::vector<double> r(n, 0);
      r[e.first * k + c] = r[e.second * k + c] = 1;
      r[nv * k + c] = -1;
      lp.rows.push_back(r);
      lp.b.push_back(0);
      lp.types += 'L';
    }
  *vtypes = std::string(n, 'B');
  return lp;
}

// Fewest colours of a small graph by enumeration.
int chromatic_number(int nv, const std::vector<std::pair<int, int>> &edges) {
  for (int k = 1; k <= nv; ++k) {
    std::vector<int> col(nv, 0);
    for (;;) {
      bool ok = true;
      for (const auto &e : edges) ok = ok && col[e.first] != col[e.second];
      if (ok) return k;
      int v = 0;
      while (v < nv && col[v] == k - 1) col[v++] = 0;
      if (v == nv) break;
      ++col[v];
    }
  }
  return nv;
}

class MipSymmetry : public mipfix::LoggedModel {
 protected:
  void SetUp() override {
    mipfix::LoggedModel::SetUp();
    TVsetModelIntParameter(model, TV_IPARAM_FIND_SYMMETRY_PRINT_LEVEL, 1);
  }
};

TEST_F(MipSymmetry, OrbitalFixingKeepsTheOptimumOfRandomSymmetricPrograms) {
  std::mt19937 rng(11);
  bool fixed_somewhere = false;
  for (int inst = 0; inst < 12; ++inst) {
    const int nv = 9;
    std::vector<std::pair<int, int>> edges;
    std::bernoulli_distribution pick(0.5);
    for (int u = 0; u < nv; ++u)
      for (int v = u + 1; v < nv; ++v)
        if (pick(rng)) edges.push_back({u, v});
    std::string vt;
    const Lp lp = colouring(nv, edges, 5, &vt);
    const int want = chromatic_number(nv, edges);
    for (int mode : {0, 1, 2, -1}) {
      tvtest::ModelHandle m(env);
      std::string text;
      TVsetModelLogfunc(m, mipfix::collect_log, &text);
      TVsetModelIntParameter(m, TV_IPARAM_MIP_PRINTLEVEL, 3);
      TVsetModelIntParameter(m, TV_IPARAM_MIP_SYMMETRY_MODE, mode);
      TVsetModelIntParameter(m, TV_IPARAM_MIP_HEULEVEL, 0);  // leave the work to the tree
      mipfix::load_mip(m, lp, vt);
      const mipfix::Solved s = mipfix::solve(m);
      ASSERT_EQ(s.code, 0);
      EXPECT_EQ(s.status, TV_STATUS_OPTIMAL) << inst << " mode " << mode;
      EXPECT_NEAR(s.obj, want, 1e-9) << inst << " mode " << mode;
      EXPECT_NEAR(mipcheck::verify_incumbent(m), want, 1e-9);
      if (mode != 0) fixed_somewhere |= text.find("Orbital fixing:") != std::string::npos;
      if (mode == 0) EXPECT_EQ(text.find("Orbital fixing:"), std::string::npos);
    }
  }
  EXPECT_TRUE(fixed_somewhere) << "no instance branched with orbital fixing";
}

TEST_F(MipSymmetry, LogBlockAndOrbitFile) {
  std::string vt;
  const Lp lp = colouring(4, {{0, 1}, {1, 2}, {2, 3}, {3, 0}}, 3, &vt);
  mipfix::load_mip(model, lp, vt);
  TVsetModelIntParameter(model, TV_IPARAM_MIP_PRELEVEL, 0);  // orbits of the user's own columns
  TVsetModelIntParameter(model, TV_IPARAM_FIND_SYMMETRY_PRINT_LEVEL, 3);
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "tarvo_orbit_file_test";
  std::filesystem::create_directories(dir);
  const std::filesystem::path here = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  std::filesystem::remove("tarvo.orb");
  const mipfix::Solved s = mipfix::solve(model);
  std::ifstream f("tarvo.orb");
  std::string line;
  std::vector<std::string> lines;
  while (std::getline(f, line)) lines.push_back(line);
  // the graph file starts with the vertex count of the log; the generator file has one line per generator
  std::ifstream dre("tarvo.dre"), ans("tarvo.ans");
  std::string dre_first, ans_first, gen_line;
  std::getline(dre, dre_first);
  std::getline(ans, ans_first);
  int cycles_ok = 0, generators = 0;
  const std::regex cycle_form("(\\((C\\d{7} )*C\\d{7}\\))+");
  while (std::getline(ans, gen_line)) {
    ++generators;
    cycles_ok += std::regex_match(gen_line, cycle_form);
  }
  std::filesystem::current_path(here);
  std::filesystem::remove_all(dir);
  ASSERT_TRUE(std::regex_match(dre_first, std::regex("n=\\d+ \\$=0 g"))) << dre_first;
  EXPECT_NE(log.find("Number of vertices: " + dre_first.substr(2, dre_first.find(' ') - 2) + "\n"), std::string::npos);
  EXPECT_EQ(ans_first, "Generators: " + std::to_string(generators));
  EXPECT_GT(generators, 0);
  EXPECT_EQ(cycles_ok, generators);
  ASSERT_EQ(s.code, 0);
  EXPECT_DOUBLE_EQ(s.obj, 2);
  for (const char *want : {"\nSearching for symmetry group...\n",
                           "\n*********************Graph Symmetry Info*********************\n",
                           "Number of generators: ", "Number of variable orbits: ",
                           "Number of integer variable orbits: ", "Time Consumed in symmetry detecting: ",
                           "Orbit information is output to file tarvo.orb\n"})
    EXPECT_NE(log.find(want), std::string::npos) << want << "\n" << log;
  // the colours permute freely and the square's vertices form one orbit under
  // its rotations: all twelve x columns in one orbit, the three w in another
  const std::regex form("Orbit (\\d+): (C\\d{7}, )*C\\d{7};"), column("C(\\d{7})");
  std::set<std::set<int>> orbits;
  for (size_t k = 0; k < lines.size(); ++k) {
    EXPECT_TRUE(std::regex_match(lines[k], form)) << lines[k];
    EXPECT_EQ(lines[k].rfind("Orbit " + std::to_string(k + 1) + ": ", 0), 0u) << lines[k];
    std::set<int> cols;
    for (std::sregex_iterator it(lines[k].begin(), lines[k].end(), column), end; it != end; ++it)
      cols.insert(std::stoi((*it)[1]));
    orbits.insert(cols);
  }
  std::set<int> x, w;
  for (int j = 0; j < 12; ++j) x.insert(j);
  for (int j = 12; j < 15; ++j) w.insert(j);
  EXPECT_EQ(orbits, (std::set<std::set<int>>{x, w}));
}

TEST_F(MipSymmetry, SwitchesAndTheNonzeroLimit) {
  std::string vt;
  const Lp lp = colouring(3, {{0, 1}, {1, 2}}, 3, &vt);
  mipfix::load_mip(model, lp, vt);
  TVsetModelIntParameter(model, TV_IPARAM_MIP_PRELEVEL, 0);
  TVsetModelIntParameter(model, TV_IPARAM_MIP_SYMMETRY_NONZ, 5);  // the model has more
  EXPECT_EQ(mipfix::solve(model).obj, 2);
  EXPECT_EQ(log.find("Searching for symmetry group"), std::string::npos) << log;
  EXPECT_NE(log.find("Orbit information not available.\n"), std::string::npos) << log;
  log.clear();
  TVsetModelIntParameter(model, TV_IPARAM_MIP_SYMMETRY_NONZ, 50000);
  TVsetModelIntParameter(model, TV_IPARAM_MIP_SYMMETRY_MODE, 0);
  EXPECT_EQ(mipfix::solve(model).obj, 2);
  EXPECT_EQ(log.find("symmetry"), std::string::npos) << log;
  log.clear();
  TVsetModelIntParameter(model, TV_IPARAM_MIP_SYMMETRY_MODE, -1);
  TVsetModelIntParameter(model, TV_IPARAM_FIND_SYMMETRY_LEVEL, 0);
  EXPECT_EQ(mipfix::solve(model).obj, 2);
  EXPECT_EQ(log.find("symmetry"), std::string::npos) << log;
  log.clear();
  TVsetModelIntParameter(model, TV_IPARAM_FIND_SYMMETRY_LEVEL, 1);
  EXPECT_EQ(mipfix::solve(model).obj, 2);
  EXPECT_NE(log.find("Number of generators: "), std::string::npos) << log;
}

}  // namespace
