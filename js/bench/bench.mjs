// Times the package in node beside the C call (evaluate_bench.c): evaluate
// per call on the texts of workloads.h, Program.run per call, and runMany per
// value. Prints; asserts nothing.
//   node js/bench/bench.mjs [PACKAGE_DIR]   (default: the npm preset's build)
import { readFileSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const packageDir = process.argv[2] ? resolve(process.argv[2])
    : fileURLToPath(new URL('../../build/npm/js/package/', import.meta.url));
const { Calculator, check, compile, evaluate } =
    await import(pathToFileURL(join(packageDir, 'src', 'index.js')));

const texts = Object.fromEntries(
    [...readFileSync(new URL('workloads.h', import.meta.url), 'utf8')
        .matchAll(/#define KELVARO_BENCH_(\w+) "([^"]*)"/g)]
        .map(([, name, text]) => [name.toLowerCase(), text]));
let long = '1.5';
for (let i = 1; i < 63; ++i) {
    long += ` ${1 + (i % 9)}.5 ${i % 2 === 1 ? '*' : '+'}`;
}

// Best of five rounds, in ns per call.
function time(calls, body) {
    let best = Infinity;
    for (let round = 0; round < 5; ++round) {
        const start = process.hrtime.bigint();
        body(calls);
        best = Math.min(best, Number(process.hrtime.bigint() - start) / calls);
    }
    return best;
}

let sink = 0;
const report = (label, ns, unit = 'call') =>
    console.log(`${label.padEnd(20)}${ns.toFixed(unit === 'call' ? 1 : 2).padStart(8)} ns/${unit}`);

report('evaluate short', time(2_000_000, (n) => { for (let i = 0; i < n; ++i) sink += evaluate(texts.short); }));
report('evaluate functions', time(500_000, (n) => { for (let i = 0; i < n; ++i) sink += evaluate(texts.functions); }));
report('evaluate long', time(200_000, (n) => { for (let i = 0; i < n; ++i) sink += evaluate(long); }));
report('evaluate failing', time(200_000, (n) => {
    for (let i = 0; i < n; ++i) { try { evaluate('3 4 ?'); } catch (e) { sink += e.offset; } }
}));
// For scale: what any thrown Error costs here.
report('throw new Error', time(200_000, (n) => {
    for (let i = 0; i < n; ++i) { try { throw new Error('x'); } catch (e) { sink += e.message.length; } }
}));
report('check short', time(500_000, (n) => { for (let i = 0; i < n; ++i) sink += check('2 sqrt').length; }));
const calculator = new Calculator();
report('Calculator short', time(1_000_000, (n) => {
    for (let i = 0; i < n; ++i) { sink += calculator.evaluate(texts.short); calculator.clear(); }
}));
calculator.free();

const program = compile(texts.formula);
report('Program.run formula', time(1_000_000, (n) => { for (let i = 0; i < n; ++i) sink += program.run(i); }));
const inputs = Float64Array.from({ length: 1_000_000 }, (_, i) => i * 0.001);
const into = new Float64Array(inputs.length);
report('runMany formula', time(inputs.length, () => { program.runMany(inputs, 1, into); }), 'value');
program.free();
if (Number.isNaN(sink)) {
    console.log('(sink)');
}
