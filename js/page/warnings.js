// A warning in words, as the rpn program puts it.
const encoder = new TextEncoder();
const decoder = new TextDecoder();

// The piece of `text` from byte `start` to byte `end`.
function bytes(text, start, end) {
    return decoder.decode(encoder.encode(text).subarray(start, end));
}

// Where the token around UTF-16 index `index` starts.
function tokenStart(text, index) {
    let start = index;
    while (start > 0 && text[start - 1] !== ' ' && text[start - 1] !== '\t') {
        --start;
    }
    return start;
}

export function describeWarning(text, { kind, offset, length, index }) {
    const skipped = JSON.stringify(bytes(text, offset, offset + length)).slice(1, -1);
    const token = text.slice(tokenStart(text, index), index);
    switch (kind) {
    case 'command tail':
        return `'${skipped}' after '${token}' is skipped (only a token's first byte counts)`;
    case 'number tail':
        return `'${skipped}' after the number ${token} is skipped (a number ends at its last digit)`;
    default:
        return `${length} value${length === 1 ? ' is' : 's are'} left below the result`;
    }
}
