#include "isolation.h"

#include "exit_status.h"

#include <cerrno>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

namespace {

int WaitForExit(pid_t child)
{
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            std::perror("rpn: waitpid");
            return kExitSystem;
        }
    }
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    if (WIFSIGNALED(status)) {
        return kExitSignalBase + WTERMSIG(status);
    }
    return kExitSystem;
}

}  // namespace

int EvaluateIsolated(const std::string &expression, OutputChoice output)
{
    // Whatever waits in our buffers would otherwise be written twice, once
    // by each process.
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = fork();
    if (child < 0) {
        std::perror("rpn: fork");
        return kExitSystem;
    }
    if (child == 0) {
        EvaluateHere(expression, output);
        std::fflush(stdout);
        // _exit: the parent's exit handlers and stream buffers are not ours.
        _exit(kExitSuccess);
    }
    return WaitForExit(child);
}
