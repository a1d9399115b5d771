#include "ui/qt/qt_printer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
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
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstdio>
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

QString TwoDigits(int value) {
    return QString::number(value).rightJustified(2, QLatin1Char('0'));
}

// "FILE.pdf" for number 1, "FILE-2.pdf", "FILE-3.pdf"... for the next ones.
std::string NumberedPath(const std::string& path, int number) {
    if (number <= 1) {
        return path;
    }
    const QFileInfo info(ToQt(path));
    const QString suffix = info.suffix().isEmpty() ? QString() : QStringLiteral(".") + info.suffix();
    const QString base = info.completeBaseName() + QStringLiteral("-") + QString::number(number) + suffix;
    return FromQt(info.dir().filePath(base));
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// The first of FILE, FILE-2, FILE-3... that names no file yet.
std::string FreeName(const std::string& base) {
    for (int n = 1;; ++n) {
        const std::string path = NumberedPath(base, n);
        if (!Exists(path) || n > 100000) {
            return path;
        }
    }
}

std::string FolderOf(const std::string& path) {
    return FromQt(QFileInfo(ToQt(path)).absolutePath());
}

// Why a file cannot be written, in the student's words.
std::string WriteError(int error) {
    switch (error) {
        case ENOSPC:
            return "на диске нет места";
        case EDQUOT:
            return "исчерпана квота диска";
        case EROFS:
            return "диск доступен только для чтения";
        case EACCES:
        case EPERM:
            return "нет права на запись";
        case ENOENT:
        case ENOTDIR:
            return "папка не существует";
        case EIO:
            return "ошибка ввода-вывода";
        case EFBIG:
            return "файл слишком велик";
        default:
            return "ошибка записи (код " + std::to_string(error) + ")";
    }
}

// Why files cannot be written into a folder; empty when they can.
std::string FolderProblem(const std::string& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return "Папка " + folder + " не существует.";
    }
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        return "В папку " + folder + " нельзя записать файл: " + WriteError(errno) + ".";
    }
    return std::string();
}

bool WriteAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    std::size_t left = static_cast<std::size_t>(bytes.size());
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = EIO;
            }
            return false;
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// Gives the temporary file the first free name of FILE, FILE-2... without ever replacing a file.
bool LinkUnderFreeName(const std::string& temporary, const std::string& base, std::string& finalPath) {
    for (int n = 1; n < 100000; ++n) {
        const std::string path = NumberedPath(base, n);
        if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) {
            finalPath = path;
            return true;
        }
        if (errno == EEXIST) {
            continue;
        }
        if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
            return false;
        }
        // A file system without the no-replace rename: a hard link fails on an existing name too.
        if (::link(temporary.c_str(), path.c_str()) == 0) {
            ::unlink(temporary.c_str());
            finalPath = path;
            return true;
        }
        if (errno == EEXIST) {
            continue;
        }
        // Neither (e.g. a FAT memory stick): the name is checked just before the rename.
        if (Exists(path)) {
            continue;
        }
        if (::rename(temporary.c_str(), path.c_str()) == 0) {
            finalPath = path;
            return true;
        }
        return false;
    }
    errno = EEXIST;
    return false;
}

// Writes the whole PDF under the first free name of base: to a temporary file in the same folder,
// every write and the close checked, flushed to the disk, then renamed. On failure nothing is left
// behind and reason says why.
bool WriteWholeFile(const std::string& base, const QByteArray& pdf, std::string& finalPath,
                    std::string& reason) {
    const std::string folder = FolderOf(base);
    std::string temporary;
    int fd = -1;
    for (int n = 0; n < 100 && fd < 0; ++n) {
        temporary =
            folder + "/.heatx-report-" + std::to_string(::getpid()) + "-" + std::to_string(n) + ".part";
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        reason = WriteError(errno);
        return false;
    }
    bool ok = WriteAll(fd, pdf) && ::fsync(fd) == 0;
    int error = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && !LinkUnderFreeName(temporary, base, finalPath)) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        reason = WriteError(error);
        return false;
    }
    // The new name itself reaches the disk too.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
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
template <class Lines>
std::vector<VisualLine> WrapLines(const Lines& lines, QPaintDevice& device, double pageWidth) {
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

template <class Lines>
bool PaintLines(QPagedPaintDevice& device, const Lines& lines) {
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
template <class Lines>
bool RenderPdf(const Lines& lines, const std::string& title, QByteArray& pdf) {
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
bool SendToPrinter(const std::string& name, const std::string& title, const QByteArray& pdf,
                   std::string& reason) {
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
    sent = sent && cups->writeRequestData(CUPS_HTTP_DEFAULT, pdf.constData(),
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

const char* const QtReportPrinter::kNoticeTitle = "ОТЧЁТ";
const char* const QtReportPrinter::kFailureTitle = "ОШИБКА !";

QtReportPrinter::QtReportPrinter(const heatx::Clock& clock, QtPrinterOptions options)
    : clock_(clock), options_(std::move(options)), pressContext_(std::make_unique<QObject>()) {
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

void QtReportPrinter::SetJobTitle(std::string_view title) {
    if (!title_.empty()) {
        return;
    }
    title_ = std::string(title);
    if (journal_.IsOpen()) {
        journal_.Title(title_);
    }
}

void QtReportPrinter::Print(std::string_view text, bool endLine) {
    if (!open_) {
        open_ = true;
        BeginDocument();
    }
    if (!continuing_ || lines_.empty()) {
        lines_.emplace_back();
    }
    lines_.back().push_back(Segment{std::string(text), fontName_, fontSize_});
    continuing_ = !endLine;

    if (journal_.IsOpen()) {
        if (journalFont_ != fontName_ || journalSize_ != fontSize_) {
            journal_.Font(fontName_, fontSize_);
            journalFont_ = fontName_;
            journalSize_ = fontSize_;
        }
        journal_.Text(text, endLine);
    }
    if (!pressOpen_) {
        pressOpen_ = true;
        if (QCoreApplication::instance() != nullptr) {
            QTimer::singleShot(0, pressContext_.get(), [this] { EndOfPress(); });
        }
    }
}

void QtReportPrinter::BeginDocument() {
    plan_ = Plan{};
    journalFont_.clear();
    journalSize_ = 0.0f;
    if (!options_.journalFolder.empty()) {
        if (journal_.Begin(options_.journalFolder)) {
            if (!title_.empty()) {
                journal_.Title(title_);
            }
        } else {
            std::cerr << "heatx: журнал отчёта не удалось создать в " << options_.journalFolder << '\n';
        }
    }

    if (options_.pdfFile.empty() && options_.useSystemPrinter) {
        const std::string name = DefaultPrinterName();
        if (!name.empty()) {
            std::string reason;
            if (QueueAcceptsJobs(name, reason)) {
                plan_.toPrinter = true;
                plan_.printerName = name;
                return;
            }
            plan_.reason = reason;
        }
    }
    if (!options_.pdfFile.empty()) {
        const std::string problem = FolderProblem(FolderOf(options_.pdfFile));
        if (problem.empty()) {
            plan_.base = options_.pdfFile;
            plan_.path = FreeName(plan_.base);
            if (plan_.path != plan_.base &&
                std::find(written_.begin(), written_.end(), plan_.base) == written_.end()) {
                plan_.reason = "Файл " + plan_.base + " уже есть, он сохранён без изменений.";
            }
            return;
        }
        plan_.reason = problem;
    }
    std::string reason;
    if (!PlanDocumentsFile(plan_, reason)) {
        plan_.reason += (plan_.reason.empty() ? "" : "\n") + reason;
    }
}

bool QtReportPrinter::PlanDocumentsFile(Plan& plan, std::string& reason) {
    QString folder = ToQt(options_.documentsFolder);
    if (folder.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    }
    if (folder.isEmpty()) {
        folder = QDir::homePath();
    }
    folder = QDir(folder).absolutePath();
    if (!QDir().mkpath(folder)) {
        reason = "Папку " + FromQt(folder) + " не удалось создать.";
        plan.base.clear();
        plan.path.clear();
        return false;
    }
    const std::string problem = FolderProblem(FromQt(folder));
    if (!problem.empty()) {
        reason = problem;
        plan.base.clear();
        plan.path.clear();
        return false;
    }
    const heatx::LocalDateTime now = clock_.Now();
    const QString stamp = QString::number(now.year).rightJustified(4, QLatin1Char('0')) +
                          TwoDigits(now.month) + TwoDigits(now.day) + QStringLiteral("-") +
                          TwoDigits(now.hour) + TwoDigits(now.minute) + TwoDigits(now.second);
    plan.base =
        FromQt(QDir(folder).filePath(QStringLiteral("heatx-report-") + stamp + QStringLiteral(".pdf")));
    plan.path = FreeName(plan.base);
    return true;
}

void QtReportPrinter::EndOfPress() {
    if (!pressOpen_) {
        return;
    }
    pressOpen_ = false;
    if (journal_.IsOpen()) {
        journal_.Sync();
    }
    if (!open_ || plan_.announced || plan_.toPrinter || plan_.path.empty()) {
        return;
    }
    plan_.announced = true;
    const std::string text = (plan_.reason.empty() ? std::string() : plan_.reason + "\n") +
                             "Отчёт сохраняется в файл:\n" + plan_.path;
    if (outsideHandler_) {
        outsideHandler_([&] { Tell(text, kNoticeTitle); });
    } else {
        Tell(text, kNoticeTitle);
    }
}

bool QtReportPrinter::SaveToFile(const QByteArray& pdf, std::string& saved, std::string& reason) {
    if (!plan_.base.empty()) {
        std::string why;
        if (WriteWholeFile(plan_.base, pdf, saved, why)) {
            return true;
        }
        reason +=
            (reason.empty() ? "" : "\n") + ("Файл " + plan_.path + " не удалось записать: " + why + ".");
        std::cerr << "heatx: " << reason << '\n';
    }
    // The documents folder, unless that was the plan already.
    Plan fallback;
    std::string why;
    const std::string failedFolder = plan_.base.empty() ? std::string() : FolderOf(plan_.base);
    if (!PlanDocumentsFile(fallback, why)) {
        reason += (reason.empty() ? "" : "\n") + why;
        return false;
    }
    if (!failedFolder.empty() && FolderOf(fallback.base) == failedFolder) {
        return false;
    }
    if (WriteWholeFile(fallback.base, pdf, saved, why)) {
        return true;
    }
    reason += (reason.empty() ? "" : "\n") + ("Файл " + fallback.path + " не удалось записать: " + why + ".");
    return false;
}

void QtReportPrinter::EndDoc() {
    if (!open_) {
        return;
    }
    ++documents_;
    lastDestination_.clear();
    lastToPrinter_ = false;
    pressOpen_ = false;
    if (journal_.IsOpen()) {
        journal_.Sync();
    }

    QByteArray pdf;
    bool saved = false;
    std::string reason;
    if (!RenderPdf(lines_, title_, pdf)) {
        reason = "Страницы отчёта не удалось подготовить.";
    } else {
        if (plan_.toPrinter) {
            if (SendToPrinter(plan_.printerName, title_, pdf, reason)) {
                saved = true;
                lastToPrinter_ = true;
                lastDestination_ = plan_.printerName;
                std::cerr << "heatx: отчёт отправлен на принтер " << plan_.printerName << '\n';
            } else {
                std::cerr << "heatx: " << reason << '\n';
                plan_.announced = false;
                std::string why;
                if (!PlanDocumentsFile(plan_, why)) {
                    reason += "\n" + why;
                }
            }
        }
        std::string path;
        if (!saved && SaveToFile(pdf, path, reason)) {
            saved = true;
            lastDestination_ = path;
            written_.push_back(path);
            std::cerr << "heatx: отчёт записан в файл " << path << '\n';
        }
    }

    const Plan plan = plan_;
    lines_.clear();
    continuing_ = false;
    open_ = false;
    title_.clear();
    plan_ = Plan{};

    if (saved) {
        journal_.Discard();
        if (!lastToPrinter_ && (!plan.announced || lastDestination_ != plan.path)) {
            std::string text = reason.empty() ? (plan.announced ? std::string() : plan.reason) : reason;
            Tell((text.empty() ? std::string() : text + "\n") + "Отчёт сохранён в файл:\n" + lastDestination_,
                 kNoticeTitle);
        }
        return;
    }
    std::string text = "Отчёт не удалось сохранить.";
    if (!reason.empty()) {
        text += "\n" + reason;
    }
    if (journal_.IsOpen()) {
        text += "\nНапечатанные строки сохранены и будут восстановлены при следующем запуске программы.";
        std::cerr << "heatx: отчёт не сохранён, журнал оставлен: " << journal_.Path() << '\n';
        journal_.Keep();
    }
    std::cerr << "heatx: " << text << '\n';
    Tell(text, kFailureTitle);
}

void QtReportPrinter::Tell(const std::string& text, const std::string& title) {
    if (notice_) {
        notice_(text, title);
    }
}

// ---- Journals of reports left open by a run that died --------------------------------------------

std::vector<std::string> RecoverReportJournals(const heatx::Clock& clock, const QtPrinterOptions& options,
                                               const QtReportPrinter::NoticeHandler& notice) {
    std::vector<std::string> recovered;
    if (options.journalFolder.empty()) {
        return recovered;
    }
    for (const std::string& path : heatx::OrphanedJournals(options.journalFolder)) {
        heatx::JournalContents contents;
        if (!heatx::ReadJournal(path, contents) || contents.texts.empty()) {
            heatx::RemoveJournal(path);
            continue;
        }
        QtPrinterOptions toFile;
        toFile.documentsFolder = options.documentsFolder;
        toFile.useSystemPrinter = false;
        QtReportPrinter printer(clock, toFile);
        printer.SetJobTitle(contents.title);
        for (const heatx::JournalText& text : contents.texts) {
            printer.SetFontName(text.fontName);
            printer.SetFontSize(text.fontSize);
            printer.Print(text.text, text.endLine);
        }
        std::string failure;
        printer.OnNotice([&failure](const std::string& text, const std::string& title) {
            if (title == QtReportPrinter::kFailureTitle) {
                failure = text;
            }
        });
        printer.EndDoc();
        if (printer.LastDestination().empty()) {
            std::cerr << "heatx: незаконченный отчёт не удалось восстановить (" << path << ")\n";
            if (notice) {
                notice("Незаконченный отчёт прошлого запуска не удалось восстановить.\n" + failure,
                       QtReportPrinter::kFailureTitle);
            }
            continue;
        }
        heatx::RemoveJournal(path);
        recovered.push_back(printer.LastDestination());
        std::cerr << "heatx: незаконченный отчёт восстановлен: " << printer.LastDestination() << '\n';
        if (notice) {
            notice(
                "Прошлый запуск программы был прерван, когда отчёт ещё не был закончен.\n"
                "Напечатанные строки восстановлены и сохранены в файл:\n" +
                    printer.LastDestination(),
                QtReportPrinter::kNoticeTitle);
        }
    }
    return recovered;
}

void ConnectReportNotices(QtReportPrinter& printer, Platform& platform) {
    // The end of a press runs from the event loop, a handler of its own.
    printer.RunOutsideHandlers([&platform](const std::function<void()>& run) { platform.Guard(run); });
    printer.OnNotice([&platform](const std::string& text, const std::string& title) {
        if (!platform.Ended()) {
            platform.Raise([&] { platform.Notice(text, title); });
        }
    });
}

}  // namespace heatx::ui
