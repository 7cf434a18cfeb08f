/* Program.run_many: one program over a buffer of many runs' inputs. */
#include "extension.h"

#include <stdalign.h>
#include <stdint.h>
#include <string.h>

/* Runs this long leave the GIL to other threads while they run. */
#define RUNS_WITHOUT_GIL 4096
/* The stack room that carries misaligned buffers through the library. */
#define CHUNK_VALUES 2048

static int is_native(const char *format, char code)
{
    if (format == NULL) {
        return 0;
    }
    if (format[0] == '@' || format[0] == '=' ||
        (format[0] == (PY_LITTLE_ENDIAN ? '<' : '>'))) {
        ++format;
    }
    return format[0] == code && format[1] == '\0';
}

/* A C-contiguous buffer whose items are `code` (native, `size` bytes each).
   `name` is the argument's name in messages. */
static int get_items(PyObject *object, const char *name, char code, size_t size, int writable,
                     Py_buffer *view)
{
    if (!PyObject_CheckBuffer(object)) {
        PyErr_Format(PyExc_TypeError,
                     "%s must be a buffer of %s (array('%c'), memoryview, numpy), not %.100s",
                     name, code == 'd' ? "doubles" : "C ints", code, Py_TYPE(object)->tp_name);
        return -1;
    }
    const int flags = PyBUF_C_CONTIGUOUS | PyBUF_FORMAT | (writable ? PyBUF_WRITABLE : 0);
    if (PyObject_GetBuffer(object, view, flags) < 0) {
        if (writable) {
            /* Exporters say "read-only" each their own way (BufferError, ValueError). */
            Py_buffer probe;
            PyObject *type, *value, *traceback;
            PyErr_Fetch(&type, &value, &traceback);
            if (PyObject_GetBuffer(object, &probe, PyBUF_C_CONTIGUOUS | PyBUF_FORMAT) < 0) {
                PyErr_Clear();
                PyErr_Restore(type, value, traceback);
            } else {
                PyBuffer_Release(&probe);
                Py_XDECREF(type);
                Py_XDECREF(value);
                Py_XDECREF(traceback);
                PyErr_Format(PyExc_TypeError, "%s must be writable; this %.100s is read-only",
                             name, Py_TYPE(object)->tp_name);
            }
        }
        return -1;
    }
    if (!is_native(view->format, code) || (size_t)view->itemsize != size) {
        PyErr_Format(PyExc_TypeError, "%s must hold %s (format '%c'), not format '%s'", name,
                     code == 'd' ? "doubles" : "C ints", code,
                     view->format == NULL ? "B" : view->format);
        PyBuffer_Release(view);
        return -1;
    }
    return 0;
}

/* The width when none is given: a 2-D buffer's rows, else what the program needs. */
static int width_of(PyObject *argument, const Py_buffer *values, size_t inputs, size_t *width)
{
    if (argument == Py_None) {
        if (values->ndim == 2 && values->shape[1] > 0) {
            *width = (size_t)values->shape[1];
        } else {
            *width = inputs > 0 ? inputs : 1;
        }
    } else {
        const Py_ssize_t given = PyNumber_AsSsize_t(argument, PyExc_OverflowError);
        if (given == -1 && PyErr_Occurred()) {
            return -1;
        }
        if (given < 1 || given > KELVARO_RPN_STACK_CAPACITY) {
            PyErr_Format(PyExc_ValueError, "width must be 1 to %d, not %zd",
                         KELVARO_RPN_STACK_CAPACITY, given);
            return -1;
        }
        *width = (size_t)given;
    }
    if (*width > KELVARO_RPN_STACK_CAPACITY) {
        PyErr_Format(PyExc_ValueError, "a run of %zu inputs cannot fit the stack of %d values",
                     *width, KELVARO_RPN_STACK_CAPACITY);
        return -1;
    }
    return 0;
}

static int is_aligned(const void *pointer, size_t alignment)
{
    return (uintptr_t)pointer % alignment == 0;
}

/* The library reads and writes through typed pointers: a misaligned buffer
   goes through aligned room on the stack, a chunk of runs at a time. */
static void run_through_chunks(const kelvaro_rpn_program *program, const char *inputs,
                               size_t width, size_t runs, char *results, char *statuses)
{
    double in[CHUNK_VALUES];
    double out[CHUNK_VALUES];
    kelvaro_rpn_status status[CHUNK_VALUES];
    const size_t per_chunk = CHUNK_VALUES / width;
    for (size_t done = 0; done < runs;) {
        const size_t n = runs - done < per_chunk ? runs - done : per_chunk;
        memcpy(in, inputs + done * width * sizeof(double), n * width * sizeof(double));
        kelvaro_rpn_program_run_many(program, in, width, n, out, statuses ? status : NULL);
        memcpy(results + done * sizeof(double), out, n * sizeof(double));
        if (statuses != NULL) {
            memcpy(statuses + done * sizeof status[0], status, n * sizeof status[0]);
        }
        done += n;
    }
}

static void run(const kelvaro_rpn_program *program, const Py_buffer *values, size_t width,
                size_t runs, Py_buffer *out, Py_buffer *statuses)
{
    if (is_aligned(values->buf, alignof(double)) && is_aligned(out->buf, alignof(double)) &&
        (statuses == NULL || is_aligned(statuses->buf, alignof(kelvaro_rpn_status)))) {
        kelvaro_rpn_program_run_many(program, values->buf, width, runs, out->buf,
                                     statuses == NULL ? NULL : statuses->buf);
    } else {
        run_through_chunks(program, values->buf, width, runs, out->buf,
                           statuses == NULL ? NULL : statuses->buf);
    }
}

/* A new array('d') of `count` values, to be overwritten. */
static PyObject *new_results(module_state *state, size_t count)
{
    /* Repeating one value: one allocation, no object per value. */
    if (state->results_template == NULL) {
        PyObject *array = PyImport_ImportModule("array");
        if (array == NULL) {
            return NULL;
        }
        state->results_template = PyObject_CallMethod(array, "array", "s[d]", "d", 0.0);
        Py_DECREF(array);
        if (state->results_template == NULL) {
            return NULL;
        }
    }
    return PySequence_Repeat(state->results_template, (Py_ssize_t)count);
}

static int check_count(const char *name, const Py_buffer *view, size_t size, size_t runs)
{
    const size_t count = (size_t)view->len / size;
    if (count != runs) {
        PyErr_Format(PyExc_ValueError, "%s holds %zu values; %zu runs need %zu", name, count,
                     runs, runs);
        return -1;
    }
    return 0;
}

PyObject *program_run_many(PyObject *self, PyObject *args, PyObject *kwargs)
{
    static char *keywords[] = {"", "out", "width", "statuses", NULL};
    PyObject *values_object = NULL;
    PyObject *out_object = Py_None;
    PyObject *width_object = Py_None;
    PyObject *statuses_object = Py_None;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "O|O$OO:run_many", keywords, &values_object,
                                     &out_object, &width_object, &statuses_object)) {
        return NULL;
    }
    const program_object *program = (const program_object *)self;
    Py_buffer values;
    Py_buffer out;
    Py_buffer statuses;
    int has_out = 0;
    int has_statuses = 0;
    PyObject *result = NULL;
    size_t width = 0;
    if (get_items(values_object, "values", 'd', sizeof(double), 0, &values) < 0) {
        return NULL;
    }
    const size_t count = (size_t)values.len / sizeof(double);
    if (width_of(width_object, &values, kelvaro_rpn_program_inputs(program->program), &width) <
        0) {
        goto done;
    }
    if (count % width != 0) {
        PyErr_Format(PyExc_ValueError, "values holds %zu values, not a whole number of runs of %zu",
                     count, width);
        goto done;
    }
    const size_t runs = count / width;
    if (out_object == Py_None) {
        result = new_results(state_of_type(Py_TYPE(self)), runs);
    } else {
        result = out_object;
        Py_INCREF(result);
    }
    if (result == NULL || get_items(result, "out", 'd', sizeof(double), 1, &out) < 0) {
        Py_CLEAR(result);
        goto done;
    }
    has_out = 1;
    if (check_count("out", &out, sizeof(double), runs) < 0) {
        Py_CLEAR(result);
        goto done;
    }
    if (statuses_object != Py_None) {
        if (get_items(statuses_object, "statuses", 'i', sizeof(kelvaro_rpn_status), 1,
                      &statuses) < 0) {
            Py_CLEAR(result);
            goto done;
        }
        has_statuses = 1;
        if (check_count("statuses", &statuses, sizeof(kelvaro_rpn_status), runs) < 0) {
            Py_CLEAR(result);
            goto done;
        }
    }
    if (runs >= RUNS_WITHOUT_GIL) {
        Py_BEGIN_ALLOW_THREADS
        run(program->program, &values, width, runs, &out, has_statuses ? &statuses : NULL);
        Py_END_ALLOW_THREADS
    } else {
        run(program->program, &values, width, runs, &out, has_statuses ? &statuses : NULL);
    }
done:
    if (has_statuses) {
        PyBuffer_Release(&statuses);
    }
    if (has_out) {
        PyBuffer_Release(&out);
    }
    PyBuffer_Release(&values);
    return result;
}
