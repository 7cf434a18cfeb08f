#include "terminal.h"

#include <unistd.h>

namespace {

std::FILE *OpenStandardInputsTerminal()
{
    const char *name = ttyname(STDIN_FILENO);
    return name == nullptr ? nullptr : std::fopen(name, "we");
}

}  // namespace

Terminal::Terminal() : stream_(OpenStandardInputsTerminal()), owned_(stream_ != nullptr)
{
    if (stream_ == nullptr) {
        stream_ = stderr;
    }
}

Terminal::~Terminal()
{
    if (owned_) {
        // Everything shown was flushed already: nothing is left to lose.
        (void)std::fclose(stream_);
    }
}

void Terminal::Show(const std::string &text)
{
    std::fwrite(text.data(), 1, text.size(), stream_);
    std::fflush(stream_);
}
