// Shared helpers of the generator and sampling tests.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>

#include "tarvo.h"
#include "test_support.hpp"

namespace stoc_test {

struct Generator {
  pTVrandom rg = nullptr;
  Generator(pTVenv env, int type, int seed) {
    rg = TVcreateRG(env, type);
    if (rg && seed != 0) TVsetRGSeed(rg, seed);
  }
  ~Generator() {
    if (rg) TVdisposeRG(&rg);
  }
  operator pTVrandom() const { return rg; }
};

struct Sample {
  pTVsample s = nullptr;
  int code = -1;
  Sample(pTVenv env, int type, std::initializer_list<double> params = {}) {
    s = TVsampCreate(env, type, &code);
    int i = 0;
    for (double p : params) TVsampSetDistrParam(s, i++, p);
  }
  ~Sample() {
    if (s) TVsampDelete(&s);
  }
  operator pTVsample() const { return s; }
  double eval(int func, double x, int *rc = nullptr) const {
    double r = -12345;
    int c = TVsampEvalDistr(s, func, x, &r);
    if (rc) *rc = c;
    return r;
  }
};

class StocTest : public ::testing::Test {
 protected:
  tvtest::EnvHandle env;
};

}  // namespace stoc_test
