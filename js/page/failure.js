// A failure for people: the line of the text it is on, a caret under the
// character, and the library's message with the place as a column (a count
// of characters, as an editor shows it) rather than a byte offset.

// {line, caret, message} for an RPNError on `text`.
export function describeFailure(text, error) {
    const lineStart = text.lastIndexOf('\n', error.index - 1) + 1;
    const lineEnd = text.indexOf('\n', error.index);
    const line = text.slice(lineStart, lineEnd < 0 ? text.length : lineEnd);
    const before = [...text.slice(lineStart, error.index)];
    // The text's own tabs stay in the caret line, so that the caret lines up.
    const caret = before.map((c) => (c === '\t' ? '\t' : ' ')).join('') + '^';
    const lineNumber = text.slice(0, lineStart).split('\n').length;
    const where = error.byte === null ? 'at the end'
        : lineNumber > 1 ? `line ${lineNumber}, column ${before.length + 1}`
        : `column ${before.length + 1}`;
    return { line, caret, message: `${error.message} (${where})` };
}
