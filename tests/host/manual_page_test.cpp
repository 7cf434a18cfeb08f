// The manual page's notation table against the library's command table:
// every command has its row, no row names a byte that is no command, and
// every example there gives the value printed beside it.
#include <kelvaro/rpn.h>

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// troff's "\-" is a plain '-'.
std::string Unescape(std::string text)
{
    for (std::size_t at = text.find("\\-"); at != std::string::npos; at = text.find("\\-", at)) {
        text.erase(at, 1);
    }
    return text;
}

std::vector<std::string> SplitTabs(const std::string &line)
{
    std::vector<std::string> cells;
    std::stringstream stream(line);
    for (std::string cell; std::getline(stream, cell, '\t');) {
        cells.push_back(cell);
    }
    return cells;
}

struct Row {
    std::string bytes;    // the commands of the row, separated by spaces
    std::string example;
    std::string value;
};

// The rows of the table between .TS and .TE in the NOTATION section.
std::vector<Row> NotationRows()
{
    std::ifstream page(KELVARO_MANUAL_PAGE);
    EXPECT_TRUE(page.good()) << KELVARO_MANUAL_PAGE;
    std::vector<Row> rows;
    bool inNotation = false;
    bool inTable = false;
    for (std::string line; std::getline(page, line);) {
        if (line.rfind(".SH", 0) == 0) {
            inNotation = line == ".SH NOTATION";
        } else if (inNotation && line == ".TS") {
            inTable = true;
            std::getline(page, line);  // the column format
        } else if (line == ".TE") {
            inTable = false;
        } else if (inTable) {
            const std::vector<std::string> cells = SplitTabs(Unescape(line));
            EXPECT_EQ(cells.size(), 4u) << line;
            if (cells.size() == 4) {
                rows.push_back({cells[0], cells[2], cells[3]});
            }
        }
    }
    return rows;
}

TEST(ManualPageTest, NotationTableListsExactlyTheCommands)
{
    size_t count = 0;
    const kelvaro_rpn_command *commands = kelvaro_rpn_commands(&count);
    std::set<char> expected;
    for (size_t i = 0; i < count; ++i) {
        if (commands[i].example[0] != '\0') {  // the separators have no row
            expected.insert(commands[i].byte);
        }
    }
    std::set<char> listed;
    const std::vector<Row> rows = NotationRows();
    ASSERT_FALSE(rows.empty());
    for (const Row &row : rows) {
        std::stringstream bytes(row.bytes);
        for (std::string token; bytes >> token;) {
            ASSERT_EQ(token.size(), 1u) << "'" << token << "' is not one byte";
            EXPECT_TRUE(listed.insert(token[0]).second) << token << " has two rows";
        }
    }
    EXPECT_EQ(listed, expected);
}

TEST(ManualPageTest, ExamplesGiveTheValuesShown)
{
    for (const Row &row : NotationRows()) {
        kelvaro_rpn_outcome outcome{};
        ASSERT_EQ(kelvaro_rpn_evaluate(row.example.data(), row.example.size(), &outcome),
                  KELVARO_RPN_OK)
            << row.example;
        // The value as printed there, with as many decimals as it shows.
        const std::size_t point = row.value.find('.');
        const int decimals =
            point == std::string::npos ? 0 : static_cast<int>(row.value.size() - point - 1);
        char text[KELVARO_RPN_FIXED_SIZE];
        kelvaro_rpn_format_fixed(outcome.value, decimals, text, sizeof text);
        EXPECT_EQ(text, row.value) << row.example;
    }
}

}  // namespace
