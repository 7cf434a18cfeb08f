#include "batch.h"

#include "exit_status.h"
#include "isolation.h"

namespace {

int EvaluateOne(const std::string &expression, RunChoice choice)
{
    if (choice.keepGoing) {
        return EvaluateIsolated(expression, choice.output);
    }
    EvaluateHere(expression, choice.output);
    return kExitSuccess;
}

void KeepFirstFailure(int &firstFailure, int status)
{
    if (firstFailure == kExitSuccess) {
        firstFailure = status;
    }
}

}  // namespace

int EvaluateArguments(const std::vector<std::string> &expressions, RunChoice choice)
{
    int firstFailure = kExitSuccess;
    for (const std::string &expression : expressions) {
        KeepFirstFailure(firstFailure, EvaluateOne(expression, choice));
    }
    return firstFailure;
}

int EvaluateLines(LineSource &source, RunChoice choice)
{
    int firstFailure = kExitSuccess;
    std::string line;
    while (ReadLine(source, line)) {
        if (!line.empty()) {
            KeepFirstFailure(firstFailure, EvaluateOne(line, choice));
        }
    }
    return firstFailure;
}
