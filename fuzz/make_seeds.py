#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets into corpus/<target>/.

Each seed is a short expression that reaches one behaviour of the notation:
the commands, numbers, separators, NUL bytes and the three ways an evaluation
fails, on its own and on a pre-filled calculator.
The wide target gets the same expressions as 32-bit wchar_t units in the
machine's byte order, plus characters that no 8-bit code page holds.
"""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

EXPRESSIONS = {
    "arithmetic": b"3 4 + 2 * 5 - 6 / 7 % 2 ^",
    "functions": b"0.5 s c t S C T l L",
    "factorial": b"13 ! 3.9 ! -4 ! 40 !",
    "constant_exchange_drop": b"p 1 ] x",
    "show_top_and_stack": b"1 2 + # 4 @",
    "numbers": b"1e3 -2.5 7. 2.5x 1e-400 1e400 -1e400 0x10",
    "separators": b"3\t4 + \n 5",
    "token_first_byte": b"3 4 +5 12abc 0 sin 3 4+",
    "subtract_not_number": b"5 -3 - -x",
    "not_finite": b"1 0 / -1 0 / 0 0 / 2 S -1 l",
    "huge_fixed_text": b"1e308 @ -1.7976931348623157e308 #",
    "invalid_character": b"3 4 ?",
    "invalid_point": b".5",
    "invalid_tab_start": b"\t3",
    "invalid_high_byte": b"3 \xe9",
    "underflow": b"5 - 3",
    "empty": b"",
    "overflow": b"1 " * 266,
    "full_stack_listing": b"1 " * 265 + b"@",
    "nul_inside_token": b"3 4\x00 +",
    "nul_at_token_start": b"3 \x00",
    # The first byte also picks the values a calculator holds before the
    # text runs on it: '0' a full stack, '5' one short of full, '2' two values,
    # '@' a full stack that holds NaN and infinities from the later bytes.
    "prefilled_full": b"0 x",
    "prefilled_one_short": b"5 p",
    "prefilled_two": b"2 + + +",
    "prefilled_not_finite": b"@\xff\xfe\xfd",
}

# Characters outside 8 bits: U+2212 MINUS SIGN, a surrogate, the last code
# point, beyond it, and a negative wchar_t.
WIDE_ONLY = {
    "minus_sign": [0x33, 0x20, 0x2212],
    "surrogate": [0x31, 0x20, 0xD800],
    "last_code_point": [0x10FFFF],
    "beyond_unicode": [0x31, 0x20, 0x110000],
    "negative": [0x31, 0x20, 0xFFFFFFFF],
    "latin1_digit_like": [0xB2, 0x20, 0x31],
}


def write(directory, name, data):
    os.makedirs(directory, exist_ok=True)
    with open(os.path.join(directory, name), "wb") as out:
        out.write(data)


def main():
    evaluator = os.path.join(HERE, "corpus", "evaluator_fuzz")
    wide = os.path.join(HERE, "corpus", "calculator_rpn_fuzz")
    order = "<" if sys.byteorder == "little" else ">"
    for name, text in EXPRESSIONS.items():
        write(evaluator, name, text)
        write(wide, name, struct.pack(f"{order}{len(text)}I", *text))
    for name, codes in WIDE_ONLY.items():
        write(wide, name, struct.pack(f"{order}{len(codes)}I", *codes))


if __name__ == "__main__":
    main()
