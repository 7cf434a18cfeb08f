// Captures what the library writes to standard output, one run at a time.
#ifndef KELVARO_FUZZ_OUTPUT_CAPTURE_H
#define KELVARO_FUZZ_OUTPUT_CAPTURE_H

#include <string>

namespace kelvaro_fuzz {

// Points file descriptor 1 at an anonymous temporary file for the rest of the
// process. Call once, before anything is written.
void StartCapture();

// Forgets everything written so far.
void ClearCapture();

// Everything written to stdout since the last ClearCapture.
std::string CapturedOutput();

}  // namespace kelvaro_fuzz

#endif
