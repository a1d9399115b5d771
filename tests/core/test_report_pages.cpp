// The printed report pages: page head with date, student and source data, the evaporator's result
// table growing by one row per press, and the complete result blocks of the heater and the cooler.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "design_data/design_data.h"
#include "reports/clock.h"
#include "reports/printer.h"
#include "reports/report_pages.h"
#include "reports/text.h"

namespace heatx {
namespace {

const std::string kMargin(12, ' ');
const std::string kDateLine = kMargin + " 07 декабря 2026г.        11:05:30";

std::string B(int count) {
    return std::string(static_cast<std::size_t>(count), ' ');
}

class ReportPagesTest : public ::testing::Test {
  protected:
    ReportPagesTest() : clock_({2026, 12, 7, 11, 5, 30}) {
        data_.StudentName = " Иванов Хт-101";
        data_.ReportHeadPending = kTrue;
        data_.TableHeadPending = kTrue;
    }

    void UseEvaporator() {
        WriteEvaporatorLabels(data_);
        for (int i = 0; i < kEvaporatorSourceCount; ++i) {
            data_.EvaporatorTexts[static_cast<std::size_t>(i)] =
                kEvaporatorReferenceTexts[static_cast<std::size_t>(i)];
        }
        data_.AlphaTube = 10166.39f;
        data_.AlphaShell = 8403.51f;
        data_.OverallK = 1338.2f;
        data_.SurfaceF = 12345.678f;
    }

    void UseHeater(bool horizontal) {
        WriteHeaterLabels(data_);
        for (int i = 0; i < kHeaterSourceCount; ++i) {
            data_.HeaterTexts[static_cast<std::size_t>(i)] =
                kHeaterReferenceTexts[static_cast<std::size_t>(i)];
        }
        data_.HorizontalTubes = horizontal ? kTrue : kFalse;
        data_.Values[12] = 0.025f;
        data_.Values[13] = 2.5f;
        data_.Values[14] = 3.0f;
        data_.Values[15] = 120.0f;
        data_.AlphaTube = 1523.4f;
        data_.AlphaShell = 9876.54f;
        data_.OverallK = 873.21f;
        data_.SurfaceF = 12345.678f;
        data_.ReTube = 15234.5f;
    }

    void UseCooler() {
        WriteCoolerLabels(data_);
        for (int i = 0; i < kCoolerSourceCount; ++i) {
            data_.CoolerTexts[static_cast<std::size_t>(i)] =
                kCoolerReferenceTexts[static_cast<std::size_t>(i)];
        }
        data_.Values[13] = 0.025f;
        data_.Values[14] = 3.5f;
        data_.Values[15] = 0.95f;
        data_.Values[16] = 2.5f;
        data_.Values[17] = 0.0125f;
        data_.AlphaTube = 2417.06f;
        data_.AlphaShell = 3129.8f;
        data_.OverallK = 765.43f;
        data_.SurfaceF = 20.73f;
        data_.ReTube = 9876.5f;
        data_.ReShell = 123456.8f;
    }

    DesignData data_;
    RecordingPrinter printer_;
    FixedClock clock_;
};

TEST_F(ReportPagesTest, EvaporatorSourcePage) {
    UseEvaporator();
    PrintEvaporatorSourcePage(data_, printer_, clock_);
    const auto lines = printer_.Lines();
    ASSERT_EQ(lines.size(), 3u + 15u + 1u);
    EXPECT_EQ(printer_.FontName(), "Courier New Cyr");
    EXPECT_EQ(printer_.FontSize(), 9.0f);
    EXPECT_EQ(lines[0], kDateLine + B(16) + "Расчет испарителя");
    EXPECT_EQ(lines[1], kMargin + " Иванов Хт-101");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], kMargin + " ТЕПЛОПРОВОДНОСТЬ КОНДЕНСАТА, ВТ/(М*К)        " + B(19) + "0.683");
    // The value text is printed as stored, leading blank included.
    EXPECT_EQ(lines[3 + 5], kMargin + " ПЛОТНОСТЬ ЖИДКОСТИ, КГ/(М^3)                 " + B(19) + " 957");
    // The longest label (59 characters) still leaves its value at column 65.
    EXPECT_EQ(lines[3 + 9],
              kMargin + " ПЛОТНОСТЬ ПАРОВ ЖИДКОСТИ ПРИ ТЕМПЕРАТУРЕ КИПЕНИЯ, КГ/(М^3)" + B(6) + ".652");
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(CharLength(lines[static_cast<std::size_t>(3 + i)]),
                  12u + 65u + CharLength(data_.EvaporatorTexts[static_cast<std::size_t>(i)]))
            << "source line " << i;
    }
    EXPECT_EQ(lines[18], "");
}

// A printer that names its files by the job title keeps every report: the title names the
// apparatus, the student and the moment, and holds for the whole document.
TEST_F(ReportPagesTest, EveryReportCarriesAJobTitle) {
    UseEvaporator();
    data_.EvaporatorTexts[kTubeHeightSlot] = "4";
    PrintEvaporatorResult(data_, printer_, clock_);
    EXPECT_EQ(printer_.JobTitle(), "Расчет испарителя - Иванов Хт-101 - 2026-12-07 11:05:30");
    data_.ReportHeadPending = kTrue;
    clock_.Set({2026, 12, 7, 11, 6, 0});
    PrintEvaporatorResult(data_, printer_, clock_);
    printer_.EndDoc();

    UseCooler();
    data_.StudentName = " Петрова Хт-102";
    data_.ReportHeadPending = kTrue;
    PrintCoolerResult(data_, printer_, clock_);
    printer_.EndDoc();
    EXPECT_EQ(printer_.DocumentTitles(),
              (std::vector<std::string>{"Расчет испарителя - Иванов Хт-101 - 2026-12-07 11:05:30",
                                        "Расчет холодильника - Петрова Хт-102 - 2026-12-07 11:06:00"}));
    EXPECT_EQ(ReportJobTitle("            Расчет подогревателя или дефлегматора", "", clock_),
              "Расчет подогревателя или дефлегматора - 2026-12-07 11:06:00");
}

TEST_F(ReportPagesTest, EvaporatorTwoPressesGiveOneHeadAndTwoRows) {
    UseEvaporator();
    data_.EvaporatorTexts[kTubeHeightSlot] = "4";
    PrintEvaporatorResult(data_, printer_, clock_);
    EXPECT_EQ(data_.ReportHeadPending, kFalse);
    EXPECT_EQ(data_.TableHeadPending, kFalse);

    data_.EvaporatorTexts[kTubeHeightSlot] = "4.5";
    data_.AlphaTube = 9876.5f;
    PrintEvaporatorResult(data_, printer_, clock_);

    const auto lines = printer_.Lines();
    ASSERT_EQ(lines.size(), 19u + 5u + 2u);
    EXPECT_EQ(printer_.FontChanges(), 2);  // font set once, with the only page head
    EXPECT_EQ(lines[0].rfind(kDateLine, 0), 0u);
    EXPECT_EQ(lines[19], kMargin + std::string(66, '_'));
    EXPECT_EQ(lines[20], kMargin + "| ВЫСОТА | КОЭФФИЦИЕНТ | КОЭФФИЦИЕНТ | КОЭФФИЦИЕНТ | ПОВЕРХНОСТЬ |");
    EXPECT_EQ(lines[23], kMargin + "|________|_____________|_____________|_____________|_____________|");
    EXPECT_EQ(lines[24], kMargin + "|   4    |  10166.39   |   8403.51   |   1338.20   |  12345.68   |");
    EXPECT_EQ(lines[25], kMargin + "|  4.5   |   9876.50   |   8403.51   |   1338.20   |  12345.68   |");
    for (std::size_t i = 19; i < lines.size(); ++i) {
        EXPECT_EQ(CharLength(lines[i]), 12u + 66u) << "table line " << i;
    }
}

TEST_F(ReportPagesTest, EvaporatorAfterPropertyChangeStartsANewHead) {
    UseEvaporator();
    data_.EvaporatorTexts[kTubeHeightSlot] = "4";
    PrintEvaporatorResult(data_, printer_, clock_);
    data_.ReportHeadPending = kTrue;
    data_.TableHeadPending = kTrue;
    data_.EvaporatorTexts[5] = "960";
    PrintEvaporatorResult(data_, printer_, clock_);
    const auto lines = printer_.Lines();
    ASSERT_EQ(lines.size(), 2u * (19u + 5u + 1u));
    EXPECT_EQ(lines[25].rfind(kDateLine, 0), 0u);
    EXPECT_EQ(lines[25 + 3 + 5].substr(lines[25 + 3 + 5].size() - 3), "960");
}

TEST_F(ReportPagesTest, EvaporatorPendingTableHeadAloneAddsNoPageHead) {
    UseEvaporator();
    data_.ReportHeadPending = kFalse;
    data_.EvaporatorTexts[kTubeHeightSlot] = "10";
    PrintEvaporatorResult(data_, printer_, clock_);
    const auto lines = printer_.Lines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(printer_.FontChanges(), 0);
    EXPECT_EQ(lines[5].substr(0, 22), kMargin + "|   10   |");
}

TEST_F(ReportPagesTest, HeaterHorizontalBlock) {
    UseHeater(true);
    PrintHeaterResult(data_, printer_, clock_);
    EXPECT_EQ(data_.ReportHeadPending, kFalse);
    const auto lines = printer_.Lines();
    ASSERT_EQ(lines.size(), 3u + 11u + 1u + 3u + 5u + 3u);
    EXPECT_EQ(lines[0], kDateLine + B(12) + "Расчет подогревателя или дефлегматора");
    EXPECT_EQ(lines[3 + 5], kMargin + " ТЕПЛОПРОВОДНОСТЬ ЖИДКОСТИ В ТРУБАХ, ВТ/(М*К) " + B(19) + " 0.458");

    const std::size_t block = 15;
    EXPECT_EQ(
        lines[block],
        kMargin + " ТИП ТЕПЛООБМЕННИКА-ГОРИЗОНТАЛЬНЫЙ                   НАРУЖНЫЙ ДИАМЕТР ТРУБ " + " 0.025 М");
    EXPECT_EQ(CharLength(lines[block]), 12u + 75u + 6u + 2u);
    EXPECT_EQ(lines[block + 1], kMargin + " ЧИСЛО ХОДОВ ПО ТРУБНОМУ ПРОСТРАНСТВУ 2 ШТ." +
                                    "          ДЛИНА ТРУБ " + B(13) + "3.00 М");
    EXPECT_EQ(lines[block + 2], kMargin + " ОБЩЕЕ ЧИСЛО ТРУБ " + B(19) + "120 ШТ.");
    EXPECT_EQ(lines[block + 3], kMargin + " " + std::string(86, '_'));
    EXPECT_EQ(
        lines[block + 8],
        kMargin + " |    1523.40    |    9876.54    |      873.21      |    12345.68     |   15234.50    |");
    EXPECT_EQ(lines[block + 9], lines[block + 3]);
    EXPECT_EQ(lines[block + 10], "");
    for (std::size_t i = block + 3; i <= block + 9; ++i) {
        EXPECT_EQ(CharLength(lines[i]), 12u + 87u) << "table line " << i;
    }
}

TEST_F(ReportPagesTest, HeaterVerticalNamesTheHeight) {
    UseHeater(false);
    data_.ReportHeadPending = kFalse;
    data_.Values[13] = 3.5f;
    PrintHeaterResult(data_, printer_, clock_);
    const auto lines = printer_.Lines();
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(
        lines[0],
        kMargin + " ТИП ТЕПЛООБМЕННИКА-ВЕРТИКАЛЬНЫЙ                     НАРУЖНЫЙ ДИАМЕТР ТРУБ " + " 0.025 М");
    EXPECT_EQ(lines[1], kMargin + " ЧИСЛО ХОДОВ ПО ТРУБНОМУ ПРОСТРАНСТВУ 4 ШТ." + "          ВЫСОТА ТРУБ " +
                            B(12) + "3.00 М");
    // Length and height lines end at the same column.
    DesignData horizontal = data_;
    horizontal.HorizontalTubes = kTrue;
    RecordingPrinter other;
    PrintHeaterResult(horizontal, other, clock_);
    EXPECT_EQ(CharLength(other.Lines()[1]), CharLength(lines[1]));
    EXPECT_EQ(CharLength(other.Lines()[0]), CharLength(lines[0]));
}

TEST_F(ReportPagesTest, HeaterEveryPressPrintsAWholeBlock) {
    UseHeater(true);
    PrintHeaterResult(data_, printer_, clock_);
    PrintHeaterResult(data_, printer_, clock_);
    const auto lines = printer_.Lines();
    ASSERT_EQ(lines.size(), 15u + 2u * 11u);
    EXPECT_EQ(lines[26], lines[15]);
    EXPECT_EQ(printer_.FontChanges(), 2);
}

TEST_F(ReportPagesTest, CoolerBlock) {
    UseCooler();
    PrintCoolerResult(data_, printer_, clock_);
    EXPECT_EQ(data_.ReportHeadPending, kFalse);
    EXPECT_EQ(data_.TableHeadPending, kTrue);  // only the evaporator has a pending table head
    const auto lines = printer_.Lines();
    ASSERT_EQ(lines.size(), 3u + 13u + 1u + 3u + 5u + 3u);
    EXPECT_EQ(lines[0], kDateLine + B(20) + "Расчет холодильника");
    // The 67-character label still fits the 70 columns of the cooler page.
    EXPECT_EQ(lines[3 + 6],
              kMargin + " ТЕПЛОПРОВОДНОСТЬ ТЕПЛОНОСИТЕЛЯ В МЕЖТРУБНОМ ПРОСТРАНСТВЕ, Вт/(M*К)" + B(3) + ".68");
    EXPECT_EQ(lines[3 + 12], kMargin + " ТЕПЛОВАЯ НАГРУЗКА, ВТ  " + B(46) + "402980");

    const std::size_t block = 17;
    EXPECT_EQ(lines[block], kMargin + " НАРУЖНЫЙ ДИАМЕТР ТРУБ " + " " + " 0.025 М" + B(9) +
                                "  ЧИСЛО ХОДОВ ПО ТРУБНОМУ ПРОСТРАНСТВУ  4 ШТ.");
    EXPECT_EQ(lines[block + 1], kMargin +
                                    " КОЭФФИЦИЕНТ, УЧИТЫВАЮЩИЙ СНИЖЕН. СРЕДНЕЙ ДВИЖУЩЕЙ СИЛЫ ПРИ СМЕШ. ТОКЕ" +
                                    "  0.950 Безразм.");
    EXPECT_EQ(lines[block + 2], kMargin + " ЧИСЛО ТРУБ 2 ШТ." + B(6) +
                                    " ПЛОЩАДЬ НАИБОЛЕЕ УЗК.СЕЧЕНИЯ ПОТОКА В МТР.ПР-ВЕ  0.01250 М^2");
    EXPECT_EQ(lines[block + 3], kMargin + " " + std::string(83, '_'));
    EXPECT_EQ(
        lines[block + 8],
        kMargin + " |   2417.06   |   3129.80   |   765.43    |    20.73    |  9876.50   | 123456.80  |");
    EXPECT_EQ(lines[block + 9], lines[block + 3]);
    EXPECT_EQ(lines[block + 10], "");
    for (std::size_t i = block + 3; i <= block + 9; ++i) {
        EXPECT_EQ(CharLength(lines[i]), 12u + 84u) << "table line " << i;
    }
}

TEST_F(ReportPagesTest, CoolerSecondPressHasNoPageHead) {
    UseCooler();
    PrintCoolerResult(data_, printer_, clock_);
    const std::size_t first = printer_.Lines().size();
    PrintCoolerResult(data_, printer_, clock_);
    const auto lines = printer_.Lines();
    ASSERT_EQ(lines.size(), first + 11u);
    EXPECT_EQ(lines[first], lines[17]);
}

}  // namespace
}  // namespace heatx
