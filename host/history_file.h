// The prompt's history, kept between sessions in a file of one line per
// entry after a first line "# rpn history" that marks it as rpn's own (an
// entry that holds a line break comes back as two). Sessions at once share
// the file: each only appends, whole entries under a lock, and only a file
// of rpn's own is ever shortened, in place (never replaced: a link stays a
// link, the mode stays), once it has grown far past what is recalled. Any
// other file is read and appended to.
#ifndef RPN_HISTORY_FILE_H
#define RPN_HISTORY_FILE_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The entries of a history's text: its lines but the empty ones, the last
// one even without its line end (a write cut short).
std::vector<std::string_view> EntryLines(std::string_view text);

class HistoryFile {
public:
    // RPN_HISTFILE (empty or /dev/null: none, "" returned), otherwise
    // $XDG_STATE_HOME/rpn/history or ~/.local/state/rpn/history. For a
    // relative RPN_HISTFILE `note` says where the file is.
    static std::string ChoosePath(std::string &note);

    explicit HistoryFile(std::string path) : path_(std::move(path)) {}
    ~HistoryFile();
    HistoryFile(const HistoryFile &) = delete;
    HistoryFile &operator=(const HistoryFile &) = delete;

    // The newest entries of earlier sessions, oldest first; a missing file
    // (and its directories) is created. One that can be read but not kept
    // still gives its entries, and a failure.
    std::vector<std::string> Load();
    // At the end of the file at once, so that a session that is killed keeps
    // what was typed.
    void Append(const std::string &entry);

    // "PATH: REASON" when the history could not be kept; nothing more is
    // written after it. The note: a long history not trimmed, not rpn's own.
    const std::string &failure() const { return failure_; }
    const std::string &note() const { return note_; }
    const std::string &path() const { return path_; }

private:
    void Fail(const std::string &reason);
    std::vector<std::string> Read(bool writable);

    std::string path_;
    int fd_ = -1;
    std::string failure_;
    std::string note_;
};

#endif
