// Farkas certificates are judged on the unscaled model: a real proof holds
// even when the solve left rounding-level multipliers of the wrong sign on
// rows with an unbounded side, and a vector that proves nothing never does.
#include <gtest/gtest.h>

#include <vector>

#include "model/model.hpp"
#include "simplex/glp.hpp"
#include "simplex/verdict_check.hpp"
#include "tarvo.h"

using namespace tarvo::simplex;

namespace {

// x0 + x1 >= 3 (r0), x1 - x0 >= -10 (r1, slack unbounded above), 0 <= x <= 1:
// r0 alone is infeasible (x0 + x1 <= 2).
struct ShortRow {
  pTVenv env = nullptr;
  pTVmodel model = nullptr;
  Glp g;
  ShortRow() {
    int code = 0;
    env = TVcreateEnv(&code, nullptr);
    model = TVcreateModel(env, &code);
    double c[] = {1, 1}, b[] = {3, -10}, lo[] = {0, 0}, up[] = {1, 1};
    int start[] = {0, 2, 4}, idx[] = {0, 1, 0, 1};
    double val[] = {1, -1, 1, 1};
    EXPECT_EQ(TVloadLPData(model, 2, 2, TV_MIN, 0, c, b, "GG", 4, start, nullptr, val, idx, lo, up), 0);
    LpOptions opt;
    opt.scale = 0;
    build_glp(g, model->data, opt);
  }
  ~ShortRow() { TVdeleteEnv(&env); }
  bool certifies(double y0, double y1) { return farkas_certifies(g, model->data, {y0, y1}, 1e-7); }
};

TEST(FarkasCheck, RoundingLevelMultipliersDoNotVoidAProof) {
  ShortRow lp;
  // row 0 alone, either orientation of the multiplier vector
  const bool plus = lp.certifies(1.0, 0.0);
  const bool minus = lp.certifies(-1.0, 0.0);
  EXPECT_TRUE(plus || minus);
  const double s = plus ? 1.0 : -1.0;
  // the same proof with a rounding residue of either sign on the unbounded row
  EXPECT_TRUE(lp.certifies(s, 4.4e-16));
  EXPECT_TRUE(lp.certifies(s, -4.4e-16));
  EXPECT_TRUE(lp.certifies(s * 0.0263, 0.0263 * -1.7e-14));
  // a real multiplier on row 1 of the wrong sign is no proof, nor is zero
  EXPECT_FALSE(lp.certifies(s, -s * 0.5) && lp.certifies(s, s * 0.5));
  EXPECT_FALSE(lp.certifies(0.0, 0.0));
  EXPECT_FALSE(lp.certifies(0.0, 1.0));
  EXPECT_FALSE(lp.certifies(0.0, -1.0));
}

}  // namespace
