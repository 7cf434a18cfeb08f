#include "program_run.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
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

// Moves data between the test and the child until both output pipes close;
// input is written as the child takes it so that no side waits on the other.
void Exchange(int inputFd, const std::string &input, int outFd, int errFd, ProgramResult &result)
{
    std::size_t written = 0;
    if (input.empty()) {
        close(inputFd);
        inputFd = -1;
    }
    pollfd fds[3] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}, {inputFd, POLLOUT, 0}};
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
                close(fds[2].fd);
                fds[2].fd = -1;
            }
        }
    }
    if (fds[2].fd >= 0) {
        close(fds[2].fd);
    }
}

// Standard input is `inputFile` when it is open, otherwise a pipe carrying
// `input`.
ProgramResult RunWithInput(const std::vector<std::string> &arguments, const std::string &input,
                           int inputFile)
{
    // A child that stops reading its input must not kill the test.
    signal(SIGPIPE, SIG_IGN);
    const Pipe in = MakePipe();
    const Pipe out = MakePipe();
    const Pipe err = MakePipe();
    const pid_t child = fork();
    if (child < 0) {
        throw std::runtime_error("fork failed");
    }
    if (child == 0) {
        dup2(inputFile >= 0 ? inputFile : in.read, STDIN_FILENO);
        dup2(out.write, STDOUT_FILENO);
        dup2(err.write, STDERR_FILENO);
        for (const int fd : {in.read, in.write, out.read, out.write, err.read, err.write}) {
            close(fd);
        }
        ExecProgram(arguments);
    }
    close(in.read);
    close(out.write);
    close(err.write);

    ProgramResult result{"", "", 0};
    Exchange(in.write, input, out.read, err.read, result);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    return result;
}

}  // namespace

ProgramResult RunProgram(const std::vector<std::string> &arguments, const std::string &input)
{
    return RunWithInput(arguments, input, -1);
}

ProgramResult RunProgramOnFile(const std::vector<std::string> &arguments, const std::string &path)
{
    const int file = open(path.c_str(), O_RDONLY);
    if (file < 0) {
        throw std::runtime_error("cannot open " + path);
    }
    ProgramResult result = RunWithInput(arguments, "", file);
    close(file);
    return result;
}
