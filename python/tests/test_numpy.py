import math

import pytest

import kelvaro_rpn as rpn

np = pytest.importorskip("numpy")

F = rpn.compile("2 ^ 3 * 1 +")


def test_an_array_in_and_a_new_array_out():
    x = np.linspace(-3.0, 3.0, 101)
    y = np.asarray(F.run_many(x))
    np.testing.assert_array_equal(y, np.array([F(v) for v in x]))


def test_into_an_array():
    x = np.arange(5, dtype=np.float64)
    out = np.full(5, -1.0)
    assert F.run_many(x, out) is out
    np.testing.assert_array_equal(out, 3 * x * x + 1)


def test_rows_give_the_width():
    xy = np.array([[1.0, 2.0], [3.0, 5.0], [8.0, 0.0]])
    out = rpn.compile("/").run_many(xy)
    np.testing.assert_array_equal(np.asarray(out), [0.5, 0.6, math.inf])
    assert len(rpn.compile("/").run_many(xy, width=1, statuses=np.zeros(6, np.intc))) == 6


def test_statuses_as_intc():
    statuses = np.full(3, 9, dtype=np.intc)
    rpn.compile("x ]").run_many(np.ones(3), statuses=statuses, width=1)
    np.testing.assert_array_equal(statuses, [2, 2, 2])


@pytest.mark.parametrize("dtype", [np.float32, np.int64, np.longdouble, np.complex128])
def test_other_dtypes(dtype):
    with pytest.raises(TypeError, match="values must hold doubles"):
        F.run_many(np.ones(3, dtype=dtype))


def test_a_strided_array_is_refused():
    with pytest.raises((BufferError, ValueError)):
        F.run_many(np.ones(10)[::2])


def test_a_fortran_order_array_is_refused():
    with pytest.raises((BufferError, ValueError)):
        rpn.compile("+").run_many(np.asfortranarray(np.ones((3, 2))))


def test_a_read_only_out():
    out = np.zeros(3)
    out.flags.writeable = False
    with pytest.raises(TypeError, match="out must be writable; this numpy.ndarray is read-only"):
        F.run_many(np.ones(3), out)


def test_a_big_endian_array_is_refused():
    with pytest.raises(TypeError, match="values must hold doubles"):
        F.run_many(np.ones(3, dtype=">f8" if np.little_endian else "<f8"))


def test_a_misaligned_array():
    room = np.zeros(8 * 100 + 1, dtype=np.uint8)
    x = room[1:].view(np.float64)
    assert not x.flags.aligned
    x[:] = np.arange(100.0)
    out = room.copy()[1:].view(np.float64)
    F.run_many(x, out)
    np.testing.assert_array_equal(out, 3 * np.arange(100.0) ** 2 + 1)


def test_a_million_values():
    x = np.random.default_rng(7).uniform(0.5, 10.0, 1_000_000)
    out = np.empty_like(x)
    F.run_many(x, out)
    # The C library's pow, as the program calls it: numpy's own power may
    # take a SIMD kernel (AVX-512) that is a bit off in the last place.
    squares = np.frompyfunc(math.pow, 2, 1)(x, 2.0).astype(np.float64)
    np.testing.assert_array_equal(out, 3 * squares + 1)
