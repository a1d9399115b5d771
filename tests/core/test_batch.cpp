// heatx-calc batch and template as processes, on small tables made in the test: the output rows equal
// what single calls give, whatever the delimiter, quoting, decimal separator, encoding and line ends.
#include <gtest/gtest.h>
#include <zip.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "calc_process.h"
#include "design_data/design_data.h"
#include "workbook.h"

namespace heatx::testing {
namespace {

std::vector<std::string> Split(const std::string& text, char delimiter) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(text);
    while (std::getline(in, field, delimiter)) {
        fields.push_back(field);
    }
    if (!text.empty() && text.back() == delimiter) {
        fields.emplace_back();
    }
    return fields;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

// The reference values of a kind as positional texts (trimmed of the demonstration blanks).
std::vector<std::string> Reference(const std::string& kind) {
    std::vector<std::string> v;
    const auto add = [&](auto begin, auto end) {
        for (auto i = begin; i != end; ++i) {
            std::string t(*i);
            t.erase(0, t.find_first_not_of(' '));
            v.push_back(t);
        }
    };
    if (kind == "evaporator") {
        add(kEvaporatorReferenceTexts.begin(), kEvaporatorReferenceTexts.end());
        v.emplace_back(kEvaporatorReferenceHeight);
    } else if (kind == "cooler") {
        add(kCoolerReferenceTexts.begin(), kCoolerReferenceTexts.end());
        add(kCoolerReferenceConstruction.begin(), kCoolerReferenceConstruction.end());
    } else {
        add(kHeaterReferenceTexts.begin(), kHeaterReferenceTexts.end());
        add(kHeaterReferenceConstruction.begin(), kHeaterReferenceConstruction.end());
    }
    return v;
}

// The values of a single call, "NAME VALUE" lines, in their order.
std::vector<std::string> SingleCall(const std::string& kind, const std::vector<std::string>& values) {
    std::vector<std::string> args;
    if (kind.rfind("heater", 0) == 0) {
        args = {"heater", kind == "heater-horizontal" ? "--horizontal" : "--vertical"};
    } else {
        args = {kind};
    }
    args.insert(args.end(), values.begin(), values.end());
    const CalcRun run = RunCalc(args);
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<std::string> result;
    for (const std::string& line : Lines(run.out)) {
        result.push_back(line.substr(line.find(' ') + 1));
    }
    return result;
}

std::string Row(const std::string& name, const std::string& kind, std::vector<std::string> values,
                char delimiter, bool decimalComma = false) {
    std::string row = name + delimiter + kind;
    for (std::string& v : values) {
        if (decimalComma) {
            for (char& c : v) {
                c = c == '.' ? ',' : c;
            }
        }
        row += delimiter + v;
    }
    return row;
}

const std::vector<std::string> kKinds = {"evaporator", "heater-horizontal", "heater-vertical", "cooler"};

// Checks one output row against the single call of the same variant (exact digits).
void ExpectSameAsSingleCall(const std::string& row, char delimiter, const std::string& kind,
                            bool decimalComma) {
    std::vector<std::string> fields = Split(row, delimiter);
    ASSERT_EQ(fields.size(), 9u) << row;
    EXPECT_EQ(fields[2], "ok") << row;
    const std::vector<std::string> single = SingleCall(kind, Reference(kind));
    for (std::size_t i = 0; i < 6; ++i) {
        std::string expected = i < single.size() ? single[i] : std::string();
        if (decimalComma) {
            for (char& c : expected) {
                c = c == '.' ? ',' : c;
            }
        }
        EXPECT_EQ(fields[3 + i], expected) << kind << " column " << i;
    }
}

TEST(Batch, EachDelimiterGivesTheResultsOfSingleCalls) {
    for (char delimiter : {';', ',', '\t'}) {
        const bool comma = delimiter == ';';  // a decimal comma in a ";" table
        std::string table = std::string("name") + delimiter + "kind" + delimiter + "T0\n";
        for (const std::string& kind : kKinds) {
            table += Row("v-" + kind, kind, Reference(kind), delimiter, comma) + "\n";
        }
        const CalcRun run = RunCalc({"batch", "--plain", "--exact", "-"}, In(table));
        ASSERT_EQ(run.status, 0) << run.err;
        const std::vector<std::string> lines = Lines(run.out);
        ASSERT_EQ(lines.size(), 5u) << run.out;
        EXPECT_EQ(Split(lines[0], delimiter)[3], "AlphaTube");
        for (std::size_t i = 0; i < kKinds.size(); ++i) {
            EXPECT_EQ(Split(lines[i + 1], delimiter)[0], "v-" + kKinds[i]);
            ExpectSameAsSingleCall(lines[i + 1], delimiter, kKinds[i], comma);
        }
        EXPECT_TRUE(run.err.empty()) << run.err;
    }
}

TEST(Batch, ResultsAsTheScreensShowThem) {
    std::string table = "name;kind\n" + Row("a", "cooler", Reference("cooler"), ';', true) + "\n" +
                        Row("b", "evaporator", Reference("evaporator"), ';', true) + "\n";
    const CalcRun run = RunCalc({"batch", "--plain", "-"}, In(table));
    ASSERT_EQ(run.status, 0) << run.err;
    const auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "a;cooler;ok;538,91;2279,56;368,42;43,06;2784,5;6411,8");
    EXPECT_EQ(lines[2], "b;evaporator;ok;10166,39;5681,11;1325,06;13,64;;");
}

// A "," table whose numbers carry the decimal comma (quoted) gets its results with the decimal comma:
// the output's separator follows the input's numbers, not its delimiter.
TEST(Batch, QuotedFieldsBomAndCrlf) {
    std::vector<std::string> values = Reference("evaporator");
    values[0] = "\"0,683\"";  // a quoted decimal comma in a "," table
    std::string table = "\xEF\xBB\xBF\"name\",kind,\"T0, a heading with the delimiter\"\r\n";
    table += Row("\"Иванов, \"\"А\"\"\"", "evaporator", values, ',') + "\r\n";
    table += Row("\"two\r\nlines\"", "ИСПАРИТЕЛЬ", Reference("evaporator"), ',') + "\r\n";
    const CalcRun run = RunCalc({"batch", "--plain", "--exact", "-"}, In(table));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("\xEF\xBB\xBFname,kind,status", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("\r\n\"Иванов, \"\"А\"\"\",evaporator,ok,\"10166,3936\","), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\r\n\"two\r\nlines\",ИСПАРИТЕЛЬ,ok,\"10166,3936\","), std::string::npos)
        << run.out;
}

TEST(Batch, Windows1251AndRussianKindNames) {
    // "Иванов;ХОЛОДИЛЬНИК" and "Петров;подогреватель вертикальный" in Windows-1251.
    const std::string ivanov = "\xC8\xE2\xE0\xED\xEE\xE2";
    const std::string cooler = "\xD5\xCE\xCB\xCE\xC4\xC8\xCB\xDC\xCD\xC8\xCA";
    const std::string heater =
        "\xEF\xEE\xE4\xEE\xE3\xF0\xE5\xE2\xE0\xF2\xE5\xEB\xFC "
        "\xE2\xE5\xF0\xF2\xE8\xEA\xE0\xEB\xFC\xED\xFB\xE9";
    std::string table = "\xC8\xEC\xFF;\xC2\xE8\xE4\r\n";  // "Имя;Вид"
    table += Row(ivanov, cooler, Reference("cooler"), ';', true) + "\r\n";
    table += Row("P", heater, Reference("heater-vertical"), ';', true) + "\r\n";
    const CalcRun run = RunCalc({"batch", "--plain", "-"}, In(table));
    ASSERT_EQ(run.status, 0) << run.err;
    const auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 3u);
    // Written back in the table's own encoding.
    EXPECT_EQ(lines[1], ivanov + ";" + cooler + ";ok;538,91;2279,56;368,42;43,06;2784,5;6411,8");
    EXPECT_EQ(Split(lines[2], ';')[2], "ok");
    EXPECT_EQ(Split(lines[2], ';')[4], "5320,16");
}

TEST(Batch, MalformedRowsAreNamedAndTheOthersStillComputed) {
    const std::string good = Row("good", "cooler", Reference("cooler"), ';');
    std::vector<std::string> longer = Reference("evaporator");
    longer.push_back("5");
    std::vector<std::string> shorter = Reference("heater-vertical");
    shorter.pop_back();
    std::vector<std::string> padded = Reference("heater-horizontal");
    padded.insert(padded.end(), {"", " ", ""});  // a spreadsheet's empty cells after a shorter row
    std::string table = "name;kind;T0\n";
    table += good + "\n";                                               // line 2
    table += Row("boiler", "boiler", Reference("cooler"), ';') + "\n";  // line 3
    table += Row("long", "evaporator", longer, ';') + "\n";             // line 4
    table += Row("short", "heater-vertical", shorter, ';') + "\n";      // line 5
    table += ";;;;\n";                                                  // line 6: an empty row, skipped
    table += "bad;cooler;1\n";                                          // line 7
    table += Row("padded", "heater-horizontal", padded, ';') + "\n";    // line 8
    table += good + "\n";                                               // line 9
    const CalcRun run = RunCalc({"batch", "--plain", "-"}, In("\xEF\xBB\xBF" + table));
    EXPECT_EQ(run.status, 65);
    const auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 8u) << run.out;
    EXPECT_EQ(Split(lines[1], ';')[2], "ok");
    EXPECT_EQ(lines[2], "boiler;boiler;error;;;;;;");
    EXPECT_EQ(lines[3], "long;evaporator;error;;;;;;");
    EXPECT_EQ(lines[4], "short;heater-vertical;error;;;;;;");
    EXPECT_EQ(lines[5], "bad;cooler;error;;;;;;");
    EXPECT_EQ(Split(lines[6], ';')[2], "ok");
    EXPECT_EQ(lines[7], lines[1]);
    const auto messages = Lines(run.err);
    ASSERT_EQ(messages.size(), 4u) << run.err;
    EXPECT_NE(messages[0].find("строка 3: неизвестный вид аппарата \"boiler\""), std::string::npos);
    EXPECT_NE(messages[1].find("строка 4: нужно значений для evaporator: 16, дано: 17"), std::string::npos);
    EXPECT_NE(messages[2].find("строка 5: нужно значений для heater-vertical: 15, дано: 14"),
              std::string::npos);
    EXPECT_NE(messages[3].find("строка 7: нужно значений для cooler: 18, дано: 1"), std::string::npos);
}

TEST(Batch, RangeAndMethodStatusesCarryTheProgramsTexts) {
    std::vector<std::string> range = Reference("cooler");
    range[13] = "0.018";  // diameter below its bound
    std::vector<std::string> laminar = Reference("heater-vertical");
    laminar[12] = "2";
    laminar[14] = "100";
    std::string table = "name;kind\n" + Row("r", "cooler", range, ';') + "\n" +
                        Row("l", "heater-vertical", laminar, ';') + "\n";
    for (const std::string& kind : kKinds) {
        std::vector<std::string> tiny = Reference(kind);
        tiny[kind == "evaporator" ? 12 : kind == "cooler" ? 10 : 9] = "1e-38";
        table += Row("tiny", kind, tiny, ';') + "\n";
    }
    const CalcRun run = RunCalc({"batch", "--plain", "-"}, In(table));
    EXPECT_EQ(run.status, 0) << run.err;
    const auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(
        Split(lines[1], ';')[2],
        "\"вне диапазона: параметр T13 «НАРУЖНЫЙ ДИАМЕТР ТРУБ, М», введено \"\"0.018\"\", допустимо от 0.019 "
        "до 0.06 включительно\"")
        << lines[1];
    EXPECT_EQ(lines[2], "l;heater-vertical;нет результата: ЧИСЛО RE В ТРУБАХ  2209.49 < 2300 !;;;;;;");
    EXPECT_EQ(lines[3],
              "tiny;evaporator;нет результата: Ошибка в исходной информации(см.массив физсвойств.);;;;;;");
    for (std::size_t i = 4; i < 7; ++i) {
        EXPECT_EQ(Split(lines[i], ';')[2],
                  "нет результата: Исходные данные не дают конечного результата расчёта.");
    }
    EXPECT_EQ(run.out.find("inf"), std::string::npos);
}

TEST(Batch, ReportsAndProtocolsGoToFilesWithSafeUniqueNames) {
    TempFolder folder;
    std::string table = "name;kind\n";
    table += Row("иванов гр. 1", "evaporator", Reference("evaporator"), ';') + "\n";
    table += Row("a/b", "cooler", Reference("cooler"), ';') + "\n";
    table += Row("a/b", "heater-horizontal", Reference("heater-horizontal"), ';') + "\n";
    table += Row("..", "cooler", Reference("cooler"), ';') + "\n";
    const CalcRun run = RunCalc(
        {"batch", "--reports", folder / "reports", "--protocol", folder / "protocols", "-"}, In(table));
    ASSERT_EQ(run.status, 0) << run.err;
    namespace fs = std::filesystem;
    for (const std::string name : {"иванов гр. 1", "a_b", "a_b-2", "вариант-строка-5"}) {
        EXPECT_TRUE(fs::exists(folder / ("reports/" + name + ".txt"))) << name;
        EXPECT_TRUE(fs::exists(folder / ("protocols/" + name + "-protocol.txt"))) << name;
    }
    // The report is that of a single call with the variant's name as the student (the date line aside).
    std::vector<std::string> args = {"evaporator", "--report", "--student", "иванов гр. 1"};
    for (const std::string& v : Reference("evaporator")) {
        args.push_back(v);
    }
    const auto single = Lines(RunCalc(args).out);
    const auto written = Lines(ReadWholeFile(folder / "reports/иванов гр. 1.txt"));
    ASSERT_EQ(written.size(), single.size());
    for (std::size_t i = 1; i < single.size(); ++i) {
        EXPECT_EQ(written[i], single[i]) << i;
    }
    EXPECT_NE(ReadWholeFile(folder / "protocols/a_b-2-protocol.txt").find("ТРУБЫ ГОРИЗОНТАЛЬНЫЕ"),
              std::string::npos);
}

TEST(Batch, OutputFileIsWrittenWholeOrNotAtAll) {
    TempFolder folder;
    const std::string input = folder / "variants.csv";
    WriteWholeFile(input, "name;kind\n" + Row("a", "cooler", Reference("cooler"), ';') + "\n");
    CalcRun run = RunCalc({"batch", "--plain", "--output", folder / "out.csv", input});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.out.empty());
    EXPECT_EQ(Lines(ReadWholeFile(folder / "out.csv")).size(), 2u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 2);  // no temporary left

    run = RunCalc({"batch", "--plain", "--output", folder / "missing/out.csv", input});
    EXPECT_EQ(run.status, 74);
    EXPECT_NE(run.err.find("missing/out.csv"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder / "missing"));

    // Reports into a folder that is a file: nothing computed is reported as written.
    run = RunCalc({"batch", "--plain", "--reports", input, input});
    EXPECT_EQ(run.status, 74);
    EXPECT_NE(run.err.find("не папка"), std::string::npos) << run.err;

    run = RunCalc({"batch", "--plain", input}, ToPath("/dev/full"));
    EXPECT_EQ(run.status, 74);
    EXPECT_FALSE(run.err.empty());
}

TEST(Batch, UsageAndUnopenableFiles) {
    EXPECT_EQ(RunCalc({"batch"}).status, 64);
    EXPECT_EQ(RunCalc({"batch", "--plain", "--frobnicate", "-"}).status, 64);
    EXPECT_EQ(RunCalc({"batch", "--plain", "a.csv", "b.csv"}).status, 64);
    EXPECT_EQ(RunCalc({"batch", "--plain", "--output"}).status, 64);
    CalcRun run = RunCalc({"batch", "--plain", "/nonexistent/variants.csv"});
    EXPECT_EQ(run.status, 66);
    EXPECT_NE(
        run.err.find("/nonexistent/variants.csv: нет такого файла или папки (No such file or directory)"),
        std::string::npos)
        << run.err;
    EXPECT_EQ(RunCalc({"batch", "--plain", "/tmp"}).status, 66);
    // An empty table: only the header of the result table.
    run = RunCalc({"batch", "--plain", "-"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "name;kind;status;AlphaTube;AlphaShell;OverallK;SurfaceF;ReTube;ReShell\n");
}

// A Russian spreadsheet's export: digit grouping with no-break spaces is read whole; a cell that is not
// wholly one number makes the row "не число" with the label and the cell as written, never a result from
// part of the cell; --as-typed keeps the reading of a typed text.
TEST(Batch, NumbersAreReadStrictly) {
    std::vector<std::string> grouped = Reference("cooler");
    grouped[12] = "402\u00A0980";  // heat load, a no-break space between the groups
    std::string table = "name;kind\n" + Row("grouped", "cooler", grouped, ';', true) + "\n";
    grouped[12] = "402\u202F980,0";
    table += Row("narrow", "cooler", grouped, ';', true) + "\n";
    const std::vector<std::string> partial = {"1,2.4",           "1..24", "1 1/4", "124%",
                                              "4,0298\u0435+05", "",      "1 23"};
    for (const std::string& cell : partial) {
        std::vector<std::string> values = Reference("cooler");
        values[12] = cell;
        table += Row("p", "cooler", values, ';') + "\n";
    }
    CalcRun run = RunCalc({"batch", "-"}, In(table));
    EXPECT_EQ(run.status, 65);
    auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 3 + partial.size()) << run.out;
    EXPECT_EQ(lines[1], "grouped;cooler;рассчитан;538,91;2279,56;368,42;43,06;2784,5;6411,8");
    EXPECT_EQ(lines[2], "narrow;cooler;рассчитан;538,91;2279,56;368,42;43,06;2784,5;6411,8");
    for (std::size_t i = 0; i < partial.size(); ++i) {
        const std::string expected =
            partial[i].empty() ? "p;cooler;не число: параметр T12 «ТЕПЛОВАЯ НАГРУЗКА, ВТ», ячейка пуста;;;;;;"
                               : "p;cooler;\"не число: параметр T12 «ТЕПЛОВАЯ НАГРУЗКА, ВТ», в ячейке \"\"" +
                                     partial[i] + "\"\"\";;;;;;";
        EXPECT_EQ(lines[3 + i], expected);
    }
    EXPECT_EQ(Lines(run.err).size(), partial.size()) << run.err;

    // As typed: the number the text begins with (402 of "402 980"), as the program reads a typed text.
    run = RunCalc({"batch", "--as-typed", "-"}, In("name;kind\n" +
                                                   Row(
                                                       "t", "cooler",
                                                       [] {
                                                           auto v = Reference("cooler");
                                                           v[12] = "402\u00A0980";
                                                           return v;
                                                       }(),
                                                       ';', true) +
                                                   "\n"));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Split(Lines(run.out)[1], ';')[6], "0,04");
}

// Title rows above the header are skipped and named; a table without a header loses no row.
TEST(Batch, TheHeaderRowIsRecognisedByItsCells) {
    const std::string variant = Row("a", "cooler", Reference("cooler"), ';', true);
    CalcRun run = RunCalc({"batch", "-"}, In("Варианты группы 31;;\n;;\nИмя;Вид;Т0\n" + variant + "\n"));
    EXPECT_EQ(run.status, 0);
    auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 2u) << run.out;
    EXPECT_EQ(lines[0],
              "Имя;Вид;Состояние;αтр, Вт/(м²·К);αмтр, Вт/(м²·К);K, Вт/(м²·К);F, м²;Re в трубах;"
              "Re в межтрубном пространстве");
    EXPECT_EQ(Split(lines[1], ';')[2], "рассчитан");
    EXPECT_NE(run.err.find("строка 1: пропущена — над строкой заголовков: «Варианты группы 31»"),
              std::string::npos)
        << run.err;

    run = RunCalc({"batch", "-"}, In(variant + "\n" + variant + "\n"));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(Lines(run.out).size(), 3u) << run.out;
    EXPECT_NE(run.err.find("нет строки заголовков: строка 1"), std::string::npos) << run.err;
}

// A rerun into the same folders: a row that now has no report leaves no report of the earlier run.
TEST(Batch, ARerunLeavesNoStaleReport) {
    TempFolder folder;
    std::vector<std::string> values = Reference("cooler");
    const std::vector<std::string> args = {"batch",      "--reports",  folder / "r",
                                           "--protocol", folder / "p", "-"};
    ASSERT_EQ(RunCalc(args, In("name;kind\n" + Row("a", "cooler", values, ';') + "\n")).status, 0);
    ASSERT_TRUE(std::filesystem::exists(folder / "r/a.txt"));
    values[13] = "0.018";  // out of range now
    EXPECT_EQ(RunCalc(args, In("name;kind\n" + Row("a", "cooler", values, ';') + "\n")).status, 0);
    EXPECT_FALSE(std::filesystem::exists(folder / "r/a.txt"));
    EXPECT_FALSE(std::filesystem::exists(folder / "p/a-protocol.txt"));
}

// A variants workbook as a spreadsheet keeps it (numeric cells, a title row, two sheets) is read and
// answered by a workbook of results beside it with numeric cells, never over an existing file.
TEST(Batch, WorkbooksAreReadAndWritten) {
    using cli::WorkbookCell;
    using cli::WorkbookFormat;
    for (WorkbookFormat format : {WorkbookFormat::Xlsx, WorkbookFormat::Ods}) {
        TempFolder folder;
        const std::string ext(cli::WorkbookExtension(format));
        const std::string input = folder / ("class" + ext);
        {
            auto writer = cli::WorkbookWriter::Create(format, input);
            const std::vector<std::string> texts = Reference("cooler");
            std::vector<double> numbers;
            for (const std::string& t : texts) {
                numbers.push_back(std::stod(t));
            }
            const auto variant = [&](std::string_view name) {
                std::vector<WorkbookCell> row = {{name, false, 0}, {"cooler", false, 0}};
                for (std::size_t i = 0; i < numbers.size(); ++i) {
                    row.push_back({texts[i], true, numbers[i]});
                }
                return row;
            };
            for (std::string_view sheet : {"ХТ-31", "ХТ-32"}) {
                writer->Sheet(sheet);
                writer->Row({{"Курсовой проект", false, 0}}, false);
                writer->Row({{"Имя", false, 0}, {"Вид", false, 0}, {"T0", false, 0}}, true);
                writer->Row(variant("Иванов"), false);
                writer->Row(variant("Петров"), false);
            }
            std::string why;
            ASSERT_TRUE(writer->Close(why)) << why;
        }
        CalcRun run = RunCalc({"batch", input});
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string output = folder / ("class-результаты" + ext);
        ASSERT_TRUE(std::filesystem::exists(output)) << run.err;
        ASSERT_EQ(RunCalc({"batch", input}).status, 0);
        EXPECT_TRUE(std::filesystem::exists(folder / ("class-результаты-2" + ext)));

        std::vector<cli::WorkbookSheet> sheets;
        WorkbookFormat read = WorkbookFormat::Xlsx;
        std::string why;
        const int fd = open(output.c_str(), O_RDONLY);
        ASSERT_TRUE(cli::ReadWorkbook(fd, "", read, sheets, why)) << why;
        close(fd);
        EXPECT_EQ(read, format);
        ASSERT_EQ(sheets.size(), 2u);
        EXPECT_EQ(sheets[1].name, "ХТ-32");
        ASSERT_EQ(sheets[1].rows.size(), 3u);
        EXPECT_EQ(sheets[1].rows[0].fields[5], "K, Вт/(м²·К)");
        // Numeric cells: the shortest decimal of each result as the screens show it.
        EXPECT_EQ(sheets[1].rows[2].fields,
                  (std::vector<std::string>{"Петров", "cooler", "рассчитан", "538.91", "2279.56", "368.42",
                                            "43.06", "2784.5", "6411.8"}));

        // One sheet by name, to CSV.
        run = RunCalc({"batch", "--plain", "--sheet", "ХТ-32", "--output", folder / "out.csv", input});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(Lines(ReadWholeFile(folder / "out.csv")).size(), 3u);
        EXPECT_EQ(RunCalc({"batch", "--sheet", "ХТ-33", input}).status, 66);
    }
}

// A workbook in the shapes a spreadsheet program saves: repeated empty rows and cells up to the sheet's
// end, a comment on a cell, runs of spaces, a title row, an empty sheet before the class's.
TEST(Batch, ASpreadsheetsOwnShapesAreRead) {
    std::string cells;
    for (const std::string& v : Reference("cooler")) {
        cells += "<table:table-cell office:value-type=\"float\" office:value=\"" +
                 (v[0] == '.' ? "0" + v : v) + "\"><text:p>x</text:p></table:table-cell>";
    }
    const std::string row =
        "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>Иванов<text:s "
        "text:c=\"2\"/>А."
        "</text:p><office:annotation><text:p>заметка</text:p></office:annotation></table:table-cell>"
        "<table:table-cell office:value-type=\"string\"><text:p>ХОЛОДИЛЬНИК</text:p></table:table-cell>" +
        cells + "<table:table-cell table:number-columns-repeated=\"1000\"/></table:table-row>";
    const std::string empty =
        "<table:table-row table:number-rows-repeated=\"1048000\"><table:table-cell "
        "table:number-columns-repeated=\"1024\"/></table:table-row>";
    const std::string content =
        "<?xml version=\"1.0\"?><office:document-content "
        "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:spreadsheet>"
        "<table:table table:name=\"Пустой\">" +
        empty +
        "</table:table><table:table table:name=\"Группа\"><table:table-row><table:table-cell "
        "office:value-type=\"string\"><text:p>Курсовой проект</text:p></table:table-cell></table:table-row>"
        "<table:table-row><table:table-cell><text:p>Имя</text:p></table:table-cell><table:covered-table-cell/"
        ">"
        "<table:table-cell><text:p>Вид</text:p></table:table-cell></table:table-row>" +
        row + empty + "</table:table></office:spreadsheet></office:body></office:document-content>";
    TempFolder folder;
    const std::string input = folder / "class.ods";
    {
        int error = 0;
        zip_t* zip = zip_open(input.c_str(), ZIP_CREATE, &error);
        ASSERT_NE(zip, nullptr);
        const std::string mimetype = "application/vnd.oasis.opendocument.spreadsheet";
        zip_file_add(zip, "mimetype", zip_source_buffer(zip, mimetype.data(), mimetype.size(), 0), 0);
        zip_file_add(zip, "content.xml", zip_source_buffer(zip, content.data(), content.size(), 0), 0);
        ASSERT_EQ(zip_close(zip), 0);
    }
    const CalcRun run = RunCalc({"batch", "--plain", "--output", folder / "out.csv", input});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto lines = Lines(ReadWholeFile(folder / "out.csv"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].substr(lines[1].find(";ok;")), ";ok;538,91;2279,56;368,42;43,06;2784,5;6411,8");
    EXPECT_EQ(lines[1].substr(0, lines[1].find(';')), "Иванов  А.");
}

// The reader: a quote inside a field is a character of it; an input read in one encoding or refused;
// a file that is no table gets one message.
TEST(Batch, StrayQuotesMixedEncodingsAndFilesThatAreNoTable) {
    std::vector<std::string> values = Reference("cooler");
    std::string table = "name;kind\n";
    for (int i = 0; i < 5; ++i) {
        table += Row(i == 1 ? "труба 1\"" : "v" + std::to_string(i), "cooler", values, ';') + "\n";
    }
    CalcRun run = RunCalc({"batch", "--plain", "-"}, In(table));
    EXPECT_EQ(run.status, 0) << run.err;
    const auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 6u) << run.out;
    EXPECT_EQ(Split(lines[2], ';')[0], "\"труба 1\"\"\"");

    // 64 KiB and more of UTF-8, then a row in Windows-1251 ("Иванов").
    std::string utf8 = "name;kind\n";
    while (utf8.size() < (1u << 17)) {
        utf8 += Row("Студент", "cooler", values, ';') + "\n";
    }
    const std::size_t badLine = static_cast<std::size_t>(std::count(utf8.begin(), utf8.end(), '\n')) + 1;
    run = RunCalc({"batch", "-"}, In(utf8 + Row("\xC8\xE2\xE0\xED\xEE\xE2", "cooler", values, ';') + "\n"));
    EXPECT_EQ(run.status, 65);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("строка " + std::to_string(badLine) + ": текст в кодировке Windows-1251"),
              std::string::npos)
        << run.err;

    // 0x98 has no character in Windows-1251, and the line is no UTF-8 either.
    run = RunCalc({"batch", "-"}, In("name;kind\n\x98\xC8;cooler\n"));
    EXPECT_EQ(run.status, 65);
    EXPECT_NE(run.err.find("строка 2: текст не читается ни в UTF-8, ни в Windows-1251"), std::string::npos)
        << run.err;

    for (const std::string& bytes : {std::string("%PDF-1.4\n"), std::string("PK\x03\x04zzzz", 8),
                                     std::string("name;kind\n\0\x01\x02", 13)}) {
        run = RunCalc({"batch", "-"}, In(bytes));
        EXPECT_EQ(run.status, 66) << bytes;
        EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
    }
}

TEST(Template, EachKindStartsATableThatComputesTheReference) {
    for (const std::string& kind : kKinds) {
        const CalcRun tpl = RunCalc({"template", kind});
        ASSERT_EQ(tpl.status, 0) << tpl.err;
        const auto lines = Lines(tpl.out);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_NE(lines[0].find("T0 "), std::string::npos);
        const CalcRun run = RunCalc({"batch", "--plain", "--exact", "-"}, In(tpl.out));
        ASSERT_EQ(run.status, 0) << run.err;
        const auto rows = Lines(run.out);
        ASSERT_EQ(rows.size(), 2u);
        ExpectSameAsSingleCall(rows[1], ';', kind, true);
    }
    EXPECT_EQ(RunCalc({"template"}).status, 64);
    EXPECT_EQ(RunCalc({"template", "heater"}).status, 64);
}

}  // namespace
}  // namespace heatx::testing
