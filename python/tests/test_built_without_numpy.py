"""A package built where numpy's headers were missing: no ufunc, and arrays still work."""
import pytest

import kelvaro_rpn as rpn
from conftest import built_with_ufunc

np = pytest.importorskip("numpy")

F = rpn.compile("2 ^ 3 * 1 +")

pytestmark = pytest.mark.skipif(
    built_with_ufunc(), reason="built with numpy's headers (KELVARO_WITHOUT_NUMPY=1 builds without)")


def test_the_ufunc_says_why_it_is_missing():
    with pytest.raises(RuntimeError, match="^Program.ufunc is missing: this kelvaro_rpn was built "
                                           "without numpy's headers; install it again with numpy "
                                           "installed to have it$"):
        F.ufunc


def test_arrays_still_broadcast_through_run_many():
    np.testing.assert_array_equal(F(np.arange(4, dtype=np.int32)[::-1]), [28.0, 13.0, 4.0, 1.0])
    y = rpn.compile("+")([[1.0], [2.0]], np.arange(3, dtype=np.float32))
    assert y.shape == (2, 3) and y.tolist() == [[1.0, 2.0, 3.0], [2.0, 3.0, 4.0]]
    assert F(np.array(2.0)) == 13.0
    with pytest.raises(TypeError, match="this program takes 2 array arguments, not 1"):
        rpn.compile("+")(np.ones(2))
