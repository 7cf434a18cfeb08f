// The desk calculator: one Calculator whose stack lasts from entry to entry,
// the entries that built it (for the address) and a snapshot before each
// change, for undo. A failed entry changes nothing.
import { Calculator } from 'kelvaro-rpn';

const UNDO_KEPT = 100;

export class Desk {
    #calculator = new Calculator();
    // What evaluating the live entries, joined by spaces, on an empty stack
    // gives again: the stack as it stands.
    entries = [];
    #undo = [];

    get stack() {
        return this.#calculator.stack;
    }

    // The text on the stack as it stands; throws RPNError and changes nothing
    // when it fails.
    enter(text) {
        const before = this.#snapshot();
        const value = this.#calculator.evaluate(text);
        this.#remember(before);
        this.entries.push(text);
        return value;
    }

    // What enter(text) would give, leaving the stack alone: {value, stack}, or
    // throws as enter would.
    preview(text) {
        const trial = new Calculator();
        try {
            for (const value of this.#calculator.stack) {
                trial.push(value);
            }
            return { value: trial.evaluate(text), stack: trial.stack };
        } finally {
            trial.free();
        }
    }

    clear() {
        this.#remember(this.#snapshot());
        this.#calculator.clear();
        this.entries = [];
    }

    get canUndo() {
        return this.#undo.length > 0;
    }

    // Back to the stack before the last entry or clear; false when there is
    // nothing to undo.
    undo() {
        const last = this.#undo.pop();
        if (last === undefined) {
            return false;
        }
        this.#calculator.clear();
        for (const value of last.stack) {
            this.#calculator.push(value);
        }
        this.entries = last.entries;
        return true;
    }

    #snapshot() {
        return { stack: this.#calculator.stack, entries: [...this.entries] };
    }

    #remember(snapshot) {
        this.#undo.push(snapshot);
        this.#undo.splice(0, this.#undo.length - UNDO_KEPT);
    }
}
