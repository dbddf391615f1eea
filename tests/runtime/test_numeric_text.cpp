#include "error_of.h"
#include "floating_point_check.h"
#include "numeric_text.h"
#include "run_error.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <doctest/doctest.h>
#include <limits>
#include <random>
#include <string>

using namespace ampero;

using ampero::testing::errorOf;

namespace {

std::u16string u16(std::string_view ascii)
{
    return {ascii.begin(), ascii.end()};
}

// The independent reference: C's "%.15G", with the sign of zero dropped.
std::string referenceText(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    std::string text = buffer;
    return text == "-0" ? "0" : text;
}

} // namespace

TEST_CASE("text reads as a number")
{
    struct Case
    {
        std::u16string text;
        double expected;
    };
    const Case cases[] = {
        {u"12", 12},
        {u"+12", 12},
        {u"-3.5", -3.5},
        {u"1e2", 100},
        {u"1.5E+3", 1500},
        {u"  4  ", 4},
        {u"\t4\t", 4},
        {u"4.0", 4},
        {u"5.", 5},
        {u".5", 0.5},
        {u"-.5", -0.5},
        {u"1E-3", 0.001},
        {u"0", 0},
        {u"-0", 0},
        {u"007", 7},
        {u"1e-400", 0},
        {u"4.9e-324", 4.9e-324},
        {u"1.7976931348623157e308", 1.7976931348623157e308},
        {u"0e99999999999999999999", 0},
        {u"0.0000000001e10", 1},
    };
    for (const Case &c : cases) {
        CAPTURE(std::string(c.text.begin(), c.text.end()));
        CHECK(textToNumber(c.text, u'.') == c.expected);
    }
}

TEST_CASE("text that is no number raises type mismatch or overflow")
{
    struct Case
    {
        std::u16string text;
        ErrorNumber expected;
    };
    const Case cases[] = {
        {u"", ErrorNumber::TypeMismatch},
        {u"   ", ErrorNumber::TypeMismatch},
        {u"abc", ErrorNumber::TypeMismatch},
        {u"inf", ErrorNumber::TypeMismatch},
        {u"nan", ErrorNumber::TypeMismatch},
        {u"infinity", ErrorNumber::TypeMismatch},
        {u"0x10", ErrorNumber::TypeMismatch},
        {u"1,5", ErrorNumber::TypeMismatch},
        {u"1.2.3", ErrorNumber::TypeMismatch},
        {u"1e", ErrorNumber::TypeMismatch},
        {u"1e+", ErrorNumber::TypeMismatch},
        {u"-", ErrorNumber::TypeMismatch},
        {u".", ErrorNumber::TypeMismatch},
        {u"+-1", ErrorNumber::TypeMismatch},
        {u"1 2", ErrorNumber::TypeMismatch},
        {u"\u0661\u0662", ErrorNumber::TypeMismatch},
        {std::u16string(u"1\0"
                        u"2",
                        3),
         ErrorNumber::TypeMismatch},
        {u"\u00a04", ErrorNumber::TypeMismatch},
        {u"1e400", ErrorNumber::Overflow},
        {u"-1e400", ErrorNumber::Overflow},
        {u"1.7976931348623159e308", ErrorNumber::Overflow},
        {u"123456789e99999999999999999999", ErrorNumber::Overflow},
    };
    for (const Case &c : cases) {
        CAPTURE(std::string(c.text.begin(), c.text.end()));
        CHECK(errorOf([&] { textToNumber(c.text, u'.'); }) == static_cast<int>(c.expected));
    }
}

TEST_CASE("a comma locale reads and writes the comma")
{
    CHECK(textToNumber(u" -3,5 ", u',') == -3.5);
    CHECK(errorOf([] { textToNumber(u"3.5", u','); }) == 13);
    CHECK(numberToText(100.0 / 700.0 * 60.0, u',') == u"8,57142857142857");
    CHECK(numberToText(1.5e-10, u',') == u"1,5E-10");
}

TEST_CASE("numbers are written in shortest general form at 15 digits")
{
    struct Case
    {
        double value;
        std::u16string expected;
    };
    const Case cases[] = {
        {100.0 / 700.0 * 60.0, u"8.57142857142857"},
        {900.0 / 300.0 * 60.0, u"180"},
        {1.0 - 1.0, u"0"},
        {0.0 - 1.0, u"-1"},
        {2.5 - 1.0, u"1.5"},
        {0.5 - 1.0, u"-0.5"},
        {-0.0, u"0"},
        {1e15, u"1E+15"},
        {999999999999999.0, u"999999999999999"},
        {999999999999999.5, u"1E+15"},
        {1.5e-10, u"1.5E-10"},
        {0.0001, u"0.0001"},
        {0.00001, u"1E-05"},
        {2.000000000000001 - 1.0, u"1"},
        {-1.5e300, u"-1.5E+300"},
        {123456789012345678.0, u"1.23456789012346E+17"},
        {5e-324, u"4.94065645841247E-324"},
        {0.1 + 0.2, u"0.3"},
        {std::numeric_limits<double>::max(), u"1.79769313486231E+308"},
        {-std::numeric_limits<double>::max(), u"-1.79769313486231E+308"},
        {1.797693134862315e308, u"1.79769313486231E+308"},
        {1.797693134862314e308, u"1.79769313486231E+308"},
    };
    for (const Case &c : cases) {
        CAPTURE(c.value);
        const std::u16string text = numberToText(c.value, u'.');
        CHECK(std::string(text.begin(), text.end()) ==
              std::string(c.expected.begin(), c.expected.end()));
    }
    CHECK(errorOf([] { numberToText(std::numeric_limits<double>::infinity(), u'.'); }) == 6);
    CHECK(errorOf([] { numberToText(std::nan(""), u'.'); }) == 6);
}

TEST_CASE("a million random doubles match the reference and re-read to their rounding")
{
    std::mt19937_64 random(20261208);
    std::uniform_real_distribution<double> ordinary(-1e6, 1e6);
    for (int i = 0; i < 1'000'000; ++i) {
        double value = i % 2 ? ordinary(random) : std::bit_cast<double>(random());
        if (!std::isfinite(value))
            continue;
        const std::u16string text = numberToText(value, u'.');
        const std::string expected = referenceText(value);
        if (text != u16(expected)) {
            CAPTURE(value);
            CAPTURE(expected);
            FAIL("text differs from the reference");
        }
        double rounded = 0;
        std::from_chars(expected.data(), expected.data() + expected.size(), rounded);
        if (textToNumber(text, u'.') != rounded) {
            CAPTURE(expected);
            FAIL("text does not re-read to the 15-digit value");
        }
    }
}

TEST_CASE("the arithmetic check raises on division by zero, 0/0 and overflow")
{
    const auto charge = [](double capacity, double output) { return capacity / output * 60.0; };
    struct Case
    {
        double capacity;
        double output;
        int expectedError;
    };
    const Case cases[] = {
        {100, 0, 11},      {-100, 0, 11},      {0, 0, 6},
        {1e308, 1e-10, 6}, {1e-300, 1e300, 0}, {900, 300, 0},
    };
    for (const Case &c : cases) {
        CAPTURE(c.capacity);
        CAPTURE(c.output);
        CHECK(errorOf([&] { checkedArithmetic(charge, c.capacity, c.output); }) == c.expectedError);
    }
    CHECK(checkedArithmetic(charge, 500.0, 200.0) == 150.0);
    CHECK(checkedArithmetic([](double minutes) { return minutes - 1.0; }, 3.0) == 2.0);
}

TEST_CASE("errors carry their number and description")
{
    CHECK(RunError(ErrorNumber::TypeMismatch).description() == u"Type mismatch");
    CHECK(RunError(ErrorNumber::Overflow).description() == u"Overflow");
    CHECK(RunError(ErrorNumber::DivisionByZero).description() == u"Division by zero");
    CHECK(RunError(ErrorNumber::InvalidArgument).description() ==
          u"Invalid procedure call or argument");
    CHECK(std::string(RunError(ErrorNumber::DivisionByZero).what()) == "Division by zero");
}
