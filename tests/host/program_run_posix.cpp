// RunProgram on POSIX systems: fork, the streams arranged in the child, exec.
#include "program_run.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Pipe {
    int read;
    int write;
};

Pipe MakePipe()
{
    int ends[2];
    if (pipe(ends) != 0) {
        throw std::runtime_error("pipe failed");
    }
    return Pipe{ends[0], ends[1]};
}

[[noreturn]] void ExecProgram(const std::vector<std::string> &arguments)
{
    std::vector<char *> argv;
    argv.push_back(const_cast<char *>(RPN_PROGRAM));
    for (const std::string &argument : arguments) {
        argv.push_back(const_cast<char *>(argument.c_str()));
    }
    argv.push_back(nullptr);
    execv(RPN_PROGRAM, argv.data());
    _exit(127);
}

void OpenOnto(const char *path, int flags, int fd)
{
    const int opened = open(path, flags);
    if (opened < 0) {
        _exit(126);
    }
    dup2(opened, fd);
    close(opened);
}

// In the child: standard input, output and error as the setup asks.
void ArrangeStreams(const ProgramSetup &setup, const Pipe &in, const Pipe &out, const Pipe &err)
{
    if (!setup.inputPath.empty()) {
        OpenOnto(setup.inputPath.c_str(), O_RDONLY, STDIN_FILENO);
    } else {
        dup2(in.read, STDIN_FILENO);
    }
    dup2(err.write, STDERR_FILENO);
    switch (setup.out) {
    case OutputTarget::kCaptured:
    case OutputTarget::kReaderGone: dup2(out.write, STDOUT_FILENO); break;
    case OutputTarget::kSameAsError: dup2(err.write, STDOUT_FILENO); break;
    case OutputTarget::kFull: OpenOnto("/dev/full", O_WRONLY, STDOUT_FILENO); break;
    case OutputTarget::kClosed: close(STDOUT_FILENO); break;
    }
    for (const int fd : {in.read, in.write, out.read, out.write, err.read, err.write}) {
        if (fd > STDERR_FILENO) {
            close(fd);
        }
    }
    if (setup.closeStandardInput) {
        close(STDIN_FILENO);
    }
    if (setup.closeStandardError) {
        close(STDERR_FILENO);
    }
    signal(SIGPIPE, setup.brokenPipeKills ? SIG_DFL : SIG_IGN);
}

// Moves data between the test and the child until both output pipes close;
// input is written as the child takes it so that no side waits on the other.
void Exchange(const ProgramSetup &setup, int inputFd, int outFd, int errFd, ProgramResult &result)
{
    const std::string &input = setup.input;
    std::size_t written = 0;
    int heldOpen = -1;
    pollfd fds[3] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}, {inputFd, POLLOUT, 0}};
    const auto inputDone = [&] {
        if (setup.inputNeverEnds) {
            heldOpen = fds[2].fd;
        } else {
            close(fds[2].fd);
        }
        fds[2].fd = -1;
    };
    if (input.empty()) {
        inputDone();
    }
    std::string *sinks[2] = {&result.out, &result.err};
    while (fds[0].fd >= 0 || fds[1].fd >= 0) {
        if (poll(fds, 3, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw std::runtime_error("poll failed");
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd >= 0 && fds[i].revents != 0) {
                char buffer[4096];
                const ssize_t count = read(fds[i].fd, buffer, sizeof buffer);
                if (count > 0) {
                    sinks[i]->append(buffer, static_cast<std::size_t>(count));
                } else {
                    close(fds[i].fd);
                    fds[i].fd = -1;
                }
            }
        }
        if (fds[2].fd >= 0 && fds[2].revents != 0) {
            const ssize_t count = write(fds[2].fd, input.data() + written, input.size() - written);
            written += count > 0 ? static_cast<std::size_t>(count) : 0;
            if (count < 0 || written == input.size()) {
                inputDone();
            }
        }
    }
    for (const int fd : {fds[2].fd, heldOpen}) {
        if (fd >= 0) {
            close(fd);
        }
    }
}

}  // namespace

ProgramResult RunProgram(const ProgramSetup &setup)
{
    // A child that stops reading its input must not kill the test.
    signal(SIGPIPE, SIG_IGN);
    const Pipe in = MakePipe();
    Pipe out = MakePipe();
    const Pipe err = MakePipe();
    if (setup.out != OutputTarget::kCaptured) {
        close(out.read);
        out.read = -1;
    }
    const pid_t child = fork();
    if (child < 0) {
        throw std::runtime_error("fork failed");
    }
    if (child == 0) {
        ArrangeStreams(setup, in, out, err);
        ExecProgram(setup.arguments);
    }
    close(in.read);
    close(out.write);
    close(err.write);
    const int outFd = out.read;

    ProgramResult result{"", "", 0};
    Exchange(setup, in.write, outFd, err.read, result);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    return result;
}
