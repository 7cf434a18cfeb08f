// The piecewise evaluation reads its text through a buffer of fixed size: a
// text longer than the buffer is evaluated in pieces on one stack. With
// buffers far smaller than the texts, every piece boundary and every token
// longer than the buffer gives exactly the lines and outcome of evaluating
// the whole text at once, whether the buffer starts empty or, as
// CalculatorRPN hands it over, already full.
#include "engine/piecewise_run.h"
#include "support/expression_tables.h"

#include <gtest/gtest.h>

#include <kelvaro/rpn.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <cstring>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

// Hands the text over at most `most` bytes a read, in groups of `group`
// bytes that a read never splits, as a multi-byte code page converts whole
// characters: a read with too little room for the next group writes nothing.
struct Source {
    std::string text;
    std::size_t at = 0;
    std::size_t most = 3;
    std::size_t group = 1;

    static std::size_t Read(void *context, char *buffer, std::size_t capacity, bool &ended)
    {
        auto &source = *static_cast<Source *>(context);
        const std::size_t left = source.text.size() - source.at;
        std::size_t count = std::min({left, capacity, source.most});
        if (count < left) {
            count -= count % source.group;
        }
        std::memcpy(buffer, source.text.data() + source.at, count);
        source.at += count;
        ended = source.at == source.text.size();
        return count;
    }
};

struct Result {
    kelvaro_rpn_outcome outcome;
    std::string lines;
};

void Collect(void *context, const char *line, std::size_t length)
{
    static_cast<std::string *>(context)->append(line, length);
}

// The lines as CalculatorRPN writes them: the listings, then the message of
// a failure, made from the byte the outcome names.
Result Piecewise(const std::string &text, std::size_t capacity, std::size_t group,
                 bool prefilled = false)
{
    Source source{text, 0, 3 + group * 2, group};
    std::vector<char> buffer(capacity);
    std::size_t filled = 0;
    bool ended = false;
    if (prefilled) {
        filled = Source::Read(&source, buffer.data(), capacity, ended);
    }
    Result result{};
    const kelvaro_rpn_listing listing{Collect, nullptr, &result.lines};
    const kelvaro::PiecewiseOutcome piecewise = kelvaro::EvaluatePiecewise(
        kelvaro::TextSource{Source::Read, &source}, buffer.data(), capacity, filled, ended,
        listing);
    result.outcome = piecewise.outcome;
    if (piecewise.outcome.status != KELVARO_RPN_OK) {
        const kelvaro_rpn_outcome at{piecewise.outcome.status, 0, 0};
        char message[KELVARO_RPN_MESSAGE_SIZE];
        result.lines.append(message, kelvaro_rpn_format_message(&at, &piecewise.failedByte, 1,
                                                                message, sizeof message));
    }
    return result;
}

// What the piecewise run must give: the listings, then the message of a
// failure, all from one call of the API on the whole text.
Result Whole(const std::string &text)
{
    Result result{};
    const kelvaro_rpn_listing listing{Collect, nullptr, &result.lines};
    if (kelvaro_rpn_evaluate_listing(text.data(), text.size(), &listing, &result.outcome) !=
        KELVARO_RPN_OK) {
        char message[KELVARO_RPN_MESSAGE_SIZE];
        result.lines.append(message, kelvaro_rpn_format_message(&result.outcome, text.data(),
                                                                text.size(), message,
                                                                sizeof message));
    }
    return result;
}

std::uint64_t Bits(double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

void ExpectSameAsWhole(const std::string &text, std::size_t capacity, std::size_t group = 1,
                       bool prefilled = false)
{
    const Result expected = Whole(text);
    const Result actual = Piecewise(text, capacity, group, prefilled);
    const std::string shown = text.size() > 80 ? text.substr(0, 80) + "..." : text;
    ASSERT_EQ(actual.outcome.status, expected.outcome.status) << shown << " / " << capacity;
    if (expected.outcome.status == KELVARO_RPN_OK) {
        ASSERT_EQ(Bits(actual.outcome.value), Bits(expected.outcome.value))
            << shown << " / " << capacity;
    } else {
        ASSERT_EQ(actual.outcome.offset, expected.outcome.offset) << shown << " / " << capacity;
    }
    ASSERT_EQ(actual.lines, expected.lines) << shown << " / " << capacity;
}

const std::size_t kCapacities[] = {8, 9, 13, 32, 4096};


TEST(PiecewiseRunTest, TablesGiveTheSameLinesAndOutcomeWithAnyBuffer)
{
    for (const std::string &text : kelvaro_test::AllTableTexts()) {
        for (const std::size_t capacity : kCapacities) {
            ExpectSameAsWhole(text, capacity);
            ExpectSameAsWhole(text, capacity, 3, true);
        }
    }
}

// Tokens longer than the buffer: numbers whose every digit counts, commands
// whose first byte alone counts, and exponents, signs and tails that straddle
// the buffer's end.
TEST(PiecewiseRunTest, TokensLongerThanTheBuffer)
{
    const std::string zeros(5000, '0');
    const std::string texts[] = {
        "1" + zeros + "e-5000",
        "1" + zeros + "e-5000 2 *",
        "3" + zeros + zeros + "e-9999",
        "3" + zeros + zeros + "e-10001",
        "0." + zeros + "3e5001",
        "-0." + zeros + "25e5002 1 +",
        "3 " + zeros + " +",
        "3 -" + zeros + "7 +",
        "3 -" + zeros,
        "2 1" + zeros + "x",
        "2 1.5" + std::string(40, '9') + "e-3junk" + std::string(50, 'q') + " *",
        "1.00000000000000011102230246251565404236316680908203125" + zeros + "1",
        "1.00000000000000011102230246251565404236316680908203125" + zeros,
        "5 sqrt" + std::string(100, 't'),
        "1 2 " + std::string(100, '+'),
        "4 " + std::string(30, '#') + "\t" + std::string(30, '@') + " 1 +",
        "1 2\t" + std::string(40, '?'),
        "1e" + std::string(40, '0') + "5",
        "1e+" + std::string(40, '0') + "3",
        "7e-" + std::string(40, '9'),
        "7e9" + std::string(40, '9'),
        "1" + std::string(20, '0') + "e",
        "1" + std::string(20, '0') + "e+",
        "1" + std::string(20, '0') + ".e-",
        std::string(30, ' ') + "1" + std::string(30, ' '),
        "1 2 3" + std::string(100, ' '),
        std::string(100, ' '),
        "1 x" + std::string(50, ' ') + "@",
        "1\n" + std::string(40, '2') + " 3 +",
    };
    for (const std::string &text : texts) {
        for (const std::size_t capacity : {8, 9, 16, 37}) {
            ExpectSameAsWhole(text, static_cast<std::size_t>(capacity));
            ExpectSameAsWhole(text, static_cast<std::size_t>(capacity), 4, true);
        }
    }
}

// A number longer than the buffer is read a byte at a time, and whether an
// 'e' starts its exponent is decided looking up to two bytes ahead: with the
// digits before them growing a byte at a time, the point, the 'e', its sign
// and the exponent's first digit each fall on every place of the buffer,
// its last included, where looking ahead has to refill it.
TEST(PiecewiseRunTest, ExponentAndPointAtEveryPlaceOfTheBuffer)
{
    const std::string signs[] = {"", "-"};
    const std::string tails[] = {
        "e5",  "e+5", "e-5", "E-12", "e+0003", "e",   "e+",  "e-",
        "e-x", "ex",  "e+-5", ".5e-3", ".e2",   ".",   "..5", "5e5e5",
    };
    for (const std::size_t capacity : {8, 9, 16}) {
        for (std::size_t zeros = capacity; zeros <= 3 * capacity; ++zeros) {
            for (const std::string &sign : signs) {
                for (const std::string &tail : tails) {
                    const std::string text =
                        std::string("2 ").append(sign).append("1").append(zeros, '0').append(tail).append(" *");
                    ExpectSameAsWhole(text, capacity);
                    ExpectSameAsWhole(text, capacity, 2, true);
                }
            }
        }
    }
}

// The decimal digits of `whole` / 2^halvings and the power of ten after
// them: "digits e-count".
std::string Halved(std::string digits, int halvings, int &fractionDigits)
{
    fractionDigits = 0;
    for (int i = 0; i < halvings; ++i) {
        int carry = 0;
        for (char &c : digits) {
            const int v = carry * 10 + (c - '0');
            c = static_cast<char>('0' + v / 2);
            carry = v % 2;
        }
        if (carry != 0) {
            digits += '5';
            ++fractionDigits;
        }
    }
    return digits;
}

// The halfway point between the largest subnormal and DBL_MIN, (2^53 - 1) *
// 2^-1075, has the most significant digits of any (768), the last a 5: a
// number folded to fewer would lose the tie. Written exactly and padded past
// the buffer it is a tie (to even: DBL_MIN); just below it, the subnormal.
TEST(PiecewiseRunTest, AHalfwayPointAtTheDigitBoundKeepsItsTie)
{
    int fraction = 0;
    const std::string digits = Halved("9007199254740991", 1075, fraction);
    const std::string zeros(5000, '0');
    const std::string exponent = "e-" + std::to_string(fraction + 5000);
    std::string below = digits;
    below.back() = '4';
    const double smallest = std::numeric_limits<double>::min();
    const struct {
        std::string text;
        double value;
    } cases[] = {
        {digits + zeros + exponent, smallest},
        {digits + zeros + "1" + exponent.substr(0, 2) + std::to_string(fraction + 5001), smallest},
        {below + std::string(5000, '9') + exponent, std::nextafter(smallest, 0.0)},
    };
    for (const auto &c : cases) {
        for (const std::size_t capacity : {8, 64, 4096}) {
            const Result result = Piecewise(c.text, capacity, 1);
            ASSERT_EQ(result.outcome.status, KELVARO_RPN_OK) << capacity;
            EXPECT_EQ(Bits(result.outcome.value), Bits(c.value)) << capacity;
            ExpectSameAsWhole(c.text, capacity);
        }
    }
}

TEST(PiecewiseRunTest, RandomTextsGiveTheSameLinesAndOutcome)
{
    std::mt19937 random(2026);
    const std::string pieces[] = {"1", "2.5", "-3", "1e3", "0", "+", "-", "*", "/", "%", "^",
                                  "s", "c", "!", "p", "]", "x", "#", "@", " ", " ", "\t",
                                  "\n", "7.", "99999999999999999999", "?", "e", "4+"};
    std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> count(1, 60);
    for (int i = 0; i < 3000; ++i) {
        std::string text;
        for (int n = count(random); n > 0; --n) {
            text += pieces[piece(random)];
            if (random() % 3 != 0) {
                text += ' ';
            }
        }
        ExpectSameAsWhole(text, 8 + random() % 24, 1 + random() % 4, random() % 2 == 0);
    }
}

}  // namespace
