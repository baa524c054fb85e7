"""Derive the series of the geodesic kernels (src/core/kernels/geodesic_series.hpp).

    python scripts/geodesic_series.py [--order 6]

On the auxiliary sphere a geodesic of equatorial azimuth alpha0 has
k^2 = e'^2 cos^2(alpha0) and eps = (sqrt(1 + k^2) - 1) / (sqrt(1 + k^2) + 1),
so that sqrt(1 + k^2 sin^2 t) = |1 - eps e^{2it}| / (1 - eps). Its distance,
reduced-length and longitude integrals

    I1 = int sqrt(1 + k^2 sin^2 t) dt            = A1 (s + sum C1[l] sin 2ls)
    I2 = int 1 / sqrt(1 + k^2 sin^2 t) dt        = A2 (s + sum C2[l] sin 2ls)
    I3 = int (2 - f) / (1 + (1 - f) sqrt(..)) dt = A3 (s + sum C3[l] sin 2ls)

are expanded here in eps (and the third flattening n = f / (2 - f) for I3,
which enters multiplied by f, one order lower) from the binomial series of
(1 - eps z)^(1/2) (1 - eps / z)^(1/2), z = e^{2it}; the inverse of
tau = s + sum C1[l] sin 2ls, s = tau + sum C1p[l] sin 2l tau, by Lagrange's
inversion. The output is the C++ coefficient table: for each coefficient, its
polynomial in eps (lowest power first), whose entries for I3 are polynomials
in n. Run it to check the table after any change of order.
"""
import argparse

import sympy as sp

eps, n, z, tau = sp.symbols("eps n z tau")


def truncate(expr, var, order):
    """expr as a polynomial in var with powers above order dropped."""
    poly = sp.Poly(sp.expand(expr), var)
    return sum(c * var ** m[0] for m, c in zip(poly.monoms(), poly.coeffs()) if m[0] <= order)


def harmonics(expr, order):
    """expr, a Laurent polynomial in z = e^{2it}, as {m: a_m} with
    expr = a_0 + sum a_m cos(2mt) (expr even in z <-> 1/z)."""
    expr = sp.expand(expr)
    result = {0: expr.coeff(z, 0)}
    for m in range(1, order + 1):
        result[m] = sp.expand(2 * expr.coeff(z, m))
    return result


def binomial_product(power, order):
    """|1 - eps z|^(2 power) = (1 - eps z)^power (1 - eps/z)^power to eps^order."""
    left = sum(sp.binomial(power, j) * (-eps * z) ** j for j in range(order + 1))
    right = sum(sp.binomial(power, j) * (-eps / z) ** j for j in range(order + 1))
    return truncate(sp.expand(left * right), eps, order)


def fourier_integral(expr, order, var=eps):
    """A, C[1..order] of int expr dt = A (t + sum C[l] sin 2lt), expr a
    Laurent polynomial in z, expanded to var^order."""
    a = harmonics(expr, order)
    a0 = a[0]
    inverse = truncate(sp.series(1 / a0, var, 0, order + 1).removeO(), var, order)
    coeffs = [truncate(a[m] / (2 * m) * inverse, var, order) for m in range(1, order + 1)]
    return sp.expand(a0), coeffs


def i1(order):
    # sqrt(1 + k^2 sin^2 t) = |1 - eps z| / (1 - eps)
    a0, c = fourier_integral(binomial_product(sp.Rational(1, 2), order), order)
    return a0, c  # A1 = a0 / (1 - eps)


def i2(order):
    # 1 / sqrt(1 + k^2 sin^2 t) = (1 - eps) / |1 - eps z|
    a0, c = fourier_integral(binomial_product(-sp.Rational(1, 2), order), order)
    return a0, c  # A2 = a0 (1 - eps)


def i3(order):
    """I3 to total degree order - 1 in (eps, n): f I3 is then of order `order`."""
    h = sp.Symbol("h")
    s = binomial_product(sp.Rational(1, 2), order)  # |1 - eps z|
    # (2 - f) / (1 + (1 - f) S / (1 - eps)) with 1 - f = (1 - n)/(1 + n),
    # 2 - f = 2 / (1 + n): 2 (1 - eps) / ((1 + n)(1 - eps) + (1 - n) S).
    integrand = 2 * (1 - eps) / ((1 + n) * (1 - eps) + (1 - n) * s)
    scaled = integrand.subs({eps: h * eps, n: h * n})
    series = sp.series(scaled, h, 0, order).removeO()
    expr = sp.expand(series.subs(h, 1))
    a = harmonics(expr, order - 1)
    a0 = a[0]
    scaled_inverse = sp.series((1 / a0).subs({eps: h * eps, n: h * n}), h, 0, order).removeO()
    result = []
    for m in range(1, order):
        term = sp.expand((a[m] / (2 * m)).subs({eps: h * eps, n: h * n}) * scaled_inverse)
        result.append(sp.expand(truncate(term, h, order - 1).subs(h, 1)))
    return sp.expand(a0), result


def d_dtau(expr):
    """Derivative in tau of a Laurent polynomial in z = e^{2i tau}."""
    result = 0
    for term in sp.Add.make_args(sp.expand(expr)):
        _, k = term.as_coeff_exponent(z)
        result += 2 * sp.I * k * term
    return sp.expand(result)


def reverted(c1, order):
    """C1p[l]: s = tau + sum C1p[l] sin 2l tau when tau = s + sum C1[l] sin 2ls."""
    # In exponentials, sin 2l tau = (z^l - z^-l) / (2i), d/dtau z^m = 2im z^m.
    g = sum(c * (z ** (l + 1) - z ** -(l + 1)) / (2 * sp.I) for l, c in enumerate(c1))
    total = 0
    power = 1
    for m in range(1, order + 1):
        power = sp.expand(truncate(power * g, eps, order))
        term = power
        for _ in range(m - 1):
            term = d_dtau(term)
        total += (-1) ** m / sp.factorial(m) * term
    total = sp.expand(total)
    # total = sum b_l sin 2l tau: b_l = 2i times the coefficient of z^l.
    return [truncate(sp.expand(2 * sp.I * total.coeff(z, l)), eps, order) for l in range(1, order + 1)]


def poly_coeffs(expr, var, order):
    expr = sp.expand(expr)
    return [expr.coeff(var, j) for j in range(order + 1)]


def cpp_number(x):
    x = sp.nsimplify(x)
    return f"{x.p}.0 / {x.q}.0" if x.q != 1 else f"{x.p}.0"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--order", type=int, default=6)
    order = parser.parse_args().order
    a1, c1 = i1(order)
    a2, c2 = i2(order)
    a3, c3 = i3(order)
    c1p = reverted(c1, order)
    print("// A1 (1 - eps) and A2 / (1 - eps), polynomials in eps^2:")
    print("A1:", poly_coeffs(a1, eps, order))
    print("A2:", poly_coeffs(a2, eps, order))
    for name, table in (("C1", c1), ("C1p", c1p), ("C2", c2)):
        print(f"// {name}[l], l = 1..{order}, coefficients of eps^0..eps^{order}:")
        for l, c in enumerate(table, 1):
            print(f"{name}[{l}]:", ", ".join(cpp_number(v) for v in poly_coeffs(c, eps, order)))
    print(f"// A3 and C3[l], l = 1..{order - 1}, coefficients of eps^j as polynomials in n:")
    print("A3:", [sp.expand(v) for v in poly_coeffs(a3, eps, order - 1)])
    for l, c in enumerate(c3, 1):
        print(f"C3[{l}]:", [sp.expand(v) for v in poly_coeffs(c, eps, order - 1)])


if __name__ == "__main__":
    main()
