// Where a text probably does not say what it means: the bytes the scanning
// rule skips inside tokens, and values left below the result.
#ifndef KELVARO_ENGINE_CHECK_H
#define KELVARO_ENGINE_CHECK_H

#include <kelvaro/rpn.h>

#include <cstddef>

namespace kelvaro {

// Writes up to `capacity` warnings, in text order, and returns how many the
// text has. A text that fails is checked to its end all the same; it leaves
// no values, so it gets no VALUES_LEFT warning.
std::size_t CheckText(const char *text, std::size_t length, kelvaro_rpn_warning *warnings,
                      std::size_t capacity);

}  // namespace kelvaro

#endif
