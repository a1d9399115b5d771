// heatx-calc run as a process: exit statuses, result lines, report lines and messages.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "calc_process.h"
#include "design_data/design_data.h"

namespace {

using heatx::kCoolerLabelTexts;
using heatx::kEvaporatorLabelTexts;
using heatx::kHeaterLabelTexts;

using Outcome = heatx::testing::CalcRun;

Outcome Calc(const std::vector<std::string>& args) {
    return heatx::testing::RunCalc(args);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> Evaporator(const std::string& height) {
    return {"evaporator", "0.683", "908",  "2095000", "0.000177", "0.686",   " 957",    "4190", ".00024",
            "0.0583",     ".652",  "0.65", "2253900", "55.6",     "0.00048", "1005000", height};
}

std::vector<std::string> Heater(const std::string& orientation, const std::string& tubes) {
    return {"heater", orientation, "0.683", "908",   "2095000", "0.000177", "0.173", " 0.458", "0.000534",
            "3730",   "0.000479",  "106",   "0.973", "0.025",   "1",        "3",     tubes};
}

std::vector<std::string> Cooler(const std::string& passes) {
    return {"cooler", ".662", "986",     ".00054", "4190",  "0.00048", " 1.24", ".68", ".00085", "4190",
            "4.36",   "25.4", "0.00042", "402980", "0.025", passes,    "1",     "100", "0.02"};
}

TEST(Calculator, EvaporatorResultsRoundTripInSinglePrecision) {
    const Outcome run = Calc(Evaporator("4"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "AlphaTube 10166.3936\nAlphaShell 5681.11035\nOverallK 1325.05676\nSurfaceF 13.6413326\n");
    EXPECT_EQ(Calc(Evaporator("4,0")).out, run.out);
    EXPECT_EQ(Calc(Evaporator("4 м")).out, run.out);
}

TEST(Calculator, HeaterAndCoolerAddTheirReynoldsNumbers) {
    const Outcome heater = Calc(Heater("--horizontal", "13"));
    ASSERT_EQ(heater.status, 0) << heater.err;
    const auto lines = Lines(heater.out);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[1], "AlphaShell 9816.17871");
    EXPECT_EQ(lines[4].rfind("ReTube 8498.0", 0), 0u);

    const Outcome cooler = Calc(Cooler("1"));
    ASSERT_EQ(cooler.status, 0) << cooler.err;
    const auto c = Lines(cooler.out);
    ASSERT_EQ(c.size(), 6u);
    EXPECT_EQ(c[3], "SurfaceF 54.7886467");
    EXPECT_EQ(c[5].rfind("ReShell ", 0), 0u);
}

TEST(Calculator, OptionsMayStandAnywhereAndValuesMayBeginWithAMinus) {
    auto args = Heater("--vertical", "13");
    args.erase(args.begin() + 1);
    args.push_back("--vertical");
    EXPECT_EQ(Calc(args).status, 0);
    // A value text "-1" is a value, read as -1, and out of range.
    auto negative = Evaporator("4");
    negative[1] = "-1";
    const Outcome run = Calc(negative);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("ТЕПЛОПРОВОДНОСТЬ КОНДЕНСАТА, ВТ/(М*К)"), std::string::npos);
    EXPECT_NE(run.err.find("\"-1\""), std::string::npos);
    // An empty value text reads as 0.
    auto empty = Evaporator("4");
    empty[13] = "";
    EXPECT_EQ(Calc(empty).status, 2);
}

TEST(Calculator, RangeFailuresNameTheParameter) {
    auto args = Evaporator("10.01");
    Outcome run = Calc(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("15"), std::string::npos);
    EXPECT_NE(run.err.find("ВЫСОТА ТРУБ, М"), std::string::npos);
    EXPECT_TRUE(run.out.empty());

    EXPECT_EQ(Calc(Evaporator("1")).status, 0);
    EXPECT_EQ(Calc(Evaporator("10")).status, 0);

    auto heater = Heater("--vertical", "9.9");
    EXPECT_EQ(Calc(heater).status, 0);
    heater.back() = "5000.1";
    run = Calc(heater);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("ОБЩЕЕ ЧИСЛО ТРУБ, ШТ."), std::string::npos);

    auto cooler = Cooler("2");
    cooler[14] = "0.019";  // the cooler's diameter bound is held in double precision
    run = Calc(cooler);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("13"), std::string::npos);
    cooler[14] = "0.02";
    EXPECT_EQ(Calc(cooler).status, 0);

    auto source = Cooler("2");
    source[6] = "0";  // tube-side mass flow rate, strict
    run = Calc(source);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("МАССОВЫЙ РАСХОД ТЕПЛОНОСИТЕЛЯ В ТРУБАХ, КГ/С"), std::string::npos);
}

TEST(Calculator, HugeNumbersFailTheirRange) {
    auto args = Evaporator("4");
    args[15] = "1e39";
    EXPECT_EQ(Calc(args).status, 2);
    args[15] = "1e999";
    EXPECT_EQ(Calc(args).status, 2);
}

TEST(Calculator, MethodFailuresGiveTheProgramsMessages) {
    auto args = Evaporator("4");
    args[13] = "0.01";  // temperature difference too small: the root search leaves its bracket
    Outcome run = Calc(args);
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.err, "Ошибка в исходной информации(см.массив физсвойств.)\n");
    EXPECT_TRUE(run.out.empty());

    auto heater = Heater("--vertical", "100");
    heater[14] = "2";
    run = Calc(heater);
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.err, "ЧИСЛО RE В ТРУБАХ  2209.49 < 2300 !\n");
}

TEST(Calculator, WrongUsage) {
    EXPECT_EQ(Calc({}).status, 64);
    EXPECT_EQ(Calc({"boiler"}).status, 64);
    auto shortArgs = Evaporator("4");
    shortArgs.pop_back();
    EXPECT_EQ(Calc(shortArgs).status, 64);
    auto longArgs = Evaporator("4");
    longArgs.push_back("5");
    EXPECT_EQ(Calc(longArgs).status, 64);
    auto noOrientation = Heater("--vertical", "13");
    noOrientation.erase(noOrientation.begin() + 1);
    EXPECT_EQ(Calc(noOrientation).status, 64);
    auto both = Heater("--vertical", "13");
    both.push_back("--horizontal");
    EXPECT_EQ(Calc(both).status, 64);
    auto orientationForEvaporator = Evaporator("4");
    orientationForEvaporator.push_back("--vertical");  // no option of the evaporator: one value too many
    EXPECT_EQ(Calc(orientationForEvaporator).status, 64);
    auto student = Evaporator("4");
    student.push_back("--student");
    const Outcome run = Calc(student);
    EXPECT_EQ(run.status, 64);
    EXPECT_FALSE(run.err.empty());
}

TEST(Calculator, HelpExplainsTheUsage) {
    const Outcome run = Calc({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("heatx-calc evaporator"), std::string::npos);
    EXPECT_NE(run.out.find("--report"), std::string::npos);
    EXPECT_NE(run.out.find("64"), std::string::npos);
}

TEST(Calculator, EvaporatorReportIsOnePressAndTheSignatureRule) {
    auto args = Evaporator("4,5");
    args.insert(args.begin() + 1, {"--report", "--student", "иванов гр. х-1"});
    const Outcome run = Calc(args);
    ASSERT_EQ(run.status, 0) << run.err;
    const auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 3u + 15u + 1u + 5u + 1u + 4u);
    EXPECT_NE(lines[0].find("г.        "), std::string::npos);
    EXPECT_NE(lines[0].find("                Расчет испарителя"), std::string::npos);
    EXPECT_EQ(lines[1], "             Иванов Гр. Х-1");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[8], "             ПЛОТНОСТЬ ЖИДКОСТИ, КГ/(М^3)                                     957");
    EXPECT_EQ(lines[18], "");
    EXPECT_EQ(lines[24], "            |  4.5   |  10109.65   |   5479.40   |   1312.75   |    13.77    |");
    EXPECT_EQ(lines[25], "            " + std::string(66, '_'));
    EXPECT_EQ(lines[26], "");
    EXPECT_EQ(lines[28], "");
}

TEST(Calculator, HeaterAndCoolerReportsEndWithTheirBlock) {
    auto args = Heater("--vertical", "13");
    args.push_back("--report");
    Outcome run = Calc(args);
    ASSERT_EQ(run.status, 0) << run.err;
    auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 3u + 11u + 1u + 3u + 5u + 1u + 1u + 1u);
    EXPECT_EQ(lines[1], std::string(13, ' '));  // no name given: as a cancelled name box
    EXPECT_EQ(lines[15].rfind("             ТИП ТЕПЛООБМЕННИКА-ВЕРТИКАЛЬНЫЙ", 0), 0u);
    EXPECT_NE(lines[16].find("          ВЫСОТА ТРУБ "), std::string::npos);
    EXPECT_EQ(lines[23],
              "             |    1128.83    |    5320.16    |      643.98      |      5.31       |    "
              "8498.05    |");
    EXPECT_EQ(lines[25], "");

    run = Calc([] {
        auto a = Cooler("1");
        a.push_back("--report");
        return a;
    }());
    ASSERT_EQ(run.status, 0) << run.err;
    lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 3u + 13u + 1u + 3u + 5u + 1u + 1u + 1u);
    EXPECT_EQ(
        lines[25],
        "             |   385.41    |   2279.56   |   289.57    |    54.79    |  1392.26   |  6411.77   |");
}

TEST(Calculator, TinyTemperatureDifferenceIsNoResultInEveryKind) {
    auto evaporator = Evaporator("4");
    evaporator[13] = "1e-38";
    Outcome run = Calc(evaporator);
    EXPECT_EQ(run.status, 3);
    EXPECT_TRUE(run.out.empty());

    for (const std::string orientation : {"--vertical", "--horizontal"}) {
        auto heater = Heater(orientation, "13");
        heater[11] = "1e-38";
        heater.push_back("--report");
        run = Calc(heater);
        EXPECT_EQ(run.status, 3);
        EXPECT_EQ(run.err, "Исходные данные не дают конечного результата расчёта.\n");
        EXPECT_TRUE(run.out.empty());
    }
    auto cooler = Cooler("2");
    cooler[11] = "1e-38";
    run = Calc(cooler);
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.err, "Исходные данные не дают конечного результата расчёта.\n");
    EXPECT_EQ(run.out.find("inf"), std::string::npos);
}

TEST(Calculator, KindHelpListsEveryValueWithItsLabelUnitAndRange) {
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string_view> labels;
    };
    std::vector<std::string_view> evaporator(kEvaporatorLabelTexts.begin(), kEvaporatorLabelTexts.end());
    evaporator.push_back(kHeaterLabelTexts[16]);
    std::vector<std::string_view> heater(kHeaterLabelTexts.begin(), kHeaterLabelTexts.begin() + 11);
    heater.insert(heater.end(), kHeaterLabelTexts.begin() + 12, kHeaterLabelTexts.begin() + 16);
    std::vector<std::string_view> cooler(kCoolerLabelTexts.begin(), kCoolerLabelTexts.end());
    for (const Case& c : {Case{{"evaporator", "--help"}, evaporator}, Case{{"heater", "--help"}, heater},
                          Case{{"cooler", "-h"}, cooler}}) {
        const Outcome run = Calc(c.args);
        ASSERT_EQ(run.status, 0) << run.err;
        const auto lines = Lines(run.out);
        ASSERT_EQ(lines.size(), 3 + c.labels.size()) << run.out;
        for (std::size_t i = 0; i < c.labels.size(); ++i) {
            std::string label(c.labels[i]);
            label.erase(0, label.find_first_not_of(' '));
            label.erase(label.find_last_not_of(' ') + 1);
            const std::string& line = lines[3 + i];
            EXPECT_EQ(line.rfind("  T" + std::to_string(i) + " ", 0), 0u) << line;
            EXPECT_NE(line.find(label), std::string::npos) << line;
            EXPECT_TRUE(line.find("включительно") != std::string::npos ||
                        line.find("больше 0") != std::string::npos)
                << line;
        }
    }
    // The strict and inclusive ends as the validation has them, and the height of vertical tubes.
    const std::string evaporatorHelp = Calc({"evaporator", "--help"}).out;
    EXPECT_NE(evaporatorHelp.find("°C         больше 0 и не больше 100"), std::string::npos);
    EXPECT_NE(evaporatorHelp.find("м          от 1 до 10 включительно"), std::string::npos);
    EXPECT_NE(Calc({"heater", "--vertical", "--help"}).out.find("T13  ВЫСОТА ТРУБ, М"), std::string::npos);
    EXPECT_NE(Calc({"heater", "--help"}).out.find("ДЛИНА ТРУБ, М (при --vertical: ВЫСОТА ТРУБ, М)"),
              std::string::npos);
}

TEST(Calculator, HelpNamesTheSubcommands) {
    const std::string help = Calc({"--help"}).out;
    for (const char* word :
         {"batch", "template", "ВИД --help", "--protocol", "--version", "65", "66", "74"}) {
        EXPECT_NE(help.find(word), std::string::npos) << word;
    }
}

TEST(Calculator, ErrorsNameThePositionAndTheLabel) {
    auto heater = Heater("--vertical", "5000.1");
    const Outcome run = Calc(heater);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("параметр T14 «ОБЩЕЕ ЧИСЛО ТРУБ, ШТ.»"), std::string::npos) << run.err;
    auto height = Heater("--vertical", "13");
    height[15] = "11";
    EXPECT_NE(Calc(height).err.find("параметр T13 «ВЫСОТА ТРУБ, М»"), std::string::npos);
}

TEST(Calculator, AnOutputThatCannotBeWrittenIsExitStatus74) {
    using heatx::testing::CalcOptions;
    using heatx::testing::RunCalc;
    CalcOptions full;
    full.stdoutPath = "/dev/full";
    CalcOptions closed;
    closed.closeStdout = true;
    for (const CalcOptions& options : {full, closed}) {
        for (const std::vector<std::string>& args :
             {Evaporator("4"), std::vector<std::string>{"--help"},
              std::vector<std::string>{"template", "cooler"}, std::vector<std::string>{"cooler", "--help"}}) {
            const auto run = RunCalc(args, options);
            EXPECT_EQ(run.status, 74) << args[0];
            EXPECT_NE(run.err.find("не удалось записать"), std::string::npos) << run.err;
        }
    }
    // A failure that comes first keeps its own status.
    auto range = Evaporator("11");
    EXPECT_EQ(RunCalc(range, full).status, 2);
}

}  // namespace
