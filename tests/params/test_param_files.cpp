// Parameter files, the numeric-name CSV log and the AsciiDoc reference.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <sstream>
#include <unistd.h>

#include "test_support.hpp"

using namespace tvtest;

namespace {

struct Files : testing::Test {
  EnvHandle env;
  ModelHandle model{env};
  std::string log;
  std::string path = temp_path("params.par");
  void SetUp() override { TVsetModelLogfunc(model, collect_model_log, &log); }
  void TearDown() override { std::remove(path.c_str()); }
};

std::vector<std::string> lines_of(const std::string &text) {
  std::vector<std::string> out;
  std::stringstream ss(text);
  std::string line;
  while (std::getline(ss, line)) out.push_back(line);
  return out;
}

const std::regex kSetting(R"(^(!?)(TV_[IDS]PARAM_[A-Z0-9_]+) +=(.*)$)");

}  // namespace

TEST_F(Files, FreshModelWritesOnlyCommentedSettings) {
  ASSERT_EQ(TVwriteModelParameter(model, path.c_str()), 0);
  auto lines = lines_of(read_file(path));
  ASSERT_GT(lines.size(), 13u);
  EXPECT_EQ(lines[0], std::string(79, '!'));
  EXPECT_EQ(lines[2], "! This is the parameter file for use with TARVO API 1600. Each line contains");
  EXPECT_EQ(lines[10], "! <runtarvo.exe> driver program reads <tarvo.par> file.");
  EXPECT_EQ(lines[12], std::string(79, '!'));
  int settings = 0;
  for (const auto &line : lines) {
    std::smatch m;
    if (std::regex_match(line, m, kSetting) && m[2] != "") {
      if (line.find(" = ") == std::string::npos) continue;  // help text quoting a name
      ++settings;
      EXPECT_EQ(m[1], "!") << line;
    }
  }
  EXPECT_EQ(settings, 463 - 5) << "every parameter but the read-only version numbers";
  EXPECT_NE(log.find("\nWritten model parameters to " + path), std::string::npos);
}

TEST_F(Files, ChangedValuesAreWrittenActiveAndReadBack) {
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_LP_PRINTLEVEL, 3), 0);
  ASSERT_EQ(TVsetModelDouParameter(model, TV_DPARAM_SOLVER_FEASTOL, 1e-6), 0);
  ASSERT_EQ(TVsetModelDouParameter(model, TV_DPARAM_GA_CXOVER_PROB, 0.3), 0);
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_STOC_RG_SEED, 4242), 0);
  ASSERT_EQ(TVwriteModelParameter(model, path.c_str()), 0);
  std::string text = read_file(path);
  EXPECT_NE(text.find("\nTV_IPARAM_LP_PRINTLEVEL                    = 3\n\n\n"), std::string::npos);
  EXPECT_NE(text.find("\nTV_DPARAM_SOLVER_FEASTOL                   = 1e-06\n"), std::string::npos);
  ModelHandle fresh(env);
  std::string fresh_log;
  TVsetModelLogfunc(fresh, collect_model_log, &fresh_log);
  EXPECT_EQ(TVreadModelParameter(fresh, path.c_str()), 0);
  int level = 0, seed = 0;
  double tol = 0, prob = 0;
  TVgetModelIntParameter(fresh, TV_IPARAM_LP_PRINTLEVEL, &level);
  TVgetModelDouParameter(fresh, TV_DPARAM_SOLVER_FEASTOL, &tol);
  TVgetModelDouParameter(fresh, TV_DPARAM_GA_CXOVER_PROB, &prob);
  TVgetModelIntParameter(fresh, TV_IPARAM_STOC_RG_SEED, &seed);
  EXPECT_EQ(level, 3);
  EXPECT_EQ(tol, 1e-6);
  EXPECT_EQ(prob, 0.3);
  EXPECT_EQ(seed, 4242);
  EXPECT_NE(fresh_log.find("\nReading model parameters from " + path), std::string::npos);
  char shortdesc[512];
  TVgetParamShortDesc(env, TV_IPARAM_LP_PRINTLEVEL, shortdesc);
  EXPECT_NE(fresh_log.find(std::string("\n") + shortdesc + ": 3"), std::string::npos) << fresh_log;
  EXPECT_NE(fresh_log.find("1.0e-06"), std::string::npos) << fresh_log;
}

TEST_F(Files, ReaderMatchesWholeNamesAndSurvivesGarbage) {
  std::string content;
  content += "\x01\x02\xff garbage \x7f\n";
  content += std::string(5000, 'A') + " TV_IPARAM_MIP_PRINTLEVEL = 4\n";  // overlong: its tail is not a line
  content += "!TV_IPARAM_NLP_PRINTLEVEL = 3\n";
  content += "TV_IPARAM_LP_PRINTLEVELX = 4\n";
  content += "   TV_IPARAM_LP_PRINTLEVEL   =   3\n";
  content += "TV_IPARAM_LP_PRINTLEVEL = 1\n";  // only the first matching line counts
  content += "TV_DPARAM_SOLVER_OPTTOL = banana\n";
  content += "TV_IPARAM_SPLEX_REFACFRQ =\n";
  content += std::string("TV_IPARAM_GA_SEED = 7\0 hidden\n", 30);
  write_file(path, content);
  TVreadModelParameter(model, path.c_str());
  int v = 0;
  TVgetModelIntParameter(model, TV_IPARAM_GA_SEED, &v);
  EXPECT_EQ(v, 7) << "text after a zero byte is ignored";
  TVgetModelIntParameter(model, TV_IPARAM_LP_PRINTLEVEL, &v);
  EXPECT_EQ(v, 3);
  TVgetModelIntParameter(model, TV_IPARAM_MIP_PRINTLEVEL, &v);
  EXPECT_EQ(v, 2);
  TVgetModelIntParameter(model, TV_IPARAM_NLP_PRINTLEVEL, &v);
  EXPECT_EQ(v, 1);
  TVgetModelIntParameter(model, TV_IPARAM_SPLEX_REFACFRQ, &v);
  EXPECT_EQ(v, 200);
  double tol = 0;
  TVgetModelDouParameter(model, TV_DPARAM_SOLVER_OPTTOL, &tol);
  EXPECT_EQ(tol, 1e-7);
}

TEST_F(Files, RefusedValuesAreReportedAndReadingGoesOn) {
  write_file(path, "TV_IPARAM_LP_SCALE = 9\nTV_IPARAM_TUNER_PRINT_LEVEL = 3\nTV_IPARAM_LP_PRINTLEVEL = 0\n");
  int code = TVreadModelParameter(model, path.c_str());
  EXPECT_EQ(code, 0) << "the result is the code of the last setter";
  EXPECT_NE(log.find("\n*** Warning: Model failed to set TV_IPARAM_LP_SCALE to 9\n" + message(2024)),
            std::string::npos)
      << log;
  EXPECT_EQ(log.find("TUNER_PRINT_LEVEL"), std::string::npos) << "a parameter of another scope is silent";
  int v = -1;
  TVgetModelIntParameter(model, TV_IPARAM_LP_PRINTLEVEL, &v);
  EXPECT_EQ(v, 0);
}

// A misspelt name or a value that is not a number must not leave the default
// in force without a word: each is reported and the read ends with a code.
TEST_F(Files, UnknownNamesAndValuesThatAreNotNumbersAreReported) {
  write_file(path,
             "TV_IPARAM_NOT_A_PARAM = 1\n"
             "TV_IPARAM_LP_PRINTLEVEL = banana\n"
             "TV_IPARAM_MIP_PRINTLEVEL = 1.5\n"
             "TV_DPARAM_SOLVER_FEASTOL = 1e-6 tight\n"
             "TV_IPARAM_NLP_PRINTLEVEL = 3\n"
             "! TV_IPARAM_COMMENTED_OUT = 1\n"
             "\n");
  EXPECT_NE(TVreadModelParameter(model, path.c_str()), 0);
  EXPECT_NE(log.find("\n*** Warning: Model failed to set TV_IPARAM_NOT_A_PARAM to 1\n" + message(2074)),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("\n*** Warning: Model failed to set TV_IPARAM_LP_PRINTLEVEL to banana\n" + message(2025)),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("failed to set TV_IPARAM_MIP_PRINTLEVEL to 1.5\n"), std::string::npos) << "not cut to 1";
  EXPECT_NE(log.find("failed to set TV_DPARAM_SOLVER_FEASTOL to 1e-6 tight\n"), std::string::npos);
  EXPECT_EQ(log.find("COMMENTED_OUT"), std::string::npos);
  int v = -1;
  TVgetModelIntParameter(model, TV_IPARAM_MIP_PRINTLEVEL, &v);
  EXPECT_EQ(v, 2) << "a refused value leaves the parameter as it was";
  TVgetModelIntParameter(model, TV_IPARAM_NLP_PRINTLEVEL, &v);
  EXPECT_EQ(v, 3) << "good lines still apply";

  // The environment reader and the record-table loader report the same way.
  EXPECT_NE(TVreadEnvParameter(env, path.c_str()), 0);
  write_file(path, "TV_IPARAM_NOT_A_PARAM = 1\n\x1b[2J\x01 = 2\n");
  log.clear();
  EXPECT_EQ(TVloadModelParameter(model, path.c_str(), TVgetParamCount(env, 0), TVgetParamRecords(env)), 2074);
  EXPECT_NE(log.find("failed to set \\x1B[2J\\x01 to 2\n"), std::string::npos) << "control bytes are escaped";
}

TEST_F(Files, MissingFilesAndBadArguments) {
  EXPECT_EQ(TVreadModelParameter(model, "/nonexistent/dir/file.par"), 2002);
  EXPECT_NE(log.find("\nWarning: " + message(2002) + " (error:2002)"), std::string::npos);
  EXPECT_EQ(TVreadModelParameter(model, nullptr), 2010);
  EXPECT_EQ(TVreadModelParameter(nullptr, path.c_str()), 2010);
  EXPECT_EQ(TVwriteModelParameter(model, nullptr), 2010);
  EXPECT_EQ(TVwriteModelParameter(model, "/nonexistent/dir/file.par"), 2002);
  EXPECT_EQ(TVwriteModelParameter(model, "/tmp"), 2002) << "a directory";
  EXPECT_EQ(TVreadEnvParameter(env, "/tmp"), 0) << "a directory reads as an empty file or fails to open";
  TVparamRecord bad = *TVgetParamRecords(env);
  bad.type = 7;
  write_file(path, "x\n");
  EXPECT_EQ(TVloadModelParameter(model, path.c_str(), 1, &bad), 2012);
  EXPECT_EQ(TVloadModelParameter(model, path.c_str(), 1, nullptr), 2010);
}

TEST_F(Files, EnvironmentFilesGiveNewModelsTheirDefaults) {
  write_file(path, "TV_IPARAM_LP_PRINTLEVEL = 5\nTV_IPARAM_DEFAULT_SEED = 99\n");
  EXPECT_EQ(TVreadEnvParameter(env, path.c_str()), 0);
  ModelHandle later(env);
  int level = 0, seed = 0;
  TVgetModelIntParameter(later, TV_IPARAM_LP_PRINTLEVEL, &level);
  TVgetEnvIntParameter(env, TV_IPARAM_DEFAULT_SEED, &seed);
  EXPECT_EQ(level, 5);
  EXPECT_EQ(seed, 99);
  std::string out = temp_path("env.par");
  EXPECT_EQ(TVwriteEnvParameter(env, out.c_str()), 0);
  std::string text = read_file(out);
  EXPECT_NE(text.find("\nTV_IPARAM_DEFAULT_SEED                     = 99\n"), std::string::npos);
  EXPECT_NE(text.find("\n!TV_IPARAM_OBJSENSE"), std::string::npos) << "a model-only parameter stays commented";
  std::remove(out.c_str());
}

TEST_F(Files, NumericFileNameWritesTheCsvLogOnce) {
  char dir[] = "/tmp/tarvo_csv_XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  std::string cwd(4096, '\0');
  ASSERT_NE(getcwd(cwd.data(), cwd.size()), nullptr);
  ASSERT_EQ(chdir(dir), 0);
  EXPECT_EQ(TVwriteModelParameter(model, "1.5"), 0);
  std::string csv = read_file("1.param.csv");
  auto lines = lines_of(csv);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].rfind("TV_IPARAM_OBJSENSE,", 0), 0u) << lines[0].substr(0, 40);
  EXPECT_EQ(std::count(lines[0].begin(), lines[0].end(), ','), std::count(lines[1].begin(), lines[1].end(), ','));
  EXPECT_NE(log.find("\nLogged model parameters to 1.param.csv"), std::string::npos);
  TVsetModelIntParameter(model, TV_IPARAM_LP_PRINTLEVEL, 4);
  EXPECT_EQ(TVwriteModelParameter(model, "1.5"), 0);
  EXPECT_EQ(read_file("1.param.csv"), csv) << "an existing log is kept";
  std::remove("1.param.csv");
  ASSERT_EQ(chdir(cwd.c_str()), 0);
  rmdir(dir);
}

TEST_F(Files, AsciiDocReference) {
  std::string doc = temp_path("params.adoc");
  std::string envlog;
  TVsetEnvLogfunc(env, collect_env_log, &envlog);
  ASSERT_EQ(TVwriteParameterAsciiDoc(env, doc.c_str()), 0);
  std::string text = read_file(doc);
  EXPECT_EQ(text.rfind("[cols=\"3*\", options=\"header\"] \n|===\n|Name |Available for| Description \n", 0), 0u);
  EXPECT_EQ(text.substr(text.size() - 5), "|===\n");
  EXPECT_NE(text.find("|TV_IPARAM_OBJSENSE\n|Model\n|\n"), std::string::npos);
  EXPECT_NE(text.find("|TV_IPARAM_DEFAULT_SEED\n|Environment\n|\n"), std::string::npos);
  EXPECT_NE(text.find("|TV_IPARAM_LP_PRINTLEVEL\n|Environment,Model\n|\n"), std::string::npos);
  size_t rows = 0;
  for (size_t p = text.find("\n|TV_"); p != std::string::npos; p = text.find("\n|TV_", p + 1)) ++rows;
  EXPECT_EQ(rows, 463u);
  EXPECT_EQ(envlog, "\nWritten parameters to " + doc + " in asciidoc format");
  EXPECT_EQ(TVwriteParameterAsciiDoc(env, "/nonexistent/dir/x.adoc"), 2002);
  EXPECT_EQ(TVwriteParameterAsciiDoc(nullptr, doc.c_str()), 2010);
  std::remove(doc.c_str());
}
