// Room in the module's memory for arguments and results. Allocated once and
// reused, so that a call allocates nothing in the common case; grown when a
// call needs more. Any allocation may grow the module's memory, which
// replaces its buffer: read wasm.HEAPU8 and friends afresh after one.
import { wasm } from './module.js';

export const OUTCOME_STATUS = 0;
export const OUTCOME_VALUE = 8;
export const OUTCOME_OFFSET = 16;
export const WARNING_SIZE = 12;

// One kelvaro_rpn_outcome for every call (wasm/layout.c checks the layout).
export const outcome = wasm._malloc(24);

export function outcomeStatus() {
    return wasm.HEAP32[(outcome + OUTCOME_STATUS) >> 2];
}

export function outcomeValue() {
    return wasm.HEAPF64[(outcome + OUTCOME_VALUE) >> 3];
}

export function outcomeOffset() {
    return wasm.HEAPU32[(outcome + OUTCOME_OFFSET) >> 2];
}

// A block that only grows: `ensure(bytes)` returns its address, with at
// least `bytes` bytes there. Old contents are not kept.
export class ScratchBlock {
    constructor(bytes) {
        this.capacity = bytes;
        this.address = allocate(bytes);
    }

    ensure(bytes) {
        if (bytes > this.capacity) {
            const capacity = Math.max(bytes, this.capacity * 2);
            const address = allocate(capacity);
            wasm._free(this.address);
            this.address = address;
            this.capacity = capacity;
        }
        return this.address;
    }
}

export function outOfMemory(what) {
    return new RangeError(`kelvaro-rpn: out of WebAssembly memory for ${what}`);
}

// The module's memory stops at 2 GiB (js/CMakeLists.txt), and malloc takes a
// 32-bit size: a larger request would wrap into a small one.
const MAXIMUM_ALLOCATION = 2 ** 31 - 1;

export function allocate(bytes) {
    const address = bytes <= MAXIMUM_ALLOCATION ? wasm._malloc(bytes) : 0;
    if (address === 0) {
        throw outOfMemory(`${bytes} bytes`);
    }
    return address;
}

// Doubles: inputs, results and stacks. 64 KiB holds a chunk of runMany.
export const DOUBLES_CHUNK = 8192;
export const doubles = new ScratchBlock(DOUBLES_CHUNK * 8);
