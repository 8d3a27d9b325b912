#include "util/utilnumber.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cmath>
#include <limits>
#include <string>

namespace tintorel {
namespace {

TEST(TextToReal, ReadsTheLongestNumberPrefix) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"7.5", 7.5}, {" 7", 7.0},    {"\t-2.5e1x", -25.0}, {"50%", 50.0},  {"abc", 0.0},
        {"", 0.0},    {"+.5", 0.5},   {"1e", 1.0},          {"-0", -0.0},   {"12,5", 12.0},
        {".", 0.0},   {"  \n3", 3.0}, {"2E3", 2000.0},      {"5e+1", 50.0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextToReal(c.text), c.value) << "text: \"" << c.text << "\"";
    }
}

TEST(TextToReal, ReportsOverflow) {
    bool overflow = false;
    EXPECT_TRUE(std::isinf(TextToReal("1e999", &overflow)));
    EXPECT_TRUE(overflow);
    EXPECT_EQ(TextToReal("1e-999", &overflow), 0.0);
    EXPECT_FALSE(overflow);
    EXPECT_EQ(TextToReal("3", &overflow), 3.0);
    EXPECT_FALSE(overflow);
}

TEST(TextToLong, ReadsDecimalPrefixAndSaturates) {
    bool overflow = true;
    EXPECT_EQ(TextToLong(" -42abc", &overflow), -42);
    EXPECT_FALSE(overflow);
    EXPECT_EQ(TextToLong("0x10"), 0);
    EXPECT_EQ(TextToLong("+7"), 7);
    EXPECT_EQ(TextToLong("x"), 0);
    EXPECT_EQ(TextToLong("99999999999999999999999", &overflow), LONG_MAX);
    EXPECT_TRUE(overflow);
    EXPECT_EQ(TextToLong("-99999999999999999999999", &overflow), LONG_MIN);
    EXPECT_TRUE(overflow);
}

// The desktop's locale is set for the whole process; numbers in files must
// read the same under a locale whose decimal mark is a comma.
TEST(ParseWholeNumber, TakesAWholeNumberAndNothingElse) {
    const struct {
        const char* text;
        bool read;
        int value;
    } cases[] = {
        {"12", true, 12},
        {" 12 ", true, 12},
        {"+7", true, 7},
        {"-40", true, -40},
        {"007", true, 7},
        {"2147483647", true, INT_MAX},
        {"-2147483648", true, INT_MIN},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"99999999999999999999", false, 0},
        {"12.5", false, 0},
        {"1e2", false, 0},
        {"0x10", false, 0},
        {"12a", false, 0},
        {"", false, 0},
        {"-", false, 0},
        {"+ 1", false, 0},
        {"1 2", false, 0},
        {"--1", false, 0},
    };
    for (const auto& c : cases) {
        int value = -99;
        EXPECT_EQ(ParseWholeNumber(c.text, value), c.read) << c.text;
        EXPECT_EQ(value, c.read ? c.value : -99) << c.text;
    }
}

TEST(TextToReal, IgnoresTheProcessLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "de_DE.UTF-8 is not generated on this machine";
    }
    const double value = TextToReal("7.5");
    const long whole = TextToLong("12");
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(value, 7.5);
    EXPECT_EQ(whole, 12);
}

TEST(RealToInteger, EveryDoubleHasADefinedResult) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double value;
        int trunc;
        int floor;
        int ceil;
        int lowByte;
    } cases[] = {
        {2.9, 2, 2, 3, 2},
        {-2.9, -2, -3, -2, 254},
        {383.0, 383, 383, 383, 127},
        {-1.0, -1, -1, -1, 255},
        {-0.5, 0, -1, 0, 0},
        {nan, 0, 0, 0, 0},
        {inf, INT_MAX, INT_MAX, INT_MAX, 0},
        {-inf, INT_MIN, INT_MIN, INT_MIN, 0},
        {1e30, INT_MAX, INT_MAX, INT_MAX, 0},
        {-1e30, INT_MIN, INT_MIN, INT_MIN, 0},
        {-2147483648.5, INT_MIN, INT_MIN, INT_MIN, 0},
        {2147483646.5, 2147483646, 2147483646, INT_MAX, 254},
        {4294967551.0, INT_MAX, INT_MAX, INT_MAX, 255}, // 2^32 + 255
        {9223372036854775808.0, INT_MAX, INT_MAX, INT_MAX, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TruncToInt(c.value), c.trunc) << c.value;
        EXPECT_EQ(FloorToInt(c.value), c.floor) << c.value;
        EXPECT_EQ(CeilToInt(c.value), c.ceil) << c.value;
        EXPECT_EQ(LowByteOfTrunc(c.value), c.lowByte) << c.value;
    }
}

} // namespace
} // namespace tintorel
