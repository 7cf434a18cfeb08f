// The keypad and the help table, both made from the library's command list:
// a command added to the library gets its key and its row here unasked.
import { commands } from 'kelvaro-rpn';

// How a key shows the separators, which have no glyph of their own.
const shownAs = new Map([[' ', '␣'], ['\n', '⏎']]);

export function keyLabel(command) {
    return shownAs.get(command) ?? command;
}

function element(tag, properties = {}, ...children) {
    const node = document.createElement(tag);
    Object.assign(node, properties);
    node.append(...children);
    return node;
}

// One button per command; `insert(command)` is called with its character.
export function buildKeypad(container, insert) {
    container.replaceChildren(...commands().map(({ command, name, meaning }) => {
        const key = element('button', { type: 'button', className: 'key', title: meaning },
                            element('span', { className: 'glyph' }, keyLabel(command)),
                            element('span', { className: 'name' }, name));
        key.dataset.command = command;
        key.setAttribute('aria-label', `${name}: ${meaning}`);
        key.addEventListener('click', () => insert(command));
        return key;
    }));
}

// One row per command; an example's button hands it to `tryExample`.
export function buildHelp(body, tryExample) {
    body.replaceChildren(...commands().map(({ command, name, meaning, example }) => {
        const cell = element('td');
        if (example !== '') {
            const button = element('button', { type: 'button', className: 'example' },
                                   element('code', {}, example));
            button.setAttribute('aria-label', `Put ${example} on the entry line`);
            button.addEventListener('click', () => tryExample(example));
            cell.append(button);
        }
        return element('tr', {},
                       element('td', {}, element('kbd', {}, keyLabel(command))),
                       element('td', {}, element('strong', {}, name), ' ',
                               element('span', { className: 'meaning' }, meaning)),
                       cell);
    }));
}
