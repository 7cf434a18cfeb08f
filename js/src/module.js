// The WebAssembly module, instantiated once, when the package is first
// imported (top-level await): every function of the package is synchronous.
import createKelvaroModule from './core.mjs';
import { wasmBytes } from './wasm_bytes.js';

// Handing over the bytes means the module fetches and reads nothing itself.
export const wasm = await createKelvaroModule({ wasmBinary: wasmBytes() });
