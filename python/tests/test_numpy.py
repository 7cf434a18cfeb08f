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


@pytest.mark.parametrize("text, shape, width, results", [
    (F.text, (3, 1), None, (3,)),
    (F.text, (2, 3, 1), None, (2, 3)),
    ("+", (2, 3, 2), None, (2, 3)),
    ("p", (4, 1), None, (4,)),           # no inputs: runs of one
    (F.text, (3, 4), 1, (12,)),               # another width: flat results
    ("+", (3, 4), 2, (6,)),
    ("+", (3, 4), 4, (3,)),
])
def test_the_shape_of_the_results(text, shape, width, results):
    x = np.arange(float(np.prod(shape))).reshape(shape)
    y = rpn.compile(text).run_many(x, width=width)
    assert isinstance(y, np.ndarray) and y.dtype == np.float64 and y.shape == results


@pytest.mark.parametrize("text, shape, message", [
    (F.text, (3, 4), "values is 2-D with rows of 4 values, but the program runs on 1; pass width"),
    ("+", (2, 3, 1), "values is 3-D with rows of 1 values, but the program runs on 2; pass width"),
    ("p", (3, 2), "values is 2-D with rows of 2 values, but the program runs on 1; pass width"),
])
def test_rows_of_another_width_are_refused(text, shape, message):
    with pytest.raises(ValueError, match=message):
        rpn.compile(text).run_many(np.ones(shape))
    with pytest.raises(ValueError, match=message):
        rpn.compile(text).run_many(np.ones(shape), np.empty(int(np.prod(shape))))


FORMULAS = ["2 ^ 3 * 1 +", "0.5 * s 2 ^ 1 + l", "L 1 + l", "c 3 ^ t", "1 ] /"]


def awkward_values(count, seed=3):
    """Normal values with zeros of both signs, infinities, NaN and subnormals among them."""
    x = np.random.default_rng(seed).normal(0.0, 30.0, count)
    edges = [0.0, -0.0, np.inf, -np.inf, np.nan, 5e-324, -1e308, 1e-310]
    x[::97] = np.resize(edges, len(x[::97]))
    return x


def same_values(a, b):
    return np.array_equal(a, b, equal_nan=True) and np.array_equal(np.signbit(a), np.signbit(b))


@pytest.mark.parametrize("text", FORMULAS)
@pytest.mark.parametrize("threads", [2, 3, 8])
def test_any_count_of_threads_gives_the_same_results(text, threads):
    x = awkward_values(100_003)
    program = rpn.compile(text)
    one = program.run_many(x, threads=1)
    assert same_values(program.run_many(x, threads=threads), one)
    assert same_values(program.run_many(x), one)       # None: one per core here
    room = np.zeros(8 * len(x) + 1, np.uint8)           # misaligned: the chunked path
    misaligned = room[1:].view(np.float64)
    misaligned[:] = x
    statuses = np.full(len(x), 9, np.intc)
    assert same_values(program.run_many(misaligned, threads=threads, statuses=statuses), one)
    assert not statuses.any()


def test_threads_and_failing_runs():
    statuses = np.full(7, 9, np.intc)
    out = rpn.compile("+").run_many(np.ones(7), width=1, statuses=statuses, threads=3)
    assert np.isnan(out).all() and (statuses == 2).all()
    assert F.run_many(np.ones(0), threads=4).shape == (0,)


@pytest.mark.parametrize("threads, error, message", [
    (0, ValueError, "threads must be at least 1, not 0"),
    (-2, ValueError, "threads must be at least 1, not -2"),
    (1.5, TypeError, ""),
    ("2", TypeError, ""),
])
def test_bad_threads(threads, error, message):
    with pytest.raises(error, match=message):
        F.run_many(np.ones(3), threads=threads)


def overlapping(count, width, shift_bytes):
    """values and out over one buffer, out `shift_bytes` after values (or before)."""
    room = np.zeros(8 * count * width + 8 * count + abs(shift_bytes) + 8, np.uint8)
    v0, o0 = (0, shift_bytes) if shift_bytes >= 0 else (-shift_bytes, 0)
    values = room[v0:v0 + 8 * count * width].view(np.float64)
    out = room[o0:o0 + 8 * count].view(np.float64)
    values[:] = np.linspace(-4.0, 4.0, count * width)
    return values, out


@pytest.mark.parametrize("width, text", [(1, F.text), (2, "+ 0.5 *"), (3, "+ *")])
@pytest.mark.parametrize("shift_bytes", [8, -8, 4, -12, 8 * 3000, 8 * 8191, 0])
@pytest.mark.parametrize("threads", [1, 3])
def test_overlapping_values_and_out_are_read_before_written(width, text, shift_bytes, threads):
    # Every input as it was before the call, whatever the shift, alignment,
    # chunk (2,048 values) or thread each one falls in.
    values, out = overlapping(20_000, width, shift_bytes)
    program = rpn.compile(text)
    expected = program.run_many(values.copy(), width=width)
    program.run_many(values, out, width=width, threads=threads)
    assert same_values(out, expected)


def test_statuses_over_the_values():
    # Misaligned, they go through in chunks: the first chunk's statuses land
    # on the values of a later one.
    room = np.zeros(8 * 5000 + 1, np.uint8)
    values = room[1:].view(np.float64)
    values[:] = np.random.default_rng(5).uniform(-3.0, 3.0, 5000)
    statuses = room[1 + 4 * 5000:].view(np.intc)   # status i lands on value 2500 + i / 2
    expected = F.run_many(values.copy())
    out = F.run_many(values, statuses=statuses)
    assert same_values(out, expected) and not statuses.any()


@pytest.mark.parametrize("text", FORMULAS)
def test_fast_is_within_its_bound_of_exact(text):
    x = awkward_values(200_000, seed=11)
    program = rpn.compile(text)
    exact_statuses = np.full(len(x), 9, np.intc)
    fast_statuses = np.full(len(x), 9, np.intc)
    exact = program.run_many(x, statuses=exact_statuses)
    fast = program.run_many(x, statuses=fast_statuses, fast=True, threads=2)
    np.testing.assert_array_equal(fast_statuses, exact_statuses)
    np.testing.assert_array_equal(np.isnan(fast), np.isnan(exact))
    finite = np.isfinite(exact)
    np.testing.assert_array_equal(fast[~finite & ~np.isnan(exact)], exact[~finite & ~np.isnan(exact)])
    np.testing.assert_allclose(fast[finite], exact[finite], rtol=1e-12, atol=0)


def test_fast_keeps_failures():
    statuses = np.full(3, 9, np.intc)
    out = rpn.compile("x ]").run_many(np.ones(3), statuses=statuses, width=1, fast=True)
    assert np.isnan(out).all() and (statuses == 2).all()
