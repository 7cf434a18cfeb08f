// No history file on Windows: the console recalls the session's lines itself
// (the arrow keys, F7), and reads no file to recall earlier ones. An empty
// path keeps no history: the prompt never loads or appends.
#include "history_file.h"

std::string HistoryFile::ChoosePath(std::string &)
{
    return "";
}

HistoryFile::~HistoryFile() = default;

std::vector<std::string> HistoryFile::Load()
{
    return {};
}

void HistoryFile::Append(const std::string &) {}
