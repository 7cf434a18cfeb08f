// Captures what the library writes to standard output, one run at a time.
#ifndef KELVARO_FUZZ_OUTPUT_CAPTURE_H
#define KELVARO_FUZZ_OUTPUT_CAPTURE_H

#include <string>

namespace kelvaro_fuzz {

// Opens the anonymous temporary file that takes standard output. Call once.
void StartCapture();

// Points file descriptor 1 at the capture file and empties it: call before
// every run.
void ClearCapture();

// Everything written to stdout since the last ClearCapture.
std::string CapturedOutput();

}  // namespace kelvaro_fuzz

#endif
