// The journal of an open report: what is written is read back exactly (texts with any character,
// continued lines, fonts, the title), a record cut short by the end of the process is dropped, and
// only journals that no living program holds are taken for recovery.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "reports/journal.h"

namespace heatx {
namespace {

class JournalTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/heatx-journal-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder = std::string(pattern) + "/state/journal";
    }
    void TearDown() override {
        const std::string root = folder.substr(0, folder.find("/state"));
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
    std::string folder;
};

TEST_F(JournalTest, WhatIsWrittenIsReadBackExactly) {
    ReportJournal journal;
    ASSERT_TRUE(journal.Begin(folder));
    EXPECT_TRUE(journal.Title("Расчет испарителя - Иванов - 2024-03-15 10:30:00"));
    EXPECT_TRUE(journal.Font("Courier New Cyr", 9.0f));
    EXPECT_TRUE(journal.Text("            строка\tс табуляцией \\ и\nпереводом", true));
    EXPECT_TRUE(journal.Text("   начало", false));
    EXPECT_TRUE(journal.Font("Other", 7.5f));
    EXPECT_TRUE(journal.Text("", true));
    EXPECT_TRUE(journal.Sync());

    JournalContents contents;
    ASSERT_TRUE(ReadJournal(journal.Path(), contents));
    EXPECT_EQ(contents.title, "Расчет испарителя - Иванов - 2024-03-15 10:30:00");
    ASSERT_EQ(contents.texts.size(), 3u);
    EXPECT_EQ(contents.texts[0].text, "            строка\tс табуляцией \\ и\nпереводом");
    EXPECT_TRUE(contents.texts[0].endLine);
    EXPECT_EQ(contents.texts[0].fontName, "Courier New Cyr");
    EXPECT_EQ(contents.texts[1].text, "   начало");
    EXPECT_FALSE(contents.texts[1].endLine);
    EXPECT_EQ(contents.texts[2].fontName, "Other");
    EXPECT_FLOAT_EQ(contents.texts[2].fontSize, 7.5f);

    const std::string path = journal.Path();
    journal.Discard();
    EXPECT_NE(::access(path.c_str(), F_OK), 0) << "a saved report leaves no journal";
}

TEST_F(JournalTest, ARecordCutShortIsDroppedAndAForeignFileIsNoJournal) {
    ReportJournal journal;
    ASSERT_TRUE(journal.Begin(folder));
    journal.Text("whole line", true);
    const std::string path = journal.Path();
    journal.Keep();
    std::ofstream(path, std::ios::app) << "L cut sho";

    JournalContents contents;
    ASSERT_TRUE(ReadJournal(path, contents));
    ASSERT_EQ(contents.texts.size(), 1u);
    EXPECT_EQ(contents.texts[0].text, "whole line");

    const std::string foreign = folder + "/report-1-1.journal";
    std::ofstream(foreign) << "something else\nL text\n";
    EXPECT_FALSE(ReadJournal(foreign, contents));
}

TEST_F(JournalTest, AFontSizeWrittenWithADecimalCommaReadsBack) {
    ReportJournal journal;
    ASSERT_TRUE(journal.Begin(folder));
    const std::string path = journal.Path();
    journal.Keep();
    // As a program running under a Russian locale once wrote it, then a size that is no number.
    std::ofstream(path, std::ios::app) << "F 8,25 Courier New Cyr\nL first\nF 8.5x Other\nL second\n";

    JournalContents contents;
    ASSERT_TRUE(ReadJournal(path, contents));
    ASSERT_EQ(contents.texts.size(), 2u);
    EXPECT_EQ(contents.texts[0].fontSize, 8.25f);
    EXPECT_EQ(contents.texts[1].fontSize, 8.25f) << "a size that is no number keeps the last one";
    EXPECT_EQ(contents.texts[1].fontName, "Other");
}

TEST_F(JournalTest, OnlyJournalsNoProgramHoldsAreOrphans) {
    ReportJournal live;
    ASSERT_TRUE(live.Begin(folder));
    ReportJournal dead;
    ASSERT_TRUE(dead.Begin(folder));
    EXPECT_NE(live.Path(), dead.Path()) << "two documents never share a journal";
    const std::string deadPath = dead.Path();
    dead.Keep();  // its program ended without saving the report

    EXPECT_EQ(OrphanedJournals(folder), std::vector<std::string>{deadPath});
    EXPECT_TRUE(RemoveJournal(deadPath));
    EXPECT_TRUE(OrphanedJournals(folder).empty());
    EXPECT_TRUE(OrphanedJournals(folder + "/missing").empty());
}

TEST_F(JournalTest, AJournalThatCannotBeCreatedIsReported) {
    const std::string blocker = folder.substr(0, folder.find("/state")) + "/file";
    std::ofstream(blocker) << "x";
    ReportJournal journal;
    EXPECT_FALSE(journal.Begin(blocker + "/journal"));
    EXPECT_FALSE(journal.IsOpen());
    EXPECT_FALSE(journal.Text("nothing", true));
}

}  // namespace
}  // namespace heatx
