#!/usr/bin/env python3
"""Reference streams of the seven generator types, written from their
definitions with Python integers and floats (independent of the C++ code).
Prints C++ initialiser rows: {type, seed, {first five draws}}."""

import math

M32 = 0xffffffff


def mrg(seed):
    m1, m2 = 4294967087, 4294944443
    x = float(seed)
    x1 = [2, 0, 0]
    x2 = [0, 0, 0]
    if x > 2.0**26:
        x *= 2.0**-26
        x2[0] = 26
    else:
        x2[0] = 1
    if x > 32768:
        x2[0] += 15
    x *= 2.0**-15
    if x < 2.0**-15:
        x *= 32768
        x1[1] = 15
    else:
        x1[1] = 1
    x2[1] = int(x) if 0 < x < 2.0**30 else 1
    f = int((x - int(x)) * 2.0**30)
    x1[2] = f if f > 0 else 1
    x2[2] = 6 if f < 64 else 1
    # history newest first
    h1 = [int(v) for v in x1]
    h2 = [int(v) for v in x2]
    while True:
        p1 = (1403580 * h1[1] - 810728 * h1[2]) % m1
        p2 = (527612 * h2[0] - 1370589 * h2[2]) % m2
        h1 = [p1, h1[0], h1[1]]
        h2 = [p2, h2[0], h2[1]]
        d = p1 - p2
        if d <= 0:
            d += m1
        yield d / m1


def lcg(seed):
    x = seed
    if x >= 2**31:
        x -= 2**31 - 1
    x %= 2**31 - 1
    if x == 0:  # a zero state would stay zero
        x = 1
    while True:
        x = x * 742938285 % (2**31 - 1)
        yield x * 4.656612875e-10


def shuffle(seed):
    s = seed if seed < 2**31 else seed - 2**32
    x = s if s >= 1 else (-s if s < 0 else 1)
    y = 123456789
    iv = [0] * 32
    for j in range(39, -1, -1):
        x = 40014 * x % 2147483563
        if j < 32:
            iv[j] = x
    iy = iv[0]
    while True:
        x = 40014 * x % 2147483563
        y = 40692 * y % 2147483399
        j = iy // (1 + (2147483563 - 1) // 32)
        iy = iv[j] - y
        iv[j] = x
        if iy < 1:
            iy += 2147483562
        yield min(iy * 4.656613057391769e-10, 0.99999988)


def subtractive(seed):
    s = seed if seed < 2**31 else seed - 2**32
    MBIG = 1000000000
    mj = abs(161803398 - abs(s)) % MBIG
    ma = [0] * 56
    ma[55] = mj
    mk = 1
    for i in range(1, 55):
        ii = (21 * i) % 55
        ma[ii] = mk
        mk = mj - mk
        if mk < 0:
            mk += MBIG
        mj = ma[ii]
    for _ in range(4):
        for i in range(1, 56):
            ma[i] -= ma[1 + (i + 30) % 55]
            if ma[i] < 0:
                ma[i] += MBIG
    inext, inextp = 0, 31
    while True:
        inext += 1
        if inext == 56:
            inext = 1
        inextp += 1
        if inextp == 56:
            inextp = 1
        mj = ma[inext] - ma[inextp]
        if mj < 0:
            mj += MBIG
        ma[inext] = mj
        yield mj * 1e-9


def lagged(seed):
    t = [0.0] * 55
    x = seed / 2147483647.0
    if x >= 1.0:  # seeds from 2^31 - 1 up are reduced into [0, 1)
        x = math.fmod(x, 1.0)
    t[54] = x
    mj, mk = x, 1e-9
    for i in range(1, 55):
        ii = (21 * i) % 55
        t[ii] = mk
        mk = mj - mk
        if mk < 0:
            mk += 1.0
        mj = t[ii]

    def refill():
        for i in range(24):
            t[i] -= t[i + 31]
            if t[i] < 0:
                t[i] += 1.0
        for i in range(24, 55):
            t[i] -= t[i - 24]
            if t[i] < 0:
                t[i] += 1.0

    for _ in range(3):
        refill()
    idx = 0
    while True:
        idx += 1
        if idx == 55:
            refill()
            idx = 1
        yield t[idx]


def mt_state(seed):
    mt = [0] * 624
    mt[0] = seed & M32
    for i in range(1, 624):
        mt[i] = (1812433253 * (mt[i - 1] ^ (mt[i - 1] >> 30)) + i) & M32
    return mt


def mt_state_key(key):
    mt = mt_state(19650218)
    i, j = 1, 0
    for _ in range(max(624, len(key))):
        mt[i] = ((mt[i] ^ ((mt[i - 1] ^ (mt[i - 1] >> 30)) * 1664525)) + key[j] + j) & M32
        i += 1
        j += 1
        if i >= 624:
            mt[0] = mt[623]
            i = 1
        if j >= len(key):
            j = 0
    for _ in range(623):
        mt[i] = ((mt[i] ^ ((mt[i - 1] ^ (mt[i - 1] >> 30)) * 1566083941)) - i) & M32
        i += 1
        if i >= 624:
            mt[0] = mt[623]
            i = 1
    mt[0] = 0x80000000
    return mt


def mt_words(mt):
    while True:
        for k in range(624):
            y = (mt[k] & 0x80000000) | (mt[(k + 1) % 624] & 0x7fffffff)
            mt[k] = mt[(k + 397) % 624] ^ (y >> 1) ^ (0x9908b0df if y & 1 else 0)
        for k in range(624):
            y = mt[k]
            y ^= y >> 11
            y ^= (y << 7) & 0x9d2c5680
            y ^= (y << 15) & 0xefc60000
            y ^= y >> 18
            yield y & M32


def twister(seed):
    for w in mt_words(mt_state(seed)):
        yield w * 2.3283064365386963e-10


GENS = {1: mrg, 2: lcg, 3: shuffle, 4: subtractive, 5: lagged, 6: twister}
SEEDS = [1, 7, 1031, 40000, 123456789, 2147483647, 4294967295]

if __name__ == "__main__":
    for t, g in GENS.items():
        for s in SEEDS:
            it = g(s)
            vals = [next(it) for _ in range(60)]
            picks = [vals[i] for i in (0, 1, 2, 30, 59)]
            print("    {%d, %uu, {%s}}," % (t, s, ", ".join(repr(v) for v in picks)))
    # buffered twister: streams 0 and 1 of seed 1031, first three values each
    for k in (0, 1, 4095):
        it = mt_words(mt_state_key([1031, k]))
        print("    // stream %d: %s" % (k, ", ".join(repr(next(it) * 2.3283064365386963e-10) for _ in range(3))))
