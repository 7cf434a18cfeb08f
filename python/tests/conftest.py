import gc
import sys

import pytest

import kelvaro_rpn


def grows(call, rounds=2000):
    """How many memory blocks `call` keeps after `rounds` more calls, once warm."""
    for _ in range(200):
        call()
    gc.collect()
    before = sys.getallocatedblocks()
    for _ in range(rounds):
        call()
    gc.collect()
    return sys.getallocatedblocks() - before


@pytest.fixture
def leak_check():
    return grows


def built_with_ufunc():
    """Whether this build has Program.ufunc (numpy's headers at build time)."""
    try:
        kelvaro_rpn.compile("1").ufunc
    except RuntimeError:
        return False
    return True
