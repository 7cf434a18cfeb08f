import math
import subprocess
import sys

import pytest

import kelvaro_rpn as rpn


@pytest.mark.parametrize("text, inputs, outputs", [
    ("2 ^ 3 * 1 +", 1, 1),
    ("+", 2, 1),
    ("p", 0, 2),          # run on one input: the input and p
    ("x x", 3, 1),        # the end of the text needs a value too
    ("x", 2, 1),
    ("", 1, 1),
    ("1 2 3 + + +", 1, 1),
])
def test_shape(text, inputs, outputs):
    program = rpn.compile(text)
    assert program.inputs == inputs
    assert program.outputs(max(inputs, 1)) == outputs
    assert program.outputs(inputs - 1) == 0 if inputs > 0 else True


def test_outputs_count_must_be_a_count():
    program = rpn.compile("+")
    with pytest.raises(ValueError, match="at least 0, not -1"):
        program.outputs(-1)
    with pytest.raises(TypeError):
        program.outputs(1.5)


@pytest.mark.parametrize("text, inputs", [
    ("2 ^ 3 * 1 +", (2.0,)),
    ("2 ^ 3 * 1 +", (-0.5,)),
    ("+", (1.25, 2.5)),
    ("- 2 /", (1, 4)),
    ("]", (1, 2)),
    ("0.5 * s 2 ^ 1 ] - l", (3.0,)),
    ("p", ()),
    ("1 +", (2**53,)),
])
def test_a_call_is_the_text_with_its_inputs_pushed_first(text, inputs):
    expected = rpn.evaluate(" ".join(repr(float(v)) for v in inputs) + " " + text)
    assert rpn.compile(text)(*inputs) == expected


def test_inputs_that_text_cannot_spell():
    program = rpn.compile("1 +")
    assert program(math.inf) == math.inf
    assert math.isnan(program(math.nan))


@pytest.mark.parametrize("text, inputs, cls, offset, byte", [
    ("+", (1.0,), rpn.StackUnderflowError, 0, ord("+")),
    ("x", (1.0,), rpn.StackUnderflowError, 1, None),
    ("1 +", (), rpn.StackUnderflowError, 2, ord("+")),
    ("1", (0.0,) * 265, rpn.StackOverflowError, 0, ord("1")),
    ("+", (0.0,) * 266, rpn.StackOverflowError, 0, ord("+")),
    ("", (0.0,) * 300, rpn.StackOverflowError, 0, None),
])
def test_run_failures(text, inputs, cls, offset, byte):
    with pytest.raises(cls) as caught:
        rpn.compile(text)(*inputs)
    assert (caught.value.offset, caught.value.byte) == (offset, byte)


@pytest.mark.parametrize("text, offset, byte", [
    ("1 ?", 2, ord("?")), (b"\x00", 0, 0), ("2 ^ \u00e9", 4, 0xC3), ("1 + ?", 4, ord("?")),
])
def test_a_text_with_an_invalid_byte_does_not_compile(text, offset, byte):
    with pytest.raises(rpn.InvalidCharacterError) as caught:
        rpn.compile(text)
    assert (caught.value.offset, caught.value.byte) == (offset, byte)


# Memory capped below what the program's steps need (several bytes a step for
# two text bytes), well above the text itself: compile runs out.
_OUT_OF_MEMORY = """
import resource, sys
import kelvaro_rpn as rpn
text = b"1 " * (64 << 20)
import os
with open("/proc/self/statm") as statm:
    used = int(statm.read().split()[0]) * os.sysconf("SC_PAGE_SIZE")
resource.setrlimit(resource.RLIMIT_AS, (used + (256 << 20),) * 2)
try:
    rpn.compile(text)
except rpn.OutOfMemoryError as error:
    assert isinstance(error, MemoryError) and isinstance(error, rpn.RPNError)
    print(error.message, error.offset)
"""


@pytest.mark.skipif(not sys.platform.startswith("linux"), reason="/proc and RLIMIT_AS")
def test_compile_out_of_memory_is_a_memory_error():
    done = subprocess.run([sys.executable, "-c", _OUT_OF_MEMORY], capture_output=True,
                          text=True, timeout=120)
    assert (done.returncode, done.stdout) == (0, "out of memory 0\n"), done.stderr


def test_out_of_memory_error_is_both_errors():
    assert issubclass(rpn.OutOfMemoryError, MemoryError)
    assert issubclass(rpn.OutOfMemoryError, rpn.RPNError)
    assert (rpn.OutOfMemoryError.status, rpn.OutOfMemoryError.name) == (4, "out of memory")


@pytest.mark.parametrize("inputs, error", [
    (("1",), TypeError), ((None,), TypeError), ((2**1100,), OverflowError),
])
def test_inputs_must_be_numbers(inputs, error):
    with pytest.raises(error):
        rpn.compile("1 +")(*inputs)


def test_inputs_are_positional():
    with pytest.raises(TypeError, match="positional"):
        rpn.compile("1 +")(x=1.0)


def test_the_text_stays_with_the_program():
    source = bytearray(b"1 ?")
    with pytest.raises(rpn.InvalidCharacterError):
        rpn.compile(source)
    source = bytearray(b"x +")
    program = rpn.compile(source)
    source[:] = b"???"
    assert program.text == b"x +"
    with pytest.raises(rpn.StackUnderflowError) as caught:
        program(1.0)
    assert caught.value.byte == ord("+") and caught.value.offset == 2


@pytest.mark.parametrize("text", ["2 ^", b"2 ^"])
def test_text_and_repr(text):
    program = rpn.compile(text)
    assert program.text is text
    assert repr(program) == f"<kelvaro_rpn.Program {text!r}, 1 inputs>"


def test_programs_are_made_by_compile_only():
    with pytest.raises(TypeError):
        rpn.Program()
    with pytest.raises(TypeError):
        rpn.compile(None)
