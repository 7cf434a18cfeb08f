#include "history_file.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr std::size_t kEntriesKept = 1000;  // what the arrow keys reach
constexpr std::string_view kOwnMarker = "# rpn history\n";
// A rewrite could lose entries if rpn were killed in the middle of it, so
// it waits until the file is well past what is kept.
constexpr std::size_t kLinesBeforeTrim = 2 * kEntriesKept;
// A session holds the lock for one read or write; one that holds it longer
// is stuck, and the prompt does not wait for it.
constexpr auto kLockPatience = std::chrono::seconds(1);
constexpr auto kLockRetry = std::chrono::milliseconds(5);
// A FIFO would block the open itself; a terminal must not become rpn's
// controlling terminal.
constexpr int kOpenFlags = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

// Held for its scope if it could be taken in time; without it the file is
// still appended to (each entry in one write) but not rewritten.
struct Lock {
    explicit Lock(int fd) : fd(fd)
    {
        const auto deadline = std::chrono::steady_clock::now() + kLockPatience;
        while (!(held = (flock(fd, LOCK_EX | LOCK_NB) == 0)) && (errno == EWOULDBLOCK || errno == EINTR) &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(kLockRetry);
        }
    }
    ~Lock()
    {
        if (held) {
            flock(fd, LOCK_UN);
        }
    }
    Lock(const Lock &) = delete;  // one unlock for one lock
    Lock &operator=(const Lock &) = delete;
    int fd;
    bool held = false;
};

// From the start to the end, wherever other sessions have left it.
bool ReadWhole(int fd, std::string &text)
{
    constexpr std::size_t kChunk = std::size_t{64} * 1024;
    char chunk[kChunk];
    for (ssize_t count = 1; count != 0; text.append(chunk, count > 0 ? static_cast<std::size_t>(count) : 0)) {
        count = pread(fd, chunk, sizeof chunk, static_cast<off_t>(text.size()));
        if (count < 0 && errno != EINTR) {
            return false;
        }
    }
    return true;
}

// At `offset`, or at the end (offset -1, the descriptor in append mode).
bool WriteAt(int fd, off_t offset, const std::string &text)
{
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t count = offset < 0 ? write(fd, text.data() + done, text.size() - done)
                                         : pwrite(fd, text.data() + done, text.size() - done, offset + static_cast<off_t>(done));
        if (count < 0 && errno != EINTR) {
            return false;
        }
        done += count > 0 ? static_cast<std::size_t>(count) : 0;
    }
    return true;
}

}  // namespace

std::vector<std::string_view> EntryLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    for (std::size_t start = 0, end = 0; start < text.size(); start = end + 1) {
        end = std::min(text.find('\n', start), text.size());
        if (end > start) {
            lines.push_back(text.substr(start, end - start));
        }
    }
    return lines;
}

std::string HistoryFile::ChoosePath(std::string &note)
{
    if (const char *chosen = std::getenv("RPN_HISTFILE")) {
        // The shell's habit of HISTFILE=/dev/null asks for no history.
        if (chosen[0] == '\0' || std::string_view(chosen) == "/dev/null") {
            return "";
        }
        // rpn never changes directory, so the file is in the one it starts in.
        if (chosen[0] != '/') {
            note = std::string("RPN_HISTFILE=") + chosen + " is relative: the history is in the directory rpn started in";
        }
        return chosen;
    }
    // The XDG base directory rules ignore a relative path.
    const char *state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') {
        return std::string(state) + "/rpn/history";
    }
    const char *home = std::getenv("HOME");
    return home == nullptr || home[0] == '\0' ? "" : std::string(home) + "/.local/state/rpn/history";
}

HistoryFile::~HistoryFile()
{
    if (fd_ >= 0) {
        close(fd_);
    }
}

std::vector<std::string> HistoryFile::Load()
{
    // mkdir -p, private: what is typed at the prompt is nobody else's business.
    for (std::size_t slash = path_.find('/', 1); slash != std::string::npos; slash = path_.find('/', slash + 1)) {
        if (mkdir(path_.substr(0, slash).c_str(), S_IRWXU) != 0 && errno != EEXIST) {
            Fail(std::strerror(errno));
            return {};
        }
    }
    // A link to a file not there yet gets its file, as a shell's HISTFILE does.
    fd_ = open(path_.c_str(), O_RDWR | O_CREAT | kOpenFlags, S_IRUSR | S_IWUSR);
    const int error = fd_ < 0 ? errno : 0;
    if (error == EACCES || error == EPERM || error == EROFS) {
        // Recalled, though nothing typed now can be added.
        fd_ = open(path_.c_str(), O_RDONLY | kOpenFlags);
    }
    std::vector<std::string> entries = fd_ < 0 ? std::vector<std::string>{} : Read(error == 0);
    if (error != 0) {
        Fail(std::strerror(error));
    }
    // Each entry goes to the end, wherever other sessions have left it.
    if (fd_ >= 0 && fcntl(fd_, F_SETFL, O_APPEND) != 0) {
        Fail(std::strerror(errno));
    }
    return entries;
}

std::vector<std::string> HistoryFile::Read(bool writable)
{
    // Appends wait for the lock too, so nothing lands between the reading
    // and the rewriting. (A directory does not open for writing.)
    const Lock lock(fd_);
    struct stat info {};
    if (fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
        Fail(info.st_mode == 0 ? std::strerror(errno) : "not a regular file");
        return {};
    }
    // An empty file holds nothing to lose: it becomes one of rpn's own.
    std::string text = writable && lock.held && info.st_size == 0 ? std::string(kOwnMarker) : "";
    if (text.empty() ? !ReadWhole(fd_, text) : !WriteAt(fd_, 0, text)) {
        Fail(std::strerror(errno));
        return {};
    }
    const bool own = text.compare(0, kOwnMarker.size(), kOwnMarker) == 0;
    const std::vector<std::string_view> lines = EntryLines(std::string_view(text).substr(own ? kOwnMarker.size() : 0));
    const auto newest = lines.end() - static_cast<std::ptrdiff_t>(std::min(lines.size(), kEntriesKept));
    std::vector<std::string> entries(newest, lines.end());
    if (lines.size() <= kLinesBeforeTrim) {
        return entries;
    }
    if (!own) {
        note_ = path_ + ": not trimmed to its newest " + std::to_string(kEntriesKept) + " entries: its first line is not \"" +
                std::string(kOwnMarker.substr(0, kOwnMarker.size() - 1)) + "\", so rpn did not write it; entries are only appended";
    } else if (writable && lock.held) {
        const std::string kept = std::string(kOwnMarker) + text.substr(static_cast<std::size_t>(newest->data() - text.data()));
        if (!WriteAt(fd_, 0, kept) || ftruncate(fd_, static_cast<off_t>(kept.size())) != 0) {
            Fail(std::strerror(errno));
        }
    }
    return entries;
}

void HistoryFile::Append(const std::string &entry)
{
    if (fd_ < 0) {
        return;
    }
    std::string record = entry + '\n';
    const Lock lock(fd_);
    // An entry of its own, not the end of a line a write cut short.
    struct stat info {};
    char last = '\n';
    if (fstat(fd_, &info) == 0 && info.st_size > 0 && pread(fd_, &last, 1, info.st_size - 1) == 1 && last != '\n') {
        record.insert(0, 1, '\n');
    }
    if (!WriteAt(fd_, -1, record)) {
        Fail(std::strerror(errno));
    }
}

void HistoryFile::Fail(const std::string &reason)
{
    if (failure_.empty()) {
        failure_ = path_ + ": " + reason;
    }
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
}
