// For the tests: a program compiled for one body and freed after it, so that
// a failing assertion leaves no program behind to count against memory.
import { compile } from 'kelvaro-rpn';

export function withProgram(text, body) {
    const program = compile(text);
    try {
        return body(program);
    } finally {
        program.free();
    }
}
