// The variants-table reader on arbitrary bytes, handed over in small pieces of varying size: no crash,
// no undefined behaviour, every field of a readable record valid UTF-8, line numbers never going back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "csv.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::size_t pos = 0;
    std::size_t piece = 1;
    heatx::cli::CsvReader reader([&](char* buffer, std::size_t capacity) -> std::size_t {
        std::size_t n = size - pos;
        n = n < piece ? n : piece;
        n = n < capacity ? n : capacity;
        std::memcpy(buffer, data + pos, n);
        pos += n;
        piece = piece * 3 % 61 + 1;  // pieces of 1 to 61 bytes cut records and sequences anywhere
        return n;
    });
    heatx::cli::CsvRecord record;
    std::size_t line = 0;
    while (reader.Next(record)) {
        if (record.line < line) {
            std::abort();
        }
        line = record.line;
        for (const std::string& field : record.fields) {
            if (!heatx::cli::ValidUtf8(field)) {
                std::abort();
            }
        }
    }
    return 0;
}
