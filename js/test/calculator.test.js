// Calculator: a stack kept between evaluations, restored on a failure, and
// freed explicitly.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { Calculator, RPNError } from 'kelvaro-rpn';

function withCalculator(body) {
    const calculator = new Calculator();
    try {
        body(calculator);
    } finally {
        calculator.free();
    }
}

test('the stack carries over, and a failure leaves it as it was', () => withCalculator((c) => {
    // [text, value or failure kind and offset, stack afterwards]
    const steps = [
        ['1 2', 2, [1, 2]],
        ['+', 3, [3]],
        ['4 5 x ?', ['invalid character', 6], [3]],
        ['+ +', ['stack underflow', 0], [3]],
        ['2 *', 6, [6]],
        ['x', NaN, []],
        ['', NaN, []],
    ];
    for (const [text, expected, stack] of steps) {
        if (Array.isArray(expected)) {
            const [kind, offset] = expected;
            assert.throws(() => c.evaluate(text), (e) => e instanceof RPNError &&
                          e.kind === kind && e.offset === offset, text);
        } else {
            assert.ok(Object.is(c.evaluate(text), expected), text);
        }
        assert.deepEqual(c.stack, Float64Array.from(stack), text);
        assert.equal(c.depth, stack.length, text);
    }
}));

test('push takes any number, and the 266th overflows', () => withCalculator((c) => {
    c.push(Infinity);
    c.push(NaN);
    c.push(-0);
    assert.equal(c.stack.length, 3);
    assert.ok(Object.is(c.stack[0], Infinity) && Number.isNaN(c.stack[1]) &&
              Object.is(c.stack[2], -0));
    for (let i = 3; i < 265; ++i) {
        c.push(i);
    }
    assert.throws(() => c.push(1), { name: 'RPNError', kind: 'stack overflow', offset: 0,
                                     byte: null, message: 'you have a stack overflow!' });
    assert.equal(c.depth, 265);
    assert.equal(c.stack.length, 265);
    assert.equal(c.stack[264], 264);
    assert.throws(() => c.evaluate('1'), { kind: 'stack overflow', offset: 0 });
    c.clear();
    assert.equal(c.depth, 0);
    assert.equal(c.stack.length, 0);
}));

test('stack is a copy', () => withCalculator((c) => {
    c.evaluate('1 2 3');
    const stack = c.stack;
    stack[0] = 99;
    assert.deepEqual(c.stack, new Float64Array([1, 2, 3]));
    assert.ok(c.stack instanceof Float64Array);
}));

test('calculators are independent', () => {
    const a = new Calculator();
    const b = new Calculator();
    a.evaluate('1 2');
    b.evaluate('5');
    assert.equal(a.evaluate('+'), 3);
    assert.deepEqual(b.stack, new Float64Array([5]));
    a.free();
    assert.equal(b.evaluate('1 +'), 6);
    b.free();
});

test('wrong arguments throw and change nothing', () => withCalculator((c) => {
    c.evaluate('7');
    for (const value of ['1', 1n, null, undefined, {}]) {
        assert.throws(() => c.push(value), TypeError);
    }
    for (const text of [1, null, undefined, ['1']]) {
        assert.throws(() => c.evaluate(text), TypeError);
    }
    assert.deepEqual(c.stack, new Float64Array([7]));
}));

test('a freed calculator refuses every call; freeing twice is harmless', () => {
    const c = new Calculator();
    assert.equal(c.freed, false);
    c.free();
    c.free();
    assert.equal(c.freed, true);
    for (const call of [() => c.evaluate('1'), () => c.push(1), () => c.stack, () => c.depth,
                        () => c.clear()]) {
        assert.throws(call, /freed/);
    }
});

test('Symbol.dispose frees it, where the runtime has it', { skip: typeof Symbol.dispose !== 'symbol' }, () => {
    const c = new Calculator();
    c[Symbol.dispose]();
    assert.equal(c.freed, true);
});
