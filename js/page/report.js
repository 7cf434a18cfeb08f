// Failures and warnings as the page shows them, under the field they are about.
import { describeFailure } from './failure.js';

export function show(element, visible) {
    element.hidden = !visible;
}

// The failure box `box` (caret, message) for an RPNError on `text`, or hidden.
export function showFailure(box, text, error) {
    show(box, error !== null);
    if (error !== null) {
        const { line, caret, message } = describeFailure(text, error);
        box.querySelector('.caret').textContent = `${line}\n${caret}`;
        box.querySelector('.message').textContent = message;
    }
}

// A text whose `quoted` pieces are code, as nodes.
export function withCode(text) {
    return text.split('`').map((piece, i) => {
        if (i % 2 === 0) {
            return piece;
        }
        const code = document.createElement('code');
        code.textContent = piece;
        return code;
    });
}

export function showWarnings(list, texts) {
    list.replaceChildren(...texts.map((text) => {
        const item = document.createElement('li');
        item.append(...withCode(text));
        return item;
    }));
    show(list, texts.length > 0);
}
