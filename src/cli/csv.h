// Reading and writing of the variants tables that spreadsheets save as CSV: the delimiter ";", "," or
// tab found from the header row, quoted fields with "" inside, CRLF or LF line ends, UTF-8 with or
// without a byte-order mark, and Windows-1251 when the text is not valid UTF-8. The reader streams: it
// holds one buffer and one record, whatever the length of the table.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace heatx::cli {

enum class TextEncoding { Utf8, Windows1251 };

struct CsvRecord {
    std::vector<std::string> fields;  // decoded to UTF-8
    std::size_t line = 0;             // line of the file where the record starts, from 1
    std::string error;                // why the record cannot be read (empty when it can)
};

class CsvReader {
  public:
    // Fills the buffer with up to `size` bytes and returns how many; 0 at the end of the input.
    using Source = std::function<std::size_t(char* buffer, std::size_t size)>;

    explicit CsvReader(Source source);

    // The next record; false at the end of the input. The first record is the header row, from which
    // the delimiter is found.
    bool Next(CsvRecord& record);

    char Delimiter() const { return delimiter_; }
    TextEncoding Encoding() const { return encoding_; }
    bool ByteOrderMark() const { return bom_; }
    // The header row ended with CR LF (or a lone CR).
    bool CrLf() const { return crlf_; }

    // Longest record kept; a longer one is read to its end and reported as an error.
    static constexpr std::size_t kRecordLimit = 1 << 20;

  private:
    bool Fill();
    bool ReadRaw(std::string& raw, std::size_t& line, bool& tooLong, bool& unclosed);
    void Split(std::string_view raw, std::vector<std::string>& fields) const;
    bool Decode(std::string& error);

    Source source_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool eof_ = false;
    bool started_ = false;
    bool skipLf_ = false;
    std::size_t line_ = 1;
    char delimiter_ = ';';
    TextEncoding encoding_ = TextEncoding::Utf8;
    bool bom_ = false;
    bool first_ = true;
    bool crlf_ = false;
    std::string raw_;
    std::string scratch_;
};

// True when the text is valid UTF-8 (shortest forms, no surrogates, nothing above U+10FFFF).
bool ValidUtf8(std::string_view text);
// Windows-1251 to UTF-8; false when a byte has no character in that encoding.
bool Windows1251ToUtf8(std::string_view text, std::string& out);
// UTF-8 to Windows-1251; a character the encoding lacks becomes "?".
std::string Utf8ToWindows1251(std::string_view text);

// Appends one field, quoted when it holds the delimiter, a quote or a line end.
void AppendCsvField(std::string& out, std::string_view field, char delimiter);

}  // namespace heatx::cli
