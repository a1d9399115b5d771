// Reading and writing of the variants tables that spreadsheets save as CSV: the delimiter ";", "," or
// tab found from the first row that holds one, quoted fields with "" inside (a quote opens a quoted
// field only at the start of the field), CRLF or LF line ends, UTF-8 with or without a byte-order mark,
// and Windows-1251. The encoding is judged for the whole input before it is read (EncodingJudge); the
// reader streams: it holds one buffer and one record, whatever the length of the table.
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

    // The encoding judged for the whole input; without it the reader takes Windows-1251 when its first
    // buffer is not valid UTF-8 (and a later record may still reveal it).
    // `verified`: every line was found valid in it, and no NUL byte in the input.
    void SetEncoding(TextEncoding encoding, bool verified) {
        encoding_ = encoding;
        encodingKnown_ = true;
        verified_ = verified;
    }

    // The next record; false at the end of the input. The delimiter is found from the first record
    // that holds a ";", a tab or a "," outside quotes (a title row above the header may hold none).
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
    bool IsDelimiter(char c) const;
    static bool Special(char c);
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
    bool encodingKnown_ = false;
    bool verified_ = false;
    bool crlf_ = false;
    std::string raw_;
    std::string scratch_;
};

// The encoding of a whole input, judged line by line as it is fed in pieces: UTF-8 when every line is,
// Windows-1251 when every line that is not plain ASCII is not UTF-8 but reads in Windows-1251. The first
// line that is not plain ASCII decides (the byte-order mark declares UTF-8); a later line of the other
// encoding, or one that reads in neither, makes the input unreadable, named by that line.
class EncodingJudge {
  public:
    void Feed(std::string_view bytes);
    // After the last piece: false when the input is unreadable (BadLine(), Why()).
    bool Finish();

    TextEncoding Encoding() const { return encoding_; }
    std::size_t BadLine() const { return badLine_; }
    const std::string& Why() const { return why_; }

  private:
    void Judge(std::string_view bytes);
    void EndLine();

    std::string head_;  // the first bytes while they may be a byte-order mark
    bool headDone_ = false;
    std::size_t line_ = 1;
    bool lastCr_ = false;
    bool nonAscii_ = false;   // this line holds bytes above 0x7F
    bool invalid_ = false;    // this line is not valid UTF-8
    bool undefined_ = false;  // this line holds the byte 0x98, which Windows-1251 leaves undefined
    int pending_ = 0;         // continuation bytes still due in the current UTF-8 sequence
    unsigned char low_ = 0x80, high_ = 0xBF;  // range of the next continuation byte
    bool bom_ = false;
    bool decided_ = false;
    std::size_t decidingLine_ = 0;
    TextEncoding encoding_ = TextEncoding::Utf8;
    std::size_t badLine_ = 0;
    std::string why_;
};

// Whether a whole input is valid UTF-8 and free of NUL bytes, fed in pieces: the quick first look,
// which most tables pass; only one that fails it is judged line by line (EncodingJudge).
class Utf8Check {
  public:
    void Feed(std::string_view bytes);
    // After the last piece.
    bool Valid() const { return valid_ && pending_ == 0; }
    bool Nul() const { return nul_; }

  private:
    bool valid_ = true;
    bool nul_ = false;
    int pending_ = 0;
    unsigned char low_ = 0x80, high_ = 0xBF;
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
