#!/usr/bin/env python3
"""Symmetric stable references by inverting the characteristic function
exp(-|t|^alpha) with mpmath (an independent route from the library's
Zolotarev integrals): the oscillating integrals are summed period by period
up to where exp(-t^alpha) is below 1e-40. Prints {alpha, x, density, cdf}."""
import mpmath as mp

mp.mp.dps = 30


def invert(alpha, x):
    a, xx = mp.mpf(alpha), mp.mpf(x)
    end = (mp.mpf(92)) ** (1 / a)  # exp(-end^alpha) < 1e-40
    period = mp.pi / abs(xx)
    pieces = int(end / period) + 1
    if pieces > 30000:
        raise SystemExit("too many periods for x = %s" % x)
    nodes = [k * period for k in range(pieces + 1)]
    dens = mp.quad(lambda t: mp.cos(xx * t) * mp.exp(-t**a), nodes) / mp.pi
    cdf = mp.mpf(1) / 2 + mp.quad(lambda t: mp.sin(xx * t) / t * mp.exp(-t**a), nodes) / mp.pi
    return dens, cdf


for alpha in ['0.7', '1.3', '1.8']:
    for x in ['0.3', '1.0', '2.5', '12.0', '-40.0']:
        d, c = invert(alpha, x)
        print("      {%s, %s, %s, %s}," % (alpha, x, mp.nstr(d, 17), mp.nstr(c, 17)))
