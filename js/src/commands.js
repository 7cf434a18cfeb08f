// The notation's commands as the library lists them (kelvaro_rpn_commands):
// the one table that keypads, help and documentation are made from.
import { wasm } from './module.js';
import { allocate } from './memory.js';
import { readCString } from './text.js';

// A kelvaro_rpn_command in wasm32: the byte, then three string addresses
// (wasm/layout.c checks the layout).
const COMMAND_SIZE = 16;

function readTable() {
    const countSlot = allocate(4);
    const table = wasm._kelvaro_rpn_commands(countSlot);
    const count = wasm.HEAPU32[countSlot >> 2];
    wasm._free(countSlot);
    const rows = [];
    for (let i = 0, at = table; i < count; ++i, at += COMMAND_SIZE) {
        const words = wasm.HEAPU32;
        rows.push(Object.freeze({
            command: String.fromCharCode(wasm.HEAPU8[at]),
            name: readCString(words[(at + 4) >> 2]),
            meaning: readCString(words[(at + 8) >> 2]),
            example: readCString(words[(at + 12) >> 2]),
        }));
    }
    return Object.freeze(rows);
}

// The table is constant for the life of the module: read once.
const table = readTable();

// [{command, name, meaning, example}] in the library's order; `command` is
// the one character that stands for it (' ' and '\n' for the separators,
// whose example is '').
export function commands() {
    return table;
}
