// A text compiled once and run on many inputs. Like a Calculator it lives in
// the module's memory: free() it when done (the registry frees one that is
// collected first).
import { wasm } from './module.js';
import { DOUBLES_CHUNK, ScratchBlock, doubles, outOfMemory, outcome, outcomeValue }
    from './memory.js';
import { failure } from './errors.js';
import { checkNumber } from './format.js';
import { describe, releaseText, text, writeText } from './text.js';
import { readFloat64Array, readValues } from './arrays.js';

const OUT_OF_MEMORY = 4;
const registry = new FinalizationRegistry((address) => {
    wasm._kelvaro_rpn_program_destroy(address);
});

// The program's address, written by kelvaro_rpn_compile.
const programSlot = wasm._malloc(4);
const results = new ScratchBlock(DOUBLES_CHUNK * 8);

// Only compile() makes programs: an address from anywhere else would be freed
// and run as one.
const fromCompile = Symbol('compile');

export class Program {
    #address;

    constructor(token, address) {
        if (token !== fromCompile) {
            throw new TypeError('kelvaro-rpn: programs come from compile(text)');
        }
        this.#address = address;
        registry.register(this, address, this);
    }

    #live() {
        if (this.#address === 0) {
            throw new Error('kelvaro-rpn: this Program has been freed');
        }
        return this.#address;
    }

    // The fewest inputs it runs on without an underflow.
    get inputs() {
        return wasm._kelvaro_rpn_program_inputs(this.#live());
    }

    // How many values it leaves when run on `count` inputs (0 for too few).
    outputs(count) {
        const address = this.#live();
        checkCount(count);
        return wasm._kelvaro_rpn_program_outputs(address, count);
    }

    // The value, as evaluating the text with `inputs` pushed first (the first
    // the bottom) gives it; throws as that would.
    run(...inputs) {
        const address = this.#live();
        const count = inputs.length;
        const at = doubles.ensure(count * 8) >> 3;
        const heap = wasm.HEAPF64;
        for (let i = 0; i < count; ++i) {
            checkNumber(inputs[i], `input ${i}`);
            heap[at + i] = inputs[i];
        }
        if (wasm._kelvaro_rpn_program_run(address, at << 3, count, 0, outcome) === 0) {
            return outcomeValue();
        }
        // No text: the failure names no byte.
        text.length = 0;
        text.ascii = true;
        throw failure();
    }

    // Runs it once for every `count` values of `inputs` (run i on
    // inputs[i * count] to inputs[i * count + count - 1]): results[i] is run
    // i's value, NaN where it failed. `inputs` is any typed array or array of
    // numbers; `into`, a Float64Array, is filled when given. The options form:
    // runMany(inputs, { count, into, fast }).
    runMany(inputs, count = undefined, into = undefined) {
        let fast = false;
        if (count !== null && typeof count === 'object') {
            ({ count, into, fast = false } = count);
            if (typeof fast !== 'boolean') {
                throw new TypeError(
                    `kelvaro-rpn: fast must be true or false, not ${describe(fast)}`);
            }
        }
        // Everything that can run the caller's code is over before the
        // program is looked up: nothing after this can free it.
        let values = readValues(inputs, 'the inputs');
        let output = into === undefined ? null : readFloat64Array(into);
        if (into !== undefined && output === null) {
            throw new TypeError(
                `kelvaro-rpn: runMany fills a Float64Array, not ${describe(into)}`);
        }
        const address = this.#live();
        if (count === undefined) {
            count = Math.max(1, wasm._kelvaro_rpn_program_inputs(address));
        }
        checkCount(count);
        if (count === 0) {
            throw new RangeError('kelvaro-rpn: runMany needs at least one input per run');
        }
        if (values.length % count !== 0) {
            throw new RangeError(
                `kelvaro-rpn: ${values.length} inputs are not whole runs of ${count}`);
        }
        const runs = values.length / count;
        if (output === null) {
            into = new Float64Array(runs);
            output = readFloat64Array(into);
        } else if (output.length !== runs) {
            throw new TypeError(`kelvaro-rpn: runMany fills a Float64Array of ${runs} results, ` +
                                `not ${output.length}`);
        }
        if (runs === 0) {
            return into;
        }
        // Results as if every input had been read first, however the two
        // arrays overlap: the chunks below would otherwise read results.
        if (values.overlaps(output)) {
            values = values.copy();
        }
        // In chunks, so that the module's memory stays the same size whatever
        // the array's length.
        const chunk = Math.max(1, Math.floor(DOUBLES_CHUNK / count));
        const inputAddress = doubles.ensure(chunk * count * 8);
        const resultAddress = results.ensure(chunk * 8);
        const runMany = fast ? wasm._kelvaro_rpn_program_run_many_fast
            : wasm._kelvaro_rpn_program_run_many;
        const heap = wasm.HEAPF64;
        for (let first = 0; first < runs; first += chunk) {
            const take = Math.min(chunk, runs - first);
            values.copyInto(heap, inputAddress >> 3, first * count, take * count);
            runMany(address, inputAddress, count, take, resultAddress, 0);
            output.copyFrom(new Float64Array(heap.buffer, resultAddress, take), first);
        }
        return into;
    }

    get freed() {
        return this.#address === 0;
    }

    free() {
        if (this.#address !== 0) {
            registry.unregister(this);
            wasm._kelvaro_rpn_program_destroy(this.#address);
            this.#address = 0;
        }
    }
}

if (typeof Symbol.dispose === 'symbol') {
    Program.prototype[Symbol.dispose] = Program.prototype.free;
}

// Counts cross into the module as 32-bit integers: a larger one would wrap.
const MAXIMUM_COUNT = 2 ** 31 - 1;

function checkCount(count) {
    checkNumber(count, 'the input count');
    if (!Number.isInteger(count) || count < 0 || count > MAXIMUM_COUNT) {
        throw new RangeError(
            `kelvaro-rpn: the input count must be a whole number from 0 to ${MAXIMUM_COUNT}, ` +
            `not ${count}`);
    }
}

// Compiles the text; throws for an invalid character.
export function compile(string) {
    writeText(string);
    try {
        const status = wasm._kelvaro_rpn_compile(text.address, text.length, programSlot,
                                                 outcome);
        // Memory that ran out is JavaScript's RangeError, as for every other
        // allocation; any other failure is the text's, as evaluate reports it.
        if (status === OUT_OF_MEMORY) {
            throw outOfMemory(`a Program of ${text.length} bytes`);
        }
        if (status !== 0) {
            throw failure();
        }
        return new Program(fromCompile, wasm.HEAPU32[programSlot >> 2]);
    } finally {
        releaseText();
    }
}
