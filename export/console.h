// Standard output as the legacy export writes it: whole lines, one write
// each, as bytes or, on a stream the host made wide-oriented, as wide
// characters.
#ifndef KELVARO_EXPORT_CONSOLE_H
#define KELVARO_EXPORT_CONSOLE_H

#include <cstddef>

namespace kelvaro {

// A line callback of kelvaro_rpn_listing onto stdout; `context` is unused.
void WriteToStdout(void *context, const char *line, std::size_t length);

}  // namespace kelvaro

#endif
