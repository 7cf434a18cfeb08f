// For the few functions whose worth is in melting into their callers: a
// compiler left to itself at -O2 calls them out of line, and their state
// leaves registers for memory.
#ifndef KELVARO_ENGINE_ALWAYS_INLINE_H
#define KELVARO_ENGINE_ALWAYS_INLINE_H

#if defined(__GNUC__)
#define KELVARO_ALWAYS_INLINE __attribute__((always_inline)) inline
#else
#define KELVARO_ALWAYS_INLINE inline
#endif

#endif
