#include "live_terminal.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kPatience = std::chrono::seconds(20);

// Appends what the terminal shows within 100 ms; false once rpn has closed
// the terminal.
bool ReadScreen(int terminal, std::string &screen)
{
    pollfd fd{terminal, POLLIN, 0};
    const int ready = poll(&fd, 1, 100);
    if (ready <= 0) {
        return ready == 0 || errno == EINTR;
    }
    char buffer[4096];
    const ssize_t count = read(terminal, buffer, sizeof buffer);
    if (count <= 0) {
        return false;
    }
    screen.append(buffer, static_cast<std::size_t>(count));
    return true;
}

// The line editor leaves line mode once it is ready for keys, and rpn then
// sleeps in its read of the terminal; keys typed before that could be taken
// by the terminal's line discipline or come before a Ctrl-C could matter.
bool ReadyForKeys(int terminal, pid_t program)
{
#if RPN_LINE_EDITING
    termios mode{};
    if (tcgetattr(terminal, &mode) != 0 || (mode.c_lflag & ICANON) != 0) {
        return false;
    }
#else
    (void)terminal;
#endif
    std::ifstream statFile("/proc/" + std::to_string(program) + "/stat");
    std::string stat;
    if (!std::getline(statFile, stat)) {
        return true;
    }
    const std::size_t nameEnd = stat.rfind(") ");
    return nameEnd == std::string::npos || nameEnd + 2 >= stat.size() || stat[nameEnd + 2] == 'S';
}

std::string ReadAll(int fd)
{
    std::string text;
    char buffer[4096];
    ssize_t count;
    while ((count = read(fd, buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<std::size_t>(count));
    }
    return text;
}

}  // namespace

LiveTerminal::LiveTerminal(const TerminalSetup &setup)
{
    int errPipe[2];
    if (pipe(errPipe) != 0) {
        throw std::runtime_error("pipe failed");
    }
    child_ = forkpty(&terminal_, nullptr, nullptr, nullptr);
    if (child_ < 0) {
        throw std::runtime_error("forkpty failed");
    }
    if (child_ == 0) {
        dup2(errPipe[1], STDERR_FILENO);
        close(errPipe[0]);
        close(errPipe[1]);
        setenv("TERM", setup.term.c_str(), 1);
        setenv("RPN_HISTFILE", "", 1);
        for (const auto &[name, value] : setup.environment) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
        signal(SIGPIPE, SIG_DFL);
        std::vector<char *> argv{const_cast<char *>(RPN_PROGRAM)};
        for (const std::string &argument : setup.arguments) {
            argv.push_back(const_cast<char *>(argument.c_str()));
        }
        argv.push_back(nullptr);
        execv(RPN_PROGRAM, argv.data());
        _exit(127);
    }
    close(errPipe[1]);
    errRead_ = errPipe[0];
}

LiveTerminal::~LiveTerminal()
{
    if (child_ > 0) {
        kill(child_, SIGKILL);
        waitpid(child_, nullptr, 0);
    }
    for (const int fd : {terminal_, errRead_}) {
        if (fd >= 0) {
            close(fd);
        }
    }
}

bool LiveTerminal::AwaitPrompt(std::chrono::milliseconds patience)
{
    const auto deadline = Clock::now() + patience;
    while (PromptsShown(session_.screen) <= linesTyped_) {
        if (Clock::now() > deadline || !ReadScreen(terminal_, session_.screen)) {
            return session_.answered = false;
        }
    }
    while (!ReadyForKeys(terminal_, child_)) {
        if (Clock::now() > deadline) {
            return session_.answered = false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

bool LiveTerminal::Type(const std::string &keys, std::chrono::milliseconds patience)
{
    if (!AwaitPrompt(patience)) {
        return false;
    }
    ++linesTyped_;
    if (write(terminal_, keys.data(), keys.size()) != static_cast<ssize_t>(keys.size())) {
        return session_.answered = false;
    }
    return true;
}

TerminalSession LiveTerminal::Finish()
{
    const auto deadline = Clock::now() + kPatience;
    while (Clock::now() <= deadline && ReadScreen(terminal_, session_.screen)) {
    }
    if (Clock::now() > deadline) {
        session_.answered = false;
        kill(child_, SIGKILL);
    }
    close(terminal_);
    terminal_ = -1;
    session_.err = ReadAll(errRead_);
    int status = 0;
    while (waitpid(child_, &status, 0) < 0 && errno == EINTR) {
    }
    child_ = -1;
    session_.status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    return session_;
}
