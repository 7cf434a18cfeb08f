"""The SQLite extension from Python's sqlite3 module: loaded by its path
(KELVARO_SQLITE_EXTENSION), as an application would load it."""
import json
import math
import os
import sqlite3
import sys
import unittest

EXTENSION = os.environ.get("KELVARO_SQLITE_EXTENSION", "")

if not hasattr(sqlite3.Connection, "enable_load_extension"):
    print(sys.executable + ": this sqlite3 module cannot load extensions", file=sys.stderr)
    sys.exit(77)


def connect():
    connection = sqlite3.connect(":memory:")
    connection.enable_load_extension(True)
    # Without its suffix: SQLite adds ".so" and derives the entry point.
    connection.load_extension(os.path.splitext(EXTENSION)[0])
    connection.enable_load_extension(False)
    return connection


class RpnTest(unittest.TestCase):
    def setUp(self):
        self.db = connect()

    def value(self, *arguments):
        marks = ", ".join("?" * len(arguments))
        return self.db.execute(f"SELECT rpn({marks})", arguments).fetchone()[0]

    def test_values_with_inputs_pushed_first(self):
        cases = [
            (("3 4 + 2 *",), 14.0),
            (("2 ^ 3 * 1 +", 2), 13.0),
            (("-", 10, 3), 7.0),
            (("-", 10.5, 0.5), 10.0),
            (("+ *", 2, 3, 4), 14.0),
            (("", 7), 7.0),
            (("1 0 /",), math.inf),
            (("+", 1e308, 1e308), math.inf),
            (("+", "2.5", 1), 3.5),
            ((None, 1), None),
            (("+", 1, None), None),
        ]
        for arguments, expected in cases:
            with self.subTest(arguments=arguments):
                self.assertEqual(self.value(*arguments), expected)

    def test_a_failure_is_an_error_with_the_message_and_offset(self):
        cases = [
            (("3 4 + 2 ?",), "Invalid character: '?' at byte offset 8"),
            (("1 é +",), "Invalid character: 'é' at byte offset 2"),
            (("1 € 2",), "Invalid character: '€' at byte offset 2"),
            ((b"1 \xff +",), "Invalid character: '\\xFF' at byte offset 2"),
            ((b"1 \xe2\x82 +",), "Invalid character: '\\xE2' at byte offset 2"),
            (("1 +",), "you have a stack underflow! at byte offset 2"),
            (("+", 1), "you have a stack underflow! at byte offset 0"),
            (("1 + ?", 1), "Invalid character: '?' at byte offset 4"),
            ((b"1 \x00",), "Invalid character: '\\0' at byte offset 2"),
            (("1 " * 266,), "you have a stack overflow! at byte offset 530"),
            (("+", "one", 2), "rpn: input 1 is not a number"),
            (("+", 1, b"\x01"), "rpn: input 2 is not a number"),
        ]
        for arguments, message in cases:
            with self.subTest(arguments=arguments):
                with self.assertRaises(sqlite3.OperationalError) as raised:
                    self.value(*arguments)
                self.assertEqual(str(raised.exception), message)

    def test_constant_and_changing_formulas_over_many_rows(self):
        self.db.execute("CREATE TABLE t(i INTEGER, formula TEXT)")
        self.db.executemany("INSERT INTO t VALUES (?, ?)",
                            ((i, f"{i % 7} + 2 *") for i in range(1, 2001)))
        constant, changing = self.db.execute(
            "SELECT sum(rpn('2 ^ 3 * 1 +', i)), sum(rpn(formula, i)) FROM t").fetchone()
        self.assertEqual(constant, sum(3 * i * i + 1 for i in range(1, 2001)))
        self.assertEqual(changing, sum((i + i % 7) * 2 for i in range(1, 2001)))

    def test_an_error_in_a_later_row_stops_the_statement(self):
        with self.assertRaisesRegex(sqlite3.OperationalError, r"^Invalid character: '\?'"):
            self.db.execute("SELECT rpn(f, 1) FROM (SELECT '1 +' AS f UNION ALL SELECT '1 ?')"
                            ).fetchall()
        self.assertEqual(self.value("1 +", 1), 2.0)

    def test_deterministic_and_innocuous(self):
        self.db.execute("CREATE TABLE items(price REAL)")
        self.db.execute("CREATE INDEX taxed ON items(rpn('1.2 *', price))")
        self.db.execute("CREATE TABLE priced(price REAL, taxed REAL "
                        "GENERATED ALWAYS AS (rpn('1.2 *', price)))")
        self.db.execute("INSERT INTO priced(price) VALUES (10)")
        self.assertEqual(self.db.execute("SELECT taxed FROM priced").fetchone()[0], 12.0)
        # Innocuous: usable from a view even with trusted_schema off.
        self.db.execute("PRAGMA trusted_schema = OFF")
        self.db.execute("CREATE VIEW doubled AS SELECT rpn('2 *', price) AS d FROM priced")
        self.assertEqual(self.db.execute("SELECT d FROM doubled").fetchone()[0], 20.0)


class RpnCheckTest(unittest.TestCase):
    def setUp(self):
        self.db = connect()

    def test_warnings_as_json_in_text_order(self):
        cases = [
            ("2 sqrt", [{"kind": "command tail", "offset": 3, "length": 3}]),
            ("2.5x 1,234 +", [{"kind": "number tail", "offset": 3, "length": 1},
                              {"kind": "number tail", "offset": 6, "length": 4}]),
            ("1 2 3", [{"kind": "values left", "offset": 5, "length": 2}]),
            ("3 4 +", []),
            ("", []),
        ]
        for formula, expected in cases:
            with self.subTest(formula=formula):
                text = self.db.execute("SELECT rpn_check(?)", (formula,)).fetchone()[0]
                self.assertEqual(json.loads(text), expected)

    def test_rows_through_json_each_and_null(self):
        rows = self.db.execute(
            "SELECT json_extract(value, '$.kind'), json_extract(value, '$.offset') "
            "FROM json_each(rpn_check('2 sqrt 1 2'))").fetchall()
        self.assertEqual(rows, [("command tail", 3), ("values left", 10)])
        self.assertIsNone(self.db.execute("SELECT rpn_check(NULL)").fetchone()[0])


if __name__ == "__main__":
    unittest.main()
