// Writes a WebAssembly module's bytes as an ES module whose default export is
// their base64 text: node embed_wasm.mjs core.wasm wasm_binary.js
import { readFileSync, writeFileSync } from 'node:fs';

const [input, output] = process.argv.slice(2);
if (!input || !output) {
    console.error('usage: node embed_wasm.mjs MODULE.wasm OUTPUT.js');
    process.exit(2);
}
const base64 = readFileSync(input).toString('base64');
writeFileSync(output,
    '// The WebAssembly module of kelvaro-rpn, base64. Generated at build time.\n' +
    `export default '${base64}';\n`);
