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

enum class Chunk { kRead, kEnd, kInterrupted };

// Appends the next chunk of input. A read error counts as the end.
Chunk ReadChunk(LineSource &source)
{
    char chunk[kChunkSize];
    for (;;) {
        const ssize_t count = read(source.fd, chunk, sizeof chunk);
        if (count > 0) {
            source.pending.append(chunk, static_cast<std::size_t>(count));
            return Chunk::kRead;
        }
        if (count < 0 && errno == EINTR) {
            if (source.stopOnSignal) {
                return Chunk::kInterrupted;
            }
            continue;
        }
        return Chunk::kEnd;
    }
}

}  // namespace

LineSource OpenLineSource(int fd, bool stopOnSignal)
{
    return LineSource{fd, std::string(), false, stopOnSignal};
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
        const Chunk chunk = source.atEnd ? Chunk::kEnd : ReadChunk(source);
        if (chunk == Chunk::kInterrupted) {
            return false;
        }
        if (chunk == Chunk::kEnd) {
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
