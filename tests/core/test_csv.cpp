// The variants-table reader fed in pieces of one byte (as a slow pipe may deliver it): the byte-order
// mark, the encoding and the records come out as from one piece.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "csv.h"
#include "table_number.h"

namespace heatx::cli {
namespace {

struct Read {
    std::vector<CsvRecord> records;
    char delimiter = 0;
    TextEncoding encoding = TextEncoding::Utf8;
    bool bom = false;
};

Read ReadAll(const std::string& text, std::size_t piece) {
    std::size_t pos = 0;
    CsvReader reader([&](char* buffer, std::size_t size) -> std::size_t {
        const std::size_t n = std::min({piece, size, text.size() - pos});
        std::memcpy(buffer, text.data() + pos, n);
        pos += n;
        return n;
    });
    Read r;
    CsvRecord record;
    while (reader.Next(record)) {
        r.records.push_back(record);
    }
    r.delimiter = reader.Delimiter();
    r.encoding = reader.Encoding();
    r.bom = reader.ByteOrderMark();
    return r;
}

TEST(CsvReader, PiecesOfOneByteReadAsOnePiece) {
    const std::string utf8 = "\xEF\xBB\xBF\"a;b\"\tc\r\n\"x\r\ny\"\t\"q\"\"q\"\n\tlast";
    const std::string cp1251 = "name,kind\n\xC8\xE2\xE0\xED\xEE\xE2,\xD5\r\n";
    for (std::size_t piece : {std::size_t{1}, std::size_t{1} << 20}) {
        const Read a = ReadAll(utf8, piece);
        EXPECT_TRUE(a.bom);
        EXPECT_EQ(a.delimiter, '\t');  // the ";" is quoted
        ASSERT_EQ(a.records.size(), 3u);
        EXPECT_EQ(a.records[0].fields, (std::vector<std::string>{"a;b", "c"}));
        EXPECT_EQ(a.records[1].fields, (std::vector<std::string>{"x\r\ny", "q\"q"}));
        EXPECT_EQ(a.records[1].line, 2u);
        EXPECT_EQ(a.records[2].line, 4u);
        EXPECT_EQ(a.records[2].fields, (std::vector<std::string>{"", "last"}));

        const Read b = ReadAll(cp1251, piece);
        EXPECT_EQ(b.encoding, TextEncoding::Windows1251);
        ASSERT_EQ(b.records.size(), 2u);
        EXPECT_EQ(b.records[1].fields, (std::vector<std::string>{"Иванов", "Х"}));
    }
}

TEST(CsvReader, NothingButAByteOrderMark) {
    for (std::size_t piece : {std::size_t{1}, std::size_t{3}}) {
        const Read r = ReadAll("\xEF\xBB\xBF", piece);
        EXPECT_TRUE(r.records.empty());
        EXPECT_TRUE(r.bom);
    }
}

TEST(CsvReader, AnUnclosedQuoteIsAnErrorNotARunawayRecord) {
    const Read r = ReadAll("name;kind\nname;\"cooler;1\n2;3\n", 7);
    ASSERT_EQ(r.records.size(), 2u);
    EXPECT_EQ(r.records[1].error, "кавычки не закрыты до конца файла");
}

TEST(CsvWindows1251, BothDirectionsAndTheUndefinedByte) {
    std::string utf8;
    ASSERT_TRUE(Windows1251ToUtf8("\xA8\xB8\xAB\xBB\xB9", utf8));
    EXPECT_EQ(utf8, "Ёё«»№");
    EXPECT_EQ(Utf8ToWindows1251("Ёё«»№ Я€✓"), "\xA8\xB8\xAB\xBB\xB9 \xDF\x88?");
    EXPECT_FALSE(Windows1251ToUtf8("\x98", utf8));
}

TEST(TableNumber, WholeCellsOnly) {
    TableNumber n;
    const std::vector<std::pair<std::string, std::string>> good = {
        {"402 980", "402980"},         {"2\u00A0095\u00A0000", "2095000"},
        {"1\u2009234,5", "1234.5"},    {" -0,683 ", "-0.683"},
        {".00054", ".00054"},          {"4,0298e+05", "4,0298e+05"},
        {" 4,0298e+05", "4.0298E+05"}, {"0,683", "0,683"},
        {"1E-3\u00A0", "1E-3"}};
    for (const auto& [cell, text] : good) {
        EXPECT_TRUE(ReadTableNumber(cell, n)) << cell;
        EXPECT_EQ(n.asWritten ? cell : n.text, text) << cell;
    }
    for (std::string bad : {"", " ", "1,2.4", "1..24", "1 1/4", "124%", "4,0298\u0435+05", "12 34", "1 2345",
                            "1e", "-", "&H10"}) {
        EXPECT_FALSE(ReadTableNumber(bad, n)) << bad;
    }
}

}  // namespace
}  // namespace heatx::cli
