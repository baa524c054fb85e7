"""Record dtypes on the module must present exactly the layout of the C records."""

import re

import numpy as np
import pytest

import quorvane.mathtools.ellipsoid.ellipsoid as M

E = M.Ellipsoid(6378137.0, 1 / 298.257223563)


class Boom(Exception):
    pass


class Unreadable:
    def __float__(self):
        raise Boom


def unreadable(*shape):
    out = np.empty(shape, dtype=object)
    out.ravel()[:] = [Unreadable() for _ in range(out.size)]
    return out


POS = np.array([[7e6, 1e5, 2e5], [-1e6, 6.5e6, 3e5]])
RECORDS = {  # dtype attribute: record name, field names, field shape, call with a float64 input
    "LLA_dtype": ("LLA", ["lat", "lon", "alt"], (), lambda r: E.lla_from_pos(r)),
    "AER_dtype": ("AER", ["azimuth", "elevation", "range"], (), lambda r: E.aer_coords(r, 0.1, 0.2, 30.0)),
    "SurfCoord_dtype": ("SurfCoord", ["lat", "lon"], (), lambda r: E.surf_coord_from_surf_pos(r)),
    "ENU_dtype": ("ENU_Frame", ["u_east", "u_north", "u_up"], (3,), lambda r: E.enu(r[:, 0], r[:, 1])),
}


def layout(names, formats, shape, offsets=None, itemsize=None):
    width = 8 * max(1, int(np.prod(shape)))
    offsets = offsets or [width * k for k in range(len(names))]
    return np.dtype({"names": names, "formats": [(f, shape) if shape else f for f in formats], "offsets": offsets,
                     "itemsize": itemsize or width * len(names)})


def bad_dtypes(record, names, shape):
    n, width = len(names), 8 * max(1, int(np.prod(shape)))
    size = n * width
    cases = [
        ("float32-packed", layout(names, ["<f4"] + ["<f8"] * (n - 1), shape,
                                  [max(0, width * k - width // 2) for k in range(n)], size - width // 2),
         rf"Buffer dtype mismatch, expected '[^']+' but got .+ in '{record}\.{names[0]}'"),
        ("float32-last", layout(names, ["<f8"] * (n - 1) + ["<f4"], shape, itemsize=size),
         rf"Buffer dtype mismatch, expected '[^']+' but got .+ in '{record}\.{names[-1]}'"),
        ("byte-swapped", layout(names, [">f8"] * n, shape), "Big-endian buffer not supported on little-endian compiler"),
        ("itemsize", layout(names, ["<f8"] * n, shape, itemsize=size + 8),
         f"Item size of buffer ({size + 8} bytes) does not match size of '{record}' ({size} bytes)"),
        ("offset-gap", layout(names, ["<f8"] * n, shape, [width * k + 8 * (k == n - 1) for k in range(n)], size + 8),
         f"Buffer dtype mismatch; next field is at offset {size - width + 8} but {size - width} expected"),
        ("two-dimensional", np.dtype((layout(names, ["<f8"] * n, shape), (2,))),
         "Buffer has wrong number of dimensions (expected 1, got 2)"),
    ]
    if shape:
        cases.append(("sub-array-of-4", np.dtype([(nm, "<f8", (4 - (k > 0),)) for k, nm in enumerate(names)]),
                      "Expected a dimension of size 3, got 4"))
    return cases


@pytest.mark.parametrize("attr, dtype, message", [
    pytest.param(attr, dtype, message, id=f"{attr}-{case}")
    for attr, (record, names, shape, _) in RECORDS.items() for case, dtype, message in bad_dtypes(record, names, shape)])
def test_mismatched_record_dtype_fails_before_any_point(monkeypatch, attr, dtype, message):
    monkeypatch.setattr(M, attr, dtype)
    call = RECORDS[attr][3]
    # the elements raise Boom when read: the buffer check must come first
    with pytest.raises(ValueError, match=f"^{message}$" if "[" in message else f"^{re.escape(message)}$"):
        call(unreadable(2, 3))


@pytest.mark.parametrize("attr", ["LLA_dtype", "AER_dtype", "SurfCoord_dtype"])
def test_one_point_form_checks_the_dtype_before_reading(monkeypatch, attr):
    _, names, shape, _ = RECORDS[attr]
    monkeypatch.setattr(M, attr, layout(names, [">f8"] * len(names), shape))
    with pytest.raises(ValueError, match="^Big-endian buffer not supported"):
        RECORDS[attr][3](unreadable(3))


@pytest.mark.parametrize("attr", RECORDS)
def test_other_field_names_are_accepted_and_carried(monkeypatch, attr):
    _, names, shape, call = RECORDS[attr]
    expected = call(POS)
    renamed = [f"field{k}" for k in range(len(names))]
    monkeypatch.setattr(M, attr, layout(renamed, ["<f8"] * len(names), shape))
    result = call(POS)
    assert type(result) is np.ndarray and result.dtype.names == tuple(renamed)
    assert result.tobytes() == expected.tobytes()
    monkeypatch.undo()
    assert call(POS).dtype.names == tuple(names)  # the next call sees the restored dtype

