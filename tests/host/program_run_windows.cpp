// RunProgram on Windows: rpn.exe started with CreateProcess, its standard
// streams anonymous pipes, each drained by a thread of its own so that
// neither side waits on the other. What Windows has no counterpart for (a
// closed standard output, a full device, a pipe with no reader) is refused.
#include "program_run.h"

#include <stdexcept>
#include <string>
#include <thread>
#include <windows.h>

namespace {

// RPN_PROGRAM is the file name of rpn.exe, which the build puts beside the
// test programs: found there, as Windows finds a program's DLLs.
std::string ProgramPath()
{
    char own[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, own, sizeof own);
    std::string path(own, length);
    path.erase(path.find_last_of("\\/") + 1);
    return path + RPN_PROGRAM;
}

// The command line that the C runtime's argument parser splits back into
// `argument`: quoted, with backslashes doubled where a quote follows them.
void AppendQuoted(std::string &line, const std::string &argument)
{
    line += " \"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        line.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        line += c;
    }
    line.append(2 * backslashes, '\\');
    line += '"';
}

struct Pipe {
    HANDLE read = nullptr;
    HANDLE write = nullptr;
};

// The child's end inheritable, the test's end not.
Pipe MakePipe(bool childReads)
{
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    Pipe pipe;
    if (CreatePipe(&pipe.read, &pipe.write, &inherit, 0) == 0) {
        throw std::runtime_error("CreatePipe failed");
    }
    SetHandleInformation(childReads ? pipe.write : pipe.read, HANDLE_FLAG_INHERIT, 0);
    return pipe;
}

void Close(HANDLE &handle)
{
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
    }
    handle = nullptr;
}

void Drain(HANDLE from, std::string &sink)
{
    char buffer[4096];
    DWORD count = 0;
    while (ReadFile(from, buffer, sizeof buffer, &count, nullptr) != 0 && count > 0) {
        sink.append(buffer, count);
    }
}

HANDLE OpenInheritable(const std::string &path)
{
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot open " + path);
    }
    return file;
}

}  // namespace

ProgramResult RunProgram(const ProgramSetup &setup)
{
    if (setup.out != OutputTarget::kCaptured && setup.out != OutputTarget::kSameAsError) {
        throw std::runtime_error("this standard output has no counterpart on Windows");
    }
    const std::string program = ProgramPath();
    std::string commandLine = "\"" + program + "\"";
    for (const std::string &argument : setup.arguments) {
        AppendQuoted(commandLine, argument);
    }
    Pipe in = MakePipe(true);
    Pipe out = MakePipe(false);
    Pipe err = MakePipe(false);
    HANDLE inputFile = setup.inputPath.empty() ? nullptr : OpenInheritable(setup.inputPath);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = setup.closeStandardInput ? nullptr : inputFile != nullptr ? inputFile : in.read;
    startup.hStdOutput = setup.out == OutputTarget::kSameAsError ? err.write : out.write;
    startup.hStdError = setup.closeStandardError ? nullptr : err.write;
    PROCESS_INFORMATION process{};
    // wine 8 now and then fails to start a process with ERROR_INTERNAL_ERROR
    // when many start one after another; a moment later the same start
    // succeeds. No other failure is tried again.
    constexpr int kStartAttempts = 5;
    BOOL started = FALSE;
    for (int attempt = 1; attempt <= kStartAttempts; ++attempt) {
        started = CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                 &startup, &process);
        if (started != 0 || GetLastError() != ERROR_INTERNAL_ERROR || attempt == kStartAttempts) {
            break;
        }
        Sleep(50);
    }
    const DWORD startError = GetLastError();
    Close(in.read);
    Close(out.write);
    Close(err.write);
    Close(inputFile);
    if (started == 0) {
        throw std::runtime_error("CreateProcess failed (error " + std::to_string(startError) + ") for " +
                                 commandLine);
    }
    CloseHandle(process.hThread);

    ProgramResult result{"", "", 0};
    std::thread outReader(Drain, out.read, std::ref(result.out));
    std::thread errReader(Drain, err.read, std::ref(result.err));
    // A child that stops reading fails the write, which is then given up.
    DWORD written = 0;
    if (!setup.input.empty()) {
        (void)WriteFile(in.write, setup.input.data(), static_cast<DWORD>(setup.input.size()), &written,
                        nullptr);
    }
    if (!setup.inputNeverEnds) {
        Close(in.write);
    }
    outReader.join();
    errReader.join();
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hProcess);
    Close(in.write);
    Close(out.read);
    Close(err.read);
    result.status = static_cast<int>(status);
    return result;
}
