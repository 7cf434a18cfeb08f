#include "line_reader.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <poll.h>
#endif

namespace {

constexpr std::size_t kInitialSize = std::size_t{64} * 1024;

std::string_view WithoutCarriageReturn(const char *text, std::size_t length)
{
    if (length > 0 && text[length - 1] == '\r') {
        --length;
    }
    return {text, length};
}

}  // namespace

LineReader::LineReader(int fd, bool stopOnSignal)
    : fd_(fd), stopOnSignal_(stopOnSignal), data_(kInitialSize)
{
}

void LineReader::Break(int error)
{
    error_ = error;
}

void LineReader::BeforeWaiting(void (*hook)(void *), void *context)
{
    beforeWaiting_ = hook;
    beforeWaitingContext_ = context;
}

// A read now would return at once: with data, at the end, or failing.
// Regular files always say so, so only pipes and terminals pay for the hook.
#ifdef _WIN32
// A pipe whose writer is gone has its end waiting too.
bool LineReader::InputWaiting() const
{
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd_));
    switch (GetFileType(handle)) {
    case FILE_TYPE_DISK: return true;
    case FILE_TYPE_PIPE: {
        DWORD available = 0;
        return PeekNamedPipe(handle, nullptr, 0, nullptr, &available, nullptr) == 0 || available > 0;
    }
    default: return false;
    }
}
#else
bool LineReader::InputWaiting() const
{
    pollfd input{fd_, POLLIN, 0};
    return poll(&input, 1, 0) > 0;
}
#endif

LineReader::Result LineReader::Next(std::string_view &line)
{
    std::size_t searchFrom = start_;
    for (;;) {
        const void *newline = std::memchr(data_.data() + searchFrom, '\n', end_ - searchFrom);
        if (newline != nullptr) {
            const char *first = data_.data() + start_;
            const auto length = static_cast<std::size_t>(static_cast<const char *>(newline) - first);
            line = WithoutCarriageReturn(first, length);
            start_ += length + 1;
            return Result::kLine;
        }
        if (atEnd_) {
            break;
        }
        searchFrom = end_ - start_;
        const Fill fill = ReadMore();
        if (fill == Fill::kError) {
            return Result::kError;
        }
        if (fill == Fill::kInterrupted) {
            return Result::kInterrupted;
        }
        atEnd_ = fill == Fill::kEnd;
        searchFrom += start_;
    }
    if (start_ == end_) {
        return Result::kEnd;
    }
    line = WithoutCarriageReturn(data_.data() + start_, end_ - start_);
    start_ = end_;
    return Result::kLine;
}

// Moves the unread part to the front, grows the buffer when a line fills
// it, and reads what comes next.
LineReader::Fill LineReader::ReadMore()
{
    if (start_ > 0) {
        std::memmove(data_.data(), data_.data() + start_, end_ - start_);
        end_ -= start_;
        start_ = 0;
    }
    if (end_ == data_.size()) {
        data_.resize(data_.size() * 2);
    }
    if (error_ != 0) {
        return Fill::kError;
    }
    if (beforeWaiting_ != nullptr && !InputWaiting()) {
        beforeWaiting_(beforeWaitingContext_);
    }
    for (;;) {
        const ssize_t count = read(fd_, data_.data() + end_, data_.size() - end_);
        if (count > 0) {
            end_ += static_cast<std::size_t>(count);
            return Fill::kMore;
        }
        if (count == 0) {
            return Fill::kEnd;
        }
        if (errno != EINTR) {
            error_ = errno;
            return Fill::kError;
        }
        if (stopOnSignal_) {
            return Fill::kInterrupted;
        }
    }
}
