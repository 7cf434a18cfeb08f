/* Program.run_many: one program over a buffer of many runs' inputs. */
#include "extension.h"

#include <pthread.h>
#include <stdalign.h>
#include <stdint.h>
#include <string.h>

/* Runs this long leave the GIL to other threads while they run. */
#define RUNS_WITHOUT_GIL 4096
/* From this many runs on, threads=None takes one thread per core. */
#define RUNS_FOR_EVERY_CORE 100000
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

/* The width when none is given is what the program needs; an array of rows
   must have rows of that width, or say the width it means. */
static int width_of(PyObject *argument, const Py_buffer *values, size_t inputs, size_t *width)
{
    if (argument == Py_None) {
        *width = inputs > 0 ? inputs : 1;
        const Py_ssize_t row = values->ndim >= 2 ? values->shape[values->ndim - 1] : 0;
        if (values->ndim >= 2 && (size_t)row != *width) {
            PyErr_Format(PyExc_ValueError,
                         "values is %d-D with rows of %zd values, but the program runs on %zu; "
                         "pass width to cut it into runs of another width",
                         values->ndim, row, *width);
            return -1;
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

typedef size_t (*run_many_function)(const kelvaro_rpn_program *, const double *, size_t, size_t,
                                    double *, kelvaro_rpn_status *);

/* One thread's share of the runs: `first` is its first run. */
typedef struct piece {
    run_many_function run;
    const kelvaro_rpn_program *program;
    const char *inputs;
    size_t width;
    size_t first;
    size_t runs;
    char *results;
    char *statuses;
} piece;

static int is_aligned(const void *pointer, size_t alignment)
{
    return (uintptr_t)pointer % alignment == 0;
}

/* The library reads and writes through typed pointers: a misaligned buffer
   goes through aligned room on the stack, a chunk of runs at a time. */
static void run_through_chunks(const piece *p, const char *inputs, char *results, char *statuses)
{
    double in[CHUNK_VALUES];
    double out[CHUNK_VALUES];
    kelvaro_rpn_status status[CHUNK_VALUES];
    const size_t per_chunk = CHUNK_VALUES / p->width;
    for (size_t done = 0; done < p->runs;) {
        const size_t n = p->runs - done < per_chunk ? p->runs - done : per_chunk;
        memcpy(in, inputs + done * p->width * sizeof(double), n * p->width * sizeof(double));
        p->run(p->program, in, p->width, n, out, statuses ? status : NULL);
        memcpy(results + done * sizeof(double), out, n * sizeof(double));
        if (statuses != NULL) {
            memcpy(statuses + done * sizeof status[0], status, n * sizeof status[0]);
        }
        done += n;
    }
}

static void *run_piece(void *argument)
{
    const piece *p = argument;
    const char *inputs = p->inputs + p->first * p->width * sizeof(double);
    char *results = p->results + p->first * sizeof(double);
    char *statuses =
        p->statuses == NULL ? NULL : p->statuses + p->first * sizeof(kelvaro_rpn_status);
    if (is_aligned(inputs, alignof(double)) && is_aligned(results, alignof(double)) &&
        (statuses == NULL || is_aligned(statuses, alignof(kelvaro_rpn_status)))) {
        p->run(p->program, (const double *)(const void *)inputs, p->width, p->runs,
               (double *)(void *)results, (kelvaro_rpn_status *)(void *)statuses);
    } else {
        run_through_chunks(p, inputs, results, statuses);
    }
    return NULL;
}

/* Splits the runs into `threads` pieces of nearly equal size; a thread that
   cannot start has its piece run here, so the results never depend on it. */
static void run(const piece *all, size_t threads)
{
    enum { MOST_THREADS = 256 };
    piece pieces[MOST_THREADS];
    pthread_t ids[MOST_THREADS];
    int started[MOST_THREADS];
    threads = threads > MOST_THREADS ? MOST_THREADS : threads;
    size_t first = 0;
    for (size_t i = 0; i < threads; ++i) {
        pieces[i] = *all;
        pieces[i].first = first;
        pieces[i].runs = all->runs / threads + (i < all->runs % threads ? 1 : 0);
        first += pieces[i].runs;
    }
    for (size_t i = 1; i < threads; ++i) {
        started[i] = pthread_create(&ids[i], NULL, run_piece, &pieces[i]) == 0;
    }
    run_piece(&pieces[0]);
    for (size_t i = 1; i < threads; ++i) {
        if (started[i]) {
            pthread_join(ids[i], NULL);
        } else {
            run_piece(&pieces[i]);
        }
    }
}

static int overlap(const Py_buffer *a, const Py_buffer *b)
{
    const char *a_start = a->buf, *b_start = b->buf;
    return a->len > 0 && b->len > 0 && a_start < b_start + b->len && b_start < a_start + a->len;
}

/* A new ndarray of `shape` when numpy imports, else a 1-D array('d'); to be overwritten. */
static PyObject *new_results(module_state *state, PyObject *shape, size_t count)
{
    if (state->numpy_empty == NULL) {
        PyObject *numpy = PyImport_ImportModule("numpy");
        if (numpy == NULL) {
            if (!PyErr_ExceptionMatches(PyExc_ImportError)) {
                return NULL;
            }
            PyErr_Clear();
            Py_INCREF(Py_None);
            state->numpy_empty = Py_None;
        } else {
            state->numpy_empty = PyObject_GetAttrString(numpy, "empty");
            Py_DECREF(numpy);
            if (state->numpy_empty == NULL) {
                return NULL;
            }
        }
    }
    if (state->numpy_empty != Py_None) {
        return PyObject_CallOneArg(state->numpy_empty, shape);
    }
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

/* The shape of the results: the values' without its rows when they are runs, else flat. */
static PyObject *shape_of_results(const Py_buffer *values, size_t width, size_t runs)
{
    if (values->ndim < 2 || (size_t)values->shape[values->ndim - 1] != width) {
        return Py_BuildValue("(n)", (Py_ssize_t)runs);
    }
    PyObject *shape = PyTuple_New(values->ndim - 1);
    for (int i = 0; shape != NULL && i < values->ndim - 1; ++i) {
        PyObject *length = PyLong_FromSsize_t(values->shape[i]);
        if (length == NULL) {
            Py_CLEAR(shape);
            break;
        }
        PyTuple_SET_ITEM(shape, i, length);
    }
    return shape;
}

/* One per core the process may run on, as os reports it. */
static Py_ssize_t core_count(void)
{
    PyObject *os = PyImport_ImportModule("os");
    if (os == NULL) {
        return -1;
    }
    PyObject *cores = PyObject_HasAttrString(os, "sched_getaffinity")
                          ? PyObject_CallMethod(os, "sched_getaffinity", "i", 0)
                          : PyObject_CallMethod(os, "cpu_count", NULL);
    Py_DECREF(os);
    if (cores == NULL) {
        return -1;
    }
    const Py_ssize_t count = cores == Py_None ? 1
                             : PyLong_Check(cores) ? PyLong_AsSsize_t(cores)
                                                   : PyObject_Size(cores);
    Py_DECREF(cores);
    return count < 1 && !PyErr_Occurred() ? 1 : count;
}

static int threads_of(PyObject *argument, size_t runs, size_t *threads)
{
    Py_ssize_t count = 1;
    if (argument == Py_None) {
        count = runs >= RUNS_FOR_EVERY_CORE ? core_count() : 1;
        if (count < 0) {
            return -1;
        }
    } else {
        count = PyNumber_AsSsize_t(argument, PyExc_OverflowError);
        if (count == -1 && PyErr_Occurred()) {
            return -1;
        }
        if (count < 1) {
            PyErr_Format(PyExc_ValueError, "threads must be at least 1, not %zd", count);
            return -1;
        }
    }
    /* No thread without a run of its own. */
    *threads = (size_t)count < runs ? (size_t)count : (runs > 0 ? runs : 1);
    return 0;
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
    static char *keywords[] = {"", "out", "width", "statuses", "fast", "threads", NULL};
    PyObject *values_object = NULL;
    PyObject *out_object = Py_None;
    PyObject *width_object = Py_None;
    PyObject *statuses_object = Py_None;
    int fast = 0;
    PyObject *threads_object = Py_None;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "O|O$OOpO:run_many", keywords,
                                     &values_object, &out_object, &width_object,
                                     &statuses_object, &fast, &threads_object)) {
        return NULL;
    }
    const program_object *program = (const program_object *)self;
    Py_buffer values;
    Py_buffer out;
    Py_buffer statuses;
    int has_out = 0;
    int has_statuses = 0;
    PyObject *result = NULL;
    double *copy = NULL;
    size_t width = 0;
    size_t threads = 1;
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
    if (threads_of(threads_object, runs, &threads) < 0) {
        goto done;
    }
    if (out_object == Py_None) {
        PyObject *shape = shape_of_results(&values, width, runs);
        result = shape == NULL ? NULL : new_results(state_of_type(Py_TYPE(self)), shape, runs);
        Py_XDECREF(shape);
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
    piece all = {fast ? kelvaro_rpn_program_run_many_fast : kelvaro_rpn_program_run_many,
                 program->program, values.buf, width, 0, runs, out.buf,
                 has_statuses ? statuses.buf : NULL};
    /* Results that land on inputs not yet read (chunks, threads, any
       offset) would change them: such inputs are read all at once first. */
    if (overlap(&values, &out) || (has_statuses && overlap(&values, &statuses))) {
        copy = PyMem_Malloc((size_t)values.len);
        if (copy == NULL) {
            PyErr_NoMemory();
            Py_CLEAR(result);
            goto done;
        }
        memcpy(copy, values.buf, (size_t)values.len);
        all.inputs = (const char *)copy;
    }
    if (runs >= RUNS_WITHOUT_GIL || threads > 1) {
        Py_BEGIN_ALLOW_THREADS
        run(&all, threads);
        Py_END_ALLOW_THREADS
    } else {
        run(&all, threads);
    }
done:
    PyMem_Free(copy);
    if (has_statuses) {
        PyBuffer_Release(&statuses);
    }
    if (has_out) {
        PyBuffer_Release(&out);
    }
    PyBuffer_Release(&values);
    return result;
}
