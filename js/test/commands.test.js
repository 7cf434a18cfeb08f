// commands(): the library's command table as the package hands it out, held
// against what evaluation does with each byte.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { Calculator, RPNError, commands, evaluate } from 'kelvaro-rpn';

const separators = [' ', '\n'];

test('every row has one character and three texts, and no command twice', () => {
    const table = commands();
    assert.ok(table.length > separators.length);
    for (const row of table) {
        assert.deepEqual(Object.keys(row), ['command', 'name', 'meaning', 'example']);
        assert.equal(row.command.length, 1, row.name);
        assert.ok(row.name !== '' && row.meaning !== '', row.command);
        assert.equal(row.example === '', separators.includes(row.command), row.name);
    }
    assert.equal(new Set(table.map((row) => row.command)).size, table.length);
    assert.equal(new Set(table.map((row) => row.name)).size, table.length);
});

test('rows read from the module\'s memory, first, last and in between', () => {
    const table = commands();
    const byCommand = new Map(table.map((row) => [row.command, row]));
    assert.deepEqual(table[0], { command: '+', name: 'add', meaning: 'b + a', example: '5 3 +' });
    assert.deepEqual(byCommand.get('s'),
                     { command: 's', name: 'sine', meaning: 'sin a (radians)', example: '0 s' });
    assert.deepEqual(byCommand.get('#'), {
        command: '#', name: 'show top', meaning: 'list a as "Top of stack: a"',
        example: '1 2 + #',
    });
    assert.deepEqual(table.at(-1).command, '\n');
});

test('every example evaluates and uses its command', () => {
    for (const { command, name, example } of commands()) {
        if (example !== '') {
            assert.ok(example.split(' ').some((token) => token[0] === command), name);
            assert.equal(typeof evaluate(example), 'number', name);
        }
    }
});

// Every printable ASCII character that is not a digit: a command exactly
// when the table lists it.
test('the table lists exactly the characters evaluation accepts', () => {
    const listed = new Set(commands().map((row) => row.command));
    for (let code = 0x21; code < 0x7f; ++code) {
        const character = String.fromCharCode(code);
        if (/[0-9]/.test(character)) {
            continue;
        }
        let invalid = false;
        try {
            evaluate(`4 2 ${character}`);
        } catch (error) {
            assert.ok(error instanceof RPNError);
            invalid = error.kind === 'invalid character';
        }
        assert.equal(listed.has(character), !invalid, character);
    }
});

test('the table is the same frozen one on every call', () => {
    const table = commands();
    assert.equal(commands(), table);
    assert.ok(Object.isFrozen(table) && table.every(Object.isFrozen));
    assert.throws(() => { table[0].name = 'plus'; }, TypeError);
});

test('Calculator.capacity values fit on a stack, one more overflows', () => {
    const calculator = new Calculator();
    try {
        assert.ok(Number.isInteger(Calculator.capacity) && Calculator.capacity > 0);
        calculator.evaluate('1 '.repeat(Calculator.capacity));
        assert.equal(calculator.depth, Calculator.capacity);
        assert.throws(() => calculator.push(1), { kind: 'stack overflow' });
        calculator.clear();
        assert.throws(() => calculator.evaluate('1 '.repeat(Calculator.capacity + 1)),
                      { kind: 'stack overflow' });
    } finally {
        calculator.free();
    }
});
