#include "ui/qt_printer.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <iostream>

#include "ui/qt_convert.h"

namespace heatx::ui {

namespace {

constexpr const char* kReportFontName = "Courier New Cyr";
constexpr const char* kFailureTitle = "ОШИБКА !";

// Margins of a report page, millimetres: a hundred characters of 9 pt fit between left and right.
constexpr double kSideMarginMm = 8.0;
constexpr double kTopMarginMm = 15.0;

// The report font has no face of its own here: it is mapped, once, to a fixed-pitch Cyrillic face of
// the same metrics (Liberation Mono is metric-compatible with Courier New), with fall-backs.
void EnsureReportFontSubstitution() {
    const QString name = QString::fromUtf8(kReportFontName);
    if (QFont::substitutes(name).isEmpty()) {
        QFont::insertSubstitutions(name, {QStringLiteral("Liberation Mono"), QStringLiteral("Courier New"),
                                          QStringLiteral("DejaVu Sans Mono")});
    }
}

QFont ReportFont(const std::string& name, float points) {
    QFont font(ToQt(name));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(points > 0.0f ? static_cast<double>(points) : 9.0);
    return font;
}

QString TwoDigits(int value) {
    return QString::number(value).rightJustified(2, QLatin1Char('0'));
}

// "FILE.pdf" for the first document, "FILE-2.pdf", "FILE-3.pdf"... for the later ones.
QString NumberedPath(const QString& path, int number) {
    if (number <= 1) {
        return path;
    }
    const QFileInfo info(path);
    const QString suffix = info.suffix().isEmpty() ? QString() : QStringLiteral(".") + info.suffix();
    const QString base = info.completeBaseName() + QStringLiteral("-") + QString::number(number) + suffix;
    return info.dir().filePath(base);
}

}  // namespace

const char* const QtReportPrinter::kFailureText =
    "Отчёт не удалось напечатать: принтер недоступен, и файл PDF не удалось записать.";

QtReportPrinter::QtReportPrinter(const heatx::Clock& clock, QtPrinterOptions options)
    : clock_(clock), options_(std::move(options)) {
    EnsureReportFontSubstitution();
}

QtReportPrinter::~QtReportPrinter() {
    if (open_) {
        // The run is over: nobody can be told any more, standard error says what happened.
        notice_ = nullptr;
        EndDoc();
    }
}

void QtReportPrinter::SetFontName(std::string_view name) {
    fontName_ = std::string(name);
}

void QtReportPrinter::SetFontSize(float points) {
    fontSize_ = points;
}

void QtReportPrinter::Print(std::string_view text, bool endLine) {
    if (!continuing_ || lines_.empty()) {
        lines_.emplace_back();
    }
    lines_.back().push_back(Segment{std::string(text), fontName_, fontSize_});
    continuing_ = !endLine;
    open_ = true;
}

void QtReportPrinter::EndDoc() {
    if (!open_) {
        return;
    }
    ++documents_;
    lastDestination_.clear();
    lastToPrinter_ = false;

    bool printed = false;
    std::string printerName;
    if (options_.pdfFile.empty() && options_.useSystemPrinter && PaintToSystemPrinter(printerName)) {
        printed = true;
        lastToPrinter_ = true;
        lastDestination_ = printerName;
        std::cerr << "heatx: отчёт отправлен на принтер " << printerName << '\n';
    }
    std::string tried;
    if (!printed && !options_.pdfFile.empty()) {
        ++namedFileDocuments_;
        const std::string path = FromQt(NumberedPath(ToQt(options_.pdfFile), namedFileDocuments_));
        tried = path;
        printed = PaintToPdf(path);
        if (printed) {
            lastDestination_ = path;
        }
    }
    if (!printed) {
        const std::string path = NextPdfPath();
        if (!path.empty()) {
            tried += (tried.empty() ? "" : ", ") + path;
            printed = PaintToPdf(path);
            if (printed) {
                lastDestination_ = path;
            }
        }
    }
    if (printed && !lastToPrinter_) {
        std::cerr << "heatx: отчёт записан в файл " << lastDestination_ << '\n';
    }

    lines_.clear();
    continuing_ = false;
    open_ = false;

    if (!printed) {
        std::cerr << "heatx: " << kFailureText << (tried.empty() ? "" : " (" + tried + ")") << '\n';
        if (notice_) {
            notice_(kFailureText, kFailureTitle);
        }
    }
}

std::string QtReportPrinter::NextPdfPath() {
    QString folder = ToQt(options_.documentsFolder);
    if (folder.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    }
    if (folder.isEmpty()) {
        folder = QDir::homePath();
    }
    if (!QDir().mkpath(folder)) {
        return std::string();
    }
    const heatx::LocalDateTime now = clock_.Now();
    const QString stamp = QString::number(now.year).rightJustified(4, QLatin1Char('0')) +
                          TwoDigits(now.month) + TwoDigits(now.day) + QStringLiteral("-") +
                          TwoDigits(now.hour) + TwoDigits(now.minute) + TwoDigits(now.second);
    const QString first =
        QDir(folder).filePath(QStringLiteral("heatx-report-") + stamp + QStringLiteral(".pdf"));
    // Two reports ended within the same second must not overwrite each other (nor an older file).
    QString path = first;
    for (int n = 2; QFileInfo::exists(path); ++n) {
        path = NumberedPath(first, n);
    }
    return FromQt(path);
}

namespace {

// Paints the lines on the printer's pages. Returns false when the output cannot be opened or
// written.
template <class Lines>
bool PaintLines(QPrinter& printer, const Lines& lines) {
    printer.setPageMargins(QMarginsF(kSideMarginMm, kTopMarginMm, kSideMarginMm, kTopMarginMm),
                           QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }

    // A line wider than the page (a printer with wide unprintable margins) is never cut: the whole
    // document is then scaled down to the widest line.
    double widest = 0.0;
    for (const auto& line : lines) {
        double width = 0.0;
        for (const auto& segment : line) {
            const QFontMetricsF metrics(ReportFont(segment.fontName, segment.fontSize), &printer);
            width += metrics.horizontalAdvance(ToQt(segment.text));
        }
        widest = std::max(widest, width);
    }
    const double pageWidth = printer.width();
    double scale = 1.0;
    if (widest > pageWidth && widest > 0.0) {
        scale = pageWidth / widest;
        painter.scale(scale, scale);
    }
    const double pageHeight = printer.height() / scale;

    double y = 0.0;
    for (const auto& line : lines) {
        double height = 0.0;
        double ascent = 0.0;
        for (const auto& segment : line) {
            const QFontMetricsF metrics(ReportFont(segment.fontName, segment.fontSize), &printer);
            height = std::max(height, metrics.lineSpacing());
            ascent = std::max(ascent, metrics.ascent());
        }
        if (y > 0.0 && y + height > pageHeight) {
            if (!printer.newPage()) {
                painter.end();
                return false;
            }
            y = 0.0;
        }
        double x = 0.0;
        for (const auto& segment : line) {
            const QFont font = ReportFont(segment.fontName, segment.fontSize);
            const QString text = ToQt(segment.text);
            painter.setFont(font);
            painter.drawText(QPointF(x, y + ascent), text);
            x += QFontMetricsF(font, &printer).horizontalAdvance(text);
        }
        y += height;
    }
    return painter.end();
}

}  // namespace

bool QtReportPrinter::PaintToPdf(const std::string& path) {
    const QFileInfo info(ToQt(path));
    if (!info.dir().exists()) {
        return false;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(ToQt(path));
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(QStringLiteral("heatx"));
    printer.setCreator(QStringLiteral("heatx"));
    if (!PaintLines(printer, lines_)) {
        return false;
    }
    return QFileInfo(ToQt(path)).size() > 0;
}

bool QtReportPrinter::PaintToSystemPrinter(std::string& printerName) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        return false;
    }
    QPrinter printer(info, QPrinter::HighResolution);
    if (!printer.isValid() || printer.outputFormat() != QPrinter::NativeFormat) {
        return false;
    }
    printer.setDocName(QStringLiteral("heatx"));
    printerName = FromQt(info.printerName());
    return PaintLines(printer, lines_);
}

}  // namespace heatx::ui
