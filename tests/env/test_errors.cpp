// Return codes, the message catalogue, the file-error record and the
// allocation helpers, through the public header.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "test_support.hpp"

using namespace tvtest;

namespace {

std::string text_of(pTVenv env, int code, int *rc) {
  char buf[256];
  std::memset(buf, 'x', sizeof buf);
  *rc = TVgetErrorMessage(env, code, buf);
  return buf;
}

}  // namespace

TEST(ErrorMessages, CodeZeroAndTheCatalogueAgreeWithAndWithoutEnvironment) {
  EnvHandle env;
  int rc = -1;
  EXPECT_EQ(text_of(env, 0, &rc), "No errors.");
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(text_of(nullptr, 0, &rc), "No errors.");
  EXPECT_EQ(rc, 0);
  for (int code = 1; code <= 2750; ++code) {
    int a = -1, b = -1;
    std::string with_env = text_of(env, code, &a);
    std::string without = text_of(nullptr, code, &b);
    ASSERT_EQ(with_env, without) << code;
    ASSERT_EQ(a, 0) << code;
    ASSERT_EQ(b, 0) << code;
  }
}

TEST(ErrorMessages, TextsAreKeptExactlyAsListed) {
  EnvHandle env;
  int rc;
  EXPECT_EQ(text_of(env, 2001, &rc), "Could not allocate enough memory.");
  EXPECT_EQ(text_of(env, 2015, &rc), "Internal error -- please contact TARVO Systems..");
  EXPECT_EQ(text_of(env, 2042, &rc),
            "The specified value for basis status does not match to the  upper or lower bound the variable can attain.");
  EXPECT_EQ(text_of(env, 2045, &rc),
            "The specified basis status for  a constraint's slack//surplus is invalid.");
  EXPECT_EQ(text_of(env, 2316, &rc),
            "Number of stochastic parameters found in Core file do notmatch to that of Time file.");
  EXPECT_EQ(text_of(env, 2383, &rc), " No chance-constraints were loaded.");
  EXPECT_EQ(text_of(env, 2584, &rc), "Extra value in the COLUNMS section of the MPS file.");
  EXPECT_EQ(text_of(env, 2700, &rc), "Scripting engine error.");
}

TEST(ErrorMessages, CodesWithoutTextGiveEmptyTextAndSuccess) {
  EnvHandle env;
  for (int code : {2020, 2041, 2057, 2061, 2095, 2600, 2750}) {
    int rc = -1;
    EXPECT_EQ(text_of(env, code, &rc), "") << code;
    EXPECT_EQ(rc, 0) << code;
  }
  int with_text = 0;
  for (int code = 1; code <= 2750; ++code) {
    int rc;
    if (!text_of(env, code, &rc).empty()) ++with_text;
  }
  EXPECT_EQ(with_text, 203);  // every listed code except 0
}

TEST(ErrorMessages, CodesOutsideTheCatalogueAreUnknown) {
  EnvHandle env;
  for (pTVenv e : {static_cast<pTVenv>(env), static_cast<pTVenv>(nullptr)}) {
    for (int code : {-1, 2751, 100000}) {
      int rc = 0;
      EXPECT_EQ(text_of(e, code, &rc), "Unknown error.");
      EXPECT_EQ(rc, 2051);
    }
  }
  EXPECT_EQ(TVgetErrorMessage(env, 2001, nullptr), 2010);
}

TEST(FileError, AbsentRecordGivesLineZeroAndEmptyText) {
  EnvHandle env;
  ModelHandle model(env);
  unsigned line = 77;
  char text[256] = "junk";
  EXPECT_EQ(TVgetFileError(model, &line, text), 0);
  EXPECT_EQ(line, 0u);
  EXPECT_STREQ(text, "");
  line = 77;
  std::strcpy(text, "junk");
  EXPECT_EQ(TVgetFileError(nullptr, &line, text), 0);
  EXPECT_EQ(line, 0u);
  EXPECT_STREQ(text, "");
}

TEST(FileError, ErrorRowNeedsANumericalFailure) {
  EnvHandle env;
  ModelHandle model(env);
  int row = 5;
  EXPECT_EQ(TVgetErrorRowIndex(nullptr, &row), 2010);
  EXPECT_EQ(TVgetErrorRowIndex(model, nullptr), 2010);
  EXPECT_EQ(TVgetErrorRowIndex(model, &row), 2009);
  EXPECT_EQ(row, 5);
}

TEST(AllocationHelpers, ZeroCountLeavesNullAndResizeZeroFrees) {
  double *d = reinterpret_cast<double *>(0x1);
  EXPECT_EQ(TVcalloc8(&d, 0, __FILE__, __LINE__), 0);
  EXPECT_EQ(d, nullptr);
  int *i = reinterpret_cast<int *>(0x1);
  EXPECT_EQ(TVmalloc4(&i, 0, __FILE__, __LINE__), 0);
  EXPECT_EQ(i, nullptr);
  char *c = nullptr;
  ASSERT_EQ(TVmalloc1(&c, 10, __FILE__, __LINE__), 0);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(TVrealloc1(&c, 0, __FILE__, __LINE__), 0);  // frees; ASan would report a leak otherwise
  EXPECT_EQ(c, nullptr);
}

TEST(AllocationHelpers, ZeroedBlocksAndResizeKeepContents) {
  int *block = nullptr;
  ASSERT_EQ(TVcalloc4(&block, 1000, __FILE__, __LINE__), 0);
  for (int k = 0; k < 1000; ++k) ASSERT_EQ(block[k], 0);
  for (int k = 0; k < 1000; ++k) block[k] = k;
  ASSERT_EQ(TVrealloc4(&block, 100000, __FILE__, __LINE__), 0);
  for (int k = 0; k < 1000; ++k) ASSERT_EQ(block[k], k);
  ASSERT_EQ(TVrealloc4(&block, 10, __FILE__, __LINE__), 0);
  EXPECT_EQ(block[9], 9);
  int *before = block;
  EXPECT_EQ(TVrealloc4(&block, ~0ULL, __FILE__, __LINE__), 0);  // all ones: unchanged
  EXPECT_EQ(block, before);
  TVfreeBlock(&block);
  EXPECT_EQ(block, nullptr);
  double *grown = nullptr;
  ASSERT_EQ(TVrealloc8(&grown, 4, __FILE__, __LINE__), 0);  // a null slot is allocated
  TVfreeBlock(&grown);
}

TEST(AllocationHelpers, ImpossibleRequestsReturnNoMemory) {
  double *d = reinterpret_cast<double *>(0x1);
  EXPECT_EQ(TVmalloc8(&d, (1ULL << 62), __FILE__, __LINE__), 2001);
  EXPECT_EQ(d, nullptr);
  EXPECT_EQ(TVcalloc8(nullptr, 4, __FILE__, __LINE__), 2010);
}

TEST(AllocationHelpers, RebasedOffsetsKeepTheirDistances) {
  char text[] = "alpha\0beta\0gamma";
  char moved[sizeof text];
  std::memcpy(moved, text, sizeof text);
  char **names = static_cast<char **>(std::malloc(3 * sizeof(char *)));
  names[0] = text;
  names[1] = text + 6;
  names[2] = text + 11;
  ASSERT_EQ(TVrebaseOffsets(&names, 4, 3, moved, __FILE__, __LINE__), 0);
  EXPECT_EQ(names[0], moved);
  EXPECT_STREQ(names[1], "beta");
  EXPECT_EQ(names[1], moved + 6);
  EXPECT_EQ(names[2], moved + 11);
  EXPECT_EQ(names[3], nullptr);
  TVfreeBlock(&names);
}
