#include "export/console.h"

#include <cstdio>
#include <cwchar>

namespace kelvaro {

void WriteToStdout(void * /*context*/, const char *line, std::size_t length)
{
#if !defined(_WIN32)
    // glibc drops byte output on a stream that wprintf has made wide-oriented:
    // give such a host its lines as wide characters, each byte the character
    // of the same value, as text_conversion widens the returned text.
    if (std::fwide(stdout, 0) > 0) {
        for (std::size_t i = 0; i < length; ++i) {
            std::fputwc(static_cast<wchar_t>(static_cast<unsigned char>(line[i])), stdout);
        }
        return;
    }
#endif
    std::fwrite(line, 1, length, stdout);
}

}  // namespace kelvaro
