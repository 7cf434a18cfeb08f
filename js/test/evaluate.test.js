// evaluate() and check(): values, failures with their exact place and
// message, warnings, and what a caller passes by mistake.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { RPNError, check, evaluate } from 'kelvaro-rpn';

test('values', () => {
    const cases = [
        ['3 4 + 2 *', 14],
        ['5 3 -', 2],
        ['-5 3 +', -2],
        ['7 4 %', 3],
        ['-7 4 %', -3],
        ['2 10 ^', 1024],
        ['1e3', 1000],
        ['0 c', 1],
        ['p', 3.1415],
        ['13 !', 1932053504],
        ['0.1 0.2 +', 0.30000000000000004],
        ['1 0 /', Infinity],
        ['0 0 /', NaN],
        ['0 sin', 0],
    ];
    for (const [text, value] of cases) {
        assert.ok(Object.is(evaluate(text), value), `${text} -> ${evaluate(text)}, not ${value}`);
    }
});

// [text, kind, offset, index, byte, message]
const failures = [
    ['3 4 ?', 'invalid character', 4, 4, 0x3f, "Invalid character: '?'"],
    ['', 'stack underflow', 0, 0, null, 'you have a stack underflow!'],
    [' ', 'stack underflow', 1, 1, null, 'you have a stack underflow!'],
    ['3 +', 'stack underflow', 2, 2, 0x2b, 'you have a stack underflow!'],
    ['sin', 'stack underflow', 0, 0, 0x73, 'you have a stack underflow!'],
    ['1 2 + +', 'stack underflow', 6, 6, 0x2b, 'you have a stack underflow!'],
    ['1 '.repeat(266), 'stack overflow', 530, 530, 0x31, 'you have a stack overflow!'],
    ['1 \u0000', 'invalid character', 2, 2, 0x00, "Invalid character: '\\0'"],
    // Several bytes to a character: the offset counts bytes, the index UTF-16 units.
    ['é 1', 'invalid character', 0, 0, 0xc3, "Invalid character: 'é'"],
    ['1é 2 ?', 'invalid character', 6, 5, 0x3f, "Invalid character: '?'"],
    ['1 s\u{1F600} ?', 'invalid character', 8, 6, 0x3f, "Invalid character: '?'"],
    ['1 \u{1F600}', 'invalid character', 2, 2, 0xf0, "Invalid character: '\u{1F600}'"],
    // A lone surrogate reaches the library as U+FFFD.
    ['\ud800', 'invalid character', 0, 0, 0xef, "Invalid character: '\ufffd'"],
];

test('failures: kind, offset, index, byte and message', () => {
    for (const [text, kind, offset, index, byte, message] of failures) {
        assert.throws(() => evaluate(text), (error) => {
            assert.ok(error instanceof RPNError, `${JSON.stringify(text)}: ${error}`);
            assert.ok(error instanceof Error);
            assert.equal(error.name, 'RPNError');
            assert.deepEqual(
                { kind: error.kind, offset: error.offset, index: error.index, byte: error.byte,
                  message: error.message },
                { kind, offset, index, byte, message }, JSON.stringify(text));
            return true;
        });
    }
});

test('the index points into the string at the failing character', () => {
    // (A lone surrogate is not in the string as the library saw it.)
    for (const [text, , , index] of failures.filter(([text]) => text !== '\ud800')) {
        const error = (() => { try { evaluate(text); } catch (e) { return e; } })();
        assert.ok(text.slice(index).startsWith(error.character), JSON.stringify(text));
    }
});

test('a long text, past the kept buffer, evaluates and fails the same', () => {
    const sum = '1 ' + '1 + '.repeat(100000);
    assert.equal(evaluate(sum), 100001);
    assert.throws(() => evaluate(sum + '?'), { kind: 'invalid character', offset: sum.length });
    const wide = 'é'.repeat(20000);
    assert.throws(() => evaluate(`1 ${wide}`), { offset: 2, index: 2, character: 'é' });
    assert.throws(() => evaluate(`1${wide} ?`), { offset: 40002, index: 20002 });
});

test('only strings are texts', () => {
    for (const value of [42, null, undefined, ['1'], new String('1'), { toString: () => '1' },
                         new TextEncoder().encode('1')]) {
        assert.throws(() => evaluate(value), TypeError);
        assert.throws(() => check(value), TypeError);
    }
});

// [text, warnings as [kind, offset, length, index]]
const checks = [
    ['3 4 +', []],
    ['', []],
    ['2 sqrt', [['command tail', 3, 3, 3]]],
    ['+5', [['command tail', 1, 1, 1]]],
    ['2.5x', [['number tail', 3, 1, 3]]],
    ['1,234', [['number tail', 1, 4, 1]]],
    ['4+', [['number tail', 1, 1, 1]]],
    ['1 2 3', [['values left', 5, 2, 5]]],
    ['3\n4 +', [['number tail', 1, 2, 1]]],
    ['3 4 ? sqrt', [['command tail', 7, 3, 7]]],
    ['1é 2 sqrt +', [['number tail', 1, 2, 1], ['command tail', 7, 3, 6]]],
    // A tail that starts inside a character: the index is the next character's.
    ['\u{1F600}x', [['command tail', 1, 4, 2]]],
    ['1 é2', [['command tail', 3, 2, 3]]],
];

test('check', () => {
    for (const [text, expected] of checks) {
        assert.deepEqual(
            check(text).map(({ kind, offset, length, index }) => [kind, offset, length, index]),
            expected, JSON.stringify(text));
    }
});

test('check lists every warning, however many', () => {
    const text = '1e1x '.repeat(40);
    const warnings = check(text);
    assert.equal(warnings.length, 41);
    assert.deepEqual(warnings[39], { kind: 'number tail', offset: 39 * 5 + 3, length: 1,
                                     index: 39 * 5 + 3 });
    assert.deepEqual(warnings[40], { kind: 'values left', offset: 200, length: 39, index: 200 });
});
