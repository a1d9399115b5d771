// The report keeper's rules, without any window: no promise for lines not on the disk, a press that can
// be neither protected nor saved is told at once, journals held from before they can be seen, every
// journal recovered exactly once whatever the kills and the starts, damaged journals set aside with
// their readable lines recovered, and the leftovers of a killed save cleaned.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "reports/journal.h"
#include "reports/report_keeper.h"

namespace heatx {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Pages are the texts of the document, one line each, behind its title: what a report file holds can
// be read back.
class TextOutput : public FileReportOutput {
  public:
    using FileReportOutput::FileReportOutput;
    bool Draw(const ReportDocument& document, std::string& pages) override {
        pages = document.title + "\n";
        for (const ReportLine& line : document.lines) {
            for (const ReportSegment& segment : line) {
                pages += segment.text;
            }
            pages += "\n";
        }
        return true;
    }
};

// A journal whose place stops taking bytes after a number of appends (a disk that fills); a failing
// append writes half of its bytes, as a short write does.
class FillingJournal : public JournalHandle {
  public:
    FillingJournal(std::unique_ptr<JournalHandle> inner, int* appendsLeft)
        : inner_(std::move(inner)), left_(appendsLeft) {}
    bool Append(std::string_view bytes) override {
        if (*left_ == 0 && !failed_) {
            inner_->Append(bytes.substr(0, bytes.size() / 2));
            failed_ = true;
        } else if (*left_ > 0) {
            --*left_;
        }
        return !failed_ && inner_->Append(bytes);
    }
    bool Sync() override { return !failed_ && inner_->Sync(); }
    std::string Name() const override { return inner_->Name(); }
    std::string Failure() const override { return failed_ ? "на диске нет места" : inner_->Failure(); }
    void Remove() override { inner_->Remove(); }
    void Keep() override { inner_->Keep(); }
    std::string SetAside() override { return inner_->SetAside(); }

  private:
    std::unique_ptr<JournalHandle> inner_;
    int* left_;
    bool failed_ = false;
};

class FillingStore : public FolderJournalStore {
  public:
    using FolderJournalStore::FolderJournalStore;
    std::unique_ptr<JournalHandle> Create(std::size_t firstPlace, std::size_t& place,
                                          std::string& reason) override {
        auto journal = FolderJournalStore::Create(firstPlace, place, reason);
        if (journal != nullptr && place == 0 && firstAppendsLeft >= 0) {
            return std::make_unique<FillingJournal>(std::move(journal), &firstAppendsLeft);
        }
        return journal;
    }
    int firstAppendsLeft = -1;  // appends the first place takes before it is full for good; -1: no limit
};

class ReportKeeperTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/heatx-keeper-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root = pattern;
        documents = root + "/Documents";
        journals = {root + "/journal", root + "/spare-journal"};
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    struct Start {
        Start(ReportKeeperTest& test, const std::vector<std::string>& places,
              ReportKeeperOptions options = {})
            : output(test.documents), store(places), keeper(test.clock, output, &store, options) {
            keeper.OnNotice([this](const std::string& text, const std::string& title) {
                notices.emplace_back(title, text);
            });
        }
        TextOutput output;
        FillingStore store;
        ReportKeeper keeper;
        std::vector<std::pair<std::string, std::string>> notices;  // title, text
    };

    // One print press: a head line on the first, then a row.
    static void Press(ReportKeeper& keeper, int row) {
        if (!keeper.HasOpenDocument()) {
            keeper.SetJobTitle("Расчет испарителя - Студент");
            keeper.Print("            шапка отчёта");
        }
        keeper.Print("            | строка " + std::to_string(row), false);
        keeper.Print(" |");
        keeper.EndOfPress();
    }

    std::vector<std::string> Files(const std::string& folder) const {
        std::vector<std::string> names;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(folder, error)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    std::vector<std::string> Reports() const {
        std::vector<std::string> found;
        for (const std::string& name : Files(documents)) {
            if (name.starts_with("heatx-report-")) {
                found.push_back(documents + "/" + name);
            }
        }
        return found;
    }
    void BlockDocuments() { std::ofstream(documents) << "a file where the folder should be"; }

    // A journal left by a run that died with four rows printed.
    std::string DeadRunJournal() {
        BlockDocuments();
        Start dead(*this, {journals[0]});
        for (int row = 1; row <= 4; ++row) {
            Press(dead.keeper, row);
        }
        const std::string name = dead.keeper.JournalName();
        dead.keeper.EndDoc();  // cannot be saved: the journal is kept and released, as by a dead run
        fs::remove(documents);
        return name;
    }

    // Runs the function in a child process, which it may end at any point with _exit; returns the
    // exit status.
    static int InChild(const std::function<void()>& run) {
        const pid_t child = ::fork();
        if (child == 0) {
            run();
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    FixedClock clock{LocalDateTime{2024, 3, 15, 10, 30, 0}};
    std::string root;
    std::string documents;
    std::vector<std::string> journals;
};

// ---- Promises ----------------------------------------------------------------------------------------

TEST_F(ReportKeeperTest, AFilledJournalIsToldAtThatPressAndTheFailurePromisesOnlyWhatIsOnTheDisk) {
    BlockDocuments();  // the report cannot be saved either
    Start run(*this, {journals[0]});
    run.store.firstAppendsLeft = 6;  // title, font, head line, first row: the second row fails
    Press(run.keeper, 1);
    EXPECT_TRUE(run.keeper.Protected());
    ASSERT_EQ(run.notices.size(), 1u);
    EXPECT_NE(run.notices[0].second.find("Напечатанные строки сохраняются в журнале"), std::string::npos);
    Press(run.keeper, 2);
    EXPECT_FALSE(run.keeper.Protected());
    ASSERT_EQ(run.notices.size(), 2u) << "the failed write is told at the press that met it";
    EXPECT_EQ(run.notices[1].first, "ОШИБКА !");
    EXPECT_NE(run.notices[1].second.find("Журнал отчёта не удалось записать: на диске нет места."),
              std::string::npos)
        << run.notices[1].second;
    EXPECT_NE(run.notices[1].second.find("На диске сохранено строк: 3 из 5"), std::string::npos)
        << run.notices[1].second;
    Press(run.keeper, 3);
    EXPECT_EQ(run.notices.size(), 2u) << "said once, not at every press";

    run.keeper.EndDoc();
    ASSERT_EQ(run.notices.size(), 3u);
    const std::string& failure = run.notices[2].second;
    EXPECT_TRUE(failure.starts_with("Отчёт не удалось сохранить.")) << failure;
    EXPECT_EQ(failure.find("Напечатанные строки сохранены"), std::string::npos)
        << "no promise for lost lines";
    EXPECT_NE(failure.find("сохранено 3 из 7"), std::string::npos) << failure;

    // What was promised is what the next start recovers (the journal, cut short, is set aside).
    fs::remove(documents);
    Start next(*this, {journals[0]});
    const std::vector<std::string> files = next.keeper.Recover();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(ReadAll(files[0]),
              "Расчет испарителя - Студент\n            шапка отчёта\n            | строка 1 |\n"
              "            | строка 2\n");
}

TEST_F(ReportKeeperTest, AFilledJournalMovesWholeToTheNextPlaceAndThePromiseHolds) {
    BlockDocuments();
    Start run(*this, journals);
    run.store.firstAppendsLeft = 6;
    Press(run.keeper, 1);
    const std::string first = run.keeper.JournalName();
    Press(run.keeper, 2);
    EXPECT_TRUE(run.keeper.Protected());
    EXPECT_TRUE(run.keeper.JournalName().starts_with(journals[1] + "/")) << run.keeper.JournalName();
    EXPECT_FALSE(fs::exists(first)) << "the cut journal is replaced, not kept beside the whole one";
    EXPECT_EQ(run.notices.size(), 1u) << "nothing was lost: nothing to tell";

    JournalContents contents;
    ASSERT_TRUE(ReadJournal(run.keeper.JournalName(), contents));
    EXPECT_TRUE(contents.whole);
    EXPECT_EQ(contents.title, "Расчет испарителя - Студент");
    EXPECT_EQ(contents.texts.size(), 5u);

    run.keeper.EndDoc();
    EXPECT_NE(run.notices.back().second.find("Напечатанные строки сохранены в журнале и будут восстановлены"),
              std::string::npos);
}

TEST_F(ReportKeeperTest, APressThatCanBeNeitherProtectedNorSavedIsToldAtThatPress) {
    BlockDocuments();
    std::ofstream(root + "/blocked") << "x";
    Start run(*this, {root + "/blocked/journal"});
    Press(run.keeper, 1);
    ASSERT_EQ(run.notices.size(), 1u);
    EXPECT_EQ(run.notices[0].first, "ОШИБКА !");
    const std::string& text = run.notices[0].second;
    EXPECT_NE(text.find("Отчёт некуда сохранить"), std::string::npos) << text;
    EXPECT_NE(text.find("Путь " + documents + " ведёт не к папке, а к файлу."), std::string::npos) << text;
    EXPECT_NE(text.find("пропадут, если она будет прервана"), std::string::npos) << text;
    Press(run.keeper, 2);
    EXPECT_EQ(run.notices.size(), 1u);
}

TEST_F(ReportKeeperTest, ADocumentsFolderThatIsALinkToADeviceIsToldAsSuch) {
    fs::create_symlink("/dev/full", documents);
    Start run(*this, {journals[0]});
    Press(run.keeper, 1);
    ASSERT_EQ(run.notices.size(), 1u);
    EXPECT_NE(run.notices[0].second.find("Путь " + documents + " ведёт не к папке, а к устройству."),
              std::string::npos)
        << run.notices[0].second;
    EXPECT_EQ(run.notices[0].second.find("не удалось создать"), std::string::npos);
}

// ---- Journals held from their first moment --------------------------------------------------------

TEST_F(ReportKeeperTest, AJournalIsHeldBeforeItCanBeSeenAndUntilItIsRemoved) {
    Start run(*this, {journals[0]});
    Press(run.keeper, 1);
    EXPECT_EQ(Files(journals[0]).size(), 1u) << "no hidden name is left once the journal is made";
    EXPECT_TRUE(OrphanedJournals(journals[0]).empty());
    Start other(*this, {journals[0]});
    EXPECT_TRUE(other.keeper.Recover().empty()) << "a running program's journal is not recovered";
    EXPECT_TRUE(run.keeper.Protected());

    // A creation cut short by a kill leaves the hidden name: removed by the next start, unless its
    // program lives (it may be between making and locking it) or holds it.
    const pid_t gone = ::fork();
    if (gone == 0) {
        ::_exit(0);
    }
    ::waitpid(gone, nullptr, 0);
    const std::string hidden = journals[0] + "/.report-" + std::to_string(gone) + "-1.journal.new";
    const std::string living = journals[0] + "/.report-" + std::to_string(::getppid()) + "-1.journal.new";
    std::ofstream(hidden) << "heatx-journal 1\n";
    std::ofstream(living) << "";
    Start again(*this, {journals[0]});
    again.keeper.Recover();
    EXPECT_FALSE(fs::exists(hidden));
    EXPECT_TRUE(fs::exists(living));
}

// ---- Exactly once --------------------------------------------------------------------------------------

TEST_F(ReportKeeperTest, AKillBetweenSavingAndRemovingTheJournalGivesNoSecondReport) {
    // The run is stopped by the keeper's hook once the report has its name.
    EXPECT_EQ(InChild([this] {
                  Start run(*this, {journals[0]});
                  run.keeper.AfterSaving([] { ::_exit(3); });
                  Press(run.keeper, 1);
                  run.keeper.EndDoc();
              }),
              3);
    ASSERT_EQ(Reports().size(), 1u);
    ASSERT_EQ(OrphanedJournals(journals[0]).size(), 1u);

    Start next(*this, {journals[0]});
    EXPECT_TRUE(next.keeper.Recover().empty());
    EXPECT_EQ(Reports().size(), 1u) << "the report is not made again";
    EXPECT_TRUE(Files(journals[0]).empty()) << "the journal of the saved report is removed";
    ASSERT_EQ(next.notices.size(), 1u);
    EXPECT_NE(next.notices[0].second.find("отчёт уже был сохранён в файл:\n" + Reports()[0]),
              std::string::npos)
        << next.notices[0].second;
}

TEST_F(ReportKeeperTest, ARecoveryKilledAfterSavingIsNotRepeated) {
    DeadRunJournal();
    EXPECT_EQ(InChild([this] {
                  Start start(*this, {journals[0]});
                  start.keeper.AfterSaving([] { ::_exit(3); });
                  start.keeper.Recover();
              }),
              3);
    ASSERT_EQ(Reports().size(), 1u);
    Start next(*this, {journals[0]});
    EXPECT_TRUE(next.keeper.Recover().empty());
    EXPECT_EQ(Reports().size(), 1u);
    EXPECT_TRUE(Files(journals[0]).empty());
}

TEST_F(ReportKeeperTest, StartsAtOnceRecoverAJournalOnce) {
    DeadRunJournal();
    // Eight starts at once, each recovering slowly (its hook waits), as with a big journal.
    std::vector<pid_t> starts;
    for (int i = 0; i < 8; ++i) {
        const pid_t child = ::fork();
        if (child == 0) {
            Start start(*this, {journals[0]});
            start.keeper.AfterSaving([] { ::usleep(100000); });
            ::_exit(static_cast<int>(start.keeper.Recover().size()));
        }
        starts.push_back(child);
    }
    int recovered = 0;
    for (pid_t child : starts) {
        int status = 0;
        ::waitpid(child, &status, 0);
        recovered += WIFEXITED(status) ? WEXITSTATUS(status) : 100;
    }
    EXPECT_EQ(recovered, 1);
    EXPECT_EQ(Reports().size(), 1u);
    EXPECT_TRUE(Files(journals[0]).empty());
}

// ---- Damaged journals ------------------------------------------------------------------------------------

TEST_F(ReportKeeperTest, ADamagedJournalIsSetAsideItsReadableLinesRecoveredAndTheStudentTold) {
    fs::create_directories(journals[0]);
    const std::string rows = "L row 1\nL row 2\nL row 3\nL row 4\nL row 5\n";
    std::ofstream(journals[0] + "/report-1-1.journal", std::ios::binary)
        << std::string(15, '\0') << "\nT title\n"
        << rows;
    std::ofstream(journals[0] + "/report-1-2.journal", std::ios::binary)
        << "heatx-journal 1\r\nT title\r\nL row 1\r\nL row 2\r\n";

    Start start(*this, {journals[0]});
    const std::vector<std::string> files = start.keeper.Recover();
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(ReadAll(files[0]), "title\nrow 1\nrow 2\nrow 3\nrow 4\nrow 5\n");
    EXPECT_EQ(ReadAll(files[1]), "title\nrow 1\nrow 2\n");
    EXPECT_EQ(Files(journals[0]),
              (std::vector<std::string>{"report-1-1.journal.damaged", "report-1-2.journal.damaged"}))
        << "kept aside, not deleted";
    ASSERT_EQ(start.notices.size(), 2u);
    EXPECT_NE(start.notices[0].second.find("Журнал отчёта повреждён"), std::string::npos);
    EXPECT_NE(start.notices[0].second.find("(5)"), std::string::npos) << start.notices[0].second;
    EXPECT_NE(start.notices[0].second.find(files[0]), std::string::npos);
    EXPECT_NE(start.notices[0].second.find(journals[0] + "/report-1-1.journal.damaged"), std::string::npos);

    Start again(*this, {journals[0]});
    EXPECT_TRUE(again.keeper.Recover().empty()) << "a journal set aside is not recovered again";
}

TEST_F(ReportKeeperTest, AHugeJournalOrAPipeNamedLikeAJournalDoesNotHoldUpTheStart) {
    fs::create_directories(journals[0]);
    {
        std::ofstream huge(journals[0] + "/report-1-1.journal", std::ios::binary);
        huge << "heatx-journal 1\n";
        const std::string row = "L " + std::string(98, 'x') + "\n";
        for (int i = 0; i < 100000; ++i) {  // 10 MB
            huge << row;
        }
    }
    ASSERT_EQ(::mkfifo((journals[0] + "/report-1-2.journal").c_str(), 0600), 0);

    Start start(*this, {journals[0]});
    const std::vector<std::string> files = start.keeper.Recover();  // a blocked read would hang here
    ASSERT_EQ(files.size(), 1u);
    const std::size_t rows = ReportKeeper::kRecoveryReadLimit / 101;
    EXPECT_NEAR(static_cast<double>(fs::file_size(files[0])), static_cast<double>(rows * 99), 200.0);
    EXPECT_TRUE(fs::exists(journals[0] + "/report-1-1.journal.damaged"));
    EXPECT_NE(start.notices[0].second.find("прочитан не весь"), std::string::npos);
    EXPECT_TRUE(fs::exists(journals[0] + "/report-1-2.journal")) << "a pipe is left alone";
}

// ---- Leftovers of a killed save --------------------------------------------------------------------------

TEST_F(ReportKeeperTest, TemporaryFilesOfAKilledSaveAreRemovedOnlyWhenTheirProgramIsGone) {
    fs::create_directories(documents);
    const pid_t gone = ::fork();
    if (gone == 0) {
        ::_exit(0);
    }
    ::waitpid(gone, nullptr, 0);
    const std::string stale = documents + "/.heatx-report-" + std::to_string(gone) + "-0.part";
    const std::string living = documents + "/.heatx-report-" + std::to_string(::getppid()) + "-0.part";
    std::ofstream(stale) << "%PDF cut";
    std::ofstream(living) << "%PDF being written";

    Start start(*this, {journals[0]});
    start.keeper.Recover();
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(living));
}

}  // namespace
}  // namespace heatx
