// The package through require(), as CommonJS code loads it: ready when
// require returns, with the ES module's names, and the same answers.
const { test } = require('node:test');
const assert = require('node:assert/strict');
const { spawnSync } = require('node:child_process');
const rpn = require('kelvaro-rpn');

test('require gives the ES module\'s names, ready to call', async () => {
    const imported = await import('kelvaro-rpn');
    assert.deepEqual(Object.keys(rpn).sort(), Object.keys(imported).sort());
    for (const name of Object.keys(imported)) {
        assert.equal(typeof rpn[name], typeof imported[name], name);
    }
    assert.equal(rpn.version, imported.version);
    assert.match(require.resolve('kelvaro-rpn'), /index\.cjs$/);
});

test('the same answers, failures and warnings as the import', async () => {
    const imported = await import('kelvaro-rpn');
    const texts = ['3 4 + 2 *', '1 3 /', '0.5 s 0.25 c * 2 l + 1.5 L - 3 ^ 7 4 % +', '3 4 ?',
                   '+', '1 \u{1F600}', '2 sqrt 1 2'];
    const outcome = (module, text) => {
        try {
            return { value: module.evaluate(text), warnings: module.check(text) };
        } catch (error) {
            const { name, message, kind, offset, index, byte, character } = error;
            return { name, message, kind, offset, index, byte, character,
                     isRPNError: error instanceof module.RPNError };
        }
    };
    for (const text of texts) {
        assert.deepEqual(outcome(rpn, text), outcome(imported, text), text);
    }
    assert.equal(rpn.formatFixed(1 / 3, 4), '0.3333');
    assert.equal(rpn.formatShortest(0.1 + 0.2), imported.formatShortest(0.1 + 0.2));
});

test('programs and calculators, and their memory, under require', () => {
    const before = rpn.memoryInUse();
    const program = rpn.compile('2 ^ 3 * 1 +');
    assert.deepEqual(program.runMany([0, 1, 2]), new Float64Array([1, 4, 13]));
    assert.deepEqual(program.runMany(new Int32Array([2]), { fast: true }), new Float64Array([13]));
    assert.equal(program.run(2), 13);
    const calculator = new rpn.Calculator();
    calculator.evaluate('1 2');
    assert.deepEqual(calculator.stack, new Float64Array([1, 2]));
    program.free();
    calculator.free();
    assert.throws(() => program.run(2), /freed/);
    assert.equal(rpn.memoryInUse(), before);
});

test('require prints nothing and leaves the process\'s handlers alone', () => {
    const script = `
        const count = () => ['uncaughtException', 'unhandledRejection', 'exit', 'warning']
            .map((event) => process.listenerCount(event)).join(' ');
        const before = count();
        require(${JSON.stringify(require.resolve('kelvaro-rpn'))}).evaluate('1');
        console.log(before === count() ? 'unchanged' : before + ' -> ' + count());`;
    const run = spawnSync(process.execPath, ['-e', script], { encoding: 'utf8' });
    assert.deepEqual({ status: run.status, stdout: run.stdout, stderr: run.stderr },
                     { status: 0, stdout: 'unchanged\n', stderr: '' });
});
