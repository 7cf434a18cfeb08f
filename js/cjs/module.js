// The WebAssembly module for require('kelvaro-rpn'), which cannot wait for a
// promise: it stands in for src/module.js in the CommonJS bundle
// (js/CMakeLists.txt). Node compiles and instantiates a module synchronously,
// and the factory goes on synchronously once the instance is handed to it,
// so the module is ready when the factory returns. Browsers keep the import,
// whose compile does not block a page.
import createKelvaroModule from './core.mjs';
import { wasmBytes } from './wasm_bytes.js';

// The factory fills in this object: it is the module. Without an
// import.meta.url to resolve its file name against, the factory is told the
// name as it is: nothing is read from it.
export const wasm = {
    locateFile: (name) => name,
    instantiateWasm(imports, receive) {
        const module = new WebAssembly.Module(wasmBytes());
        const instance = new WebAssembly.Instance(module, imports);
        receive(instance, module);
        return instance.exports;
    },
};
createKelvaroModule(wasm);
if (typeof wasm._malloc !== 'function') {
    throw new Error('kelvaro-rpn: the WebAssembly module did not start synchronously');
}
