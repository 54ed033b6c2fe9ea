// GoogleTest glue for the MIPLIB 3 models of miplib_model.hpp.
#pragma once

#include <gtest/gtest.h>

#include "miplib_model.hpp"

#define LOAD_OR_SKIP(mm, name) \
  if (!(mm).load(name)) GTEST_SKIP() << "MIPLIB 3 model " << (name) << " not available"
