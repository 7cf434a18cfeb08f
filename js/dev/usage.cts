// The declarations as a CommonJS TypeScript user meets them: this file's
// imports compile to require('kelvaro-rpn'), which resolves to the package's
// CommonJS entry and its types (index.d.cts). Checked with usage.ts.
import { Calculator, RPNError, compile, evaluate, version } from 'kelvaro-rpn';
import type { FailureKind, RunManyOptions } from 'kelvaro-rpn';

const program = compile('2 ^ 3 * 1 +');
const options: RunManyOptions = { count: 1, fast: true };
const results: Float64Array = program.runMany([1, 2], options);
program.free();
const calculator = new Calculator();
const stack: Float64Array = calculator.stack;
calculator.free();
let kind: FailureKind | null = null;
try {
    evaluate('?');
} catch (error) {
    kind = error instanceof RPNError ? error.kind : null;
}

// @ts-expect-error: texts are strings
evaluate(42);

console.log(results, stack, kind, version);
