#include "terminal_session.h"

#include "terminal_io.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <csignal>
#include <filesystem>
#include <pty.h>
#include <stdexcept>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr char kPrompt[] = "rpn> ";
constexpr auto kPatience = std::chrono::seconds(20);

bool AwaitPrompts(int terminal, pid_t program, std::string &screen, std::size_t wanted)
{
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (PromptsShown(screen) < wanted) {
        if (!ReadScreen(terminal, screen, deadline)) {
            return false;
        }
    }
    return AwaitKeysWanted(terminal, program, deadline);
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

TerminalSession RunOnTerminal(const TerminalSetup &setup)
{
    const StartedTerminal started = StartOnTerminal(setup);
    const pid_t child = started.child;
    const int terminal = started.terminal;

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
    session.err = ReadAll(started.errRead);
    close(started.errRead);
    if (started.outRead >= 0) {
        session.out = ReadAll(started.outRead);
        close(started.outRead);
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
    return rpn_ > 0 && AwaitKeysWanted(terminal_, rpn_, deadline);
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
    return AwaitKeysWanted(terminal_, rpn_, deadline);
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
    return AwaitScreen(keys.substr(0, control)) && AwaitSleeping(rpn_, deadline);
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
