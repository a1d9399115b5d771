// The error dialogs of the source data, the cooler's construction input with its bounds, the hand-over
// of accepted data to the results windows, and the end of the run from inside nested dialogs.
#include <gtest/gtest.h>

#include <QTimer>
#include <QWidget>
#include <cmath>
#include <string>
#include <vector>

#include "design_data/design_data.h"
#include "design_data/validation.h"
#include "methods/messages.h"
#include "results/results_forms.h"
#include "source_data_test_support.h"

namespace heatx::ui::testing {
namespace {

constexpr Color kGreen = Rgb(0, 255, 0);
constexpr Color kRed = Rgb(255, 0, 0);

// The construction of the reference cooler, slots 13..17.
const std::vector<std::string>& Construction() {
    static const std::vector<std::string> texts = AsTexts(kCoolerReferenceConstruction);
    return texts;
}

class DialogTest : public WindowTest {
  protected:
    // A task of the kind whose data fail at `bad` (typed as `typed`), the faulty set accepted
    // unchanged: the source-data window shows the faulty line and its dialog is open.
    template <class S>
    S& FailOnAccept(Apparatus kind, int bad, const std::string& typed) {
        std::vector<std::string> answers = ReferenceAnswers(kind);
        answers[static_cast<std::size_t>(bad)] = typed;
        RunInEventLoop(platform, [&] {
            ChooseOnMenu(platform, dialogs, kind, answers);
            ASSERT_TRUE(platform.Forms().Get<S>().Command1.Press());
        });
        EXPECT_EQ(dialogs.Unexpected(), 0) << dialogs.UnexpectedReport();
        dialogs.Reset();
        EXPECT_EQ(run.data.BadIndex, bad);
        return platform.Forms().Get<S>();
    }

    // The correcting state the evaporator and heater dialogs return to.
    static void ExpectCorrectingWithoutButtons(const SourceDataForm& s) {
        EXPECT_TRUE(s.Visible());
        EXPECT_TRUE(s.List1.Visible());
        EXPECT_TRUE(s.List1.Enabled());
        EXPECT_EQ(ListLines(s.List1), ExpectedLines(s)) << "every line, the faulty one unchanged";
        EXPECT_TRUE(s.Label3.Visible());
        EXPECT_FALSE(s.Label2.Visible());
        EXPECT_TRUE(s.PrintedTexts().empty());
        EXPECT_FALSE(s.Command1.Visible());
        EXPECT_FALSE(s.Command2.Visible());
        EXPECT_FALSE(s.Command3.Visible());
    }

    void ExpectEndedWithEverythingHidden() {
        EXPECT_TRUE(platform.Ended());
        EXPECT_EQ(platform.ExitCode(), 0);
        for (int i = 0; i < platform.Forms().Count(); ++i) {
            EXPECT_FALSE(platform.Forms().At(i).Visible()) << platform.Forms().At(i).Name();
        }
    }
};

TEST_F(DialogTest, TheDialogsShareOneSymmetricDesign) {
    std::vector<ErrorDialog*> all = {&platform.Forms().Get<Form8>(), &platform.Forms().Get<Form5>(),
                                     &platform.Forms().Get<Form14>()};
    for (ErrorDialog* dialog : all) {
        SCOPED_TRACE(dialog->Name());
        EXPECT_DOUBLE_EQ(dialog->Width(), 4800);
        EXPECT_DOUBLE_EQ(dialog->Height(), 1800);
        EXPECT_TRUE(dialog->Command1.TabStop());
        const double leftGap = dialog->Command1.Left();
        const double middleGap = dialog->Command2.Left() - dialog->Command1.Left() - dialog->Command1.Width();
        const double rightGap = dialog->Width() - dialog->Command2.Left() - dialog->Command2.Width();
        EXPECT_DOUBLE_EQ(leftGap, middleGap);
        EXPECT_LE(std::abs(rightGap - leftGap), 1.0);
        EXPECT_DOUBLE_EQ(dialog->Label1.Left(), (4800 - dialog->Label1.Width()) / 2);
    }
    EXPECT_DOUBLE_EQ(all[0]->Top(), 4500);
    EXPECT_DOUBLE_EQ(all[0]->Left(), (10000 - 5385) / 2.0);
    EXPECT_DOUBLE_EQ(all[1]->Left(), (10000 - 5580) / 2.0);
}

TEST_F(DialogTest, YesOfTheEvaporatorAndHeaterDialogsReturnsToTheCorrection) {
    Form10& evaporator = FailOnAccept<Form10>(Apparatus::Evaporator, 0, "5");
    RunInEventLoop(platform, [&] { ASSERT_TRUE(platform.Forms().Get<Form8>().Command1.Press()); });
    EXPECT_FALSE(platform.Forms().IsLoaded<Form8>());
    ExpectCorrectingWithoutButtons(evaporator);
    EXPECT_FALSE(platform.Ended());

    TestPlatform other;
    std::vector<std::string> answers = ReferenceAnswers(Apparatus::Heater);
    answers[10] = "0";  // the temperature difference must exceed zero
    RunInEventLoop(other.platform, [&] {
        ChooseOnMenu(other.platform, other.dialogs, Apparatus::Heater, answers);
        ASSERT_TRUE(other.platform.Forms().Get<Form3>().Command1.Press());
        ASSERT_TRUE(other.platform.Forms().Get<Form5>().Visible());
        ASSERT_TRUE(other.platform.Forms().Get<Form5>().Command1.Press());
    });
    EXPECT_FALSE(other.platform.Forms().IsLoaded<Form5>());
    ExpectCorrectingWithoutButtons(other.platform.Forms().Get<Form3>());
}

TEST_F(DialogTest, TheCloseButtonOfAnErrorDialogCountsAsYes) {
    Form10& s = FailOnAccept<Form10>(Apparatus::Evaporator, 3, "1");
    QWidget* dialog = WidgetOf(platform.Forms().Get<Form8>());
    RunInEventLoop(platform, [&] { QTimer::singleShot(0, dialog, [dialog] { dialog->close(); }); });
    EXPECT_FALSE(platform.Ended());
    EXPECT_FALSE(platform.Forms().IsLoaded<Form8>());
    ExpectCorrectingWithoutButtons(s);
}

TEST_F(DialogTest, YesOfTheCoolerDialogCorrectsTheFaultyLineAtOnce) {
    Form6& s = FailOnAccept<Form6>(Apparatus::Cooler, 4, "0.5");
    dialogs.QueueInput("0,0005");

    RunInEventLoop(platform, [&] { ASSERT_TRUE(platform.Forms().Get<Form14>().Command1.Press()); });

    ASSERT_EQ(dialogs.Calls().size(), 1u);
    EXPECT_EQ(dialogs.Calls()[0].prompt, run.data.CoolerLabels[4]);
    EXPECT_EQ(dialogs.Calls()[0].yTwips, (4 + 1) * 195 + 1680);
    EXPECT_EQ(run.data.CoolerTexts[4], "0.0005");
    EXPECT_FALSE(platform.Forms().IsLoaded<Form14>());
    EXPECT_TRUE(s.Visible());
    EXPECT_TRUE(s.List1.Visible());
    EXPECT_EQ(ListLines(s.List1), ExpectedLines(s));
    EXPECT_TRUE(s.PrintedTexts().empty());
    EXPECT_FALSE(s.Label2.Visible());
    EXPECT_FALSE(s.Label3.Visible()) << "the instruction stays hidden on this path";
    EXPECT_TRUE(s.Command3.Visible());
    EXPECT_EQ(s.Command3.BackColor(), kGreen);
}

TEST_F(DialogTest, YesOfTheCoolerDialogWithAStillFaultyAnswerLeavesTheEndButtonRed) {
    Form6& s = FailOnAccept<Form6>(Apparatus::Cooler, 0, "7");
    dialogs.QueueInput("8");
    RunInEventLoop(platform, [&] { ASSERT_TRUE(platform.Forms().Get<Form14>().Command1.Press()); });
    EXPECT_TRUE(s.Command3.Visible());
    EXPECT_EQ(s.Command3.BackColor(), kRed);
    EXPECT_EQ(run.data.BadIndex, 0);
}

TEST_F(DialogTest, NoOfEachDialogEndsTheRunWithoutAFurtherQuestion) {
    FailOnAccept<Form10>(Apparatus::Evaporator, 1, "1");
    RunInEventLoop(platform, [&] { ASSERT_TRUE(platform.Forms().Get<Form8>().Command2.Press()); });
    ExpectEndedWithEverythingHidden();
    EXPECT_TRUE(dialogs.Calls().empty());
    EXPECT_TRUE(services.printer.Documents().empty());

    for (Apparatus kind : {Apparatus::Heater, Apparatus::Cooler}) {
        TestPlatform other;
        std::vector<std::string> answers = ReferenceAnswers(kind);
        answers[1] = "1";
        RunInEventLoop(other.platform, [&] {
            ChooseOnMenu(other.platform, other.dialogs, kind, answers);
            FormRegistry& forms = other.platform.Forms();
            if (kind == Apparatus::Heater) {
                ASSERT_TRUE(forms.Get<Form3>().Command1.Press());
                forms.Get<Form5>().Command2.Press();
            } else {
                ASSERT_TRUE(forms.Get<Form6>().Command1.Press());
                forms.Get<Form14>().Command2.Press();
            }
            ADD_FAILURE() << "the run went on after No";
        });
        EXPECT_TRUE(other.platform.Ended());
        EXPECT_EQ(other.dialogs.Calls().size(), answers.size()) << "no question after the source data";
    }
}

TEST_F(DialogTest, EndingTheRunInsideTheCorrectionOpenedByYesStopsTheDialogHandler) {
    FailOnAccept<Form6>(Apparatus::Cooler, 2, "5");
    dialogs.OnOpen([&](const DialogCall&) { platform.EndProgram(); });
    RunInEventLoop(platform, [&] { platform.Forms().Get<Form14>().Command1.Press(); });
    ExpectEndedWithEverythingHidden();
    EXPECT_EQ(dialogs.Calls().size(), 1u);
    EXPECT_TRUE(platform.Forms().IsLoaded<Form14>()) << "the dialog's handler did not go on";
}

// ---- The cooler's construction -----------------------------------------------------------------

struct BoundCase {
    int index;
    const char* typed;
    bool accepted;
};

class ConstructionBoundsTest : public DialogTest, public ::testing::WithParamInterface<BoundCase> {};

// The lower bounds are held in double precision: a typed 0.019 or 0.0001 is a little below them.
TEST_P(ConstructionBoundsTest, AValueIsComparedAsStoredInSinglePrecision) {
    const BoundCase c = GetParam();
    WriteCoolerLabels(run.data);
    Form6& s = platform.Forms().Get<Form6>();
    dialogs.QueueInput(c.typed);
    if (!c.accepted) {
        dialogs.QueueYesNo(kYes);
        dialogs.QueueInput(Construction()[static_cast<std::size_t>(c.index - 13)]);
    }
    const ConstructionBounds bounds = CoolerConstructionBounds(c.index);
    RunInEventLoop(platform, [&] { s.AskConstructionParameter(c.index, bounds.lower, bounds.upper); });

    ASSERT_EQ(dialogs.Unexpected(), 0) << dialogs.UnexpectedReport();
    const auto questions = dialogs.CallsOf(DialogKind::YesNo);
    EXPECT_EQ(questions.size(), c.accepted ? 0u : 1u);
    EXPECT_EQ(services.sound.Beeps(), c.accepted ? 0 : 1);
    const auto boxes = dialogs.CallsOf(DialogKind::Input);
    EXPECT_EQ(boxes[0].prompt, kCoolerLabelTexts[c.index]);
    EXPECT_EQ(boxes[0].title, "ВВОД КОНСТРУКТИВНЫХ ОСОБЕННОСТЕЙ АППАРАТА");
    EXPECT_EQ(boxes[0].xTwips, 800);
    EXPECT_EQ(boxes[0].yTwips, (c.index - 13) * 195 + 700);
    const std::string stored = c.accepted ? c.typed : Construction()[static_cast<std::size_t>(c.index - 13)];
    EXPECT_EQ(run.data.CoolerTexts[c.index], stored);
    Label& line = platform.Forms().Get<Form13>().L(c.index - 13);
    EXPECT_TRUE(line.Visible());
    EXPECT_EQ(line.Caption(), std::string(kCoolerLabelTexts[c.index]) + stored);
}

INSTANTIATE_TEST_SUITE_P(CoolerBounds, ConstructionBoundsTest,
                         ::testing::Values(BoundCase{13, "0.019", false}, BoundCase{13, "0.02", true},
                                           BoundCase{13, "0.06", true}, BoundCase{13, "0,07", false},
                                           BoundCase{14, "1", true}, BoundCase{14, "10", true},
                                           BoundCase{14, "11", false}, BoundCase{15, "0.0001", false},
                                           BoundCase{15, "1", true}, BoundCase{16, "10", true},
                                           BoundCase{16, "5000", true}, BoundCase{16, "", false},
                                           BoundCase{17, "0.001", true}, BoundCase{17, "0.4", true}));

TEST_F(DialogTest, TheRefusalQuestionAndItsNoEndTheRunWithoutResults) {
    RunInEventLoop(platform, [&] {
        ChooseOnMenu(platform, dialogs, Apparatus::Cooler, ReferenceAnswers(Apparatus::Cooler));
    });
    dialogs.Reset();
    dialogs.QueueInputs({"0.025", "12"});
    dialogs.QueueYesNo(kNo);
    dialogs.QueueInputs({"1", "100", "0.02"});  // never asked

    RunInEventLoop(platform, [&] { ASSERT_TRUE(platform.Forms().Get<Form6>().Command1.Press()); });

    ExpectEndedWithEverythingHidden();
    const auto questions = dialogs.CallsOf(DialogKind::YesNo);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].prompt, "ОШИБКА В ИСХОДНОЙ ИНФОРМАЦИИ    Продолжаете работу ?");
    EXPECT_EQ(questions[0].title, "ОШИБКА !");
    EXPECT_FLOAT_EQ(run.data.MsgAnswer, 7.0f);
    EXPECT_EQ(dialogs.Pending(), 3u);
    EXPECT_FALSE(platform.Forms().IsLoaded<Form6>());
}

TEST_F(DialogTest, AcceptedCoolerDataAskTheConstructionOnTheSourceWindowThenShowTheResults) {
    RunInEventLoop(platform, [&] {
        ChooseOnMenu(platform, dialogs, Apparatus::Cooler, ReferenceAnswers(Apparatus::Cooler));
    });
    dialogs.Reset();
    std::vector<std::string> printedBeforeLastBox;
    bool listHidden = false;
    dialogs.OnOpen([&](const DialogCall& call) {
        if (call.kind == DialogKind::Input && call.yTwips == 4 * 195 + 700) {
            Form6& s = platform.Forms().Get<Form6>();
            printedBeforeLastBox = PrintedLines(s);
            listHidden = !s.List1.Visible() && !s.Label1.Visible() && !s.Command1.Visible();
        }
    });
    dialogs.QueueInputs(Construction());

    RunInEventLoop(platform, [&] { ASSERT_TRUE(platform.Forms().Get<Form6>().Command1.Press()); });

    ASSERT_EQ(dialogs.Unexpected(), 0) << dialogs.UnexpectedReport();
    EXPECT_TRUE(listHidden);
    ASSERT_EQ(printedBeforeLastBox.size(), 4u);
    EXPECT_EQ(printedBeforeLastBox[0], std::string(kCoolerLabelTexts[13]) + "0.025");
    EXPECT_FALSE(platform.Ended());
    Form13& results = platform.Forms().Get<Form13>();
    EXPECT_TRUE(results.Visible());
    EXPECT_FALSE(platform.Forms().Get<Form6>().Visible());
    EXPECT_EQ(platform.Forms().Count(), 2) << "the source window (hidden, fresh) and the results";
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(run.data.CoolerTexts[13 + i], Construction()[static_cast<std::size_t>(i)]);
    }
}

TEST_F(DialogTest, AfterCorrectionsTheCoolerConstructionIsAskedOverTheEmptiedResultsWindow) {
    RunInEventLoop(platform, [&] {
        ChooseOnMenu(platform, dialogs, Apparatus::Cooler, ReferenceAnswers(Apparatus::Cooler));
        Form6& s = platform.Forms().Get<Form6>();
        ASSERT_TRUE(s.Command2.Press());
        dialogs.QueueInput(std::string(kCoolerReferenceTexts[0]));
        s.List1.SetListIndex(0);
    });
    dialogs.Reset();
    std::vector<std::string> seen;
    dialogs.OnOpen([&](const DialogCall& call) {
        Form13& results = platform.Forms().Get<Form13>();
        seen.push_back(std::to_string(call.yTwips) + (results.Visible() ? " shown" : " hidden") +
                       (results.Command1.Visible() ? " buttons" : "") +
                       (results.L(0).Visible() ? " L0" : ""));
    });
    dialogs.QueueInputs(Construction());

    RunInEventLoop(platform, [&] { ASSERT_TRUE(platform.Forms().Get<Form6>().Command3.Press()); });

    ASSERT_EQ(dialogs.Unexpected(), 0) << dialogs.UnexpectedReport();
    EXPECT_EQ(seen, (std::vector<std::string>{"700 shown", "895 shown L0", "1090 shown L0", "1285 shown L0",
                                              "1480 shown L0"}));
    Form13& results = platform.Forms().Get<Form13>();
    EXPECT_TRUE(results.Visible());
    EXPECT_TRUE(results.Command1.Visible()) << "the run shows the results";
    EXPECT_FALSE(platform.Forms().IsLoaded<Form14>());
}

// ---- Hand-over of accepted data ------------------------------------------------------------------

TEST_F(DialogTest, AcceptedHeaterDataOpenTheResultsWindowWaitingForTheOrientation) {
    RunInEventLoop(platform, [&] {
        ChooseOnMenu(platform, dialogs, Apparatus::Heater, ReferenceAnswers(Apparatus::Heater));
        Form3& s = platform.Forms().Get<Form3>();
        ASSERT_TRUE(s.Command2.Press());
        dialogs.QueueInput("908");
        s.List1.SetListIndex(1);
        ASSERT_TRUE(platform.Forms().Get<Form3>().Command3.Press());
    });
    ASSERT_EQ(dialogs.Unexpected(), 0) << dialogs.UnexpectedReport();
    EXPECT_EQ(run.data.HeaterConstructionPending, kTrue);
    Form9& results = platform.Forms().Get<Form9>();
    EXPECT_TRUE(results.Visible());
    EXPECT_FALSE(results.List1.Visible());
    EXPECT_FALSE(results.Command1.Visible());
    EXPECT_FALSE(results.Command5.Visible());
    EXPECT_FALSE(results.Label1.Visible());
    EXPECT_FALSE(platform.Forms().Get<Form3>().Visible());
    EXPECT_EQ(platform.Forms().Count(), 2);
}

TEST_F(DialogTest, CorrectedEvaporatorDataOfferTheWayBackToThePropertyData) {
    RunInEventLoop(platform, [&] {
        ChooseOnMenu(platform, dialogs, Apparatus::Evaporator, ReferenceAnswers(Apparatus::Evaporator));
        Form10& s = platform.Forms().Get<Form10>();
        ASSERT_TRUE(s.Command2.Press());
        dialogs.QueueInput("0.683");
        s.List1.SetListIndex(0);
        dialogs.QueueInput("4");  // the tube height
        ASSERT_TRUE(platform.Forms().Get<Form10>().Command3.Press());
    });
    ASSERT_EQ(dialogs.Unexpected(), 0) << dialogs.UnexpectedReport();
    Form11& results = platform.Forms().Get<Form11>();
    EXPECT_TRUE(results.Visible());
    EXPECT_TRUE(results.Command3.Visible());
    EXPECT_FALSE(platform.Forms().Get<Form10>().Visible());
}

}  // namespace
}  // namespace heatx::ui::testing
