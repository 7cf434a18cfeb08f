/* Text arguments: str as UTF-8, bytes-like objects as they are. */
#include "extension.h"

int text_get(PyObject *object, text_arg *text)
{
    text->has_view = 0;
    if (PyUnicode_Check(object)) {
        Py_ssize_t length = 0;
        text->bytes = PyUnicode_AsUTF8AndSize(object, &length);
        if (text->bytes == NULL) {
            return -1;
        }
        text->length = (size_t)length;
        return 0;
    }
    if (PyBytes_Check(object)) {
        text->bytes = PyBytes_AS_STRING(object);
        text->length = (size_t)PyBytes_GET_SIZE(object);
        return 0;
    }
    if (PyObject_CheckBuffer(object)) {
        if (PyObject_GetBuffer(object, &text->view, PyBUF_SIMPLE) < 0) {
            return -1;
        }
        text->has_view = 1;
        text->bytes = text->view.buf;
        text->length = (size_t)text->view.len;
        return 0;
    }
    PyErr_Format(PyExc_TypeError, "the text must be str or bytes, not %.100s",
                 Py_TYPE(object)->tp_name);
    return -1;
}

void text_release(text_arg *text)
{
    if (text->has_view) {
        PyBuffer_Release(&text->view);
        text->has_view = 0;
    }
}
