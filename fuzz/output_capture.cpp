#include "output_capture.h"

#include <cstdio>
#include <cstdlib>

#include <sys/stat.h>
#include <unistd.h>

namespace kelvaro_fuzz {
namespace {

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
    static_cast<void>(std::fflush(stdout));
    if (dup2(fileno(file), STDOUT_FILENO) < 0) {
        Fail("dup2");
    }
}

void ClearCapture()
{
    static_cast<void>(std::fflush(stdout));
    if (ftruncate(STDOUT_FILENO, 0) != 0 || lseek(STDOUT_FILENO, 0, SEEK_SET) != 0) {
        Fail("clearing the captured output");
    }
}

std::string CapturedOutput()
{
    static_cast<void>(std::fflush(stdout));
    struct stat status {};
    if (fstat(STDOUT_FILENO, &status) != 0) {
        Fail("fstat");
    }
    std::string text(static_cast<std::size_t>(status.st_size), '\0');
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t got = pread(STDOUT_FILENO, &text[done], text.size() - done,
                                  static_cast<off_t>(done));
        if (got <= 0) {
            Fail("reading the captured output");
        }
        done += static_cast<std::size_t>(got);
    }
    return text;
}

}  // namespace kelvaro_fuzz
