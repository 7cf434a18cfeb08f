// A calculator whose stack lasts from one evaluation to the next. Its stack
// lives in the module's memory, which the garbage collector does not manage:
// free() it when done. A calculator that is collected without that is freed
// then, by the registry, whenever the collector gets to it.
import { wasm } from './module.js';
import { doubles, outOfMemory, outcome, outcomeValue } from './memory.js';
import { failure, failureOf } from './errors.js';
import { checkNumber } from './format.js';
import { releaseText, text, writeText } from './text.js';

// The most values a stack holds, as the library sets it.
const CAPACITY = wasm._kelvaro_js_stack_capacity();
const STACK_OVERFLOW = 3;
const registry = new FinalizationRegistry((address) => {
    wasm._kelvaro_rpn_calculator_destroy(address);
});

export class Calculator {
    #address;

    constructor() {
        const address = wasm._kelvaro_rpn_calculator_create();
        if (address === 0) {
            throw outOfMemory('a Calculator');
        }
        this.#address = address;
        registry.register(this, address, this);
    }

    #live() {
        if (this.#address === 0) {
            throw new Error('kelvaro-rpn: this Calculator has been freed');
        }
        return this.#address;
    }

    // The text on the stack as it stands; NaN when the text empties it. A text
    // that fails leaves the stack as it was, and throws.
    evaluate(string) {
        const address = this.#live();
        writeText(string);
        try {
            if (wasm._kelvaro_rpn_calculator_evaluate(address, text.address, text.length, 0,
                                                      outcome) === 0) {
                return outcomeValue();
            }
            throw failure();
        } finally {
            releaseText();
        }
    }

    // Any number, infinities and NaN too; throws a stack overflow when full.
    push(value) {
        const address = this.#live();
        checkNumber(value, 'the value');
        if (wasm._kelvaro_rpn_calculator_push(address, value) !== 0) {
            throw failureOf(STACK_OVERFLOW, 0);
        }
    }

    // The most values the stack holds; a push or a text that goes beyond it
    // fails with a stack overflow.
    static get capacity() {
        return CAPACITY;
    }

    get depth() {
        return wasm._kelvaro_rpn_calculator_depth(this.#live());
    }

    // A copy of the stack, bottom first.
    get stack() {
        const address = this.#live();
        const values = doubles.ensure(CAPACITY * 8);
        const depth = wasm._kelvaro_rpn_calculator_values(address, values, CAPACITY);
        return wasm.HEAPF64.slice(values >> 3, (values >> 3) + depth);
    }

    clear() {
        wasm._kelvaro_rpn_calculator_clear(this.#live());
    }

    get freed() {
        return this.#address === 0;
    }

    // Frees the stack's memory; the calculator cannot be used after it.
    // Freeing twice does nothing.
    free() {
        if (this.#address !== 0) {
            registry.unregister(this);
            wasm._kelvaro_rpn_calculator_destroy(this.#address);
            this.#address = 0;
        }
    }
}

if (typeof Symbol.dispose === 'symbol') {
    Calculator.prototype[Symbol.dispose] = Calculator.prototype.free;
}
