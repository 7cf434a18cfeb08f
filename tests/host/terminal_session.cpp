#include "terminal_session.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <csignal>
#include <filesystem>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr char kPrompt[] = "rpn> ";
constexpr auto kPatience = std::chrono::seconds(20);

// The line editor takes the terminal out of line mode once it is ready for
// keys; keys typed before that would be taken by the terminal's own line
// discipline (Ctrl-D there ends nothing).
bool AwaitLineEditor(int terminal, std::chrono::steady_clock::time_point deadline)
{
#if RPN_LINE_EDITING
    termios mode{};
    while (tcgetattr(terminal, &mode) == 0 && (mode.c_lflag & ICANON) != 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
#else
    (void)terminal;
    (void)deadline;
#endif
    return true;
}

// Reads what the terminal shows for up to `deadline`; false once the program
// has closed the terminal or the deadline has passed.
bool ReadScreen(int terminal, std::string &screen, std::chrono::steady_clock::time_point deadline)
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

// After its prompt the program's next sleep is the read of the terminal. A
// Ctrl-C that came before that read would interrupt nothing, so keys wait
// until the program sleeps.
bool AwaitRead(pid_t program, std::chrono::steady_clock::time_point deadline)
{
    const std::string statPath = "/proc/" + std::to_string(program) + "/stat";
    for (;;) {
        std::ifstream statFile(statPath);
        std::string stat;
        if (!std::getline(statFile, stat)) {
            return true;
        }
        const std::size_t nameEnd = stat.rfind(") ");
        if (nameEnd == std::string::npos || nameEnd + 2 >= stat.size() || stat[nameEnd + 2] == 'S') {
            return true;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

bool AwaitPrompts(int terminal, pid_t program, std::string &screen, std::size_t wanted)
{
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (PromptsShown(screen) < wanted) {
        if (!ReadScreen(terminal, screen, deadline)) {
            return false;
        }
    }
    return AwaitLineEditor(terminal, deadline) && AwaitRead(program, deadline);
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

std::size_t PromptsShown(const std::string &screen)
{
    std::size_t count = screen.rfind(kPrompt, 0) == 0 ? 1 : 0;
    const std::string atLineStart = std::string("\n") + kPrompt;
    for (std::size_t at = screen.find(atLineStart); at != std::string::npos;
         at = screen.find(atLineStart, at + 1)) {
        ++count;
    }
    return count;
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
}

}  // namespace

TerminalSession RunOnTerminal(const TerminalSetup &setup)
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

    TerminalSession session{"", "", 0, true, ""};
    for (std::size_t i = 0; i < setup.keystrokes.size() && session.answered; ++i) {
        session.answered = AwaitPrompts(terminal, child, session.screen, i + 1);
        if (session.answered) {
            const std::string &keys = setup.keystrokes[i];
            if (write(terminal, keys.data(), keys.size()) != static_cast<ssize_t>(keys.size())) {
                session.answered = false;
            }
        }
    }
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (ReadScreen(terminal, session.screen, deadline)) {
    }
    if (!session.answered || std::chrono::steady_clock::now() > deadline) {
        session.answered = false;
        kill(child, SIGKILL);
    }
    close(terminal);
    session.err = ReadAll(errPipe[0]);
    close(errPipe[0]);
    if (outPipe[0] >= 0) {
        session.out = ReadAll(outPipe[0]);
        close(outPipe[0]);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    session.status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    return session;
}

TerminalSession RunOnTerminal(const std::vector<std::string> &arguments,
                              const std::vector<std::string> &keystrokes, const std::string &term)
{
    TerminalSetup setup;
    setup.arguments = arguments;
    setup.keystrokes = keystrokes;
    setup.term = term;
    return RunOnTerminal(setup);
}

namespace {

// rpn in the shell's session (the shell leads it): the shell itself once it
// has replaced itself with rpn, or any process under it.
pid_t FindRpn(pid_t shell, std::chrono::steady_clock::time_point deadline)
{
    while (std::chrono::steady_clock::now() <= deadline) {
        for (const auto &entry : std::filesystem::directory_iterator("/proc")) {
            const std::string name = entry.path().filename().string();
            if (name.find_first_not_of("0123456789") != std::string::npos) {
                continue;
            }
            std::ifstream statFile(entry.path() / "stat");
            std::string stat;
            if (!std::getline(statFile, stat)) {
                continue;
            }
            // "pid (command) state parent group session ..."
            const std::size_t open = stat.find(" (");
            const std::size_t close = stat.rfind(") ");
            if (open == std::string::npos || close == std::string::npos) {
                continue;
            }
            const std::string command = stat.substr(open + 2, close - open - 2);
            std::istringstream fields(stat.substr(close + 2));
            std::string state;
            pid_t parent = 0;
            pid_t group = 0;
            pid_t session = 0;
            fields >> state >> parent >> group >> session;
            if (command.rfind("rpn", 0) == 0 && session == shell) {
                return static_cast<pid_t>(std::stol(name));
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return -1;
}

}  // namespace

TerminalDriver::TerminalDriver(const std::string &script)
{
    shell_ = forkpty(&terminal_, nullptr, nullptr, nullptr);
    if (shell_ < 0) {
        throw std::runtime_error("forkpty failed");
    }
    if (shell_ == 0) {
        setenv("TERM", "dumb", 1);
        setenv("RPN_HISTFILE", "", 1);
        setenv("RPN", RPN_PROGRAM, 1);
        signal(SIGPIPE, SIG_DFL);
        execl("/bin/sh", "sh", "-c", script.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
}

TerminalDriver::~TerminalDriver()
{
    if (finished_) {
        return;
    }
    if (rpn_ > 0) {
        kill(rpn_, SIGKILL);
    }
    kill(shell_, SIGKILL);
    close(terminal_);
    int status = 0;
    while (waitpid(shell_, &status, 0) < 0 && errno == EINTR) {
    }
}

bool TerminalDriver::AwaitPrompts(std::size_t count)
{
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (PromptsShown(session_.screen) < count) {
        if (!ReadScreen(terminal_, session_.screen, deadline)) {
            return false;
        }
    }
    seen_ = session_.screen.size();
    if (rpn_ < 0) {
        rpn_ = FindRpn(shell_, deadline);
    }
    return rpn_ > 0 && AwaitLineEditor(terminal_, deadline) && AwaitRead(rpn_, deadline);
}

bool TerminalDriver::AwaitScreen(const std::string &text)
{
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    for (;;) {
        const std::size_t at = session_.screen.find(text, seen_);
        if (at != std::string::npos) {
            seen_ = at + text.size();
            return true;
        }
        if (!ReadScreen(terminal_, session_.screen, deadline)) {
            return false;
        }
    }
}

bool TerminalDriver::AwaitReading() const
{
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    return AwaitLineEditor(terminal_, deadline) && AwaitRead(rpn_, deadline);
}

bool TerminalDriver::Type(const std::string &keys)
{
    if (write(terminal_, keys.data(), keys.size()) != static_cast<ssize_t>(keys.size())) {
        return false;
    }
    // The echo of control keys differs from the keys; the text before them
    // shows as it is.
    const std::size_t control = std::find_if(keys.begin(), keys.end(),
                                             [](char key) { return std::iscntrl(static_cast<unsigned char>(key)) != 0; }) -
                                keys.begin();
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    return AwaitScreen(keys.substr(0, control)) && AwaitRead(rpn_, deadline);
}

void TerminalDriver::Signal(int number) const
{
    if (rpn_ > 0) {
        kill(rpn_, number);
    }
}

termios TerminalDriver::Mode() const
{
    termios mode{};
    tcgetattr(terminal_, &mode);
    return mode;
}

TerminalSession TerminalDriver::Finish()
{
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (ReadScreen(terminal_, session_.screen, deadline)) {
    }
    if (std::chrono::steady_clock::now() > deadline) {
        session_.answered = false;
        kill(shell_, SIGKILL);
    }
    close(terminal_);
    int status = 0;
    while (waitpid(shell_, &status, 0) < 0 && errno == EINTR) {
    }
    finished_ = true;
    session_.status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    return session_;
}
