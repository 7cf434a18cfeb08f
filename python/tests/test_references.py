"""What a Python user would see of a leak: references kept, blocks kept, exports kept."""
import array
import sys

import pytest

import kelvaro_rpn as rpn
from conftest import built_with_ufunc

PROGRAM = rpn.compile("2 ^ 3 * 1 +")
FAILING = rpn.compile("+")


def ignore(error, call):
    def run(*args):
        try:
            call(*args)
        except error:
            pass
    return run


@pytest.mark.parametrize("name, call", [
    ("evaluate", lambda: rpn.evaluate("3 4 + 2 *")),
    ("evaluate bytearray", lambda: rpn.evaluate(bytearray(b"3 4 +"))),
    ("evaluate fails", ignore(rpn.RPNError, lambda: rpn.evaluate("3 4 ?"))),
    ("evaluate not text", ignore(TypeError, lambda: rpn.evaluate(3))),
    ("check", lambda: rpn.check(" ".join(["sin"] * 40))),
    ("compile", lambda: rpn.compile("1 +")),
    ("compile fails", ignore(rpn.RPNError, lambda: rpn.compile("1 ?"))),
    ("call", lambda: PROGRAM(2.0)),
    ("call fails", ignore(rpn.RPNError, lambda: FAILING(1.0))),
    ("call overflows", ignore(rpn.RPNError, lambda: FAILING(*[1.0] * 300))),
    ("run_many", lambda: PROGRAM.run_many(array.array("d", [1.0] * 10))),
    ("run_many bad out", ignore(TypeError, lambda: PROGRAM.run_many(array.array("d", [1.0]),
                                                                  bytes(8)))),
    ("run_many bad length", ignore(ValueError, lambda: PROGRAM.run_many(
        array.array("d", [1.0]), array.array("d", [1.0, 2.0])))),
    ("calculator", lambda: rpn.Calculator().evaluate("1 2 3")),
    ("calculator stack", lambda: rpn.Calculator().stack),
    ("push overflows", ignore(rpn.RPNError, lambda: FULL.push(1.0))),
    ("format", lambda: (rpn.format_fixed(1.5, 3), rpn.format_shortest(0.1))),
])
def test_no_blocks_kept(leak_check, name, call):
    assert leak_check(call) < 20, name


FULL = rpn.Calculator()
for _ in range(rpn.STACK_CAPACITY):
    FULL.push(0.0)


@pytest.mark.parametrize("call", [
    lambda t: rpn.evaluate(t),
    ignore(rpn.RPNError, lambda t: rpn.evaluate(t + " ?")),
    lambda t: rpn.check(t),
    lambda t: rpn.compile(t),
    lambda t: rpn.Calculator().evaluate(t),
])
def test_texts_are_not_kept(call):
    text = "".join(["1 2", " +"])  # a str of its own, not an interned constant
    before = sys.getrefcount(text)
    for _ in range(100):
        call(text)
    assert sys.getrefcount(text) == before


def test_a_program_holds_its_text_until_it_goes():
    text = "".join(["1", " +"])
    before = sys.getrefcount(text)
    program = rpn.compile(text)
    assert sys.getrefcount(text) == before + 1
    del program
    assert sys.getrefcount(text) == before


@pytest.mark.parametrize("out, statuses", [
    (None, None), ("array", None), ("array", "array"), ("short", None), (None, "short"),
])
def test_buffers_are_released(out, statuses):
    values = bytearray(8 * 4)
    out_room = bytearray(8 * (4 if out == "array" else 3))
    status_room = bytearray(4 * (4 if statuses == "array" else 3))
    try:
        PROGRAM.run_many(memoryview(values).cast("d"),
                         None if out is None else memoryview(out_room).cast("d"),
                         statuses=None if statuses is None else memoryview(status_room).cast("i"))
    except ValueError:
        assert "short" in (out, statuses)
    # A buffer still exported cannot be resized.
    for room in (values, out_room, status_room):
        room.extend(b"x")


def test_a_text_buffer_is_released():
    text = bytearray(b"1 ?")
    with pytest.raises(rpn.InvalidCharacterError):
        rpn.evaluate(text)
    text.extend(b"x")
    rpn.compile(bytearray(b"1 +")).run_many(array.array("d", [1.0]))


def test_results_are_new_objects_with_one_reference():
    result = PROGRAM.run_many(array.array("d", [1.0, 2.0]))
    assert sys.getrefcount(result) == 2
    out = array.array("d", [0.0])
    before = sys.getrefcount(out)
    for _ in range(100):
        PROGRAM.run_many(array.array("d", [1.0]), out)
    assert sys.getrefcount(out) == before


def overlapping_run():
    room = array.array("d", [1.0] * 11)
    view = memoryview(room)
    PROGRAM.run_many(view[:10], view[1:], threads=2, fast=True)


def pickled(value):
    import pickle
    return pickle.loads(pickle.dumps(value))


@pytest.mark.parametrize("name, call", [
    ("run_many threads, overlapping", overlapping_run),
    ("run_many rows of another width", ignore(ValueError, lambda: PROGRAM.run_many(
        memoryview(array.array("d", [1.0] * 4)).cast("B").cast("d", (2, 2))))),
    ("run_many bad threads", ignore(ValueError, lambda: PROGRAM.run_many(
        array.array("d", [1.0]), threads=0))),
    ("pickle program", lambda: pickled(PROGRAM)),
    ("pickle calculator", lambda: pickled(FULL)),
    ("bad state", ignore(rpn.RPNError, lambda: rpn.Calculator().__setstate__((0.0,) * 300))),
    ("call with a list", lambda: PROGRAM([1.0, 2.0])),
    ("call with arrays, wrong count", ignore(TypeError, lambda: FAILING([1.0]))),
    ("ufunc", lambda: PROGRAM.ufunc([1.0, 2.0])),
])
def test_no_blocks_kept_with_numpy(leak_check, name, call):
    pytest.importorskip("numpy")
    if name == "ufunc" and not built_with_ufunc():
        pytest.skip("built without numpy's headers")
    assert leak_check(call) < 20, name
