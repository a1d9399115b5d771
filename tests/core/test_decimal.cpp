// Decimal text of numbers: the digits the reports print and the sizes the journal reads are the same
// whichever conversion an edition's library offers, and carry a point whatever the locale.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "reports/decimal.h"

namespace heatx {
namespace {

// Finite floats of every magnitude, from their bit patterns.
float RandomFloat(std::mt19937& random) {
    for (;;) {
        const std::uint32_t bits = random();
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value)) {
            return value;
        }
    }
}

TEST(DecimalTest, TheStandardAndTheCLibraryConversionsGiveTheSameDigits) {
    std::mt19937 random(17);
    for (int i = 0; i < 20000; ++i) {
        const float value = RandomFloat(random);
        for (const int decimals : {0, 1, 2, 3, 5, 9}) {
            ASSERT_EQ(FixedDecimal(value, decimals), detail::FixedDecimalC(value, decimals))
                << "value " << value << ", " << decimals << " decimals";
        }
        char text[64];
        std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
        const std::optional<float> read = ReadDecimal(text);
        ASSERT_TRUE(read.has_value()) << text;
        ASSERT_EQ(*read, value) << text;
        ASSERT_EQ(detail::ReadPlainDecimalC(text), read) << text;
    }
    // Exact halves of the stored value round to the even neighbour in both.
    for (const double half : {0.125, 2.5, 3.5, -2.25, 1e22 + 0.5, 0.5}) {
        EXPECT_EQ(FixedDecimal(half, half == 0.125 || half == -2.25 ? 2 : 0),
                  detail::FixedDecimalC(half, half == 0.125 || half == -2.25 ? 2 : 0));
    }
    EXPECT_EQ(FixedDecimal(0.125, 2), "0.12");
    EXPECT_EQ(FixedDecimal(0.375, 2), "0.38");
    EXPECT_EQ(FixedDecimal(2.5, 0), "2");
    EXPECT_EQ(FixedDecimal(static_cast<double>(std::numeric_limits<float>::max()), 1),
              "340282346638528859811704183484516925440.0");
    EXPECT_EQ(FixedDecimal(1.5, -1), "2");
}

TEST(DecimalTest, ShortDecimalDropsTrailingZerosOnly) {
    EXPECT_EQ(ShortDecimal(9.0, 3), "9");
    EXPECT_EQ(ShortDecimal(7.5, 3), "7.5");
    EXPECT_EQ(ShortDecimal(8.25, 3), "8.25");
    EXPECT_EQ(ShortDecimal(100.0, 3), "100");
    EXPECT_EQ(ShortDecimal(0.0004, 3), "0");
}

TEST(DecimalTest, ReadDecimalTakesOnlyAWholePlainNumber) {
    EXPECT_EQ(ReadDecimal("12"), 12.0f);
    EXPECT_EQ(ReadDecimal("-7.5"), -7.5f);
    EXPECT_EQ(ReadDecimal("7,5"), 7.5f);
    EXPECT_EQ(ReadDecimal(".5"), 0.5f);
    EXPECT_EQ(ReadDecimal("5."), 5.0f);
    EXPECT_EQ(ReadDecimal("1e3"), 1000.0f);
    EXPECT_EQ(ReadDecimal("2.5E-1"), 0.25f);
    EXPECT_EQ(ReadDecimal("0.1"), 0.1f);  // the float nearest, not a double narrowed
    EXPECT_EQ(ReadDecimal("1e-45"), std::numeric_limits<float>::denorm_min());
    EXPECT_EQ(ReadDecimal("0e-50"), 0.0f);
    for (const char* text : {"", "-", ".", "+5", " 5", "5 ", "0x10", "inf", "nan", "1e", "1e+", "7,5,1",
                             "7.5.1", "5a", "--5", "1e39", "-1e39", "1e-50"}) {
        EXPECT_FALSE(ReadDecimal(text).has_value()) << '"' << text << '"';
    }
}

}  // namespace
}  // namespace heatx
