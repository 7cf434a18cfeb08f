#include "output_capture.h"

#include <cstdio>
#include <cstdlib>

#include <sys/stat.h>
#include <unistd.h>

namespace kelvaro_fuzz {
namespace {

// The capture file; file descriptor 1 is pointed at it before every run.
int captureFd = -1;

[[noreturn]] void Fail(const char *what)
{
    std::perror(what);
    std::abort();
}

}  // namespace

void StartCapture()
{
    // A file rather than a pipe: a run may print megabytes of listings, and
    // nothing reads them until the run is over.
    std::FILE *file = std::tmpfile();
    if (file == nullptr) {
        Fail("tmpfile");
    }
    captureFd = fileno(file);
}

void ClearCapture()
{
    static_cast<void>(std::fflush(stdout));
    // Again before every run: libFuzzer's -close_fd_mask=1 points descriptor
    // 1 at /dev/null after initialisation.
    if (dup2(captureFd, STDOUT_FILENO) < 0) {
        Fail("dup2");
    }
    if (ftruncate(captureFd, 0) != 0 || lseek(captureFd, 0, SEEK_SET) != 0) {
        Fail("clearing the captured output");
    }
}

std::string CapturedOutput()
{
    static_cast<void>(std::fflush(stdout));
    struct stat status {};
    if (fstat(captureFd, &status) != 0) {
        Fail("fstat");
    }
    std::string text(static_cast<std::size_t>(status.st_size), '\0');
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t got = pread(captureFd, &text[done], text.size() - done,
                                  static_cast<off_t>(done));
        if (got <= 0) {
            Fail("reading the captured output");
        }
        done += static_cast<std::size_t>(got);
    }
    return text;
}

}  // namespace kelvaro_fuzz
