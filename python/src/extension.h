/* What the source files of kelvaro_rpn._core share. */
#ifndef KELVARO_PYTHON_EXTENSION_H
#define KELVARO_PYTHON_EXTENSION_H

#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <kelvaro/rpn.h>

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

/* Takes the exception classes from kelvaro_rpn._errors. */
int errors_init(void);
/* Raises the exception of a failed outcome on `text`; returns NULL. */
PyObject *errors_raise(const kelvaro_rpn_outcome *outcome, const char *text, size_t length);
/* Raises StackOverflowError for a push onto a full stack; returns NULL. */
PyObject *errors_raise_push_overflow(void);

int program_add_type(PyObject *module);
PyObject *program_compile(PyObject *module, PyObject *text);
PyObject *program_run_many(PyObject *self, PyObject *args, PyObject *kwargs);

int calculator_add_type(PyObject *module);

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
