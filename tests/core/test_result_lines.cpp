// The results texts of the three results screens: headings, column layout of the results lines and
// the Reynolds-number captions.
#include <gtest/gtest.h>

#include <string>

#include "design_data/design_data.h"
#include "reports/result_lines.h"
#include "reports/text.h"

namespace heatx {
namespace {

std::string B(int count) {
    return std::string(static_cast<std::size_t>(count), ' ');
}

DesignData EvaporatorResults() {
    DesignData data;
    data.AlphaTube = 10166.39f;
    data.AlphaShell = 8403.51f;
    data.OverallK = 1338.2f;
    data.SurfaceF = 13.51f;
    return data;
}

TEST(EvaporatorResultsTest, HeadingHasFiveLinesEachClosedByACarriageReturn) {
    const std::string heading = EvaporatorResultsHeading();
    EXPECT_EQ(heading,
              "                РЕЗУЛЬТАТЫ УТОЧНЁННОГО РАСЧЁТА\r"
              "\r"
              "КОЭФФИЦИЕНТ        КОЭФФИЦИЕНТ       КОЭФФИЦИЕНТ     ПОВЕРХНОСТЬ\r"
              "ТЕПЛООТДАЧИ        ТЕПЛООТДАЧИ      ТЕПЛОПЕРЕДАЧИ    ТЕПЛООБМЕНА\r"
              "В ТР. ПР-ВЕ        В МТР.ПР-ВЕ                           М^2\r");
    // The heater and cooler screens show the same five lines without the closing carriage return.
    EXPECT_EQ(ResultsTableHead() + "\r", heading);
}

TEST(EvaporatorResultsTest, FirstRunColumns) {
    const DesignData data = EvaporatorResults();
    const std::string expected = B(2) + "10166.39" + B(8)   // field 10, column 18
                                 + B(4) + "8403.51" + B(8)  // field 11, column 19
                                 + B(2) + "1338.20" + B(8)  // field 9, column 17
                                 + B(2) + "13.51" + B(10);  // field 7, column 17
    EXPECT_EQ(EvaporatorResultsLine(data), expected);
    EXPECT_EQ(CharLength(expected), 18u + 19u + 17u + 17u);
}

TEST(EvaporatorResultsTest, ColumnsAfterAHeightChangeStartFurtherRight) {
    const DesignData data = EvaporatorResults();
    const std::string expected = B(2) + "10166.39" + B(10)  // field 10, column 20
                                 + B(2) + "8403.51" + B(9)  // field 9, column 18
                                 + B(2) + "1338.20" + B(8)  // field 9, column 17
                                 + B(2) + "13.51" + B(10);  // field 7, column 17
    EXPECT_EQ(EvaporatorResultsLineAfterHeightChange(data), expected);

    const std::string first = EvaporatorResultsLine(data);
    const std::string later = EvaporatorResultsLineAfterHeightChange(data);
    // The shell-side number keeps its place (wider column, narrower field); the last two move right.
    EXPECT_EQ(later.find("8403.51"), first.find("8403.51"));
    EXPECT_EQ(later.find("1338.20"), first.find("1338.20") + 1);
    EXPECT_EQ(later.find("13.51"), first.find("13.51") + 1);
}

TEST(EvaporatorResultsTest, NumberWiderThanItsFieldShiftsOnlyItsColumnPadding) {
    DesignData data = EvaporatorResults();
    data.SurfaceF = 12345.678f;  // 8 characters in a field of 7: not cut
    const std::string line = EvaporatorResultsLine(data);
    EXPECT_EQ(line.substr(54), "12345.68" + B(9));
}

TEST(EvaporatorResultsTest, CaptionIsHeadingThenTheLineOfTheRun) {
    const DesignData data = EvaporatorResults();
    EXPECT_EQ(EvaporatorResultsCaption(data, false),
              EvaporatorResultsHeading() + EvaporatorResultsLine(data));
    EXPECT_EQ(EvaporatorResultsCaption(data, true),
              EvaporatorResultsHeading() + EvaporatorResultsLineAfterHeightChange(data));
    const std::string caption = EvaporatorResultsCaption(data, true);
    EXPECT_EQ(caption.back(), ' ');  // no carriage return after the results line
}

TEST(EvaporatorResultsTest, TubeHeightCaptionShowsTheTextAsEntered) {
    EXPECT_EQ(TubeHeightCaption("4.5"), "  ВЫСОТА ТРУБ 4.5 М");
    EXPECT_EQ(TubeHeightCaption(" 4"), "  ВЫСОТА ТРУБ  4 М");
}

TEST(HeaterResultsTest, ResultsLineColumns) {
    DesignData data;
    data.AlphaTube = 1523.4f;
    data.AlphaShell = 9876.54f;
    data.OverallK = 873.21f;
    data.SurfaceF = 28.7f;
    EXPECT_EQ(HeaterResultsLine(data), B(2) + "1523.40" + B(11)       // column 20
                                           + B(2) + "9876.54" + B(8)  // column 17
                                           + B(3) + "873.21" + B(6)   // column 15
                                           + B(4) + "28.70" + B(6));  // column 15
}

TEST(HeaterResultsTest, ReynoldsTexts) {
    DesignData data;
    data.ReTube = 1850.25f;
    EXPECT_EQ(HeaterLaminarLine(data), "ЧИСЛО RE В ТРУБАХ  1850.25 < 2300 !");
    data.ReTube = 15234.5f;
    EXPECT_EQ(HeaterReynoldsCaption(data), "ЧИСЛО RE В ТР.\r   15234.50");
}

TEST(CoolerResultsTest, ResultsLineColumns) {
    DesignData data;
    data.AlphaTube = 2417.06f;
    data.AlphaShell = 3129.8f;
    data.OverallK = 765.43f;
    data.SurfaceF = 20.73f;
    EXPECT_EQ(CoolerResultsLine(data), B(2) + "2417.06" + B(11)       // column 20
                                           + B(2) + "3129.80" + B(7)  // column 16
                                           + B(3) + "765.43" + B(7)   // column 16
                                           + B(4) + "20.73" + B(6));  // column 15
}

TEST(CoolerResultsTest, ReynoldsLineHasOneDecimal) {
    DesignData data;
    data.ReTube = 9876.5f;
    data.ReShell = 123456.8f;
    EXPECT_EQ(CoolerReynoldsLine(data), B(3) + "9876.5" + B(11)           // field 9, column 20
                                            + B(4) + "123456.8" + B(8));  // field 12, column 20
}

}  // namespace
}  // namespace heatx
