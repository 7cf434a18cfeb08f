// The try-it page: a desk calculator whose stack lasts between entries, the
// command table, and a plot of a formula of one input. Everything about the
// notation (commands, limits, messages) comes from the package.
import { Calculator, RPNError, formatShortest, version } from 'kelvaro-rpn';
import { readAddress, writeAddress } from './address.js';
import { Desk } from './desk.js';
import { History } from './history.js';
import { buildHelp, buildKeypad } from './keypad.js';
import { PLOT_DEFAULTS, plotFields, setPlotFields, watchPlot } from './plot-panel.js';
import { show, showFailure, showWarnings, withCode } from './report.js';
import { describeTails } from './warnings.js';

const $ = (id) => document.getElementById(id);
const entry = $('entry');
const desk = new Desk();
const history = new History();

function note(text) {
    $('note').textContent = text;
    show($('note'), text !== '');
}

// ---- The address ---------------------------------------------------------

function saveAddress() {
    const plot = plotFields();
    const isDefault = Object.keys(PLOT_DEFAULTS).every((k) => plot[k] === PLOT_DEFAULTS[k]);
    const fields = { expr: desk.entries.join(' '), ...(isDefault ? {} : plot) };
    if (fields.expr === '') {
        delete fields.expr;
    }
    window.history.replaceState(null, '', writeAddress(fields) || location.pathname);
}

// ---- The desk calculator -------------------------------------------------

function showStack() {
    const stack = desk.stack;
    $('stack').replaceChildren(...Array.from(stack, (value, i) => {
        const item = document.createElement('li');
        item.textContent = formatShortest(value);
        item.className = i === stack.length - 1 ? 'top' : '';
        return item;
    }));
    $('stack').scrollTop = $('stack').scrollHeight;  // the top in view
    $('depth').textContent = `${stack.length} of ${Calculator.capacity}`;
    $('value').textContent = stack.length === 0 ? 'empty' : formatShortest(stack.at(-1));
    $('value').classList.toggle('long', $('value').textContent.length > 12);
    $('copy').disabled = stack.length === 0;
    $('undo').disabled = !desk.canUndo;
    $('clear').disabled = stack.length === 0;
}

function showHistory() {
    $('history').replaceChildren(...history.entries.slice(-8).reverse().map((text) => {
        const button = document.createElement('button');
        button.type = 'button';
        button.className = 'recall';
        button.textContent = text;
        button.setAttribute('aria-label', `Recall ${text}`);
        button.addEventListener('click', () => setEntry(text));
        const item = document.createElement('li');
        item.append(button);
        return item;
    }));
}

function fitEntry() {
    entry.rows = Math.min(entry.value.split('\n').length, 6);
}

// What the entry line would do, as it is typed: its value or its failure on
// the stack as it stands, and what the notation skips in it.
function updateEntry() {
    fitEntry();
    const text = entry.value;
    let failure = null;
    show($('preview'), false);
    if (text.trim() !== '') {
        try {
            const { value, stack } = desk.preview(text);
            $('preview').textContent = stack.length === 0 ? 'Enter empties the stack'
                : `Enter gives ${formatShortest(value)}`;
            show($('preview'), true);
        } catch (error) {
            if (!(error instanceof RPNError)) {
                throw error;
            }
            failure = error;
        }
    }
    showFailure($('entry-failure'), text, failure);
    showWarnings($('entry-warnings'), describeTails(text));
}

function setEntry(text) {
    entry.value = text;
    entry.focus();
    entry.setSelectionRange(text.length, text.length);
    updateEntry();
}

// Evaluates the entry line on the stack; `remember` puts it in the history
// (an address's entries are not the user's typing).
function enter(remember = true) {
    const text = entry.value;
    if (text.trim() === '') {
        note('Type an entry first: numbers and commands, as in 3 4 +.');
        return;
    }
    try {
        desk.enter(text);
    } catch (error) {
        if (!(error instanceof RPNError)) {
            throw error;
        }
        showFailure($('entry-failure'), text, error);
        note('Nothing changed: the stack is as it was.');
        return;
    }
    if (remember) {
        note(history.add(text) ? ''
            : 'The browser keeps no history here: this entry is not saved.');
        showHistory();
    }
    setEntry('');
    showStack();
    saveAddress();
}

function undo() {
    note(desk.undo() ? '' : 'Nothing to undo.');
    showStack();
    saveAddress();
}

function clearStack() {
    desk.clear();
    note('Stack cleared; Undo brings it back.');
    showStack();
    saveAddress();
}

// Puts a command on the entry line at the cursor, as a token of its own.
function insert(command) {
    const { value, selectionStart, selectionEnd } = entry;
    const before = value.slice(0, selectionStart);
    const after = value.slice(selectionEnd);
    const separator = (piece) => piece === '' || /[ \t]$/.test(piece);
    const text = command === ' ' || command === '\n' ? command
        : `${separator(before) ? '' : ' '}${command}${/^[ \t]/.test(after) ? '' : ' '}`;
    entry.value = before + text + after;
    const cursor = before.length + text.length;
    entry.focus();
    entry.setSelectionRange(cursor, cursor);
    updateEntry();
}

async function copyValue() {
    const text = $('value').textContent;
    try {
        await navigator.clipboard.writeText(text);
        note(`Copied ${text}.`);
    } catch {
        note('The browser did not allow copying: select the value and copy it.');
    }
}

entry.addEventListener('input', updateEntry);
entry.addEventListener('keydown', (event) => {
    const { key, shiftKey, ctrlKey, metaKey, altKey } = event;
    const { value, selectionStart, selectionEnd } = entry;
    let recalled = null;
    if (key === 'Enter' && !shiftKey) {
        enter();
    } else if (key === 'Escape') {
        setEntry('');
    } else if (key === 'ArrowUp' && !value.slice(0, selectionStart).includes('\n')) {
        recalled = history.step(-1, value);
    } else if (key === 'ArrowDown' && !value.slice(selectionEnd).includes('\n')) {
        recalled = history.step(1, value);
    } else if (key === 'z' && (ctrlKey || metaKey) && !altKey && !shiftKey && value === '') {
        undo();
    } else {
        return;
    }
    event.preventDefault();
    if (recalled !== null) {
        setEntry(recalled);
    }
});
$('enter').addEventListener('click', () => {
    enter(true);
    entry.focus();
});
$('undo').addEventListener('click', undo);
$('clear').addEventListener('click', clearStack);
$('copy').addEventListener('click', copyValue);

// ---- Loading -------------------------------------------------------------

// The state an address describes: the entries on an empty stack, the plot.
function applyAddress() {
    const { fields, broken } = readAddress(location.hash);
    setPlotFields(fields);
    if (desk.entries.length > 0 || desk.stack.length > 0) {
        desk.clear();
    }
    if (fields.expr !== undefined) {
        entry.value = fields.expr;
        enter(false);
    }
    showStack();
    updateEntry();
    if (broken.length > 0) {
        note(`The address's ${broken.join(', ')} could not be read (broken %-encoding).`);
    }
}

$('version').textContent = version;
// The notation's one surprise, in the words a warning would use.
$('first-character').replaceChildren(...withCode(`${describeTails('0 sin')[0]}.`));
buildKeypad($('keypad'), insert);
buildHelp($('commands'), setEntry);
watchPlot(saveAddress);
showHistory();
applyAddress();
window.addEventListener('hashchange', applyAddress);
entry.disabled = false;
entry.focus();
document.body.dataset.ready = 'true';
