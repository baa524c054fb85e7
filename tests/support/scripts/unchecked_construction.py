"""Under -O the constructor's parameter checks are skipped: prints repr of
(Re, f, Rp, Rp is NaN) for Ellipsoid(-1, 2) and Ellipsoid(nan, nan)."""

from quorvane.mathtools.ellipsoid.ellipsoid import Ellipsoid

e, n = Ellipsoid(-1.0, 2.0), Ellipsoid(float("nan"), float("nan"))
print(repr((e.Re, e.f, e.Rp, n.Rp != n.Rp)))
