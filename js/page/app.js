// The try-it page: evaluates what is typed at every keystroke and shows the
// value and the stack, or the failure with a caret under the failing
// character, and the warnings.
import { Calculator, RPNError, check, evaluate, formatShortest, version } from 'kelvaro-rpn';
import { describeWarning } from './warnings.js';

const $ = (id) => document.getElementById(id);
const input = $('expression');
const calculator = new Calculator();

function show(id, visible) {
    $(id).hidden = !visible;
}

// The caret line: the text's own tabs kept, so that the caret lines up.
function caretLine(text, index) {
    return [...text.slice(0, index)].map((c) => (c === '\t' ? '\t' : ' ')).join('') + '^';
}

function showFailure(text, error) {
    $('caret').textContent = `${text}\n${caretLine(text, error.index)}`;
    const where = error.byte === null ? 'at the end' : `at byte ${error.offset}`;
    $('message').textContent = `${error.message} (${where})`;
}

function showResult(value) {
    $('value').textContent = formatShortest(value);
    $('stack').replaceChildren(...Array.from(calculator.stack, (v) => {
        const item = document.createElement('li');
        item.textContent = formatShortest(v);
        return item;
    }));
}

function update() {
    const text = input.value;
    show('result', false);
    show('failure', false);
    if (text.trim() !== '') {
        try {
            const value = evaluate(text);
            // The same text on an empty calculator, for the stack it leaves.
            calculator.clear();
            calculator.evaluate(text);
            showResult(value);
            show('result', true);
        } catch (error) {
            if (!(error instanceof RPNError)) {
                throw error;
            }
            showFailure(text, error);
            show('failure', true);
        }
    }
    const warnings = check(text);
    $('warning-list').replaceChildren(...warnings.map((warning) => {
        const item = document.createElement('li');
        item.textContent = describeWarning(text, warning);
        return item;
    }));
    show('warnings', warnings.length > 0);
}

$('version').textContent = version;
input.addEventListener('input', update);
input.disabled = false;
input.focus();
update();
document.body.dataset.ready = 'true';
