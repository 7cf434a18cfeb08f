#include "require.h"

#include <cstdio>
#include <cstdlib>

namespace kelvaro_fuzz {
namespace {

// Enough of a text to see what went wrong without flooding the log with the
// megabytes of listing a long input can produce.
constexpr std::size_t kShown = 2000;

bool IsPrintable(unsigned char c)
{
    constexpr unsigned char kFirstPrintable = 0x20;
    constexpr unsigned char kDelete = 0x7F;
    return c >= kFirstPrintable && c < kDelete && c != '\\';
}

// Shows the end of `text`, control and 8-bit bytes as \xNN, so that a NUL or
// a stray byte is visible.
void PrintTail(const char *label, std::string_view text)
{
    const std::size_t from = text.size() > kShown ? text.size() - kShown : 0;
    std::fprintf(stderr, "%s (%zu bytes%s):\n", label, text.size(), from > 0 ? ", end only" : "");
    for (const char c : text.substr(from)) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsPrintable(byte) || byte == '\n') {
            std::fputc(byte, stderr);
        } else {
            std::fprintf(stderr, "\\x%02x", static_cast<unsigned>(byte));
        }
    }
    std::fputc('\n', stderr);
}

}  // namespace

void Fail(const char *what, std::string_view text, std::string_view output)
{
    std::fprintf(stderr, "\n*** %s\n", what);
    PrintTail("text", text);
    PrintTail("output", output);
    std::abort();
}

}  // namespace kelvaro_fuzz
