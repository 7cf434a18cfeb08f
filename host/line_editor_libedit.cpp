#include "line_editor.h"

#include "prompt.h"
#include "signals.h"

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <editline/readline.h>
#include <langinfo.h>
#include <unistd.h>

namespace {

constexpr int kRecallSize = 1000;

int readError = 0;

// A byte read that ended a sequence cut short, to be taken afresh.
int heldByte = -1;

// libedit's own reader gives up the line on any signal, a new window size
// or a stop too, and drops bytes that are no UTF-8. This one ends it on
// Ctrl-C alone and hands libedit whole characters, a byte that is no UTF-8
// as U+FFFD, an invalid character still.
int ReadKey(std::FILE *)
{
    constexpr int kReplacement = 0xFFFD;
    std::mbstate_t state{};
    bool partial = false;
    for (;;) {
        if (Came(Noted::kResized)) {
            rl_resize_terminal();
        }
        if (Came(Noted::kResumed)) {
            rl_forced_update_display();
        }
        char byte = static_cast<char>(heldByte);
        const ssize_t count = heldByte >= 0 ? 1 : read(STDIN_FILENO, &byte, 1);
        heldByte = -1;
        if (count == 0 || (count < 0 && (errno != EINTR || Came(Noted::kInterrupt, false)))) {
            readError = count < 0 ? errno : 0;
            return -1;
        }
        wchar_t character = 0;
        const std::size_t taken = count == 1 ? std::mbrtowc(&character, &byte, 1, &state) : 0;
        if (taken == static_cast<std::size_t>(-1)) {
            heldByte = partial ? static_cast<unsigned char>(byte) : -1;
            return kReplacement;
        }
        partial = taken == static_cast<std::size_t>(-2);
        if (count == 1 && !partial) {
            return static_cast<int>(character);
        }
    }
}

// Tab completes a command word alone at the end of the line ("he" to
// "help"); anywhere else it separates tokens, and goes in as it is.
char **CompleteOrInsertTab(const char *, int, int)
{
    rl_attempted_completion_over = 1;
    const std::string before(rl_line_buffer, static_cast<std::size_t>(rl_point));
    const std::size_t start = before.find_first_not_of(" \t");
    const bool alone = rl_point == rl_end && start != std::string::npos &&
                       before.find_first_of(" \t", start) == std::string::npos;
    const std::string_view word = alone ? PromptWordCompleting(before.substr(start)) : "";
    if (word.empty()) {
        rl_insert_text("\t");
        return nullptr;
    }
    auto **matches = static_cast<char **>(std::calloc(2, sizeof(char *)));
    if (matches != nullptr) {
        matches[0] = strndup(word.data(), word.size());
    }
    return matches;
}

}  // namespace

void StartLineEditor(std::FILE *screen, const std::vector<std::string> &recalled)
{
    // UTF-8, or the editor shows nothing beyond ASCII; nothing else reads
    // the locale (the library writes numbers itself).
    std::setlocale(LC_CTYPE, "");
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) {
        std::setlocale(LC_CTYPE, "C.UTF-8");
    }
    // libedit's handlers send each signal on to the whole process group.
    rl_catch_signals = 0;
    rl_instream = stdin;
    rl_outstream = screen;
    rl_getc_function = ReadKey;
    rl_attempted_completion_function = CompleteOrInsertTab;
    rl_completion_append_character = '\0';
    rl_initialize();
    stifle_history(kRecallSize);
    for (const std::string &line : recalled) {
        add_history(line.c_str());
    }
}

LineStatus ReadInteractiveLine(const char *prompt, std::string &line, int &error)
{
    readError = 0;
    heldByte = -1;
    char *text = readline(prompt);
    const bool read = text != nullptr;
    const bool interrupted = Came(Noted::kInterrupt, false);
    line = read && !interrupted ? text : "";
    std::free(text);
    error = readError;
    return interrupted ? LineStatus::kInterrupted : read ? LineStatus::kLine : readError == 0 ? LineStatus::kEnd : LineStatus::kError;
}

void RememberLine(const std::string &line)
{
    add_history(line.c_str());
}
