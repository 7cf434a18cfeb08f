// Warnings in plain words, made from the warning's kind and the library's own
// name for the command: "`sqrt` is read as `s` (sine): only a token's first
// character counts".
import { check, commands } from 'kelvaro-rpn';

const encoder = new TextEncoder();
const decoder = new TextDecoder();
const names = new Map(commands().map((row) => [row.command, row.name]));

// The piece of `text` from byte `start` to byte `end`.
function bytes(text, start, end) {
    return decoder.decode(encoder.encode(text).subarray(start, end));
}

// Where the token around UTF-16 index `index` starts: after a space or a tab.
function tokenStart(text, index) {
    let start = index;
    while (start > 0 && text[start - 1] !== ' ' && text[start - 1] !== '\t') {
        --start;
    }
    return start;
}

// Shown in code quotes: a newline as the ⏎ it is typed with.
function quoted(piece) {
    return `\`${piece.replaceAll('\n', '⏎')}\``;
}

// A warning of 'command tail' or 'number tail' in words; null for
// 'values left', which only its reader can put in words.
export function describeTail(text, { kind, offset, length, index }) {
    if (kind !== 'command tail' && kind !== 'number tail') {
        return null;
    }
    const skipped = bytes(text, offset, offset + length);
    const start = tokenStart(text, index);
    const read = text.slice(start, index);
    const token = read + skipped;
    if (kind === 'command tail') {
        const name = names.has(read) ? ` (${names.get(read)})` : '';
        return `${quoted(token)} is read as ${quoted(read)}${name}: ` +
               'only a token\'s first character counts';
    }
    return `${quoted(token)} is read as the number ${read}: ` +
           `${quoted(skipped)} after it is skipped`;
}

// The text's command and number tails in words, in text order.
export function describeTails(text) {
    return check(text).map((warning) => describeTail(text, warning)).filter(Boolean);
}
