"""Program.ufunc and a Program called with arrays.

A ufunc pickles by its name, looked up again in the module that holds it:
here a program's ufunc is named after its text ("rpn_" and the hex of its
UTF-8), and this module answers for every such name, so a ufunc sent to
another process (multiprocessing, Dask's workers) is compiled there again.
Each text's ufunc is made once and kept for the life of the process.
"""
from typing import Any, Dict, Union

from . import _core

_PREFIX = "rpn_"
_made: Dict[str, Any] = {}


def _name_of(text: Union[str, bytes]) -> str:
    return _PREFIX + (text.encode("utf-8") if isinstance(text, str) else text).hex()


def ufunc_of(program: "_core.Program") -> Any:
    name = _name_of(program.text)
    ufunc = _made.get(name)
    if ufunc is None:
        ufunc = _made.setdefault(name, _core._make_ufunc(program, name))
    return ufunc


def __getattr__(name: str) -> Any:
    if name.startswith(_PREFIX):
        try:
            text = bytes.fromhex(name[len(_PREFIX):])
        except ValueError:
            pass
        else:
            return ufunc_of(_core.compile(text))
    raise AttributeError(f"module {__name__!r} has no attribute {name!r}")


def call(program: "_core.Program", arguments: tuple) -> Any:
    """program(*arguments) where some argument is an array: element by element."""
    try:
        ufunc = ufunc_of(program)
    except (RuntimeError, ValueError):  # built without numpy's headers; more inputs than a ufunc's
        return _call_without_ufunc(program, arguments)
    if len(arguments) != ufunc.nin:
        raise TypeError(f"this program takes {ufunc.nin} array arguments, not {len(arguments)}")
    return ufunc(*arguments)


def _call_without_ufunc(program: "_core.Program", arguments: tuple) -> Any:
    # The same broadcast through run_many.
    import numpy
    width = max(program.inputs, 1)
    if len(arguments) != width:
        raise TypeError(f"this program takes {width} array arguments, not {len(arguments)}")
    arrays = numpy.broadcast_arrays(*(numpy.asarray(a, dtype=numpy.float64) for a in arguments))
    values = numpy.ascontiguousarray(numpy.stack(arrays, axis=-1))
    results = program.run_many(values.reshape(-1), width=width).reshape(arrays[0].shape)
    return results[()] if results.ndim == 0 else results
