// The evaporator run: from accepted source data through the tube-height dialog and the calculation to
// the results window, with every refusal, failure and Yes/No outcome.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "evaporator_test_support.h"

namespace heatx::ui::testing {
namespace {

using EvaporatorRunTest = EvaporatorTest;

TEST_F(EvaporatorRunTest, ReferenceDataWithHeightFourShowTheResultsOnForm11) {
    RunToResults("4");

    ASSERT_EQ(dialogs.Calls().size(), 1u);
    const DialogCall& box = dialogs.Calls()[0];
    EXPECT_EQ(box.kind, DialogKind::Input);
    EXPECT_EQ(box.prompt, "  ВВЕДИТЕ ВЫСОТУ ТРУБ, М ");
    EXPECT_EQ(box.title, "ВВОД ВЫСОТЫ ТРУБ");
    EXPECT_EQ(box.defaultText, "");
    EXPECT_EQ(box.xTwips, 2000);
    EXPECT_EQ(box.yTwips, 1000);

    Form11& results = Results();
    EXPECT_TRUE(results.Visible());
    EXPECT_EQ(results.Caption(), "РАСЧЁТ ИСПАРИТЕЛЕЙ");
    EXPECT_EQ(results.Label1.Caption(), "  ВЫСОТА ТРУБ 4 М");
    EXPECT_EQ(results.Label2.Caption(), EvaporatorResultsHeading() + kResultsLineHeight4);
    for (ui::Control* control :
         std::vector<ui::Control*>{&results.Command1, &results.Command2, &results.Command3, &results.Command4,
                                   &results.Command5, &results.Label1, &results.Label2}) {
        EXPECT_TRUE(control->Visible()) << control->Name();
    }
    EXPECT_EQ(data().EvaporatorTexts[kTubeHeightSlot], "4");
    EXPECT_FLOAT_EQ(data().Values[kTubeHeightSlot], 4.0f);
    EXPECT_EQ(data().DataError, kFalse);
    EXPECT_EQ(Beeps(), 0);
    // The source-data window was unloaded and re-created hidden; the results window came after it.
    EXPECT_EQ(LoadedWindowNames(platform), (std::vector<std::string>{"Form10", "Form11"}));
    EXPECT_FALSE(platform.Forms().Get<Form10>().Visible());
    EXPECT_FALSE(printer().HasOpenDocument());
}

TEST_F(EvaporatorRunTest, HeightTextIsShownAsNormalisedAndReadByItsLeadingNumber) {
    struct Case {
        std::string typed;
        std::string caption;
        float value;
    };
    const std::vector<Case> cases = {
        {"2,5", "  ВЫСОТА ТРУБ 2.5 М", 2.5f},
        {"3 м", "  ВЫСОТА ТРУБ 3 м М", 3.0f},
        {"1", "  ВЫСОТА ТРУБ 1 М", 1.0f},
        {"10", "  ВЫСОТА ТРУБ 10 М", 10.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        dialogs.Reset();
        RunToResults(c.typed);
        EXPECT_EQ(dialogs.Calls().size(), 1u) << "accepted at once";
        EXPECT_EQ(Results().Label1.Caption(), c.caption);
        EXPECT_FLOAT_EQ(data().Values[kTubeHeightSlot], c.value);
        EXPECT_TRUE(Results().Command1.Visible());
    }
}

TEST_F(EvaporatorRunTest, RefusedHeightsAnsweredYesAreAskedAgain) {
    dialogs.QueueInput("0.99");
    dialogs.QueueYesNo(kYes);
    dialogs.QueueInput("10.01");
    dialogs.QueueYesNo(kYes);
    dialogs.QueueInput("");
    dialogs.QueueYesNo(kYes);
    dialogs.QueueCancel();
    dialogs.QueueYesNo(kYes);
    dialogs.QueueInput("4");
    Run([this] { RunEvaporator(run); });

    ASSERT_FALSE(platform.Ended());
    EXPECT_EQ(dialogs.Unexpected(), 0) << dialogs.UnexpectedReport();
    const auto questions = dialogs.CallsOf(DialogKind::YesNo);
    ASSERT_EQ(questions.size(), 4u);
    for (const DialogCall& q : questions) {
        EXPECT_EQ(q.prompt, kTubeHeightQuestion);
        EXPECT_EQ(q.title, "ОШИБКА !");
    }
    EXPECT_EQ(dialogs.CallsOf(DialogKind::Input).size(), 5u);
    EXPECT_EQ(Beeps(), 4) << "one beep per refused height";
    EXPECT_EQ(data().MsgAnswer, static_cast<float>(kYes));
    EXPECT_EQ(Results().Label2.Caption(), EvaporatorResultsHeading() + kResultsLineHeight4);
}

TEST_F(EvaporatorRunTest, WhileTheHeightIsAskedTheResultsWindowShowsNothing) {
    bool checked = false;
    dialogs.OnOpen([this, &checked](const DialogCall& call) {
        if (call.kind != DialogKind::Input || checked) {
            return;
        }
        checked = true;
        Form11& results = Results();
        EXPECT_TRUE(results.Visible());
        for (ui::Control* control : std::vector<ui::Control*>{
                 &results.Command1, &results.Command2, &results.Command3, &results.Command4,
                 &results.Command5, &results.Label1, &results.Label2}) {
            EXPECT_FALSE(control->Visible()) << control->Name();
        }
    });
    RunToResults("4");
    EXPECT_TRUE(checked);
}

TEST_F(EvaporatorRunTest, RefusedHeightAnsweredNoEndsTheRunAtOnce) {
    for (const std::string typed : {"0.99", "10.01", "", "abc"}) {
        SCOPED_TRACE("typed: '" + typed + "'");
        TestPlatform fresh;
        StartReferenceTask(fresh.run.data);
        fresh.dialogs.QueueInput(typed);
        fresh.dialogs.QueueYesNo(kNo);
        bool afterEnd = false;
        RunInEventLoop(fresh.platform, [&] {
            RunEvaporator(fresh.run);
            afterEnd = true;
        });
        EXPECT_TRUE(fresh.platform.Ended());
        EXPECT_EQ(fresh.platform.ExitCode(), 0);
        EXPECT_FALSE(afterEnd) << "nothing runs after the end";
        EXPECT_EQ(fresh.dialogs.Calls().size(), 2u) << "no further question";
        EXPECT_EQ(fresh.dialogs.Unexpected(), 0);
        EXPECT_EQ(fresh.run.data.MsgAnswer, static_cast<float>(kNo));
        EXPECT_EQ(fresh.sound.Beeps(), 1);
        EXPECT_FALSE(fresh.printer.HasOpenDocument());
        EXPECT_TRUE(fresh.printer.Documents().empty()) << "nothing was printed";
        // Only the re-created source-data window is left, hidden like every other window.
        EXPECT_EQ(LoadedWindowNames(fresh.platform), (std::vector<std::string>{"Form10"}));
        EXPECT_FALSE(fresh.platform.Forms().Get<Form10>().Visible());
    }
}

TEST_F(EvaporatorRunTest, IterationFailureBeepsTwiceAndHidesThePrintButton) {
    data().Values[12] = 0.01f;
    data().EvaporatorTexts[12] = "0.01";
    data().DataError = kTrue;  // left from an earlier check: the run validates again
    dialogs.QueueInput("4");
    dialogs.QueueYesNo(kYes);
    Run([this] { RunEvaporator(run); });

    ASSERT_FALSE(platform.Ended());
    EXPECT_EQ(data().DataError, kTrue);
    EXPECT_EQ(Beeps(), 2) << "once from the method, once from the run";
    const auto questions = dialogs.CallsOf(DialogKind::YesNo);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].prompt, kFailureQuestion);
    EXPECT_EQ(questions[0].title, "ОШИБКА !");

    Form11& results = Results();
    EXPECT_TRUE(results.Visible());
    EXPECT_FALSE(results.Command1.Visible()) << "a failed result cannot be printed";
    EXPECT_FALSE(results.Label2.Visible());
    EXPECT_TRUE(results.Label1.Visible());
    EXPECT_EQ(results.Label1.Caption(), "  ВЫСОТА ТРУБ 4 М");
    EXPECT_TRUE(results.Command2.Visible());
    EXPECT_TRUE(results.Command3.Visible());
    EXPECT_TRUE(results.Command4.Visible());
    EXPECT_TRUE(results.Command5.Visible());
    EXPECT_FALSE(results.Command1.Press());
}

TEST_F(EvaporatorRunTest, IterationFailureAnsweredNoEndsTheRun) {
    data().Values[12] = 0.01f;
    dialogs.QueueInput("4");
    dialogs.QueueYesNo(kNo);
    Run([this] { RunEvaporator(run); });

    EXPECT_TRUE(platform.Ended());
    EXPECT_EQ(platform.ExitCode(), 0);
    EXPECT_EQ(Beeps(), 2);
    EXPECT_EQ(dialogs.Calls().size(), 2u);
    EXPECT_FALSE(printer().HasOpenDocument());
    EXPECT_TRUE(printer().Documents().empty());
}

// The road as the student takes it: the accept button of the source-data window starts the run.
TEST_F(EvaporatorRunTest, AcceptingTheSourceDataWindowLeadsToTheResults) {
    dialogs.QueueInput("10");
    Run([this] {
        Form10& source = platform.Forms().Get<Form10>();
        source.Show();
        source.Command1.Show();
        ASSERT_TRUE(source.Command1.Press());
    });

    ASSERT_FALSE(platform.Ended());
    EXPECT_EQ(dialogs.Unexpected(), 0) << dialogs.UnexpectedReport();
    EXPECT_FALSE(platform.Forms().Get<Form10>().Visible());
    EXPECT_TRUE(Results().Visible());
    EXPECT_EQ(Results().Label1.Caption(), "  ВЫСОТА ТРУБ 10 М");
    EXPECT_EQ(Results().Label2.Caption(),
              EvaporatorResultsHeading() +
                  "   9696.29            4297.44          1224.52          14.76          ");
}

TEST_F(EvaporatorRunTest, FaultySourceDataOpenTheErrorDialogInsteadOfTheResults) {
    data().Values[5] = 5000.0f;  // liquid density beyond its range
    data().EvaporatorTexts[5] = "5000";
    Run([this] {
        platform.Forms().Get<Form10>().Show();
        RunEvaporator(run);
    });

    ASSERT_FALSE(platform.Ended());
    EXPECT_EQ(data().DataError, kTrue);
    EXPECT_EQ(data().BadIndex, 5);
    EXPECT_TRUE(dialogs.CallsOf(DialogKind::Input).empty()) << "no tube height for faulty data";
    EXPECT_FALSE(platform.Forms().IsLoaded<Form11>());
    ASSERT_TRUE(platform.Forms().IsLoaded<Form8>());
    EXPECT_TRUE(platform.Forms().Get<Form8>().Visible());
    EXPECT_TRUE(platform.Forms().Get<Form10>().Visible()) << "the source data stay on screen";
}

// The mean temperature difference of 1e-38 passes its strict test; the method gives no finite result
// and the run takes its failure path, as it does for the heater and the cooler.
TEST_F(EvaporatorRunTest, TinyTemperatureDifferenceTakesTheFailurePath) {
    data().Values[12] = 1e-38f;
    data().EvaporatorTexts[12] = "1e-38";
    dialogs.QueueInput("4");
    dialogs.QueueYesNo(kYes);
    Run([this] { RunEvaporator(run); });
    ASSERT_FALSE(platform.Ended());
    EXPECT_EQ(data().DataError, kTrue);
    const auto questions = dialogs.CallsOf(DialogKind::YesNo);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].prompt, kFailureQuestion);
    EXPECT_FALSE(Results().Command1.Visible() || Results().Label2.Visible());
}

}  // namespace
}  // namespace heatx::ui::testing
