// Numbers as text, exactly as the library writes them.
import { wasm } from './module.js';
import { describe } from './text.js';

const FIXED_SIZE = 416;
const buffer = wasm._malloc(FIXED_SIZE);

function readAscii(length) {
    return String.fromCharCode(...wasm.HEAPU8.subarray(buffer, buffer + length));
}

export function checkNumber(value, what) {
    if (typeof value !== 'number') {
        throw new TypeError(`kelvaro-rpn: ${what} must be a number, not ${describe(value)}`);
    }
}

// "%.*f" in the C locale: formatFixed(2.5, 3) is "2.500"; NaN is "nan".
export function formatFixed(value, decimals = 6) {
    checkNumber(value, 'the value');
    checkNumber(decimals, 'decimals');
    if (!Number.isInteger(decimals) || decimals < 0 || decimals > 99) {
        throw new RangeError(
            `kelvaro-rpn: decimals must be a whole number from 0 to 99, not ${String(decimals)}`);
    }
    return readAscii(wasm._kelvaro_rpn_format_fixed(value, decimals, buffer, FIXED_SIZE));
}

// The shortest text that reads back as the same double.
export function formatShortest(value) {
    checkNumber(value, 'the value');
    return readAscii(wasm._kelvaro_rpn_format_shortest(value, buffer, FIXED_SIZE));
}
