// kelvaro-rpn: arithmetic in reverse Polish notation, the C library compiled
// to WebAssembly. Ready when imported; every function is synchronous.
import { wasm } from './module.js';
import { readCString } from './text.js';

export { RPNError } from './errors.js';
export { evaluate, check } from './evaluate.js';
export { compile, Program } from './program.js';
export { Calculator } from './calculator.js';
export { commands } from './commands.js';
export { formatFixed, formatShortest } from './format.js';

// The library's version, as kelvaro_rpn_version() gives it ("1.0.0.1").
export const version = readCString(wasm._kelvaro_rpn_version());

// Bytes of the module's memory in use: live Calculators and Programs (about
// 2 KiB and a few hundred bytes each) and the package's own buffers. A count
// that keeps rising means objects that are never freed.
export function memoryInUse() {
    return wasm._kelvaro_js_heap_in_use();
}
