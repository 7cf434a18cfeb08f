#include "workloads.h"

namespace kelvaro_bench {
namespace {

Workload ShortWorkload()
{
    return {"short", L"3 4 + 2 *", "(3+4)*2"};
}

// Every command with its own function: sine, cosine, logarithm, exponential,
// power and remainder.
Workload FunctionsWorkload()
{
    return {"functions", L"0.5 s 0.25 c * 2 l + 1.5 L - 3 ^ 7 4 % +",
            "(sin(0.5)*cos(0.25)+ln(2)-exp(1.5))^3+rem(7,4)"};
}

// 63 numbers 1.5, 2.5, ... 9.5, 1.5, ... with '*' and '+' taking turns:
// "1.5 2.5 * 3.5 + 4.5 * ..." (375 bytes), and in infix the same running
// calculation nested to the left: "((1.5*2.5)+3.5)*4.5...".
Workload LongWorkload()
{
    constexpr int kNumbers = 63;
    std::string rpn = "1.5";
    std::string infix = std::string(kNumbers - 1, '(') + "1.5";
    for (int i = 1; i < kNumbers; ++i) {
        const std::string number = std::string(1, static_cast<char>('1' + i % 9)) + ".5";
        const char operation = i % 2 == 1 ? '*' : '+';
        rpn += ' ' + number + ' ' + operation;
        infix += operation + number + ')';
    }
    return {"long", Widen(rpn), infix};
}

}  // namespace

std::vector<Workload> MakeWorkloads()
{
    return {ShortWorkload(), FunctionsWorkload(), LongWorkload()};
}

std::wstring HalvingText(std::size_t length)
{
    static constexpr char kRound[] = " 0.5 * 1.5 +";
    std::string text = "1";
    while (text.size() + sizeof kRound - 1 <= length) {
        text += kRound;
    }
    return Widen(text);
}

std::string Narrow(const std::wstring &text)
{
    std::string narrow;
    for (const wchar_t c : text) {
        narrow += static_cast<char>(c);
    }
    return narrow;
}

std::wstring Widen(const std::string &text)
{
    std::wstring wide;
    for (const char c : text) {
        wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    return wide;
}

}  // namespace kelvaro_bench
