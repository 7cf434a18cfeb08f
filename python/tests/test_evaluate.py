import math
import pickle

import pytest

import kelvaro_rpn as rpn
from kelvaro_rpn import _core


@pytest.mark.parametrize("text, value", [
    ("3 4 + 2 *", 14.0),
    ("-5 3 +", -2.0),
    ("5 3 -", 2.0),
    ("7 4 %", 3.0),
    ("-7 4 %", -3.0),
    ("2 10 ^", 1024.0),
    ("0 c", 1.0),
    ("13 !", 1932053504.0),
    ("p", 3.1415),
    ("1 2 ]", 1.0),
    ("1 2 x", 1.0),
    ("sin", None),           # only the first byte counts: 's' on an empty stack
    ("2 sqrt", math.sin(2)),
    ("2.5x 1 +", 3.5),
    ("1e3", 1000.0),
    ("1 2 @ +", 3.0),        # listings go nowhere
    ("3\n4 +", None),        # a newline inside a token belongs to its tail
])
def test_values(text, value):
    if value is None:
        with pytest.raises(rpn.StackUnderflowError):
            rpn.evaluate(text)
    else:
        assert rpn.evaluate(text) == value


def test_infinities_and_nan():
    assert rpn.evaluate("1 0 /") == math.inf
    assert rpn.evaluate("-1 0 /") == -math.inf
    assert math.isnan(rpn.evaluate("0 0 /"))


@pytest.mark.parametrize("text, cls, offset, byte, message", [
    ("3 4 ?", rpn.InvalidCharacterError, 4, ord("?"), "Invalid character: '?'"),
    ("\t1", rpn.InvalidCharacterError, 0, 9, "Invalid character: '\t'"),
    ("1 .5", rpn.InvalidCharacterError, 2, ord("."), "Invalid character: '.'"),
    (b"1 \x00", rpn.InvalidCharacterError, 2, 0, "Invalid character: '\\0'"),
    (b"1 \xff", rpn.InvalidCharacterError, 2, 0xFF, "Invalid character: '\\xff'"),
    ("3 \u00e9", rpn.InvalidCharacterError, 2, 0xC3, "Invalid character: '\\xc3'"),
    ("\u00e9 ?", rpn.InvalidCharacterError, 0, 0xC3, "Invalid character: '\\xc3'"),
    ("+", rpn.StackUnderflowError, 0, ord("+"), "you have a stack underflow!"),
    ("1 +", rpn.StackUnderflowError, 2, ord("+"), "you have a stack underflow!"),
    ("", rpn.StackUnderflowError, 0, None, "you have a stack underflow!"),
    ("   ", rpn.StackUnderflowError, 3, None, "you have a stack underflow!"),
    ("1 x", rpn.StackUnderflowError, 3, None, "you have a stack underflow!"),
    ("1 " * 266, rpn.StackOverflowError, 530, ord("1"), "you have a stack overflow!"),
    ("p " * 265 + "p", rpn.StackOverflowError, 530, ord("p"), "you have a stack overflow!"),
])
def test_failures(text, cls, offset, byte, message):
    with pytest.raises(cls) as caught:
        rpn.evaluate(text)
    error = caught.value
    assert type(error) is cls
    assert (error.offset, error.byte, error.message) == (offset, byte, message)
    assert str(error) == f"{message} (at byte {offset})"
    assert isinstance(error, rpn.RPNError) and isinstance(error, ValueError)


@pytest.mark.parametrize("cls", [rpn.InvalidCharacterError, rpn.StackUnderflowError,
                                 rpn.StackOverflowError, rpn.OutOfMemoryError])
def test_classes_carry_the_library_status(cls):
    assert cls.name == _core.status_name(cls.status)
    assert issubclass(cls, rpn.RPNError)


@pytest.mark.parametrize("status, name", [(0, "ok"), (5, "unknown status"),
                                          (-1, "unknown status")])
def test_status_names_outside_the_failures(status, name):
    assert _core.status_name(status) == name


def test_errors_survive_pickling():
    with pytest.raises(rpn.InvalidCharacterError) as caught:
        rpn.evaluate("1 ?")
    copy = pickle.loads(pickle.dumps(caught.value))
    assert type(copy) is rpn.InvalidCharacterError
    assert (copy.message, copy.offset, copy.byte) == ("Invalid character: '?'", 2, ord("?"))


@pytest.mark.parametrize("text", [b"3 4 +", bytearray(b"3 4 +"), memoryview(b"3 4 +"),
                                  "3 4 +", "3 4 +\u00e9"])
def test_text_kinds(text):
    assert rpn.evaluate(text) == 7.0


def test_offsets_count_utf8_bytes():
    # "\u00e9" is two bytes: the '?' is byte 6 of the UTF-8, character 5 of the str.
    with pytest.raises(rpn.InvalidCharacterError) as caught:
        rpn.evaluate("1\u00e9 2 ?")
    assert caught.value.offset == 6 and caught.value.byte == ord("?")


def test_a_str_subclass_is_a_str():
    class Text(str):
        pass
    assert rpn.evaluate(Text("2 3 *")) == 6.0


@pytest.mark.parametrize("text, error", [
    (None, TypeError), (12, TypeError), (["1"], TypeError), ("1 \ud800", UnicodeEncodeError),
])
def test_not_a_text(text, error):
    with pytest.raises(error):
        rpn.evaluate(text)


def test_long_text():
    text = "1 " + "1 + " * 100_000
    assert rpn.evaluate(text) == 100_001.0


def test_a_class_status_is_the_status_run_many_reports():
    import array
    statuses = array.array("i", [9])
    rpn.compile("+").run_many(array.array("d", [1.0]), statuses=statuses, width=1)
    with pytest.raises(rpn.RPNError) as caught:
        rpn.compile("+")(1.0)
    assert type(caught.value).status == statuses[0] == 2
    assert type(caught.value).name == rpn._core.status_name(statuses[0])
