// The notation's rules as the checks need them, read from the library's own
// command table so that a command added there needs no change here.
#ifndef KELVARO_FUZZ_NOTATION_RULES_H
#define KELVARO_FUZZ_NOTATION_RULES_H

#include "engine/command_table.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace kelvaro_fuzz {

// A token starts at the first byte and right after every space or tab.
bool IsTokenStart(std::string_view text, std::size_t offset);

// A number starts at a digit, or at '-' right before a digit.
bool IsNumberStart(std::string_view text, std::size_t offset);

// Whether kelvaro_rpn_commands, the public table, lists `byte`.
bool IsListedCommand(char byte);

// The row of kelvaro::kCommands for `byte`; null where it is no command.
const kelvaro::Command *FindCommand(char byte);

// How many values the command needs on the stack to run.
std::size_t ValuesNeeded(const kelvaro::Command &command);

// Whether `command` (null for none) lists values: '#' or '@'.
bool IsListing(const kelvaro::Command *command);

// Whether the command pushes more values than it pops.
bool Grows(const kelvaro::Command &command);

// The listing commands among the token starts before `end`, in
// order: the listings an evaluation that got as far as `end` has made.
std::string ListingTokens(std::string_view text, std::size_t end);

// Aborts unless kelvaro_rpn_commands describes kelvaro::kCommands row by row.
void CheckCommandTables();

}  // namespace kelvaro_fuzz

#endif
