"""Arithmetic in reverse Polish notation, evaluated by the Kelvaro engine.

>>> evaluate("3 4 + 2 *")
14.0
>>> f = compile("2 ^ 3 * 1 +")       # 3x^2 + 1
>>> f(2.0)
13.0
"""
from ._errors import (InvalidCharacterError, OutOfMemoryError, RPNError, StackOverflowError,
                      StackUnderflowError)
from ._core import (Calculator, Program, compile, evaluate, format_fixed,
                    format_shortest, __version__, STACK_CAPACITY, MAX_DECIMALS)
from ._check import CheckWarning, WarningKind, check

__all__ = [
    "Calculator", "CheckWarning", "InvalidCharacterError", "MAX_DECIMALS", "OutOfMemoryError",
    "Program",
    "RPNError", "STACK_CAPACITY", "StackOverflowError", "StackUnderflowError",
    "WarningKind", "check", "compile", "evaluate", "format_fixed", "format_shortest",
]
