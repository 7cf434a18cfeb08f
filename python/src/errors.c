/* Failures as exceptions: the classes live in kelvaro_rpn/_errors.py. */
#include "extension.h"

int errors_init(module_state *state)
{
    static const char *const names[KELVARO_RPN_OUT_OF_MEMORY + 1] = {
        "RPNError", "InvalidCharacterError", "StackUnderflowError", "StackOverflowError",
        "OutOfMemoryError"};
    PyObject *errors = PyImport_ImportModule("kelvaro_rpn._errors");
    if (errors == NULL) {
        return -1;
    }
    for (int i = 0; i <= KELVARO_RPN_OUT_OF_MEMORY; ++i) {
        Py_XSETREF(state->errors[i], PyObject_GetAttrString(errors, names[i]));
        if (state->errors[i] == NULL) {
            Py_DECREF(errors);
            return -1;
        }
    }
    Py_DECREF(errors);
    /* Each class's status and name are the library's, written here alone. */
    for (int status = KELVARO_RPN_INVALID_CHARACTER; status <= KELVARO_RPN_OUT_OF_MEMORY;
         ++status) {
        PyObject *number = PyLong_FromLong(status);
        PyObject *name = PyUnicode_FromString(kelvaro_rpn_status_name((kelvaro_rpn_status)status));
        const int failed = number == NULL || name == NULL ||
                           PyObject_SetAttrString(state->errors[status], "status", number) < 0 ||
                           PyObject_SetAttrString(state->errors[status], "name", name) < 0;
        Py_XDECREF(number);
        Py_XDECREF(name);
        if (failed) {
            return -1;
        }
    }
    return 0;
}

static PyObject *raise_error(const module_state *state, kelvaro_rpn_status status,
                             PyObject *message, PyObject *offset, PyObject *byte)
{
    PyObject *cls = state->errors[0];
    if (status >= KELVARO_RPN_INVALID_CHARACTER && status <= KELVARO_RPN_OUT_OF_MEMORY) {
        cls = state->errors[status];
    }
    if (message != NULL && offset != NULL && byte != NULL) {
        PyObject *error = PyObject_CallFunctionObjArgs(cls, message, offset, byte, NULL);
        if (error != NULL) {
            PyErr_SetObject(cls, error);
            Py_DECREF(error);
        }
    }
    Py_XDECREF(message);
    Py_XDECREF(offset);
    Py_XDECREF(byte);
    return NULL;
}

/* The legacy line without its newline. A byte that is not UTF-8 shows as \xNN. */
static PyObject *message_of(const kelvaro_rpn_outcome *outcome, const char *text, size_t length)
{
    char line[KELVARO_RPN_MESSAGE_SIZE];
    size_t size = kelvaro_rpn_format_message(outcome, text, length, line, sizeof line);
    if (size >= sizeof line) {
        size = sizeof line - 1;
    }
    if (size > 0 && line[size - 1] == '\n') {
        --size;
    }
    return PyUnicode_DecodeUTF8(line, (Py_ssize_t)size, "backslashreplace");
}

PyObject *errors_raise(const module_state *state, const kelvaro_rpn_outcome *outcome,
                       const char *text, size_t length)
{
    PyObject *byte = Py_None;
    if (outcome->offset < length) {
        byte = PyLong_FromLong((unsigned char)text[outcome->offset]);
    } else {
        Py_INCREF(byte);
    }
    return raise_error(state, outcome->status, message_of(outcome, text, length),
                       PyLong_FromSize_t(outcome->offset), byte);
}

PyObject *errors_raise_push_overflow(const module_state *state)
{
    const kelvaro_rpn_outcome outcome = {KELVARO_RPN_STACK_OVERFLOW, 0.0, 0};
    Py_INCREF(Py_None);
    Py_INCREF(Py_None);
    return raise_error(state, KELVARO_RPN_STACK_OVERFLOW, message_of(&outcome, NULL, 0), Py_None,
                       Py_None);
}
