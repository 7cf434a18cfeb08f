// No history file on Windows: the console recalls the lines of the session
// itself (the arrow keys, F7), and reads no file to recall earlier ones. An
// empty path is the one that keeps no history, so the prompt never loads or
// appends.
#include "history_file.h"

#include <utility>

std::string HistoryFile::ChoosePath(std::string &)
{
    return "";
}

HistoryFile::HistoryFile(std::string path) : path_(std::move(path))
{
}

HistoryFile::~HistoryFile() = default;

std::vector<std::string> HistoryFile::Load()
{
    return {};
}

void HistoryFile::Append(const std::string &)
{
}
