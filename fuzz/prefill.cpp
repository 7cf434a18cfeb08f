#include "prefill.h"

#include <kelvaro/rpn.h>

namespace kelvaro_fuzz {
namespace {

constexpr unsigned kNanByte = 0xFF;
constexpr unsigned kInfinityByte = 0xFE;
constexpr unsigned kMinusInfinityByte = 0xFD;
constexpr int kMiddle = 128;
constexpr double kStep = 8;

// One value as a token: the arcsine of 2 is NaN; 1e999 is beyond any double.
std::string TokenFor(unsigned byte)
{
    switch (byte) {
    case kNanByte: return "2 S";
    case kInfinityByte: return "1e999";
    case kMinusInfinityByte: return "-1e999";
    default: break;
    }
    char text[KELVARO_RPN_SHORTEST_SIZE];
    const double value = (static_cast<int>(byte) - kMiddle) / kStep;
    const std::size_t length = kelvaro_rpn_format_shortest(value, text, sizeof text);
    return {text, length};
}

}  // namespace

std::size_t PrefillDepth(std::string_view input)
{
    if (input.empty()) {
        return 0;
    }
    const auto first = static_cast<unsigned char>(input.front());
    switch (first % 4) {
    case 0: return KELVARO_RPN_STACK_CAPACITY;
    case 1: return KELVARO_RPN_STACK_CAPACITY - 1;
    case 2: return 2;
    default: break;
    }
    return first / 4 + 1;
}

std::string PrefillText(std::string_view input)
{
    std::string text;
    const std::size_t depth = PrefillDepth(input);
    for (std::size_t i = 0; i < depth; ++i) {
        if (i > 0) {
            text += ' ';
        }
        text += TokenFor(static_cast<unsigned char>(input[i % input.size()]));
    }
    return text;
}

}  // namespace kelvaro_fuzz
