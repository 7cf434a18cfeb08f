/* Program.ufunc: the program as a numpy ufunc of float64s, one run per element. */
#include "extension.h"

#include <build_options.h>

#ifdef KELVARO_WITH_NUMPY

#include <string.h>

#if defined(__GNUC__)
/* numpy's C API is a table of void * called through casts to function
   pointers, a conversion ISO C leaves to the platform. */
#pragma GCC diagnostic ignored "-Wpedantic"
#endif

#define NPY_NO_DEPRECATED_API NPY_1_7_API_VERSION
#include <numpy/arrayobject.h>
#include <numpy/ufuncobject.h>

/* numpy's API tables are numpy's own, the same for every interpreter: this
   file's pointers to them are filled on the first ufunc, not at import, so
   that importing kelvaro_rpn never imports numpy. */
static int numpy_ready(void)
{
    if (PyArray_API == NULL && _import_array() < 0) {
        return -1;
    }
    if (PyUFunc_API == NULL && _import_umath() < 0) {
        return -1;
    }
    return 0;
}

/* The inputs of a block of elements, gathered from numpy's strides. */
#define BLOCK_VALUES 4096

static void program_loop(char **args, const npy_intp *dimensions, const npy_intp *steps,
                         void *data)
{
    const program_object *self = data;
    size_t width = kelvaro_rpn_program_inputs(self->program);
    width = width > 0 ? width : 1;
    const size_t per_block = BLOCK_VALUES / width;
    const size_t count = (size_t)dimensions[0];
    double in[BLOCK_VALUES];
    double out[BLOCK_VALUES];
    for (size_t done = 0; done < count;) {
        const size_t n = count - done < per_block ? count - done : per_block;
        for (size_t i = 0; i < n; ++i) {
            for (size_t j = 0; j < width; ++j) {
                memcpy(&in[i * width + j], args[j] + (npy_intp)(done + i) * steps[j],
                       sizeof(double));
            }
        }
        kelvaro_rpn_program_run_many(self->program, in, width, n, out, NULL);
        for (size_t i = 0; i < n; ++i) {
            memcpy(args[width] + (npy_intp)(done + i) * steps[width], &out[i], sizeof(double));
        }
        done += n;
    }
}

/* What the ufunc points at and numpy does not copy: freed with the ufunc. */
typedef struct ufunc_parts {
    PyUFuncGenericFunction functions[1];
    void *data[1];
    char types[NPY_MAXARGS];
    char name[];
} ufunc_parts;

static void free_parts(PyObject *capsule)
{
    PyMem_Free(PyCapsule_GetPointer(capsule, "kelvaro_rpn.ufunc_parts"));
}

PyObject *ufunc_make(PyObject *module, PyObject *args)
{
    const module_state *state = state_of_module(module);
    PyObject *program = NULL;
    const char *name = NULL;
    if (!PyArg_ParseTuple(args, "O!s:_make_ufunc", state->program_type, &program, &name)) {
        return NULL;
    }
    size_t inputs = kelvaro_rpn_program_inputs(((program_object *)program)->program);
    inputs = inputs > 0 ? inputs : 1;
    if (inputs + 1 > NPY_MAXARGS) {
        return PyErr_Format(PyExc_ValueError,
                            "a numpy ufunc takes at most %d inputs; this program takes %zu",
                            NPY_MAXARGS - 1, inputs);
    }
    if (numpy_ready() < 0) {
        return NULL;
    }
    ufunc_parts *parts = PyMem_Malloc(sizeof(ufunc_parts) + strlen(name) + 1);
    if (parts == NULL) {
        return PyErr_NoMemory();
    }
    parts->functions[0] = program_loop;
    parts->data[0] = program;
    memset(parts->types, NPY_DOUBLE, sizeof parts->types);
    strcpy(parts->name, name);
    PyObject *capsule = PyCapsule_New(parts, "kelvaro_rpn.ufunc_parts", free_parts);
    if (capsule == NULL) {
        PyMem_Free(parts);
        return NULL;
    }
    /* The ufunc holds its program and parts through `obj`, released when it goes. */
    PyObject *keep = PyTuple_Pack(2, program, capsule);
    Py_DECREF(capsule);
    if (keep == NULL) {
        return NULL;
    }
    PyObject *ufunc = PyUFunc_FromFuncAndData(parts->functions, parts->data, parts->types, 1,
                                              (int)inputs, 1, PyUFunc_None, parts->name,
                                              "A kelvaro_rpn program, one run per element.", 0);
    if (ufunc == NULL) {
        Py_DECREF(keep);
        return NULL;
    }
    ((PyUFuncObject *)ufunc)->obj = keep;
    return ufunc;
}

#else

PyObject *ufunc_make(PyObject *module, PyObject *args)
{
    (void)module;
    (void)args;
    PyErr_SetString(PyExc_RuntimeError,
                    "Program.ufunc is missing: this kelvaro_rpn was built without numpy's "
                    "headers; install it again with numpy installed to have it");
    return NULL;
}

#endif
