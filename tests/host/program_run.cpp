// The shorthands of RunProgram, the same on every system.
#include "program_run.h"

ProgramResult RunProgram(const std::vector<std::string> &arguments, const std::string &input)
{
    ProgramSetup setup;
    setup.arguments = arguments;
    setup.input = input;
    return RunProgram(setup);
}

ProgramResult RunProgramOnFile(const std::vector<std::string> &arguments, const std::string &path)
{
    ProgramSetup setup;
    setup.arguments = arguments;
    setup.inputPath = path;
    return RunProgram(setup);
}
