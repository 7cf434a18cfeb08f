"""Program.ufunc and a Program called with arrays, as numpy, pandas, xarray and Dask call them."""
import pickle
import subprocess
import sys

import pytest

import kelvaro_rpn as rpn
from conftest import built_with_ufunc
from kelvaro_rpn import _core

np = pytest.importorskip("numpy")

F = rpn.compile("2 ^ 3 * 1 +")  # 3x^2 + 1

pytestmark = pytest.mark.skipif(not built_with_ufunc(), reason="built without numpy's headers")


def by_run_many(program, *arrays):
    arrays = np.broadcast_arrays(*(np.asarray(a, np.float64) for a in arrays))
    rows = np.ascontiguousarray(np.stack(arrays, axis=-1)).reshape(-1, len(arrays))
    return program.run_many(rows.reshape(-1), width=len(arrays)).reshape(arrays[0].shape)


@pytest.mark.parametrize("text, nin", [("2 ^ 3 * 1 +", 1), ("+", 2), ("p", 1), ("+ + +", 4)])
def test_a_real_ufunc(text, nin):
    ufunc = rpn.compile(text).ufunc
    assert isinstance(ufunc, np.ufunc)
    assert (ufunc.nin, ufunc.nout, ufunc.types) == (nin, 1, ["d" * nin + "->d"])
    assert ufunc is rpn.compile(text).ufunc      # one per text


@pytest.mark.parametrize("x", [
    np.linspace(-3, 3, 7),
    np.arange(12, dtype=np.int64).reshape(3, 4),
    np.arange(12, dtype=np.float32).reshape(2, 3, 2),
    np.arange(30.0)[::3],                                   # strided
    np.asfortranarray(np.arange(6.0).reshape(2, 3)),
    np.array(2.5),
    np.array([True, False]),
    np.random.default_rng(1).normal(size=10_000)[::-1],     # more than one block, backwards
], ids=["float64", "int64", "float32", "strided", "fortran", "0-d", "bool", "reversed"])
def test_any_shape_and_real_dtype(x):
    expected = by_run_many(F, x)
    for y in (F(x), F.ufunc(x)):
        assert np.shape(y) == np.shape(x)
        np.testing.assert_array_equal(y, expected)


def test_lists_and_broadcasting():
    plus = rpn.compile("+")
    np.testing.assert_array_equal(F([1, 2, 3]), [4.0, 13.0, 28.0])
    y = plus([[1.0], [2.0]], [10, 20, 30])
    assert y.shape == (2, 3)
    np.testing.assert_array_equal(y, [[11, 21, 31], [12, 22, 32]])
    np.testing.assert_array_equal(plus(np.arange(3.0), 0.5), [0.5, 1.5, 2.5])
    np.testing.assert_array_equal(rpn.compile("- 2 /")(np.array([1.0, 4.0]), 9), [-4.0, -2.5])


def test_more_inputs_than_a_ufunc_takes():
    total = rpn.compile("+ " * 40)
    y = total(np.arange(3.0), *[1.0] * 40)
    np.testing.assert_array_equal(y, [40.0, 41.0, 42.0])


def test_scalars_still_run_once_as_floats():
    assert type(F(2.0)) is float and F(2.0) == 13.0
    with pytest.raises(rpn.StackUnderflowError):
        rpn.compile("+")(1.0)


def test_a_failing_run_is_nan():
    overflows = rpn.compile("1 " * rpn.STACK_CAPACITY)
    assert np.isnan(overflows(np.ones(3))).all()


@pytest.mark.parametrize("call, error, message", [
    (lambda: rpn.compile("+")(np.ones(3)), TypeError, "this program takes 2 array arguments, not 1"),
    (lambda: F(np.ones(2), np.ones(2)), TypeError, "this program takes 1 array arguments, not 2"),
    (lambda: F(np.ones(2, complex)), TypeError, "not supported for the input types"),
    (lambda: F("2"), TypeError, "must be real number, not str"),
    (lambda: rpn.compile("+ " * 40).ufunc, ValueError,
     "a numpy ufunc takes at most 31 inputs; this program takes 41"),
])
def test_refused(call, error, message):
    with pytest.raises(error, match=message):
        call()


def test_pandas_keeps_the_index():
    pd = pytest.importorskip("pandas")
    s = pd.Series([1.0, 2.0, 3.0], index=["a", "b", "c"], name="x")
    for y in (F.ufunc(s), F(s), np.asarray(F.ufunc(s))):
        np.testing.assert_array_equal(np.asarray(y), [4.0, 13.0, 28.0])
    y = F.ufunc(s)
    assert isinstance(y, pd.Series) and list(y.index) == ["a", "b", "c"] and y.name == "x"
    frame = pd.DataFrame({"x": [1.0, 2.0], "y": [3.0, 4.0]})
    assert isinstance(F.ufunc(frame), pd.DataFrame)
    assert rpn.compile("+").ufunc(frame["x"], frame["y"]).tolist() == [4.0, 6.0]


def test_xarray_keeps_its_coordinates():
    xr = pytest.importorskip("xarray")
    a = xr.DataArray(np.arange(6.0).reshape(2, 3), dims=("t", "x"), coords={"t": [10, 20]})
    y = F.ufunc(a)
    assert isinstance(y, xr.DataArray) and y.dims == ("t", "x") and list(y.t) == [10, 20]
    np.testing.assert_array_equal(y.values, by_run_many(F, a.values))


def test_dask_arrays_stay_lazy():
    da = pytest.importorskip("dask.array")
    x = da.from_array(np.linspace(-2, 2, 1000), chunks=300)
    y = F.ufunc(x)
    assert isinstance(y, da.Array) and y.chunks == x.chunks
    np.testing.assert_array_equal(y.compute(scheduler="synchronous"), by_run_many(F, x.compute()))


def test_a_ufunc_pickles_by_its_text():
    assert pickle.loads(pickle.dumps(F.ufunc)) is F.ufunc
    dumped = pickle.dumps(rpn.compile("0.5 * s 2 ^ 1 + l").ufunc)
    script = ("import pickle, sys, numpy; u = pickle.loads(sys.stdin.buffer.read()); "
              "print(u.nin, repr(u(numpy.array([0.0, 1.0])).tolist()))")
    completed = subprocess.run([sys.executable, "-c", script], input=dumped,
                               capture_output=True, check=True, timeout=60)
    expected = rpn.compile("0.5 * s 2 ^ 1 + l").run_many(np.array([0.0, 1.0])).tolist()
    assert completed.stdout.decode() == f"1 {expected!r}\n"


def test_a_ufunc_lets_its_program_go():
    program = rpn.compile("1 +")
    before = sys.getrefcount(program)
    ufunc = _core._make_ufunc(program, "one_more")
    assert sys.getrefcount(program) == before + 1 and ufunc(1.0) == 2.0
    del ufunc
    assert sys.getrefcount(program) == before
