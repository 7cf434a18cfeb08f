#include "history_file.h"

#include "history_text.h"

#include <cerrno>
#include <climits>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr off_t kMebibyte = off_t{1} << 20;
// What the arrow keys reach.
constexpr std::size_t kEntriesKept = 1000;
// The most of the file ever read: the newest entries' worth, however long
// the file has grown.
constexpr off_t kTailBytes = kMebibyte;
// The first line of every history rpn creates. Only a file that starts
// with it is ever rewritten: anything else was written by someone else,
// and losing its lines is not rpn's call to make.
constexpr std::string_view kOwnMarker = "# rpn history\n";
// Rewriting is the one step that could lose entries if rpn were killed in
// the middle of it, so it waits until the file is well past what is kept.
constexpr std::size_t kLinesBeforeTrim = 2 * kEntriesKept;
// rpn trims long before a history gets this large: such a file is not one
// it wrote, and it is left alone.
constexpr off_t kLargestHistory = 64 * kMebibyte;
// A session holds the lock for one read or write. One that holds it longer
// is stuck, and the prompt does not wait for it.
constexpr auto kLockPatience = std::chrono::seconds(1);
constexpr auto kLockRetry = std::chrono::milliseconds(5);
// What is typed at the prompt is nobody else's business.
constexpr mode_t kPrivateDirectory = S_IRWXU;
constexpr mode_t kPrivateFile = S_IRUSR | S_IWUSR;
// A FIFO would block the open itself until a writer came; a terminal must
// not become rpn's controlling terminal.
constexpr int kOpenFlags = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

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

// Held for its scope, if it could be taken in time; without it the file is
// still appended to (each entry in one write) but not rewritten.
class ExclusiveLock {
public:
    explicit ExclusiveLock(int fd) : fd_(fd)
    {
        const auto deadline = std::chrono::steady_clock::now() + kLockPatience;
        for (;;) {
            if (flock(fd_, LOCK_EX | LOCK_NB) == 0) {
                held_ = true;
                return;
            }
            if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() > deadline) {
                return;
            }
            std::this_thread::sleep_for(kLockRetry);
        }
    }
    ~ExclusiveLock()
    {
        if (held_) {
            flock(fd_, LOCK_UN);
        }
    }
    ExclusiveLock(const ExclusiveLock &) = delete;
    ExclusiveLock &operator=(const ExclusiveLock &) = delete;

    bool held() const { return held_; }

private:
    int fd_;
    bool held_ = false;
};

// Up to `length` bytes from `offset`, fewer where the file ends.
int ReadRange(int fd, off_t offset, std::size_t length, std::string &text)
{
    text.resize(length);
    std::size_t done = 0;
    while (done < length) {
        const ssize_t count = pread(fd, text.data() + done, length - done, offset + static_cast<off_t>(done));
        if (count == 0) {
            break;
        }
        if (count < 0 && errno != EINTR) {
            return errno;
        }
        done += count > 0 ? static_cast<std::size_t>(count) : 0;
    }
    text.resize(done);
    return 0;
}

// The newest entries, from the last kTailBytes of a file of `size` bytes
// and the byte before them, which tells whether their first line is whole.
// The entries start at `bodyStart`, after the marker of a file rpn wrote.
int ReadTail(int fd, off_t bodyStart, off_t size, std::string &text, HistoryTail &tail)
{
    const bool fromStart = size - bodyStart <= kTailBytes;
    const off_t offset = fromStart ? bodyStart : size - kTailBytes - 1;
    if (const int error = ReadRange(fd, offset, static_cast<std::size_t>(size - offset), text)) {
        return error;
    }
    tail = NewestEntries(text, fromStart, kEntriesKept);
    return 0;
}

bool AppendAll(int fd, const std::string &text)
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

bool StartsWithOwnMarker(int fd)
{
    std::string first;
    return ReadRange(fd, 0, kOwnMarker.size(), first) == 0 && first == kOwnMarker;
}

bool WriteAllAtStart(int fd, const std::string &text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t count = pwrite(fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
        if (count < 0 && errno != EINTR) {
            return false;
        }
        done += count > 0 ? static_cast<std::size_t>(count) : 0;
    }
    return true;
}

// False when the last byte is not a line end: a write cut short (a full
// disk, a kill) or a file written by hand.
bool EndsWithLineEnd(int fd)
{
    struct stat info {};
    if (fstat(fd, &info) != 0 || info.st_size == 0) {
        return true;
    }
    char last = '\n';
    return pread(fd, &last, 1, info.st_size - 1) != 1 || last == '\n';
}

std::string NotRegularReason(mode_t mode)
{
    if (S_ISDIR(mode)) {
        return std::strerror(EISDIR);
    }
    if (S_ISFIFO(mode)) {
        return "a FIFO, not a regular file";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "a device, not a regular file";
    }
    return "not a regular file";
}

struct Opened {
    int fd = -1;
    int error = 0;
    std::string reason;
};

// The history for reading and writing, created when missing. O_EXCL
// creates nothing through a symbolic link, so a link whose target is
// missing, planted or mistyped, fails instead.
Opened OpenForUpdate(const std::string &path)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        int fd = open(path.c_str(), O_RDWR | kOpenFlags);
        if (fd < 0 && errno == ENOENT) {
            fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | kOpenFlags, kPrivateFile);
            if (fd < 0 && errno == EEXIST) {
                // Another session created it first, or it is a link to nothing.
                continue;
            }
        }
        if (fd >= 0) {
            return Opened{fd, 0, ""};
        }
        return Opened{-1, errno, std::strerror(errno)};
    }
    return Opened{-1, ENOENT, "a symbolic link to a missing file"};
}

bool CannotWrite(int error)
{
    return error == EACCES || error == EPERM || error == EROFS;
}

}  // namespace

std::string HistoryFile::ChoosePath(std::string &note)
{
    if (const char *chosen = std::getenv("RPN_HISTFILE")) {
        // The shell's habit of HISTFILE=/dev/null asks for no history; it
        // must not be refused as a device at every start.
        if (chosen[0] == '\0' || std::string_view(chosen) == "/dev/null") {
            return "";
        }
        if (chosen[0] == '/') {
            return chosen;
        }
        // Resolved once, so the file named in every message is the one
        // written, and the user learns which directory it landed in.
        std::string directory(PATH_MAX, '\0');
        if (getcwd(directory.data(), directory.size()) == nullptr) {
            note = std::string("RPN_HISTFILE=") + chosen + " is relative and the current directory is unknown (" +
                   std::strerror(errno) + "); no history is kept";
            return "";
        }
        directory.resize(std::strlen(directory.c_str()));
        std::string resolved = (directory == "/" ? "" : directory) + "/" + chosen;
        note = std::string("RPN_HISTFILE=") + chosen + " is relative; the history is " + resolved;
        return resolved;
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
    if (const int error = MakeParentDirectories(path_)) {
        Fail(std::strerror(error));
        return {};
    }
    const Opened opened = OpenForUpdate(path_);
    fd_ = opened.fd;
    if (fd_ < 0 && CannotWrite(opened.error)) {
        // Recalled, though nothing typed now can be added.
        fd_ = open(path_.c_str(), O_RDONLY | kOpenFlags);
    }
    if (fd_ < 0) {
        Fail(opened.reason);
        return {};
    }
    std::vector<std::string> entries = LoadAndTrim(opened.fd >= 0);
    if (!opened.reason.empty()) {
        Fail(opened.reason);
    }
    // Each entry goes to the end, wherever other sessions have left it.
    if (fd_ >= 0 && fcntl(fd_, F_SETFL, O_APPEND) != 0) {
        Fail(std::strerror(errno));
    }
    return entries;
}

std::vector<std::string> HistoryFile::LoadAndTrim(bool writable)
{
    struct stat info {};
    if (fstat(fd_, &info) != 0) {
        Fail(std::strerror(errno));
        return {};
    }
    if (!S_ISREG(info.st_mode)) {
        Fail(NotRegularReason(info.st_mode));
        return {};
    }
    // Appends wait for the lock too, so nothing lands between the reading
    // and the rewriting.
    const ExclusiveLock lock(fd_);
    // It may have grown while the lock was awaited.
    if (lock.held() && fstat(fd_, &info) != 0) {
        Fail(std::strerror(errno));
        return {};
    }
    // An empty file holds nothing to lose: it becomes one of rpn's own.
    if (writable && lock.held() && info.st_size == 0) {
        if (!WriteAllAtStart(fd_, std::string(kOwnMarker))) {
            Fail(std::strerror(errno));
            return {};
        }
        info.st_size = static_cast<off_t>(kOwnMarker.size());
    }
    const bool own = StartsWithOwnMarker(fd_);
    std::string text;
    HistoryTail tail;
    if (const int error = ReadTail(fd_, own ? static_cast<off_t>(kOwnMarker.size()) : 0, info.st_size, text, tail)) {
        Fail(std::strerror(error));
        return {};
    }
    if (info.st_size > kLargestHistory) {
        Fail("larger than " + std::to_string(kLargestHistory / kMebibyte) +
             " MiB, too large for a history; left as it is");
        return tail.entries;
    }
    const bool farTooLong = info.st_size > kTailBytes || tail.lines > kLinesBeforeTrim;
    if (farTooLong && !own) {
        note_ = path_ + ": not trimmed to its newest " + std::to_string(kEntriesKept) +
                " entries: its first line is not \"" + std::string(kOwnMarker.substr(0, kOwnMarker.size() - 1)) +
                "\", so rpn did not write it; entries are only appended";
        return tail.entries;
    }
    if (writable && lock.held() && farTooLong && !tail.entries.empty()) {
        const std::string kept = std::string(kOwnMarker) + text.substr(tail.keptFrom);
        if (!WriteAllAtStart(fd_, kept) || ftruncate(fd_, static_cast<off_t>(kept.size())) != 0) {
            Fail(std::strerror(errno));
        }
    }
    return tail.entries;
}

void HistoryFile::Append(const std::string &entry)
{
    if (fd_ < 0) {
        return;
    }
    std::string record = EncodeEntry(entry) + '\n';
    const ExclusiveLock lock(fd_);
    // An entry of its own, not the end of a line left unfinished.
    if (!EndsWithLineEnd(fd_)) {
        record.insert(0, 1, '\n');
    }
    if (!AppendAll(fd_, record)) {
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
