// kelvaro-rpn: arithmetic in reverse Polish notation, the C library compiled
// to WebAssembly. The module is ready when the import resolves (top-level
// await); every function below is synchronous.
//
// Texts are passed to the library as UTF-8: every `offset` is a byte offset
// into the text's UTF-8 bytes, and `index` the same place as a UTF-16 index
// into the JavaScript string (what `string.slice` and a text field's cursor
// use). For ASCII texts the two are equal.

/** The library's names for its three failures. */
export type FailureKind = 'invalid character' | 'stack underflow' | 'stack overflow';

/** A text that fails, a push onto a full stack. */
export class RPNError extends Error {
    readonly name: 'RPNError';
    /** The library's message line without its newline: "Invalid character: '?'". */
    readonly message: string;
    readonly kind: FailureKind;
    /** The byte where the failing token starts; the text's length for an underflow at its end. */
    readonly offset: number;
    /** The same place as a UTF-16 index into the string. */
    readonly index: number;
    /** The byte at `offset`, 0 to 255; null at the end of the text. */
    readonly byte: number | null;
    /** The whole character that starts at `offset` ('' at the end). */
    readonly character: string;
}

/** The value of the text: the top of the stack at its end. Throws RPNError. */
export function evaluate(text: string): number;

export type WarningKind = 'command tail' | 'number tail' | 'values left';

export interface Warning {
    /** 'command tail': "sqrt" is "s"; 'number tail': "2.5x" is 2.5; 'values left': "1 2 3". */
    kind: WarningKind;
    /** The first byte skipped; for 'values left' the text's length. */
    offset: number;
    /** Bytes skipped; for 'values left' how many values are left below the result. */
    length: number;
    /**
     * `offset` as a UTF-16 index into the string; for a tail that starts inside a
     * character of several bytes (an invalid byte's token: "é2"), the next character's.
     */
    index: number;
}

/** Where the text probably does not say what it means, in text order. Never throws for a text. */
export function check(text: string): Warning[];

/** Any typed array (BigInts are read as the nearest double) or array of numbers. */
export type RunManyInputs = ArrayLike<number> | BigInt64Array | BigUint64Array;

export interface RunManyOptions {
    /** Inputs a run (default: the program's `inputs`, at least 1). */
    count?: number;
    /** A Float64Array of one element per run, to be filled and returned. */
    into?: Float64Array;
    /** Runs kelvaro_rpn_program_run_many_fast: a value may differ from the exact run's
     * in its last bits (each command's bound is in the C header); failures are the same. */
    fast?: boolean;
}

/** A text compiled once. Lives in WebAssembly memory: call free() when done. */
export class Program {
    private constructor();
    /** The fewest inputs it runs on without an underflow, its end included. */
    readonly inputs: number;
    /** How many values it leaves on `count` inputs (0 where that run fails). */
    outputs(count: number): number;
    /** The value with `inputs` on the stack first (the first at the bottom). Throws RPNError. */
    run(...inputs: number[]): number;
    /**
     * One run for every `count` values of `inputs` (default: `this.inputs`, at least 1;
     * at most 2^31 - 1): result i is run i's value, NaN where it failed. Fills `into` when
     * given (its length must be the number of runs); results are as if every input had
     * been read first, however `into` and `inputs` overlap.
     */
    runMany(inputs: RunManyInputs, count?: number, into?: Float64Array): Float64Array;
    runMany(inputs: RunManyInputs, options: RunManyOptions): Float64Array;
    readonly freed: boolean;
    /** Frees its memory; later calls throw. Freeing twice does nothing. */
    free(): void;
}

/** Compiles the text; throws RPNError for an invalid character. */
export function compile(text: string): Program;

/** A stack that lasts from one evaluation to the next. Call free() when done. */
export class Calculator {
    constructor();
    /** The text on the current stack: the new top, NaN if it empties the stack. On a failure the stack is left as it was. */
    evaluate(text: string): number;
    /** Pushes any number, infinities and NaN too. Throws RPNError ('stack overflow') when full (265 values). */
    push(value: number): void;
    /** The most values a stack holds (the library's limit); more fail with a stack overflow. */
    static readonly capacity: number;
    readonly depth: number;
    /** A copy of the stack, bottom first. */
    readonly stack: Float64Array;
    clear(): void;
    readonly freed: boolean;
    /** Frees its memory; later calls throw. Freeing twice does nothing. */
    free(): void;
}

/** One of the notation's commands, as the library lists them. */
export interface Command {
    /** The character that stands for it: the first character of its token ("s" for "sin"). */
    readonly command: string;
    /** "add" */
    readonly name: string;
    /** "b + a": a is the top of the stack, b the value below it. */
    readonly meaning: string;
    /** An expression that uses it, "5 3 +"; "" for the separators ' ' and '\n'. */
    readonly example: string;
}

/** Every command of the notation, in the library's order (a frozen table). */
export function commands(): readonly Command[];

/** `value` with `decimals` (0 to 99, default 6) digits after the point, as C's "%.*f": "14.000000", "nan", "-inf". */
export function formatFixed(value: number, decimals?: number): string;

/** The shortest text that reads back as the same number: "0.30000000000000004", "1e+22". */
export function formatShortest(value: number): string;

/** The library's version, "1.0.0.1". */
export const version: string;

/** Bytes of WebAssembly memory in use: live Calculators and Programs and the package's buffers. */
export function memoryInUse(): number;
