// compile(): a program run on inputs, one at a time or over a Float64Array,
// ending exactly as the text would with the inputs pushed first.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { Program, RPNError, compile, evaluate, formatShortest } from 'kelvaro-rpn';
import { withProgram } from './programs.js';

const describe = (value) => Object.prototype.toString.call(value);


test('shape: inputs and outputs', () => {
    // [text, inputs, outputs for 0..3 inputs]
    const cases = [
        ['2 ^ 3 * 1 +', 1, [0, 1, 2, 3]],
        ['+', 2, [0, 0, 1, 2]],
        ['1 2 +', 0, [1, 2, 3, 4]],
        ['x', 2, [0, 0, 1, 2]],   // the end of the text needs a value too
        ['', 1, [0, 1, 2, 3]],
        ['1 x x', 2, [0, 0, 1, 2]],
    ];
    for (const [text, inputs, outputs] of cases) {
        withProgram(text, (p) => {
            assert.equal(p.inputs, inputs, text);
            assert.deepEqual([0, 1, 2, 3].map((n) => p.outputs(n)), outputs, text);
        });
    }
});

test('run is evaluate with the inputs pushed first', () => {
    const texts = ['2 ^ 3 * 1 +', '+', '/ s', '- %', 'x 1', '1 2 3', 'T l L', '!'];
    let seed = 7;
    const next = () => (seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648;
    for (const text of texts) {
        withProgram(text, (p) => {
            for (let i = 0; i < 50; ++i) {
                const inputs = Array.from({ length: Math.floor(next() * 4) },
                                          () => (next() - 0.5) * 1e3);
                const prefix = inputs.map(formatShortest).join(' ');
                const source = prefix ? `${prefix} ${text}` : text;
                let expected;
                try {
                    expected = evaluate(source);
                } catch (error) {
                    assert.throws(() => p.run(...inputs), { kind: error.kind }, source);
                    continue;
                }
                assert.ok(Object.is(p.run(...inputs), expected), source);
            }
        });
    }
});

test('run fails as the text does', () => withProgram('2 ^ 3 * 1 +', (p) => {
    assert.throws(() => p.run(), (e) => e instanceof RPNError && e.kind === 'stack underflow' &&
                  e.offset === 2 && e.message === 'you have a stack underflow!');
    assert.throws(() => p.run(...new Array(266).fill(1)),
                  { kind: 'stack overflow', offset: 0, byte: null });
    // The first push ("2") onto 265 inputs is one too many.
    assert.throws(() => p.run(...new Array(265).fill(1)), { kind: 'stack overflow', offset: 0 });
    assert.equal(p.run(...new Array(264).fill(1)), 4);
    for (const value of ['1', 1n, null, undefined]) {
        assert.throws(() => p.run(value), TypeError);
    }
}));

test('compile refuses an invalid character and anything but a string', () => {
    assert.throws(() => compile('1 2 + ?'), { kind: 'invalid character', offset: 6, byte: 0x3f });
    // The first invalid byte, though an empty stack would underflow before it.
    assert.throws(() => compile('1 + ?'), { kind: 'invalid character', offset: 4, byte: 0x3f });
    assert.throws(() => compile('1 \u{1F600}'), { offset: 2, character: '\u{1F600}' });
    for (const value of [1, null, undefined, {}]) {
        assert.throws(() => compile(value), TypeError);
    }
    assert.throws(() => new Program(), TypeError);
});

test('runMany: one result per run, across chunks', () => {
    withProgram('2 *', (p) => {
        const inputs = Float64Array.from({ length: 100003 }, (_, i) => i * 0.5 - 7);
        const results = p.runMany(inputs);
        assert.equal(results.length, inputs.length);
        assert.ok(results.every((value, i) => value === inputs[i] * 2));
    });
    withProgram('+ +', (p) => {
        const inputs = Float64Array.from({ length: 3 * 5000 }, (_, i) => Math.sqrt(i));
        const results = p.runMany(inputs, 3);
        assert.equal(results.length, 5000);
        assert.ok(results.every((value, i) =>
            value === inputs[3 * i] + (inputs[3 * i + 1] + inputs[3 * i + 2])));
    });
    withProgram('2 ^ 3 * 1 +', (p) => {
        const inputs = Float64Array.from({ length: 1000 }, (_, i) => i / 7);
        const results = p.runMany(inputs);
        assert.ok(results.every((value, i) => Object.is(value, p.run(inputs[i]))));
    });
});

test('runMany: failed runs are NaN, extra inputs stay below', () => {
    withProgram('+', (p) => {
        assert.deepEqual(p.runMany(new Float64Array([1, 2, 3]), 1), new Float64Array(3).fill(NaN));
        assert.deepEqual(p.runMany(new Float64Array([1, 2, 3, 4, 5, 6]), 3),
                         new Float64Array([5, 11]));
    });
    withProgram('1 2 +', (p) => {
        assert.deepEqual(p.runMany(new Float64Array([9, 9]), 1), new Float64Array([3, 3]));
        // No inputs needed: still one input a run by default.
        assert.deepEqual(p.runMany(new Float64Array([9, 9])), new Float64Array([3, 3]));
        assert.throws(() => p.runMany(new Float64Array([9, 9]), 0), RangeError);
    });
    withProgram('x', (p) => {
        assert.deepEqual(p.runMany(new Float64Array(300).fill(1), 300), new Float64Array([NaN]));
    });
});

test('runMany: into, empty input, wrong arguments', () => withProgram('1 +', (p) => {
    const into = new Float64Array(4);
    assert.equal(p.runMany(new Float64Array([1, 2, 3, 4]), 1, into), into);
    assert.deepEqual(into, new Float64Array([2, 3, 4, 5]));
    assert.equal(p.runMany(new Float64Array(0)).length, 0);
    assert.throws(() => p.runMany(new Float64Array(4), 1, new Float64Array(3)), TypeError);
    assert.throws(() => p.runMany(new Float64Array(4), 1, [0, 0, 0, 0]), TypeError);
    for (const inputs of [1, 'ab', null, undefined, {}, new DataView(new ArrayBuffer(8))]) {
        assert.throws(() => p.runMany(inputs), TypeError, describe(inputs));
    }
    assert.throws(() => p.runMany([1, '2']), { name: 'TypeError', message: /inputs\[1\]/ });
    assert.throws(() => p.runMany([1, 2n]), TypeError);
    assert.throws(() => p.runMany({ length: -1 }), RangeError);
    assert.throws(() => p.runMany(new Float64Array(5), 2), RangeError);
    assert.throws(() => p.runMany(new Float64Array(4), 1.5), RangeError);
    assert.throws(() => p.runMany(new Float64Array(4), -1), RangeError);
    assert.throws(() => p.runMany(new Float64Array(4), '1'), TypeError);
}));

test('a freed program refuses every call', () => {
    const p = compile('1 +');
    p.free();
    p.free();
    assert.equal(p.freed, true);
    for (const call of [() => p.run(1), () => p.runMany(new Float64Array(1)), () => p.inputs,
                        () => p.outputs(1)]) {
        assert.throws(call, /freed/);
    }
});
