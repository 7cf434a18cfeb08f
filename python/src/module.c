/* kelvaro_rpn._core: the one-shot functions and the module itself. */
#include "extension.h"

static PyObject *evaluate(PyObject *module, PyObject *argument)
{
    text_arg text;
    if (text_get(argument, &text) < 0) {
        return NULL;
    }
    kelvaro_rpn_outcome outcome;
    PyObject *result = kelvaro_rpn_evaluate(text.bytes, text.length, &outcome) == KELVARO_RPN_OK
                           ? PyFloat_FromDouble(outcome.value)
                           : errors_raise(state_of_module(module), &outcome, text.bytes,
                                          text.length);
    text_release(&text);
    return result;
}

/* (kind, offset, length) triples; kelvaro_rpn.check makes them CheckWarnings. */
static PyObject *check(PyObject *module, PyObject *argument)
{
    (void)module;
    text_arg text;
    if (text_get(argument, &text) < 0) {
        return NULL;
    }
    kelvaro_rpn_warning room[16];
    kelvaro_rpn_warning *warnings = room;
    size_t count = kelvaro_rpn_check(text.bytes, text.length, room, 16);
    if (count > 16) {
        warnings = PyMem_New(kelvaro_rpn_warning, count);
        if (warnings == NULL) {
            text_release(&text);
            return PyErr_NoMemory();
        }
        kelvaro_rpn_check(text.bytes, text.length, warnings, count);
    }
    text_release(&text);
    PyObject *list = PyList_New((Py_ssize_t)count);
    for (size_t i = 0; list != NULL && i < count; ++i) {
        PyObject *item = Py_BuildValue("(inn)", (int)warnings[i].kind,
                                       (Py_ssize_t)warnings[i].offset,
                                       (Py_ssize_t)warnings[i].length);
        if (item == NULL) {
            Py_CLEAR(list);
            break;
        }
        PyList_SET_ITEM(list, (Py_ssize_t)i, item);
    }
    if (warnings != room) {
        PyMem_Free(warnings);
    }
    return list;
}

static PyObject *format_fixed(PyObject *module, PyObject *args, PyObject *kwargs)
{
    (void)module;
    static char *keywords[] = {"", "decimals", NULL};
    double value = 0.0;
    int decimals = 6;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "d|i:format_fixed", keywords, &value,
                                     &decimals)) {
        return NULL;
    }
    if (decimals < 0 || decimals > KELVARO_RPN_MAX_DECIMALS) {
        return PyErr_Format(PyExc_ValueError, "decimals must be 0 to %d, not %d",
                            KELVARO_RPN_MAX_DECIMALS, decimals);
    }
    char text[KELVARO_RPN_FIXED_SIZE];
    const size_t length = kelvaro_rpn_format_fixed(value, decimals, text, sizeof text);
    return PyUnicode_DecodeASCII(text, (Py_ssize_t)length, NULL);
}

static PyObject *format_shortest(PyObject *module, PyObject *argument)
{
    (void)module;
    const double value = PyFloat_AsDouble(argument);
    if (value == -1.0 && PyErr_Occurred()) {
        return NULL;
    }
    char text[KELVARO_RPN_SHORTEST_SIZE];
    const size_t length = kelvaro_rpn_format_shortest(value, text, sizeof text);
    return PyUnicode_DecodeASCII(text, (Py_ssize_t)length, NULL);
}

static PyObject *status_name(PyObject *module, PyObject *argument)
{
    (void)module;
    const long number = PyLong_AsLong(argument);
    if (number == -1 && PyErr_Occurred()) {
        return NULL;
    }
    /* Any int is a status here: the library names the ones it does not know. */
    const kelvaro_rpn_status status = (kelvaro_rpn_status)(int)number;
    return PyUnicode_FromString(kelvaro_rpn_status_name(status));
}

static PyMethodDef methods[] = {
    {"evaluate", evaluate, METH_O, "evaluate(text, /) -> float"},
    {"check", check, METH_O, "check(text, /) -> list[tuple[int, int, int]]"},
    {"compile", program_compile, METH_O, "compile(text, /) -> Program"},
    {"format_fixed", (PyCFunction)(void (*)(void))format_fixed, METH_VARARGS | METH_KEYWORDS,
     "format_fixed(value, /, decimals=6) -> str"},
    {"format_shortest", format_shortest, METH_O, "format_shortest(value, /) -> str"},
    {"status_name", status_name, METH_O, "status_name(status, /) -> str"},
    {"_make_ufunc", ufunc_make, METH_VARARGS, "_make_ufunc(program, name, /) -> numpy.ufunc"},
    {NULL, NULL, 0, NULL},
};

module_state *state_of_module(PyObject *module)
{
    return (module_state *)PyModule_GetState(module);
}

module_state *state_of_type(PyTypeObject *type)
{
    return state_of_module(PyType_GetModuleByDef(type, &kelvaro_module));
}

static int module_exec(PyObject *module)
{
    module_state *state = state_of_module(module);
    if (errors_init(state) < 0) {
        return -1;
    }
    if (PyModule_AddStringConstant(module, "__version__", kelvaro_rpn_version()) < 0 ||
        PyModule_AddStringConstant(module, "HEADER_VERSION", KELVARO_RPN_VERSION) < 0 ||
        PyModule_AddIntConstant(module, "STACK_CAPACITY", KELVARO_RPN_STACK_CAPACITY) < 0 ||
        PyModule_AddIntConstant(module, "MAX_DECIMALS", KELVARO_RPN_MAX_DECIMALS) < 0 ||
        program_add_type(module, state) < 0 || calculator_add_type(module, state) < 0) {
        return -1;
    }
    return 0;
}

static int module_traverse(PyObject *module, visitproc visit, void *arg)
{
    module_state *state = state_of_module(module);
    for (int i = 0; i <= KELVARO_RPN_OUT_OF_MEMORY; ++i) {
        Py_VISIT(state->errors[i]);
    }
    Py_VISIT(state->results_template);
    Py_VISIT(state->numpy_empty);
    Py_VISIT(state->ufuncs);
    Py_VISIT(state->program_type);
    Py_VISIT(state->calculator_type);
    return 0;
}

static int module_clear(PyObject *module)
{
    module_state *state = state_of_module(module);
    for (int i = 0; i <= KELVARO_RPN_OUT_OF_MEMORY; ++i) {
        Py_CLEAR(state->errors[i]);
    }
    Py_CLEAR(state->results_template);
    Py_CLEAR(state->numpy_empty);
    Py_CLEAR(state->ufuncs);
    Py_CLEAR(state->program_type);
    Py_CLEAR(state->calculator_type);
    return 0;
}

static void module_free(void *module)
{
    module_clear((PyObject *)module);
}

static PyModuleDef_Slot slots[] = {
    {Py_mod_exec, SLOT_FUNCTION(module_exec)},
    {0, NULL},
};

PyModuleDef kelvaro_module = {
    PyModuleDef_HEAD_INIT,
    .m_name = "kelvaro_rpn._core",
    .m_doc = "The reentrant kelvaro_rpn C API, compiled into this module.",
    .m_size = sizeof(module_state),
    .m_methods = methods,
    .m_slots = slots,
    .m_traverse = module_traverse,
    .m_clear = module_clear,
    .m_free = module_free,
};

PyMODINIT_FUNC PyInit__core(void)
{
    return PyModuleDef_Init(&kelvaro_module);
}
