// Reading of journal bytes as a start finds them (damaged, cut short, foreign): no crash, no undefined
// behaviour, and whatever is read is written back and read again to the same texts, title and marks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "reports/journal.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    heatx::JournalContents contents;
    heatx::ParseJournal(bytes, contents);

    std::string again = heatx::JournalHeaderRecord();
    if (!contents.title.empty()) {
        again += heatx::JournalTitleRecord(contents.title);
    }
    for (const heatx::JournalText& text : contents.texts) {
        again += heatx::JournalFontRecord(text.fontName, text.fontSize);
        again += heatx::JournalTextRecord(text.text, text.endLine);
    }
    for (const heatx::JournalSavedMark& mark : contents.saved) {
        again += mark.printer ? heatx::JournalSavedPrinterRecord(mark.where)
                              : heatx::JournalSavedFileRecord(mark.where, mark.print);
    }
    heatx::JournalContents reread;
    if (!heatx::ParseJournal(again, reread) || !reread.whole || reread.title != contents.title ||
        reread.texts.size() != contents.texts.size() || reread.saved.size() != contents.saved.size()) {
        std::abort();
    }
    for (std::size_t i = 0; i < contents.texts.size(); ++i) {
        if (reread.texts[i].text != contents.texts[i].text ||
            reread.texts[i].endLine != contents.texts[i].endLine ||
            reread.texts[i].fontName != contents.texts[i].fontName) {
            std::abort();
        }
    }
    for (std::size_t i = 0; i < contents.saved.size(); ++i) {
        if (reread.saved[i].where != contents.saved[i].where ||
            reread.saved[i].printer != contents.saved[i].printer ||
            (!contents.saved[i].printer && !(reread.saved[i].print == contents.saved[i].print))) {
            std::abort();
        }
    }
    return 0;
}
