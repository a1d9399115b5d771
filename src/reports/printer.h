// The printer as the reports see it: a stream of fixed-pitch text lines with a font, ended as one
// document when the student leaves the task.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace heatx {

class Printer {
  public:
    virtual ~Printer() = default;

    virtual void SetFontName(std::string_view name) = 0;
    virtual void SetFontSize(float points) = 0;
    // The title of the print job (apparatus, student, date and time), so that a printer that names
    // its files after the job keeps every report. The first title of a document holds for it.
    virtual void SetJobTitle(std::string_view title) { (void)title; }
    // Prints a text. With endLine the line is finished; without it the print position stays at the
    // end of the text, so that the next Print continues the same line.
    virtual void Print(std::string_view text, bool endLine = true) = 0;
    // An empty line (finishes a continued line first, as a bare Print would).
    virtual void EmptyLine() { Print("", true); }
    // Ends the document: everything printed since the last end is released as one document.
    virtual void EndDoc() = 0;
    // True while something has been printed that no EndDoc has released yet.
    virtual bool HasOpenDocument() const = 0;
    // The end of a print press: what was printed by it is made safe, and the student told what he must
    // know about his report now. Nothing to do for a printer that keeps nothing.
    virtual void EndOfPress() {}
};

// A printer that keeps what it receives: the lines of the open document and every ended document.
// Serves the tests and the command-line calculator.
class RecordingPrinter : public Printer {
  public:
    void SetFontName(std::string_view name) override;
    void SetFontSize(float points) override;
    void SetJobTitle(std::string_view title) override;
    void Print(std::string_view text, bool endLine = true) override;
    void EndDoc() override;
    bool HasOpenDocument() const override { return open_; }

    // The title of the open document (empty while none was set) and of every ended document.
    const std::string& JobTitle() const { return title_; }
    const std::vector<std::string>& DocumentTitles() const { return titles_; }
    // Lines of the open document; a continued line that is not finished yet is included.
    std::vector<std::string> Lines() const;
    const std::vector<std::vector<std::string>>& Documents() const { return documents_; }
    const std::string& FontName() const { return fontName_; }
    float FontSize() const { return fontSize_; }
    int FontChanges() const { return fontChanges_; }

  private:
    std::vector<std::string> lines_;
    std::string pending_;
    bool continuing_ = false;
    bool open_ = false;
    std::vector<std::vector<std::string>> documents_;
    std::string title_;
    std::vector<std::string> titles_;
    std::string fontName_;
    float fontSize_ = 0.0f;
    int fontChanges_ = 0;
};

}  // namespace heatx
