// A text compiled once and run on many inputs. Like a Calculator it lives in
// the module's memory: free() it when done (the registry frees one that is
// collected first).
import { wasm } from './module.js';
import { DOUBLES_CHUNK, ScratchBlock, doubles, outcome, outcomeValue } from './memory.js';
import { failure } from './errors.js';
import { checkNumber } from './format.js';
import { describe, releaseText, text, writeText } from './text.js';

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
    // i's value, NaN where it failed. `results` may be given, to be filled.
    runMany(inputs, count = this.inputs, into = undefined) {
        const address = this.#live();
        if (!(inputs instanceof Float64Array)) {
            throw new TypeError(`kelvaro-rpn: runMany takes a Float64Array, not ${describe(inputs)}`);
        }
        checkCount(count);
        if (count === 0) {
            throw new RangeError('kelvaro-rpn: runMany needs at least one input per run');
        }
        if (inputs.length % count !== 0) {
            throw new RangeError(
                `kelvaro-rpn: ${inputs.length} inputs are not whole runs of ${count}`);
        }
        const runs = inputs.length / count;
        let output = into;
        if (output === undefined) {
            output = new Float64Array(runs);
        } else if (!(output instanceof Float64Array) || output.length !== runs) {
            throw new TypeError(`kelvaro-rpn: runMany fills a Float64Array of ${runs} results`);
        }
        // In chunks, so that the module's memory stays the same size whatever
        // the array's length.
        const chunk = Math.max(1, Math.floor(DOUBLES_CHUNK / count));
        const inputAddress = doubles.ensure(chunk * count * 8);
        const resultAddress = results.ensure(chunk * 8);
        for (let first = 0; first < runs; first += chunk) {
            const take = Math.min(chunk, runs - first);
            wasm.HEAPF64.set(inputs.subarray(first * count, (first + take) * count),
                             inputAddress >> 3);
            wasm._kelvaro_rpn_program_run_many(address, inputAddress, count, take,
                                               resultAddress, 0);
            output.set(wasm.HEAPF64.subarray(resultAddress >> 3, (resultAddress >> 3) + take),
                       first);
        }
        return output;
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

function checkCount(count) {
    checkNumber(count, 'the input count');
    if (!Number.isInteger(count) || count < 0) {
        throw new RangeError(`kelvaro-rpn: the input count must be a whole number, not ${count}`);
    }
}

// Compiles the text; throws for an invalid character.
export function compile(string) {
    writeText(string);
    try {
        if (wasm._kelvaro_rpn_compile(text.address, text.length, programSlot, outcome) !== 0) {
            throw failure();
        }
        return new Program(fromCompile, wasm.HEAPU32[programSlot >> 2]);
    } finally {
        releaseText();
    }
}
