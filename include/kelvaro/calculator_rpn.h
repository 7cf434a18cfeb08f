/*
 * KelvaroCalculatorRPN: evaluates arithmetic in reverse Polish notation.
 *
 *   const wchar_t *text = CalculatorRPN(L"3 4 + 2 *");   // L"14.000000"
 *
 * The call also writes "result = 14.000000\n" to standard output, after any
 * listing that the expression asked for ('#' and '@').
 *
 * The returned text is owned by the library: it lives in one process-wide
 * buffer that every call overwrites, so the address is the same on every call
 * and the text stays valid until the next call. Never free it; copy it if it
 * is needed later. A null expression counts as an empty one.
 *
 * One call at a time: the library keeps process-wide state and takes no locks.
 *
 * Errors are never returned. The library writes one message line to standard
 * output, flushes every C output stream and ends the whole process at once
 * (exit handlers do not run):
 *   "Invalid character: 'c'"      exit status 1
 *   "you have a stack underflow!" exit status 1
 *   "you have a stack overflow!"  exit status -1 (255 where statuses have 8 bits)
 */
#ifndef KELVARO_CALCULATOR_RPN_H
#define KELVARO_CALCULATOR_RPN_H

#include <kelvaro/public.h>
#include <kelvaro/version.h>

#include <wchar.h>

/* The legacy calling convention: __stdcall on Windows, as the DLL always had. */
#if defined(_WIN32)
#define KELVARO_RPN_CALL __stdcall
#else
#define KELVARO_RPN_CALL
#endif

/* This header's earlier name for KELVARO_RPN_PUBLIC, kept for code that uses it. */
#define KELVARO_RPN_API KELVARO_RPN_PUBLIC

#ifdef __cplusplus
extern "C" {
#endif

/* Evaluates a NUL-terminated expression and returns its value as text in
 * fixed notation with six decimals ("%f"; "inf", "-inf" or "nan" where the
 * value is not finite). */
KELVARO_RPN_PUBLIC wchar_t *KELVARO_RPN_CALL CalculatorRPN(const wchar_t *expression);

#ifdef __cplusplus
}
#endif

#endif /* KELVARO_CALCULATOR_RPN_H */
