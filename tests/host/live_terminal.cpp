#include "live_terminal.h"

#include "terminal_io.h"

#include <cerrno>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kPatience = std::chrono::seconds(20);

}  // namespace

LiveTerminal::LiveTerminal(const TerminalSetup &setup)
{
    const StartedTerminal started = StartOnTerminal(setup);
    child_ = started.child;
    terminal_ = started.terminal;
    errRead_ = started.errRead;
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
        if (!ReadScreen(terminal_, session_.screen, deadline)) {
            return session_.answered = false;
        }
    }
    if (!AwaitKeysWanted(terminal_, child_, deadline)) {
        return session_.answered = false;
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
    while (ReadScreen(terminal_, session_.screen, deadline)) {
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
