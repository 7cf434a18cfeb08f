// Standard output as the engine writes it: whole lines, one write each.
#ifndef KELVARO_ENGINE_CONSOLE_H
#define KELVARO_ENGINE_CONSOLE_H

#include "value.h"

#include <cstddef>

namespace kelvaro {

void WriteText(const char *text, std::size_t length);

// Writes `prefix`, `value` as "%f" and a newline in one write.
void WriteValueLine(const char *prefix, std::size_t prefixLength, Value value);

// Writes a fixed message line and ends the process with `status`.
[[noreturn]] void FailWith(const char *message, std::size_t length, int status);

}  // namespace kelvaro

#endif
