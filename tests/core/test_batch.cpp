// heatx-calc batch and template as processes, on small tables made in the test: the output rows equal
// what single calls give, whatever the delimiter, quoting, decimal separator, encoding and line ends.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "calc_process.h"
#include "design_data/design_data.h"

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
        const CalcRun run = RunCalc({"batch", "--exact", "-"}, In(table));
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
    const CalcRun run = RunCalc({"batch", "-"}, In(table));
    ASSERT_EQ(run.status, 0) << run.err;
    const auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "a;cooler;ok;538,91;2279,56;368,42;43,06;2784,5;6411,8");
    EXPECT_EQ(lines[2], "b;evaporator;ok;10166,39;5681,11;1325,06;13,64;;");
}

TEST(Batch, QuotedFieldsBomAndCrlf) {
    std::vector<std::string> values = Reference("evaporator");
    values[0] = "\"0,683\"";  // a quoted decimal comma in a "," table
    std::string table = "\xEF\xBB\xBF\"name\",kind,\"T0, a heading with the delimiter\"\r\n";
    table += Row("\"Иванов, \"\"А\"\"\"", "evaporator", values, ',') + "\r\n";
    table += Row("\"two\r\nlines\"", "ИСПАРИТЕЛЬ", Reference("evaporator"), ',') + "\r\n";
    const CalcRun run = RunCalc({"batch", "--exact", "-"}, In(table));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("\xEF\xBB\xBFname,kind,status", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("\r\n\"Иванов, \"\"А\"\"\",evaporator,ok,10166.3936,"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\r\n\"two\r\nlines\",ИСПАРИТЕЛЬ,ok,10166.3936,"), std::string::npos) << run.out;
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
    const CalcRun run = RunCalc({"batch", "-"}, In(table));
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
    table += "bad\xFF;cooler;1\n";                                      // line 7: neither UTF-8 after the BOM
    table += Row("padded", "heater-horizontal", padded, ';') + "\n";    // line 8
    table += good + "\n";                                               // line 9
    const CalcRun run = RunCalc({"batch", "-"}, In("\xEF\xBB\xBF" + table));
    EXPECT_EQ(run.status, 65);
    const auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 8u) << run.out;
    EXPECT_EQ(Split(lines[1], ';')[2], "ok");
    EXPECT_EQ(lines[2], "boiler;boiler;error;;;;;;");
    EXPECT_EQ(lines[3], "long;evaporator;error;;;;;;");
    EXPECT_EQ(lines[4], "short;heater-vertical;error;;;;;;");
    EXPECT_EQ(lines[5], ";;error;;;;;;");
    EXPECT_EQ(Split(lines[6], ';')[2], "ok");
    EXPECT_EQ(lines[7], lines[1]);
    const auto messages = Lines(run.err);
    ASSERT_EQ(messages.size(), 4u) << run.err;
    EXPECT_NE(messages[0].find("строка 3: неизвестный вид аппарата \"boiler\""), std::string::npos);
    EXPECT_NE(messages[1].find("строка 4: нужно значений для evaporator: 16, дано: 17"), std::string::npos);
    EXPECT_NE(messages[2].find("строка 5: нужно значений для heater-vertical: 15, дано: 14"),
              std::string::npos);
    EXPECT_NE(messages[3].find("строка 7: текст не в кодировке UTF-8"), std::string::npos);
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
    const CalcRun run = RunCalc({"batch", "-"}, In(table));
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
    CalcRun run = RunCalc({"batch", "--output", folder / "out.csv", input});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.out.empty());
    EXPECT_EQ(Lines(ReadWholeFile(folder / "out.csv")).size(), 2u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 2);  // no temporary left

    run = RunCalc({"batch", "--output", folder / "missing/out.csv", input});
    EXPECT_EQ(run.status, 74);
    EXPECT_NE(run.err.find("missing/out.csv"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder / "missing"));

    // Reports into a folder that is a file: nothing computed is reported as written.
    run = RunCalc({"batch", "--reports", input, input});
    EXPECT_EQ(run.status, 74);
    EXPECT_NE(run.err.find("не папка"), std::string::npos) << run.err;

    run = RunCalc({"batch", input}, ToPath("/dev/full"));
    EXPECT_EQ(run.status, 74);
    EXPECT_FALSE(run.err.empty());
}

TEST(Batch, UsageAndUnopenableFiles) {
    EXPECT_EQ(RunCalc({"batch"}).status, 64);
    EXPECT_EQ(RunCalc({"batch", "--frobnicate", "-"}).status, 64);
    EXPECT_EQ(RunCalc({"batch", "a.csv", "b.csv"}).status, 64);
    EXPECT_EQ(RunCalc({"batch", "--output"}).status, 64);
    CalcRun run = RunCalc({"batch", "/nonexistent/variants.csv"});
    EXPECT_EQ(run.status, 66);
    EXPECT_NE(run.err.find("/nonexistent/variants.csv"), std::string::npos);
    EXPECT_EQ(RunCalc({"batch", "/tmp"}).status, 66);
    // An empty table: only the header of the result table.
    run = RunCalc({"batch", "-"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "name;kind;status;AlphaTube;AlphaShell;OverallK;SurfaceF;ReTube;ReShell\n");
}

TEST(Template, EachKindStartsATableThatComputesTheReference) {
    for (const std::string& kind : kKinds) {
        const CalcRun tpl = RunCalc({"template", kind});
        ASSERT_EQ(tpl.status, 0) << tpl.err;
        const auto lines = Lines(tpl.out);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_NE(lines[0].find("T0 "), std::string::npos);
        const CalcRun run = RunCalc({"batch", "--exact", "-"}, In(tpl.out));
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
