// The page's state in the address's fragment, so that copying the address
// reproduces what is on screen: #expr=<entries>&plot=<formula>&from=<a>&to=<b>.
// Values are URL-encoded with encodeURIComponent and read with
// decodeURIComponent, never as form data: a '+' typed into the address bar is
// the add command, not a space.

// The fragment's fields, {name: text}; a field whose encoding is broken is
// left out (and named in `broken`).
export function readAddress(hash) {
    const fields = {};
    const broken = [];
    for (const part of hash.replace(/^#/, '').split('&')) {
        if (part === '') {
            continue;
        }
        const equals = part.indexOf('=');
        const name = equals < 0 ? part : part.slice(0, equals);
        try {
            fields[name] = decodeURIComponent(equals < 0 ? '' : part.slice(equals + 1));
        } catch {
            broken.push(name);
        }
    }
    return { fields, broken };
}

// The fragment for `fields`, in the order given ('' for none).
export function writeAddress(fields) {
    const parts = Object.entries(fields)
        .map(([name, text]) => `${name}=${encodeURIComponent(text)}`);
    return parts.length === 0 ? '' : `#${parts.join('&')}`;
}
