// Failures as exceptions: one class, carrying where and what failed.
import { wasm } from './module.js';
import { OUTCOME_OFFSET, OUTCOME_STATUS, outcome, outcomeOffset, outcomeStatus } from './memory.js';
import { byteAt, characterAt, indexOf, readCString, text } from './text.js';

// The library's own names: "invalid character", "stack underflow",
// "stack overflow".
const kinds = new Map();
for (let status = 1; status <= 3; ++status) {
    kinds.set(status, readCString(wasm._kelvaro_rpn_status_name(status)));
}

export class RPNError extends Error {
    constructor(message, { kind, offset, index, byte, character }) {
        super(message);
        this.name = 'RPNError';
        this.kind = kind;
        this.offset = offset;
        this.index = index;
        this.byte = byte;
        this.character = character;
    }
}

// The library's message line, without its newline. The library names the one
// failing byte; for a byte that starts a character of several bytes, the
// message names the character.
const MESSAGE_SIZE = 32;
const message = wasm._malloc(MESSAGE_SIZE);

function libraryMessage(byte, character) {
    const length = wasm._kelvaro_rpn_format_message(outcome, text.address, text.length,
                                                     message, MESSAGE_SIZE);
    const bytes = wasm.HEAPU8.subarray(message, message + Math.min(length, MESSAGE_SIZE - 1));
    let line = String.fromCharCode(...bytes).replace(/\n$/, '');
    if (byte !== null && byte > 0x7f) {
        line = line.replace(`'${String.fromCharCode(byte)}'`, `'${character}'`);
    }
    return line;
}

// The failure the last call left in `outcome`, on the current text.
export function failure() {
    const offset = outcomeOffset();
    const byte = byteAt(offset);
    const character = characterAt(offset);
    return new RPNError(libraryMessage(byte, character), {
        kind: kinds.get(outcomeStatus()),
        offset,
        index: indexOf(offset),
        byte,
        character,
    });
}

// A failure that no text caused (a push onto a full stack), in the same form.
export function failureOf(status, offset) {
    wasm.HEAP32[(outcome + OUTCOME_STATUS) >> 2] = status;
    wasm.HEAPU32[(outcome + OUTCOME_OFFSET) >> 2] = offset;
    text.length = 0;
    text.ascii = true;
    return failure();
}
