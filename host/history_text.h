// How the history file holds its entries: one line each, so that the file
// stays readable and every entry is appended whole. A line break inside an
// entry is written as backslash and "n", a backslash as two.
#ifndef RPN_HISTORY_TEXT_H
#define RPN_HISTORY_TEXT_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The entry as its line in the file, without the line end.
std::string EncodeEntry(std::string_view entry);

// The entry a line of the file holds. A backslash before anything but "n"
// or a backslash is kept as it is, as are lines written by hand.
std::string DecodeEntry(std::string_view line);

// The newest entries of a piece of the file.
struct HistoryTail {
    // At most the number asked for, oldest first; empty lines are skipped.
    std::vector<std::string> entries;
    // Where the line of the oldest entry kept starts in the piece.
    std::size_t keptFrom = 0;
    // Every non-empty line of the piece, kept or not.
    std::size_t lines = 0;
};

// `text` is a piece of the file that ends where the file ends. When it
// starts in the middle of the file (`fromStart` false), its first line is
// part of an entry that starts before it and counts for nothing: the piece
// should start one byte before the first line it may hold.
HistoryTail NewestEntries(std::string_view text, bool fromStart, std::size_t newest);

#endif
