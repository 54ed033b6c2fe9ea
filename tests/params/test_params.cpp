// Parameter values: the three stores and their rules, ranges, lookup by name
// and keyword, descriptions, and agreement of the public header with the table.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <regex>
#include <set>

#include "test_support.hpp"

using namespace tvtest;

namespace {

// Every "#define TV_xPARAM_NAME number" of the header's parameter section.
std::map<std::string, int> header_parameters() {
  std::ifstream in(std::string(TARVO_SOURCE_DIR) + "/include/tarvo.h");
  std::map<std::string, int> out;
  std::regex define(R"(^#define\s+(TV_[IDS]PARAM_[A-Z0-9_]+)\s+(-?\d+)\s*$)");
  std::string line;
  while (std::getline(in, line)) {
    std::smatch m;
    if (std::regex_match(line, m, define)) out[m[1]] = std::stoi(m[2]);
  }
  return out;
}

struct Fixture : testing::Test {
  EnvHandle env;
  ModelHandle model{env};
};

}  // namespace

TEST(ParameterTable, HeaderMacrosAndTableAgree) {
  EnvHandle env;
  auto header = header_parameters();
  ASSERT_EQ(header.size(), 463u);
  const TVparamRecord *recs = TVgetParamRecords(env);
  ASSERT_NE(recs, nullptr);
  std::set<std::string> in_table;
  int previous = 0;
  for (int i = 0; i < TVgetParamCount(env, 0); ++i) {
    const TVparamRecord &r = recs[i];
    in_table.insert(r.szid);
    EXPECT_GT(r.id, previous) << "records are sorted by identifier";
    previous = r.id;
    auto it = header.find(r.szid);
    ASSERT_NE(it, header.end()) << r.szid;
    EXPECT_EQ(it->second, r.id) << r.szid;
    int type = 0, id = 0;
    ASSERT_EQ(TVgetParamMacroID(env, r.szid, &type, &id), 0) << r.szid;
    EXPECT_EQ(id, it->second);
    EXPECT_EQ(static_cast<unsigned>(type), r.type);
    bool special = !std::strcmp(r.szid, "TV_IPARAM_SOLVER_TIMLMT") || !std::strcmp(r.szid, "TV_IPARAM_IIS_ITER_LIMIT") ||
                   !std::strcmp(r.szid, "TV_IPARAM_NLP_ITRLMT");
    if (std::strncmp(r.szid, "TV_DPARAM_", 10) == 0 || special)
      EXPECT_EQ(r.type, 8u) << r.szid;
    else
      EXPECT_EQ(r.type, 4u) << r.szid;
    EXPECT_TRUE(r.name && *r.name) << r.szid;
    EXPECT_TRUE(r.help && std::strlen(r.help) > 20) << r.szid << " needs a real help text";
    if (r.step != -99) {
      EXPECT_TRUE(r.cls & 4) << r.szid << " has a tuner step but is not tunable";
    }
  }
  EXPECT_EQ(in_table.size(), header.size());
  EXPECT_EQ(recs[0].pos, 1024u) << "the first record carries the environment marker";
}

TEST(ParameterTable, RowsOtherComponentsRelyOn) {
  EnvHandle env;
  struct Row {
    int id;
    unsigned type, cls;
    double min, max, dfl;
  } rows[] = {
      {TV_IPARAM_OBJSENSE, 4, 2048, -1, 1, 1},
      {TV_DPARAM_CALLBACKFREQ, 8, 3072, 0, 1e30, 0.5},
      {TV_IPARAM_COPY_MODE, 4, 3073, 0, 2147483647, 0},
      {TV_IPARAM_TUNER_PRINT_LEVEL, 4, 1024, 0, 10, 1},
      {TV_IPARAM_DEFAULT_SEED, 4, 1024, 0, 2147483647, 1031},
      {TV_IPARAM_SOLVER_TIMLMT, 8, 3072, -1, 2147483647, -1},
      {TV_DPARAM_SOLVER_FEASTOL, 8, 3074, 1e-10, 1e-4, 1e-7},
      {TV_IPARAM_NLP_ITRLMT, 8, 3072, -1, 2147483647, 2147483647},
      {TV_IPARAM_LP_SCALE, 4, 3072, 0, 3, -1},
      {TV_IPARAM_SPLEX_REFACFRQ, 4, 3072, 0, 2147483647, 200},
      {TV_IPARAM_LP_PRELEVEL, 4, 3073, 0, 2147483647, 254},
      {TV_DPARAM_MIP_INTTOL, 8, 3074, 1e-10, 0.5, 1e-6},
      {TV_IPARAM_MIP_PRELEVEL, 4, 3073, 0, 2147483647, 3070},
      {TV_DPARAM_MIP_CUTOFFOBJ, 8, 3072, -1e30, 1e30, 1e30},
      {TV_DPARAM_GOP_RELOPTTOL, 8, 3074, 0, 1, 1e-5},
  };
  const TVparamRecord *recs = TVgetParamRecords(env);
  for (const Row &row : rows) {
    const TVparamRecord *r = nullptr;
    for (int i = 0; i < TVgetParamCount(env, 0); ++i)
      if (recs[i].id == row.id) r = recs + i;
    ASSERT_NE(r, nullptr) << row.id;
    EXPECT_EQ(r->type, row.type) << r->szid;
    EXPECT_EQ(r->cls, row.cls) << r->szid;
    EXPECT_EQ(r->min, row.min) << r->szid;
    EXPECT_EQ(r->max, row.max) << r->szid;
    EXPECT_EQ(r->dfl, row.dfl) << r->szid;
  }
}

TEST_F(Fixture, DefaultOutsideTheRangeIsAcceptedAndOtherValuesAreChecked) {
  EXPECT_EQ(TVsetModelIntParameter(model, TV_IPARAM_LP_SCALE, -1), 0);
  EXPECT_EQ(TVsetModelIntParameter(model, TV_IPARAM_LP_SCALE, 4), 2024);
  EXPECT_EQ(TVsetModelIntParameter(model, TV_IPARAM_LP_SCALE, 2), 0);
  int scale = 0;
  EXPECT_EQ(TVgetModelIntParameter(model, TV_IPARAM_LP_SCALE, &scale), 0);
  EXPECT_EQ(scale, 2);
  EXPECT_EQ(TVsetModelIntParameter(model, TV_IPARAM_LP_SCALE, 4), 2024);
  TVgetModelIntParameter(model, TV_IPARAM_LP_SCALE, &scale);
  EXPECT_EQ(scale, 2) << "a refused value changes nothing";
  EXPECT_EQ(TVsetModelDouParameter(model, TV_DPARAM_SOLVER_FEASTOL, std::nan("")), 2024);
  EXPECT_EQ(TVsetModelDouParameter(model, TV_DPARAM_SOLVER_FEASTOL, 1e-3), 2024);
}

TEST_F(Fixture, ItemTableParameters) {
  EXPECT_EQ(TVsetModelIntParameter(model, TV_IPARAM_GA_OBJDIR, 2), 2024);
  EXPECT_EQ(TVsetModelIntParameter(model, TV_IPARAM_GA_OBJDIR, -1), 0);
  int dir = 0;
  EXPECT_EQ(TVgetModelIntParameter(model, TV_IPARAM_GA_OBJDIR, &dir), 0);
  EXPECT_EQ(dir, -1);
  EXPECT_EQ(TVsetModelIntParameter(model, TV_DPARAM_GA_CXOVER_PROB, 1), 2011) << "type mismatch";
  EXPECT_EQ(TVsetModelDouParameter(model, TV_DPARAM_GA_CXOVER_PROB, std::nan("")), 2024);
  EXPECT_EQ(TVsetModelDouParameter(model, TV_DPARAM_GA_CXOVER_PROB, 0.5), 0);
  double prob = 0;
  EXPECT_EQ(TVgetModelDouParameter(model, TV_DPARAM_GA_CXOVER_PROB, &prob), 0);
  EXPECT_EQ(prob, 0.5);
  EXPECT_EQ(TVsetModelIntParameter(model, 12345, 1), 2074);
  EXPECT_EQ(TVgetModelIntParameter(model, 12345, &dir), 2074);
  EXPECT_EQ(TVsetModelParameter(model, TV_IPARAM_GA_OBJDIR, &dir), 2011) << "not a classic parameter";
}

TEST_F(Fixture, ClassicRulesOfTheirOwn) {
  EXPECT_EQ(TVsetModelDouParameter(model, TV_DPARAM_MIP_INTTOL, 0.5), 2024);
  EXPECT_EQ(TVsetModelDouParameter(model, TV_DPARAM_MIP_INTTOL, 1e-10), 2024);
  EXPECT_EQ(TVsetModelDouParameter(model, TV_DPARAM_MIP_INTTOL, 1e-5), 0);
  EXPECT_EQ(TVsetModelIntParameter(model, TV_IPARAM_MULTITHREAD_MODE, 100), 0);
  EXPECT_EQ(TVsetModelIntParameter(model, TV_IPARAM_MULTITHREAD_MODE, -2), 2024);
  EXPECT_EQ(TVsetModelIntParameter(model, TV_IPARAM_OBJSENSE, 0), 2007);
  EXPECT_EQ(TVsetModelIntParameter(model, TV_IPARAM_OBJSENSE, TV_MAX), 0);
  int sense = 0;
  EXPECT_EQ(TVgetModelIntParameter(model, TV_IPARAM_OBJSENSE, &sense), 0);
  EXPECT_EQ(sense, TV_MAX);
  EXPECT_EQ(TVsetEnvIntParameter(env, TV_IPARAM_OBJSENSE, 1), 2011) << "a model-only parameter";
  EXPECT_EQ(TVgetEnvIntParameter(env, TV_IPARAM_OBJSENSE, &sense), 2009);
  EXPECT_EQ(TVsetModelDouParameter(model, TV_IPARAM_LP_PRINTLEVEL, 2.0), 2011) << "integer parameter, double setter";
  double d = 0;
  EXPECT_EQ(TVgetModelDouParameter(model, TV_IPARAM_LP_PRINTLEVEL, &d), 2009);
}

TEST_F(Fixture, ScopeOfEnvironmentOnlyParameters) {
  EXPECT_EQ(TVsetModelIntParameter(model, TV_IPARAM_TUNER_PRINT_LEVEL, 2), 2011);
  int v = 0;
  EXPECT_EQ(TVgetModelIntParameter(model, TV_IPARAM_TUNER_PRINT_LEVEL, &v), 2009);
  EXPECT_EQ(TVsetEnvIntParameter(env, TV_IPARAM_TUNER_PRINT_LEVEL, 2), 0);
  EXPECT_EQ(TVgetEnvIntParameter(env, TV_IPARAM_TUNER_PRINT_LEVEL, &v), 0);
  EXPECT_EQ(v, 2);
  EXPECT_EQ(TVgetEnvIntParameter(env, TV_IPARAM_DEFAULT_SEED, &v), 0);
  EXPECT_EQ(v, 1031);
}

TEST_F(Fixture, DoubleRecordedParametersKeepTwoValues) {
  EXPECT_EQ(TVsetModelIntParameter(model, TV_IPARAM_SOLVER_TIMLMT, 60), 0);
  EXPECT_EQ(TVsetModelDouParameter(model, TV_IPARAM_SOLVER_TIMLMT, 12.5), 0);
  int seconds = 0;
  double fractional = 0;
  EXPECT_EQ(TVgetModelIntParameter(model, TV_IPARAM_SOLVER_TIMLMT, &seconds), 0);
  EXPECT_EQ(TVgetModelDouParameter(model, TV_IPARAM_SOLVER_TIMLMT, &fractional), 0);
  EXPECT_EQ(seconds, 60);
  EXPECT_EQ(fractional, 12.5);
  EXPECT_EQ(TVsetModelIntParameter(model, TV_IPARAM_SOLVER_TIMLMT, -5), 2024);
  int through_classic = 0;
  EXPECT_EQ(TVgetModelParameter(model, TV_IPARAM_SOLVER_TIMLMT, &through_classic), 0);
  EXPECT_EQ(through_classic, 60);
}

TEST_F(Fixture, StochasticStore) {
  EXPECT_EQ(TVsetModelIntParameter(model, TV_IPARAM_STOC_METHOD, TV_METHOD_STOC_NBD), 0);
  int method = 0;
  EXPECT_EQ(TVgetModelIntParameter(model, TV_IPARAM_STOC_METHOD, &method), 0);
  EXPECT_EQ(method, TV_METHOD_STOC_NBD);
  EXPECT_EQ(TVsetModelIntParameter(model, TV_IPARAM_STOC_METHOD, 99), 2024);
  EXPECT_EQ(TVsetModelIntParameter(model, TV_SPARAM_STOC_FMT_NODE_NAME, 0), 2011) << "string parameters are not numeric";
}

TEST_F(Fixture, VoidPointerFormsUseTheRecordsType) {
  int level = 3;
  EXPECT_EQ(TVsetModelParameter(model, TV_IPARAM_LP_PRINTLEVEL, &level), 0);
  double tol = 1e-8;
  EXPECT_EQ(TVsetEnvParameter(env, TV_DPARAM_SOLVER_OPTTOL, &tol), 0);
  int read_level = 0;
  double read_tol = 0;
  EXPECT_EQ(TVgetModelParameter(model, TV_IPARAM_LP_PRINTLEVEL, &read_level), 0);
  EXPECT_EQ(TVgetEnvParameter(env, TV_DPARAM_SOLVER_OPTTOL, &read_tol), 0);
  EXPECT_EQ(read_level, 3);
  EXPECT_EQ(read_tol, 1e-8);
  EXPECT_EQ(TVsetModelParameter(model, TV_IPARAM_LP_PRINTLEVEL, nullptr), 2010);
  EXPECT_EQ(TVsetModelParameter(nullptr, TV_IPARAM_LP_PRINTLEVEL, &level), 2010);
  EXPECT_EQ(TVsetModelIntParameter(nullptr, TV_IPARAM_LP_PRINTLEVEL, 1), 2010);
  EXPECT_EQ(TVgetEnvDouParameter(env, TV_DPARAM_SOLVER_OPTTOL, nullptr), 2010);
}

TEST_F(Fixture, Ranges) {
  int lo = 5, hi = 5;
  EXPECT_EQ(TVgetIntParameterRange(model, TV_IPARAM_LP_SCALE, &lo, &hi), 0);
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, 3);
  EXPECT_EQ(TVgetIntParameterRange(model, TV_IPARAM_MULTITHREAD_MODE, &lo, nullptr), 0);
  EXPECT_EQ(lo, -1);
  double dlo = 1, dhi = 1;
  EXPECT_EQ(TVgetDouParameterRange(model, TV_DPARAM_MIP_INTTOL, &dlo, &dhi), 0);
  EXPECT_EQ(dlo, 1e-10);
  EXPECT_EQ(dhi, 0.5);
  EXPECT_EQ(TVgetDouParameterRange(model, TV_DPARAM_GA_CXOVER_PROB, &dlo, &dhi), 0);
  EXPECT_LE(dlo, dhi);
  lo = hi = 9;
  EXPECT_EQ(TVgetIntParameterRange(nullptr, TV_IPARAM_LP_SCALE, &lo, &hi), 2010);
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, 0);
  EXPECT_EQ(TVgetIntParameterRange(model, 424242, &lo, &hi), 2074);
}

TEST_F(Fixture, MacroNamesAndAliases) {
  int type = 0, id = 0;
  EXPECT_EQ(TVgetParamMacroID(env, "TV_IPARAM_SPLEX_SCALE", &type, &id), 0);
  EXPECT_EQ(id, TV_IPARAM_LP_SCALE);
  EXPECT_EQ(type, 4);
  EXPECT_EQ(TVgetParamMacroID(env, "TV_IPARAM_SCALE", &type, &id), 2074) << "an alias of an alias";
  EXPECT_EQ(TVgetParamMacroID(env, "TV_DPARAM_MIP_OPTTOL", &type, &id), 0);
  EXPECT_EQ(id, TV_DPARAM_MIP_RELOPTTOL);
  EXPECT_EQ(TVgetParamMacroID(env, "TVLOC_BANDB", &type, &id), 2074) << "maps to a name that is no parameter";
  EXPECT_EQ(TVgetParamMacroID(env, "tv_iparam_lp_scale", &type, &id), 2074);
  EXPECT_EQ(TVgetParamMacroID(env, nullptr, &type, &id), 2010);
  EXPECT_EQ(TVgetParamMacroID(env, "TV_IPARAM_LP_SCALE", nullptr, &id), 2010);
}

TEST_F(Fixture, KeywordSearch) {
  int pos = 0, id = 0;
  EXPECT_EQ(TVsearchParamHasKeyword(env, "LP_SCALE", &pos, &id), 0);
  EXPECT_EQ(id, TV_IPARAM_LP_SCALE);
  int found = 0;
  for (pos = 0;; ++pos) {
    ASSERT_EQ(TVsearchParamHasKeyword(env, "_GA_", &pos, &id), 0);
    if (id == -1) break;
    ++found;
    ASSERT_LT(found, 1000);
  }
  EXPECT_EQ(found, 27);
  EXPECT_EQ(pos, 463);
  pos = -10;
  EXPECT_EQ(TVsearchParamHasKeyword(env, "4029", &pos, &id), 0);
  EXPECT_EQ(id, 4029);
  pos = 463;
  EXPECT_EQ(TVsearchParamHasKeyword(env, "4029", &pos, &id), 2012);
  EXPECT_EQ(TVsearchParamHasKeyword(env, "NO_SUCH_THING", nullptr, &id), 0);
  EXPECT_EQ(id, -1);
  EXPECT_EQ(TVsearchParamHasKeyword(env, nullptr, &pos, &id), 2010);
}

TEST_F(Fixture, Descriptions) {
  char buf[4096];
  EXPECT_EQ(TVgetParamMacroName(env, TV_IPARAM_LP_PRINTLEVEL, buf), 0);
  EXPECT_STREQ(buf, "TV_IPARAM_LP_PRINTLEVEL");
  EXPECT_EQ(TVgetParamShortDesc(env, TV_IPARAM_LP_PRINTLEVEL, buf), 0);
  EXPECT_STREQ(buf, TVgetParamShortDescPtr(env, TV_IPARAM_LP_PRINTLEVEL));
  EXPECT_EQ(TVgetParamLongDesc(env, TV_IPARAM_LP_PRINTLEVEL, buf), 0);
  EXPECT_STREQ(buf, TVgetParamLongDescPtr(env, TV_IPARAM_LP_PRINTLEVEL));
  EXPECT_STREQ(TVgetParamLongDescPtr(env, -TV_IPARAM_LP_PRINTLEVEL), buf);
  EXPECT_STREQ(TVgetParamMacroNamePtr(env, TV_DPARAM_MIP_INTTOL), "TV_DPARAM_MIP_INTTOL");
  EXPECT_EQ(TVgetParamShortDesc(env, 31337, buf), 2074);
  EXPECT_EQ(TVgetParamShortDescPtr(env, 31337), nullptr);
  EXPECT_EQ(TVgetParamMacroNamePtr(nullptr, TV_DPARAM_MIP_INTTOL), nullptr);
  EXPECT_EQ(TVgetParamLongDesc(env, TV_IPARAM_LP_PRINTLEVEL, nullptr), 2010);
}
