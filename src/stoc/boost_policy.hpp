// Error policy for the Boost.Math special functions and distributions used
// here: no exceptions, no promotion to long double (the algorithms reach
// double precision on their own), and no rounding of discrete quantiles
// because the library searches its own discrete inverses.
#pragma once

#include <boost/math/policies/policy.hpp>

namespace tarvo::stoc {

using MathPolicy = boost::math::policies::policy<
    boost::math::policies::domain_error<boost::math::policies::errno_on_error>,
    boost::math::policies::pole_error<boost::math::policies::errno_on_error>,
    boost::math::policies::overflow_error<boost::math::policies::errno_on_error>,
    boost::math::policies::underflow_error<boost::math::policies::ignore_error>,
    boost::math::policies::evaluation_error<boost::math::policies::errno_on_error>,
    boost::math::policies::rounding_error<boost::math::policies::errno_on_error>,
    boost::math::policies::promote_float<false>, boost::math::policies::promote_double<false>,
    boost::math::policies::discrete_quantile<boost::math::policies::real>>;

}  // namespace tarvo::stoc
