#include "line_editor.h"

#include "interrupt.h"
#include "key_decoder.h"
#include "prompt_command.h"

#include <cerrno>
#include <clocale>
#include <cstring>
#include <histedit.h>
#include <langinfo.h>
#include <unistd.h>

namespace {

constexpr int kRecallSize = 1000;

EditLine *editor = nullptr;
HistoryW *recall = nullptr;
std::wstring promptText;
KeyDecoder keys;

wchar_t *ShowPrompt(EditLine *)
{
    return promptText.data();
}

// What the signal handlers noted that the editor must act on: a new
// window width, or a prompt that may have been written over while rpn was
// stopped.
void CatchUpWithSignals(EditLine *edit)
{
    if (TakeResize()) {
        el_resize(edit);
    }
    if (TakeResumption()) {
        el_set(edit, EL_REFRESH);
    }
}

// libedit's own reader decodes with the locale and drops every byte it
// cannot decode (in the "C" locale, every byte above 0x7F); this one keeps
// them all.
int ReadKey(EditLine *edit, wchar_t *key)
{
    for (;;) {
        if (keys.Next(*key)) {
            return 1;
        }
        if (keys.Exhausted()) {
            return 0;
        }
        CatchUpWithSignals(edit);
        unsigned char byte = 0;
        const ssize_t count = read(STDIN_FILENO, &byte, 1);
        if (count == 1) {
            keys.Push(byte);
        } else if (count == 0) {
            keys.End();
        } else if (errno != EINTR || InterruptPending()) {
            keys.Clear();
            return -1;
        }
    }
}

// Tab completes a prompt command typed alone at the start of a line ("he"
// to "help"). Anywhere else it separates tokens like a space, as it does in
// an expression, so it is inserted as it is.
unsigned char CompleteOrInsertTab(EditLine *edit, int)
{
    const LineInfoW *line = el_wline(edit);
    const std::wstring before(line->buffer, line->cursor);
    const std::size_t start = before.find_first_not_of(L" \t");
    const bool aloneAtEnd = line->cursor == line->lastchar && start != std::wstring::npos &&
                            before.find_first_of(L" \t", start) == std::wstring::npos;
    const std::string typed = aloneAtEnd ? EncodeBytes(before.data() + start, before.size() - start) : "";
    const std::string_view word = typed.empty() ? "" : PromptWordCompleting(typed);
    if (word.empty()) {
        return el_winsertstr(edit, L"\t") == 0 ? CC_REFRESH : CC_ERROR;
    }
    if (word.size() == typed.size()) {
        return CC_NORM;
    }
    const std::wstring rest = DecodeBytes(std::string(word.substr(typed.size())));
    if (el_winsertstr(edit, rest.c_str()) != 0) {
        return CC_ERROR;
    }
    return CC_REFRESH;
}

// The editor shows UTF-8 as characters; under a locale of another
// character set (the "C" locale among them) it would show nothing beyond
// ASCII. The locale touches nothing else: rpn writes numbers itself.
void UseUtf8Characters()
{
    std::setlocale(LC_CTYPE, "");
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) {
        std::setlocale(LC_CTYPE, "C.UTF-8");
    }
}

}  // namespace

void StartLineEditor(std::FILE *screen, const std::vector<std::string> &recalled)
{
    UseUtf8Characters();
    editor = el_init("rpn", stdin, screen, stderr);
    recall = history_winit();
    HistEventW event{};
    history_w(recall, &event, H_SETSIZE, kRecallSize);
    for (const std::string &line : recalled) {
        history_w(recall, &event, H_ENTER, DecodeBytes(line).c_str());
    }
    el_wset(editor, EL_EDITOR, L"emacs");
    // Not EL_SIGNAL: libedit's handlers send each signal on to the whole
    // process group, a shell script around rpn and the reader of its output
    // included. rpn's own handlers (interrupt.h) give the terminal back.
    el_wset(editor, EL_PROMPT, ShowPrompt);
    el_wset(editor, EL_HIST, history_w, recall);
    el_wset(editor, EL_GETCFN, ReadKey);
    el_source(editor, nullptr);
    el_wset(editor, EL_ADDFN, L"rpn-complete", L"complete a prompt command", CompleteOrInsertTab);
    el_wset(editor, EL_BIND, L"^I", L"rpn-complete", nullptr);
}

void StopLineEditor()
{
    el_end(editor);
    history_wend(recall);
    editor = nullptr;
    recall = nullptr;
}

LineStatus ReadInteractiveLine(const char *prompt, std::string &line, int &error)
{
    promptText = DecodeBytes(prompt);
    int count = 0;
    errno = 0;
    const wchar_t *text = el_wgets(editor, &count);
    if (text == nullptr) {
        if (count == 0) {
            return LineStatus::kEnd;
        }
        if (InterruptPending()) {
            return LineStatus::kInterrupted;
        }
        error = errno;
        return LineStatus::kError;
    }
    std::size_t length = static_cast<std::size_t>(count);
    if (length > 0 && text[length - 1] == L'\n') {
        --length;
    }
    line = EncodeBytes(text, length);
    return LineStatus::kLine;
}

void RememberLine(const std::string &line)
{
    HistEventW event{};
    history_w(recall, &event, H_ENTER, DecodeBytes(line).c_str());
}
