// The package's declarations as a TypeScript user meets them. tsc --strict
// must accept every line, and refuse each line marked @ts-expect-error (so a
// declaration that accepts anything fails this check too).
import { Calculator, Program, RPNError, check, commands, compile, evaluate, formatFixed,
         formatShortest, memoryInUse, version } from 'kelvaro-rpn';
import type { Command, FailureKind, Warning, WarningKind } from 'kelvaro-rpn';

const value: number = evaluate('3 4 + 2 *');
const warnings: Warning[] = check('2 sqrt');
const kind: WarningKind = warnings[0].kind;
const offsets: number[] = warnings.map((w) => w.offset + w.length + w.index);

try {
    evaluate('?');
} catch (error) {
    if (error instanceof RPNError) {
        const failure: FailureKind = error.kind;
        const where: number = error.offset + error.index;
        const byte: number | null = error.byte;
        const text: string = error.message + error.character + failure + where + String(byte);
        console.log(text);
    }
}

const program = compile('2 ^ 3 * 1 +');
const inputs: number = program.inputs;
const one: number = program.run(2) + program.outputs(1);
const many: Float64Array = program.runMany(new Float64Array([1, 2]));
program.runMany(new Float64Array(2), 1, new Float64Array(2));
const mixed: Float64Array[] = [program.runMany([1, 2]), program.runMany(new Int32Array(2)),
                               program.runMany(new BigInt64Array(2), { count: 2, fast: true }),
                               program.runMany(new Float32Array(2), { into: new Float64Array(2) })];
program.free();

const calculator = new Calculator();
calculator.push(1);
const top: number = calculator.evaluate('2 +');
const stack: Float64Array = calculator.stack;
const depth: number = calculator.depth;
const freed: boolean = calculator.freed;
calculator.clear();
calculator.free();

const texts: string[] = [formatFixed(1), formatFixed(1, 2), formatShortest(0.1), version];
const bytes: number = memoryInUse();
const table: readonly Command[] = commands();
const keys: string[] = table.map((row) => row.command + row.name + row.meaning + row.example);
const capacity: number = Calculator.capacity;

// @ts-expect-error: texts are strings
evaluate(42);
// @ts-expect-error: check takes a string
check(new Uint8Array(1));
// @ts-expect-error: runMany takes numbers
program.runMany(['1', '2']);
// @ts-expect-error: results are doubles
program.runMany([1, 2], { into: new Float32Array(2) });
// @ts-expect-error: fast is true or false
program.runMany([1, 2], { fast: 1 });
// @ts-expect-error: run takes numbers
program.run('1');
// @ts-expect-error: programs come from compile()
new Program();
// @ts-expect-error: push takes a number
calculator.push('1');
// @ts-expect-error: the stack is read-only
calculator.stack = new Float64Array(0);
// @ts-expect-error: kinds are the library's names
const wrong: FailureKind = 'underflow';
// @ts-expect-error: formatShortest takes a number
formatShortest('1');
// @ts-expect-error: the command table is read-only
table[0].name = 'plus';

console.log(value, kind, offsets, inputs, one, many, mixed, top, stack, depth, freed, texts, bytes,
            wrong, keys, capacity);
