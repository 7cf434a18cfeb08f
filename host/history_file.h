// The prompt's history, kept between sessions in a file of one line per
// entry (see history_text.h) after a first line "# rpn history" that marks
// it as rpn's own. Sessions running at once share the file: each only ever
// appends, whole entries under a lock, and a file of rpn's own is rewritten
// in place (never replaced) when it has grown far past what is recalled, so
// a link to it stays a link, its mode stays, and no entry another session
// writes is lost. Any other file is read and appended to, never shortened.
#ifndef RPN_HISTORY_FILE_H
#define RPN_HISTORY_FILE_H

#include <string>
#include <vector>

class HistoryFile {
public:
    // The file named by RPN_HISTFILE (set and empty, or /dev/null: none), otherwise
    // $XDG_STATE_HOME/rpn/history or ~/.local/state/rpn/history, whose
    // directories are created. An empty path keeps no history. A relative
    // RPN_HISTFILE is resolved against the current directory, and `note`
    // says where it led.
    static std::string ChoosePath(std::string &note);

    explicit HistoryFile(std::string path);
    ~HistoryFile();
    HistoryFile(const HistoryFile &) = delete;
    HistoryFile &operator=(const HistoryFile &) = delete;

    // The newest entries of earlier sessions, oldest first, read from the
    // end of the file only; a file that does not exist yet is created
    // empty. A history that can be read but not kept (one that is read-only
    // or far too large) still gives its entries, and a failure.
    std::vector<std::string> Load();

    // Adds an entry at the end of the file at once, so that a session that
    // is killed keeps what was typed.
    void Append(const std::string &entry);

    // Why the history could not be read or written ("" when it could),
    // as "PATH: REASON"; after a failure nothing more is written.
    const std::string &failure() const { return failure_; }
    const std::string &path() const { return path_; }
    // Something the user should know that is no failure ("" when nothing):
    // a long history that is not rpn's own, and so is not trimmed.
    const std::string &note() const { return note_; }

private:
    void Fail(const std::string &reason);
    std::vector<std::string> LoadAndTrim(bool writable);

    std::string path_;
    int fd_ = -1;
    std::string failure_;
    std::string note_;
};

#endif
