#include "terminal_io.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

bool ReadScreen(int terminal, std::string &screen, Deadline deadline)
{
    if (std::chrono::steady_clock::now() > deadline) {
        return false;
    }
    pollfd fd{terminal, POLLIN, 0};
    const int ready = poll(&fd, 1, 100);
    if (ready <= 0) {
        return ready == 0 || errno == EINTR;
    }
    char buffer[4096];
    const ssize_t count = read(terminal, buffer, sizeof buffer);
    if (count <= 0) {
        // Linux reports EIO when the last holder of the other side exits.
        return false;
    }
    screen.append(buffer, static_cast<std::size_t>(count));
    return true;
}

namespace {

bool InLineMode(int terminal)
{
#if RPN_LINE_EDITING
    termios mode{};
    return tcgetattr(terminal, &mode) == 0 && (mode.c_lflag & ICANON) != 0;
#else
    (void)terminal;
    return false;
#endif
}

// A program that has gone has nothing left to wait for.
bool Sleeping(pid_t program)
{
    std::ifstream statFile("/proc/" + std::to_string(program) + "/stat");
    std::string stat;
    if (!std::getline(statFile, stat)) {
        return true;
    }
    // "pid (command) state ...": the command may hold spaces and brackets.
    const std::size_t nameEnd = stat.rfind(") ");
    return nameEnd == std::string::npos || nameEnd + 2 >= stat.size() || stat[nameEnd + 2] == 'S';
}

}  // namespace

bool AwaitSleeping(pid_t program, Deadline deadline)
{
    while (!Sleeping(program)) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

bool AwaitKeysWanted(int terminal, pid_t program, Deadline deadline)
{
    while (InLineMode(terminal)) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return AwaitSleeping(program, deadline);
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

namespace {

// In the child, before rpn starts.
void PrepareChild(const TerminalSetup &setup, int errWrite, int outWrite)
{
    if (!setup.errorOnTerminal) {
        dup2(errWrite, STDERR_FILENO);
    }
    if (outWrite >= 0) {
        dup2(outWrite, STDOUT_FILENO);
    }
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
    if (!setup.directory.empty() && chdir(setup.directory.c_str()) != 0) {
        _exit(126);
    }
}

}  // namespace

StartedTerminal StartOnTerminal(const TerminalSetup &setup)
{
    int errPipe[2];
    int outPipe[2] = {-1, -1};
    if (pipe(errPipe) != 0 || (setup.redirectOutput && pipe(outPipe) != 0)) {
        throw std::runtime_error("pipe failed");
    }
    int terminal = -1;
    winsize size{};
    size.ws_row = 24;
    size.ws_col = setup.columns;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, setup.columns == 0 ? nullptr : &size);
    if (child < 0) {
        throw std::runtime_error("forkpty failed");
    }
    if (child == 0) {
        PrepareChild(setup, errPipe[1], outPipe[1]);
        for (const int fd : {errPipe[0], errPipe[1], outPipe[0], outPipe[1]}) {
            if (fd >= 0) {
                close(fd);
            }
        }
        std::vector<char *> argv{const_cast<char *>(RPN_PROGRAM)};
        for (const std::string &argument : setup.arguments) {
            argv.push_back(const_cast<char *>(argument.c_str()));
        }
        argv.push_back(nullptr);
        execv(RPN_PROGRAM, argv.data());
        _exit(127);
    }
    close(errPipe[1]);
    if (outPipe[1] >= 0) {
        close(outPipe[1]);
    }
    return StartedTerminal{child, terminal, errPipe[0], outPipe[0]};
}
