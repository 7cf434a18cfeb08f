// The try-it page in Debian's Chromium, headless: what a person using it sees.
//   KELVARO_RPN_PACKAGE=DIR KELVARO_PAGE_SCREENSHOTS=DIR node --test page.test.js
// The package is DIR (default: the npm preset's build). The screenshots go to
// KELVARO_PAGE_SCREENSHOTS (default: build/page-screenshots); the ones
// js/README.md shows are made with KELVARO_PAGE_SCREENSHOTS=js/page/screenshots.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { once } from 'node:events';
import { mkdirSync } from 'node:fs';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

const serve = fileURLToPath(new URL('../serve.mjs', import.meta.url));
const screenshots = process.env.KELVARO_PAGE_SCREENSHOTS ??
    fileURLToPath(new URL('../../build/page-screenshots', import.meta.url));
let server;
let browser;
let context;
let page;
let base;
const pageErrors = [];

function watch(target) {
    target.on('pageerror', (error) => pageErrors.push(error.message));
    target.on('console', (message) => {
        if (message.type() === 'error') {
            pageErrors.push(message.text());
        }
    });
    return target;
}

before(async () => {
    const args = [serve, '--port', '0'];
    if (process.env.KELVARO_RPN_PACKAGE) {
        args.push('--package', process.env.KELVARO_RPN_PACKAGE);
    }
    server = spawn(process.execPath, args, { stdio: ['ignore', 'pipe', 'inherit'] });
    const [line] = await once(server.stdout, 'data');
    base = line.toString().trim();
    browser = await chromium.launch({
        executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
        headless: true,
        args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
               '--disable-background-networking', '--disable-component-update',
               '--disable-sync'],
    });
    context = await browser.newContext({ viewport: { width: 1400, height: 900 } });
    await context.grantPermissions(['clipboard-read', 'clipboard-write'], { origin: base });
    page = watch(await context.newPage());
});

after(async () => {
    await browser?.close();
    server?.kill();
});

// A fresh load of the page at `fragment` (a reload, not a jump within it).
async function open(fragment = '', on = page) {
    await on.goto('about:blank');
    await on.goto(base + fragment);
    await on.waitForSelector('body[data-ready="true"]');
}

// The package as the page has it, for what the page must show of it.
function library(what) {
    return page.evaluate(async (expression) => {
        const rpn = await import('kelvaro-rpn');
        return new Function('rpn', `return ${expression}`)(rpn);
    }, what);
}

async function seen(on = page) {
    return on.evaluate(() => {
        const $ = (id) => document.getElementById(id);
        const shown = (id) => (!$(id).hidden ? $(id).textContent : null);
        const items = (id) => ($(id).hidden ? []
            : Array.from($(id).querySelectorAll('li'), (li) => li.textContent));
        return {
            stack: Array.from(document.querySelectorAll('#stack li'), (li) => li.textContent),
            value: $('value').textContent,
            depth: $('depth').textContent,
            entry: $('entry').value,
            preview: shown('preview'),
            caret: $('entry-failure').hidden ? null
                : $('entry-failure').querySelector('.caret').textContent,
            message: $('entry-failure').hidden ? null
                : $('entry-failure').querySelector('.message').textContent,
            warnings: items('entry-warnings'),
            note: shown('note'),
        };
    });
}

async function type(text) {
    await page.fill('#entry', text);
}

async function enter(text) {
    await page.fill('#entry', text);
    await page.press('#entry', 'Enter');
}

// The plot as drawn: the path's points split into its pieces, the caption,
// the plot's failure and warnings.
async function plotted(on = page) {
    return on.evaluate(() => {
        const $ = (id) => document.getElementById(id);
        const d = $('curve').getAttribute('d') ?? '';
        const pieces = d.split('M').filter(Boolean).map((piece) => piece.split('L')
            .map((point) => point.trim().split(' ').map(Number)));
        return {
            d,
            pieces,
            samples: Number($('plot').dataset.samples),
            summary: $('plot-summary').textContent,
            caret: $('plot-failure').hidden ? null
                : $('plot-failure').querySelector('.caret').textContent,
            message: $('plot-failure').hidden ? null
                : $('plot-failure').querySelector('.message').textContent,
            warnings: $('plot-warnings').hidden ? []
                : Array.from($('plot-warnings').querySelectorAll('li'), (li) => li.textContent),
            labels: Array.from(document.querySelectorAll('#plot text'), (t) => t.textContent),
            fields: ['formula', 'from', 'to'].map((id) => $(id).value),
        };
    });
}

test('the keypad and the help table are the library\'s command list', async () => {
    await open();
    const commands = await library('rpn.commands()');
    const keys = await page.$$eval('#keypad button', (buttons) => buttons.map((b) => ({
        command: b.dataset.command, label: b.getAttribute('aria-label'),
    })));
    assert.deepEqual(keys, commands.map(({ command, name, meaning }) => ({
        command, label: `${name}: ${meaning}`,
    })));
    const rows = await page.$$eval('#commands tr', (trs) => trs.map((tr) => ({
        name: tr.querySelector('strong').textContent,
        meaning: tr.querySelector('.meaning').textContent,
        example: tr.querySelector('.example')?.textContent ?? '',
    })));
    assert.deepEqual(rows, commands.map(({ name, meaning, example }) => ({
        name, meaning, example,
    })));
    // Each key inserts its command at the cursor, as a token of its own
    // (pressed in the page, all at once: a real click for each costs seconds).
    const inserted = await page.evaluate(() => {
        const entry = document.getElementById('entry');
        return Array.from(document.querySelectorAll('#keypad button'), (key) => {
            entry.value = '3 4';
            entry.setSelectionRange(3, 3);
            key.click();
            return entry.value;
        });
    });
    assert.deepEqual(inserted, commands.map(({ command }) => (
        command === ' ' || command === '\n' ? `3 4${command}` : `3 4 ${command} `)));
    await type('3 4');
    await page.evaluate(() => document.getElementById('entry').setSelectionRange(1, 1));
    await page.click('#keypad button[data-command="+"]');
    assert.equal((await seen()).entry, '3 + 4');
    assert.equal(await page.evaluate(() => document.activeElement.id), 'entry');
    // An example from the table goes onto the entry line.
    await page.click('#commands button.example >> nth=0');
    assert.equal((await seen()).entry, commands[0].example);
});

test('the stack lasts over entries; undo and clear', async () => {
    await open();
    const capacity = await library('rpn.Calculator.capacity');
    // [what is done, stack afterwards, entry line afterwards]
    const steps = [
        [() => enter('1 2'), ['1', '2'], ''],
        [() => enter('+'), ['3'], ''],
        [() => enter('4 *'), ['12'], ''],
        [() => enter('+ +'), ['12'], '+ +'],           // fails: nothing changes
        [() => page.press('#entry', 'Escape'), ['12'], ''],
        [() => page.press('#entry', 'Control+z'), ['3'], ''],
        [() => page.click('#undo'), ['1', '2'], ''],
        [() => page.click('#clear'), [], ''],
        [() => page.click('#undo'), ['1', '2'], ''],
        [() => enter('x x'), [], ''],                  // empties the stack
        [() => enter('5 0 /'), ['inf'], ''],
        [() => page.click('#undo'), [], ''],
    ];
    for (const [step, stack, entry] of steps) {
        await step();
        const shown = await seen();
        assert.deepEqual([shown.stack, shown.entry], [stack, entry], String(step));
        assert.equal(shown.value, stack.length === 0 ? 'empty' : stack.at(-1));
        assert.equal(shown.depth, `${stack.length} of ${capacity}`);
    }
    // Back through the clear to the first entry; the failed one is not there.
    await page.click('#undo');
    assert.deepEqual((await seen()).stack, ['1', '2']);
    await page.click('#undo');
    assert.deepEqual((await seen()).stack, []);
    assert.ok(await page.$eval('#undo', (button) => button.disabled));
    await page.press('#entry', 'Control+z');
    assert.equal((await seen()).note, 'Nothing to undo.');

    // As it is typed, the entry says what Enter would do on this stack.
    await enter('3');
    await type('2 *');
    assert.equal((await seen()).preview, 'Enter gives 6');
    await type('x');
    assert.equal((await seen()).preview, 'Enter empties the stack');
    await enter('+');
    assert.deepEqual(await seen(), {
        stack: ['3'], value: '3', depth: `1 of ${capacity}`, entry: '+', preview: null,
        caret: '+\n^', message: 'you have a stack underflow! (column 1)', warnings: [],
        note: 'Nothing changed: the stack is as it was.',
    });
    assert.deepEqual((await seen()).stack, ['3']);
});

test('a stack as deep as the library allows, and one value more', async () => {
    await open();
    const capacity = await library('rpn.Calculator.capacity');
    await enter('1 '.repeat(capacity));
    assert.equal((await seen()).depth, `${capacity} of ${capacity}`);
    await enter('1');
    const shown = await seen();
    assert.equal(shown.message, 'you have a stack overflow! (column 1)');
    assert.equal(shown.stack.length, capacity);
});

test('the history outlasts a reload and is recalled with the arrow keys', async () => {
    await open();
    await page.evaluate(() => localStorage.clear());
    await open();
    for (const text of ['1', '2', '2', '+']) {
        await enter(text);
    }
    await open();
    assert.deepEqual(await page.$$eval('#history button', (b) => b.map((x) => x.textContent)),
                     ['+', '2', '1']);
    await type('9');
    const recalled = [];
    for (const key of ['ArrowUp', 'ArrowUp', 'ArrowUp', 'ArrowUp', 'ArrowDown', 'ArrowDown',
                       'ArrowDown', 'ArrowDown']) {
        await page.press('#entry', key);
        recalled.push((await seen()).entry);
    }
    assert.deepEqual(recalled, ['+', '2', '1', '1', '2', '+', '9', '9']);
    await page.click('#history button >> nth=1');
    assert.equal((await seen()).entry, '2');
    // Up and down move between the lines of an entry of several.
    await type('1\n2');
    await page.press('#entry', 'ArrowUp');
    assert.equal((await seen()).entry, '1\n2');
});

test('an #expr= address reproduces the stack and the value', async () => {
    await open(`#expr=${encodeURIComponent('1 2 3 +')}`);
    assert.deepEqual((await seen()).stack, ['1', '5']);
    await enter('*');
    const address = await page.evaluate(() => location.hash);
    assert.equal(address, `#expr=${encodeURIComponent('1 2 3 + *')}`);
    const other = watch(await context.newPage());
    await open(address, other);
    assert.deepEqual(await seen(other), await seen(page));
    await other.close();
    // Typed into the address bar: a '+' is the add command, not a space.
    await open('#expr=3 4 +');
    assert.deepEqual([(await seen()).stack, (await seen()).value], [['7'], '7']);
    // An expression that fails stays on the entry line, with its failure.
    await open(`#expr=${encodeURIComponent('1 ?')}`);
    const shown = await seen();
    assert.deepEqual([shown.stack, shown.entry, shown.caret, shown.message],
                     [[], '1 ?', '1 ?\n  ^', "Invalid character: '?' (column 3)"]);
    await open('#expr=%E0%A4%A');
    assert.equal((await seen()).note, 'The address\'s expr could not be read (broken %-encoding).');
    // Editing the address in place takes the new state too.
    await page.evaluate(() => { location.hash = '#expr=2%203%20%5E'; });
    await page.waitForFunction(() => document.getElementById('value').textContent === '8');
});

test('a #plot= address draws the formula, with gaps where it has no value', async () => {
    // [formula, from, to, points, pieces]: from -400 to 400 the samples
    // are the whole numbers, so which ones fail is known.
    const cases = [
        ['2 ^', -400, 400, 801, 1],
        ['l', -400, 400, 400, 1],         // nothing below 0, -inf at 0
        ['1 ] /', -400, 400, 800, 2],     // inf at 0
        ['100 / S', -400, 400, 201, 1],   // asin of x/100: from -100 to 100 only
        ['2 ^ 100 - 0.5 ^', -400, 400, 782, 2],  // NaN from -9 to 9
    ];
    await open();
    for (const [formula, from, to, points, pieces] of cases) {
        // A jump within the page redraws as a load would (the #expr= test loads afresh).
        await page.evaluate((hash) => { location.hash = hash; },
                            `#plot=${encodeURIComponent(formula)}&from=${from}&to=${to}`);
        await page.waitForFunction((text) => document.getElementById('formula').value === text,
                                   formula);
        const plot = await plotted();
        assert.equal(plot.samples, 801);
        assert.deepEqual(plot.fields, [formula, String(from), String(to)]);
        assert.equal(plot.pieces.flat().length, points, formula);
        assert.equal(plot.pieces.length, pieces, formula);
        // Left to right, evenly spaced: a point for every sample that has one.
        const xs = plot.pieces.flat().map(([x]) => x);
        assert.ok(xs.every((x, i) => i === 0 || x > xs[i - 1]), formula);
        const steps = plot.pieces.flatMap((piece) => piece.slice(1)
            .map(([x], i) => x - piece[i][0]));
        assert.ok(Math.max(...steps) - Math.min(...steps) <= 0.11, formula);  // one decimal
        assert.ok(plot.labels.includes('x') && plot.labels.includes('value'), formula);
        assert.ok(plot.summary.startsWith(`${formula} for x from ${from} to ${to}: ` +
                                          `${points} points in ${pieces} piece`), plot.summary);
    }
    await open('#plot=s');
    const sine = await plotted();
    assert.deepEqual(sine.fields, ['s', '-10', '10']);
    assert.ok(['-10', '-5', '0', '5', '10'].every((tick) => sine.labels.includes(tick)));

    // Redrawn as it is typed, and the address follows.
    await page.fill('#formula', '2 ^');
    await page.fill('#to', '3');
    const typed = await plotted();
    assert.equal(typed.pieces.flat().length, 801);
    const address = await page.evaluate(() => location.hash);
    assert.equal(address, `#plot=${encodeURIComponent('2 ^')}&from=-10&to=3`);
    const other = watch(await context.newPage());
    await open(address, other);
    assert.equal((await plotted(other)).d, typed.d);
    await other.close();
    // An emptied formula stays empty when the address is loaded again.
    await page.fill('#formula', '');
    await open(await page.evaluate(() => location.hash));
    assert.deepEqual((await plotted()).fields, ['', '-10', '3']);
    assert.equal((await plotted()).summary, 'Type a formula to plot it.');
});

test('the plot says what it cannot draw', async () => {
    await open('#plot=s');
    // [formula, from, to, summary, caret, message, warnings]
    const cases = [
        ['2 ^ ?', '-10', '10', 'The formula does not compile.', '2 ^ ?\n    ^',
         "Invalid character: '?' (column 5)", []],
        ['+', '-10', '10', '+ needs 2 inputs; a plot gives it one, x.', null, null, []],
        ['2 ^', 'a', '1 x', "From: Invalid character: 'a' (column 1) " +
         'To: you have a stack underflow! (at the end)', null, null, []],
        ['2 ^', '5', '1', 'From must be less than To.', null, null, []],
        ['2 ^', '1e999', '1', 'From is inf, not a finite number.', null, null, []],
        ['1 ] - l', '2', '3', '1 ] - l gives no finite value for x from 2 to 3.', null, null,
         []],
        ['2 ^ 3', '-1', '1', null, null, null,
         ['It leaves 2 values: the plot shows the top one.']],
        ['2 ^x', '-1', '1', null, null, null,
         ['^x is read as ^ (power): only a token\'s first character counts']],
    ];
    for (const [formula, from, to, summary, caret, message, warnings] of cases) {
        await page.fill('#formula', formula);
        await page.fill('#from', from);
        await page.fill('#to', to);
        const plot = await plotted();
        if (summary !== null) {
            assert.deepEqual([plot.summary, plot.d], [summary, ''], formula);
        } else {
            assert.equal(plot.pieces.flat().length, plot.samples, formula);
        }
        assert.deepEqual([plot.caret, plot.message, plot.warnings], [caret, message, warnings],
                         formula);
    }
});

test('failures show a caret under the character and the column', async () => {
    await open();
    // [text, caret line, message]
    const cases = [
        ['3 4 ?', '3 4 ?\n    ^', "Invalid character: '?' (column 5)"],
        ['3 +', '3 +\n  ^', 'you have a stack underflow! (column 3)'],
        ['1 x x', '1 x x\n    ^', 'you have a stack underflow! (column 5)'],
        ['1é 2 ?', '1é 2 ?\n     ^', "Invalid character: '?' (column 6)"],
        ['1\t2 é', '1\t2 é\n \t  ^', "Invalid character: 'é' (column 5)"],
        ['1😀 ?', '1😀 ?\n   ^', "Invalid character: '?' (column 4)"],
        ['1\n2 ?', '2 ?\n  ^', "Invalid character: '?' (line 2, column 3)"],
    ];
    for (const [text, caret, message] of cases) {
        await type(text);
        const shown = await seen();
        assert.deepEqual([shown.preview, shown.caret, shown.message], [null, caret, message],
                         text);
    }
});

test('warnings read in plain words as the text is typed', async () => {
    await open();
    const counts = [];
    for (const key of '2 sqrt') {
        await page.type('#entry', key);
        counts.push((await seen()).warnings.length);
    }
    assert.deepEqual(counts, [0, 0, 0, 1, 1, 1]);
    const shown = await seen();
    assert.equal(shown.preview, 'Enter gives 0.9092974268256817');  // "sqrt" is "s": sin 2
    assert.deepEqual(shown.warnings,
                     ["sqrt is read as s (sine): only a token's first character counts"]);
    assert.deepEqual(await page.$$eval('#entry-warnings code', (c) => c.map((x) => x.textContent)),
                     ['sqrt', 's']);
    await type('2.5x 1,5 +');
    assert.deepEqual((await seen()).warnings, [
        '2.5x is read as the number 2.5: x after it is skipped',
        '1,5 is read as the number 1: ,5 after it is skipped',
    ]);
    await type('3\n4 +');
    assert.deepEqual((await seen()).warnings,
                     ['3⏎4 is read as the number 3: ⏎4 after it is skipped']);
    // Values left on the stack are what a desk calculator is for: no warning.
    await type('1 2 3');
    assert.deepEqual((await seen()).warnings, []);
});

test('the value is copied in one click', async () => {
    await open(`#expr=${encodeURIComponent('1 3 /')}`);
    await page.click('#copy');
    assert.equal(await page.evaluate(() => navigator.clipboard.readText()),
                 '0.3333333333333333');
    assert.equal((await seen()).note, 'Copied 0.3333333333333333.');
    await page.click('#clear');
    assert.ok(await page.$eval('#copy', (b) => b.disabled));
});

test('keyboard first: labelled controls, live regions, visible focus', async () => {
    await open();
    const unnamed = await page.evaluate(() => [
        ...Array.from(document.querySelectorAll('button'))
            .filter((b) => (b.getAttribute('aria-label') ?? b.textContent).trim() === '')
            .map((b) => b.outerHTML),
        ...Array.from(document.querySelectorAll('input, textarea'))
            .filter((f) => f.labels.length === 0).map((f) => f.id),
    ]);
    assert.deepEqual(unnamed, []);
    const live = await page.$$eval('[aria-live]', (nodes) => nodes.map((n) => n.id));
    for (const id of ['value', 'entry-status', 'plot-status', 'plot-summary']) {
        assert.ok(live.includes(id), id);
    }
    // From the entry line, Tab reaches the actions, then the keypad.
    await enter('1 2');
    const reached = [];
    await page.focus('#entry');
    for (let i = 0; i < 4; ++i) {
        await page.keyboard.press('Tab');
        reached.push(await page.evaluate(() => {
            const active = document.activeElement;
            return [active.id || active.dataset.command || active.tagName,
                    getComputedStyle(active).outlineStyle];
        }));
    }
    assert.deepEqual(reached.map(([id]) => id), ['enter', 'undo', 'clear', '+']);
    assert.ok(reached.every(([, outline]) => outline !== 'none'), JSON.stringify(reached));
    // A key pressed from the keyboard inserts its command and hands the line back.
    await type('1 2');
    await page.focus('#keypad button[data-command="+"]');
    await page.keyboard.press('Enter');
    assert.equal((await seen()).entry, '1 2 + ');
    assert.equal(await page.evaluate(() => document.activeElement.id), 'entry');
});

test('screenshots at 360 px and 1,400 px, light and dark', async () => {
    mkdirSync(screenshots, { recursive: true });
    // A browser of its own, for a history of just these entries.
    const fresh = await browser.newContext({ viewport: { width: 1400, height: 900 } });
    const shot = watch(await fresh.newPage());
    await open(`#plot=${encodeURIComponent('s 3 * 2 ^ 1 +')}&from=-5&to=5`, shot);
    for (const entry of ['3 4 +', '2 *', '10 3 /']) {
        await shot.fill('#entry', entry);
        await shot.press('#entry', 'Enter');
    }
    await shot.fill('#entry', '2 sqrt ^');
    // The page follows the window's width and the colour scheme as they change.
    for (const width of [360, 1400]) {
        await shot.setViewportSize({ width, height: width === 360 ? 1480 : 900 });
        for (const colorScheme of ['light', 'dark']) {
            await shot.emulateMedia({ colorScheme });
            assert.ok(await shot.evaluate((w) => document.scrollingElement.scrollWidth <= w, width),
                      `${width} px: nothing wider than the window`);
            await shot.screenshot({ path: join(screenshots, `page-${width}-${colorScheme}.png`) });
        }
    }
    await fresh.close();
});

test('the package runs in a module worker too', async () => {
    await open();
    const answer = await page.evaluate(async () => {
        const entry = new URL('kelvaro-rpn/src/index.js', location.href).href;
        const source = `import { evaluate, check } from ${JSON.stringify(entry)};
            let failure;
            try { evaluate('3 4 ?'); } catch (error) { failure = [error.kind, error.offset]; }
            postMessage([evaluate('3 4 + 2 *'), check('2 sqrt').length, failure]);`;
        const worker = new Worker(URL.createObjectURL(new Blob([source],
            { type: 'text/javascript' })), { type: 'module' });
        return new Promise((resolve, reject) => {
            worker.onmessage = (event) => resolve(event.data);
            worker.onerror = (event) => reject(new Error(event.message));
        });
    });
    assert.deepEqual(answer, [14, 1, ['invalid character', 4]]);
});

test('the page raised no errors', () => {
    assert.deepEqual(pageErrors, []);
});
