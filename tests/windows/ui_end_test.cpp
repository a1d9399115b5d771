// Ending the run at once: from a handler, from inside a modal dialog, with the print job closed;
// afterwards nothing runs any more and the event loop has ended.
#include <gtest/gtest.h>

#include <QApplication>
#include <QInputDialog>
#include <QTimer>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/qt/qt_services.h"
#include "window_test_support.h"

namespace heatx::ui::testing {
namespace {

class Screen : public Form {
  public:
    explicit Screen(Platform& platform) : Form(platform, "Screen") {
        Command1.OnClick([this] {
            steps.push_back("end pressed");
            this->platform().EndProgram();
        });
        Command2.OnClick([this] {
            steps.push_back("ask");
            const std::string answer =
                this->platform().InputBox("  ВВЕДИТЕ ФАМИЛИЮ И НОМЕР ГРУППЫ ", "ВВОД ФАМИЛИИ", "", 500, 300);
            steps.push_back("answer " + answer);
            if (this->platform().YesNoBox("ОШИБКА    Продолжаете работу ?", "ОШИБКА !") == kNo) {
                Forms().CloseOtherForms();
                this->platform().EndProgram();
            }
            steps.push_back("continued");
        });
        Command3.OnClick([this] { throw std::runtime_error("fault in a handler"); });
    }
    Button& Command1 = AddButton("Command1");
    Button& Command2 = AddButton("Command2");
    Button& Command3 = AddButton("Command3");
    std::vector<std::string> steps;
};

class Other : public Form {
  public:
    explicit Other(Platform& platform) : Form(platform, "Other") {}
};

class EndTest : public WindowTest {
  protected:
    Screen& screen() { return platform.Forms().Get<Screen>(); }
};

TEST_F(EndTest, EndProgramStopsTheHandlerHidesTheWindowsAndLeavesTheLoop) {
    platform.Forms().Get<Other>().Show();
    screen().Show();
    bool laterHandlerRan = false;

    const int code = RunInEventLoop(platform, [&] {
        // Queued before the end: must never run.
        QTimer::singleShot(0, WidgetOf(screen()), [&] { platform.Guard([&] { laterHandlerRan = true; }); });
        screen().Command1.Click();
        screen().steps.push_back("after the end");
    });

    EXPECT_EQ(code, 0);
    EXPECT_TRUE(platform.Ended());
    EXPECT_EQ(platform.ExitCode(), 0);
    EXPECT_EQ(screen().steps, (std::vector<std::string>{"end pressed"}));
    EXPECT_FALSE(screen().Visible());
    EXPECT_FALSE(platform.Forms().Get<Other>().Visible());
    // The queued handler would run in a later loop; guards are inert now.
    QApplication::processEvents();
    EXPECT_FALSE(laterHandlerRan);
    EXPECT_TRUE(QApplication::topLevelWidgets().size() > 0);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    }
}

TEST_F(EndTest, AfterTheEndGuardsAndButtonsDoNothingAndDialogsDoNotOpen) {
    RunInEventLoop(platform, [&] { screen().Command1.Click(); });
    ASSERT_TRUE(platform.Ended());
    screen().steps.clear();

    int ran = 0;
    platform.Guard([&] { ++ran; });
    screen().Command2.Click();
    EXPECT_EQ(ran, 0);
    EXPECT_TRUE(screen().steps.empty());
    EXPECT_THROW(platform.InputBox("p", "t", "", 0, 0), EndOfProgram);
    EXPECT_TRUE(dialogs.Calls().empty());
}

TEST_F(EndTest, NoAnswerEndsTheRunFromInsideTheHandlerWithoutAFurtherQuestion) {
    dialogs.QueueInput("иванов");
    dialogs.QueueYesNo(kNo);
    dialogs.QueueYesNo(kYes);  // would be a second question
    screen().Show();

    RunInEventLoop(platform, [&] { screen().Command2.Press(); });

    EXPECT_TRUE(platform.Ended());
    EXPECT_EQ(screen().steps, (std::vector<std::string>{"ask", "answer иванов"}));
    EXPECT_EQ(dialogs.Calls().size(), 2u);
    EXPECT_EQ(dialogs.Unexpected(), 0);
}

TEST_F(EndTest, EndingWhileAScriptedBoxIsOpenUnwindsTheHandler) {
    dialogs.OnOpen([&](const DialogCall&) { platform.EndProgram(); });
    RunInEventLoop(platform, [&] { screen().Command2.Click(); });
    EXPECT_TRUE(platform.Ended());
    EXPECT_EQ(screen().steps, (std::vector<std::string>{"ask"}));
}

TEST_F(EndTest, EndingWhileARealModalDialogIsOpenEndsTheRunAtOnce) {
    QtDialogs qtDialogs;
    Platform real(services.toolkit, qtDialogs, services.sound, services.keyboard, services.clock,
                  services.printer);
    Screen& form = real.Forms().Get<Screen>();
    form.Show();
    // While the input box waits, another handler (as from a timer or a repaint) ends the run.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QApplication::activeModalWidget() != nullptr) {
            poll.stop();
            real.Guard([&] { real.EndProgram(); });
        }
    });
    poll.start(10);

    const int code = RunInEventLoop(real, [&] { form.Command2.Click(); });

    EXPECT_EQ(code, 0);
    EXPECT_TRUE(real.Ended());
    EXPECT_EQ(form.steps, (std::vector<std::string>{"ask"})) << "the handler did not go on after the box";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(EndTest, EndingInsideAListClickRaisedByAButtonStopsTheButtonHandlerToo) {
    struct Correction : Form {
        explicit Correction(Platform& p) : Form(p, "Correction") {
            List1.AddItem("line 0");
            List1.OnClick([this] { platform().EndProgram(); });
            Command1.OnClick([this] {
                List1.SetListIndex(0);
                steps.push_back("button handler went on");
            });
        }
        ListBox& List1 = AddList("List1");
        Button& Command1 = AddButton("Command1");
        std::vector<std::string> steps;
    };
    Correction& form = platform.Forms().Get<Correction>();
    RunInEventLoop(platform, [&] { form.Command1.Click(); });
    EXPECT_TRUE(platform.Ended());
    EXPECT_TRUE(form.steps.empty());
}

TEST_F(EndTest, EndProgramRunsTheHooksAndEndsAnOpenPrintJob) {
    std::vector<std::string> order;
    platform.AddBeforeEndHook([&] {
        order.push_back("hook: document open " + std::to_string(services.printer.HasOpenDocument()));
        services.printer.Print("___________________");
    });
    const int removed = platform.AddBeforeEndHook([&] { order.push_back("removed hook"); });
    platform.RemoveBeforeEndHook(removed);
    services.printer.Print("head");

    RunInEventLoop(platform, [&] { screen().Command1.Click(); });

    EXPECT_EQ(order, (std::vector<std::string>{"hook: document open 1"}));
    EXPECT_FALSE(services.printer.HasOpenDocument());
    ASSERT_EQ(services.printer.Documents().size(), 1u);
    EXPECT_EQ(services.printer.Documents()[0], (std::vector<std::string>{"head", "___________________"}));
}

TEST_F(EndTest, NothingPrintedMeansNoDocument) {
    RunInEventLoop(platform, [&] { screen().Command1.Click(); });
    EXPECT_TRUE(services.printer.Documents().empty());
}

TEST_F(EndTest, AnUnexpectedExceptionEndsTheRunWithAFailureInsteadOfEscapingIntoQt) {
    RunInEventLoop(platform, [&] { screen().Command3.Click(); });
    EXPECT_TRUE(platform.Ended());
    EXPECT_EQ(platform.ExitCode(), 1);
    EXPECT_EQ(platform.Failures(), (std::vector<std::string>{"fault in a handler"}));
}

TEST_F(EndTest, TheWindowManagersCloseButtonEndsTheRunByDefault) {
    screen().Show();
    RunInEventLoop(platform,
                   [&] { QTimer::singleShot(0, WidgetOf(screen()), [&] { WidgetOf(screen())->close(); }); });
    EXPECT_TRUE(platform.Ended());
}

TEST_F(EndTest, ALaterRunStartsWithAFreshEventLoop) {
    RunInEventLoop(platform, [&] { screen().Command1.Click(); });
    // The end left no quit request behind: a new platform's loop runs its scenario normally.
    TestPlatform next;
    bool ran = false;
    bool timerRan = false;
    const int code = RunInEventLoop(next.platform, [&] {
        ran = true;
        QTimer::singleShot(0, WidgetOf(next.platform.Forms().Get<Other>()), [&] { timerRan = true; });
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(ran);
    EXPECT_TRUE(timerRan);
    EXPECT_FALSE(next.platform.Ended());
}

}  // namespace
}  // namespace heatx::ui::testing
