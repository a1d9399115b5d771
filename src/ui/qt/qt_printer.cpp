#include "ui/qt/qt_printer.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QString>
#include <algorithm>
#include <iostream>
#include <type_traits>

#ifdef HEATX_HAVE_CUPS
#include <cups/cups.h>
#include <dlfcn.h>
#endif

#include "ui/platform.h"
#include "ui/qt/qt_convert.h"

namespace heatx::ui {

namespace {

constexpr const char* kReportFontName = "Courier New Cyr";

// Margins of a report page, millimetres: a hundred characters of 9 pt fit between left and right.
constexpr double kSideMarginMm = 8.0;
constexpr double kTopMarginMm = 15.0;
// Resolution of the painted pages (that of a high-resolution printer).
constexpr int kDotsPerInch = 1200;

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

// ---- Painting -------------------------------------------------------------------------------------

struct Piece {
    QString text;
    QFont font;
    double x = 0.0;
};

struct VisualLine {
    std::vector<Piece> pieces;
    double height = 0.0;
    double ascent = 0.0;
};

// Splits the report lines into the lines of the page: a line wider than the page continues on the
// next line, starting under the first text after its leading blanks (its own left margin).
std::vector<VisualLine> WrapLines(const std::vector<heatx::ReportLine>& lines, QPaintDevice& device,
                                  double pageWidth) {
    std::vector<VisualLine> out;
    for (const auto& line : lines) {
        VisualLine visual;
        double indent = -1.0;
        double x = 0.0;
        for (const auto& segment : line) {
            const QFont font = ReportFont(segment.fontName, segment.fontSize);
            const QFontMetricsF metrics(font, &device);
            const QString text = ToQt(segment.text);
            if (indent < 0.0) {
                qsizetype blanks = 0;
                while (blanks < text.size() && text[blanks] == QLatin1Char(' ')) {
                    ++blanks;
                }
                indent = std::min(metrics.horizontalAdvance(text.left(blanks)), pageWidth / 2.0);
            }
            visual.height = std::max(visual.height, metrics.lineSpacing());
            visual.ascent = std::max(visual.ascent, metrics.ascent());
            Piece piece{QString(), font, x};
            for (qsizetype i = 0; i < text.size();) {
                const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
                const QString character = text.mid(i, length);
                const double width = metrics.horizontalAdvance(character);
                if (x + width > pageWidth + 0.5 && x > indent + 0.5) {
                    if (!piece.text.isEmpty()) {
                        visual.pieces.push_back(piece);
                    }
                    out.push_back(visual);
                    visual.pieces.clear();
                    x = indent;
                    piece = Piece{QString(), font, x};
                }
                piece.text += character;
                x += width;
                i += length;
            }
            if (!piece.text.isEmpty()) {
                visual.pieces.push_back(piece);
            }
        }
        if (visual.height <= 0.0) {
            const QFontMetricsF metrics(ReportFont(kReportFontName, 9.0f), &device);
            visual.height = metrics.lineSpacing();
            visual.ascent = metrics.ascent();
        }
        out.push_back(visual);
    }
    return out;
}

bool PaintLines(QPagedPaintDevice& device, const std::vector<heatx::ReportLine>& lines) {
    device.setPageMargins(QMarginsF(kSideMarginMm, kTopMarginMm, kSideMarginMm, kTopMarginMm),
                          QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    const double pageWidth = device.width();
    const double pageHeight = device.height();
    const std::vector<VisualLine> visual = WrapLines(lines, device, pageWidth);
    double y = 0.0;
    for (const VisualLine& line : visual) {
        if (y > 0.0 && y + line.height > pageHeight) {
            if (!device.newPage()) {
                painter.end();
                return false;
            }
            y = 0.0;
        }
        for (const Piece& piece : line.pieces) {
            painter.setFont(piece.font);
            painter.drawText(QPointF(piece.x, y + line.ascent), piece.text);
        }
        y += line.height;
    }
    return painter.end();
}

// The whole report as a PDF document in memory.
bool RenderPdf(const std::vector<heatx::ReportLine>& lines, const std::string& title, QByteArray& pdf) {
    QBuffer buffer(&pdf);
    if (!buffer.open(QIODevice::WriteOnly)) {
        return false;
    }
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kDotsPerInch);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setTitle(ToQt(title.empty() ? std::string("heatx") : title));
        writer.setCreator(QStringLiteral("heatx"));
        if (!PaintLines(writer, lines)) {
            return false;
        }
    }
    buffer.close();
    return !pdf.isEmpty();
}

// ---- The system printer ---------------------------------------------------------------------------

// The name of the default print queue; empty when there is none.
std::string DefaultPrinterName() {
    return FromQt(QPrinterInfo::defaultPrinterName());
}

#ifdef HEATX_HAVE_CUPS
// The print system's client library, loaded at the first print that goes to a printer: linked to
// the program it would load, with the libraries it needs, at every start, before the start screen.
struct CupsLibrary {
    decltype(&cupsGetNamedDest) getNamedDest = nullptr;
    decltype(&cupsGetOption) getOption = nullptr;
    decltype(&cupsFreeDests) freeDests = nullptr;
    decltype(&cupsCreateJob) createJob = nullptr;
    decltype(&cupsStartDocument) startDocument = nullptr;
    decltype(&cupsWriteRequestData) writeRequestData = nullptr;
    decltype(&cupsFinishDocument) finishDocument = nullptr;
    decltype(&cupsCancelJob2) cancelJob = nullptr;
    decltype(&cupsLastErrorString) lastErrorString = nullptr;

    bool Loaded() const {
        return getNamedDest && getOption && freeDests && createJob && startDocument && writeRequestData &&
               finishDocument && cancelJob && lastErrorString;
    }
};

// The library once loaded, or nullptr when it cannot be had (then no printer is used).
const CupsLibrary* Cups() {
    static const CupsLibrary* const library = []() -> const CupsLibrary* {
        void* handle = ::dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            std::cerr << "heatx: " << ::dlerror() << '\n';
            return nullptr;
        }
        static CupsLibrary loaded;
        const auto bind = [handle](auto& function, const char* symbol) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(::dlsym(handle, symbol));
        };
        bind(loaded.getNamedDest, "cupsGetNamedDest");
        bind(loaded.getOption, "cupsGetOption");
        bind(loaded.freeDests, "cupsFreeDests");
        bind(loaded.createJob, "cupsCreateJob");
        bind(loaded.startDocument, "cupsStartDocument");
        bind(loaded.writeRequestData, "cupsWriteRequestData");
        bind(loaded.finishDocument, "cupsFinishDocument");
        bind(loaded.cancelJob, "cupsCancelJob2");
        bind(loaded.lastErrorString, "cupsLastErrorString");
        return loaded.Loaded() ? &loaded : nullptr;
    }();
    return library;
}
#endif

// Whether the queue exists and accepts jobs; reason says why not.
bool QueueAcceptsJobs(const std::string& name, std::string& reason) {
#ifdef HEATX_HAVE_CUPS
    const CupsLibrary* cups = Cups();
    if (cups == nullptr) {
        reason = "Принтер " + name + " недоступен.";
        return false;
    }
    cups_dest_t* dest = cups->getNamedDest(CUPS_HTTP_DEFAULT, name.c_str(), nullptr);
    if (dest == nullptr) {
        reason = "Принтер " + name + " не найден.";
        return false;
    }
    const char* accepting = cups->getOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    const bool accepts = accepting == nullptr || std::string_view(accepting) != "false";
    cups->freeDests(1, dest);
    if (!accepts) {
        reason = "Принтер " + name + " не принимает задания.";
    }
    return accepts;
#else
    reason = "Принтер " + name + " недоступен.";
    return false;
#endif
}

// Sends the PDF as one job with its title; true only when the print system created the job and took
// the whole document.
bool SendJob(const std::string& name, const std::string& title, std::string_view pdf, std::string& reason) {
#ifdef HEATX_HAVE_CUPS
    const CupsLibrary* cups = Cups();
    if (cups == nullptr) {
        reason = "Принтер " + name + " недоступен.";
        return false;
    }
    const std::string jobTitle = title.empty() ? std::string("heatx") : title;
    const int job = cups->createJob(CUPS_HTTP_DEFAULT, name.c_str(), jobTitle.c_str(), 0, nullptr);
    if (job <= 0) {
        std::cerr << "heatx: " << cups->lastErrorString() << '\n';
        reason = "Принтер " + name + " не принял задание.";
        return false;
    }
    bool sent = cups->startDocument(CUPS_HTTP_DEFAULT, name.c_str(), job, jobTitle.c_str(), CUPS_FORMAT_PDF,
                                    1) == HTTP_STATUS_CONTINUE;
    sent = sent && cups->writeRequestData(CUPS_HTTP_DEFAULT, pdf.data(),
                                          static_cast<std::size_t>(pdf.size())) == HTTP_STATUS_CONTINUE;
    const ipp_status_t finished = cups->finishDocument(CUPS_HTTP_DEFAULT, name.c_str());
    if (!sent || finished > IPP_STATUS_OK_EVENTS_COMPLETE) {
        std::cerr << "heatx: " << cups->lastErrorString() << '\n';
        reason = "Принтер " + name + " не принял задание.";
        cups->cancelJob(CUPS_HTTP_DEFAULT, name.c_str(), job, 0);
        return false;
    }
    return true;
#else
    (void)title;
    (void)pdf;
    reason = "Принтер " + name + " недоступен.";
    return false;
#endif
}

}  // namespace

namespace {

// The user's documents folder (the home folder when the system names none), absolute.
std::string DefaultDocumentsFolder(const std::string& asked) {
    QString folder = ToQt(asked);
    if (folder.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    }
    if (folder.isEmpty()) {
        folder = QDir::homePath();
    }
    return FromQt(QDir(folder).absolutePath());
}

}  // namespace

QtReportOutput::QtReportOutput(const std::string& documentsFolder)
    : heatx::FileReportOutput(DefaultDocumentsFolder(documentsFolder)) {
    EnsureReportFontSubstitution();
}

bool QtReportOutput::Draw(const heatx::ReportDocument& document, std::string& pages) {
    QByteArray pdf;
    if (!RenderPdf(document.lines, document.title, pdf)) {
        return false;
    }
    pages.assign(pdf.constData(), static_cast<std::size_t>(pdf.size()));
    return true;
}

std::string QtReportOutput::DefaultPrinter() {
    return DefaultPrinterName();
}

bool QtReportOutput::PrinterAccepts(const std::string& printer, std::string& reason) {
    return QueueAcceptsJobs(printer, reason);
}

bool QtReportOutput::SendToPrinter(const std::string& printer, const std::string& title,
                                   std::string_view pages, std::string& reason) {
    return SendJob(printer, title, pages, reason);
}

void ConnectReportNotices(heatx::ReportKeeper& keeper, Platform& platform) {
    keeper.OnNotice([&platform](const std::string& text, const std::string& title) {
        if (!platform.Ended()) {
            platform.Raise([&] { platform.Notice(text, title); });
        }
    });
}

}  // namespace heatx::ui
