// The entries evaluated, newest last, kept in localStorage so they outlast
// the tab, and a cursor for stepping through them with the arrow keys.
const KEY = 'kelvaro-rpn.history';
const KEPT = 200;

function load() {
    try {
        const saved = JSON.parse(localStorage.getItem(KEY) ?? '[]');
        return Array.isArray(saved) ? saved.filter((entry) => typeof entry === 'string') : [];
    } catch {
        // Storage off, or not ours: start with none.
        return [];
    }
}

export class History {
    constructor() {
        this.entries = load();
        this.cursor = this.entries.length;  // entries.length: the draft
        this.draft = '';
    }

    // Adds an entry (not twice in a row) and returns to the draft. Returns
    // false when the browser refused to keep it.
    add(entry) {
        if (this.entries.at(-1) !== entry) {
            this.entries.push(entry);
            this.entries.splice(0, this.entries.length - KEPT);
        }
        this.cursor = this.entries.length;
        this.draft = '';
        try {
            localStorage.setItem(KEY, JSON.stringify(this.entries));
            return true;
        } catch {
            return false;
        }
    }

    // The entry one step older (-1) or newer (+1) than the one shown, or
    // null when there is none; `shown` is kept as the draft when leaving it.
    step(direction, shown) {
        const next = this.cursor + direction;
        if (next < 0 || next > this.entries.length) {
            return null;
        }
        if (this.cursor === this.entries.length) {
            this.draft = shown;
        }
        this.cursor = next;
        return next === this.entries.length ? this.draft : this.entries[next];
    }
}
