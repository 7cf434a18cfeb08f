#include "console.h"

#include "number_text.h"

#include <cstdio>
#include <cstring>

namespace kelvaro {

void WriteText(const char *text, std::size_t length)
{
    std::fwrite(text, 1, length, stdout);
}

void WriteValueLine(const char *prefix, std::size_t prefixLength, Value value)
{
    constexpr std::size_t kMaxPrefix = 32;
    char line[kMaxPrefix + kMaxFixedText + 1];
    if (prefixLength > kMaxPrefix) {
        prefixLength = kMaxPrefix;
    }
    std::memcpy(line, prefix, prefixLength);
    std::size_t length = prefixLength + FormatFixed(line + prefixLength, value);
    line[length++] = '\n';
    WriteText(line, length);
}

void FailWith(const char *message, std::size_t length, int status)
{
    WriteText(message, length);
    FatalStop(status);
}

}  // namespace kelvaro
