// Draws a sampled formula into the page's SVG: grid, tick labels, axis
// labels and the curve as one <path>.
import { formatShortest } from 'kelvaro-rpn';
import { SAMPLES, path, ticks, valueRange, view } from './plot.js';

const SVG = 'http://www.w3.org/2000/svg';
const $ = (id) => document.getElementById(id);

function shape(tag, attributes, text) {
    const node = document.createElementNS(SVG, tag);
    for (const [name, value] of Object.entries(attributes)) {
        node.setAttribute(name, String(value));
    }
    if (text !== undefined) {
        node.textContent = text;
    }
    return node;
}

// The view for the SVG's width on screen, set as its viewBox, and the plot
// area inside it.
function layout() {
    const svg = $('plot');
    const shown = view(svg.getBoundingClientRect().width || 640);
    svg.setAttribute('viewBox', `0 0 ${shown.width} ${shown.height}`);
    const area = {
        left: shown.left,
        right: shown.width - shown.right,
        top: shown.top,
        bottom: shown.height - shown.bottom,
    };
    const clip = $('plot-clip');
    clip.setAttribute('x', area.left);
    clip.setAttribute('y', area.top);
    clip.setAttribute('width', area.right - area.left);
    clip.setAttribute('height', area.bottom - area.top);
    return { shown, area };
}

function axes(from, to, range, { shown, area }) {
    const width = area.right - area.left;
    const height = area.bottom - area.top;
    const grid = [];
    const labels = [];
    for (const { value, label } of ticks(from, to, Math.max(3, Math.round(width / 90)))) {
        const x = area.left + ((value - from) / (to - from)) * width;
        grid.push(shape('line', { x1: x, x2: x, y1: area.top, y2: area.bottom,
                                  class: value === 0 ? 'zero' : 'grid' }));
        labels.push(shape('text', { x, y: area.bottom + 18, class: 'tick x' }, label));
    }
    for (const { value, label } of ticks(range.low, range.high,
                                             Math.max(3, Math.round(height / 55)))) {
        const y = area.top + ((range.high - value) / (range.high - range.low)) * height;
        grid.push(shape('line', { x1: area.left, x2: area.right, y1: y, y2: y,
                                  class: value === 0 ? 'zero' : 'grid' }));
        labels.push(shape('text', { x: area.left - 6, y: y + 4, class: 'tick y' }, label));
    }
    labels.push(shape('rect', { x: area.left, y: area.top, width, height, class: 'frame' }));
    labels.push(shape('text', { x: (area.left + area.right) / 2, y: shown.height - 8,
                                class: 'axis-label' }, 'x'));
    labels.push(shape('text', {
        x: 0, y: 0, class: 'axis-label',
        transform: `translate(14 ${(area.top + area.bottom) / 2}) rotate(-90)`,
    }, 'value'));
    $('plot-grid').replaceChildren(...grid);
    $('plot-axes').replaceChildren(...labels);
}

// An empty plot, with `why` as its caption.
export function drawNothing(why) {
    const { area } = layout();
    $('curve').setAttribute('d', '');
    $('plot-grid').replaceChildren();
    $('plot-axes').replaceChildren(shape('rect', {
        x: area.left, y: area.top, width: area.right - area.left,
        height: area.bottom - area.top, class: 'frame',
    }));
    $('plot-summary').textContent = why;
}

// The curve of {xs, ys} for `formula`, and a caption that says in words
// what it shows.
export function draw(formula, { xs, ys }) {
    $('plot').dataset.samples = SAMPLES;
    const frame = layout();
    const range = valueRange(ys);
    const from = xs[0];
    const to = xs.at(-1);
    const span = `x from ${formatShortest(from)} to ${formatShortest(to)}`;
    if (range === null) {
        drawNothing(`${formula} gives no finite value for ${span}.`);
        return;
    }
    axes(from, to, range, frame);
    const { d, points, pieces } = path(xs, ys, range, frame.shown);
    $('curve').setAttribute('d', d);
    const missing = xs.length - points;
    const finite = ys.filter(Number.isFinite);
    $('plot-summary').textContent =
        `${formula} for ${span}: ${points} points in ${pieces} ` +
        `piece${pieces === 1 ? '' : 's'}` +
        (missing > 0 ? `, ${missing} x with no finite value` : '') +
        `; values from ${formatShortest(Math.min(...finite))} ` +
        `to ${formatShortest(Math.max(...finite))}.`;
}
