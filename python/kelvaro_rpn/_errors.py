"""The exceptions of failed evaluations, one class per kelvaro_rpn status."""
from typing import Optional


class RPNError(ValueError):
    """A text that did not evaluate.

    ``offset`` is the byte (of the UTF-8 of a str) where the failing token
    starts, the text's length for an underflow at its end, and None for a
    push onto a full stack; ``byte`` is the byte there (None past the end);
    ``message`` is the line CalculatorRPN prints, without its newline.
    """

    # The subclasses' status and name are the C library's, set when _core loads.
    status: int = -1
    name: str = ""

    def __init__(self, message: str, offset: Optional[int], byte: Optional[int]) -> None:
        super().__init__(message, offset, byte)
        self.message = message
        self.offset = offset
        self.byte = byte

    def __str__(self) -> str:
        if self.offset is None:
            return self.message
        return f"{self.message} (at byte {self.offset})"


class InvalidCharacterError(RPNError):
    """A token starts with a byte that is neither a number nor a command."""



class StackUnderflowError(RPNError):
    """A command needs more values than the stack holds, or the text leaves none."""



class StackOverflowError(RPNError):
    """A value is pushed onto a stack that already holds 265."""


class OutOfMemoryError(RPNError, MemoryError):
    """compile found no memory for the program; a MemoryError too."""


