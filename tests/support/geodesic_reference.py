"""High-precision geodesics with mpmath, and test geodesics by category.

The reference solves the direct problem on the auxiliary sphere with the
exact integrals, not series: the distance is b E(sigma | -k^2) (mpmath's
incomplete elliptic integral), the longitude omega - f sin(alpha0) times the
integral of (2 - f) / (1 + (1 - f) sqrt(1 + k^2 sin^2 t)) (quadrature), the
reduced length from E and F. At 34 digits it agrees with geographiclib to its
last digit.

The categories follow those of GeographicLib's published test set (GeodTest):
random, nearly antipodal, short, one end near a pole, both ends near a pole,
nearly meridional, nearly equatorial, between vertices and ending near a
vertex. Each row starts from a double (lat1, lon1, azi1, s12); its exact end
point is rounded to doubles, and the inverse references (s12, azi1) are
corrected to first order for that rounding, so they are exact for the very
inputs the inverse sees. Rows whose geodesic is not the shortest path
(geographiclib's inverse finds a shorter one) are dropped.
"""
import math

import mpmath as mp
import numpy as np

RE, F = 6378137.0, 1 / 298.257223563  # WGS84
DIGITS = 34


class Exact:
    """The exact direct solution from (lat1, lon1, azi1) over s12 (radians, metres)."""

    def __init__(self, lat1, lon1, azi1, s12, Re=RE, f=F):
        with mp.workdps(DIGITS):
            self._solve(*(mp.mpf(float(v)) for v in (lat1, lon1, azi1, s12, Re, f)))

    def _solve(self, phi1, lon1, alpha1, s12, a, f):
        f1 = 1 - f
        b = a * f1
        ep2 = f * (2 - f) / f1 ** 2
        sb1, cb1 = f1 * mp.sin(phi1), mp.cos(phi1)
        r = mp.hypot(sb1, cb1)
        sb1, cb1 = sb1 / r, cb1 / r
        sa1, ca1 = mp.sin(alpha1), mp.cos(alpha1)
        sa0, ca0 = sa1 * cb1, mp.hypot(ca1, sa1 * sb1)
        sig1 = mp.atan2(sb1, ca1 * cb1)
        k2 = ep2 * ca0 ** 2
        m = -k2
        target = b * mp.ellipe(sig1, m) + s12
        sig2 = sig1 + s12 / b
        for _ in range(100):
            step = (b * mp.ellipe(sig2, m) - target) / (b * mp.sqrt(1 + k2 * mp.sin(sig2) ** 2))
            sig2 -= step
            if abs(step) < mp.mpf(10) ** (3 - DIGITS):
                break
        sb2, cb2 = ca0 * mp.sin(sig2), mp.hypot(sa0, ca0 * mp.cos(sig2))
        self.lat2 = mp.atan2(sb2, f1 * cb2)
        self.azi2 = mp.atan2(sa0, ca0 * mp.cos(sig2))
        s = abs(sa0)

        def omega(sig):
            # tan(omega) = sin(alpha0) tan(sigma), continued through every circuit.
            w = sig - mp.atan2((1 - s) * mp.sin(sig) * mp.cos(sig), mp.cos(sig) ** 2 + s * mp.sin(sig) ** 2)
            return w if sa0 >= 0 else -w

        lo, hi = sorted((sig1, sig2))
        quarter = mp.pi / 2
        cuts = [quarter * j for j in range(int(mp.floor(lo / quarter)) + 1, int(mp.ceil(hi / quarter)))]
        i3 = mp.quad(lambda t: (2 - f) / (1 + f1 * mp.sqrt(1 + k2 * mp.sin(t) ** 2)), [lo, *cuts, hi])
        if sig2 < sig1:
            i3 = -i3
        self.lon2 = lon1 + omega(sig2) - omega(sig1) - f * sa0 * i3
        j12 = (mp.ellipe(sig2, m) - mp.ellipe(sig1, m)) - (mp.ellipf(sig2, m) - mp.ellipf(sig1, m))

        def dn(t):
            return mp.sqrt(1 + k2 * mp.sin(t) ** 2)

        self.m12 = b * (dn(sig2) * mp.cos(sig1) * mp.sin(sig2) - dn(sig1) * mp.sin(sig1) * mp.cos(sig2)
                        - mp.cos(sig1) * mp.cos(sig2) * j12)
        self.a, self.e2 = a, f * (2 - f)

    def displacement(self, lat, lon):
        """(north, east) in metres from the exact end point to (lat, lon) nearby."""
        with mp.workdps(DIGITS):
            w = 1 - self.e2 * mp.sin(self.lat2) ** 2
            dlat = mp.mpf(float(lat)) - self.lat2
            dlon = mp.mpf(float(lon)) - self.lon2
            dlon -= 2 * mp.pi * mp.nint(dlon / (2 * mp.pi))
            north = self.a * (1 - self.e2) / w ** 1.5 * dlat
            east = self.a / mp.sqrt(w) * mp.cos(self.lat2) * dlon
            return north, east


def angle_diff(a, b):
    """a - b wrapped to [-pi, pi] (a, b in radians, b may be mpf)."""
    with mp.workdps(DIGITS):
        d = mp.mpf(float(a)) - mp.mpf(b)
        return d - 2 * mp.pi * mp.nint(d / (2 * mp.pi))


def _pole_to_pole(f):
    with mp.workdps(20):
        f = mp.mpf(f)
        return float(2 * RE * mp.ellipe(1 - (1 - f) ** 2))


def starts(category, rng, n, f=F):
    """n (lat1, lon1, azi1, s12) of a category, as float64 arrays."""
    u = lambda lo, hi, size=n: rng.uniform(lo, hi, size)  # noqa: E731
    lat1 = np.arcsin(u(-1, 1))
    lon1 = u(-np.pi, np.pi)
    azi1 = u(-np.pi, np.pi)
    half = _pole_to_pole(f)
    if category == "random":
        s12 = u(0, half)
    elif category == "antipodal":
        # End points near the antipode: geographiclib's shortest azimuth and
        # distance to a target there, then the exact end of that geodesic.
        return _to_targets(rng, lat1, lon1, -lat1 + 10 ** u(-7, -1.5) * rng.choice([-1, 1], n),
                           lon1 + np.pi - 10 ** u(-7, -1.5) * rng.choice([-1, 1], n), f)
    elif category == "short":
        s12 = 10 ** u(-3, 4)
    elif category == "one pole":
        lat1 = rng.choice([-1, 1], n) * (np.pi / 2 - 10 ** u(-16, -3))
        s12 = u(0, half)
    elif category == "two poles":
        lat1 = rng.choice([-1, 1], n) * (np.pi / 2 - 10 ** u(-16, -3))
        azi1 = np.where(lat1 > 0, np.pi, 0.0) + 10 ** u(-12, -1) * rng.choice([-1, 1], n)
        s12 = half - 10 ** u(-2, 4.5)
    elif category == "meridional":
        azi1 = rng.choice([0.0, np.pi], n) + 10 ** u(-15, -3) * rng.choice([-1, 1], n)
        s12 = u(0, half)
    elif category == "equatorial":
        lat1 = 10 ** u(-15, -3) * rng.choice([-1, 1], n)
        azi1 = rng.choice([-1, 1], n) * (np.pi / 2 + 10 ** u(-15, -3) * rng.choice([-1, 1], n))
        s12 = u(0, half)
    elif category in ("between vertices", "near vertex"):
        # From a vertex (azimuth +-pi/2) or anywhere, to the next vertex:
        # sigma = pi/2 from the equator crossing, a quarter circuit on.
        if category == "between vertices":
            azi1 = rng.choice([-1, 1], n) * (np.pi / 2)
        s12 = np.array([_to_vertex(lat, azi, f) for lat, azi in zip(lat1, azi1)])
        if category == "near vertex":
            s12 += 10 ** u(-3, 4) * rng.choice([-1, 1], n)
    else:
        raise ValueError(category)
    return lat1, lon1, azi1, s12


CATEGORIES = ["random", "antipodal", "short", "one pole", "two poles", "meridional", "equatorial",
              "between vertices", "near vertex"]


def _to_vertex(lat1, azi1, f):
    """Distance from (lat1, azi1) to the next vertex ahead, which lies at
    sigma = pi/2 (mod pi) from the equator crossing: geographiclib's length of
    that arc (a test input, not a reference)."""
    from geographiclib.geodesic import Geodesic
    f1 = 1 - f
    sb1, cb1 = f1 * math.sin(lat1), math.cos(lat1)
    sig1 = math.atan2(sb1, math.cos(azi1) * cb1)
    arc = math.pi / 2 - sig1
    arc -= math.pi * math.floor(arc / math.pi - 1e-12)
    line = Geodesic(RE, f).Line(math.degrees(lat1), 0.0, math.degrees(azi1))
    return line.ArcPosition(math.degrees(arc))["s12"]


def _to_targets(rng, lat1, lon1, lat2, lon2, f):
    from geographiclib.geodesic import Geodesic
    geod = Geodesic(RE, f)
    lat2 = np.clip(lat2, -np.pi / 2, np.pi / 2)
    azi1 = np.empty_like(lat1)
    s12 = np.empty_like(lat1)
    for i in range(len(lat1)):
        r = geod.Inverse(*np.degrees([lat1[i], lon1[i], lat2[i], lon2[i]]))
        azi1[i], s12[i] = math.radians(r["azi1"]), r["s12"]
    return lat1, lon1, azi1, s12


class Rows:
    """Rows of one category with their exact solutions, shortest paths only.

    lat1, lon1, azi1, s12: the direct inputs; lat2, lon2: the rounded exact
    end; exact[i]: the Exact solution; s12_inv, azi1_inv (mpf): the inverse
    references for (lat1, lon1, lat2, lon2); m12 (float).
    """

    def __init__(self, category, n, seed=1, f=F):
        from geographiclib.geodesic import Geodesic
        geod = Geodesic(RE, f)
        rng = np.random.default_rng([seed, CATEGORIES.index(category)])
        lat1, lon1, azi1, s12 = starts(category, rng, n, f)
        keep = []
        self.exact = []
        for i in range(n):
            e = Exact(lat1[i], lon1[i], azi1[i], s12[i], f=f)
            lat2, lon2 = float(e.lat2), float(e.lon2 - 2 * mp.pi * mp.nint(e.lon2 / (2 * mp.pi)))
            inv = geod.Inverse(*np.degrees([lat1[i], lon1[i], lat2, lon2]))
            # geographiclib's own series error grows as f^7: a shorter path
            # is one shorter by more than that.
            if inv["s12"] < s12[i] - 1e-6 * max(1.0, (f / 0.01) ** 7):
                continue
            keep.append((i, lat2, lon2))
            self.exact.append(e)
        idx = [k[0] for k in keep]
        self.lat1, self.lon1, self.azi1, self.s12 = (np.asarray(a)[idx] for a in (lat1, lon1, azi1, s12))
        self.lat2 = np.array([k[1] for k in keep])
        self.lon2 = np.array([k[2] for k in keep])
        self.m12 = np.array([float(e.m12) for e in self.exact])
        self.s12_inv, self.azi1_inv, self.azi2_inv = [], [], []
        for e, s, a1, lat2, lon2 in zip(self.exact, self.s12, self.azi1, self.lat2, self.lon2):
            north, east = e.displacement(lat2, lon2)
            with mp.workdps(DIGITS):
                ca2, sa2 = mp.cos(e.azi2), mp.sin(e.azi2)
                along = ca2 * north + sa2 * east
                across = ca2 * east - sa2 * north  # to the right of the arrival direction
                self.s12_inv.append(mp.mpf(float(s)) + along)
                self.azi1_inv.append(mp.mpf(float(a1)) + (across / e.m12 if e.m12 != 0 else 0))
                self.azi2_inv.append(e.azi2)

    def __len__(self):
        return len(self.lat1)


HP = math.pi / 2
# Pairs of points (lat1, lon1, lat2, lon2) where the inverse problem changes
# branch or has several shortest paths: coincident, antipodal, at the poles,
# on the equator and just off it, on a meridian, across the date line.
SPECIAL_PAIRS = [
    (0.0, 0.0, 0.0, 0.0), (0.7, 1.0, 0.7, 1.0), (-0.0, -0.0, 0.0, 0.0),
    (0.0, 0.0, 0.0, math.pi), (0.0, 0.0, -0.0, -math.pi), (0.6, 0.2, -0.6, 0.2 + math.pi),
    (HP, 0.0, -HP, 0.0), (HP, 0.3, HP, -2.0), (-HP, 1.0, 0.2, -1.0), (HP, 0.0, -HP, 1.0),
    (0.0, 0.0, 0.0, 2.6), (0.0, 0.0, 0.0, 3.13), (0.0, 0.0, 1e-300, 3.13), (5e-324, 0.0, -5e-324, 3.0),
    (0.3, 0.0, -0.1, 0.0), (0.3, 0.0, 0.3 - 1e-15, 1e-300), (0.5, 3.1, 0.5, -3.1), (-0.5, math.pi, 0.4, -math.pi),
    (np.nextafter(HP, 0), 0.0, -np.nextafter(HP, 0), math.pi - 1e-9), (0.01, 0.0, -0.01, math.pi - 0.003),
]


def mixed_starts(n, seed=0, f=F):
    """n direct inputs (lat1, lon1, azi1, s12), an equal share from each category."""
    rng = np.random.default_rng(seed)
    parts = [starts(c, rng, n // len(CATEGORIES) + 1, f) for c in CATEGORIES]
    columns = [np.concatenate([p[k] for p in parts])[:n] for k in range(4)]
    order = rng.permutation(n)
    return tuple(c[order] for c in columns)


def mixed_pairs(n, seed=0, f=F):
    """n inverse inputs (lat1, lon1, lat2, lon2): the ends of mixed_starts' geodesics
    (as geodesic_direct puts them), then the special pairs."""
    from quorvane.mathtools.ellipsoid.ufuncs import geodesic_direct
    lat1, lon1, azi1, s12 = mixed_starts(n - len(SPECIAL_PAIRS), seed, f)
    lat2, lon2, _ = geodesic_direct(lat1, lon1, azi1, s12, RE, f)
    special = np.array(SPECIAL_PAIRS).T
    return tuple(np.concatenate([a, b]) for a, b in zip((lat1, lon1, lat2, lon2), special))
