"""The ufuncs as xarray, dask.array and dask.distributed use them: labelled results, lazy
chunked graphs, and a two-process cluster, each giving the eager NumPy bits."""

import dask
import dask.array as da
import numpy as np
import pytest
import xarray as xr
from distributed import Client, LocalCluster

import quorvane.mathtools.ellipsoid.ufuncs as U

# dask.array takes single-output ufuncs as they are; a multi-output one it leaves to
# apply_gufunc, and it parses no fixed core size such as enu's (3), which is named here.
POS_FROM_LLA = LLA_FROM_POS = "(),(),(),(),()->(),(),()"
ENU = "(),(),(),()->(i),(i),(i)"
FLOAT64_3 = [np.float64] * 3


def same_bits(a, b):
    a, b = np.ascontiguousarray(a, dtype=np.float64), np.ascontiguousarray(b, dtype=np.float64)
    return a.shape == b.shape and bool((a.view(np.uint64) == b.view(np.uint64)).all())


def stations(n_time=6, n_station=5, seed=0):
    rng = np.random.default_rng(seed)
    coords = {"time": np.arange(n_time), "station": [f"s{k}" for k in range(n_station)]}

    def field(lo, hi):
        return xr.DataArray(rng.uniform(lo, hi, (n_time, n_station)), dims=("time", "station"), coords=coords)

    return field(-1.5, 1.5), field(-3.0, 3.0), field(0.0, 2e4)


def test_xarray_single_output_ufunc_keeps_coordinates():
    lat, _, _ = stations()
    beta = U.reduced_lat_from_geodetic_lat(lat, *U.WGS84)
    assert isinstance(beta, xr.DataArray)
    assert beta.dims == lat.dims and beta.coords.equals(lat.coords)
    assert same_bits(beta.values, U.reduced_lat_from_geodetic_lat(lat.values, *U.WGS84))


def test_xarray_multi_output_ufunc_broadcasts_over_an_ellipsoid_dimension():
    lat, lon, alt = stations()
    models = xr.DataArray(["WGS84", "GRS80"], dims="model")
    Re = xr.DataArray([U.WGS84[0], U.GRS80[0]], dims="model", coords={"model": models})
    f = xr.DataArray([U.WGS84[1], U.GRS80[1]], dims="model", coords={"model": models})
    x, y, z = U.pos_from_lla(lat, lon, alt, Re, f)
    for component, k in zip((x, y, z), range(3)):
        assert set(component.dims) == {"time", "station", "model"}
        assert list(component["station"].values) == list(lat["station"].values)
        for m, name in enumerate(("WGS84", "GRS80")):
            eager = U.pos_from_lla(lat.values, lon.values, alt.values, *getattr(U, name))[k]
            assert same_bits(component.sel(model=name).transpose("time", "station").values, eager)


def test_xarray_apply_ufunc_dask_parallelized():
    lat, lon, alt = (a.chunk({"time": 2}) for a in stations(n_time=10))
    x, y, z = xr.apply_ufunc(U.pos_from_lla, lat, lon, alt, *U.WGS84, dask="parallelized",
                             output_core_dims=[[]] * 3, output_dtypes=FLOAT64_3)
    east, north, up = xr.apply_ufunc(U.enu, lat, lon, *U.WGS84, dask="parallelized",
                                     output_core_dims=[["xyz"]] * 3, output_dtypes=FLOAT64_3,
                                     dask_gufunc_kwargs={"output_sizes": {"xyz": 3}})
    assert all(isinstance(a.data, da.Array) for a in (x, y, z, east, north, up))
    assert x.chunks == lat.chunks and east.dims == ("time", "station", "xyz")
    computed = dask.compute(x, y, z, east, north, up)
    eager = (*U.pos_from_lla(lat.values, lon.values, alt.values, *U.WGS84), *U.enu(lat.values, lon.values, *U.WGS84))
    for got, want in zip(computed, eager):
        assert all(got[c].equals(lat[c]) for c in lat.coords) and same_bits(got.values, want)


def lla_dask(n, chunk, seed):
    rng = da.random.default_rng(seed)
    return (rng.uniform(-1.57, 1.57, n, chunks=chunk), rng.uniform(-3.14, 3.14, n, chunks=chunk),
            rng.uniform(-1e4, 4e7, n, chunks=chunk))


def test_dask_array_single_output_ufunc_and_enu_stay_lazy():
    lat, lon, _ = lla_dask(10_000, 1_000, seed=1)
    beta = U.reduced_lat_from_geodetic_lat(lat, *U.WGS84)
    frames = da.apply_gufunc(U.enu, ENU, lat, lon, *U.WGS84, output_sizes={"i": 3}, output_dtypes=FLOAT64_3)
    assert isinstance(beta, da.Array) and beta.chunks == lat.chunks
    assert all(isinstance(a, da.Array) and a.shape == (10_000, 3) for a in frames)
    lat_np, lon_np, beta_np, *frames_np = dask.compute(lat, lon, beta, *frames, scheduler="threads")
    assert same_bits(beta_np, U.reduced_lat_from_geodetic_lat(lat_np, *U.WGS84))
    for got, want in zip(frames_np, U.enu(lat_np, lon_np, *U.WGS84)):
        assert same_bits(got, want)


def test_dask_array_multi_output_through_apply_gufunc():
    lat, lon, alt = lla_dask(10_000, 1_500, seed=2)
    x, y, z = da.apply_gufunc(U.pos_from_lla, POS_FROM_LLA, lat, lon, alt, *U.WGS84,
                              output_dtypes=FLOAT64_3)
    back = da.apply_gufunc(U.lla_from_pos, LLA_FROM_POS, x, y, z, *U.WGS84, output_dtypes=FLOAT64_3)
    assert all(a.chunks == lat.chunks for a in (x, *back))
    values = dask.compute(lat, lon, alt, x, y, z, *back, scheduler="threads")
    lat_np, lon_np, alt_np, x_np, y_np, z_np = values[:6]
    eager = (*U.pos_from_lla(lat_np, lon_np, alt_np, *U.WGS84), *U.lla_from_pos(x_np, y_np, z_np, *U.WGS84))
    for got, want in zip(values[3:], eager):
        assert same_bits(got, want)


@pytest.fixture(scope="module")
def client():
    with LocalCluster(processes=True, n_workers=2, threads_per_worker=1, host="127.0.0.1",
                      dashboard_address=":0") as cluster, Client(cluster) as c:
        yield c


def test_distributed_cluster_converts_a_million_points_as_eager(client):
    lat, lon, alt = lla_dask(1_000_000, 125_000, seed=3)
    x, y, z = da.apply_gufunc(U.pos_from_lla, POS_FROM_LLA, lat, lon, alt, *U.WGS84,
                              output_dtypes=FLOAT64_3)
    back = da.apply_gufunc(U.lla_from_pos, LLA_FROM_POS, x, y, z, *U.WGS84, output_dtypes=FLOAT64_3)
    frames = da.apply_gufunc(U.enu, ENU, lat, lon, *U.GRS80, output_sizes={"i": 3}, output_dtypes=FLOAT64_3)
    values = client.compute([lat, lon, alt, x, y, z, *back, *frames], sync=True)
    assert len(client.scheduler_info()["workers"]) == 2
    lat_np, lon_np, alt_np, x_np, y_np, z_np = values[:6]
    eager = (*U.pos_from_lla(lat_np, lon_np, alt_np, *U.WGS84), *U.lla_from_pos(x_np, y_np, z_np, *U.WGS84),
             *U.enu(lat_np, lon_np, *U.GRS80))
    for got, want in zip(values[3:], eager):
        assert same_bits(got, want)


def test_distributed_workers_unpickle_the_ufunc_by_name(client):
    def where_from(ufunc):
        return ufunc.__module__, ufunc.__name__, ufunc is getattr(__import__(ufunc.__module__, fromlist=["_"]),
                                                                  ufunc.__name__)

    got = client.gather(client.map(where_from, [U.aer_coords, U.enu], pure=False))
    assert got == [("quorvane.mathtools.ellipsoid.ufuncs", "aer_coords", True),
                   ("quorvane.mathtools.ellipsoid.ufuncs", "enu", True)]
