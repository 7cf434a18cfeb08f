#include "history_text.h"

#include <utility>

std::string EncodeEntry(std::string_view entry)
{
    std::string line;
    line.reserve(entry.size());
    for (const char byte : entry) {
        if (byte == '\\') {
            line += "\\\\";
        } else if (byte == '\n') {
            line += "\\n";
        } else {
            line += byte;
        }
    }
    return line;
}

std::string DecodeEntry(std::string_view line)
{
    std::string entry;
    entry.reserve(line.size());
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char next = i + 1 < line.size() ? line[i + 1] : '\0';
        if (line[i] == '\\' && (next == 'n' || next == '\\')) {
            entry += next == 'n' ? '\n' : '\\';
            ++i;
        } else {
            entry += line[i];
        }
    }
    return entry;
}

HistoryTail NewestEntries(std::string_view text, bool fromStart, std::size_t newest)
{
    std::size_t start = 0;
    if (!fromStart) {
        const std::size_t end = text.find('\n');
        start = end == std::string_view::npos ? text.size() : end + 1;
    }
    // Where each non-empty line starts and ends; the last may have no line
    // end when a write was cut short.
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        if (end > start) {
            spans.emplace_back(start, end);
        }
        start = end + 1;
    }
    HistoryTail tail;
    tail.lines = spans.size();
    const std::size_t first = spans.size() > newest ? spans.size() - newest : 0;
    tail.keptFrom = first < spans.size() ? spans[first].first : text.size();
    for (std::size_t i = first; i < spans.size(); ++i) {
        tail.entries.push_back(DecodeEntry(text.substr(spans[i].first, spans[i].second - spans[i].first)));
    }
    return tail;
}
