import array
import ctypes
import math
import subprocess
import sys

import pytest

import kelvaro_rpn as rpn

F = "2 ^ 3 * 1 +"  # 3x^2 + 1


def expected(text, values, width):
    program = rpn.compile(text)
    results = []
    for i in range(0, len(values), width):
        try:
            results.append(program(*values[i:i + width]))
        except rpn.RPNError:
            results.append(math.nan)
    return results


def same(a, b):
    return len(a) == len(b) and all(x == y or (math.isnan(x) and math.isnan(y))
                                    for x, y in zip(a, b))


@pytest.mark.parametrize("text, values, width", [
    (F, [0.5, 1.0, -2.0, 1e155, math.inf], None),
    ("+", [1, 2, 3, 4, 5, 6], None),           # width 2 from the program
    ("+", [1, 2, 3, 4, 5, 6], 3),               # runs of three: 2 + 3 and 5 + 6
    ("p", [7.0, 8.0], None),                    # a program of no inputs runs on one
    ("x", [1.0, 2.0], None),                    # every run fails: NaN
    ("1 +", [], None),
    ("+ +", [1, 2, 3], None),
])
def test_results(text, values, width):
    x = array.array("d", values)
    result = rpn.compile(text).run_many(x, width=width)
    # An ndarray where numpy imports, else an array('d'): flat doubles either way.
    assert memoryview(result).format == "d" and memoryview(result).ndim == 1
    assert same(result, expected(text, values, width or max(rpn.compile(text).inputs, 1)))


def test_results_without_numpy_are_an_array():
    script = ("import sys; sys.modules['numpy'] = None\n"
              "import array, kelvaro_rpn as rpn\n"
              "r = rpn.compile('2 ^ 3 * 1 +').run_many(array.array('d', [1.0, 2.0]))\n"
              "print(type(r).__name__, r.typecode, list(r))")
    completed = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True,
                               check=True, timeout=60)
    assert completed.stdout == "array d [4.0, 13.0]\n"


def test_many_runs_without_the_gil_match_one_call_each():
    values = [i / 1000 for i in range(20_000)]
    result = rpn.compile("0.5 * s 2 ^ 1 ] - l").run_many(array.array("d", values))
    assert same(result, expected("0.5 * s 2 ^ 1 ] - l", values, 1))


def test_into_a_caller_buffer():
    x = array.array("d", [1.0, 2.0, 3.0])
    out = array.array("d", [9.0] * 3)
    assert rpn.compile(F).run_many(x, out) is out
    assert list(out) == [4.0, 13.0, 28.0]
    assert rpn.compile(F).run_many(x, out=memoryview(out)).obj is out


def test_in_place():
    x = array.array("d", [1.0, 2.0, 3.0])
    rpn.compile(F).run_many(x, x)
    assert list(x) == [4.0, 13.0, 28.0]


def test_statuses():
    x = array.array("d", [1.0, 2.0, 0.0, 0.0])
    statuses = array.array("i", [7] * 4)
    out = rpn.compile("x ]").run_many(x, statuses=statuses, width=1)
    assert list(statuses) == [2] * 4 and all(math.isnan(v) for v in out)
    pairs = array.array("i", [7] * 2)
    out = rpn.compile("/").run_many(x, statuses=pairs, width=2)
    # 0 / 0 is NaN, not a failure: only the statuses tell the two apart.
    assert list(pairs) == [0, 0] and out[0] == 0.5 and math.isnan(out[1])


@pytest.mark.parametrize("values", [
    memoryview(array.array("d", [1.0, 2.0])),
    memoryview(bytearray(16)).cast("d"),
    memoryview(array.array("d", [1.0, 2.0])).toreadonly(),
    bytes(memoryview(array.array("d", [1.0, 2.0]))),   # bytes are 'B': refused below
])
def test_buffer_kinds(values):
    program = rpn.compile(F)
    if isinstance(values, bytes):
        with pytest.raises(TypeError, match="must hold doubles .format 'd'., not format 'B'"):
            program.run_many(values)
    else:
        assert list(program.run_many(values)) == [3 * v * v + 1 for v in values.tolist()]


@pytest.mark.parametrize("typecode", ["f", "i", "l", "q", "Q", "b", "B"])
def test_values_of_another_type(typecode):
    values = array.array(typecode, [1, 2])
    message = f"values must hold doubles .format 'd'., not format '{typecode}'"
    with pytest.raises(TypeError, match=message):
        rpn.compile(F).run_many(values)


@pytest.mark.parametrize("values", [[1.0, 2.0], (1.0,), 1.0, None, "12"])
def test_not_a_buffer(values):
    with pytest.raises(TypeError, match="values must be a buffer of doubles"):
        rpn.compile(F).run_many(values)


@pytest.mark.parametrize("out, error, message", [
    (array.array("d", [0.0]), ValueError, "out holds 1 values; 2 runs need 2"),
    (array.array("d", [0.0] * 3), ValueError, "out holds 3 values; 2 runs need 2"),
    (array.array("f", [0.0] * 2), TypeError, "out must hold doubles .format 'd'., not format 'f'"),
    (bytes(16), TypeError, "out must be writable; this bytes is read-only"),
    (memoryview(array.array("d", [0.0] * 2)).toreadonly(), TypeError,
     "out must be writable; this memoryview is read-only"),
    ([0.0, 0.0], TypeError, "out must be a buffer of doubles"),
])
def test_bad_out(out, error, message):
    with pytest.raises(error, match=message):
        rpn.compile(F).run_many(array.array("d", [1.0, 2.0]), out)


@pytest.mark.parametrize("statuses, error, message", [
    (array.array("i", [0]), ValueError, "statuses holds 1 values; 2 runs need 2"),
    (array.array("d", [0.0] * 2), TypeError, "must hold C ints .format 'i'., not format 'd'"),
    (array.array("h", [0] * 2), TypeError, "must hold C ints .format 'i'., not format 'h'"),
    (bytes(8), TypeError, "statuses must be writable"),
])
def test_bad_statuses(statuses, error, message):
    with pytest.raises(error, match=message):
        rpn.compile(F).run_many(array.array("d", [1.0, 2.0]), statuses=statuses)


@pytest.mark.parametrize("count, width, error, message", [
    (3, None, ValueError, "values holds 3 values, not a whole number of runs of 2"),
    (4, 3, ValueError, "values holds 4 values, not a whole number of runs of 3"),
    (4, 0, ValueError, "width must be 1 to 265, not 0"),
    (4, -1, ValueError, "width must be 1 to 265, not -1"),
    (532, 266, ValueError, "width must be 1 to 265, not 266"),
    (4, 2.0, TypeError, ""),
])
def test_bad_width(count, width, error, message):
    with pytest.raises(error, match=message):
        rpn.compile("+").run_many(array.array("d", [1.0] * count), width=width)


def test_a_program_that_needs_more_than_the_stack_holds():
    program = rpn.compile(" ".join(["+"] * 300))
    assert program.inputs == 301
    with pytest.raises(ValueError, match="a run of 301 inputs cannot fit the stack of 265 values"):
        program.run_many(array.array("d", [1.0] * 301))


def test_width_is_keyword_only():
    with pytest.raises(TypeError):
        rpn.compile(F).run_many(array.array("d", [1.0]), None, 1)


def placed(typecode, values, misaligned):
    """A memoryview of `values`; misaligned, it starts one byte into a bytearray."""
    if not misaligned:
        return memoryview(array.array(typecode, values))
    size = array.array(typecode).itemsize
    room = bytearray(size * len(values) + 2)
    start = 1 if ctypes.addressof(ctypes.c_char.from_buffer(room)) % 2 == 0 else 2
    view = memoryview(room)[start:start + size * len(values)].cast(typecode)
    view[:] = array.array(typecode, values)
    return view


@pytest.mark.parametrize("count", [1, 5, 2047, 2048, 2049, 9000])
@pytest.mark.parametrize("which", ["values", "out", "statuses", "all"])
def test_misaligned_buffers(count, which):
    program = rpn.compile("1 ] /")
    values = [float(i % 7) for i in range(count)]
    x = placed("d", values, which in ("values", "all"))
    out = placed("d", [0.0] * count, which in ("out", "all"))
    statuses = placed("i", [9] * count, which in ("statuses", "all"))
    program.run_many(x, out, statuses=statuses)
    assert same(out.tolist(), [1 / v if v else math.inf for v in values])
    assert statuses.tolist() == [0] * count


def test_misaligned_failing_runs():
    x = placed("d", [1.0, 2.0, 3.0, 4.0, 5.0, 6.0], True)
    statuses = array.array("i", [9] * 3)
    out = rpn.compile("x x x").run_many(x, statuses=statuses, width=2)
    assert all(math.isnan(v) for v in out) and list(statuses) == [2, 2, 2]


def test_threads_share_a_program():
    # Long runs leave the GIL: each thread's results must still be its own.
    from concurrent.futures import ThreadPoolExecutor
    program = rpn.compile(F)
    inputs = [array.array("d", [float(t)] * 50_000) for t in range(4)]
    with ThreadPoolExecutor(4) as pool:
        results = list(pool.map(program.run_many, inputs))
    assert [set(r) for r in results] == [{3.0 * t * t + 1} for t in range(4)]
