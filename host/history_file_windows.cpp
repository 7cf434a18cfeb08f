// No history file on Windows: the console recalls the session's own lines
// (the arrow keys, F7). An empty path keeps no history.
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
