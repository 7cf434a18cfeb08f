// The plot's fields (formula, From, To) and what they draw, redrawn as they
// are typed and when the plot's width changes.
import { RPNError, evaluate, formatShortest } from 'kelvaro-rpn';
import { describeFailure } from './failure.js';
import { run } from './plot.js';
import { draw, drawNothing } from './plot-view.js';
import { showFailure, showWarnings } from './report.js';
import { describeTails } from './warnings.js';

const $ = (id) => document.getElementById(id);
const ids = { plot: 'formula', from: 'from', to: 'to' };

// What an address without plot fields shows.
export const PLOT_DEFAULTS = { plot: 's', from: '-10', to: '10' };

// {plot, from, to} as typed.
export function plotFields() {
    return Object.fromEntries(Object.entries(ids).map(([field, id]) => [field, $(id).value]));
}

// A range end, read as the library reads a number; {value} or {problem}.
function readBound(name, text) {
    if (text.trim() === '') {
        return { problem: `${name} is empty.` };
    }
    try {
        const value = evaluate(text);
        return Number.isFinite(value) ? { value }
            : { problem: `${name} is ${formatShortest(value)}, not a finite number.` };
    } catch (error) {
        if (!(error instanceof RPNError)) {
            throw error;
        }
        return { problem: `${name}: ${describeFailure(text, error).message}` };
    }
}

function updatePlot() {
    const formula = $('formula').value;
    const from = readBound('From', $('from').value);
    const to = readBound('To', $('to').value);
    let failure = null;
    const warnings = describeTails(formula);
    if (formula.trim() === '') {
        drawNothing('Type a formula to plot it.');
    } else if (from.problem || to.problem) {
        drawNothing([from.problem, to.problem].filter(Boolean).join(' '));
    } else if (!(from.value < to.value)) {
        drawNothing('From must be less than To.');
    } else {
        try {
            const result = run(formula, from.value, to.value);
            if (result.inputs > 1) {
                drawNothing(`${formula} needs ${result.inputs} inputs; a plot gives it one, x.`);
            } else {
                if (result.outputs > 1) {
                    warnings.push(`It leaves ${result.outputs} values: the plot shows the top one.`);
                }
                draw(formula, result);
            }
        } catch (error) {
            if (!(error instanceof RPNError)) {
                throw error;
            }
            failure = error;
            drawNothing('The formula does not compile.');
        }
    }
    showFailure($('plot-failure'), formula, failure);
    showWarnings($('plot-warnings'), warnings);
}

// Fills in the fields (the defaults for those not given) and draws.
export function setPlotFields(fields) {
    for (const [field, id] of Object.entries(ids)) {
        $(id).value = fields[field] ?? PLOT_DEFAULTS[field];
    }
    updatePlot();
}

// Redraws as the fields are typed, then calls `changed`.
export function watchPlot(changed) {
    for (const id of Object.values(ids)) {
        $(id).addEventListener('input', () => {
            updatePlot();
            changed();
        });
    }
    // Labels keep their size: the drawing is laid out for the width shown.
    let width = 0;
    new ResizeObserver(([{ contentRect }]) => {
        if (Math.abs(contentRect.width - width) >= 1) {
            width = contentRect.width;
            updatePlot();
        }
    }).observe($('plot'));
}
