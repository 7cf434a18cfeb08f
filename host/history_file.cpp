#include "history_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Enough to reach far back; small enough to read at every start.
constexpr std::size_t kEntriesKept = 1000;
constexpr std::size_t kReadChunk = std::size_t{64} * 1024;
// What is typed at the prompt is nobody else's business.
constexpr mode_t kPrivateDirectory = S_IRWXU;
constexpr mode_t kPrivateFile = S_IRUSR | S_IWUSR;

// mkdir -p for the directories above `path`; the history is private.
int MakeParentDirectories(const std::string &path)
{
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        const std::string directory = path.substr(0, slash);
        if (mkdir(directory.c_str(), kPrivateDirectory) != 0 && errno != EEXIST) {
            return errno;
        }
    }
    return 0;
}

// Every line of the file, or the error that stopped the reading.
int ReadEntries(int fd, std::vector<std::string> &entries)
{
    std::string text;
    std::vector<char> chunk(kReadChunk);
    for (;;) {
        const ssize_t count = read(fd, chunk.data(), chunk.size());
        if (count > 0) {
            text.append(chunk.data(), static_cast<std::size_t>(count));
        } else if (count == 0) {
            break;
        } else if (errno != EINTR) {
            return errno;
        }
    }
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        if (end > start) {
            entries.emplace_back(text, start, end - start);
        }
        start = end + 1;
    }
    if (start < text.size()) {
        entries.emplace_back(text, start);
    }
    return 0;
}

bool WriteAll(int fd, const std::string &text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t count = write(fd, text.data() + done, text.size() - done);
        if (count < 0 && errno != EINTR) {
            return false;
        }
        done += count > 0 ? static_cast<std::size_t>(count) : 0;
    }
    return true;
}

}  // namespace

std::string HistoryFile::ChoosePath()
{
    if (const char *chosen = std::getenv("RPN_HISTFILE")) {
        return chosen;
    }
    // The XDG base directory rules ignore a relative path.
    const char *state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') {
        return std::string(state) + "/rpn/history";
    }
    const char *home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        return "";
    }
    return std::string(home) + "/.local/state/rpn/history";
}

HistoryFile::HistoryFile(std::string path) : path_(std::move(path))
{
}

HistoryFile::~HistoryFile()
{
    if (fd_ >= 0) {
        close(fd_);
    }
}

std::vector<std::string> HistoryFile::Load()
{
    std::vector<std::string> entries;
    if (const int error = MakeParentDirectories(path_)) {
        Fail(error);
        return entries;
    }
    const int reading = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (reading < 0 && errno != ENOENT) {
        Fail(errno);
        return entries;
    }
    if (reading >= 0) {
        const int error = ReadEntries(reading, entries);
        close(reading);
        if (error != 0) {
            Fail(error);
            return {};
        }
    }
    if (entries.size() > kEntriesKept) {
        entries.erase(entries.begin(), entries.end() - kEntriesKept);
        Rewrite(entries);
    }
    if (failure_.empty()) {
        fd_ = open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, kPrivateFile);
        if (fd_ < 0) {
            Fail(errno);
        }
    }
    return entries;
}

void HistoryFile::Append(const std::string &line)
{
    if (fd_ >= 0 && !WriteAll(fd_, line + '\n')) {
        Fail(errno);
    }
}

void HistoryFile::Fail(int error)
{
    if (failure_.empty()) {
        failure_ = path_ + ": " + std::strerror(error);
    }
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
}

// Replaces the file whole, so that a failure half-way loses nothing.
void HistoryFile::Rewrite(const std::vector<std::string> &entries)
{
    std::string text;
    for (const std::string &entry : entries) {
        text += entry;
        text += '\n';
    }
    const std::string fresh = path_ + ".new";
    const int fd = open(fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, kPrivateFile);
    if (fd < 0) {
        Fail(errno);
        return;
    }
    int error = WriteAll(fd, text) ? 0 : errno;
    if (close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && std::rename(fresh.c_str(), path_.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        (void)std::remove(fresh.c_str());
        Fail(error);
    }
}
