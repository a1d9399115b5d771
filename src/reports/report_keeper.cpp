#include "reports/report_keeper.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <utility>

namespace heatx {

namespace {

std::string TwoDigits(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

std::string Joined(const std::string& first, const std::string& second) {
    if (first.empty()) {
        return second;
    }
    return second.empty() ? first : first + "\n" + second;
}

// The document a journal holds.
ReportDocument DocumentOf(const JournalContents& contents) {
    ReportDocument document;
    document.title = contents.title;
    bool continuing = false;
    for (const JournalText& text : contents.texts) {
        if (!continuing || document.lines.empty()) {
            document.lines.emplace_back();
        }
        document.lines.back().push_back(ReportSegment{text.text, text.fontName, text.fontSize});
        continuing = !text.endLine;
    }
    return document;
}

}  // namespace

// ---- Outputs ---------------------------------------------------------------------------------------

bool ReportOutput::PrinterAccepts(const std::string& printer, std::string& reason) {
    reason = "Принтер " + printer + " недоступен.";
    return false;
}

bool ReportOutput::SendToPrinter(const std::string& printer, const std::string& title, std::string_view pages,
                                 std::string& reason) {
    (void)title;
    (void)pages;
    reason = "Принтер " + printer + " недоступен.";
    return false;
}

std::string FileReportOutput::FolderProblem(const std::string& folder, bool create) {
    return heatx::FolderProblem(folder, create);
}

std::string FileReportOutput::FreeName(const std::string& base) {
    return FirstFreeName(base);
}

bool FileReportOutput::WriteFile(const std::string& base, std::string_view pages,
                                 const BeforeNaming& beforeNaming, std::string& finalPath,
                                 std::string& reason) {
    return WriteWholeFile(base, pages, beforeNaming, finalPath, reason);
}

bool FileReportOutput::FileHolds(const std::string& path, const ContentPrint& print) {
    return heatx::FileHolds(path, print);
}

void FileReportOutput::CleanFolder(const std::string& folder) {
    if (const int removed = RemoveStaleReportParts(folder); removed > 0) {
        std::cerr << "heatx: удалены недописанные файлы отчётов прерванного запуска в " << folder << ": "
                  << removed << '\n';
    }
}

// ---- The keeper ------------------------------------------------------------------------------------

ReportKeeper::ReportKeeper(const Clock& clock, ReportOutput& output, JournalStore* journals,
                           ReportKeeperOptions options)
    : clock_(clock), output_(output), journals_(journals), options_(std::move(options)) {}

ReportKeeper::~ReportKeeper() {
    if (open_) {
        notice_ = nullptr;
        EndDoc();
    }
}

std::string ReportKeeper::JournalName() const {
    return journal_ ? journal_->Name() : std::string();
}

void ReportKeeper::SetFontName(std::string_view name) {
    fontName_ = std::string(name);
}

void ReportKeeper::SetFontSize(float points) {
    fontSize_ = points;
}

void ReportKeeper::SetJobTitle(std::string_view title) {
    if (!document_.title.empty()) {
        return;
    }
    document_.title = std::string(title);
    if (open_) {
        Journal(JournalTitleRecord(document_.title));
    }
}

void ReportKeeper::Print(std::string_view text, bool endLine) {
    if (!open_) {
        open_ = true;
        BeginDocument();
    }
    if (!continuing_ || document_.lines.empty()) {
        document_.lines.emplace_back();
    }
    document_.lines.back().push_back(ReportSegment{std::string(text), fontName_, fontSize_});
    continuing_ = !endLine;
    ++texts_;
    if (journalFont_ != fontName_ || journalSize_ != fontSize_) {
        journalFont_ = fontName_;
        journalSize_ = fontSize_;
        Journal(JournalFontRecord(fontName_, fontSize_));
    }
    Journal(JournalTextRecord(text, endLine));
    pressOpen_ = true;
}

void ReportKeeper::Journal(const std::string& record) {
    if (journals_ == nullptr) {
        return;
    }
    records_ += record;
    if (journal_ == nullptr || journalFailed_) {
        return;  // written whole elsewhere at the end of the press, if anywhere
    }
    if (!journal_->Append(record)) {
        journalFailed_ = true;
        journalFailure_ = journal_->Failure();
        std::cerr << "heatx: журнал отчёта не записан (" << journalFailure_ << "): " << journal_->Name()
                  << '\n';
        MoveJournal();
    }
}

bool ReportKeeper::MoveJournal() {
    if (journals_ == nullptr) {
        return false;
    }
    for (std::size_t first = 0; first < journals_->Places();) {
        std::size_t place = 0;
        std::string reason;
        std::unique_ptr<JournalHandle> moved = journals_->Create(first, place, reason);
        if (moved == nullptr) {
            if (journalFailure_.empty()) {
                journalFailure_ = reason;
            }
            std::cerr << "heatx: журнал отчёта не удалось создать: " << reason << '\n';
            return false;
        }
        if (moved->Append(records_) && moved->Sync()) {
            if (journal_ != nullptr) {
                // What the failed journal holds is all in the new one.
                journal_->Remove();
            }
            journal_ = std::move(moved);
            journalFailed_ = false;
            textsOnDisk_ = texts_;
            std::cerr << "heatx: журнал отчёта: " << journal_->Name() << '\n';
            return true;
        }
        if (journalFailure_.empty()) {
            journalFailure_ = moved->Failure();
        }
        std::cerr << "heatx: журнал отчёта не записан (" << moved->Failure() << "): " << moved->Name()
                  << '\n';
        moved->Remove();
        first = place + 1;
    }
    return false;
}

void ReportKeeper::SyncJournal() {
    if (journals_ == nullptr) {
        return;
    }
    if (journal_ != nullptr && !journalFailed_) {
        if (journal_->Sync()) {
            textsOnDisk_ = texts_;
            return;
        }
        journalFailed_ = true;
        journalFailure_ = journal_->Failure();
        std::cerr << "heatx: журнал отчёта не записан на диск (" << journalFailure_
                  << "): " << journal_->Name() << '\n';
    }
    MoveJournal();
}

void ReportKeeper::BeginDocument() {
    plan_ = Plan{};
    toldUnsaveable_ = false;
    journalFont_.clear();
    journalSize_ = 0.0f;
    records_.clear();
    texts_ = 0;
    textsOnDisk_ = 0;
    journalFailed_ = false;
    journalFailure_.clear();
    toldUnprotected_ = false;
    if (journals_ != nullptr) {
        std::size_t place = 0;
        std::string reason;
        journal_ = journals_->Create(0, place, reason);
        if (journal_ == nullptr) {
            journalFailed_ = true;
            journalFailure_ = reason;
            std::cerr << "heatx: журнал отчёта не удалось создать: " << reason << '\n';
        }
        if (!document_.title.empty()) {
            Journal(JournalTitleRecord(document_.title));
        }
    }

    if (options_.pdfFile.empty() && options_.useSystemPrinter) {
        const std::string name = output_.DefaultPrinter();
        if (!name.empty()) {
            std::string reason;
            if (output_.PrinterAccepts(name, reason)) {
                plan_.toPrinter = true;
                plan_.printerName = name;
                return;
            }
            plan_.reason = reason;
        }
    }
    if (!options_.pdfFile.empty()) {
        const std::string problem = output_.FolderProblem(FolderOfPath(options_.pdfFile), false);
        if (problem.empty()) {
            plan_.base = options_.pdfFile;
            plan_.path = output_.FreeName(plan_.base);
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
        plan_.reason = Joined(plan_.reason, reason);
    }
}

bool ReportKeeper::PlanDocumentsFile(Plan& plan, std::string& reason) {
    plan.base.clear();
    plan.path.clear();
    const std::string folder = output_.DocumentsFolder();
    if (folder.empty()) {
        reason = "Папка документов не найдена.";
        return false;
    }
    const std::string problem = output_.FolderProblem(folder, true);
    if (!problem.empty()) {
        reason = problem;
        return false;
    }
    const LocalDateTime now = clock_.Now();
    char year[16];
    std::snprintf(year, sizeof year, "%04d", now.year);
    plan.base = folder + "/heatx-report-" + year + TwoDigits(now.month) + TwoDigits(now.day) + "-" +
                TwoDigits(now.hour) + TwoDigits(now.minute) + TwoDigits(now.second) + ".pdf";
    plan.path = output_.FreeName(plan.base);
    return true;
}

void ReportKeeper::EndOfPress() {
    if (!pressOpen_) {
        return;
    }
    pressOpen_ = false;
    if (!open_) {
        return;
    }
    SyncJournal();
    std::vector<std::string> parts;
    bool failure = false;
    const bool toFile = !plan_.toPrinter && !plan_.path.empty();
    if (toFile && !plan_.announced) {
        plan_.announced = true;
        parts.push_back(Joined(plan_.reason, "Отчёт сохраняется в файл:\n" + plan_.path));
    }
    if (!plan_.toPrinter && plan_.path.empty() && !toldUnsaveable_) {
        toldUnsaveable_ = true;
        failure = true;
        std::string text =
            Joined("Отчёт некуда сохранить: нет ни принтера, ни папки, в которую можно записать файл.",
                   plan_.reason);
        if (Protected()) {
            text +=
                "\nНапечатанные строки сохраняются в журнале и будут восстановлены при следующем запуске "
                "программы.";
        }
        parts.push_back(text);
    }
    if (journals_ != nullptr) {
        if (!Protected() && !toldUnprotected_) {
            toldUnprotected_ = true;
            failure = true;
            std::string text = "Журнал отчёта не удалось записать: " + journalFailure_ + ".\n";
            if (journal_ != nullptr && textsOnDisk_ > 0) {
                text += "На диске сохранено строк: " + std::to_string(textsOnDisk_) + " из " +
                        std::to_string(texts_) + "; остальные";
            } else {
                text += "Напечатанные строки";
            }
            text += " хранятся только в памяти программы и пропадут, если она будет прервана.";
            parts.push_back(text);
        } else if (Protected() && toldUnprotected_) {
            toldUnprotected_ = false;
            parts.push_back("Журнал отчёта снова записывается на диск:\n" + journal_->Name() +
                            "\nНапечатанные строки будут восстановлены, если программа будет прервана.");
        }
    }
    if (parts.empty()) {
        return;
    }
    std::string text;
    for (const std::string& part : parts) {
        text += (text.empty() ? "" : "\n\n") + part;
    }
    if (failure) {
        std::cerr << "heatx: " << text << '\n';
    }
    Tell(text, failure ? kFailureTitle : kNoticeTitle);
}

bool ReportKeeper::SaveToFile(const Plan& plan, std::string_view pages, JournalHandle* journal,
                              std::string& saved, std::string& reason) {
    const ContentPrint print = PrintOf(pages);
    // The name the report is about to get is in its journal first: a start after a kill between the
    // name and the removal of the journal finds the report there and does not make it again.
    const BeforeNaming mark = [journal, print](const std::string& path) {
        if (journal != nullptr) {
            journal->Append(JournalSavedFileRecord(path, print)) && journal->Sync();
        }
        return true;
    };
    if (!plan.base.empty()) {
        std::string why;
        if (output_.WriteFile(plan.base, pages, mark, saved, why)) {
            return true;
        }
        reason = Joined(reason, "Файл " + plan.path + " не удалось записать: " + why + ".");
        std::cerr << "heatx: " << reason << '\n';
    }
    // The documents folder, unless that was the plan already.
    Plan fallback;
    std::string why;
    const std::string failedFolder = plan.base.empty() ? std::string() : FolderOfPath(plan.base);
    if (!PlanDocumentsFile(fallback, why)) {
        reason = Joined(reason, why);
        return false;
    }
    if (!failedFolder.empty() && FolderOfPath(fallback.base) == failedFolder) {
        return false;
    }
    if (output_.WriteFile(fallback.base, pages, mark, saved, why)) {
        return true;
    }
    reason = Joined(reason, "Файл " + fallback.path + " не удалось записать: " + why + ".");
    return false;
}

void ReportKeeper::EndDoc() {
    if (!open_) {
        return;
    }
    ++documents_;
    lastDestination_.clear();
    lastToPrinter_ = false;
    pressOpen_ = false;
    SyncJournal();
    JournalHandle* const journal = journal_ != nullptr && !journalFailed_ ? journal_.get() : nullptr;

    std::string pages;
    bool saved = false;
    std::string reason;
    if (!output_.Draw(document_, pages)) {
        reason = "Страницы отчёта не удалось подготовить.";
    } else {
        if (plan_.toPrinter) {
            if (output_.SendToPrinter(plan_.printerName, document_.title, pages, reason)) {
                saved = true;
                lastToPrinter_ = true;
                lastDestination_ = plan_.printerName;
                if (journal != nullptr) {
                    journal->Append(JournalSavedPrinterRecord(plan_.printerName)) && journal->Sync();
                }
                std::cerr << "heatx: отчёт отправлен на принтер " << plan_.printerName << '\n';
            } else {
                std::cerr << "heatx: " << reason << '\n';
                plan_.announced = false;
                std::string why;
                if (!PlanDocumentsFile(plan_, why)) {
                    reason = Joined(reason, why);
                }
            }
        }
        std::string path;
        if (!saved && SaveToFile(plan_, pages, journal, path, reason)) {
            saved = true;
            lastDestination_ = path;
            written_.push_back(path);
            std::cerr << "heatx: отчёт записан в файл " << path << '\n';
        }
    }

    const Plan plan = plan_;
    const bool allOnDisk = Protected();
    const std::size_t onDisk = journal_ != nullptr ? textsOnDisk_ : 0;
    const std::size_t printed = texts_;
    document_ = ReportDocument{};
    continuing_ = false;
    open_ = false;
    plan_ = Plan{};

    if (saved) {
        if (afterSaving_) {
            afterSaving_();
        }
        if (journal_ != nullptr) {
            journal_->Remove();
            journal_.reset();
        }
        if (!lastToPrinter_ && (!plan.announced || lastDestination_ != plan.path)) {
            const std::string text = reason.empty() ? (plan.announced ? std::string() : plan.reason) : reason;
            Tell(Joined(text, "Отчёт сохранён в файл:\n" + lastDestination_), kNoticeTitle);
        }
        return;
    }
    std::string text = Joined("Отчёт не удалось сохранить.", reason);
    if (journals_ != nullptr) {
        if (allOnDisk) {
            text +=
                "\nНапечатанные строки сохранены в журнале и будут восстановлены при следующем запуске "
                "программы.";
        } else if (onDisk > 0) {
            text += "\nИз напечатанных строк в журнале на диске сохранено " + std::to_string(onDisk) +
                    " из " + std::to_string(printed) +
                    ": они будут восстановлены при следующем запуске программы, "
                    "остальные потеряны.";
        } else {
            text += "\nНапечатанные строки потеряны: их не удалось записать ни в отчёт, ни в журнал.";
        }
    }
    if (journal_ != nullptr) {
        std::cerr << "heatx: отчёт не сохранён, журнал оставлен: " << journal_->Name() << '\n';
        journal_->Keep();
        journal_.reset();
    }
    std::cerr << "heatx: " << text << '\n';
    Tell(text, kFailureTitle);
}

void ReportKeeper::Tell(const std::string& text, const std::string& title) {
    if (notice_) {
        notice_(text, title);
    }
}

// ---- Recovery at the start -----------------------------------------------------------------------------

std::vector<std::string> ReportKeeper::Recover() {
    std::vector<std::string> recovered;
    output_.CleanFolder(output_.DocumentsFolder());
    if (!options_.pdfFile.empty()) {
        output_.CleanFolder(FolderOfPath(options_.pdfFile));
    }
    if (journals_ == nullptr) {
        return recovered;
    }
    int claimed = 0;
    for (const std::string& name : journals_->Journals()) {
        if (claimed == kRecoveriesPerStart) {
            std::cerr << "heatx: остальные журналы отчётов будут восстановлены при следующем запуске\n";
            break;
        }
        std::string bytes;
        bool whole = true;
        std::unique_ptr<JournalHandle> journal = journals_->Claim(name, kRecoveryReadLimit, bytes, whole);
        if (journal == nullptr) {
            continue;  // its program runs, another start has it, or it is no journal file
        }
        ++claimed;
        RecoverOne(name, std::move(journal), bytes, whole, recovered);
    }
    return recovered;
}

void ReportKeeper::RecoverOne(const std::string& name, std::unique_ptr<JournalHandle> journal,
                              const std::string& bytes, bool readWhole, std::vector<std::string>& recovered) {
    JournalContents contents;
    const bool headed = ParseJournal(bytes, contents);
    const bool whole = headed && contents.whole && readWhole;
    const char* const interrupted =
        "Прошлый запуск программы был прерван, когда отчёт ещё не был закончен.\n";

    // Saved already (the run was stopped between saving the report and removing its journal).
    for (const JournalSavedMark& mark : contents.saved) {
        if (!mark.printer && !output_.FileHolds(mark.where, mark.print)) {
            continue;
        }
        const std::string aside = whole ? std::string() : journal->SetAside();
        if (whole) {
            journal->Remove();
        }
        std::cerr << "heatx: отчёт журнала " << name << " уже сохранён: " << mark.where
                  << (aside.empty() ? std::string() : ", журнал отложен как " + aside) << '\n';
        Tell(std::string("Прошлый запуск программы был прерван, когда отчёт уже был ") +
                 (mark.printer ? "отправлен на принтер " + mark.where + "."
                               : "сохранён в файл:\n" + mark.where),
             kNoticeTitle);
        return;
    }
    if (!journal->Append("")) {
        // A journal that can be neither marked nor removed (a disk that went read-only) would be
        // recovered again at every start: it is left where it is, and the student told.
        journal->Keep();
        const std::string text =
            "Найден журнал незаконченного отчёта прошлого запуска, но его нельзя изменить (" +
            journal->Failure() + "), поэтому он не восстановлен. Журнал:\n" + name;
        std::cerr << "heatx: " << text << '\n';
        Tell(text, kFailureTitle);
        return;
    }
    if (contents.texts.empty()) {
        if (whole) {
            journal->Remove();  // nothing was printed
            return;
        }
        const std::string aside = journal->SetAside();
        const std::string text =
            "Найден повреждённый журнал незаконченного отчёта: ни одной строки отчёта в нём прочитать не "
            "удалось.\n" +
            (aside.empty() ? "Он оставлен на месте:\n" + name : "Он сохранён как:\n" + aside);
        std::cerr << "heatx: " << text << '\n';
        Tell(text, kFailureTitle);
        return;
    }

    std::string pages;
    std::string reason;
    std::string path;
    bool saved = false;
    if (!output_.Draw(DocumentOf(contents), pages)) {
        reason = "Страницы отчёта не удалось подготовить.";
    } else {
        Plan plan;
        if (PlanDocumentsFile(plan, reason)) {
            if (!readWhole || (!bytes.empty() && bytes.back() != '\n')) {
                journal->Append("\n");  // the mark starts a record of its own after a cut-short one
            }
            // The documents folder is the plan already: no second try in the same folder.
            saved = SaveToFile(plan, pages, journal.get(), path, reason);
        }
    }
    if (!saved) {
        journal->Keep();
        const std::string text =
            Joined("Незаконченный отчёт прошлого запуска не удалось восстановить.", reason) +
            "\nЕго журнал оставлен, программа попробует ещё раз при следующем запуске:\n" + name;
        std::cerr << "heatx: " << text << '\n';
        Tell(text, kFailureTitle);
        return;
    }
    if (afterSaving_) {
        afterSaving_();
    }
    recovered.push_back(path);
    std::cerr << "heatx: незаконченный отчёт восстановлен: " << path << '\n';
    if (whole) {
        journal->Remove();
        Tell(std::string(interrupted) + "Напечатанные строки восстановлены и " + output_.RecoveredInto() +
                 "\n" + path,
             kNoticeTitle);
        return;
    }
    const std::string aside = journal->SetAside();
    std::string text =
        std::string(interrupted) +
        (readWhole ? "Журнал отчёта повреждён" : "Журнал отчёта прочитан не весь: он слишком велик") +
        "; восстановлены строки, которые удалось прочитать (" + std::to_string(contents.texts.size()) +
        "), и " + output_.RecoveredInto() + "\n" + path +
        (aside.empty() ? "\nЖурнал оставлен на месте:\n" + name : "\nЖурнал сохранён как:\n" + aside);
    std::cerr << "heatx: " << text << '\n';
    Tell(text, kFailureTitle);
}

}  // namespace heatx
