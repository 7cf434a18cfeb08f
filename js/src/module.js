// The WebAssembly module, instantiated once, when the package is first
// imported (top-level await): every function of the package is synchronous.
import createKelvaroModule from './core.mjs';
import wasmBase64 from './wasm_binary.js';

function decodeBase64(text) {
    const binary = atob(text);
    const bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; ++i) {
        bytes[i] = binary.charCodeAt(i);
    }
    return bytes;
}

// Handing over the bytes means the module fetches and reads nothing itself.
export const wasm = await createKelvaroModule({ wasmBinary: decodeBase64(wasmBase64) });
