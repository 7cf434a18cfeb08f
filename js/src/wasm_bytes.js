// The module's bytes, which travel inside the package's JavaScript as base64
// (wasm_binary.js, written at build time).
import wasmBase64 from './wasm_binary.js';

export function wasmBytes() {
    const binary = atob(wasmBase64);
    const bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; ++i) {
        bytes[i] = binary.charCodeAt(i);
    }
    return bytes;
}
