// One formula of x over a million values, in node: the package's runMany
// (exact and fast) and Program.run beside mathjs and expr-eval, each as its
// documentation shows a compiled expression evaluated per value, and a plain
// JavaScript loop. The same formulas as the C and Python sides:
//   f1 = 3x^2 + 1              (2 ^ 3 * 1 +)
//   f2 = ln(1 + sin(x/2)^2)    (0.5 * s 2 ^ 1 + l)
// Checks first that every side agrees with the exact run (relative 1e-12),
// then prints the process's CPU time per value in ns (the machine may be
// shared, and wall-clock time counts the other jobs), best of ROUNDS rounds. Asserts nothing else.
//   npm ci --prefix js/bench && node js/bench/formulas.mjs [PACKAGE_DIR] [ROUNDS] [VALUES]
import { join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { compile as mathCompile } from 'mathjs';
import exprEval from 'expr-eval';

const packageDir = process.argv[2] ? resolve(process.argv[2])
    : fileURLToPath(new URL('../../build/npm/js/package/', import.meta.url));
const rounds = Number(process.argv[3] ?? 3);
const count = Number(process.argv[4] ?? 1_000_000);
const rpn = await import(pathToFileURL(join(packageDir, 'src', 'index.js')));

// Uniform in (0.5, 10), from a fixed seed (a 32-bit xorshift).
let state = 2463534242;
const xs = Float64Array.from({ length: count }, () => {
    state ^= state << 13; state >>>= 0;
    state ^= state >>> 17;
    state ^= state << 5; state >>>= 0;
    return 0.5 + 9.5 * (state / 2 ** 32);
});

const formulas = [
    { name: 'f1', rpn: '2 ^ 3 * 1 +', infix: '3*x^2+1', js: (x) => 3 * x ** 2 + 1 },
    { name: 'f2', rpn: '0.5 * s 2 ^ 1 + l', infix: 'log(1+sin(0.5*x)^2)',
      js: (x) => Math.log(1 + Math.sin(0.5 * x) ** 2) },
];

// Each side fills `out` from `xs`. Every per-value loop is written out on its
// own, so that no call site is shared between sides (a shared one would make
// V8 slow them all down alike).
function sides(formula) {
    const program = rpn.compile(formula.rpn);
    const mathjs = mathCompile(formula.infix);
    const parsed = new exprEval.Parser().parse(formula.infix);
    const exprFunction = parsed.toJSFunction('x');
    const js = formula.js;
    return {
        program,
        sides: [
            ['plain JavaScript', (out) => {
                for (let i = 0; i < xs.length; ++i) out[i] = js(xs[i]);
            }],
            ['runMany', (out) => program.runMany(xs, 1, out)],
            ['runMany fast', (out) => program.runMany(xs, { count: 1, into: out, fast: true })],
            ['Program.run', (out) => {
                for (let i = 0; i < xs.length; ++i) out[i] = program.run(xs[i]);
            }],
            ['mathjs evaluate', (out) => {
                const scope = { x: 0 };
                for (let i = 0; i < xs.length; ++i) {
                    scope.x = xs[i];
                    out[i] = mathjs.evaluate(scope);
                }
            }],
            ['expr-eval evaluate', (out) => {
                const scope = { x: 0 };
                for (let i = 0; i < xs.length; ++i) {
                    scope.x = xs[i];
                    out[i] = parsed.evaluate(scope);
                }
            }],
            ['expr-eval toJSFunction', (out) => {
                for (let i = 0; i < xs.length; ++i) out[i] = exprFunction(xs[i]);
            }],
        ],
    };
}

function differences(values, exact) {
    let count = 0;
    for (let i = 0; i < values.length; ++i) {
        if (!(Math.abs(values[i] - exact[i]) <= 1e-12 * Math.abs(exact[i]))) {
            ++count;
        }
    }
    return count;
}

console.log(`node ${process.version}, ${count} values, best of ${rounds} rounds, CPU ns per value`);
const out = new Float64Array(count);
for (const formula of formulas) {
    const { program, sides: all } = sides(formula);
    const exact = program.runMany(xs);
    for (const [name, fill] of all) {
        fill(out);
        const off = differences(out, exact);
        if (off > 0) {
            console.error(`${formula.name} ${name}: ${off} values beyond 1e-12 of the exact run`);
            process.exitCode = 1;
        }
    }
    const line = [];
    for (const [name, fill] of all) {
        let best = Infinity;
        for (let round = 0; round < rounds; ++round) {
            const start = process.cpuUsage();
            fill(out);
            const { user, system } = process.cpuUsage(start);
            best = Math.min(best, (user + system) * 1000 / count);
        }
        line.push(`${name} ${best.toFixed(1)}`);
    }
    console.log(`${formula.name} ${formula.infix}: ${line.join(', ')}`);
    program.free();
}
