import pytest

import kelvaro_rpn as rpn
from kelvaro_rpn import WarningKind as K


@pytest.mark.parametrize("text, found", [
    ("3 4 +", []),
    ("2 sqrt", [(K.COMMAND_TAIL, 3, 3)]),
    ("1 +5", [(K.COMMAND_TAIL, 3, 1)]),
    ("2.5x", [(K.NUMBER_TAIL, 3, 1)]),
    ("1,234", [(K.NUMBER_TAIL, 1, 4)]),
    ("3 4+", [(K.NUMBER_TAIL, 3, 1), (K.VALUES_LEFT, 4, 1)]),
    ("3\n4 +", [(K.NUMBER_TAIL, 1, 2)]),
    ("1 2 3", [(K.VALUES_LEFT, 5, 2)]),
    ("1 2 ? 3", []),                       # a failing text leaves no values
    ("+x 1", [(K.COMMAND_TAIL, 1, 1)]),
    (b"1\xff", [(K.NUMBER_TAIL, 1, 1)]),
    ("1\u00e9", [(K.NUMBER_TAIL, 1, 2)]),  # two bytes of UTF-8
])
def test_warnings(text, found):
    warnings = rpn.check(text)
    assert warnings == [rpn.CheckWarning(*w) for w in found]
    assert all(type(w.kind) is K for w in warnings)


def test_more_warnings_than_its_room():
    text = " ".join(["sin"] * 40)
    warnings = rpn.check(text)
    assert len(warnings) == 40
    assert [w.offset for w in warnings] == [4 * i + 1 for i in range(40)]
    assert all(w == (K.COMMAND_TAIL, w.offset, 2) for w in warnings)


def test_fields_by_name():
    (warning,) = rpn.check("2 sqrt")
    assert (warning.kind, warning.offset, warning.length) == (K.COMMAND_TAIL, 3, 3)


@pytest.mark.parametrize("text", [None, 3.0, "\udc80"])
def test_not_a_text(text):
    with pytest.raises((TypeError, UnicodeEncodeError)):
        rpn.check(text)
