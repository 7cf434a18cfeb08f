"""Programs and calculators travel between processes (multiprocessing, Dask) by pickle."""
import copy
import math
import pickle
import struct
import subprocess
import sys

import pytest

import kelvaro_rpn as rpn

PROTOCOLS = range(pickle.HIGHEST_PROTOCOL + 1)


def bits(values):
    return [struct.pack("<d", v) for v in values]


NAN_WITH_PAYLOAD = struct.unpack("<d", struct.pack("<Q", 0x7FF8000000000123))[0]


@pytest.mark.parametrize("protocol", PROTOCOLS)
@pytest.mark.parametrize("text", ["2 ^ 3 * 1 +", b"0.5 * s 2 ^ 1 ] - l", "p", "1 x -"])
def test_a_program_pickles_by_its_text(protocol, text):
    program = rpn.compile(text)
    loaded = pickle.loads(pickle.dumps(program, protocol))
    assert loaded is not program and loaded.text == text and type(loaded.text) is type(text)
    assert loaded.inputs == program.inputs
    if program.inputs == 1:
        assert loaded(0.75) == program(0.75)


def test_a_program_of_a_buffer_pickles_its_copy():
    program = rpn.compile(bytearray(b"1 +"))
    loaded = pickle.loads(pickle.dumps(program))
    assert loaded.text == b"1 +" and loaded(2.0) == 3.0
    assert copy.copy(program)(1.0) == copy.deepcopy(program)(1.0) == 2.0


def test_a_failing_program_keeps_its_messages():
    loaded = pickle.loads(pickle.dumps(rpn.compile("1 +")))
    with pytest.raises(rpn.StackUnderflowError, match="at byte 2"):
        loaded()


def test_a_program_loads_in_another_process():
    dumped = pickle.dumps(rpn.compile("2 ^ 3 * 1 +"))
    script = ("import pickle, sys; f = pickle.loads(sys.stdin.buffer.read()); "
              "print(f.text, f(2.0))")
    completed = subprocess.run([sys.executable, "-c", script], input=dumped,
                               capture_output=True, check=True, timeout=60)
    assert completed.stdout == b"2 ^ 3 * 1 + 13.0\n"


STACKS = [
    (),
    (1.5,),
    (0.1, -0.0, math.inf, -math.inf, math.nan, NAN_WITH_PAYLOAD, 5e-324, -1.7976931348623157e308),
    tuple(float(i) / 7 for i in range(rpn.STACK_CAPACITY)),
]


@pytest.mark.parametrize("protocol", PROTOCOLS)
@pytest.mark.parametrize("stack", STACKS, ids=["empty", "one", "edges", "full"])
def test_a_calculator_pickles_its_stack_bit_for_bit(protocol, stack):
    calculator = rpn.Calculator()
    for value in stack:
        calculator.push(value)
    loaded = pickle.loads(pickle.dumps(calculator, protocol))
    if protocol == 0:
        # Protocol 0 writes floats as text: a NaN stays NaN, its payload does not.
        stack = tuple(math.nan if math.isnan(v) else v for v in stack)
    assert loaded is not calculator and bits(loaded.stack) == bits(stack)
    assert loaded.evaluate("1") == 1.0 if len(stack) < rpn.STACK_CAPACITY else True
    assert len(calculator) == len(stack)   # the original is left as it was


def test_a_loaded_calculator_goes_on_from_its_stack():
    calculator = rpn.Calculator()
    calculator.evaluate("3 4")
    assert copy.deepcopy(calculator).evaluate("+") == 7.0
    assert calculator.stack == (3.0, 4.0)


@pytest.mark.parametrize("state, error, message", [
    ((0.0,) * (rpn.STACK_CAPACITY + 1), rpn.StackOverflowError, "stack overflow"),
    ([1.0], TypeError, "a Calculator's state is a tuple of floats, not list"),
    (("1",), TypeError, "must be real number, not str"),
])
def test_a_bad_state(state, error, message):
    with pytest.raises(error, match=message):
        rpn.Calculator().__setstate__(state)
