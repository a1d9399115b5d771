// The heatx program: the start screen, and every window after it.
//
// Usage: heatx [--help] [--demo] [--print-to FILE] [Qt options]. Exit codes: 0 after a normal end of the run,
// 1 after a fault in a window handler, 64 for an unknown option, 128 + the signal's number after SIGTERM,
// SIGINT or SIGHUP (the open report is ended first).
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <cerrno>
#include <csignal>
#include <iostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "heatx_version.h"
#include "navigation/start_forms.h"
#include "reports/clock.h"
#include "reports/journal.h"
#include "reports/printer.h"
#include "reports/report_keeper.h"
#include "results/results_forms.h"
#include "ui/platform.h"
#include "ui/qt/desktop.h"
#include "ui/qt/qt_printer.h"
#include "ui/qt/qt_services.h"
#include "ui/run_context.h"

namespace {

constexpr int kUsageError = 64;

constexpr const char* kUsage =
    "heatx - расчёт кожухотрубных теплообменников (учебная программа)\n"
    "heatx - thermal design of shell-and-tube heat exchangers (teaching program)\n"
    "\n"
    "Использование / Usage:\n"
    "  heatx            запуск программы / start the program\n"
    "  heatx --help     эта справка / this help\n"
    "  heatx --version  версия программы / the program's version\n"
    "  heatx --demo     демонстрация: окна ввода предлагают эталонные значения (Enter)\n"
    "                   / demonstration: the input boxes offer the reference values (Enter)\n"
    "  heatx --print-to ФАЙЛ.pdf\n"
    "                   отчёты записываются в файл PDF, а не на принтер\n"
    "                   / reports are written to this PDF file instead of the printer\n"
    "\n"
    "Без --print-to отчёт печатается на принтере по умолчанию, а если его нет, записывается\n"
    "в папку документов как heatx-report-ГГГГММДД-ЧЧММСС.pdf; путь файла выводится в stderr.\n"
    "Without --print-to a report goes to the default printer or, when there is none, to\n"
    "heatx-report-YYYYMMDD-HHMMSS.pdf in the documents folder; its path is written to stderr.\n"
    "\n"
    "Принимаются также стандартные параметры Qt (например, -platform offscreen).\n"
    "Qt's standard options (e.g. -platform offscreen) are accepted as well.\n";

// Qt's own command-line options, which QApplication takes out of the argument list: those that are
// followed by a value and those that stand alone.
bool IsQtOptionWithValue(std::string_view name) {
    for (const char* known : {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
                              "geometry", "qwindowicon", "icon", "qwindowtitle", "title", "session",
                              "display", "name", "style", "stylesheet", "visual", "ncols"}) {
        if (name == known) {
            return true;
        }
    }
    return false;
}

bool IsQtFlag(std::string_view name) {
    for (const char* known :
         {"reverse", "widgetcount", "nograb", "dograb", "cmap", "sync", "testability", "qmljsdebugger"}) {
        if (name == known) {
            return true;
        }
    }
    return false;
}

struct CommandLine {
    bool help = false;
    bool demo = false;
    // The PDF file of the reports (--print-to FILE); empty: the printer.
    std::string printTo;
    bool printToMissing = false;
    // The first argument that is neither the program's nor Qt's; empty when none.
    std::string unknown;
};

// Reads the arguments before QApplication sees them, so that the help and the refusal of an unknown
// option work without a display.
CommandLine ParseCommandLine(int argc, char** argv) {
    CommandLine line;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            line.help = true;
            continue;
        }
        if (arg == "--demo") {
            line.demo = true;
            continue;
        }
        if (arg == "--print-to") {
            if (i + 1 < argc) {
                line.printTo = argv[++i];
            }
            line.printToMissing = line.printTo.empty();
            continue;
        }
        if (arg.starts_with("--print-to=")) {
            line.printTo = std::string(arg.substr(std::string_view("--print-to=").size()));
            line.printToMissing = line.printTo.empty();
            continue;
        }
        // Qt accepts its options with one or two dashes, and a value after "=" or as the next argument.
        std::string_view name = arg;
        if (name.starts_with("--")) {
            name.remove_prefix(2);
        } else if (name.starts_with("-")) {
            name.remove_prefix(1);
        } else {
            if (line.unknown.empty()) {
                line.unknown = std::string(arg);
            }
            continue;
        }
        const std::size_t equals = name.find('=');
        const bool valueAttached = equals != std::string_view::npos;
        if (valueAttached) {
            name = name.substr(0, equals);
        }
        if (IsQtOptionWithValue(name)) {
            if (!valueAttached) {
                ++i;
            }
            continue;
        }
        if (IsQtFlag(name)) {
            continue;
        }
        if (line.unknown.empty()) {
            line.unknown = std::string(arg);
        }
    }
    return line;
}

// heatx --version, anywhere among the arguments except as the file name after --print-to.
bool AsksVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--print-to") {
            ++i;
        } else if (arg == "--version") {
            return true;
        }
    }
    return false;
}

// ---- The end of the run on SIGTERM, SIGINT and SIGHUP -------------------------------------------
// The handler only writes the signal's number into a pipe; the event loop reads it and ends the run
// there, as the window on screen would end it (the evaporator results window closes its report with
// the signature rule), so that the report keeps every printed line.

int endSignalPipe[2] = {-1, -1};
volatile std::sig_atomic_t endSignal = 0;

extern "C" void OnEndSignal(int number) {
    const int savedErrno = errno;
    // The first signal ends the run: standard error and the exit status name it, whatever follows.
    if (endSignal == 0) {
        endSignal = number;
    }
    const unsigned char byte = static_cast<unsigned char>(number);
    if (::write(endSignalPipe[1], &byte, 1) < 0) {
        // The pipe is full: an end is already on its way.
    }
    errno = savedErrno;
}

void EndRunOnSignal(heatx::ui::Platform& platform, heatx::ReportKeeper& printer) {
    // Nobody waits for an answer at a logout: where the report went is told on standard error only.
    printer.OnNotice(nullptr);
    heatx::ui::FormRegistry& forms = platform.Forms();
    if (forms.IsLoaded<heatx::Form11>() && forms.Get<heatx::Form11>().Visible()) {
        forms.Get<heatx::Form11>().OnCloseButton();
    }
    platform.EndProgram();
}

void EndRunOnSignals(heatx::ui::Platform& platform, heatx::ReportKeeper& printer, QObject& owner) {
    if (::pipe2(endSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::cerr << "heatx: сигналы завершения не перехватываются\n";
        return;
    }
    auto* notifier = new QSocketNotifier(endSignalPipe[0], QSocketNotifier::Read, &owner);
    QObject::connect(notifier, &QSocketNotifier::activated, &owner, [&platform, &printer] {
        unsigned char bytes[16];
        while (::read(endSignalPipe[0], bytes, sizeof bytes) > 0) {
        }
        std::cerr << "heatx: получен сигнал " << static_cast<int>(endSignal) << ", работа завершается\n";
        platform.Guard([&platform, &printer] { EndRunOnSignal(platform, printer); });
    });
    struct sigaction action {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : {SIGTERM, SIGINT, SIGHUP}) {
        ::sigaction(number, &action, nullptr);
    }
}

// ---- The journal of the open report --------------------------------------------------------------

// Where the journals are kept, best first: the program's data folder, then the user's runtime folder
// (memory, but it survives the program), for when the first cannot be written (a full home disk).
std::vector<std::string> ReportJournalFolders() {
    std::vector<std::string> folders;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (!data.isEmpty()) {
        folders.push_back(QDir(data).filePath(QStringLiteral("journal")).toStdString());
    }
    const QString runtime = QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR"));
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime)) {
        folders.push_back(QDir(runtime).filePath(QStringLiteral("heatx-journal")).toStdString());
    }
    return folders;
}

}  // namespace

int main(int argc, char** argv) {
    if (AsksVersion(argc, argv)) {
        std::cout << heatx::VersionText("heatx") << std::flush;
        return std::cout ? 0 : 74;
    }
    const CommandLine options = ParseCommandLine(argc, argv);
    if (options.help) {
        std::cout << kUsage;
        return 0;
    }
    if (!options.unknown.empty()) {
        std::cerr << "heatx: неизвестный параметр / unknown option: " << options.unknown << '\n'
                  << "heatx --help: справка / usage\n";
        return kUsageError;
    }
    if (options.printToMissing) {
        std::cerr << "heatx: после --print-to нужно имя файла / --print-to needs a file name\n"
                  << "heatx --help: справка / usage\n";
        return kUsageError;
    }

    // XWayland where a Wayland session offers it (the designed window places hold); see desktop.h.
    heatx::ui::ChoosePlatformPlugin();
    QApplication app(argc, argv);
    heatx::ui::ConfigureApplication(app);

    // ---- The reports (set up here, in this one place) -------------------------------------------------
    // The keeper owns each report's life; Qt draws the pages and hands them to the system's default
    // printer or writes them to a PDF file (--print-to FILE, or one in the documents folder).
    heatx::SystemClock reportClock;
    heatx::ReportKeeperOptions reportOptions;
    if (!options.printTo.empty()) {
        const QFileInfo file(QString::fromStdString(options.printTo));
        reportOptions.pdfFile = file.absoluteFilePath().toStdString();
    }
    heatx::ui::QtReportOutput reportOutput;
    heatx::FolderJournalStore journals(ReportJournalFolders());
    heatx::ReportKeeper printer(reportClock, reportOutput, &journals, reportOptions);
    if (qEnvironmentVariableIsSet("HEATX_TEST_KILL_AFTER_SAVING")) {
        // The tests' way to stop the program where no handler runs, between a saved report and the
        // removal of its journal.
        printer.AfterSaving([] { ::raise(SIGKILL); });
    }
    // -------------------------------------------------------------------------------------------------

    heatx::ui::DesktopPlatform desktop(printer);
    heatx::ui::Platform& platform = desktop.Get();
    EndRunOnSignals(platform, printer, app);
    // Journals left by a run that died with a report open become files in the documents folder, once
    // the end signals are handled (a signal during the recovery ends the run as soon as it is done); the
    // notices saying where are shown over the start screen.
    std::vector<std::pair<std::string, std::string>> recoveryNotices;
    printer.OnNotice([&recoveryNotices](const std::string& text, const std::string& title) {
        recoveryNotices.emplace_back(text, title);
    });
    printer.Recover();
    // Where a report goes (when not to the printer) and what went wrong is told to the student; the
    // task goes on. Once the run has ended nothing is asked any more (standard error has it).
    heatx::ui::ConnectReportNotices(printer, platform);

    heatx::RunContext run(platform);
    run.demonstration = options.demo;

    // The run begins with the start screen and nothing else.
    platform.Guard([&platform] { platform.Forms().Get<heatx::Form1>().Show(); });
    for (const auto& [text, title] : recoveryNotices) {
        platform.Guard([&] { platform.Notice(text, title); });
    }
    if (platform.Ended()) {
        return endSignal != 0 ? 128 + endSignal : platform.ExitCode();
    }
    const int code = QApplication::exec();
    return endSignal != 0 ? 128 + endSignal : code;
}
