// One-shot evaluation and checking of a text.
import { wasm } from './module.js';
import { WARNING_SIZE, ScratchBlock, outcome, outcomeValue } from './memory.js';
import { failure } from './errors.js';
import { indexOf, releaseText, text, writeText } from './text.js';

export function evaluate(string) {
    writeText(string);
    try {
        if (wasm._kelvaro_rpn_evaluate(text.address, text.length, outcome) === 0) {
            return outcomeValue();
        }
        throw failure();
    } finally {
        releaseText();
    }
}

const WARNING_KINDS = [undefined, 'command tail', 'number tail', 'values left'];
const warnings = new ScratchBlock(16 * WARNING_SIZE);

export function check(string) {
    writeText(string);
    try {
        let capacity = warnings.capacity / WARNING_SIZE;
        let count = wasm._kelvaro_rpn_check(text.address, text.length, warnings.address,
                                            capacity);
        if (count > capacity) {
            capacity = count;
            warnings.ensure(count * WARNING_SIZE);
            count = wasm._kelvaro_rpn_check(text.address, text.length, warnings.address,
                                            capacity);
        }
        const words = wasm.HEAPU32;
        const found = [];
        for (let i = 0, at = warnings.address >> 2; i < count; ++i, at += 3) {
            const offset = words[at + 1];
            found.push({
                kind: WARNING_KINDS[words[at]],
                offset,
                length: words[at + 2],
                index: indexOf(offset),
            });
        }
        return found;
    } finally {
        releaseText();
    }
}
