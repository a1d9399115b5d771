// The real printer of the program: the report of a task, printed with Qt on the system's default
// printer or written to a PDF file.
//
// One document per task: it begins with the first Print after an EndDoc (or after the start) and is
// released by EndDoc. Its lines are kept in memory until then and painted at EndDoc, one line after
// another in the font set when the line was begun, a new page whenever the next line does not fit.
// "Courier New Cyr" (the report font) is mapped to a metric-compatible fixed-pitch Cyrillic font.
//
// Where a document goes: a PDF file when one was named (the program's --print-to option); otherwise
// the system's default printer when one is configured; otherwise, or when that printer cannot be
// opened, a PDF file heatx-report-YYYYMMDD-HHMMSS.pdf in the user's documents folder. The path of a
// PDF file is written to standard error. When no output can be opened at all, the failure callback
// tells the student; printing never stops or ends the program.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "reports/clock.h"
#include "reports/printer.h"

namespace heatx::ui {

struct QtPrinterOptions {
    // PDF file of the first document (later documents of the run get "-2", "-3"... before the
    // extension, so that none overwrites another). Empty: the system printer or the documents folder.
    std::string pdfFile;
    // Folder of the PDF files named after the time; empty: the user's documents folder.
    std::string documentsFolder;
    // Whether the system's default printer is tried before a PDF file.
    bool useSystemPrinter = true;
};

class QtReportPrinter : public heatx::Printer {
  public:
    // The clock names the PDF files written to the documents folder.
    explicit QtReportPrinter(const heatx::Clock& clock, QtPrinterOptions options = {});
    // A document still open is released.
    ~QtReportPrinter() override;
    QtReportPrinter(const QtReportPrinter&) = delete;
    QtReportPrinter& operator=(const QtReportPrinter&) = delete;

    void SetFontName(std::string_view name) override;
    void SetFontSize(float points) override;
    void Print(std::string_view text, bool endLine = true) override;
    void EndDoc() override;
    bool HasOpenDocument() const override { return open_; }

    // Called with a Russian message and the title "ОШИБКА !" when a document could not be printed.
    void OnFailure(std::function<void(const std::string& text, const std::string& title)> notice) {
        notice_ = std::move(notice);
    }

    // Where the last ended document went: the PDF file, or the name of the system printer; empty when
    // it could not be printed.
    const std::string& LastDestination() const { return lastDestination_; }
    bool LastWentToPrinter() const { return lastToPrinter_; }
    // Number of documents ended so far (printed or not).
    int DocumentCount() const { return documents_; }

    // The message given when a document could not be printed.
    static const char* const kFailureText;

  private:
    struct Segment {
        std::string text;
        std::string fontName;
        float fontSize;
    };
    using Line = std::vector<Segment>;

    // The PDF file of the next document.
    std::string NextPdfPath();
    bool PaintToPdf(const std::string& path);
    bool PaintToSystemPrinter(std::string& printerName);

    const heatx::Clock& clock_;
    QtPrinterOptions options_;
    std::function<void(const std::string&, const std::string&)> notice_;

    std::string fontName_ = "Courier New Cyr";
    float fontSize_ = 9.0f;
    std::vector<Line> lines_;
    bool continuing_ = false;
    bool open_ = false;

    int documents_ = 0;
    int namedFileDocuments_ = 0;
    std::string lastDestination_;
    bool lastToPrinter_ = false;
};

}  // namespace heatx::ui
