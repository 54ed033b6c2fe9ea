#!/usr/bin/env python3
"""Reference values of densities, distribution functions and inverses,
computed with mpmath at 40 digits from the textbook formulas (independent of
the library's code). Prints C++ rows {type, {params}, func, x, expected}."""
import mpmath as mp

mp.mp.dps = 40
PDF, CDF, INV = 1, 2, 3


def solve(cdf, u, lo, hi):
    # Bisection (on log x for a positive bracket) to full working precision.
    logscale = lo > 0
    a, b = (mp.log(lo), mp.log(hi)) if logscale else (lo, hi)
    for _ in range(600):
        m = (a + b) / 2
        x = mp.exp(m) if logscale else m
        if cdf(x) < u:
            a = m
        else:
            b = m
    return mp.exp((a + b) / 2) if logscale else (a + b) / 2


def cont(name, code, params, pdf, cdf, lo, hi, xs, us):
    rows = []
    for x in xs:
        rows.append((code, params, PDF, x, pdf(mp.mpf(x))))
        rows.append((code, params, CDF, x, cdf(mp.mpf(x))))
    for u in us:
        uu = mp.mpf(u)
        root = solve(cdf, uu, mp.mpf(lo), mp.mpf(hi))
        rows.append((code, params, INV, u, root))
    return rows


def normal(mu, s):
    return (lambda x: mp.npdf(x, mu, s), lambda x: mp.ncdf(x, mu, s))


def lognormal(mu, s):
    return (lambda x: mp.npdf(mp.log(x), mu, s) / x, lambda x: mp.ncdf(mp.log(x), mu, s))


def gamma(theta, k):
    return (lambda x: x**(k - 1) * mp.exp(-x / theta) / (mp.gamma(k) * theta**k),
            lambda x: mp.gammainc(k, 0, x / theta, regularized=True))


def beta(a, b):
    return (lambda x: x**(a - 1) * (1 - x)**(b - 1) / mp.beta(a, b),
            lambda x: mp.betainc(a, b, 0, x, regularized=True))


def fdist(d1, d2):
    d1, d2 = mp.mpf(d1), mp.mpf(d2)
    return (lambda x: mp.sqrt((d1 * x)**d1 * d2**d2 / (d1 * x + d2)**(d1 + d2)) / (x * mp.beta(d1 / 2, d2 / 2)),
            lambda x: mp.betainc(d1 / 2, d2 / 2, 0, d1 * x / (d1 * x + d2), regularized=True))


def tdist(nu):
    nu = mp.mpf(nu)
    c = mp.gamma((nu + 1) / 2) / (mp.sqrt(nu * mp.pi) * mp.gamma(nu / 2))

    def cdf(t):
        tail = mp.betainc(nu / 2, mp.mpf(1) / 2, 0, nu / (nu + t * t), regularized=True) / 2
        return tail if t < 0 else 1 - tail
    return (lambda t: c * (1 + t * t / nu)**(-(nu + 1) / 2), cdf)


def weibull(lam, k):
    return (lambda x: k / lam * (x / lam)**(k - 1) * mp.exp(-(x / lam)**k),
            lambda x: -mp.expm1(-(x / lam)**k))


def pareto(xm, a):
    return (lambda x: a * xm**a / x**(a + 1), lambda x: 1 - (xm / x)**a)


def cauchy(l, s):
    return (lambda x: 1 / (mp.pi * s * (1 + ((x - l) / s)**2)), lambda x: mp.mpf(1) / 2 + mp.atan((x - l) / s) / mp.pi)


def gumbel(l, s):
    return (lambda x: mp.exp(-((x - l) / s + mp.exp(-(x - l) / s))) / s, lambda x: mp.exp(-mp.exp(-(x - l) / s)))


def laplace(l, s):
    return (lambda x: mp.exp(-abs(x - l) / s) / (2 * s),
            lambda x: mp.exp((x - l) / s) / 2 if x < l else 1 - mp.exp(-(x - l) / s) / 2)


def logistic(l, s):
    return (lambda x: mp.exp(-(x - l) / s) / (s * (1 + mp.exp(-(x - l) / s))**2), lambda x: 1 / (1 + mp.exp(-(x - l) / s)))


U = ['1e-300', '1e-12', '0.001', '0.3', '0.9', '0.999999']
rows = []
rows += cont('normal', 811, (1.5, 2.0), *normal(1.5, 2), -30, 30, [-14.0, -5.0, 1.5, 3.0, 16.0], ['1e-15', '1e-8', '0.025', '0.7', '0.9999999999'])
rows += cont('lognormal', 809, (0.2, 0.5), *lognormal(0.2, 0.5), '1e-6', 200, [0.05, 0.7, 1.2, 9.0, 40.0], ['1e-14', '0.01', '0.5', '0.99', '0.99999999'])
rows += cont('gamma', 806, (2.0, 3.5), *gamma(2, 3.5), '1e-100', 400, [0.01, 1.0, 7.0, 30.0, 90.0], U)
rows += cont('gamma small shape', 806, (1.0, 0.3), *gamma(1, 0.3), '1e-300', 900, [1e-5, 0.2, 3.0, 25.0], ['1e-60', '0.001', '0.3', '0.9', '0.999999'])
rows += cont('gamma large shape', 806, (0.5, 150.0), *gamma(0.5, 150), 1, 300, [50.0, 70.0, 75.0, 90.0], ['1e-20', '0.01', '0.5', '0.999', '0.99999999'])
rows += cont('exponential', 804, (0.7,), *gamma(1 / mp.mpf(0.7), 1), '1e-320', 2000, [0.001, 1.0, 50.0], ['1e-200', '0.5', '0.999999999'])
rows += cont('chi-square', 803, (5.0,), *gamma(2, 2.5), '1e-200', 600, [0.1, 4.0, 60.0], ['1e-100', '0.05', '0.95', '0.9999999'])
rows += cont('beta', 801, (2.5, 0.7), *beta(2.5, 0.7), '1e-200', '0.9999999999999999999999999', [0.01, 0.5, 0.99, 0.999999], ['1e-100', '0.2', '0.8', '0.9999999'])
rows += cont('beta small', 801, (0.3, 0.4), *beta(0.3, 0.4), '1e-300', '0.99999999999999999999999999999', [1e-6, 0.3, 0.7, 0.9999], ['1e-30', '0.4', '0.999'])
rows += cont('beta large', 801, (50.0, 80.0), *beta(50, 80), '1e-10', '0.99', [0.2, 0.38, 0.6], ['1e-12', '0.5', '0.9999999'])
rows += cont('F', 805, (5.0, 12.0), *fdist(5, 12), '1e-100', '1e8', [0.01, 1.0, 4.0, 100.0], ['1e-20', '0.5', '0.95', '0.9999999'])
rows += cont('t3', 814, (3.0,), *tdist(3), '-1e10', '1e10', [-200.0, -2.0, 0.5, 30.0], ['1e-12', '0.05', '0.8', '0.9999999'])
rows += cont('t30', 814, (30.0,), *tdist(30), -100, 100, [-8.0, 1.3, 6.0], ['1e-15', '0.3', '0.999'])
rows += cont('weibull', 817, (2.0, 1.7), *weibull(2, 1.7), '1e-100', 100, [0.01, 1.5, 9.0], ['1e-30', '0.5', '0.99999999'])
rows += cont('pareto', 812, (1.5, 2.5), *pareto(1.5, 2.5), '1.5', '1e20', [1.6, 3.0, 1000.0], ['1e-10', '0.5', '0.999999999'])
rows += cont('cauchy', 802, (0.0, 2.0), *cauchy(0, 2), '-1e16', '1e16', [-1e6, -3.0, 0.7, 50.0], ['1e-9', '0.1', '0.75', '0.9999'])
rows += cont('gumbel', 807, (1.0, 2.0), *gumbel(1, 2), -10, 100, [-4.0, 1.0, 30.0], ['1e-12', '0.4', '0.9999999'])
rows += cont('laplace', 808, (0.0, 1.0), *laplace(0, 1), -100, 100, [-30.0, -0.5, 2.0, 30.0], ['1e-13', '0.3', '0.7', '0.999999999'])
rows += cont('logistic', 810, (2.0, 0.5), *logistic(2, 0.5), -100, 100, [-12.0, 1.0, 2.5, 16.0], ['1e-14', '0.2', '0.9', '0.999999999'])
rows += cont('uniform', 816, (-1.0, 3.0), lambda x: mp.mpf(1) / 4, lambda x: (x + 1) / 4, -1, 3, [-0.5, 2.9], ['0.1', '0.99'])
rows += cont('triangular', 815, (0.0, 4.0, 1.0), lambda x: 2 * x / 4 if x < 1 else 2 * (4 - x) / 12,
             lambda x: x * x / 4 if x <= 1 else 1 - (4 - x)**2 / 12, 0, 4, [0.5, 2.0, 3.9], ['0.01', '0.25', '0.6', '0.999'])


def disc(code, params, pmf, support_lo, ks, us, hi):
    rows = []
    def cdf(k):
        return mp.fsum(pmf(j) for j in range(support_lo, k + 1))
    for k in ks:
        rows.append((code, params, PDF, float(k), pmf(k)))
        rows.append((code, params, CDF, float(k), cdf(k)))
    for u in us:
        uu = mp.mpf(u)
        acc = mp.mpf(0)
        k = support_lo
        while k <= hi:
            acc += pmf(k)
            if acc >= uu:
                break
            k += 1
        rows.append((code, params, INV, u, mp.mpf(k)))
    return rows


bin_ = lambda n, p: (lambda k: mp.binomial(n, k) * mp.mpf(p)**k * (1 - mp.mpf(p))**(n - k))
rows += disc(701, (20.0, 0.3), bin_(20, 0.3), 0, [0, 6, 15, 20], ['1e-4', '0.5', '0.9999'], 20)
rows += disc(701, (1000.0, 0.01), bin_(1000, 0.01), 0, [0, 10, 40], ['0.001', '0.6', '0.999999'], 1000)
poi = lambda l: (lambda k: mp.exp(-mp.mpf(l)) * mp.mpf(l)**k / mp.factorial(k))
rows += disc(706, (4.5,), poi(4.5), 0, [0, 4, 20], ['1e-3', '0.5', '0.99999'], 200)
rows += disc(706, (1000.0,), poi(1000), 0, [900, 1000, 1150], ['1e-6', '0.3', '0.999'], 3000)
nb = lambda r, p: (lambda k: mp.gamma(k + r) / (mp.factorial(k) * mp.gamma(r)) * mp.mpf(p)**r * (1 - mp.mpf(p))**k)
rows += disc(704, (3.5, 0.4), nb(3.5, 0.4), 0, [0, 5, 30], ['0.01', '0.5', '0.99999'], 500)
geo = lambda p: (lambda k: (1 - mp.mpf(p))**k * mp.mpf(p))
rows += disc(705, (0.2,), geo(0.2), 0, [0, 3, 60], ['0.1', '0.55', '0.9999999'], 500)
lg = lambda p: (lambda k: -mp.mpf(p)**k / (k * mp.log(1 - mp.mpf(p))))
rows += disc(707, (0.8,), lg(0.8), 1, [1, 4, 40], ['0.2', '0.8', '0.99999'], 500)
hyp = lambda N, K, n: (lambda k: mp.binomial(K, k) * mp.binomial(N - K, n - k) / mp.binomial(N, n))
rows += disc(708, (50.0, 15.0, 10.0), hyp(50, 15, 10), 0, [0, 3, 8], ['0.01', '0.5', '0.999'], 10)
bb = lambda n, a, b: (lambda k: mp.binomial(n, k) * mp.beta(k + a, n - k + b) / mp.beta(a, b))
rows += disc(819, (12.0, 2.5, 1.5), bb(12, 2.5, 1.5), 0, [0, 6, 12], ['0.05', '0.5', '0.97'], 12)

for code, params, func, x, val in rows:
    ps = ", ".join(repr(float(p)) for p in params)
    xv = repr(float(mp.mpf(x))) if isinstance(x, str) else repr(float(x))
    print("    {%d, {%s}, %d, %s, %s}," % (code, ps, func, xv, mp.nstr(val, 17, min_fixed=-5, max_fixed=5)))
