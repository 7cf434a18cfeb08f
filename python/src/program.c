/* Program: a text compiled once, called with its inputs. */
#include "extension.h"

#include <stddef.h>

#include <structmember.h>

static PyObject *program_call(PyObject *object, PyObject *const *args, size_t nargsf,
                              PyObject *kwnames);

PyObject *program_compile(PyObject *module, PyObject *argument)
{
    const module_state *state = state_of_module(module);
    PyObject *source = argument;
    if (PyUnicode_Check(argument) || PyBytes_Check(argument)) {
        Py_INCREF(source);
    } else {
        /* A mutable buffer could change under the program's messages: keep a copy. */
        source = PyBytes_FromObject(argument);
        if (source == NULL) {
            if (PyErr_ExceptionMatches(PyExc_TypeError)) {
                PyErr_Format(PyExc_TypeError, "the text must be str or bytes, not %.100s",
                             Py_TYPE(argument)->tp_name);
            }
            return NULL;
        }
    }
    text_arg text;
    if (text_get(source, &text) < 0) {
        Py_DECREF(source);
        return NULL;
    }
    kelvaro_rpn_program *compiled = NULL;
    kelvaro_rpn_outcome outcome;
    if (kelvaro_rpn_compile(text.bytes, text.length, &compiled, &outcome) != KELVARO_RPN_OK) {
        errors_raise(state, &outcome, text.bytes, text.length);
        Py_DECREF(source);
        return NULL;
    }
    program_object *self = PyObject_New(program_object, state->program_type);
    if (self == NULL) {
        kelvaro_rpn_program_destroy(compiled);
        Py_DECREF(source);
        return NULL;
    }
    self->vectorcall = program_call;
    self->program = compiled;
    self->source = source;
    self->bytes = text.bytes;
    self->length = text.length;
    return (PyObject *)self;
}

static void program_dealloc(PyObject *object)
{
    program_object *self = (program_object *)object;
    PyTypeObject *type = Py_TYPE(object);
    kelvaro_rpn_program_destroy(self->program);
    Py_DECREF(self->source);
    PyObject_Free(object);
    Py_DECREF(type);
}

/* A function of kelvaro_rpn._ufuncs, called with the program and `argument`. */
static PyObject *call_ufuncs(PyObject *object, const char *function, PyObject *argument)
{
    module_state *state = state_of_type(Py_TYPE(object));
    if (state->ufuncs == NULL) {
        state->ufuncs = PyImport_ImportModule("kelvaro_rpn._ufuncs");
        if (state->ufuncs == NULL) {
            return NULL;
        }
    }
    return PyObject_CallMethod(state->ufuncs, function, argument == NULL ? "O" : "OO", object,
                               argument);
}

/* Numbers run once; anything else that holds numbers (lists, arrays,
   Series) runs element by element. A str is no array: it fails as a number. */
static int is_array_like(PyObject *argument)
{
    return !PyFloat_Check(argument) && !PyLong_Check(argument) && !PyUnicode_Check(argument) &&
           !PyBytes_Check(argument) &&
           (PySequence_Check(argument) || PyObject_HasAttrString(argument, "__array__") ||
            PyObject_HasAttrString(argument, "__array_ufunc__"));
}

/* program(*inputs): the inputs are pushed first, inputs[0] the bottom. */
static PyObject *program_call(PyObject *object, PyObject *const *args, size_t nargsf,
                              PyObject *kwnames)
{
    program_object *self = (program_object *)object;
    const Py_ssize_t count = PyVectorcall_NARGS(nargsf);
    if (kwnames != NULL && PyTuple_GET_SIZE(kwnames) > 0) {
        PyErr_SetString(PyExc_TypeError, "a program takes its inputs as positional arguments");
        return NULL;
    }
    kelvaro_rpn_outcome outcome;
    if (count > KELVARO_RPN_STACK_CAPACITY) {
        /* As kelvaro_rpn_program_run reports more inputs than the stack holds. */
        outcome.status = KELVARO_RPN_STACK_OVERFLOW;
        outcome.value = 0.0;
        outcome.offset = 0;
        return errors_raise(state_of_type(Py_TYPE(object)), &outcome, self->bytes,
                            self->length);
    }
    for (Py_ssize_t i = 0; i < count; ++i) {
        if (is_array_like(args[i])) {
            PyObject *arguments = PyTuple_New(count);
            for (Py_ssize_t j = 0; arguments != NULL && j < count; ++j) {
                Py_INCREF(args[j]);
                PyTuple_SET_ITEM(arguments, j, args[j]);
            }
            PyObject *result = arguments == NULL ? NULL : call_ufuncs(object, "call", arguments);
            Py_XDECREF(arguments);
            return result;
        }
    }
    double inputs[KELVARO_RPN_STACK_CAPACITY];
    for (Py_ssize_t i = 0; i < count; ++i) {
        inputs[i] = PyFloat_AsDouble(args[i]);
        if (inputs[i] == -1.0 && PyErr_Occurred()) {
            return NULL;
        }
    }
    if (kelvaro_rpn_program_run(self->program, inputs, (size_t)count, NULL, &outcome) !=
        KELVARO_RPN_OK) {
        return errors_raise(state_of_type(Py_TYPE(object)), &outcome, self->bytes,
                            self->length);
    }
    return PyFloat_FromDouble(outcome.value);
}

static PyObject *program_outputs(PyObject *object, PyObject *argument)
{
    const Py_ssize_t count = PyNumber_AsSsize_t(argument, PyExc_OverflowError);
    if (count == -1 && PyErr_Occurred()) {
        return NULL;
    }
    if (count < 0) {
        return PyErr_Format(PyExc_ValueError, "the count of inputs must be at least 0, not %zd",
                            count);
    }
    return PyLong_FromSize_t(
        kelvaro_rpn_program_outputs(((program_object *)object)->program, (size_t)count));
}

static PyObject *program_inputs(PyObject *object, void *closure)
{
    (void)closure;
    return PyLong_FromSize_t(kelvaro_rpn_program_inputs(((program_object *)object)->program));
}

static PyObject *program_text(PyObject *object, void *closure)
{
    (void)closure;
    PyObject *source = ((program_object *)object)->source;
    Py_INCREF(source);
    return source;
}

static PyObject *program_ufunc(PyObject *object, void *closure)
{
    (void)closure;
    return call_ufuncs(object, "ufunc_of", NULL);
}

static PyObject *program_repr(PyObject *object)
{
    program_object *self = (program_object *)object;
    return PyUnicode_FromFormat("<kelvaro_rpn.Program %R, %zu inputs>", self->source,
                                kelvaro_rpn_program_inputs(self->program));
}

/* Pickled as its text: compile(text) on load, in whatever process loads it. */
static PyObject *program_reduce(PyObject *object, PyObject *unused)
{
    (void)unused;
    PyObject *module = PyType_GetModuleByDef(Py_TYPE(object), &kelvaro_module);
    PyObject *compile = module == NULL ? NULL : PyObject_GetAttrString(module, "compile");
    if (compile == NULL) {
        return NULL;
    }
    PyObject *reduced = Py_BuildValue("(N(O))", compile, ((program_object *)object)->source);
    return reduced;
}

static PyMethodDef program_methods[] = {
    {"__reduce__", program_reduce, METH_NOARGS, NULL},
    {"run_many", (PyCFunction)(void (*)(void))program_run_many, METH_VARARGS | METH_KEYWORDS,
     "run_many(values, /, out=None, *, width=None, statuses=None, fast=False, threads=None)"
     " -> buffer"},
    {"outputs", program_outputs, METH_O, "outputs(count, /) -> int"},
    {NULL, NULL, 0, NULL},
};

static PyGetSetDef program_getset[] = {
    {"inputs", program_inputs, NULL, "the fewest inputs it runs on without an underflow", NULL},
    {"text", program_text, NULL, "the text it was compiled from", NULL},
    {"ufunc", program_ufunc, NULL,
     "the program as a numpy.ufunc of float64s (NaN where a run fails), one per text", NULL},
    {NULL, NULL, NULL, NULL, NULL},
};

static PyMemberDef program_members[] = {
    {"__vectorcalloffset__", T_PYSSIZET, offsetof(program_object, vectorcall), READONLY, NULL},
    {NULL, 0, 0, 0, NULL},
};

static PyType_Slot program_slots[] = {
    {Py_tp_dealloc, SLOT_FUNCTION(program_dealloc)},
    {Py_tp_call, SLOT_FUNCTION(PyVectorcall_Call)},
    {Py_tp_repr, SLOT_FUNCTION(program_repr)},
    {Py_tp_methods, program_methods},
    {Py_tp_getset, program_getset},
    {Py_tp_members, program_members},
    {Py_tp_doc, "A text compiled once: call it with its inputs, or run it over a buffer."},
    {0, NULL},
};

static PyType_Spec program_spec = {
    .name = "kelvaro_rpn.Program",
    .basicsize = sizeof(program_object),
    .flags = Py_TPFLAGS_DEFAULT | Py_TPFLAGS_HAVE_VECTORCALL | Py_TPFLAGS_IMMUTABLETYPE |
             Py_TPFLAGS_DISALLOW_INSTANTIATION,
    .slots = program_slots,
};

int program_add_type(PyObject *module, module_state *state)
{
    state->program_type = (PyTypeObject *)PyType_FromModuleAndSpec(module, &program_spec, NULL);
    if (state->program_type == NULL) {
        return -1;
    }
    return PyModule_AddType(module, state->program_type);
}
