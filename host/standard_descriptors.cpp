#include "standard_descriptors.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool IsClosed(int fd)
{
    return fcntl(fd, F_GETFD) < 0 && errno == EBADF;
}

// open() returns the lowest free number, which is `fd` itself while the
// lower ones are open: they are reserved in order.
bool Reserve(int fd, int mode)
{
    if (!IsClosed(fd)) {
        return false;
    }
    const int placeholder = open("/dev/null", mode);
    if (placeholder >= 0 && placeholder != fd) {
        dup2(placeholder, fd);
        close(placeholder);
    }
    return true;
}

}  // namespace

StandardDescriptors ReserveStandardDescriptors()
{
    StandardDescriptors descriptors{};
    descriptors.inputClosed = Reserve(STDIN_FILENO, O_RDONLY);
    descriptors.outputClosed = Reserve(STDOUT_FILENO, O_WRONLY);
    descriptors.errorClosed = Reserve(STDERR_FILENO, O_WRONLY);
    return descriptors;
}
