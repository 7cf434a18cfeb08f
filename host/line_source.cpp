#include "line_source.h"

#include <cerrno>
#include <unistd.h>

namespace {

constexpr std::size_t kChunkSize = 4096;

void DropCarriageReturn(std::string &line)
{
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
}

// Appends the next chunk of input; false at end of input or on a read error.
bool ReadChunk(LineSource &source)
{
    char chunk[kChunkSize];
    for (;;) {
        const ssize_t count = read(source.fd, chunk, sizeof chunk);
        if (count > 0) {
            source.pending.append(chunk, static_cast<std::size_t>(count));
            return true;
        }
        if (count < 0 && errno == EINTR) {
            continue;
        }
        return false;
    }
}

}  // namespace

LineSource OpenLineSource(int fd)
{
    return LineSource{fd, std::string(), false};
}

bool ReadLine(LineSource &source, std::string &line)
{
    std::size_t searchFrom = 0;
    for (;;) {
        const std::size_t newline = source.pending.find('\n', searchFrom);
        if (newline != std::string::npos) {
            line.assign(source.pending, 0, newline);
            source.pending.erase(0, newline + 1);
            DropCarriageReturn(line);
            return true;
        }
        searchFrom = source.pending.size();
        if (source.atEnd || !ReadChunk(source)) {
            source.atEnd = true;
            break;
        }
    }
    if (source.pending.empty()) {
        return false;
    }
    line.swap(source.pending);
    source.pending.clear();
    DropCarriageReturn(line);
    return true;
}
