// formatFixed() and formatShortest(): the library's texts, checked against
// JavaScript's own where both define the answer.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { formatFixed, formatShortest } from 'kelvaro-rpn';

test('formatFixed', () => {
    const cases = [
        [14, undefined, '14.000000'],
        [2.5, 3, '2.500'],
        [0.125, 2, '0.12'],          // an exact tie rounds to even, as printf does
        [0.375, 2, '0.38'],
        [-0, 2, '-0.00'],
        [2.5, 0, '2'],
        [1e22, 0, '10000000000000000000000'],
        [0.1, 20, '0.10000000000000000555'],
        [NaN, 6, 'nan'],
        [Infinity, 2, 'inf'],
        [-Infinity, 2, '-inf'],
    ];
    for (const [value, decimals, text] of cases) {
        assert.equal(formatFixed(value, decimals), text, `${value}, ${decimals}`);
    }
    assert.equal(formatFixed(1, 99), '1.' + '0'.repeat(99));
    assert.equal(formatFixed(-Number.MAX_VALUE, 99).length, 1 + 309 + 1 + 99);
});

test('formatFixed agrees with toFixed away from exact ties', () => {
    let seed = 12345;
    const next = () => (seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648;
    for (let i = 0; i < 2000; ++i) {
        const value = (next() - 0.5) * 10 ** Math.floor(next() * 12);
        const decimals = Math.floor(next() * 10);
        // toFixed rounds an exact tie up, printf to even: leave ties to the table.
        const exact = value.toFixed(100);
        if (/^50*$/.test(exact.slice(exact.indexOf('.') + 1 + decimals))) {
            continue;
        }
        assert.equal(formatFixed(value, decimals), value.toFixed(decimals), `${value}`);
    }
});

test('formatShortest', () => {
    const cases = [
        [0.1 + 0.2, '0.30000000000000004'],
        [1e22, '1e+22'],
        [100, '100'],
        [157071936667662336, '157071936667662336'],
        [5e-324, '5e-324'],
        [NaN, 'nan'],
        [Infinity, 'inf'],
        [-Infinity, '-inf'],
    ];
    for (const [value, text] of cases) {
        assert.equal(formatShortest(value), text, `${value}`);
    }
});

test('formatShortest reads back as the same number, and is as short as JavaScript\'s', () => {
    const view = new DataView(new ArrayBuffer(8));
    let seed = 99;
    for (let i = 0; i < 2000; ++i) {
        seed = (seed * 1103515245 + 12345) % 2147483648;
        view.setUint32(0, seed ^ (i << 20));
        view.setUint32(4, (seed * 7) >>> 0);
        const value = view.getFloat64(0);
        if (!Number.isFinite(value)) {
            continue;
        }
        const text = formatShortest(value);
        assert.ok(Object.is(Number(text), value), `${value} -> ${text}`);
        const digits = (s) => s.replace(/^-/, '').replace(/e.*$/, '').replace('.', '')
            .replace(/^0+/, '').replace(/0+$/, '').length;
        // (Whole numbers below 2^64 are written out in full: 157071936667662336.)
        if (!Number.isInteger(value)) {
            assert.equal(digits(text), digits(value.toExponential()), `${value} -> ${text}`);
        }
    }
});

test('arguments', () => {
    for (const decimals of [-1, 100, 1.5, NaN, Infinity]) {
        assert.throws(() => formatFixed(1, decimals), RangeError, String(decimals));
    }
    for (const decimals of ['3', null, 3n]) {
        assert.throws(() => formatFixed(1, decimals), TypeError, String(decimals));
    }
    for (const value of ['1', 1n, null, undefined, {}]) {
        assert.throws(() => formatFixed(value), TypeError);
        assert.throws(() => formatShortest(value), TypeError);
    }
});
