#include "batch.h"

#include "exit_status.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <poll.h>
#include <unistd.h>
#endif

namespace {

struct Run {
    Evaluator &evaluator;
    Output &output;
    bool keepGoing;
    int firstFailure = kExitSuccess;

    // Keeps the first failure; says whether to go on.
    bool Record(int status)
    {
        if (status != kExitSuccess && firstFailure == kExitSuccess) {
            firstFailure = status;
        }
        return status == kExitSuccess || keepGoing;
    }
};

#ifdef _WIN32
// The C library there has no getline. Lines are bytes, a NUL among them.
ssize_t getline(char **buffer, std::size_t *room, std::FILE *file)
{
    std::size_t length = 0;
    for (int c = 0; c != '\n' && (c = std::getc(file)) != EOF; (*buffer)[length++] = static_cast<char>(c)) {
        if (length == *room && (*buffer = static_cast<char *>(std::realloc(*buffer, *room = *room * 2 + 128))) == nullptr) {
            throw std::bad_alloc();  // rpn ends; the old buffer goes with it
        }
    }
    return length == 0 ? -1 : static_cast<ssize_t>(length);
}

// Whether a read could wait: a console, or a pipe with nothing in it (a
// pipe whose writer is gone has its end waiting).
bool MightWait(std::FILE *file)
{
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    DWORD available = 0;
    return GetFileType(handle) != FILE_TYPE_PIPE ||
           (PeekNamedPipe(handle, nullptr, 0, nullptr, &available, nullptr) != 0 && available == 0);
}
#else
bool MightWait(std::FILE *file)
{
    pollfd input{fileno(file), POLLIN, 0};
    return poll(&input, 1, 0) == 0;
}
#endif

// "rpn: read error: REASON", after "FILE: " for a file.
[[noreturn]] void StopOnReadError(Run &run, const std::string &name, int error)
{
    run.output.Stop((name == "-" ? "" : name + ": ") + "read error: " + std::strerror(error));
}

// Empty lines are skipped and counted; a CR before the newline is dropped,
// and a last line without one counts.
void RunFile(Run &run, const std::string &name)
{
    const bool standardInput = name == "-";
    if (standardInput && run.output.inputClosed()) {
        StopOnReadError(run, name, EBADF);
    }
    std::FILE *file = standardInput ? stdin : std::fopen(name.c_str(), "rb");
    if (file == nullptr) {
        run.output.Stop(name + ": " + std::strerror(errno));
    }
    struct stat info {};
    const bool regular = fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode);
    char *buffer = nullptr;
    std::size_t room = 0;
    for (unsigned long number = 1;; ++number) {
        // Out before rpn waits; lines already waiting keep it buffered.
        if (!regular && MightWait(file)) {
            run.output.Flush();
        }
        const ssize_t read = getline(&buffer, &room, file);
        if (read < 0 && std::ferror(file) != 0) {
            StopOnReadError(run, name, errno);
        }
        std::size_t length = read < 0 ? 0 : static_cast<std::size_t>(read);
        length -= length > 0 && buffer[length - 1] == '\n' ? 1 : 0;
        length -= length > 0 && buffer[length - 1] == '\r' ? 1 : 0;
        if (read < 0 || (length != 0 && !run.Record(run.evaluator.Evaluate({buffer, length}, Place{name, number}).status))) {
            break;
        }
    }
    std::free(buffer);
    if (!standardInput) {
        (void)std::fclose(file);
    }
}

}  // namespace

int RunBatch(Evaluator &evaluator, Output &output, const std::vector<Source> &sources, bool keepGoing)
{
    Run run{evaluator, output, keepGoing};
    for (const Source &source : sources.empty() ? std::vector<Source>{{true, "-", 0}} : sources) {
        const int before = run.firstFailure;
        if (source.isFile) {
            RunFile(run, source.text);
        } else {
            run.Record(evaluator.Evaluate(source.text, Place{"argument " + std::to_string(source.argumentNumber), 0}).status);
        }
        if (run.firstFailure != before && !keepGoing) {
            break;
        }
    }
    return run.firstFailure;
}
