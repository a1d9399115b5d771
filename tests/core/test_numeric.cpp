// Reading of typed numbers: normalisation of the decimal comma and the grammar of the numeric reading.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

#include "design_data/numeric.h"

namespace heatx {
namespace {

TEST(NormalizeDecimal, EmptyTextBecomesZero) {
    EXPECT_EQ(NormalizeDecimal(""), "0");
}

TEST(NormalizeDecimal, OnlyTheFirstCommaBecomesAPoint) {
    EXPECT_EQ(NormalizeDecimal("2,5"), "2.5");
    EXPECT_EQ(NormalizeDecimal(",5"), ".5");
    EXPECT_EQ(NormalizeDecimal("1,2,3"), "1.2,3");
    EXPECT_EQ(ReadNumber(NormalizeDecimal("1,2,3")), 1.2);
}

TEST(NormalizeDecimal, KeepsEverythingElseAsTyped) {
    EXPECT_EQ(NormalizeDecimal("   "), "   ");
    EXPECT_EQ(NormalizeDecimal(" 957"), " 957");
    EXPECT_EQ(NormalizeDecimal("0.05 м"), "0.05 м");
    EXPECT_EQ(NormalizeDecimal("4,5 м,"), "4.5 м,");
}

TEST(ReadNumber, PlainNumbers) {
    EXPECT_EQ(ReadNumber("908"), 908.0);
    EXPECT_EQ(ReadNumber(".652"), 0.652);
    EXPECT_EQ(ReadNumber("0.000177"), 0.000177);
    EXPECT_EQ(ReadNumber("5."), 5.0);
    EXPECT_EQ(ReadNumber("-3.5"), -3.5);
    EXPECT_EQ(ReadNumber("+3.5"), 3.5);
    EXPECT_EQ(ReadNumber("-.5"), -0.5);
}

TEST(ReadNumber, BlanksTabsAndLineFeedsAreRemovedFirst) {
    EXPECT_EQ(ReadNumber(" 957"), 957.0);
    EXPECT_EQ(ReadNumber("1 000 000"), 1000000.0);
    EXPECT_EQ(ReadNumber("2\t5\n0"), 250.0);
    EXPECT_EQ(ReadNumber("- 5"), -5.0);
    EXPECT_EQ(ReadNumber("1 e 3"), 1000.0);
}

TEST(ReadNumber, ReadsOnlyTheLeadingNumber) {
    EXPECT_EQ(ReadNumber("3 м"), 3.0);
    EXPECT_EQ(ReadNumber("0.05м"), 0.05);
    EXPECT_EQ(ReadNumber("2,5"), 2.0);  // a comma ends the number
    EXPECT_EQ(ReadNumber("1.2.3"), 1.2);
    EXPECT_EQ(ReadNumber("12abc"), 12.0);
    EXPECT_EQ(ReadNumber("7-3"), 7.0);
}

TEST(ReadNumber, TextsWithoutANumberReadAsZero) {
    for (const char* text : {"", "   ", "abc", ".", "-", "+", "+-5", "е5", "E5", "..5", "&", "&X12", "м3"}) {
        EXPECT_EQ(ReadNumber(text), 0.0) << text;
        EXPECT_FALSE(std::signbit(ReadNumber(text))) << text;
    }
    EXPECT_FALSE(std::signbit(ReadNumber("-0")));
    EXPECT_FALSE(std::signbit(ReadNumber("-0.000")));
}

TEST(ReadNumber, ExponentWithEOrD) {
    EXPECT_EQ(ReadNumber("1e5"), 100000.0);
    EXPECT_EQ(ReadNumber("1E5"), 100000.0);
    EXPECT_EQ(ReadNumber("2.5D3"), 2500.0);
    EXPECT_EQ(ReadNumber("2.5d-3"), 0.0025);
    EXPECT_EQ(ReadNumber("4E+2"), 400.0);
    EXPECT_EQ(ReadNumber("1e"), 1.0);
    EXPECT_EQ(ReadNumber("1e+"), 1.0);
    EXPECT_EQ(ReadNumber("1e5.5"), 100000.0);
    EXPECT_EQ(ReadNumber(".5e1"), 5.0);
}

TEST(ReadNumber, HexadecimalAndOctalIntegers) {
    EXPECT_EQ(ReadNumber("&H10"), 16.0);
    EXPECT_EQ(ReadNumber("&hff"), 255.0);
    EXPECT_EQ(ReadNumber("&O17"), 15.0);
    EXPECT_EQ(ReadNumber("&o78"), 7.0);  // 8 is no octal digit
    EXPECT_EQ(ReadNumber("& H 1 F"), 31.0);
    EXPECT_EQ(ReadNumber("&H"), 0.0);
    EXPECT_EQ(ReadNumber("&H1.5"), 1.0);
    EXPECT_EQ(ReadNumber("-&H10"), 0.0);
}

TEST(ReadNumber, ExtremeMagnitudes) {
    EXPECT_TRUE(std::isinf(ReadNumber("1e400")));
    EXPECT_TRUE(std::isinf(ReadNumber(std::string(400, '9'))));
    EXPECT_EQ(ReadNumber("1e-400"), 0.0);
    EXPECT_EQ(ReadNumber("1e0000000000000000000003"), 1000.0);
    EXPECT_EQ(ReadNumber("&H" + std::string(20, 'F')), 1208925819614629174706175.0);
    EXPECT_TRUE(std::isinf(ReadNumber("&H" + std::string(300, 'F'))));
    EXPECT_TRUE(std::isinf(ReadValue("&H" + std::string(40, 'F'))));
}

TEST(ReadNumber, IsIndependentOfTheProcessLocale) {
    // A Russian locale writes a decimal comma; the reading must still take the point.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    if (std::setlocale(LC_NUMERIC, "ru_RU.UTF-8") == nullptr) {
        std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    }
    EXPECT_EQ(ReadNumber("2.5"), 2.5);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(ToSingle, RoundsToNearestAndOverflowsToInfinity) {
    EXPECT_EQ(ToSingle(0.1), 0.1f);
    EXPECT_EQ(ToSingle(3.4028234663852886e38), std::numeric_limits<float>::max());
    EXPECT_TRUE(std::isinf(ToSingle(1e39)));
    EXPECT_TRUE(std::isinf(ToSingle(-1e39)));
    EXPECT_TRUE(std::isinf(ReadValue("1e39")));
    EXPECT_EQ(ReadValue("1e-50"), 0.0f);
    // Just below the halfway point to 2^128 still rounds down to the largest single.
    EXPECT_EQ(ToSingle(0x1.fffffefffffffp127), std::numeric_limits<float>::max());
    EXPECT_TRUE(std::isinf(ToSingle(0x1.ffffffp127)));
}

}  // namespace
}  // namespace heatx
