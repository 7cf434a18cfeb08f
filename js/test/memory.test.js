// WebAssembly memory is not collected: calls must give back what they take,
// and objects must give back theirs when freed (or, as a backstop, when
// collected).
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { createRequire } from 'node:module';
import { Calculator, check, compile, evaluate, formatFixed, memoryInUse } from 'kelvaro-rpn';

const attempt = (call) => { try { call(); } catch { /* counted below */ } };

test('many calls, failing ones and long texts among them, keep nothing', () => {
    const long = '1 ' + '1 + '.repeat(20000);
    const wide = '1 ' + 'é'.repeat(20000);
    // Warm up: the package's own buffers reach their sizes once.
    evaluate('1');
    check('1e1x '.repeat(40));
    compile('1 +').runMany(new Float64Array(1));
    const before = memoryInUse();
    for (let i = 0; i < 5000; ++i) {
        evaluate('3 4 + 2 *');
        attempt(() => evaluate('3 4 ?'));
        attempt(() => evaluate('+'));
        check('2 sqrt 1 2');
        formatFixed(i / 3, i % 100);
        const program = compile('2 ^ 3 * 1 +');
        program.run(i);
        attempt(() => program.run());
        program.free();
        attempt(() => compile('1 ?'));
        const calculator = new Calculator();
        calculator.evaluate('1 2 3');
        attempt(() => calculator.evaluate('+ + +'));
        calculator.free();
    }
    for (let i = 0; i < 100; ++i) {
        evaluate(long);
        attempt(() => evaluate(long + ' ?'));
        attempt(() => evaluate(wide));
        check(wide);
        attempt(() => compile(wide)?.free());
    }
    assert.equal(memoryInUse(), before);
});

test('a live object is counted until it is freed', () => {
    const before = memoryInUse();
    const calculators = Array.from({ length: 100 }, () => new Calculator());
    const programs = Array.from({ length: 100 }, () => compile('2 ^ 3 * 1 +'));
    const held = memoryInUse() - before;
    assert.ok(held >= 100 * 265 * 8, `${held} bytes for 100 calculators and 100 programs`);
    calculators.forEach((c) => c.free());
    programs.forEach((p) => p.free());
    assert.equal(memoryInUse(), before);
});

test('texts still reach the module after its memory has grown', () => {
    // 10,000 calculators are more than the module's first 16 MiB.
    const calculators = Array.from({ length: 10000 }, () => new Calculator());
    try {
        assert.equal(evaluate('1 ' + '2 + '.repeat(50)), 101);
        assert.throws(() => evaluate('1 ' + 'é'.repeat(50)), { offset: 2, character: 'é' });
        assert.deepEqual(check('2 sqrt 3 sqrt 4 sqrt 5 sqrt').map((w) => w.offset),
                         [3, 10, 17, 24, 27]);
        assert.equal(calculators[9999].evaluate('1 2 3 4 5 6 7 8 9 + + + + + + + +'), 45);
    } finally {
        calculators.forEach((c) => c.free());
    }
});

test('runMany over a million values leaves memory as it was', () => {
    const program = compile('2 ^ 3 * 1 +');
    program.runMany(new Float64Array(10));
    const before = memoryInUse();
    const results = program.runMany(new Float64Array(1_000_000).fill(2));
    assert.equal(results.length, 1_000_000);
    assert.ok(results.every((value) => value === 13));
    assert.equal(memoryInUse(), before);
    program.free();
});

test('objects dropped without free() are freed when collected', () => {
    const entry = createRequire(import.meta.url).resolve('kelvaro-rpn');
    const script = `
        const { Calculator, compile, memoryInUse } = await import(${JSON.stringify(entry)});
        const before = memoryInUse();
        for (let i = 0; i < 2000; ++i) { new Calculator().evaluate('1 2'); compile('1 +'); }
        const held = memoryInUse() - before;
        for (let i = 0; i < 50 && memoryInUse() > before; ++i) {
            globalThis.gc();
            await new Promise((resolve) => setTimeout(resolve, 10));
        }
        console.log(JSON.stringify({ held, left: memoryInUse() - before }));`;
    const output = execFileSync(process.execPath,
                                ['--expose-gc', '--input-type=module', '-e', script]);
    const { held, left } = JSON.parse(output);
    assert.ok(held > 2000 * 265 * 8, `${held} bytes held`);
    assert.equal(left, 0);
});

test('running out of WebAssembly memory is a RangeError, and the module goes on', () => {
    // In a process of its own: it fills the module's 2 GiB.
    const entry = createRequire(import.meta.url).resolve('kelvaro-rpn');
    const script = `
        const { Calculator, compile, evaluate, memoryInUse } =
            await import(${JSON.stringify(entry)});
        const before = memoryInUse();
        const caught = (call) => {
            try { call(); } catch (e) { return e.constructor.name + ': ' + e.message; }
            return 'no failure';
        };
        // 100 million numbers: 2.4 GB of steps.
        const program = caught(() => compile('1 '.repeat(100_000_000)));
        const calculators = [];
        const calculator = caught(() => { for (;;) calculators.push(new Calculator()); });
        const filled = calculators.length;
        calculators.forEach((c) => c.free());
        console.log(JSON.stringify({ program, calculator, filled, after: evaluate('1 2 +'),
                                     left: memoryInUse() - before }));`;
    const output = execFileSync(process.execPath, ['--input-type=module', '-e', script],
                                { encoding: 'utf8' });
    const { program, calculator, filled, after, left } = JSON.parse(output);
    assert.equal(program, 'RangeError: kelvaro-rpn: out of WebAssembly memory for a Program ' +
                          'of 200000000 bytes');
    assert.equal(calculator, 'RangeError: kelvaro-rpn: out of WebAssembly memory for a Calculator');
    assert.ok(filled > 500_000, `${filled} calculators`);
    assert.equal(after, 3);
    assert.equal(left, 0);
});
