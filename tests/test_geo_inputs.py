"""quorvane.geo on the containers people keep coordinates in: pandas Series keep
their index, xarray DataArrays their coordinates, dask arrays stay lazy (also
on a distributed cluster); none of them is imported until an argument needs it."""

import subprocess
import sys

import dask
import dask.array as da
import numpy as np
import pandas as pd
import pytest
import xarray as xr
from distributed import Client, LocalCluster

import quorvane.geo as geo

RNG = np.random.default_rng(11)
LAT = RNG.uniform(-89, 89, 12)
LON = RNG.uniform(-180, 180, 12)
ALT = RNG.uniform(0, 1e5, 12)


def test_series_keep_their_index_and_pair_by_position():
    index = pd.Index([5, 3, 11, 0, 2, 7, 1, 4, 6, 8, 9, 10], name="station")
    lat = pd.Series(LAT, index=index)
    lon = pd.Series(LON, index=index[::-1])   # another order: taken by position
    x, y, z = geo.geodetic2ecef(lat, lon, ALT)
    expected = geo.geodetic2ecef(LAT, LON, ALT)
    for got, want in zip((x, y, z), expected):
        assert isinstance(got, pd.Series)
        assert got.index.equals(index)
        assert np.array_equal(got.to_numpy(), want)
    radius = geo.meridian(lat)
    assert isinstance(radius, pd.Series) and radius.index.equals(index)


def test_dataarrays_keep_coordinates_and_broadcast_by_dimension():
    lat = xr.DataArray(LAT[:3], dims="row", coords={"row": ["a", "b", "c"]})
    lon = xr.DataArray(LON[:4], dims="col", coords={"col": [10, 20, 30, 40]})
    az, el, srange = geo.geodetic2aer(lat, lon, 100.0, 45.0, 7.0, 0.0)
    assert az.dims == ("row", "col") and list(az.coords["row"].values) == ["a", "b", "c"]
    expected = geo.geodetic2aer(LAT[:3, None], LON[None, :4], 100.0, 45.0, 7.0, 0.0)
    assert all(np.array_equal(a.values, b) for a, b in zip((az, el, srange), expected))


def test_dask_backed_dataarrays_stay_lazy():
    lat = xr.DataArray(LAT, dims="t").chunk({"t": 5})
    lat2 = geo.geodetic2parametric(lat)
    x, _, _ = geo.geodetic2ecef(lat, LON[0], 0.0)
    assert isinstance(lat2.data, da.Array) and isinstance(x.data, da.Array)
    assert np.array_equal(lat2.values, geo.geodetic2parametric(LAT))


@pytest.mark.parametrize("name, args", [
    pytest.param("geodetic2ecef", (LAT, LON, ALT), id="three-outputs"),
    pytest.param("geodetic2geocentric", (LAT, ALT), id="one-output"),
    pytest.param("enu2aer", (LAT * 1e3, LON * 1e3, ALT), id="no-ellipsoid"),
    pytest.param("lookAtSpheroid", (LAT, LON, ALT, LON + 180, 0 * ALT + 20), id="look-at"),
])
def test_dask_arrays_stay_lazy_without_a_signature(name, args):
    calls = []

    def counted(block):
        # dask calls it on empty or one-element stand-ins to learn the result
        # type; the real blocks hold 5 and 2 points.
        if block.size > 1:
            calls.append(block.shape)
        return block

    lazy = [da.from_array(a, chunks=5).map_blocks(counted) for a in args]
    result = getattr(geo, name)(lazy[0], *lazy[1:-1], args[-1])
    result = result if isinstance(result, tuple) else (result,)
    assert all(isinstance(r, da.Array) for r in result) and calls == []
    expected = getattr(geo, name)(*args)
    expected = expected if isinstance(expected, tuple) else (expected,)
    with dask.config.set(scheduler="synchronous"):
        computed = dask.compute(*result)
    assert all(np.array_equal(c, e, equal_nan=True) for c, e in zip(computed, expected))


def test_dask_checks_latitudes_when_computed():
    lat = da.from_array(np.array([10.0, 95.0]), chunks=1)
    x, _, _ = geo.geodetic2ecef(lat, 0.0, 0.0)
    with pytest.raises(ValueError, match="^lat = 95.0 is not a latitude"):
        x.compute(scheduler="synchronous")


def test_distributed_cluster_computes_as_eager():
    lat = da.from_array(LAT, chunks=4)
    with LocalCluster(processes=True, n_workers=1, threads_per_worker=1, host="127.0.0.1",
                      dashboard_address=":0") as cluster, Client(cluster):
        e, n, u = geo.geodetic2enu(lat, LON, ALT, 45.0, 7.0, 0.0, geo.Ellipsoid.from_name("grs80"))
        computed = dask.compute(e, n, u)
    expected = geo.geodetic2enu(LAT, LON, ALT, 45.0, 7.0, 0.0, geo.Ellipsoid.from_name("grs80"))
    assert all(np.array_equal(c, x) for c, x in zip(computed, expected))


def test_float32_arrays_compute_in_float64_and_stay_float32():
    lat = LAT.astype(np.float32)
    x, _, _ = geo.geodetic2ecef(lat, LON.astype(np.float32), ALT.astype(np.float32))
    assert x.dtype == np.float32
    wide = geo.geodetic2ecef(*(np.radians(a.astype(np.float32)).astype(np.float64)
                               for a in (LAT, LON)), ALT.astype(np.float32).astype(np.float64),
                             deg=False)[0]
    assert np.array_equal(x, wide.astype(np.float32))
    # Python numbers beside them are weak scalars, as in NumPy's own ufuncs.
    assert geo.geodetic2ecef(lat, 10.0, 0)[0].dtype == np.float32


def test_importing_the_module_imports_no_container_library():
    code = ("import sys, quorvane.geo as g; g.geodetic2ecef(1.0, 2.0, 3.0); "
            "g.geodetic2ecef([1.0], [2.0], [3.0]); "
            "print(sorted(m for m in ('pandas', 'xarray', 'dask') if m in sys.modules))")
    out = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True, check=True,
                         cwd="/")
    assert out.stdout.strip() == "[]"
