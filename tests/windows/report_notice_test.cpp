// The notice that tells the student where his report goes, seen on the evaporator results window with
// the real printer writing PDF files: once per document, at the first print press, through the
// platform's one-button notice box; and the input boxes' length limit.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <string>
#include <vector>

#include "evaporator_test_support.h"
#include "report_test_support.h"
#include "ui/qt/qt_services.h"

namespace heatx::ui::testing {
namespace {

class ReportFileNoticeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ConnectReportNotices(printer, platform);
        StartReferenceTask(run.data);
    }

    QtPrinterOptions Options() const {
        QtPrinterOptions options;
        options.pdfFile = dir.filePath(QStringLiteral("task.pdf")).toStdString();
        options.documentsFolder = dir.filePath(QStringLiteral("documents")).toStdString();
        options.useSystemPrinter = false;
        options.journalFolder = dir.filePath(QStringLiteral("journal")).toStdString();
        return options;
    }

    void Run(const std::function<void()>& scenario) { RunInEventLoop(platform, scenario); }
    Form11& Results() { return platform.Forms().Get<Form11>(); }
    std::vector<DialogCall> Notices() const { return dialogs.CallsOf(DialogKind::Notice); }

    QTemporaryDir dir;
    QtToolkit toolkit;
    ScriptedDialogs dialogs;
    ScriptedSound sound;
    ScriptedKeyboard keyboard;
    heatx::FixedClock clock{kTestMoment};
    QtReportPrinter printer{clock, Options()};
    Platform platform{toolkit, dialogs, sound, keyboard, clock, printer};
    heatx::RunContext run{platform};
};

TEST_F(ReportFileNoticeTest, TheFirstPrintPressTellsTheFileOnceAndTheNextTaskIsToldAgain) {
    const std::string file = dir.filePath(QStringLiteral("task.pdf")).toStdString();
    dialogs.QueueInput("4");
    Run([this] { RunEvaporator(run); });
    ASSERT_TRUE(Results().Visible());

    Run([this] { ASSERT_TRUE(Results().Command1.Press()); });
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_EQ(Notices()[0].prompt, "Отчёт сохраняется в файл:\n" + file);
    EXPECT_EQ(Notices()[0].title, "ОТЧЁТ");
    EXPECT_FALSE(printer.JournalPath().empty()) << "the printed lines are journalled";

    // Another height, printed into the same document: nothing more is said.
    dialogs.QueueInput("10");
    Run([this] { ASSERT_TRUE(Results().Command2.Press()); });
    Run([this] { ASSERT_TRUE(Results().Command1.Press()); });
    EXPECT_EQ(Notices().size(), 1u);

    // Leaving the task saves the report where the student was told.
    Run([this] { ASSERT_TRUE(Results().Command4.Press()); });
    EXPECT_EQ(Notices().size(), 1u);
    EXPECT_EQ(printer.LastDestination(), file);
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(file)));
    EXPECT_EQ(dialogs.Unexpected(), 0) << dialogs.UnexpectedReport();
}

// The run may end while the notice is on screen (the end of the press runs from the event loop, not
// from a handler): the end unwinds it cleanly and the report is saved where the student was told.
TEST_F(ReportFileNoticeTest, TheRunEndingWhileTheNoticeIsOpenSavesTheReport) {
    dialogs.QueueInput("4");
    Run([this] { RunEvaporator(run); });
    dialogs.OnOpen([this](const DialogCall& call) {
        if (call.kind == DialogKind::Notice) {
            platform.EndProgram();
        }
    });
    static std::vector<std::string> warnings;
    warnings.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
            warnings.push_back(text.toStdString());
        });
    Run([this] {
        // Printed while another box's event loop runs (as under a box still open): the end of the press
        // comes from that loop.
        QEventLoop loop;
        QTimer::singleShot(0, &loop,
                           [this] { platform.Guard([this] { ASSERT_TRUE(Results().Command1.Press()); }); });
        QTimer::singleShot(2000, &loop, &QEventLoop::quit);
        loop.exec();
    });
    qInstallMessageHandler(previous);
    for (const std::string& warning : warnings) {
        EXPECT_EQ(warning.find("exception"), std::string::npos)
            << "no exception may pass through Qt: " << warning;
    }
    EXPECT_TRUE(platform.Ended());
    EXPECT_EQ(platform.ExitCode(), 0);
    EXPECT_TRUE(platform.Failures().empty());
    EXPECT_FALSE(printer.HasOpenDocument());
    EXPECT_EQ(printer.LastDestination(), dir.filePath(QStringLiteral("task.pdf")).toStdString());
}

// A value of 10,000 characters cannot be typed: the box takes 255, and any dialog service's answer is
// cut to 255 characters (not bytes).
TEST_F(ReportFileNoticeTest, InputBoxesTakeAtMostTwoHundredFiftyFiveCharacters) {
    std::string cyrillic;
    for (int i = 0; i < 300; ++i) {
        cyrillic += "ж";
    }
    std::string answer;
    std::string cut;
    dialogs.QueueInput("0.683" + std::string(10000, '0'));
    dialogs.QueueInput(cyrillic);
    Run([&] {
        answer = platform.InputBox("prompt", "title", "", 0, 0);
        cut = platform.InputBox("prompt", "title", "", 0, 0);
    });
    EXPECT_EQ(answer, "0.683" + std::string(250, '0'));
    EXPECT_EQ(cut, cyrillic.substr(0, 255 * 2));

    QtDialogs real;
    int maxLength = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            poll.stop();
            auto* field = box->findChild<QLineEdit*>();
            ASSERT_NE(field, nullptr);
            maxLength = field->maxLength();
            QTest::keyClicks(field, QString(300, QLatin1Char('7')));
            QTest::keyClick(field, Qt::Key_Return);
        }
    });
    poll.start(10);
    EXPECT_EQ(real.InputBox("prompt", "title", "", 0, 0), std::string(255, '7'));
    EXPECT_EQ(maxLength, 255);
}

}  // namespace
}  // namespace heatx::ui::testing
