#include "coprocess.h"

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

void MakePipe(int ends[2])
{
    if (pipe(ends) != 0) {
        throw std::runtime_error("pipe failed");
    }
}

// The terminal hands over whole lines, and what is sent is not echoed back
// to the sender.
void OpenQuietTerminal(int &master, int &slave)
{
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
        throw std::runtime_error("openpty failed");
    }
    termios mode{};
    tcgetattr(slave, &mode);
    mode.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL);
    mode.c_lflag |= ICANON;
    tcsetattr(slave, TCSANOW, &mode);
}

}  // namespace

Coprocess::Coprocess(const std::vector<std::string> &arguments, Input input) : input_(input)
{
    signal(SIGPIPE, SIG_IGN);
    int in[2];
    int out[2];
    int err[2];
    if (input == Input::kTerminal) {
        OpenQuietTerminal(in[1], in[0]);
    } else {
        MakePipe(in);
    }
    MakePipe(out);
    MakePipe(err);
    child_ = fork();
    if (child_ < 0) {
        throw std::runtime_error("fork failed");
    }
    if (child_ == 0) {
        dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        for (const int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) {
            close(fd);
        }
        signal(SIGPIPE, SIG_DFL);
        std::vector<char *> argv{const_cast<char *>(RPN_PROGRAM)};
        for (const std::string &argument : arguments) {
            argv.push_back(const_cast<char *>(argument.c_str()));
        }
        argv.push_back(nullptr);
        execv(RPN_PROGRAM, argv.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    in_ = in[1];
    out_ = out[0];
    err_ = err[0];
}

Coprocess::~Coprocess()
{
    if (child_ > 0) {
        kill(child_, SIGKILL);
        int status = 0;
        while (waitpid(child_, &status, 0) < 0 && errno == EINTR) {
        }
    }
    for (const int fd : {in_, out_, err_}) {
        if (fd >= 0) {
            close(fd);
        }
    }
}

bool Coprocess::Send(const std::string &text) const
{
    std::size_t sent = 0;
    while (sent < text.size()) {
        const ssize_t count = write(in_, text.data() + sent, text.size() - sent);
        if (count < 0 && errno != EINTR) {
            return false;
        }
        sent += count > 0 ? static_cast<std::size_t>(count) : 0;
    }
    return true;
}

namespace {

// Bytes beyond `count` that came in the same read wait in `pending` for
// the next call.
std::string ReadFrom(int fd, std::string &pending, std::size_t count,
                     std::chrono::milliseconds patience)
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (pending.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd ready{fd, POLLIN, 0};
        const int polled = poll(&ready, 1, static_cast<int>(left.count()));
        if (polled < 0 && errno == EINTR) {
            continue;
        }
        if (polled <= 0) {
            break;
        }
        char buffer[4096];
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        pending.append(buffer, static_cast<std::size_t>(got));
    }
    std::string taken = pending.substr(0, count);
    pending.erase(0, taken.size());
    return taken;
}

}  // namespace

std::string Coprocess::ReadOutput(std::size_t count, std::chrono::milliseconds patience)
{
    return ReadFrom(out_, pendingOut_, count, patience);
}

std::string Coprocess::ReadError(std::size_t count, std::chrono::milliseconds patience)
{
    return ReadFrom(err_, pendingErr_, count, patience);
}

void Coprocess::EndInput()
{
    if (input_ == Input::kTerminal) {
        // Ctrl-D on an empty line; closing the terminal instead would make
        // rpn's next read fail.
        Send("\x04");
        return;
    }
    close(in_);
    in_ = -1;
}

int Coprocess::Finish(std::string &restOut, std::string &restErr)
{
    EndInput();
    restOut = pendingOut_;
    restErr = pendingErr_;
    pendingOut_.clear();
    pendingErr_.clear();
    pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
    std::string *sinks[2] = {&restOut, &restErr};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while ((fds[0].fd >= 0 || fds[1].fd >= 0) && std::chrono::steady_clock::now() < deadline) {
        if (poll(fds, 2, 100) < 0 && errno != EINTR) {
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd >= 0 && fds[i].revents != 0) {
                char buffer[4096];
                const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
                if (got > 0) {
                    sinks[i]->append(buffer, static_cast<std::size_t>(got));
                } else {
                    fds[i].fd = -1;
                }
            }
        }
    }
    int status = 0;
    if (fds[0].fd >= 0 || fds[1].fd >= 0) {
        kill(child_, SIGKILL);
    }
    while (waitpid(child_, &status, 0) < 0 && errno == EINTR) {
    }
    child_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}
