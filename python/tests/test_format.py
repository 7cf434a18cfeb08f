import math

import pytest

import kelvaro_rpn as rpn


@pytest.mark.parametrize("value, decimals, text", [
    (14.0, 6, "14.000000"),
    (1 / 3, 3, "0.333"),
    (2.5, 0, "2"),
    (3.5, 0, "4"),
    (-0.0, 2, "-0.00"),
    (math.inf, 6, "inf"),
    (-math.inf, 1, "-inf"),
    (math.nan, 6, "nan"),
    (-math.nan, 6, "nan"),
    (0.1, 99, "%.99f" % 0.1),
    (-1.7976931348623157e308, 6, "%.6f" % -1.7976931348623157e308),
])
def test_fixed(value, decimals, text):
    assert rpn.format_fixed(value, decimals) == text
    assert rpn.format_fixed(value, decimals=decimals) == text


def test_fixed_defaults_to_six_decimals():
    assert rpn.format_fixed(2.5) == "2.500000"


@pytest.mark.parametrize("decimals", [-1, 100, 2**31 - 1])
def test_decimals_out_of_range(decimals):
    with pytest.raises(ValueError, match=f"decimals must be 0 to 99, not {decimals}"):
        rpn.format_fixed(1.0, decimals)


@pytest.mark.parametrize("value, text", [
    (0.1 + 0.2, "0.30000000000000004"), (1e22, "1e+22"), (5e-324, "5e-324"),
    (14.0, "14"), (math.inf, "inf"), (-math.inf, "-inf"), (math.nan, "nan"), (-0.0, "-0"),
])
def test_shortest(value, text):
    assert rpn.format_shortest(value) == text


@pytest.mark.parametrize("value", [2.5e-10, 123456.789, 1 / 7, 2**-1074, 1.7976931348623157e308])
def test_shortest_reads_back(value):
    assert float(rpn.format_shortest(value)) == value


@pytest.mark.parametrize("call", [lambda: rpn.format_fixed("1"), lambda: rpn.format_shortest("1"),
                                  lambda: rpn.format_fixed(1.0, 2.0),
                                  lambda: rpn.format_fixed(value=1.0)])
def test_arguments(call):
    with pytest.raises(TypeError):
        call()
