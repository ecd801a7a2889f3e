#!/usr/bin/env python3
"""Accuracy of the complex runtime against mpmath at high precision.

Generates points with a fixed seed, evaluates them through the driver given as the first
argument, and compares each result with the exact value of the function at the same (exact)
double operands. The error of a result z against the exact w is |z - w| in units of the last
place of |w|: 0.5 is a correctly rounded real result. Prints the worst error per function and
fails when one exceeds its bound.

The domains keep each formula well conditioned: exp below the linear continuation at 40,
trigonometric and hyperbolic functions inside their clamps, inverse functions on the side of
the plane where x + sqrt(...) does not cancel and away from their branch cuts, logarithms away
from their zero at 1, divisions away from the scaling thresholds at 1e150 and 1e-150.
"""

import math
import random
import subprocess
import sys
import time

import mpmath
from mpmath import mp, mpc, mpf

mp.prec = 192
POINTS = 4000
SEED = 20240611


def log_uniform(rng, lo_exp, hi_exp):
    return 10.0 ** rng.uniform(lo_exp, hi_exp)


def polar(rng, lo_exp, hi_exp, angle_lo=-math.pi, angle_hi=math.pi):
    m = log_uniform(rng, lo_exp, hi_exp)
    a = rng.uniform(angle_lo, angle_hi)
    return (m * math.cos(a), m * math.sin(a))


def box(rng, re_lo, re_hi, im_lo, im_hi):
    return (rng.uniform(re_lo, re_hi), rng.uniform(im_lo, im_hi))


def signed(rng, lo, hi):
    return rng.choice((-1.0, 1.0)) * rng.uniform(lo, hi)


def z(pair):
    return mpc(mpf(pair[0]), mpf(pair[1]))


I = mpc(0, 1)


def away_from_cut(w, margin=0.01):
    """w is not within `margin` radians of the negative real axis."""
    return w != 0 and abs(mpmath.arg(w)) < mpf(math.pi) - margin


# Exact values of the runtime's functions. Where the runtime's identity is the principal
# function, mpmath's own function is the reference; acosh from log(x + sqrt(x^2 - 1)) is the
# principal one only for Re x > 0, so its reference is that identity.
def acosh_identity(x):
    return mpmath.log(x + mpmath.sqrt(x * x - 1))


def atanh_quotient(x):
    return (1 + x) / (1 - x)


# Domains ---------------------------------------------------------------------------------

def gen_ash(rng):  # right half-plane, |x| >= 0.5: no cancellation in x + sqrt(x^2 + 1)
    return polar(rng, math.log10(0.5), 6, -math.pi / 2 + 0.02, math.pi / 2 - 0.02)


def gen_ath(rng):
    return polar(rng, math.log10(0.5), 6)


def ok_ath(x):
    return away_from_cut(atanh_quotient(x)) and abs(x - 1) > 0.01 and abs(x + 1) > 0.01


def gen_ach(rng):
    return polar(rng, math.log10(0.5), 6, -math.pi / 2 + 0.05, math.pi / 2 - 0.05)


def ok_ach(x):
    return abs(x - 1) >= 0.5 and away_from_cut(x * x - 1)


def minus_i_times(pair):  # the x for which i * x is the generated point
    return (pair[1], -pair[0])


def gen_divisor(rng):
    pick = rng.random()
    if pick < 0.1:
        return polar(rng, 155, 200)  # scaled by its larger part above 1e150
    if pick < 0.2:
        return polar(rng, -200, -160)  # scaled by its larger part below 1e-150
    return polar(rng, -100, 100)


def gen_ch(rng):
    pick = rng.random()
    if pick < 0.1:
        return (signed(rng, 0.5, 300), 0.0)
    if pick < 0.15:
        return (0.0, rng.uniform(-10, 10))
    return (signed(rng, 0.5, 300), rng.uniform(-10, 10))


def gen_atan2(rng):
    a = polar(rng, -1, 1)
    u = minus_i_times(gen_ath(rng))
    b = z(a) * z(u)
    return a + (float(b.real), float(b.imag))


def ok_atan2(ops):
    q = z(ops[2:]) / z(ops[:2])
    return ok_ath(I * q)


def gen_pow(rng):
    return polar(rng, -1, 1) + box(rng, -1.5, 1.5, -1.5, 1.5)


def gen_real_pow(rng):
    return (log_uniform(rng, -1, 1), 0.0) + box(rng, -1.5, 1.5, -1.5, 1.5)


def gen_int_pow(rng):
    return polar(rng, -1, 1) + (float(rng.randint(-4, 4)), 0.0)


def gen_log_base(rng):
    b = log_uniform(rng, -2, math.log10(0.7)) if rng.random() < 0.5 else log_uniform(
        rng, math.log10(1.5), 2)
    return polar(rng, -300, 300) + (b, 0.0)


# name: (generator, filter on the exact operands, exact value, bound in ulp). The bounds are 2 to
# 4 ulp for single formulas and 6 for compositions of runtime functions (tan, the inverses).
FUNCTIONS = {
    "module": (lambda r: polar(r, -300, 300), None, lambda x: abs(x), 2),
    "sqrt": (lambda r: polar(r, -300, 300), None, mpmath.sqrt, 4),
    "cbrt": (lambda r: polar(r, -300, 300), None, lambda x: mpmath.exp(mpmath.log(x) / 3), 4),
    "real_exp": (lambda r: (r.uniform(-700, 40), 0.0), None, mpmath.exp, 2),
    "exp": (lambda r: box(r, -700, 40, -100, 100), None, mpmath.exp, 3),
    "log": (lambda r: polar(r, -300, 300), lambda x: abs(mpmath.log(x)) >= 0.5, mpmath.log, 3),
    "sin": (lambda r: box(r, -10, 10, -50, 50), None, mpmath.sin, 3),
    "cos": (lambda r: box(r, -10, 10, -50, 50), None, mpmath.cos, 3),
    "tan": (lambda r: box(r, -10, 10, -45, 45), None, mpmath.tan, 6),
    "sh": (lambda r: box(r, -50, 50, -10, 10), None, mpmath.sinh, 3),
    "ch": (gen_ch, None, mpmath.cosh, 4),
    "th": (lambda r: (signed(r, 0.5, 40), r.uniform(-10, 10)), None, mpmath.tanh, 4),
    "ash": (gen_ash, None, mpmath.asinh, 6),
    "asin": (lambda r: minus_i_times(gen_ash(r)), None, mpmath.asin, 6),
    "ach": (gen_ach, ok_ach, acosh_identity, 6),
    "acos": (gen_ach, ok_ach, lambda x: -I * acosh_identity(x), 6),
    "ath": (gen_ath, ok_ath, mpmath.atanh, 6),
    "atan": (lambda r: minus_i_times(gen_ath(r)), lambda x: ok_ath(I * x), mpmath.atan, 6),
}

# name: (generator of four operands, filter on them, exact value from them, bound in ulp)
BINARY = {
    "div": (lambda r: polar(r, -100, 100) + gen_divisor(r), None,
            lambda a, b: a / b, 3),
    "real_div": (lambda r: (signed(r, 1e-3, 1e3), 0.0) + gen_divisor(r), None,
                 lambda a, b: a / b, 3),
    "log_base": (gen_log_base, lambda x, b: abs(mpmath.log(x)) >= 0.5,
                 lambda x, b: mpmath.log(x) / mpmath.log(b.real), 4),
    "atan2": (gen_atan2, None, lambda a, b: mpmath.atan(b / a), 6),
    # Powers: the rounding error of y log x (here up to about 6 in modulus), and of the angle
    # times n, passes into the result scaled by that modulus.
    "pow": (gen_pow, None, lambda x, y: mpmath.exp(y * mpmath.log(x)), 12),
    "real_pow": (gen_real_pow, None, lambda x, y: mpmath.exp(y * mpmath.log(x.real)), 12),
    "int_pow": (gen_int_pow, None, lambda x, n: x ** int(n.real), 12),
}


def ulp_error(got, want):
    if not all(math.isfinite(v) for v in got):
        return math.inf
    g = mpc(mpf(got[0]), mpf(got[1]))
    magnitude = abs(want)
    if magnitude == 0:
        return 0.0 if g == 0 else math.inf
    _, e = mpmath.frexp(magnitude)  # magnitude = m * 2^e, 0.5 <= m < 1
    ulp = mpmath.ldexp(1, max(int(e) - 53, -1074))
    return float(abs(g - want) / ulp)


def parse(token):
    try:
        return float.fromhex(token)
    except ValueError:
        return math.nan


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: oracle.py DRIVER")
    started = time.monotonic()
    rng = random.Random(SEED)
    points = []  # (name, operands, exact value, bound)
    for name, (gen, ok, exact, bound) in FUNCTIONS.items():
        count = 0
        while count < POINTS:
            ops = gen(rng)
            x = z(ops)
            if ok is not None and not ok(x):
                continue
            points.append((name, ops, exact(x), bound))
            count += 1
    for name, (gen, ok, exact, bound) in BINARY.items():
        count = 0
        while count < POINTS:
            ops = gen(rng)
            if name == "atan2":
                if not ok_atan2(ops):
                    continue
            elif ok is not None and not ok(z(ops[:2]), z(ops[2:])):
                continue
            points.append((name, ops, exact(z(ops[:2]), z(ops[2:])), bound))
            count += 1

    request = "".join(
        name + " " + " ".join(float(v).hex() for v in ops) + "\n" for name, ops, _, _ in points)
    run = subprocess.run([sys.argv[1]], input=request, capture_output=True, text=True,
                         check=False)
    if run.returncode != 0:
        sys.exit("driver failed: " + run.stderr)
    lines = run.stdout.splitlines()
    if len(lines) != len(points):
        sys.exit(f"driver gave {len(lines)} results for {len(points)} points")

    worst = {}
    for (name, ops, want, bound), line in zip(points, lines):
        got = [parse(t) for t in line.split()]
        err = ulp_error(got, want)
        if name not in worst or err > worst[name][0]:
            worst[name] = (err, ops, bound)

    failed = 0
    print(f"{'function':10} {'worst ulp':>10} {'bound':>6}  at operands")
    for name, (err, ops, bound) in worst.items():
        mark = "" if err <= bound else "  FAILED"
        failed += err > bound
        operands = " ".join(repr(v) for v in ops)
        print(f"{name:10} {err:10.3f} {bound:6}  {operands}{mark}")
    print(f"{len(points)} points, {time.monotonic() - started:.1f} s")
    print(f"{failed} of {len(worst)} functions above their bound")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
