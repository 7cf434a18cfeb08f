"""Each interpreter imports its own module: its own error classes and result arrays."""
import subprocess
import sys
import textwrap

import pytest

pytest.importorskip("_xxsubinterpreters")

# Run in a fresh process, so that which interpreter imports first is the test's choice.
PRELUDE = """
import _xxsubinterpreters as interpreters

def in_a_new_interpreter(code):
    interpreter = interpreters.create()
    try:
        interpreters.run_string(interpreter, code)
    finally:
        interpreters.destroy(interpreter)

SUB = '''
import sys
sys.modules["numpy"] = None    # numpy does not load in sub-interpreters: array results
import array, kelvaro_rpn as rpn
try:
    rpn.evaluate("x")
except rpn.StackUnderflowError as error:
    assert error.offset == 0
result = rpn.compile("2 ^ 3 * 1 +").run_many(array.array("d", [1.0, 2.0]))
assert isinstance(result, array.array) and list(result) == [4.0, 13.0], result
'''
"""


def run(script):
    completed = subprocess.run([sys.executable, "-c", PRELUDE + textwrap.dedent(script)],
                               capture_output=True, text=True, timeout=60)
    assert completed.returncode == 0, completed.stderr
    return completed.stdout


def test_a_sub_interpreter_first_then_the_main_one():
    # The sub-interpreter's objects die with it; the main one's results are its own.
    run("""
        in_a_new_interpreter(SUB)
        in_a_new_interpreter(SUB)
        import array, gc, kelvaro_rpn as rpn
        gc.collect()
        f = rpn.compile("2 ^ 3 * 1 +")
        assert list(f.run_many(array.array("d", [3.0] * 5), out=array.array("d", [0.0] * 5))) == [28.0] * 5
        assert f.run_many(memoryview(array.array("d", [3.0]))).tolist() == [28.0]
        """)


def test_the_main_interpreter_first_then_a_sub_interpreter():
    out = run("""
        import array, kelvaro_rpn as rpn
        rpn.compile("1 +").run_many(array.array("d", [1.0]))
        in_a_new_interpreter(SUB)
        try:
            rpn.compile("+")(1.0)
        except rpn.StackUnderflowError as error:
            print(type(error).__module__, error.offset)
        """)
    assert out == "kelvaro_rpn._errors 0\n"
