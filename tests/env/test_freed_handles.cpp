// Handles the library has freed (or never made) must be refused with a return
// code, never read: a host keeps copies of its handles, and TVdeleteEnv frees
// the models still attached behind the host's back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.hpp"

namespace {

// A loaded one-row LP, so that the calls below would do real work on a live model.
pTVmodel loaded_model(pTVenv env) {
  int code = -1;
  pTVmodel model = TVcreateModel(env, &code);
  const double c[2] = {1, 2}, b[1] = {4}, values[2] = {1, 1};
  const int starts[3] = {0, 1, 2}, rows[2] = {0, 0};
  EXPECT_EQ(TVloadLPData(model, 1, 2, TV_MIN, 0, c, b, "G", 2, starts, nullptr, values, rows, nullptr, nullptr), 0);
  return model;
}

// Calls every kind of entry point on a handle that is not live.
void expect_refused(pTVmodel model) {
  int status = -1, n = -1;
  double x[2] = {-7, -7};
  EXPECT_EQ(TVoptimize(model, TV_METHOD_FREE, &status), 2010);
  EXPECT_EQ(status, -1) << "nothing may be written through a refused call";
  EXPECT_EQ(TVgetPrimalSolution(model, x), 2010);
  EXPECT_EQ(x[0], -7);
  EXPECT_EQ(TVgetInfo(model, TV_IINFO_MODEL_STATUS, &n), 2010);
  EXPECT_EQ(TVsetModelIntParameter(model, TV_IPARAM_LP_PRINTLEVEL, 1), 2010);
  EXPECT_EQ(TVgetDimensions(model, &n, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr),
            2010);
  EXPECT_EQ(TVmodifyObjective(model, 1, &n, x), 2010);
  EXPECT_EQ(TVwriteMPSFile(model, tvtest::temp_path("stale.mps").c_str(), 0), 2010);
  pTVenv owner = nullptr;
  EXPECT_EQ(TVgetModelEnv(model, &owner), 2009);
  EXPECT_EQ(owner, nullptr);
  int code = -1;
  EXPECT_EQ(TVcopyModel(model, &code), nullptr);
  EXPECT_EQ(code, 2010);
  EXPECT_EQ(TVlogmod(model, 1, "%s", "text"), 0);
}

}  // namespace

TEST(FreedHandles, ModelsFreedWithTheirEnvironmentAreRefused) {
  int code = -1;
  pTVenv env = TVcreateEnv(&code, nullptr);
  pTVmodel a = loaded_model(env);
  pTVmodel b = loaded_model(env);
  ASSERT_TRUE(a && b);
  pTVenv env_copy = env;
  ASSERT_EQ(TVdeleteEnv(&env), 0);

  pTVmodel a_copy = a;
  EXPECT_EQ(TVdeleteModel(&a), 2010);
  EXPECT_EQ(a, a_copy) << "a refused delete leaves the caller's handle alone";
  expect_refused(b);

  EXPECT_EQ(TVdeleteEnv(&env_copy), 2010);
  EXPECT_EQ(TVcreateModel(env_copy, &code), nullptr);
  EXPECT_EQ(code, 2010);
  EXPECT_EQ(TVsetEnvIntParameter(env_copy, TV_IPARAM_LP_PRINTLEVEL, 1), 2010);
  int count = -1;
  EXPECT_EQ(TVgetEnvModelCount(env_copy, &count), 2009);
  EXPECT_EQ(TVgetParamCount(env_copy, 0), 0);
  char text[256];
  EXPECT_EQ(TVgetErrorMessage(env_copy, 2010, text), 0) << "a stale environment reads like none";
  EXPECT_STREQ(text, tvtest::message(2010).c_str());
}

TEST(FreedHandles, ACopyOfADeletedModelStaysDeadWhileNewModelsAreMade) {
  tvtest::EnvHandle env;
  pTVmodel model = loaded_model(env);
  pTVmodel stale = model;
  ASSERT_EQ(TVdeleteModel(&model), 0);
  EXPECT_EQ(model, nullptr);
  // New models of the same size must not take over the stale address at once.
  std::vector<pTVmodel> fresh;
  for (int k = 0; k < 8; ++k) {
    fresh.push_back(loaded_model(env));
    EXPECT_NE(fresh.back(), stale);
  }
  expect_refused(stale);
  EXPECT_EQ(TVdeleteModel(&stale), 2010);
  int count = -1;
  ASSERT_EQ(TVgetEnvModelCount(env, &count), 0);
  EXPECT_EQ(count, 8) << "a refused delete touches no other model";
  for (pTVmodel &m : fresh) EXPECT_EQ(TVdeleteModel(&m), 0);
}

TEST(FreedHandles, HandlesTheLibraryNeverMadeAreRefused) {
  alignas(64) unsigned char junk[4096] = {0};
  for (auto &byte : junk) byte = 0xA5;
  auto model = reinterpret_cast<pTVmodel>(junk);
  auto env = reinterpret_cast<pTVenv>(junk);
  expect_refused(model);
  EXPECT_EQ(TVdeleteModel(&model), 2010);
  EXPECT_EQ(TVdeleteEnv(&env), 2010);
  EXPECT_EQ(TVsetModelLogfunc(model, nullptr, nullptr), 2010);
}

// Every exported definition that takes a handle asks the registry before it
// touches the handle, or hands it on to an entry point that does. A new entry
// point that forgets would read freed memory on a stale handle.
TEST(FreedHandles, EveryEntryPointTakingAHandleChecksIt) {
  const std::string root = TARVO_SOURCE_DIR "/src";
  std::vector<std::string> files;
  for (const auto &entry : std::filesystem::recursive_directory_iterator(root))
    if (entry.path().extension() == ".cpp") files.push_back(entry.path().string());
  ASSERT_GT(files.size(), 20u);
  const std::regex definition(R"(\n(?:extern "C" )?TVAPI[^\n(]*\b(TV\w+)\s*\(([^)]*)\)\s*\{)");
  const std::regex handle(R"(pTV(?:model|env)\s+(\w+))");
  int checked = 0;
  std::vector<std::string> unchecked;
  for (const std::string &file : files) {
    std::stringstream buffer;
    buffer << std::ifstream(file).rdbuf();
    const std::string text = buffer.str();
    for (std::sregex_iterator it(text.begin(), text.end(), definition), end; it != end; ++it) {
      // The body runs to the matching brace.
      size_t open = it->position(0) + it->length(0) - 1, close = open;
      for (int depth = 0; close < text.size(); ++close) {
        if (text[close] == '{') ++depth;
        if (text[close] == '}' && --depth == 0) break;
      }
      const std::string body = text.substr(open, close - open);
      const std::string params = (*it)[2];
      for (std::sregex_iterator h(params.begin(), params.end(), handle), hend; h != hend; ++h) {
        const std::string name = (*h)[1];
        const std::regex asks("live\\(" + name + "\\)|\\bTV\\w+\\(\\s*" + name + "\\b");
        ++checked;
        if (!std::regex_search(body, asks)) unchecked.push_back((*it)[1].str() + " (" + name + ")");
      }
    }
  }
  EXPECT_GT(checked, 150);
  std::string names;
  for (const std::string &u : unchecked) names += " " + u;
  EXPECT_TRUE(unchecked.empty()) << "entry points that do not check their handle:" << names;
}
