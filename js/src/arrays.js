// Numbers from the caller's arrays, read without running the caller's code.
// A typed array's own methods and getters can be overridden by a subclass
// (subarray, length, set, a species constructor), and any of them could free
// a Program in the middle of a call. So a typed array is read through the
// built-in getters, which see only its internal slots, and through views
// made here over its buffer; any other array-like is copied out first,
// before the call looks at anything of its own.
import { describe } from './text.js';

const TypedArray = Object.getPrototypeOf(Uint8Array);
const getter = (name) => Object.getOwnPropertyDescriptor(TypedArray.prototype, name).get;
const tagOf = getter(Symbol.toStringTag);
const bufferOf = getter('buffer');
const byteOffsetOf = getter('byteOffset');
const lengthOf = getter('length');
const { set } = TypedArray.prototype;

// The built-in constructors, by the name the tag getter gives.
const constructors = new Map([Int8Array, Uint8Array, Uint8ClampedArray, Int16Array, Uint16Array,
                              Int32Array, Uint32Array, Float32Array, Float64Array,
                              BigInt64Array, BigUint64Array].map((type) => [type.name, type]));

// What a call reads or fills: a typed array's type and memory, taken once.
// `bigint`: the elements are BigInts, read one by one as the nearest double.
export class Values {
    constructor(array) {
        this.type = constructors.get(tagOf.call(array));
        this.buffer = bufferOf.call(array);
        this.byteOffset = byteOffsetOf.call(array);
        this.length = lengthOf.call(array);
        this.bigint = this.type === BigInt64Array || this.type === BigUint64Array;
    }

    // A view of our own over elements [first, first + count).
    view(first, count) {
        return new this.type(this.buffer, this.byteOffset + first * this.type.BYTES_PER_ELEMENT,
                             count);
    }

    // Copies elements [first, first + count) into `heap` (a Float64Array) at `at`.
    copyInto(heap, at, first, count) {
        const part = this.view(first, count);
        if (this.bigint) {
            for (let i = 0; i < count; ++i) {
                heap[at + i] = Number(part[i]);
            }
        } else {
            set.call(heap, part, at);
        }
    }

    // Copies `source` (a typed array of ours) into elements [first, ...).
    copyFrom(source, first) {
        set.call(this.view(first, lengthOf.call(source)), source);
    }

    // Whether writing to `other` could change what is still to be read here.
    overlaps(other) {
        const end = this.byteOffset + this.length * this.type.BYTES_PER_ELEMENT;
        const otherEnd = other.byteOffset + other.length * other.type.BYTES_PER_ELEMENT;
        return this.buffer === other.buffer && this.byteOffset < otherEnd &&
               other.byteOffset < end;
    }

    // The same numbers in memory of their own.
    copy() {
        return new Values(new this.type(this.view(0, this.length)));
    }
}

// The built-in type's name for a typed array, undefined for anything else.
export function typedArrayName(value) {
    return tagOf.call(value);
}

// Any typed array as it is; an Array or other array-like of numbers copied,
// each element checked to be a number.
export function readValues(values, what) {
    if (typedArrayName(values) !== undefined) {
        return new Values(values);
    }
    if (values === null || typeof values !== 'object' || typeof values.length !== 'number') {
        throw new TypeError(`kelvaro-rpn: ${what} must be an array of numbers or a typed ` +
                            `array, not ${describe(values)}`);
    }
    const length = values.length;
    if (!Number.isSafeInteger(length) || length < 0) {
        throw new RangeError(`kelvaro-rpn: ${what} has a length of ${length}`);
    }
    const copy = new Float64Array(length);
    for (let i = 0; i < length; ++i) {
        const value = values[i];
        if (typeof value !== 'number') {
            throw new TypeError(`kelvaro-rpn: ${what}[${i}] must be a number, not ` +
                                `${describe(value)}`);
        }
        copy[i] = value;
    }
    return new Values(copy);
}

// A Float64Array to be filled, as a view of our own.
export function readFloat64Array(array) {
    return typedArrayName(array) === 'Float64Array' ? new Values(array) : null;
}
