// Probability functions of the distributions: the normal integral and quantile,
// the regularised incomplete gamma and beta functions, their inverses and
// derivatives. Complements are computed directly, never as 1 - p, so the
// upper tails keep their relative accuracy.
#pragma once

namespace tarvo::stoc::sf {

double normal_cdf(double z);       // Phi(z)
double normal_quantile(double u);  // 0 < u < 1

double gamma_p(double a, double x);
double gamma_q(double a, double x);
// Quantile of the standard gamma of shape a at lower tail u (0 < u < 1).
double gamma_quantile(double a, double u);
double gamma_density(double a, double x);  // x^(a-1) e^-x / Gamma(a)

double ibeta(double a, double b, double x);
double ibetac(double a, double b, double x);
// x with I_x(a, b) = u (0 < u < 1); *complement receives 1 - x accurately.
double ibeta_quantile(double a, double b, double u, double *complement);
double beta_density(double a, double b, double x);  // x^(a-1) (1-x)^(b-1) / B(a, b)

double log_gamma(double x);

}  // namespace tarvo::stoc::sf
