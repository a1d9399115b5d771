// Character counting, proper case and the fixed-pitch layout pieces of lists, screens and reports.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

#include "reports/clock.h"
#include "reports/layout.h"
#include "reports/printer.h"
#include "reports/text.h"

namespace heatx {
namespace {

TEST(TextTest, CharLengthCountsCharactersNotBytes) {
    EXPECT_EQ(CharLength(""), 0u);
    EXPECT_EQ(CharLength("abc"), 3u);
    EXPECT_EQ(CharLength("ЁЖ"), 2u);
    EXPECT_EQ(CharLength(" ТЕПЛОВАЯ НАГРУЗКА, ВТ  "), 24u);
    EXPECT_EQ(CharLength("М^2"), 3u);
    // A stray continuation byte and a cut sequence still count, one character per byte.
    EXPECT_EQ(CharLength("\x80z"), 2u);
    EXPECT_EQ(CharLength("a\xD0"), 2u);
}

TEST(TextTest, ProperCaseConvertsLatinAndCyrillicWords) {
    EXPECT_EQ(ProperCase("фамилия гр. а-1"), "Фамилия Гр. А-1");
    EXPECT_EQ(ProperCase("ИВАНОВ ИВ-21"), "Иванов Ив-21");
    EXPECT_EQ(ProperCase("ёлкин ЁЖИКОВ"), "Ёлкин Ёжиков");
    EXPECT_EQ(ProperCase("SMITH group x-2"), "Smith Group X-2");
    EXPECT_EQ(ProperCase("яЯ ЯЯ"), "Яя Яя");
    // Every alphabet, not only the Russian one.
    EXPECT_EQ(ProperCase("ґрак ҐРАК"), "Ґрак Ґрак");
    EXPECT_EQ(ProperCase("ŝtefan ŁUKASZ"), "Ŝtefan Łukasz");
}

TEST(TextTest, ProperCaseKeepsBlanksAndOtherCharacters) {
    EXPECT_EQ(ProperCase(""), "");
    EXPECT_EQ(ProperCase("  два   пробела "), "  Два   Пробела ");
    EXPECT_EQ(ProperCase("12-34 №5"), "12-34 №5");
    // Only the first character of a word is raised; a word that begins with a bracket or a digit
    // keeps its letters in lower case.
    EXPECT_EQ(ProperCase("(ПЕТРОВ) 2Б"), "(петров) 2б");
    // Invalid bytes pass through untouched.
    EXPECT_EQ(ProperCase("a\xFF"
                         "B"),
              "A\xFF"
              "b");
}

TEST(TextTest, StudentNameHasOneLeadingBlank) {
    EXPECT_EQ(StudentNameFromAnswer("сидоров хт-101"), " Сидоров Хт-101");
    EXPECT_EQ(StudentNameFromAnswer(""), " ");
}

TEST(TextTest, TrimBlanksRemovesOnlyOuterBlanks) {
    EXPECT_EQ(TrimBlanks("  12.5  "), "12.5");
    EXPECT_EQ(TrimBlanks("   "), "");
    EXPECT_EQ(TrimBlanks(" a b "), "a b");
}

TEST(LayoutTest, SpacesAndPadBlanks) {
    EXPECT_EQ(Spaces(0), "");
    EXPECT_EQ(Spaces(12), std::string(12, ' '));
    EXPECT_EQ(Spaces(-3), "");

    const std::string label = " ТЕПЛОВАЯ НАГРУЗКА, ВТ  ";
    EXPECT_EQ(PadBlanks(label, 24), "");
    EXPECT_EQ(PadBlanks(label, 72), std::string(48, ' '));
    EXPECT_EQ(PadBlanks(label, 10), "");  // longer than the width: nothing to add
}

TEST(LayoutTest, FormatFixedRightAlignsAndNeverCuts) {
    EXPECT_EQ(FormatFixed(3.14159f, 8, 2), "    3.14");
    EXPECT_EQ(FormatFixed(0.5f, 6, 3), " 0.500");
    EXPECT_EQ(FormatFixed(1234.5f, 7, 2), "1234.50");
    EXPECT_EQ(FormatFixed(123456.7f, 7, 2), "123456.70");
    EXPECT_EQ(FormatFixed(-2.25f, 8, 1), "    -2.2");  // exact half of the stored value: to even
    EXPECT_EQ(FormatFixed(0.0f, 5, 2), " 0.00");
    EXPECT_EQ(FormatFixed(0.00042f, 8, 5), " 0.00042");
    EXPECT_EQ(FormatFixed(12345.678f, 10, 2), "  12345.68");
}

TEST(LayoutTest, FormatFixedWritesAPointWhateverTheLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    // A locale with a decimal comma, when the machine has one.
    if (std::setlocale(LC_NUMERIC, "ru_RU.UTF-8") == nullptr &&
        std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
        std::setlocale(LC_NUMERIC, saved.c_str());
        GTEST_SKIP() << "no locale with a decimal comma installed";
    }
    const std::string text = FormatFixed(2.5f, 6, 2);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(text, "  2.50");
}

TEST(LayoutTest, CenterCellTrimsAndCentres) {
    EXPECT_EQ(CenterCell("  12.5   ", 8), "  12.5  |");
    EXPECT_EQ(CenterCell("abc", 8), "  abc   |");
    EXPECT_EQ(CenterCell("abcdefgh", 8), "abcdefgh|");
    EXPECT_EQ(CenterCell("abcdefghij", 8), "abcdefghij|");
    EXPECT_EQ(CenterCell("", 4), "    |");
    // Width in characters: a Cyrillic text is centred like a Latin one.
    EXPECT_EQ(CenterCell("ТРУБ", 8), "  ТРУБ  |");
}

TEST(LayoutTest, RussianDateWritesDayMonthNameYearAndTime) {
    FixedClock clock({2026, 12, 7, 11, 5, 30});
    EXPECT_EQ(RussianDate(clock), " 07 декабря 2026г.        11:05:30");

    clock.Set({2027, 1, 1, 0, 0, 9});
    const std::string newYear = RussianDate(clock);
    EXPECT_EQ(newYear.rfind(" 01 января ", 0), 0u);
    EXPECT_EQ(newYear, " 01 января 2027г.        00:00:09");
}

TEST(LayoutTest, RussianDateNamesEveryMonth) {
    const char* names[] = {" января ", " февраля ", " марта ",    " апреля ",  " мая ",    " июня ",
                           " июля ",   " августа ", " сентября ", " октября ", " ноября ", " декабря "};
    FixedClock clock({});
    for (int month = 1; month <= 12; ++month) {
        clock.Set({2026, month, 15, 23, 59, 59});
        EXPECT_EQ(RussianDate(clock), std::string(" 15") + names[month - 1] + "2026г.        23:59:59")
            << "month " << month;
    }
}

TEST(LayoutTest, SignatureRuleIsUnderscoresAfterTheMarginThenThreeEmptyLines) {
    RecordingPrinter printer;
    PrintSignatureRule(printer, 66);
    const auto lines = printer.Lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], std::string(12, ' ') + std::string(66, '_'));
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], "");
}

TEST(LayoutTest, ListLinesPadTheLabelInCharacters) {
    const std::string label = " ТЕПЛОВАЯ НАГРУЗКА, ВТ                        ";  // 46 characters
    const std::string line = SourceLine(label, "1005000", 62);
    EXPECT_EQ(line, label + std::string(16, ' ') + "1005000");
    EXPECT_EQ(CharLength(line), 62u + 7u);

    EXPECT_EQ(SourceLine(" ПЛОТНОСТЬ", " 957", 12), " ПЛОТНОСТЬ   957");

    const std::string diameter = " НАРУЖНЫЙ ДИАМЕТР ТРУБ, М                   ";  // 44 characters
    EXPECT_EQ(ConstructionLine(diameter, "0.025", 50), diameter + "      0.025");
    EXPECT_EQ(CharLength(ConstructionLine(diameter, "0.025", 80)), 85u);
}

TEST(LayoutTest, HeaterTypeLineShowsTheOrientationAtColumn40) {
    const std::string lead = " ТИП ТЕПЛООБМЕННИКА" + std::string(21, ' ');
    EXPECT_EQ(HeaterTypeLine(true), lead + "ГОРИЗОНТАЛЬНЫЙ");
    EXPECT_EQ(HeaterTypeLine(false), lead + "ВЕРТИКАЛЬНЫЙ");
}

TEST(LayoutTest, FormatCountRoundsHalvesToEven) {
    EXPECT_EQ(FormatCount(2.5f), "2");
    EXPECT_EQ(FormatCount(3.5f), "4");
    EXPECT_EQ(FormatCount(2.4999f), "2");
    EXPECT_EQ(FormatCount(2.51f), "3");
    EXPECT_EQ(FormatCount(300.0f), "300");
    EXPECT_EQ(FormatCount(-1.5f), "-2");
    EXPECT_EQ(FormatCount(-0.4f), "0");
    EXPECT_EQ(FormatCount(-0.5f), "0");
    EXPECT_EQ(FormatCount(0.5f), "0");
}

TEST(LayoutTest, FormatCountCopesWithHugeAndUndefinedValues) {
    EXPECT_EQ(FormatCount(1e10f), "10000000000");
    EXPECT_EQ(FormatCount(-3e9f), "-3000000000");
    EXPECT_EQ(FormatCount(std::numeric_limits<float>::max()).size(), 39u);
    EXPECT_EQ(FormatCount(std::numeric_limits<float>::infinity()), "inf");
    EXPECT_EQ(FormatCount(-std::numeric_limits<float>::infinity()), "-inf");
    EXPECT_EQ(FormatCount(std::nanf("")), "nan");
}

}  // namespace
}  // namespace heatx
