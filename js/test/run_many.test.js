// runMany as callers hand it their arrays: every kind of typed array and
// plain arrays, counts at the 32-bit edge, arrays that overlap, arrays whose
// own methods would free the program mid-call, and the fast option.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { compile } from 'kelvaro-rpn';
import { withProgram } from './programs.js';

// 3x^2 + 1 over the values, as a Float64Array of them gives it.
function reference(values) {
    return withProgram('2 ^ 3 * 1 +', (p) => p.runMany(Float64Array.from(values)));
}

test('runMany reads every typed array and array of numbers as doubles', () => {
    // [what, inputs, the doubles they stand for]
    const cases = [
        ['Array', [0.1, -2, 1e300], [0.1, -2, 1e300]],
        ['array-like', { length: 2, 0: 3, 1: -0 }, [3, -0]],
        ['Float32Array', new Float32Array([0.1, -1.5]), [Math.fround(0.1), -1.5]],
        ['Int8Array', new Int8Array([-128, 127]), [-128, 127]],
        ['Uint8Array', new Uint8Array([255, 0]), [255, 0]],
        ['Uint8ClampedArray', new Uint8ClampedArray([300, -5]), [255, 0]],
        ['Int16Array', new Int16Array([-32768]), [-32768]],
        ['Uint16Array', new Uint16Array([65535]), [65535]],
        ['Int32Array', new Int32Array([-(2 ** 31), 7]), [-(2 ** 31), 7]],
        ['Uint32Array', new Uint32Array([2 ** 32 - 1]), [2 ** 32 - 1]],
        // BigInts as the nearest double: 2^53 + 1 is 2^53.
        ['BigInt64Array', new BigInt64Array([-(2n ** 53n) - 1n, 5n]), [-(2 ** 53), 5]],
        ['BigUint64Array', new BigUint64Array([2n ** 64n - 1n]), [2 ** 64]],
        ['a view into a buffer', new Int16Array(new ArrayBuffer(64), 6, 3).fill(-4), [-4, -4, -4]],
        ['a Float64Array view at an offset', new Float64Array(new ArrayBuffer(64), 8, 2).fill(2.5),
         [2.5, 2.5]],
    ];
    for (const [what, inputs, doubles] of cases) {
        withProgram('2 ^ 3 * 1 +', (p) => {
            assert.deepEqual(p.runMany(inputs), reference(doubles), what);
        });
    }
    withProgram('+', (p) => {
        assert.deepEqual(p.runMany(new Int32Array([1, 2, 3, 4])), new Float64Array([3, 7]));
        assert.deepEqual(p.runMany([1, 2, 3, 4, 5, 6], 3), new Float64Array([5, 11]));
    });
});

test('runMany: counts that do not fit 32 bits are refused, not wrapped', () => {
    withProgram('1 +', (p) => {
        // 2^32 + 1 would wrap to 1 and take these as four runs.
        for (const count of [2 ** 31, 2 ** 32, 2 ** 32 + 1, 2 ** 53, Infinity]) {
            assert.throws(() => p.runMany(new Float64Array(4), count), RangeError, String(count));
            assert.throws(() => p.outputs(count), RangeError, String(count));
        }
        assert.deepEqual(p.runMany(new Float64Array(0), 2 ** 31 - 1), new Float64Array(0));
        // Accepted, not wrapped: a run on that many overflows and leaves nothing.
        assert.equal(p.outputs(2 ** 31 - 1), 0);
        assert.equal(p.outputs(264), 264);
    });
});

test('runMany never runs a freed program, whatever the arrays do', () => {
    let victim = null;
    let intruder = null;
    // Replaces the program with another in (likely) the same memory.
    const swap = () => {
        if (!victim.freed) {
            victim.free();
            intruder = compile('1000 +');
        }
    };
    class Hostile extends Float64Array {
        static get [Symbol.species]() { swap(); return Float64Array; }
        subarray(...range) { swap(); return super.subarray(...range); }
        get length() { swap(); return super.length; }
        set(...values) { swap(); return super.set(...values); }
    }
    const values = Float64Array.from({ length: 20000 }, (_, i) => i / 100);
    const expected = reference(values);

    // A typed array's own methods are never called: the run is the program's.
    victim = compile('2 ^ 3 * 1 +');
    const inputs = new Hostile(values);
    const into = new Hostile(values.length);
    assert.equal(victim.runMany(inputs, 1, into), into);
    assert.deepEqual(new Float64Array(into), expected);
    assert.equal(victim.freed, false);
    victim.free();

    // Anything else is read before the program is looked up: a free on the
    // way is seen, and the intruder never runs.
    const getter = (index) => Object.defineProperty([1, 2, 3], index,
                                                    { get() { swap(); return 2; } });
    const attempts = [
        ['an element getter', () => victim.runMany(getter(1))],
        ['a length getter', () => victim.runMany({ get length() { swap(); return 1; }, 0: 1 })],
        ['an options getter', () => victim.runMany(values, { get count() { swap(); return 1; } })],
        ['a Proxy', () => victim.runMany(new Proxy([1, 2], { get(target, key) {
            swap(); return target[key];
        } }))],
    ];
    for (const [what, call] of attempts) {
        victim = compile('2 ^ 3 * 1 +');
        assert.throws(call, /has been freed/, what);
        assert.equal(victim.freed, true, what);
        intruder.free();
    }
});

test('runMany: overlapping inputs and results, as if all inputs were read first', () => {
    // More runs than one chunk of the package's buffers (8,192 values).
    const runs = 20000;
    // [what, input type, input byte offset, result byte offset]
    const layouts = [
        ['in place', Float64Array, 8, 8],
        ['results one value ahead', Float64Array, 8, 16],
        ['results one value behind', Float64Array, 16, 8],
        ['results a chunk ahead', Float64Array, 0, 8192 * 8],
        ['Float32 inputs, results half a value behind', Float32Array, 12, 8],
        ['Int32 inputs, results half a value ahead', Int32Array, 4, 8],
        ['Int16 inputs at an odd offset, results ahead', Int16Array, 2, 16],
    ];
    for (const [text, count] of [['2 ^ 3 * 1 +', 1], ['* 1 +', 2]]) {
        withProgram(text, (p) => {
            for (const [what, type, inputAt, resultAt] of layouts) {
                const buffer = new ArrayBuffer((runs * count + 8192 + 16) * 8);
                const inputs = new type(buffer, inputAt, runs * count);
                inputs.forEach((_, i) => { inputs[i] = (i % 97) - 40; });
                const expected = p.runMany(Float64Array.from(inputs), count);
                const into = new Float64Array(buffer, resultAt, runs);
                assert.equal(p.runMany(inputs, count, into), into);
                assert.deepEqual(into, expected, `${what}, ${count} inputs a run`);
            }
        });
    }
});

test('runMany: the fast option', () => {
    const values = Float64Array.from({ length: 10000 }, (_, i) => (i - 5000) / 97);
    values[3] = NaN;
    values[4] = Infinity;
    values[5] = -0;
    values[6] = 5e-324;
    for (const text of ['2 ^ 3 * 1 +', '0.5 * s 2 ^ 1 + l', 'L 1 + l', 'c 3 ^ t']) {
        withProgram(text, (p) => {
            const exact = p.runMany(values);
            const fast = p.runMany(values, { fast: true });
            for (let i = 0; i < values.length; ++i) {
                const difference = Math.abs(fast[i] - exact[i]);
                assert.ok(Object.is(fast[i], exact[i]) || difference <= 1e-12 * Math.abs(exact[i]),
                          `${text} at ${values[i]}: ${fast[i]} against ${exact[i]}`);
            }
        });
    }
    withProgram('+', (p) => {
        const into = new Float64Array(2);
        // Failed runs fail alike: one input a run is an underflow.
        assert.deepEqual(p.runMany([1, 2], { count: 1, fast: true }),
                         new Float64Array([NaN, NaN]));
        assert.equal(p.runMany([1, 2, 3, 4], { count: 2, into, fast: true }), into);
        assert.deepEqual(into, new Float64Array([3, 7]));
        assert.deepEqual(p.runMany([1, 2, 3, 4], { count: 2 }), into);
        assert.throws(() => p.runMany([1, 2], { fast: 1 }), TypeError);
        assert.throws(() => p.runMany([1, 2], { into: [0, 0] }), TypeError);
    });
});
