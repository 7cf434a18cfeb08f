#include "output_buffer.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

OutputBuffer::OutputBuffer(int fd, std::size_t capacity) : fd_(fd), data_(capacity)
{
}

bool OutputBuffer::Append(std::string_view text)
{
    if (text.size() > data_.size() - used_) {
        if (!Flush()) {
            return false;
        }
        if (text.size() > data_.size()) {
            return WriteOut(text.data(), text.size());
        }
    }
    std::memcpy(data_.data() + used_, text.data(), text.size());
    used_ += text.size();
    return true;
}

bool OutputBuffer::Flush()
{
    const std::size_t size = used_;
    used_ = 0;
    return size == 0 || WriteOut(data_.data(), size);
}

void OutputBuffer::Break(int error)
{
    brokenWith_ = error;
}

bool OutputBuffer::WriteOut(const char *data, std::size_t size)
{
    if (brokenWith_ != 0) {
        error_ = brokenWith_;
        return false;
    }
    while (size > 0) {
        const ssize_t written = write(fd_, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            error_ = errno;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}
