/*
 * kelvaro/public.h: how kelvaro/rpn.h and kelvaro/calculator_rpn.h mark the
 * functions the libraries export, one scheme for both.
 *
 * KELVARO_RPN_PUBLIC is default visibility with GCC and Clang. On Windows it
 * is __declspec(dllexport) only while KelvaroRPN itself is built
 * (KELVARO_RPN_BUILDING_LIBRARY); the legacy DLL is built without it, its .def
 * file being its one export list, and users import through the import
 * libraries, so it is empty for them.
 */
#ifndef KELVARO_PUBLIC_H
#define KELVARO_PUBLIC_H

#if defined(_WIN32)
#if defined(KELVARO_RPN_BUILDING_LIBRARY)
#define KELVARO_RPN_PUBLIC __declspec(dllexport)
#else
#define KELVARO_RPN_PUBLIC
#endif
#elif defined(__GNUC__)
#define KELVARO_RPN_PUBLIC __attribute__((visibility("default")))
#else
#define KELVARO_RPN_PUBLIC
#endif

#endif /* KELVARO_PUBLIC_H */
