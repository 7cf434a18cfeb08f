#include "standard_descriptors.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#ifdef _WIN32
#include <initializer_list>
#include <io.h>
#endif

namespace {

#ifdef _WIN32
constexpr char kNullDevice[] = "NUL";

// A program started without a standard handle gets -2 for it rather than
// an invalid handle.
bool IsClosed(int fd)
{
    const intptr_t handle = _get_osfhandle(fd);
    return handle == -1 || handle == -2;
}
#else
constexpr char kNullDevice[] = "/dev/null";

bool IsClosed(int fd)
{
    return fcntl(fd, F_GETFD) < 0 && errno == EBADF;
}
#endif

// open() returns the lowest free number, which is `fd` itself while the
// lower ones are open: they are reserved in order.
bool Reserve(int fd, int mode)
{
    if (!IsClosed(fd)) {
        return false;
    }
    const int placeholder = open(kNullDevice, mode);
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
#ifdef _WIN32
    // The bytes as on every other system: lines end in LF on the way out,
    // and the line reader takes CR LF and ^Z as they come in.
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        _setmode(fd, _O_BINARY);
    }
#endif
    return descriptors;
}
