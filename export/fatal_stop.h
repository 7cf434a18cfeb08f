// The one place in the code base that ends a process.
#ifndef KELVARO_EXPORT_FATAL_STOP_H
#define KELVARO_EXPORT_FATAL_STOP_H

namespace kelvaro {

// Flushes every C output stream, then ends the process at once with `status`;
// the host's exit handlers do not run. The caller has already written the
// message line.
[[noreturn]] void FatalStop(int status);

}  // namespace kelvaro

#endif
