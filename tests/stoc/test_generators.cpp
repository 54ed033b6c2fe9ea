// Generator streams against independent re-implementations, seeding rules,
// integer draws, the buffered twister and thread safety of shared draws.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <thread>
#include <vector>

#include "reference_values.hpp"
#include "stoc_fixture.hpp"

using namespace stoc_test;

TEST_F(StocTest, EveryTypeReproducesItsReferenceStream) {
  for (const auto &row : stoc_ref::kStreams) {
    Generator g(env, row.type, static_cast<int>(row.seed));
    ASSERT_NE(g.rg, nullptr);
    std::vector<double> draws;
    for (int i = 0; i < 60; ++i) draws.push_back(TVgetDoubleRV(g));
    const int at[5] = {0, 1, 2, 30, 59};
    for (int k = 0; k < 5; ++k)
      EXPECT_EQ(draws[at[k]], row.draws[k]) << "type " << row.type << " seed " << row.seed << " draw " << at[k];
  }
}

TEST_F(StocTest, DrawsStayInsideTheirRanges) {
  for (int type = 0; type <= 6; ++type) {
    Generator g(env, type, 977);
    for (int i = 0; i < 20000; ++i) {
      double u = TVgetDoubleRV(g);
      ASSERT_GE(u, 0.0) << type;
      ASSERT_LE(u, 1.0) << type;
      if (type == 1) {
        ASSERT_GT(u, 0.0);
      }
      if (type == 3) {
        ASSERT_LE(u, 0.99999988);
      }
      if (type >= 4) {
        ASSERT_LT(u, 1.0);
      }
    }
  }
}

TEST_F(StocTest, UnseededTwisterRunsTheStandardSeed5489) {
  Generator fresh(env, TV_RANDOM_MT19937, 0);
  Generator def(env, TV_RANDOM_DEFAULT, 0);
  // Published outputs of MT19937 with seed 5489: the 1st and the 10000th.
  EXPECT_EQ(TVgetDoubleRV(fresh), 3499211612.0 * 2.3283064365386963e-10);
  EXPECT_EQ(TVgetDoubleRV(def), 3499211612.0 * 2.3283064365386963e-10);
  for (int i = 2; i < 10000; ++i) TVgetDoubleRV(fresh);
  EXPECT_EQ(TVgetDoubleRV(fresh), 4123659995.0 * 2.3283064365386963e-10);
  EXPECT_EQ(TVgetInitSeed(fresh), 0u);  // still counts as never seeded
}

TEST_F(StocTest, SystemTypeFollowsTheRuntimeGenerator) {
  Generator g(env, TV_RANDOM_SYSTEM, 4242);
  std::srand(4242);
  std::vector<double> expected;
  for (int i = 0; i < 5; ++i) expected.push_back(std::rand() / static_cast<double>(RAND_MAX));
  TVsetRGSeed(g, 4242);
  for (double e : expected) EXPECT_EQ(TVgetDoubleRV(g), e);
}

TEST_F(StocTest, SeedIsStoredAndZeroMeansTheClock) {
  Generator g(env, TV_RANDOM_MRG32K3A, 0);
  EXPECT_EQ(TVgetInitSeed(g), 0u);
  EXPECT_EQ(TVsetRGSeed(g, 1031), 0);
  EXPECT_EQ(TVgetInitSeed(g), 1031u);
  EXPECT_EQ(TVsetRGSeed(g, -5), 0);
  EXPECT_EQ(TVgetInitSeed(g), static_cast<unsigned>(-5));
  EXPECT_EQ(TVsetRGSeed(g, 0), 0);
  EXPECT_NE(TVgetInitSeed(g), 0u);
  // Re-seeding restarts the stream.
  TVsetRGSeed(g, 77);
  double first = TVgetDoubleRV(g);
  TVsetRGSeed(g, 77);
  EXPECT_EQ(TVgetDoubleRV(g), first);
}

TEST_F(StocTest, DegenerateSeedsDoNotFreezeTheCongruentialGenerator) {
  Generator g(env, TV_RANDOM_LCG, 2147483647);
  double a = TVgetDoubleRV(g), b = TVgetDoubleRV(g);
  EXPECT_GT(a, 0.0);
  EXPECT_NE(a, b);
}

TEST_F(StocTest, IntegerDrawsUseOneUniform) {
  Generator g(env, TV_RANDOM_MT19937, 99), twin(env, TV_RANDOM_MT19937, 99);
  EXPECT_EQ(TVgetInt32RV(g, 5, 5), 5);
  EXPECT_EQ(TVgetInt32RV(g, 9, 2), 9);  // no draw either
  for (int i = 0; i < 1000; ++i) {
    int lo = -3 + i % 7, hi = lo + i % 13;
    int k = TVgetInt32RV(g, lo, hi);
    if (lo == hi) {
      EXPECT_EQ(k, lo);
      continue;
    }
    double u = TVgetDoubleRV(twin);
    EXPECT_EQ(k, std::min(lo + static_cast<int>(std::trunc(u * (hi - lo + 1.0))), hi));
  }
  // The full int range does not overflow.
  for (int i = 0; i < 100; ++i) {
    int k = TVgetInt32RV(g, -2147483647 - 1, 2147483647);
    (void)k;
  }
}

TEST_F(StocTest, BufferedTwisterIsIndependentOfTheThreadCount) {
  auto buffered = [&](int threads) {
    TVsetEnvIntParameter(env, TV_IPARAM_SAMP_NUM_THREADS, threads);
    pTVrandom rg = TVcreateRGMT(env, TV_RANDOM_MT19937);
    EXPECT_NE(rg, nullptr);
    int n = 0;
    EXPECT_EQ(TVgetRGNumThreads(rg, &n), 0);
    EXPECT_EQ(n, threads);
    TVsetRGSeed(rg, 1031);
    int size = 0;
    double *buf = TVgetRGBufferPtr(rg, &size);
    std::vector<double> copy(buf, buf + size);
    std::vector<double> drawn;
    for (int i = 0; i < size + 3; ++i) drawn.push_back(TVgetDoubleRV(rg));
    EXPECT_EQ(TVfillRGBuffer(rg), 0);
    TVdisposeRG(&rg);
    EXPECT_EQ(rg, nullptr);
    EXPECT_TRUE(std::equal(copy.begin(), copy.end(), drawn.begin()));
    copy.insert(copy.end(), drawn.end() - 3, drawn.end());
    return copy;
  };
  std::vector<double> two = buffered(2), three = buffered(3);
  ASSERT_EQ(two.size(), 65536u + 3);
  EXPECT_EQ(two, three);
  // 4096 streams of 16 values; each stream comes from the key (seed, stream).
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(two[i], stoc_ref::kBufferedStream0[i]);
    EXPECT_EQ(two[16 + i], stoc_ref::kBufferedStream1[i]);
    EXPECT_EQ(two[4095 * 16 + i], stoc_ref::kBufferedStream4095[i]);
  }
  // The refill continues each stream.
  EXPECT_NE(two[65536], two[0]);
}

TEST_F(StocTest, BufferSizeParameterIsRaisedToTheStreamCount) {
  TVsetEnvIntParameter(env, TV_IPARAM_SAMP_NUM_THREADS, 2);
  TVsetEnvIntParameter(env, TV_IPARAM_SAMP_RG_BUFFER_SIZE, 100);
  pTVrandom rg = TVcreateRGMT(env, TV_RANDOM_MT19937);
  int size = 0;
  ASSERT_NE(TVgetRGBufferPtr(rg, &size), nullptr);
  EXPECT_EQ(size, 4096);
  TVdisposeRG(&rg);
  // Other types run on one thread.
  pTVrandom other = TVcreateRGMT(env, TV_RANDOM_MRG32K3A);
  int threads = 0;
  TVgetRGNumThreads(other, &threads);
  EXPECT_EQ(threads, 1);
  EXPECT_EQ(TVgetRGBufferPtr(other, &size), nullptr);
  EXPECT_EQ(size, 0);
  EXPECT_EQ(TVfillRGBuffer(other), 2009);
  TVdisposeRG(&other);
}

TEST_F(StocTest, SharedGeneratorHandsEveryDrawToExactlyOneThread) {
  for (int type : {1, 6}) {
    Generator shared(env, type, 2024), twin(env, type, 2024);
    const int per_thread = 20000;
    std::vector<double> a(per_thread), b(per_thread);
    std::thread t1([&] { for (double &v : a) v = TVgetDoubleRV(shared); });
    std::thread t2([&] { for (double &v : b) v = TVgetDoubleRV(shared); });
    t1.join();
    t2.join();
    std::vector<double> both(a);
    both.insert(both.end(), b.begin(), b.end());
    std::vector<double> sequential(2 * per_thread);
    for (double &v : sequential) v = TVgetDoubleRV(twin);
    std::sort(both.begin(), both.end());
    std::sort(sequential.begin(), sequential.end());
    EXPECT_EQ(both, sequential) << "type " << type;
  }
}

TEST_F(StocTest, GeneratorBadInput) {
  EXPECT_EQ(TVcreateRG(nullptr, 6), nullptr);
  EXPECT_EQ(TVcreateRG(env, 7), nullptr);
  EXPECT_EQ(TVcreateRG(env, -2), nullptr);
  EXPECT_EQ(TVcreateRGMT(env, 99), nullptr);
  EXPECT_EQ(TVsetRGSeed(nullptr, 1), 2010);
  EXPECT_EQ(TVgetDoubleRV(nullptr), -1.0);
  EXPECT_EQ(TVgetInitSeed(nullptr), 0u);
  EXPECT_EQ(TVgetRGNumThreads(nullptr, nullptr), 2010);
  EXPECT_EQ(TVfillRGBuffer(nullptr), 2010);
  EXPECT_EQ(TVgetRGBufferPtr(nullptr, nullptr), nullptr);
  EXPECT_EQ(TVdisposeRG(nullptr), 2010);
  Generator g(env, 6, 5);
  double v = 7;
  EXPECT_EQ(TVgetDistrRV(g, &v), 2009);
  EXPECT_EQ(TVsetDistrParamRG(g, 0, 1.0), 2010);
  EXPECT_EQ(TVsetDistrRG(g, 12345), 2341);
  EXPECT_EQ(TVgetDistrRV(g, nullptr), 2010);
}

TEST_F(StocTest, AttachedDistributionDrawsThroughTheInverse) {
  Generator g(env, 6, 31), twin(env, 6, 31);
  ASSERT_EQ(TVsetDistrRG(g, TV_DIST_EXPONENTIAL), 0);
  double v = 0;
  EXPECT_EQ(TVgetDistrRV(g, &v), 2393);  // rate not set yet
  ASSERT_EQ(TVsetDistrParamRG(g, 0, 2.0), 0);
  EXPECT_EQ(TVsetDistrParamRG(g, 5, 2.0), 2012);
  TVgetDoubleRV(twin);  // the failed draw above used one uniform
  for (int i = 0; i < 5; ++i) {
    ASSERT_EQ(TVgetDistrRV(g, &v), 0);
    double u = TVgetDoubleRV(twin);
    EXPECT_NEAR(v, -std::log1p(-u) / 2.0, 1e-14 * (1 + v));
  }
  // Replacing the distribution frees the previous one (checked under ASan).
  EXPECT_EQ(TVsetDistrRG(g, TV_DIST_NORMAL), 0);
}
