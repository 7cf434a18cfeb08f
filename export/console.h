// The host's process as the legacy export touches it: standard output, whole
// lines, one write each, as bytes or, on a stream the host made
// wide-oriented, as wide characters; and the one place in the code base that
// ends a process.
#ifndef KELVARO_EXPORT_CONSOLE_H
#define KELVARO_EXPORT_CONSOLE_H

#include <cstddef>

namespace kelvaro {

// A line callback of kelvaro_rpn_listing onto stdout; `context` is unused.
void WriteToStdout(void *context, const char *line, std::size_t length);

// Flushes every C output stream, then ends the process at once with `status`;
// the host's exit handlers do not run. The caller has already written the
// message line.
[[noreturn]] void FatalStop(int status);

}  // namespace kelvaro

#endif
