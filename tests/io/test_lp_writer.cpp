// LP-format quadratic terms and the LP writer: products in brackets read into
// the model's quadratic data, and every model written by TVwriteLPFile reads
// back to the same model (hand-written files with every section, and the
// netlib and MIPLIB 3 sets).
#include <algorithm>
#include <cctype>
#include <set>
#include <tuple>

#include "lp_test_util.hpp"

using namespace tvtest;

namespace {

using Term = std::tuple<int, int, int, double>;  // row, column 1, column 2, coefficient

std::vector<Term> quadratic_terms(pTVmodel model) {
  int nq = 0;
  TVgetDimensions(model, nullptr, nullptr, nullptr, nullptr, &nq, nullptr, nullptr, nullptr, nullptr, nullptr,
                  nullptr);
  std::vector<Term> out;
  if (nq == 0) return out;
  std::vector<int> rows(nq), c1(nq), c2(nq);
  std::vector<double> v(nq);
  EXPECT_EQ(TVgetQCData(model, rows.data(), c1.data(), c2.data(), v.data()), 0);
  for (int t = 0; t < nq; ++t) out.emplace_back(rows[t], c1[t], c2[t], v[t]);
  return out;
}

struct Structures {
  std::vector<char> set_types;
  std::vector<int> set_members;
  std::vector<int> semi_vars;
  std::vector<double> semi_lower, semi_upper;
};

Structures structures(pTVmodel model) {
  Structures s;
  int nsets = 0, total = 0, nsemi = 0;
  if (TVgetSETSData(model, &nsets, &total, nullptr, nullptr, nullptr, nullptr, nullptr) == 0 && nsets > 0) {
    s.set_types.resize(nsets);
    std::vector<int> sizes(nsets), starts(nsets + 1), card(nsets);
    s.set_members.resize(total);
    EXPECT_EQ(TVgetSETSData(model, &nsets, &total, s.set_types.data(), card.data(), sizes.data(), starts.data(),
                            s.set_members.data()),
              0);
  }
  if (TVgetSemiContData(model, &nsemi, nullptr, nullptr, nullptr) == 0 && nsemi > 0) {
    s.semi_vars.resize(nsemi);
    s.semi_lower.resize(nsemi);
    s.semi_upper.resize(nsemi);
    EXPECT_EQ(TVgetSemiContData(model, &nsemi, s.semi_vars.data(), s.semi_lower.data(), s.semi_upper.data()), 0);
  }
  return s;
}

std::vector<std::string> split_lines(const std::string &text) {
  std::vector<std::string> out;
  size_t from = 0;
  while (from < text.size()) {
    const size_t nl = text.find('\n', from);
    const size_t to = nl == std::string::npos ? text.size() : nl;
    out.push_back(text.substr(from, to - from));
    from = to + 1;
  }
  return out;
}

// Written with TVwriteLPFile and read back into a fresh model.
struct Rewritten {
  std::string text;
  ModelHandle model;
  int code = -1;
  Rewritten(EnvHandle &env, pTVmodel from, const std::string &leaf) : model(env) {
    const std::string path = temp_path(leaf);
    EXPECT_EQ(TVwriteLPFile(from, path.c_str()), 0);
    text = read_file(path);
    code = TVreadLPFile(model, path.c_str());
    std::remove(path.c_str());
  }
};

TEST(LpQuadratic, BracketedProductsBecomeQuadraticTerms) {
  LpModel lp;
  ASSERT_EQ(lp.read("min\n obj: x + [ 2 x ^ 2 + 4 x * y - y^2 ] / 2\nst\n"
                    " q: x + y + [ x ^ 2 + 3 x*y ] <= 10\n"
                    " p: - [ z ^ 2 ] >= -4\nend\n"),
            0)
      << lp.log;
  const Picture p = picture(lp);
  EXPECT_EQ(p.colnames, (std::vector<std::string>{"x", "y", "z"}));
  EXPECT_EQ(p.ctype, "LG");
  // Each product keeps its coefficient as written, divided by the bracket's divisor.
  const std::vector<Term> expected = {{-1, 0, 0, 1}, {-1, 0, 1, 2}, {-1, 1, 1, -0.5},
                                      {0, 0, 0, 1},  {0, 0, 1, 3},  {1, 2, 2, -1}};
  EXPECT_EQ(quadratic_terms(lp), expected);
  int nq = 0;
  TVgetInfo(lp, TV_IINFO_NUM_QC_NONZ, &nq);
  EXPECT_EQ(nq, 6);
  // TARVO text has no products: it refuses rather than dropping them.
  EXPECT_EQ(TVwriteTARVOFile(lp, temp_path("products.ltx").c_str()), 2029);
  // Outside brackets '*', '^' and brackets stay inside names.
  LpModel names;
  ASSERT_EQ(names.read("min\n obj: x[1] + FLAV*1 + a^b\nst\n c: x[1] + [ x ^ 2 ] >= 1\nend\n"), 0) << names.log;
  EXPECT_EQ(picture(names).colnames, (std::vector<std::string>{"x[1]", "FLAV*1", "a^b", "x"}));
}

TEST(LpQuadratic, MalformedProductsAreRefusedWithTheLine) {
  for (const char *row : {" c: [ x ^ 3 ] <= 1", " c: [ x y ] <= 1", " c: [ x ^ 2 <= 1", " c: [ x * ] <= 1",
                          " c: x + [ x ^ 2 ] / 0 <= 1", " c: [ x ^ 2 x ^ 2 ] <= 1", " c: [ 2 ] <= 1"}) {
    LpModel lp;
    EXPECT_EQ(lp.read(std::string("min\n obj: x\nst\n") + row + "\nend\n"), 2025) << row;
    EXPECT_EQ(lp.error_line, 4u) << row;
  }
}

// Every section and awkward name the writer must carry: a ranged and a free
// row, an empty row, a constant, zero-cost and quadratic-only columns, names
// that read as keywords or numbers, a row longer than the line limit,
// integer, binary, semi-continuous and SOS columns.
std::string every_section_text() {
  std::string long_row = " long:";
  for (int k = 0; k < 150; ++k)
    long_row += (k % 40 == 39 ? "\n + " : " + ") + std::to_string(k + 1) + " w" + std::to_string(k);
  return R"(Maximize
 profit: 3 x + 2 y + 0 spare - 1.5e-7 tiny + 12.25 + [ 4 x ^ 2 + 2 x * qonly ] / 2
Subject To
 c1: x + y + bin <= 4
 range: -3 <= x - y <= 8
 free_row: -inf <= x + y + end1 <= inf
 eq: 2 x + 3 end1 = 7
 empty: >= -2
 quad: x + [ x ^ 2 + 2 x * y ] <= 30
)" + long_row + R"( >= 1
 ints: g + b1 + b2 <= 2
 s1row: s + t2 + bin <= 9
Bounds
 x <= 3
 -inf <= y <= 5
 end1 free
 -2 <= bin <= 7
 2 <= s <= 10
Generals
 g
Binaries
 b1
 b2
Semi-continuous
 s
SOS
 set1: S1:: b1:1 b2:2
 set2: S2:: w0:1 w1:2 w2:3
End
)";
}

TEST(LpWriter, EverySectionReadsBackToTheSameModel) {
  EnvHandle env;
  ModelHandle first(env);
  const std::string text = every_section_text();
  ASSERT_EQ(TVreadLPStream(first, text.data(), static_cast<int>(text.size())), 0);
  Rewritten once(env, first, "every.lp");
  ASSERT_EQ(once.code, 0) << once.text;
  for (const std::string &line : split_lines(once.text)) EXPECT_LE(line.size(), 1024u);
  Picture a = picture(first), b = picture(once.model);
  // "bin" reads as a keyword at a line start: the writer prefixes it.
  for (std::string &name : a.colnames)
    if (name == "bin") name = "_bin";
  sort_columns(&a);
  sort_columns(&b);
  EXPECT_EQ(compare(a, b, 0), "") << once.text;
  EXPECT_EQ(quadratic_terms(first), quadratic_terms(once.model));
  const Structures sa = structures(first), sb = structures(once.model);
  EXPECT_EQ(sa.set_types, sb.set_types);
  EXPECT_EQ(sa.set_members, sb.set_members);
  EXPECT_EQ(sa.semi_vars, sb.semi_vars);
  EXPECT_EQ(sa.semi_lower, sb.semi_lower);
  EXPECT_EQ(sa.semi_upper, sb.semi_upper);
  // A second round writes the same text: nothing drifts.
  Rewritten twice(env, once.model, "every2.lp");
  EXPECT_EQ(once.text, twice.text);
}

TEST(LpWriter, NamesTheFormatCannotCarryAreReplacedUniquely) {
  // Names loaded through the API: keywords, a number, an infinity word, a
  // comment character, blanks, bytes outside ASCII and clashes with replacements.
  EnvHandle env;
  ModelHandle model(env);
  const std::vector<std::string> names = {"end", "3x", "inf", "a\\b", "two words", "_end", "st", "a\xb2", "a\x91",
                                          "a_", "b\xb2", "b\x91", "x"};
  const int n = static_cast<int>(names.size());
  std::vector<double> c(n, 1.0), lo(n, 0.0), up(n, 1.0), val(n, 1.0), b = {1.0};
  std::vector<int> start(n + 1), idx(n, 0);
  for (int j = 0; j <= n; ++j) start[j] = j;
  char type = 'G';
  ASSERT_EQ(TVloadLPData(model, 1, n, TV_MIN, 0, c.data(), b.data(), &type, n, start.data(), nullptr, val.data(),
                         idx.data(), lo.data(), up.data()),
            0);
  std::vector<std::string> keep = names;
  std::vector<char *> cn;
  for (auto &s : keep) cn.push_back(s.data());
  char row[] = "row";
  char *rn[] = {row};
  ASSERT_EQ(TVloadNameData(model, nullptr, nullptr, nullptr, nullptr, nullptr, rn, cn.data(), nullptr), 0);
  Rewritten back(env, model, "names.lp");
  ASSERT_EQ(back.code, 0) << back.text;
  const Picture p = picture(back.model);
  ASSERT_EQ(p.n, n) << back.text;
  EXPECT_EQ(std::set<std::string>(p.colnames.begin(), p.colnames.end()).size(), p.colnames.size());
  EXPECT_EQ(p.colnames.back(), "x");  // a plain name stays as it is
  int status = 0;
  ASSERT_EQ(TVoptimize(back.model, TV_METHOD_FREE, &status), 0);
  double obj = 0;
  TVgetInfo(back.model, TV_DINFO_POBJ, &obj);
  EXPECT_NEAR(obj, 1.0, 1e-9);
}

// A label that equals the generated name of an unnamed row gives two rows of
// one name: both writers still name every row apart.
TEST(LpWriter, ClashingRowNamesStayApart) {
  EnvHandle env;
  ModelHandle model(env);
  const std::string text = "min\n x\nst\n R0000002: x >= 1\n x + y <= 4\n y >= 0.5\nend\n";
  ASSERT_EQ(TVreadLPStream(model, text.data(), static_cast<int>(text.size())), 0);
  Rewritten lp(env, model, "clash.lp");
  ASSERT_EQ(lp.code, 0) << lp.text;
  const std::string ltx = temp_path("clash.ltx");
  ASSERT_EQ(TVwriteTARVOFile(model, ltx.c_str()), 0);
  ModelHandle back(env);
  EXPECT_EQ(TVreadTARVOFile(back, ltx.c_str()), 0) << read_file(ltx);
  for (pTVmodel m : {static_cast<pTVmodel>(lp.model), static_cast<pTVmodel>(back)}) {
    const Picture p = picture(m);
    EXPECT_EQ(p.m, 3);
    EXPECT_EQ(std::set<std::string>(p.rownames.begin(), p.rownames.end()).size(), 3u);
  }
  std::remove(ltx.c_str());
}

TEST(LpWriter, RefusesWhatItCannotWrite) {
  EnvHandle env;
  ModelHandle empty(env);
  const std::string path = temp_path("refused.lp");
  EXPECT_EQ(TVwriteLPFile(nullptr, path.c_str()), 2010);
  EXPECT_EQ(TVwriteLPFile(empty, nullptr), 2010);
  EXPECT_EQ(TVwriteLPFile(empty, path.c_str()), 2009);
  LpModel lp;
  ASSERT_EQ(lp.read("min\n x\nst\n x >= 1\nend\n"), 0);
  EXPECT_EQ(TVwriteLPFile(lp, "/nonexistent-dir/x.lp"), 2002);
}

// Each netlib and MIPLIB 3 model read from MPS, written by TVwriteLPFile and
// read back is the same model; names change only where the format needs it.
TEST(LpWriter, SharedModelSetsRoundTrip) {
  std::vector<std::string> files = model_files(data_dir() + "/netlib");
  for (const std::string &f : model_files(data_dir() + "/miplib3")) files.push_back(f);
  if (files.empty()) GTEST_SKIP() << "model sets missing";
#ifndef NDEBUG
  files.resize(std::min<size_t>(files.size(), 8));  // sanitizer builds: a sample
#endif
  EnvHandle env;
  for (const std::string &path : files) {
    ModelHandle mps(env);
    ASSERT_EQ(TVreadMPSFile(mps, path.c_str(), 1), 0) << path;
    Rewritten lp(env, mps, "shared.lp");
    ASSERT_EQ(lp.code, 0) << path;
    Picture a = picture(mps), b = picture(lp.model);
    auto plain = [](const std::string &s) {
      return !s.empty() && std::isalpha(static_cast<unsigned char>(s[0])) &&
             std::all_of(s.begin(), s.end(), [](char ch) { return std::isalnum(static_cast<unsigned char>(ch)); });
    };
    for (auto *names : {&a.rownames, &a.colnames}) {
      const auto &got = names == &a.rownames ? b.rownames : b.colnames;
      ASSERT_EQ(names->size(), got.size()) << path;
      for (size_t k = 0; k < names->size(); ++k) {
        if (plain((*names)[k]) && (*names)[k].size() > 4) EXPECT_EQ((*names)[k], got[k]) << path;
        (*names)[k] = got[k];
      }
    }
    sort_columns(&a);
    sort_columns(&b);
    EXPECT_EQ(compare(a, b, 0), "") << path;
  }
}

}  // namespace
