// The prompt's history, kept between sessions in a file of one line per
// entry, the bytes as typed.
#ifndef RPN_HISTORY_FILE_H
#define RPN_HISTORY_FILE_H

#include <string>
#include <vector>

class HistoryFile {
public:
    // The file named by RPN_HISTFILE (set and empty: none), otherwise
    // $XDG_STATE_HOME/rpn/history or ~/.local/state/rpn/history, whose
    // directories are created. An empty path keeps no history.
    static std::string ChoosePath();

    explicit HistoryFile(std::string path);
    ~HistoryFile();
    HistoryFile(const HistoryFile &) = delete;
    HistoryFile &operator=(const HistoryFile &) = delete;

    // The entries of earlier sessions, oldest first; a file that does not
    // exist yet has none. Trims the file to its newest entries.
    std::vector<std::string> Load();

    // Adds a line at the end of the file at once, so that a session that
    // is killed keeps what was typed.
    void Append(const std::string &line);

    // Why the history could not be read or written ("" when it could),
    // as "PATH: REASON"; after a failure nothing more is written.
    const std::string &failure() const { return failure_; }
    const std::string &path() const { return path_; }

private:
    void Fail(int error);
    void Rewrite(const std::vector<std::string> &entries);

    std::string path_;
    int fd_ = -1;
    std::string failure_;
};

#endif
