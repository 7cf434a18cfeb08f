/* What the source files of kelvaro_rpn._core share. */
#ifndef KELVARO_PYTHON_EXTENSION_H
#define KELVARO_PYTHON_EXTENSION_H

#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <kelvaro/rpn.h>

/* PyType_Slot holds functions as void *: a conversion ISO C leaves to the
   platform (POSIX and Windows define it), spelled so -Wpedantic accepts it. */
#if defined(__GNUC__)
#define SLOT_FUNCTION(function) (__extension__(void *)(function))
#else
#define SLOT_FUNCTION(function) ((void *)(function))
#endif

/* A text argument's bytes: a str as its UTF-8 (cached in the str, so no copy
   after the first call), bytes as they are, any other byte buffer through a
   view held until text_release. */
typedef struct text_arg {
    const char *bytes;
    size_t length;
    Py_buffer view;
    int has_view;
} text_arg;

int text_get(PyObject *object, text_arg *text);  /* 0, or -1 with an exception set */
void text_release(text_arg *text);

/* Everything the module keeps lives here, one per import (per interpreter):
   a sub-interpreter's classes never reach another interpreter's results. */
typedef struct module_state {
    PyObject *errors[KELVARO_RPN_OUT_OF_MEMORY + 1]; /* indexed by status; [0] RPNError, the base */
    PyObject *results_template;  /* array('d', [0.0]): new results are its repeats */
    PyObject *numpy_empty;       /* numpy.empty; Py_None once numpy failed to import */
    PyObject *ufuncs;            /* kelvaro_rpn._ufuncs, imported on first use */
    PyTypeObject *program_type;
    PyTypeObject *calculator_type;
} module_state;

extern PyModuleDef kelvaro_module;

module_state *state_of_module(PyObject *module);
/* The state of the module that made `type` (Program, Calculator). */
module_state *state_of_type(PyTypeObject *type);

/* Takes the exception classes from kelvaro_rpn._errors. */
int errors_init(module_state *state);
/* Raises the exception of a failed outcome on `text`; returns NULL. */
PyObject *errors_raise(const module_state *state, const kelvaro_rpn_outcome *outcome,
                       const char *text, size_t length);
/* Raises StackOverflowError for a push onto a full stack; returns NULL. */
PyObject *errors_raise_push_overflow(const module_state *state);

int program_add_type(PyObject *module, module_state *state);
PyObject *program_compile(PyObject *module, PyObject *text);
PyObject *program_run_many(PyObject *self, PyObject *args, PyObject *kwargs);

/* _make_ufunc(program, name): the numpy ufunc of a program, or the reason it is missing. */
PyObject *ufunc_make(PyObject *module, PyObject *args);

int calculator_add_type(PyObject *module, module_state *state);

/* The Program object: the compiled text and the bytes it was compiled from,
   for the messages of its failures. */
typedef struct program_object {
    PyObject_HEAD
    vectorcallfunc vectorcall;
    kelvaro_rpn_program *program;
    PyObject *source;  /* the str or bytes compiled; a bytes copy of any other buffer */
    const char *bytes; /* its bytes, alive as long as `source` */
    size_t length;
} program_object;

#endif
