"""quorvane.geo.Ellipsoid (pymap3d's named models and attributes) and the radii of
pymap3d's rsphere, against pymap3d and 200-bit closed forms."""

import math
import pickle

import mpmath as mp
import numpy as np
import pymap3d
import pymap3d.rsphere
import pytest

import quorvane.geo as geo

MODELS = sorted(pymap3d.Ellipsoid.models)
ATTRIBUTES = ["semimajor_axis", "semiminor_axis", "flattening", "thirdflattening", "eccentricity"]


@pytest.mark.parametrize("model", MODELS)
def test_named_models_are_pymap3ds(model):
    ours = geo.Ellipsoid.from_name(model)
    theirs = pymap3d.Ellipsoid.from_name(model)
    assert ours.name == theirs.name and ours.model == model
    for attribute in ATTRIBUTES:
        # Defined by a and 1/f (WGS84, GRS80, WGS72) here, by a and a rounded b there.
        assert getattr(ours, attribute) == pytest.approx(getattr(theirs, attribute), rel=2e-12, abs=1e-15)
    assert geo.Ellipsoid.models[model]["a"] == theirs.semimajor_axis


@pytest.mark.parametrize("model, inverse_flattening", [("wgs84", 298.257223563),
                                                        ("grs80", 298.257222101), ("wgs72", 298.26)])
def test_models_defined_by_flattening_keep_it_exactly(model, inverse_flattening):
    assert geo.Ellipsoid.from_name(model).flattening == 1 / inverse_flattening


def test_a_wrong_name_lists_the_known_ones():
    with pytest.raises(KeyError, match="no ellipsoid model named 'wgs85'; known models: .*wgs84.*mars"):
        geo.Ellipsoid.from_name("wgs85")
    assert geo.Ellipsoid.from_name("WGS84") == geo.Ellipsoid.from_name("wgs84")


@pytest.mark.parametrize("a, b", [(0.0, 0.0), (-1.0, -1.0), (1.0, 2.0), (math.nan, 1.0),
                                  (math.inf, 1.0), (1.0, 0.0)])
def test_impossible_axes_are_refused(a, b):
    with pytest.raises(ValueError, match="^semi(major|minor)_axis must be"):
        geo.Ellipsoid(a, b)


def test_ellipsoids_are_immutable_values_that_pickle():
    ell = geo.Ellipsoid(6378000.0, 6357000.0, "mine")
    with pytest.raises(AttributeError):
        ell.semimajor_axis = 1.0
    assert pickle.loads(pickle.dumps(ell)) == ell
    mars = geo.Ellipsoid.from_name("mars")
    assert pickle.loads(pickle.dumps(mars)).model == "mars"
    assert ell != mars and hash(mars) == hash(geo.Ellipsoid.from_name("mars"))


def exact_axes(ell):
    return mp.mpf(ell.semimajor_axis), mp.mpf(ell.semimajor_axis) * (1 - mp.mpf(ell.flattening))


@mp.workprec(200)
def exact_authalic(ell):
    a, b = exact_axes(ell)
    e = mp.sqrt(1 - (b / a) ** 2)
    if e == 0:
        return a
    return mp.sqrt(a * a / 2 + b * b / (4 * e) * mp.log((1 + e) / (1 - e)))


@mp.workprec(200)
def exact_rectifying(ell):
    a, b = exact_axes(ell)
    # A quarter of the meridian ellipse's perimeter over pi/2.
    return 4 * a * mp.ellipe(1 - (b / a) ** 2) / (2 * mp.pi)


@mp.workprec(200)
def exact_eqavol(ell):
    a, b = exact_axes(ell)
    return mp.cbrt(a * a * b)


@pytest.mark.parametrize("function, exact", [
    pytest.param(geo.authalic, exact_authalic, id="authalic"),
    pytest.param(geo.rectifying, exact_rectifying, id="rectifying"),
    pytest.param(geo.eqavol, exact_eqavol, id="eqavol"),
])
@pytest.mark.parametrize("model", ["wgs84", "venus", "saturn", "io", "moon"])
def test_mean_radii_are_their_closed_forms(function, exact, model):
    ell = geo.Ellipsoid.from_name(model)
    assert abs(function(ell) - float(exact(ell))) <= 4 * np.spacing(ell.semimajor_axis)


def test_mean_radii_default_to_wgs84_and_agree_with_pymap3d():
    wgs84 = geo.Ellipsoid.from_name("wgs84")
    assert geo.authalic() == geo.authalic(wgs84)
    assert geo.authalic() == pytest.approx(pymap3d.rsphere.authalic(), rel=1e-14)
    # pymap3d's rectifying and equal-volume radii are truncated series: within
    # a millimetre and 1.5 cm of the exact ones on WGS84.
    assert abs(geo.rectifying() - pymap3d.rsphere.rectifying()) < 1e-3
    assert abs(geo.eqavol() - pymap3d.rsphere.eqavol()) < 2e-2


@pytest.mark.parametrize("function", ["triaxial", "biaxial"])
@pytest.mark.parametrize("method", ["mean", "norm"])
@pytest.mark.parametrize("model", ["wgs84", "mars"])
def test_axis_means_as_pymap3d(function, method, model):
    ours = getattr(geo, function)(geo.Ellipsoid.from_name(model), method)
    theirs = getattr(pymap3d.rsphere, function)(pymap3d.Ellipsoid.from_name(model), method)
    assert ours == pytest.approx(theirs, rel=1e-14)


@pytest.mark.parametrize("function", ["triaxial", "biaxial", "curve"])
def test_an_unknown_method_is_refused(function):
    args = (10.0,) if function == "curve" else ()
    with pytest.raises(ValueError, match="^method must be 'mean' or 'norm'"):
        getattr(geo, function)(*args, method="median")


@pytest.mark.parametrize("method", ["mean", "norm"])
def test_curve_as_pymap3d_on_arrays_and_numbers(method):
    lat = np.linspace(-90, 90, 37)
    ours = geo.curve(lat, method=method)
    np.testing.assert_allclose(ours, pymap3d.rsphere.curve(lat, method=method), rtol=1e-14)
    assert type(geo.curve(45.0, method=method)) is float
    assert geo.curve(45.0, method=method) == ours[27]


def test_euler_radius_as_pymap3d():
    rng = np.random.default_rng(12)
    lat1, lon1 = rng.uniform(-80, 80, 100), rng.uniform(-180, 180, 100)
    for span, tolerance in ((1.0, 0.02), (80.0, 1e-4 * 6.4e6)):
        lat2, lon2 = lat1 + rng.uniform(-span / 8, span / 8, 100), lon1 + rng.uniform(-span, span, 100)
        ours = geo.euler(lat1, lon1, lat2, lon2)
        theirs = pymap3d.rsphere.euler(lat1, lon1, lat2, lon2)
        # pymap3d takes the geodesic's azimuth, this module the normal section's:
        # they part by centimetres within a degree, by up to 1e-4 across the globe.
        np.testing.assert_allclose(ours, theirs, rtol=0, atol=tolerance)
    # Along a meridian and along the equator the radius is M and N.
    assert geo.euler(10.0, 30.0, 50.0, 30.0) == pytest.approx(geo.meridian(30.0), rel=1e-15)
    assert geo.euler(0.0, 10.0, 0.0, 20.0) == pytest.approx(geo.transverse(0.0), rel=1e-15)
    assert type(geo.euler(10.0, 30.0, 50.0, 31.0)) is float
    with pytest.raises(ValueError, match="^lat2 = 95.0 is not a latitude"):
        geo.euler(10.0, 30.0, 95.0, 30.0)
