#include "ui/web/web_printer.h"

#include <emscripten.h>

#include <string>
#include <vector>

#include "ui/platform.h"
#include "ui/web/web_toolkit.h"

namespace heatx::ui::web {

namespace {

// The page's event that recovers the journals of tabs that ended with a report open (runtime.js).
constexpr int kRecoverEvent = -2;

// A text made by the page (malloc'ed UTF-8), taken over.
std::string Taken(char* text) {
    if (text == nullptr) {
        return std::string();
    }
    std::string out(text);
    std::free(text);
    return out;
}

}  // namespace

// clang-format off
EM_JS(void, hx_show_report, (const char* title, const char* text), {
    heatx.showReport(UTF8ToString(title), UTF8ToString(text).split("\n"));
});
EM_JS(void, hx_document_open, (int open), { heatx.setDocumentOpen(!!open); });
EM_JS(void, hx_post_event, (int id), { heatx.postEvent(id); });
EM_JS(int, hx_storage_available, (), { return heatx.journals.available() ? 1 : 0; });
EM_JS(char*, hx_journal_create, (const char* header), {
    var name = heatx.journals.create(UTF8ToString(header));
    return name === null ? 0 : allocateUTF8(name);
});
EM_JS(int, hx_journal_append, (const char* name, const char* bytes), {
    return heatx.journals.append(UTF8ToString(name), UTF8ToString(bytes)) ? 1 : 0;
});
EM_JS(void, hx_journal_remove, (const char* name), { heatx.journals.remove(UTF8ToString(name)); });
EM_JS(char*, hx_journal_set_aside, (const char* name), {
    var aside = heatx.journals.setAside(UTF8ToString(name));
    return aside === null ? 0 : allocateUTF8(aside);
});
EM_JS(char*, hx_journal_list, (), { return allocateUTF8(heatx.journals.list().join("\n")); });
// The journal's bytes when this page could take it (no open page holds it), else nothing.
EM_ASYNC_JS(char*, hx_journal_claim, (const char* name), {
    var bytes = await heatx.journals.claim(UTF8ToString(name));
    return bytes === null ? 0 : allocateUTF8(bytes);
});
// clang-format on

// ---- Journals in the browser's storage ---------------------------------------------------------------

namespace {

constexpr const char* kStorageFailure =
    "хранилище браузера не принимает данные (оно заполнено или отключено)";

class BrowserJournal : public heatx::JournalHandle {
  public:
    explicit BrowserJournal(std::string name) : name_(std::move(name)) {}
    // An open journal is kept: it is the record of an unfinished report.
    ~BrowserJournal() override = default;

    bool Append(std::string_view bytes) override {
        if (failed_ || gone_) {
            return false;
        }
        if (bytes.empty()) {
            return true;
        }
        if (hx_journal_append(name_.c_str(), std::string(bytes).c_str()) == 0) {
            failed_ = true;
            return false;
        }
        return true;
    }
    // The browser's storage takes each write whole at once.
    bool Sync() override { return !failed_ && !gone_; }
    std::string Name() const override { return name_; }
    std::string Failure() const override { return failed_ ? kStorageFailure : std::string(); }
    void Remove() override {
        if (!gone_) {
            hx_journal_remove(name_.c_str());
            gone_ = true;
        }
    }
    void Keep() override { gone_ = true; }
    std::string SetAside() override {
        gone_ = true;
        return Taken(hx_journal_set_aside(name_.c_str()));
    }

  private:
    std::string name_;
    bool failed_ = false;
    bool gone_ = false;
};

}  // namespace

bool BrowserJournalStore::Available() {
    return hx_storage_available() != 0;
}

std::unique_ptr<heatx::JournalHandle> BrowserJournalStore::Create(std::size_t firstPlace, std::size_t& place,
                                                                  std::string& reason) {
    place = 0;
    if (firstPlace > 0) {
        reason = kStorageFailure;
        return nullptr;
    }
    const std::string name = Taken(hx_journal_create(heatx::JournalHeaderRecord().c_str()));
    if (name.empty()) {
        reason = kStorageFailure;
        return nullptr;
    }
    return std::make_unique<BrowserJournal>(name);
}

std::vector<std::string> BrowserJournalStore::Journals() {
    std::vector<std::string> names;
    const std::string list = Taken(hx_journal_list());
    std::size_t start = 0;
    while (start < list.size()) {
        const std::size_t end = list.find('\n', start);
        const std::size_t stop = end == std::string::npos ? list.size() : end;
        if (stop > start) {
            names.push_back(list.substr(start, stop - start));
        }
        start = stop + 1;
    }
    return names;
}

std::unique_ptr<heatx::JournalHandle> BrowserJournalStore::Claim(const std::string& name, std::size_t limit,
                                                                 std::string& bytes, bool& whole) {
    char* taken = hx_journal_claim(name.c_str());
    if (taken == nullptr) {
        return nullptr;
    }
    bytes = Taken(taken);
    whole = bytes.size() <= limit;
    if (!whole) {
        bytes.resize(limit);
    }
    return std::make_unique<BrowserJournal>(name);
}

// ---- The browser as the printer ------------------------------------------------------------------------

const char* const BrowserReportOutput::kPrinterName = "окно печати браузера";

// The "pages" are the report's title and lines: the page lays them out on its sheets.
bool BrowserReportOutput::Draw(const heatx::ReportDocument& document, std::string& pages) {
    pages = document.title;
    for (const heatx::ReportLine& line : document.lines) {
        pages += '\n';
        for (const heatx::ReportSegment& segment : line) {
            pages += segment.text;
        }
    }
    return true;
}

bool BrowserReportOutput::PrinterAccepts(const std::string& printer, std::string& reason) {
    (void)printer;
    (void)reason;
    return true;
}

namespace {

void ShowPages(std::string_view pages) {
    const std::size_t end = pages.find('\n');
    const std::string title(pages.substr(0, end));
    const std::string lines =
        end == std::string_view::npos ? std::string() : std::string(pages.substr(end + 1));
    hx_show_report(title.c_str(), lines.c_str());
}

}  // namespace

bool BrowserReportOutput::SendToPrinter(const std::string& printer, const std::string& title,
                                        std::string_view pages, std::string& reason) {
    (void)printer;
    (void)title;
    (void)reason;
    ShowPages(pages);
    return true;
}

std::string BrowserReportOutput::FolderProblem(const std::string& folder, bool create) {
    (void)folder;
    (void)create;
    return std::string();
}

bool BrowserReportOutput::WriteFile(const std::string& base, std::string_view pages,
                                    const heatx::BeforeNaming& beforeNaming, std::string& finalPath,
                                    std::string& reason) {
    (void)base;
    (void)reason;
    const std::size_t end = pages.find('\n');
    finalPath = "«" + std::string(pages.substr(0, end)) + "»";
    if (beforeNaming) {
        beforeNaming(finalPath);
    }
    ShowPages(pages);
    return true;
}

bool BrowserReportOutput::FileHolds(const std::string& path, const heatx::ContentPrint& print) {
    (void)path;
    (void)print;
    return false;
}

// ---- The printer -----------------------------------------------------------------------------------------

const char* const WebReportPrinter::kNoticeTitle = "ОТЧЁТ";
const char* const WebReportPrinter::kNoticeText =
    "Отчёт откроется для печати, когда вы закончите расчёт этого теплообменника или работу с программой.";
const char* const WebReportPrinter::kNoStorageText =
    "Браузер не даёт этой странице сохранять данные (частный режим или нет места), поэтому отчёт не будет "
    "восстановлен, если закрыть вкладку до печати. Печать работает как обычно.";

WebReportPrinter::WebReportPrinter(const heatx::Clock& clock, BrowserReportOutput& output,
                                   heatx::JournalStore* journals)
    : ReportKeeper(clock, output, journals), storage_(journals != nullptr) {}

void WebReportPrinter::Connect(Platform& platform, WebToolkit& toolkit) {
    platform_ = &platform;
    OnNotice([&platform](const std::string& text, const std::string& title) {
        if (platform.Ended()) {
            return;
        }
        platform.Raise([&] { platform.Notice(text, title); });
    });
    toolkit.RegisterCallback(kRecoverEvent,
                             [this, &platform](int) { platform.Guard([this] { Recover(); }); });
    if (storage_) {
        hx_post_event(kRecoverEvent);
    }
}

void WebReportPrinter::Print(std::string_view text, bool endLine) {
    const bool wasOpen = HasOpenDocument();
    ReportKeeper::Print(text, endLine);
    if (!wasOpen && HasOpenDocument()) {
        toldFirstPress_ = false;
        hx_document_open(1);
    }
}

void WebReportPrinter::EndOfPress() {
    ReportKeeper::EndOfPress();
    if (platform_ == nullptr || platform_->Ended() || !HasOpenDocument() || toldFirstPress_) {
        return;
    }
    toldFirstPress_ = true;
    std::string text = kNoticeText;
    if (!storage_ && !toldNoStorage_) {
        toldNoStorage_ = true;
        text += std::string("\n\n") + kNoStorageText;
    }
    Platform& platform = *platform_;
    platform.Raise([&] { platform.Notice(text, kNoticeTitle); });
}

void WebReportPrinter::EndDoc() {
    ReportKeeper::EndDoc();
    hx_document_open(0);
}

}  // namespace heatx::ui::web
