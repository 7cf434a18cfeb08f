"""What check() reports: where a text probably does not say what it means."""
import enum
import typing
from typing import List, Union

from . import _core


class WarningKind(enum.IntEnum):
    COMMAND_TAIL = 1  #: a command's token goes on after its byte: "sqrt", "+5"
    NUMBER_TAIL = 2   #: a number's token goes on after the number: "2.5x", "1,234"
    VALUES_LEFT = 3   #: values are left below the result: "1 2 3"


class CheckWarning(typing.NamedTuple):
    """``offset`` and ``length``: the bytes skipped; for VALUES_LEFT the text's
    length and how many values are left below the top."""

    kind: WarningKind
    offset: int
    length: int


def check(text: Union[str, bytes]) -> List[CheckWarning]:
    """The warnings about ``text``, in text order; evaluating it is not changed."""
    return [CheckWarning(WarningKind(kind), offset, length)
            for kind, offset, length in _core.check(text)]
