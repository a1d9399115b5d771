// The real printer: reports written to PDF files, read back as text and compared with what the
// recording printer received; continued lines, page breaks, several documents of one run, the
// fall-back to the documents folder and the failure message.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "evaporator_test_support.h"
#include "methods/calc.h"
#include "report_test_support.h"
#include "reports/journal.h"
#include "reports/layout.h"
#include "reports/report_pages.h"

namespace heatx::ui::testing {
namespace {

// Both printers receive the same calls.
class TeePrinter : public heatx::Printer {
  public:
    TeePrinter(heatx::Printer& a, heatx::Printer& b) : a_(a), b_(b) {}
    void SetFontName(std::string_view name) override {
        a_.SetFontName(name);
        b_.SetFontName(name);
    }
    void SetFontSize(float points) override {
        a_.SetFontSize(points);
        b_.SetFontSize(points);
    }
    void Print(std::string_view text, bool endLine) override {
        a_.Print(text, endLine);
        b_.Print(text, endLine);
    }
    void EndDoc() override {
        a_.EndDoc();
        b_.EndDoc();
    }
    bool HasOpenDocument() const override { return a_.HasOpenDocument(); }

  private:
    heatx::Printer& a_;
    heatx::Printer& b_;
};

struct PdfText {
    bool available = false;
    std::vector<std::vector<std::string>> pages;  // lines of each page, trailing blanks removed
};

std::string TrimRight(std::string line) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) {
        line.pop_back();
    }
    return line;
}

// The text of a PDF file as pdftotext lays it out in 9-point fixed-pitch columns.
PdfText ReadPdf(const QString& path) {
    PdfText result;
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
        return result;
    }
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-fixed"),
                                                QStringLiteral("5.4"), path, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext failed on " << path.toStdString() << ": "
                      << process.readAllStandardError().toStdString();
        return result;
    }
    result.available = true;
    const std::string text = process.readAllStandardOutput().toStdString();
    std::vector<std::string> page;
    std::string line;
    for (char ch : text) {
        if (ch == '\f') {
            if (!line.empty()) {
                page.push_back(TrimRight(line));
                line.clear();
            }
            result.pages.push_back(page);
            page.clear();
        } else if (ch == '\n') {
            page.push_back(TrimRight(line));
            line.clear();
        } else {
            line += ch;
        }
    }
    if (!line.empty()) {
        page.push_back(TrimRight(line));
    }
    if (!page.empty()) {
        result.pages.push_back(page);
    }
    // Empty lines at the ends of a page carry no text.
    for (auto& p : result.pages) {
        while (!p.empty() && p.back().empty()) {
            p.pop_back();
        }
        while (!p.empty() && p.front().empty()) {
            p.erase(p.begin());
        }
    }
    while (!result.pages.empty() && result.pages.back().empty()) {
        result.pages.pop_back();
    }
    return result;
}

// The lines with the indent common to all non-empty lines removed and trailing blanks cut.
std::vector<std::string> Normalised(const std::vector<std::string>& lines) {
    std::size_t indent = std::string::npos;
    for (const auto& line : lines) {
        const std::size_t first = line.find_first_not_of(' ');
        if (first != std::string::npos) {
            indent = std::min(indent, first);
        }
    }
    std::vector<std::string> out;
    for (const auto& line : lines) {
        std::string trimmed = TrimRight(line);
        out.push_back(trimmed.size() > indent && indent != std::string::npos
                          ? trimmed.substr(indent)
                          : std::string(TrimRight(trimmed)));
    }
    return out;
}

std::vector<std::string> Flatten(const PdfText& pdf) {
    std::vector<std::string> all;
    for (const auto& page : pdf.pages) {
        all.insert(all.end(), page.begin(), page.end());
    }
    return all;
}

class PrinterPdfTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString PathOf(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    QtPrinterOptions PdfOptions(const QString& file) const {
        QtPrinterOptions options;
        options.pdfFile = file.toStdString();
        options.documentsFolder = dir.filePath(QStringLiteral("documents")).toStdString();
        options.useSystemPrinter = false;
        return options;
    }

    QTemporaryDir dir;
    heatx::FixedClock clock{kTestMoment};
};

TEST_F(PrinterPdfTest, EvaporatorReportReadsBackAsTheRecordedLines) {
    const QString file = PathOf("report.pdf");
    QtReportPrinter pdf(clock, PdfOptions(file));
    RecordingPrinter recording;
    TeePrinter both(recording, pdf);

    DesignData data;
    StartReferenceTask(data);
    for (const char* height : {"4", "10"}) {
        data.EvaporatorTexts[kTubeHeightSlot] = height;
        data.Values[kTubeHeightSlot] = ReadValue(height);
        CalcEvaporator(data);
        PrintEvaporatorResult(data, both, clock);
    }
    PrintSignatureRule(both, 66);
    const std::vector<std::string> expected = recording.Lines();
    both.EndDoc();

    EXPECT_FALSE(pdf.HasOpenDocument());
    EXPECT_EQ(pdf.LastDestination(), file.toStdString());
    ASSERT_TRUE(QFileInfo::exists(file));
    const PdfText text = ReadPdf(file);
    if (!text.available) {
        GTEST_SKIP() << "pdftotext is not installed";
    }
    ASSERT_EQ(text.pages.size(), 1u);
    std::vector<std::string> want = Normalised(expected);
    while (!want.empty() && want.back().empty()) {
        want.pop_back();  // the empty lines after the signature rule leave no text
    }
    EXPECT_EQ(Normalised(text.pages[0]), want);
    EXPECT_EQ(CountLinesContaining(text.pages[0], kReportRowHeight4 + 12), 1);
}

TEST_F(PrinterPdfTest, ContinuedLinesStayOnOneLine) {
    const QString file = PathOf("continued.pdf");
    {
        QtReportPrinter pdf(clock, PdfOptions(file));
        pdf.SetFontName("Courier New Cyr");
        pdf.SetFontSize(9.0f);
        pdf.Print("  НАРУЖНЫЙ ДИАМЕТР", false);
        pdf.Print("   0.025 М", false);
        pdf.Print(" |end");
        pdf.Print("  next line");
        pdf.EndDoc();
    }
    const PdfText text = ReadPdf(file);
    if (!text.available) {
        GTEST_SKIP() << "pdftotext is not installed";
    }
    ASSERT_EQ(text.pages.size(), 1u);
    EXPECT_EQ(Normalised(text.pages[0]),
              (std::vector<std::string>{"НАРУЖНЫЙ ДИАМЕТР   0.025 М |end", "next line"}));
}

TEST_F(PrinterPdfTest, LongReportsBreakIntoPagesWithoutLosingALine) {
    const QString file = PathOf("long.pdf");
    QtReportPrinter pdf(clock, PdfOptions(file));
    pdf.SetFontName("Courier New Cyr");
    pdf.SetFontSize(9.0f);
    std::vector<std::string> printed;
    for (int i = 1; i <= 150; ++i) {
        printed.push_back("            строка " + std::to_string(i));
        pdf.Print(printed.back());
    }
    pdf.EndDoc();

    const PdfText text = ReadPdf(file);
    if (!text.available) {
        GTEST_SKIP() << "pdftotext is not installed";
    }
    EXPECT_GE(text.pages.size(), 2u);
    for (const auto& page : text.pages) {
        EXPECT_LE(page.size(), 80u) << "each page holds what fits on it";
    }
    EXPECT_EQ(Normalised(Flatten(text)), Normalised(printed));
}

TEST_F(PrinterPdfTest, EveryDocumentOfARunGetsItsOwnFile) {
    const QString file = PathOf("task.pdf");
    QtReportPrinter pdf(clock, PdfOptions(file));
    EXPECT_FALSE(pdf.HasOpenDocument());
    pdf.EndDoc();  // nothing printed: no document, no file
    EXPECT_EQ(pdf.DocumentCount(), 0);
    EXPECT_FALSE(QFileInfo::exists(file));

    pdf.Print("            первый отчёт");
    EXPECT_TRUE(pdf.HasOpenDocument());
    pdf.EndDoc();
    pdf.Print("            второй отчёт");
    pdf.EndDoc();

    EXPECT_EQ(pdf.DocumentCount(), 2);
    EXPECT_EQ(pdf.LastDestination(), PathOf("task-2.pdf").toStdString());
    const PdfText first = ReadPdf(file);
    const PdfText second = ReadPdf(PathOf("task-2.pdf"));
    if (!first.available) {
        GTEST_SKIP() << "pdftotext is not installed";
    }
    EXPECT_EQ(Normalised(Flatten(first)), (std::vector<std::string>{"первый отчёт"}));
    EXPECT_EQ(Normalised(Flatten(second)), (std::vector<std::string>{"второй отчёт"}));
}

TEST_F(PrinterPdfTest, WithoutANamedFileReportsGoToTheDocumentsFolderNamedByTheTime) {
    QtPrinterOptions options;
    options.documentsFolder = dir.filePath(QStringLiteral("not/yet/there")).toStdString();
    options.useSystemPrinter = false;
    QtReportPrinter pdf(clock, options);
    pdf.Print("            отчёт");
    pdf.EndDoc();
    pdf.Print("            ещё отчёт в ту же секунду");
    pdf.EndDoc();

    const QString folder = dir.filePath(QStringLiteral("not/yet/there"));
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/heatx-report-20240315-103000.pdf")));
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/heatx-report-20240315-103000-2.pdf")))
        << "a second report of the same second does not overwrite the first";
}

TEST_F(PrinterPdfTest, AnUnwritableFileFallsBackToTheDocumentsFolder) {
    QtPrinterOptions options = PdfOptions(PathOf("missing-folder/report.pdf"));
    QtReportPrinter pdf(clock, options);
    std::vector<std::string> notices;
    pdf.OnNotice([&notices](const std::string& text, const std::string&) { notices.push_back(text); });
    pdf.Print("            отчёт");
    pdf.EndDoc();
    const std::string fallback =
        dir.filePath(QStringLiteral("documents/heatx-report-20240315-103000.pdf")).toStdString();
    EXPECT_EQ(pdf.LastDestination(), fallback);
    // The student is told why and where, not only standard error.
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find(PathOf("missing-folder").toStdString() + " не существует"), std::string::npos)
        << notices[0];
    EXPECT_NE(notices[0].find(fallback), std::string::npos) << notices[0];
}

TEST_F(PrinterPdfTest, WhenNothingCanBeWrittenTheStudentIsToldAndPrintingGoesOn) {
    // A plain file where the folders should be: neither the named file nor the folder can be made.
    QFile blocker(PathOf("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QtPrinterOptions options;
    options.pdfFile = PathOf("blocker/report.pdf").toStdString();
    options.documentsFolder = PathOf("blocker/documents").toStdString();
    options.useSystemPrinter = false;
    QtReportPrinter pdf(clock, options);
    std::vector<std::pair<std::string, std::string>> notices;
    pdf.OnNotice(
        [&notices](const std::string& text, const std::string& title) { notices.emplace_back(text, title); });

    pdf.Print("            отчёт");
    pdf.EndDoc();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].second, "ОШИБКА !");
    EXPECT_TRUE(notices[0].first.starts_with("Отчёт не удалось сохранить.")) << notices[0].first;
    EXPECT_FALSE(pdf.HasOpenDocument());
    EXPECT_TRUE(pdf.LastDestination().empty());

    // The next task prints again as usual.
    pdf.Print("            следующий отчёт");
    EXPECT_TRUE(pdf.HasOpenDocument());
}

TEST_F(PrinterPdfTest, AnOpenDocumentIsReleasedWhenThePrinterGoesAway) {
    const QString file = PathOf("at-exit.pdf");
    {
        QtReportPrinter pdf(clock, PdfOptions(file));
        pdf.Print("            не потеряно", false);
    }
    const PdfText text = ReadPdf(file);
    if (!text.available) {
        GTEST_SKIP() << "pdftotext is not installed";
    }
    EXPECT_EQ(Normalised(Flatten(text)), (std::vector<std::string>{"не потеряно"}));
}

TEST_F(PrinterPdfTest, TheReportFontIsAFixedPitchCyrillicFace) {
    QtReportPrinter pdf(clock, PdfOptions(PathOf("unused.pdf")));
    EXPECT_FALSE(QFont::substitutes(QStringLiteral("Courier New Cyr")).isEmpty());
    QFont font(QStringLiteral("Courier New Cyr"));
    font.setPointSizeF(9.0);
    const QFontInfo info(font);
    EXPECT_TRUE(info.fixedPitch()) << info.family().toStdString();
}

// ---- Where a report goes and what the student is told ------------------------------------------

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Files of a folder, hidden ones (a temporary file left behind) included.
QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

class ReportNoticeTest : public PrinterPdfTest {
  protected:
    void Listen(QtReportPrinter& printer) {
        printer.OnNotice(
            [this](const std::string& text, const std::string& title) { notices.emplace_back(text, title); });
    }
    std::vector<std::pair<std::string, std::string>> notices;
};

TEST_F(ReportNoticeTest, TheFirstPressOfADocumentGoingToAFileTellsWhereAndLaterPressesSayNothing) {
    const QString file = PathOf("task.pdf");
    QtReportPrinter pdf(clock, PdfOptions(file));
    Listen(pdf);
    pdf.Print("            первое нажатие");
    EXPECT_TRUE(notices.empty()) << "told when the press ends, not in the middle of it";
    pdf.EndOfPress();  // the results screen ends its press
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].first, "Отчёт сохраняется в файл:\n" + file.toStdString());
    EXPECT_EQ(notices[0].second, "ОТЧЁТ");

    pdf.Print("            второе нажатие");
    pdf.EndOfPress();
    pdf.EndDoc();
    EXPECT_EQ(notices.size(), 1u) << "later presses and the end of the document say nothing";
    EXPECT_EQ(pdf.LastDestination(), file.toStdString());

    // The next document is a new one: told again, with its own name.
    pdf.Print("            следующая задача");
    pdf.EndOfPress();
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[1].first, "Отчёт сохраняется в файл:\n" + PathOf("task-2.pdf").toStdString());
}

TEST_F(ReportNoticeTest, AnExistingFileIsKeptAndTheReportTakesTheNextFreeName) {
    const QString file = PathOf("report.pdf");
    for (const char* name : {"report.pdf", "report-2.pdf"}) {
        QFile old(PathOf(name));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("earlier run");
    }
    QtReportPrinter pdf(clock, PdfOptions(file));
    Listen(pdf);
    pdf.Print("            новый отчёт");
    pdf.EndOfPress();
    pdf.EndDoc();

    EXPECT_EQ(Contents(file), QByteArray("earlier run"));
    EXPECT_EQ(Contents(PathOf("report-2.pdf")), QByteArray("earlier run"));
    EXPECT_EQ(pdf.LastDestination(), PathOf("report-3.pdf").toStdString());
    EXPECT_TRUE(Contents(PathOf("report-3.pdf")).startsWith("%PDF"));
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].first.find("Файл " + file.toStdString() + " уже есть"), std::string::npos)
        << notices[0].first;
    EXPECT_NE(notices[0].first.find(PathOf("report-3.pdf").toStdString()), std::string::npos);
}

TEST_F(ReportNoticeTest, AFileTakenWhileTheTaskWentOnIsKeptAndTheStudentToldTheNewName) {
    const QString file = PathOf("report.pdf");
    QtReportPrinter pdf(clock, PdfOptions(file));
    Listen(pdf);
    pdf.Print("            отчёт");
    pdf.EndOfPress();
    ASSERT_EQ(notices.size(), 1u);
    {
        QFile other(file);  // another program writes the announced name meanwhile
        ASSERT_TRUE(other.open(QIODevice::WriteOnly));
        other.write("other");
    }
    pdf.EndDoc();
    EXPECT_EQ(Contents(file), QByteArray("other"));
    EXPECT_EQ(pdf.LastDestination(), PathOf("report-2.pdf").toStdString());
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_NE(notices[1].first.find(PathOf("report-2.pdf").toStdString()), std::string::npos);
    EXPECT_FALSE(FilesIn(dir.path()).join(QLatin1Char(' ')).contains(QStringLiteral(".part")));
}

TEST_F(ReportNoticeTest, WithoutAPrinterTheFileInTheDocumentsFolderIsToldAtTheFirstPress) {
    QtPrinterOptions options;
    options.documentsFolder = PathOf("documents").toStdString();
    options.useSystemPrinter = false;
    QtReportPrinter pdf(clock, options);
    Listen(pdf);
    pdf.Print("            отчёт");
    EXPECT_EQ(pdf.PlannedFile(), PathOf("documents/heatx-report-20240315-103000.pdf").toStdString());
    pdf.EndOfPress();
    pdf.EndDoc();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].first, "Отчёт сохраняется в файл:\n" + pdf.LastDestination());
}

// ---- Long lines, titles ---------------------------------------------------------------------------

TEST_F(PrinterPdfTest, ALongLineWrapsAtItsMarginInNinePointText) {
    const QString file = PathOf("long.pdf");
    QtReportPrinter pdf(clock, PdfOptions(file));
    const std::string value(10000, '0');
    pdf.Print("            ПОСЛЕДНЕЕ ЗНАЧЕНИЕ  0.683" + value);
    pdf.Print("            следующая строка");
    pdf.EndDoc();
    const PdfText text = ReadPdf(file);
    if (!text.available) {
        GTEST_SKIP() << "pdftotext is not installed";
    }
    const std::vector<std::string> lines = Normalised(Flatten(text));
    ASSERT_GT(lines.size(), 100u) << "the line continues over many lines instead of shrinking the font";
    std::size_t zeros = 0;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        SCOPED_TRACE(i);
        // 9 pt characters of 5.4 pt: about a hundred to the line of A4, the margin kept on every one.
        EXPECT_LE(QString::fromStdString(lines[i]).size(), 90);
        EXPECT_NE(lines[i].front(), ' ') << "continued at the same left margin";
        zeros += static_cast<std::size_t>(std::count(lines[i].begin(), lines[i].end(), '0'));
    }
    EXPECT_EQ(zeros, value.size() + 1) << "not a character lost";
    EXPECT_EQ(lines.back(), "следующая строка");
}

TEST_F(PrinterPdfTest, TheDocumentCarriesTheJobTitle) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty()) {
        GTEST_SKIP() << "pdfinfo is not installed";
    }
    const QString file = PathOf("titled.pdf");
    QtReportPrinter pdf(clock, PdfOptions(file));
    pdf.SetJobTitle("Расчет испарителя - Студент - 2024-03-15 10:30:00");
    pdf.Print("            отчёт");
    pdf.SetJobTitle("a second page head keeps the first title");
    pdf.EndDoc();
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {file});
    ASSERT_TRUE(info.waitForFinished(30000));
    EXPECT_TRUE(QString::fromUtf8(info.readAllStandardOutput())
                    .contains(QStringLiteral("Расчет испарителя - Студент - 2024-03-15 10:30:00")));
}

// ---- The journal ----------------------------------------------------------------------------------

TEST_F(ReportNoticeTest, TheJournalHoldsTheOpenDocumentAndGoesWhenItIsSaved) {
    QtPrinterOptions options = PdfOptions(PathOf("report.pdf"));
    options.journalFolder = PathOf("journal").toStdString();
    QtReportPrinter pdf(clock, options);
    pdf.SetJobTitle("Расчет холодильника - Студент - 2024-03-15 10:30:00");
    pdf.Print("            строка", false);
    pdf.Print(" продолжение");
    const std::string journal = pdf.JournalPath();
    ASSERT_FALSE(journal.empty());
    EXPECT_TRUE(heatx::OrphanedJournals(options.journalFolder).empty()) << "held while the program runs";

    heatx::JournalContents contents;
    ASSERT_TRUE(heatx::ReadJournal(journal, contents));
    EXPECT_EQ(contents.title, "Расчет холодильника - Студент - 2024-03-15 10:30:00");
    ASSERT_EQ(contents.texts.size(), 2u);
    EXPECT_EQ(contents.texts[0].text, "            строка");
    EXPECT_FALSE(contents.texts[0].endLine);

    pdf.EndDoc();
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(journal)));
}

TEST_F(ReportNoticeTest, AJournalLeftByADeadRunBecomesAReportInTheDocumentsFolder) {
    QtPrinterOptions options;
    options.documentsFolder = PathOf("documents").toStdString();
    options.journalFolder = PathOf("journal").toStdString();
    {
        heatx::ReportJournal journal;  // what a run that died leaves behind
        ASSERT_TRUE(journal.Begin(options.journalFolder));
        journal.Font("Courier New Cyr", 9.0f);
        journal.Text("            15 марта 2024 г.                Расчет испарителя", true);
        journal.Text("            Студент", true);
        journal.Keep();
    }
    const std::vector<std::string> files = RecoverReportJournals(
        clock, options, [this](auto& text, auto& title) { notices.emplace_back(text, title); });
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0], PathOf("documents/heatx-report-20240315-103000.pdf").toStdString());
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].first.find(files[0]), std::string::npos) << notices[0].first;
    EXPECT_TRUE(heatx::OrphanedJournals(options.journalFolder).empty()) << "the journal is removed";

    const PdfText text = ReadPdf(QString::fromStdString(files[0]));
    if (!text.available) {
        GTEST_SKIP() << "pdftotext is not installed";
    }
    EXPECT_EQ(Normalised(Flatten(text)),
              (std::vector<std::string>{"15 марта 2024 г.                Расчет испарителя", "Студент"}));
}

}  // namespace
}  // namespace heatx::ui::testing
