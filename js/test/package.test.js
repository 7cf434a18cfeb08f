// The package as installed: what it exports, its version, and a quiet load.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import * as rpn from 'kelvaro-rpn';

const require = createRequire(import.meta.url);
const entry = require.resolve('kelvaro-rpn');
const manifest = JSON.parse(readFileSync(require.resolve('kelvaro-rpn/package.json'), 'utf8'));

test('exports exactly the documented names', () => {
    const expected = ['Calculator', 'Program', 'RPNError', 'check', 'commands', 'compile', 'evaluate',
                      'formatFixed', 'formatShortest', 'memoryInUse', 'version'];
    assert.deepEqual(Object.keys(rpn).sort(), expected);
    const declarations = readFileSync(new URL('../index.d.ts', import.meta.url), 'utf8');
    for (const name of expected) {
        assert.match(declarations, new RegExp(`export (function|class|const) ${name}\\b`), name);
    }
});

test('the manifest\'s version is the library\'s', () => {
    const [major, minor, patch, tweak] = rpn.version.split('.');
    const semver = `${major}.${minor}.${patch}` + (tweak && tweak !== '0' ? `+${tweak}` : '');
    assert.equal(manifest.version, semver);
    assert.match(rpn.version, /^\d+\.\d+\.\d+(\.\d+)?$/);
});

test('loading prints nothing and leaves the process\'s handlers alone', () => {
    const script = `
        const count = () => ['uncaughtException', 'unhandledRejection', 'exit', 'warning']
            .map((event) => process.listenerCount(event)).join(' ');
        const before = count();
        await import(${JSON.stringify(entry)});
        console.log(before === count() ? 'unchanged' : before + ' -> ' + count());`;
    const run = spawnSync(process.execPath, ['--input-type=module', '-e', script],
                          { encoding: 'utf8' });
    assert.deepEqual({ status: run.status, stdout: run.stdout, stderr: run.stderr },
                     { status: 0, stdout: 'unchanged\n', stderr: '' });
});

test('a failure thrown by the module does not end the process', () => {
    const script = `
        const { evaluate } = await import(${JSON.stringify(entry)});
        try { evaluate('?'); } catch (error) { console.log(error.kind); }
        Promise.reject(new Error('the host handles this')).catch(() => console.log('caught'));`;
    const output = execFileSync(process.execPath, ['--input-type=module', '-e', script],
                                { encoding: 'utf8' });
    assert.equal(output, 'invalid character\ncaught\n');
});
