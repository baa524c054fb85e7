"""Buffer formats that reach the record check in shapes the dtype tests of test_record_buffers
do not produce: raw struct-module formats (counts, padding, more elements than a record has),
ctypes formats (a byte-order mark after a sub-array shape, nested structs) and nested or
repeated numpy structs."""

import ctypes
import re
import struct
import types

import _testbuffer
import numpy as np
import pytest

import quorvane.mathtools.ellipsoid.ellipsoid as M

E = M.Ellipsoid(2.0, 0.5)
POS = np.array([1.0, 0.5, 0.25])


def raw(fmt):
    """A writable one-element buffer whose format is exactly `fmt`."""
    items = struct.unpack(fmt, bytes(struct.calcsize(fmt)))
    return _testbuffer.ndarray([items[0] if len(items) == 1 else items], shape=[1], format=fmt,
                               flags=_testbuffer.ND_WRITABLE)


def with_result(monkeypatch, exporter):
    """Makes every result array of the module `exporter`."""
    monkeypatch.setattr(M, "numpy", types.SimpleNamespace(
        zeros=lambda *a, **k: exporter, zeros_like=lambda *a: exporter, asarray=np.asarray, double=np.float64))


DOUBLE_MISMATCH = "Buffer dtype mismatch, expected 'double' but got {}"
EXTRA = "Buffer dtype mismatch, expected end but got {}"


@pytest.mark.parametrize("fmt, message", [
    pytest.param("c", DOUBLE_MISMATCH.format("'char'"), id="char"),
    pytest.param("b", DOUBLE_MISMATCH.format("'signed char'"), id="signed-char"),
    pytest.param("B", DOUBLE_MISMATCH.format("'unsigned char'"), id="unsigned-char"),
    pytest.param("?", DOUBLE_MISMATCH.format("'bool'"), id="bool"),
    pytest.param("h", DOUBLE_MISMATCH.format("'short'"), id="short"),
    pytest.param("H", DOUBLE_MISMATCH.format("'unsigned short'"), id="unsigned-short"),
    pytest.param("i", DOUBLE_MISMATCH.format("'int'"), id="int"),
    pytest.param("I", DOUBLE_MISMATCH.format("'unsigned int'"), id="unsigned-int"),
    pytest.param("<l", DOUBLE_MISMATCH.format("'long'"), id="long-standard"),
    pytest.param("L", DOUBLE_MISMATCH.format("'unsigned long'"), id="unsigned-long"),
    pytest.param("q", DOUBLE_MISMATCH.format("'long long'"), id="long-long"),
    pytest.param("Q", DOUBLE_MISMATCH.format("'unsigned long long'"), id="unsigned-long-long"),
    pytest.param("n", DOUBLE_MISMATCH.format("'ssize_t'"), id="ssize_t"),
    pytest.param("N", DOUBLE_MISMATCH.format("'size_t'"), id="size_t"),
    pytest.param("e", DOUBLE_MISMATCH.format("'half'"), id="half"),
    pytest.param("f", DOUBLE_MISMATCH.format("'float'"), id="float"),
    pytest.param("P", DOUBLE_MISMATCH.format("a pointer"), id="pointer"),
    pytest.param("8s", DOUBLE_MISMATCH.format("a string"), id="string-of-8"),
    pytest.param("8p", DOUBLE_MISMATCH.format("a string"), id="pascal-string-of-8"),
    pytest.param("x d", "Buffer dtype mismatch; next field is at offset 1 but 0 expected", id="pad-byte-first"),
    pytest.param("3x 5x d", "Buffer dtype mismatch; next field is at offset 8 but 0 expected", id="counted-padding"),
    pytest.param("0d d", None, id="zero-count"),
    pytest.param("1d", None, id="count-of-one"),
    pytest.param("= d", None, id="mark-and-space"),
    pytest.param("2d", EXTRA.format("'double'"), id="two-doubles"),
    pytest.param("d i", EXTRA.format("'int'"), id="double-then-int"),
    pytest.param("20d", EXTRA.format("'double'"), id="more-elements-than-leaf-room"),
    pytest.param("d 15B f", EXTRA.format("'unsigned char'"), id="extra-named-from-first-extra"),
    pytest.param("16777216x d", "Buffer dtype mismatch; next field is at offset 16777216 but 0 expected",
                 id="largest-count"),
    pytest.param("16777217x d", "Buffer dtype mismatch, unparseable format string '16777217x d'",
                 id="count-past-largest"),
    pytest.param("!d", "Big-endian buffer not supported on little-endian compiler", id="network-order"),
])
def test_raw_format_against_double(monkeypatch, fmt, message):
    expected = E.reduced_lat_from_geodetic_lat(np.array([0.1]))
    with_result(monkeypatch, raw(fmt))
    if message is None:
        assert E.reduced_lat_from_geodetic_lat(np.array([0.1])).tobytes()[-8:] == expected.tobytes()
    else:
        with pytest.raises(ValueError, match=f"^{re.escape(message)}$"):
            E.reduced_lat_from_geodetic_lat(np.array([0.1]))


@pytest.mark.parametrize("dtype, message", [
    pytest.param(np.complex64, "'complex float'", id="complex-float"),
    pytest.param(np.complex128, "'complex double'", id="complex-double"),
    pytest.param(np.clongdouble, "'complex long double'", id="complex-long-double"),
    pytest.param(np.longdouble, "'long double'", id="long-double"),
    pytest.param(np.int64, "'long'", id="int64"),
    pytest.param(object, "Python object", id="object"),
])
def test_numpy_element_named_in_mismatch(dtype, message):
    with pytest.raises(ValueError, match=f"^{re.escape(DOUBLE_MISMATCH.format(message))}$"):
        E.reduced_lat_from_geodetic_lat(np.zeros(2, dtype))


class Inner(ctypes.Structure):
    _fields_ = [("a", ctypes.c_double)]


def ctypes_record(*fields):
    # through a memoryview, which fills in the strides that ctypes leaves out
    return memoryview((type("Record", (ctypes.Structure,), {"_fields_": list(fields)}) * 1)())


triple = ctypes.c_double * 3


@pytest.mark.parametrize("exporter, message", [
    pytest.param(ctypes_record(("e", triple), ("n", triple), ("u", triple)), None, id="mark-after-shape"),
    pytest.param(ctypes_record(("e", triple * 1), ("n", triple), ("u", triple)), "Expected 1 dimension(s), got 2",
                 id="shape-1-3-mark-after-shape"),
    pytest.param(ctypes_record(("e", Inner * 3), ("n", triple), ("u", triple)),
                 # the repeat makes three plain doubles, not one field of three
                 "Expected a dimension of size 3, got 1", id="struct-repeated-by-shape"),
    pytest.param(ctypes_record(("e", ctypes.c_double * 4), ("n", triple), ("u", triple)),
                 "Expected a dimension of size 3, got 4", id="extent-4"),
])
def test_ctypes_format_against_enu(monkeypatch, exporter, message):
    with_result(monkeypatch, exporter)
    if message is None:
        E.enu(0.1, 0.2)
        monkeypatch.undo()
        assert exporter.tobytes() == E.enu(0.1, 0.2).tobytes()
    else:
        with pytest.raises(ValueError, match=f"^{re.escape(message)}$"):
            E.enu(0.1, 0.2)


def nested(*fields, **kw):
    return np.dtype(list(fields), **kw)


@pytest.mark.parametrize("attr, dtype, message", [
    pytest.param("LLA_dtype", nested(("ll", [("a", "<f8")], (2,)), ("alt", "<f8")), None, id="struct-repeat-2"),
    pytest.param("LLA_dtype", nested(("l", [("a", "<f8"), ("b", [("c", "<f8")])]), ("alt", "<f8")), None,
                 id="struct-in-struct"),
    pytest.param("LLA_dtype", nested(("lat", "<f8", (1,)), ("lon", "<f8"), ("alt", "<f8")), None,
                 id="double-as-shape-1"),
    pytest.param("LLA_dtype", nested(("lat", "<f8", (1, 1)), ("lon", "<f8"), ("alt", "<f8")),
                 "Expected 1 dimension(s), got 2", id="double-as-shape-1-1"),
    pytest.param("LLA_dtype", nested(("ll", [("a", "<f8")], (3,)), ("alt", "<f8")),
                 "Buffer dtype mismatch, expected end but got 'double'", id="struct-repeat-too-many"),
    pytest.param("LLA_dtype", np.dtype({"names": ["p", "alt"], "offsets": [0, 24], "itemsize": 32, "formats": [
        np.dtype({"names": ["lat", "lon"], "formats": ["<f8", "<f8"], "itemsize": 24}), "<f8"]}),
        "Buffer dtype mismatch; next field is at offset 24 but 16 expected", id="padding-inside-struct"),
    pytest.param("AER_dtype", nested(("a", [("x", "<f8"), ("y", "<f8"), ("z", "<f8")], (1,))), None,
                 id="struct-of-shape-1"),
    pytest.param("ENU_dtype", nested(("f", [("v", "<f8", (3,))], (3,))), None, id="struct-of-sub-arrays-repeated"),
])
def test_nested_record_dtype(monkeypatch, attr, dtype, message):
    call = {"LLA_dtype": lambda: E.lla_from_pos(POS), "AER_dtype": lambda: E.aer_coords(POS, 0.1, 0.2, 0.3),
            "ENU_dtype": lambda: E.enu(0.1, 0.2)}[attr]
    expected = call()
    monkeypatch.setattr(M, attr, dtype)
    if message is None:
        assert call().tobytes() == expected.tobytes()
    else:
        with pytest.raises(ValueError, match=f"^{re.escape(message)}$"):
            call()


@pytest.mark.parametrize("shape", [pytest.param((1, 3), id="1x3"), pytest.param((3, 1), id="3x1"),
                                   pytest.param((3, 3), id="3x3")])
def test_multi_dimensional_sub_array_field_names_its_dimension_count(monkeypatch, shape):
    # the message used to read "Expected a dimension of size 3, got 3" for (1, 3)
    monkeypatch.setattr(M, "ENU_dtype", np.dtype([("u_east", "<f8", shape), ("u_north", "<f8", (3,)),
                                                  ("u_up", "<f8", (3,))]))
    with pytest.raises(ValueError, match=r"^Expected 1 dimension\(s\), got 2$"):
        E.enu(0.1, 0.2)


CALLS = {"LLA_dtype": lambda: E.lla_from_pos(POS), "AER_dtype": lambda: E.aer_coords(POS, 0.1, 0.2, 0.3),
         "SurfCoord_dtype": lambda: E.surf_coord_from_surf_pos(POS), "ENU_dtype": lambda: E.enu(0.1, 0.2)}


@pytest.mark.parametrize("attr", CALLS)
@pytest.mark.parametrize("remake", [
    pytest.param(lambda d: np.dtype(d.descr), id="equal-new-object"),
    pytest.param(lambda d: np.dtype(d.descr, align=True), id="aligned"),
    pytest.param(lambda d: np.dtype(d.descr, metadata={"unit": "si"}), id="with-metadata"),
])
def test_fresh_equivalent_dtypes_alternating(monkeypatch, attr, remake):
    original = getattr(M, attr)
    expected = CALLS[attr]()
    for _ in range(3):  # each new dtype object displaces the last one checked
        dtype = remake(original)
        monkeypatch.setattr(M, attr, dtype)
        result = CALLS[attr]()
        assert result.dtype is dtype and result.tobytes() == expected.tobytes()


@pytest.mark.parametrize("attr", CALLS)
@pytest.mark.parametrize("other", CALLS)
def test_record_dtype_bound_for_another_record(monkeypatch, attr, other):
    # the check ignores names: three plain doubles stand for any record of three plain doubles
    same_layout = {attr, other} <= {"LLA_dtype", "AER_dtype"} or attr == other
    expected = CALLS[attr]()
    monkeypatch.setattr(M, attr, getattr(M, other))
    if same_layout:
        assert CALLS[attr]().tobytes() == expected.tobytes()
    else:
        with pytest.raises(ValueError, match="^(Buffer dtype mismatch|Expected a dimension|Item size of buffer)"):
            CALLS[attr]()
