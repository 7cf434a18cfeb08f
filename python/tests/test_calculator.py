import math

import pytest

import kelvaro_rpn as rpn


def test_the_stack_lasts_between_evaluations():
    calculator = rpn.Calculator()
    assert calculator.evaluate("1 2") == 2.0
    assert calculator.evaluate("+") == 3.0
    assert calculator.stack == (3.0,)
    assert len(calculator) == 1


@pytest.mark.parametrize("text, cls, offset", [
    ("x ?", rpn.InvalidCharacterError, 2),
    ("x x x x", rpn.StackUnderflowError, 6),
    ("1 " * 263, rpn.StackOverflowError, 524),
])
def test_a_failure_leaves_the_stack_as_it_was(text, cls, offset):
    calculator = rpn.Calculator()
    calculator.evaluate("1 2 3")
    with pytest.raises(cls) as caught:
        calculator.evaluate(text)
    assert caught.value.offset == offset
    assert calculator.stack == (1.0, 2.0, 3.0)


def test_emptying_the_stack_is_nan():
    calculator = rpn.Calculator()
    assert math.isnan(calculator.evaluate(""))
    calculator.push(4)
    assert math.isnan(calculator.evaluate("x"))
    assert calculator.stack == () and len(calculator) == 0


def test_push_takes_any_double():
    calculator = rpn.Calculator()
    for value in (1.5, math.inf, -math.inf, 2):
        calculator.push(value)
    calculator.push(math.nan)
    *values, last = calculator.stack
    assert values == [1.5, math.inf, -math.inf, 2.0] and math.isnan(last)
    assert all(type(v) is float for v in calculator.stack)


def test_push_onto_a_full_stack():
    calculator = rpn.Calculator()
    for i in range(rpn.STACK_CAPACITY):
        calculator.push(i)
    with pytest.raises(rpn.StackOverflowError) as caught:
        calculator.push(1.0)
    error = caught.value
    assert (error.offset, error.byte, error.message) == (None, None, "you have a stack overflow!")
    assert str(error) == "you have a stack overflow!"
    assert calculator.stack == tuple(float(i) for i in range(265))


@pytest.mark.parametrize("value, error", [("1", TypeError), (None, TypeError),
                                          (10**400, OverflowError)])
def test_push_needs_a_number(value, error):
    calculator = rpn.Calculator()
    with pytest.raises(error):
        calculator.push(value)
    assert calculator.stack == ()


def test_clear():
    calculator = rpn.Calculator()
    calculator.evaluate("1 2 3")
    calculator.clear()
    assert calculator.stack == ()
    assert calculator.evaluate("4") == 4.0


def test_calculators_are_independent():
    first, second = rpn.Calculator(), rpn.Calculator()
    first.evaluate("1")
    second.evaluate("2 3")
    assert (first.stack, second.stack) == ((1.0,), (2.0, 3.0))


def test_repr_and_arguments():
    calculator = rpn.Calculator()
    calculator.evaluate("1 2")
    assert repr(calculator) == "<kelvaro_rpn.Calculator stack=(1.0, 2.0)>"
    with pytest.raises(TypeError, match="no arguments"):
        rpn.Calculator(1)
    with pytest.raises(TypeError, match="no arguments"):
        rpn.Calculator(stack=())
