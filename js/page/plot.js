// A formula of one input over a range: sampled in one runMany call, then
// scaled into an SVG path whose gaps are the runs that failed or gave no
// finite value.
import { compile, formatFixed } from 'kelvaro-rpn';

// Enough for a smooth curve across the widest plot, few enough for one
// quick runMany; odd, so that the middle of a symmetric range is sampled.
export const SAMPLES = 801;

// The drawing's coordinate system for a plot `width` CSS pixels wide, so that
// labels keep their size on a phone, and the plot area's margins (room for
// the tick labels and the axis labels).
export function view(width) {
    const w = Math.max(280, Math.round(width));
    const height = Math.round(Math.min(Math.max(w * 0.62, 220), 440));
    return { width: w, height, left: 60, right: 14, top: 12, bottom: 44 };
}

export function sample(from, to) {
    const xs = new Float64Array(SAMPLES);
    const step = (to - from) / (SAMPLES - 1);
    for (let i = 0; i < SAMPLES; ++i) {
        xs[i] = i === SAMPLES - 1 ? to : from + i * step;
    }
    return xs;
}

// {xs, ys, outputs} for the formula over [from, to]; throws RPNError when it
// does not compile. `inputs` is how many inputs it needs (more than one
// cannot be plotted) and `outputs` how many values it leaves on one.
export function run(formula, from, to) {
    const program = compile(formula);
    try {
        const xs = sample(from, to);
        const { inputs } = program;
        const ys = inputs > 1 ? new Float64Array(SAMPLES).fill(NaN) : program.runMany(xs, 1);
        return { xs, ys, inputs, outputs: program.outputs(1) };
    } finally {
        program.free();
    }
}

// The range of values to show: all finite ones, unless a few spikes (near a
// pole) would flatten the rest; then the middle 96%.
export function valueRange(ys) {
    const finite = Array.from(ys).filter(Number.isFinite).sort((a, b) => a - b);
    if (finite.length === 0) {
        return null;
    }
    let low = finite[0];
    let high = finite.at(-1);
    const lowPart = finite[Math.floor(0.02 * (finite.length - 1))];
    const highPart = finite[Math.ceil(0.98 * (finite.length - 1))];
    if (highPart > lowPart && high - low > 10 * (highPart - lowPart)) {
        low = lowPart;
        high = highPart;
    }
    if (low === high) {
        const pad = low === 0 ? 1 : Math.abs(low) / 2;
        return { low: low - pad, high: high + pad };
    }
    const pad = (high - low) * 0.05;
    return { low: low - pad, high: high + pad };
}

// Round numbers for an axis from `low` to `high`: [{value, label}], about
// `count` of them, labelled with as many decimals as the step needs.
export function ticks(low, high, count) {
    const rough = (high - low) / count;
    const power = Math.floor(Math.log10(rough));
    const unit = 10 ** power;
    const step = [1, 2, 5, 10].map((m) => m * unit).find((s) => s >= rough) ?? 10 * unit;
    const decimals = Math.max(0, -Math.floor(Math.log10(step)));
    const found = [];
    for (let k = Math.ceil(low / step); k * step <= high; ++k) {
        const value = k * step + 0;  // + 0: no "-0"
        found.push({ value, label: formatFixed(value, Math.min(decimals, 99)) });
    }
    return found;
}

// The path's "d" for the values scaled into the plot area of `view`, {d, points,
// pieces}: a piece ends at a gap, or where the curve leaves the area on one
// side and comes back on the other (a pole, not a steep curve).
export function path(xs, ys, range, { width, height, left, right, top, bottom }) {
    const from = xs[0];
    const span = xs.at(-1) - from;
    const areaWidth = width - left - right;
    const areaHeight = height - top - bottom;
    const toX = (x) => left + ((x - from) / span) * areaWidth;
    // Values far outside are drawn just outside, where the clip hides them.
    const toY = (y) => {
        const at = top + ((range.high - y) / (range.high - range.low)) * areaHeight;
        return Math.min(Math.max(at, top - areaHeight), top + 2 * areaHeight);
    };
    const parts = [];
    let points = 0;
    let pieces = 0;
    let previousSide = null;
    for (let i = 0; i < xs.length; ++i) {
        const y = ys[i];
        if (!Number.isFinite(y)) {
            previousSide = null;
            continue;
        }
        const side = y > range.high ? 1 : y < range.low ? -1 : 0;
        const jump = previousSide !== null && side !== 0 && previousSide === -side;
        const command = previousSide === null || jump ? 'M' : 'L';
        if (command === 'M') {
            ++pieces;
        }
        parts.push(`${command}${toX(xs[i]).toFixed(1)} ${toY(y).toFixed(1)}`);
        ++points;
        previousSide = side;
    }
    return { d: parts.join(''), points, pieces };
}
