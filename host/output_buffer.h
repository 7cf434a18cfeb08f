// A write buffer on a file descriptor that reports why a write failed.
#ifndef RPN_OUTPUT_BUFFER_H
#define RPN_OUTPUT_BUFFER_H

#include <cstddef>
#include <string_view>
#include <vector>

class OutputBuffer {
public:
    OutputBuffer(int fd, std::size_t capacity);

    // Both return false when a write failed; error() then says why. What
    // could not be written is dropped.
    bool Append(std::string_view text);
    bool Flush();

    // Makes every later write fail with `error`, as writes to a descriptor
    // that was never open do.
    void Break(int error);

    int error() const { return error_; }

private:
    bool WriteOut(const char *data, std::size_t size);

    int fd_;
    std::vector<char> data_;
    std::size_t used_ = 0;
    int error_ = 0;
    int brokenWith_ = 0;
};

#endif
