// The try-it page in Debian's Chromium, headless: what a person typing sees.
//   KELVARO_RPN_PACKAGE=DIR node --test page.test.js
// DIR is the package's folder (default: the npm preset's build).
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { once } from 'node:events';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

const serve = fileURLToPath(new URL('../serve.mjs', import.meta.url));
let server;
let browser;
let page;
const pageErrors = [];

before(async () => {
    const args = [serve, '--port', '0'];
    if (process.env.KELVARO_RPN_PACKAGE) {
        args.push('--package', process.env.KELVARO_RPN_PACKAGE);
    }
    server = spawn(process.execPath, args, { stdio: ['ignore', 'pipe', 'inherit'] });
    const [line] = await once(server.stdout, 'data');
    browser = await chromium.launch({
        executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
        headless: true,
        args: ['--no-sandbox'],
    });
    page = await browser.newPage();
    page.on('pageerror', (error) => pageErrors.push(error.message));
    page.on('console', (message) => {
        if (message.type() === 'error') {
            pageErrors.push(message.text());
        }
    });
    await page.goto(line.toString().trim());
    await page.waitForSelector('body[data-ready="true"]');
});

after(async () => {
    await browser?.close();
    server?.kill();
});

async function enter(text) {
    await page.fill('#expression', text);
}

async function seen() {
    return page.evaluate(() => {
        const visible = (id) => !document.getElementById(id).hidden;
        const text = (id) => document.getElementById(id).textContent;
        return {
            value: visible('result') ? text('value') : null,
            stack: visible('result')
                ? Array.from(document.querySelectorAll('#stack li'), (li) => li.textContent) : null,
            caret: visible('failure') ? text('caret') : null,
            message: visible('failure') ? text('message') : null,
            warnings: visible('warnings')
                ? Array.from(document.querySelectorAll('#warning-list li'), (li) => li.textContent)
                : [],
        };
    });
}

test('a good expression shows its value and the stack', async () => {
    await enter('3 4 + 2 *');
    assert.deepEqual(await seen(), { value: '14', stack: ['14'], caret: null, message: null,
                                     warnings: [] });
    await enter('1 2 3 +');
    assert.deepEqual(await seen(), {
        value: '5', stack: ['1', '5'], caret: null, message: null,
        warnings: ['1 value is left below the result'],
    });
});

test('a failure shows the message and a caret under the failing byte', async () => {
    // [text, caret line, message]
    const cases = [
        ['3 4 ?', '    ^', "Invalid character: '?' (at byte 4)"],
        ['3 +', '  ^', 'you have a stack underflow! (at byte 2)'],
        ['1 x', '   ^', 'you have a stack underflow! (at the end)'],
        ['1é 2 ?', '     ^', "Invalid character: '?' (at byte 6)"],
        ['1\t2 é', ' \t  ^', "Invalid character: 'é' (at byte 4)"],
    ];
    for (const [text, caret, message] of cases) {
        await enter(text);
        const shown = await seen();
        assert.equal(shown.value, null, text);
        assert.equal(shown.caret, `${text}\n${caret}`, text);
        assert.equal(shown.message, message, text);
    }
});

test('warnings show as the text is typed', async () => {
    await enter('');
    assert.deepEqual(await seen(), { value: null, stack: null, caret: null, message: null,
                                     warnings: [] });
    // Key by key: the page follows every keystroke.
    const after = [];
    for (const key of '2 sqrt') {
        await page.type('#expression', key);
        const shown = await seen();
        after.push([shown.value === null ? shown.message : shown.value, shown.warnings.length]);
    }
    assert.deepEqual(after.map(([, count]) => count), [0, 0, 0, 1, 1, 1]);
    assert.equal(after[1][0], '2');
    const shown = await seen();
    assert.equal(shown.value, '0.9092974268256817');  // "sqrt" is "s": the sine of 2
    assert.deepEqual(shown.warnings,
                     ["'qrt' after 's' is skipped (only a token's first byte counts)"]);
    await enter('2.5x 1,5 +');
    assert.deepEqual((await seen()).warnings, [
        "'x' after the number 2.5 is skipped (a number ends at its last digit)",
        "',5' after the number 1 is skipped (a number ends at its last digit)",
    ]);
});

test('the package runs in a module worker too', async () => {
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
