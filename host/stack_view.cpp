#include "stack_view.h"

namespace {

constexpr char kHead[] = "stack:";
constexpr char kEmptyLine[] = "stack: empty\n";

std::string ValueText(double value, const ValueFormat &format)
{
    char text[kValueTextSize];
    return {text, FormatValue(value, format, text)};
}

}  // namespace

std::string CompactStack(const std::vector<double> &values, const ValueFormat &format,
                         std::size_t columns)
{
    if (values.empty()) {
        return kEmptyLine;
    }
    std::vector<std::string> texts;
    texts.reserve(values.size());
    std::size_t width = sizeof kHead - 1;
    for (const double value : values) {
        texts.push_back(ValueText(value, format));
        width += 1 + texts.back().size();
    }
    // A line as wide as the terminal would make it wrap.
    std::size_t first = 0;
    std::string line = kHead;
    if (width >= columns) {
        line += " (" + std::to_string(values.size()) + " values) ...";
        width = line.size();
        first = texts.size();
        while (first > 0 && (first == texts.size() || width + 1 + texts[first - 1].size() < columns)) {
            --first;
            width += 1 + texts[first].size();
        }
    }
    for (std::size_t i = first; i < texts.size(); ++i) {
        line += ' ';
        line += texts[i];
    }
    return line + '\n';
}

std::string FullStack(const std::vector<double> &values, const ValueFormat &format)
{
    if (values.empty()) {
        return kEmptyLine;
    }
    const std::size_t levelWidth = std::to_string(values.size()).size();
    std::string listing;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::string level = std::to_string(values.size() - i);
        listing += "  " + std::string(levelWidth - level.size(), ' ') + level + ": " +
                   ValueText(values[i], format) + '\n';
    }
    return listing;
}
