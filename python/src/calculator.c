/* Calculator: a stack that lasts from one evaluation to the next. */
#include "extension.h"

typedef struct calculator_object {
    PyObject_HEAD
    kelvaro_rpn_calculator *calculator;
} calculator_object;

static kelvaro_rpn_calculator *calculator_of(PyObject *object)
{
    return ((calculator_object *)object)->calculator;
}

static PyObject *calculator_new(PyTypeObject *type, PyObject *args, PyObject *kwargs)
{
    if (PyTuple_GET_SIZE(args) > 0 || (kwargs != NULL && PyDict_GET_SIZE(kwargs) > 0)) {
        PyErr_SetString(PyExc_TypeError, "Calculator() takes no arguments");
        return NULL;
    }
    calculator_object *self = (calculator_object *)type->tp_alloc(type, 0);
    if (self == NULL) {
        return NULL;
    }
    self->calculator = kelvaro_rpn_calculator_create();
    if (self->calculator == NULL) {
        Py_DECREF(self);
        return PyErr_NoMemory();
    }
    return (PyObject *)self;
}

static void calculator_dealloc(PyObject *object)
{
    PyTypeObject *type = Py_TYPE(object);
    kelvaro_rpn_calculator_destroy(calculator_of(object));
    type->tp_free(object);
    Py_DECREF(type);
}

static PyObject *calculator_evaluate(PyObject *object, PyObject *argument)
{
    text_arg text;
    if (text_get(argument, &text) < 0) {
        return NULL;
    }
    kelvaro_rpn_outcome outcome;
    PyObject *result = kelvaro_rpn_calculator_evaluate(calculator_of(object), text.bytes,
                                                       text.length, NULL,
                                                       &outcome) == KELVARO_RPN_OK
                           ? PyFloat_FromDouble(outcome.value)
                           : errors_raise(state_of_type(Py_TYPE(object)), &outcome,
                                          text.bytes, text.length);
    text_release(&text);
    return result;
}

static PyObject *calculator_push(PyObject *object, PyObject *argument)
{
    const double value = PyFloat_AsDouble(argument);
    if (value == -1.0 && PyErr_Occurred()) {
        return NULL;
    }
    if (kelvaro_rpn_calculator_push(calculator_of(object), value) != KELVARO_RPN_OK) {
        return errors_raise_push_overflow(state_of_type(Py_TYPE(object)));
    }
    Py_RETURN_NONE;
}

static PyObject *calculator_clear(PyObject *object, PyObject *unused)
{
    (void)unused;
    kelvaro_rpn_calculator_clear(calculator_of(object));
    Py_RETURN_NONE;
}

static PyObject *calculator_stack(PyObject *object, void *closure)
{
    (void)closure;
    double values[KELVARO_RPN_STACK_CAPACITY];
    const size_t count =
        kelvaro_rpn_calculator_values(calculator_of(object), values, KELVARO_RPN_STACK_CAPACITY);
    PyObject *tuple = PyTuple_New((Py_ssize_t)count);
    for (size_t i = 0; tuple != NULL && i < count; ++i) {
        PyObject *value = PyFloat_FromDouble(values[i]);
        if (value == NULL) {
            Py_CLEAR(tuple);
            break;
        }
        PyTuple_SET_ITEM(tuple, (Py_ssize_t)i, value);
    }
    return tuple;
}

static Py_ssize_t calculator_length(PyObject *object)
{
    return (Py_ssize_t)kelvaro_rpn_calculator_depth(calculator_of(object));
}

static PyObject *calculator_repr(PyObject *object)
{
    PyObject *stack = calculator_stack(object, NULL);
    if (stack == NULL) {
        return NULL;
    }
    PyObject *text = PyUnicode_FromFormat("<kelvaro_rpn.Calculator stack=%R>", stack);
    Py_DECREF(stack);
    return text;
}

/* Pickled as its stack: floats pickle as their exact bits, NaN and infinities too. */
static PyObject *calculator_reduce(PyObject *object, PyObject *unused)
{
    (void)unused;
    PyObject *stack = calculator_stack(object, NULL);
    return stack == NULL ? NULL : Py_BuildValue("(O()N)", (PyObject *)Py_TYPE(object), stack);
}

static PyObject *calculator_setstate(PyObject *object, PyObject *state)
{
    if (!PyTuple_Check(state)) {
        return PyErr_Format(PyExc_TypeError, "a Calculator's state is a tuple of floats, not %.100s",
                            Py_TYPE(state)->tp_name);
    }
    kelvaro_rpn_calculator_clear(calculator_of(object));
    for (Py_ssize_t i = 0; i < PyTuple_GET_SIZE(state); ++i) {
        if (calculator_push(object, PyTuple_GET_ITEM(state, i)) == NULL) {
            return NULL;
        }
        Py_DECREF(Py_None);
    }
    Py_RETURN_NONE;
}

static PyMethodDef calculator_methods[] = {
    {"__reduce__", calculator_reduce, METH_NOARGS, NULL},
    {"__setstate__", calculator_setstate, METH_O, NULL},
    {"evaluate", calculator_evaluate, METH_O,
     "evaluate(text, /) -> float: the top afterwards (NaN when the stack is empty); "
     "a failure leaves the stack as it was"},
    {"push", calculator_push, METH_O, "push(value, /) -> None"},
    {"clear", calculator_clear, METH_NOARGS, "clear() -> None"},
    {NULL, NULL, 0, NULL},
};

static PyGetSetDef calculator_getset[] = {
    {"stack", calculator_stack, NULL, "the values, bottom first", NULL},
    {NULL, NULL, NULL, NULL, NULL},
};

static PyType_Slot calculator_slots[] = {
    {Py_tp_new, SLOT_FUNCTION(calculator_new)},
    {Py_tp_dealloc, SLOT_FUNCTION(calculator_dealloc)},
    {Py_tp_repr, SLOT_FUNCTION(calculator_repr)},
    {Py_sq_length, SLOT_FUNCTION(calculator_length)},
    {Py_tp_methods, calculator_methods},
    {Py_tp_getset, calculator_getset},
    {Py_tp_doc, "Calculator(): a stack of up to 265 values that lasts between evaluations."},
    {0, NULL},
};

static PyType_Spec calculator_spec = {
    .name = "kelvaro_rpn.Calculator",
    .basicsize = sizeof(calculator_object),
    .flags = Py_TPFLAGS_DEFAULT | Py_TPFLAGS_IMMUTABLETYPE,
    .slots = calculator_slots,
};

int calculator_add_type(PyObject *module, module_state *state)
{
    state->calculator_type =
        (PyTypeObject *)PyType_FromModuleAndSpec(module, &calculator_spec, NULL);
    if (state->calculator_type == NULL) {
        return -1;
    }
    return PyModule_AddType(module, state->calculator_type);
}
