// Texts go to the module as UTF-8, and the library's offsets are byte
// offsets into those bytes. A lone surrogate becomes U+FFFD's three bytes, as
// TextEncoder writes it.
import { wasm } from './module.js';
import { allocate } from './memory.js';

const encoder = new TextEncoder();
const decoder = new TextDecoder();

// The text of the call in progress: where its bytes are, how many, and
// whether every character was one byte (then offsets are indices too).
export const text = { address: 0, length: 0, ascii: true };

// Texts up to this many UTF-16 units are written to a block kept for reuse;
// a longer one gets a block of its own, freed when the call is over, so one
// huge text does not hold memory for the rest of the session.
const KEPT_UNITS = 1 << 14;
const kept = allocate(KEPT_UNITS * 3);

export function describe(value) {
    if (value === null) {
        return 'null';
    }
    if (typeof value === 'object') {
        return value.constructor?.name ?? 'an object';
    }
    return typeof value;
}

// Writes `string` into the module's memory and fills in `text`. Call
// releaseText() when the call that reads it is over.
export function writeText(string) {
    if (typeof string !== 'string') {
        throw new TypeError(`kelvaro-rpn: the text must be a string, not ${describe(string)}`);
    }
    // UTF-8 needs at most three bytes per UTF-16 unit.
    const units = string.length;
    text.address = units <= KEPT_UNITS ? kept : allocate(units * 3 || 1);
    const heap = wasm.HEAPU8;
    const address = text.address;
    // Short ASCII texts are the usual case: copied by hand they cost a fifth
    // of what TextEncoder does (measured with js/bench/bench.mjs).
    if (units <= 16) {
        let i = 0;
        for (; i < units; ++i) {
            const unit = string.charCodeAt(i);
            if (unit > 0x7f) {
                break;
            }
            heap[address + i] = unit;
        }
        if (i === units) {
            text.length = units;
            text.ascii = true;
            return;
        }
    }
    const { written } = encoder.encodeInto(string, address === kept ? keptView()
        : heap.subarray(address, address + units * 3));
    text.length = written;
    text.ascii = written === units;
}

// A view of the kept block, taken again when the memory has grown (which
// leaves old views empty).
let view = null;
function keptView() {
    if (view === null || view.byteLength === 0) {
        view = wasm.HEAPU8.subarray(kept, kept + KEPT_UNITS * 3);
    }
    return view;
}

export function releaseText() {
    if (text.address !== kept) {
        wasm._free(text.address);
        text.address = kept;
    }
}

// The byte at `offset` of the current text, or null at its end.
export function byteAt(offset) {
    return offset < text.length ? wasm.HEAPU8[text.address + offset] : null;
}

// The UTF-16 index in the string of the character whose UTF-8 bytes start at
// `offset` (the string's length for the text's length): every byte that does
// not continue a character starts one unit, a four-byte one two units.
export function indexOf(offset) {
    if (text.ascii) {
        return offset;
    }
    const heap = wasm.HEAPU8;
    let index = 0;
    for (let at = text.address, end = text.address + offset; at < end; ++at) {
        const byte = heap[at];
        if ((byte & 0xc0) !== 0x80) {
            index += byte >= 0xf0 ? 2 : 1;
        }
    }
    return index;
}

// The whole character whose first byte is at `offset` ('' at the end).
export function characterAt(offset) {
    if (offset >= text.length) {
        return '';
    }
    const heap = wasm.HEAPU8;
    const lead = heap[text.address + offset];
    let end = offset + 1;
    if (lead >= 0xc0) {
        while (end < text.length && (heap[text.address + end] & 0xc0) === 0x80 &&
               end - offset < 4) {
            ++end;
        }
    }
    return decoder.decode(heap.subarray(text.address + offset, text.address + end));
}

// A NUL-terminated string the library owns.
export function readCString(address) {
    const heap = wasm.HEAPU8;
    let end = address;
    while (heap[end] !== 0) {
        ++end;
    }
    return decoder.decode(heap.subarray(address, end));
}
