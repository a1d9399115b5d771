// The source-data windows at the keyboard and the mouse: Cancel in a correction box keeps the line,
// the list takes the focus where it is the place to act, the error dialogs stand over their window,
// and no answer of an error dialog lies over the button that opened it.
#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>
#include <QWindow>
#include <string>
#include <vector>

#include "design_data/design_data.h"
#include "results/results_forms.h"
#include "source_data_test_support.h"

namespace heatx::ui::testing {
namespace {

constexpr Color kGreen = Rgb(0, 255, 0);
constexpr Color kRed = Rgb(255, 0, 0);

// A rectangle on the screen, in twips.
struct ScreenRect {
    double left, top, right, bottom;
    bool Overlaps(const ScreenRect& other) const {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
};

ScreenRect OnScreen(const Form& form, const Control& control) {
    const double left = form.Left() + control.Left();
    const double top = form.Top() + control.Top();
    return {left, top, left + control.Width(), top + control.Height()};
}

class SourceKeyboardTest : public WindowTest {
  protected:
    void SetUp() override { platform.OverrideLogicalDpi(96, 96); }

    template <class S>
    S& Choose(Apparatus kind, int bad = -1, const std::string& typed = "") {
        std::vector<std::string> answers = ReferenceAnswers(kind);
        if (bad >= 0) {
            answers[static_cast<std::size_t>(bad)] = typed;
        }
        RunInEventLoop(platform, [&] { ChooseOnMenu(platform, dialogs, kind, answers); });
        EXPECT_EQ(dialogs.Unexpected(), 0) << dialogs.UnexpectedReport();
        dialogs.Reset();
        return platform.Forms().Get<S>();
    }
    void Press(Button& button) {
        RunInEventLoop(platform, [&] { ASSERT_TRUE(button.Press()); });
    }
    void Correct(SourceDataForm& s, int i, const std::string& typed) {
        dialogs.QueueInput(typed);
        RunInEventLoop(platform, [&] { s.List1.SetListIndex(i); });
    }
    void Cancel(SourceDataForm& s, int i) {
        dialogs.QueueCancel();
        RunInEventLoop(platform, [&] { s.List1.SetListIndex(i); });
    }
};

TEST_F(SourceKeyboardTest, CancelInACorrectionBoxKeepsTheLineItsValueAndTheButtons) {
    Form3& s = Choose<Form3>(Apparatus::Heater);
    Press(s.Command2);
    EXPECT_TRUE(s.List1.HasFocus()) << "the list is the place to act";

    Cancel(s, 3);  // before any correction: nothing changes, the end button is not offered yet
    EXPECT_EQ(s.Text(3), std::string(kHeaterReferenceTexts[3]));
    EXPECT_FALSE(s.Command3.Visible());
    EXPECT_TRUE(s.Label3.Visible());

    Correct(s, 4, "0,5");
    ASSERT_EQ(s.Command3.BackColor(), kGreen);
    const std::vector<std::string> lines = ListLines(s.List1);
    Cancel(s, 4);
    EXPECT_EQ(s.Text(4), "0.5");
    EXPECT_FLOAT_EQ(run.data.Values[4], 0.5f);
    EXPECT_EQ(ListLines(s.List1), lines);
    EXPECT_EQ(s.List1.ListIndex(), -1);
    EXPECT_TRUE(s.Command3.Visible());
    EXPECT_EQ(s.Command3.BackColor(), kGreen);

    Correct(s, 2, "-5");  // a faulty value: red, then Cancel on it keeps it faulty and red
    ASSERT_EQ(s.Command3.BackColor(), kRed);
    Cancel(s, 2);
    EXPECT_EQ(s.Text(2), "-5");
    EXPECT_EQ(s.Command3.BackColor(), kRed);
    EXPECT_EQ(run.data.BadIndex, 2);
    EXPECT_NE(run.data.DataError, kFalse);

    Correct(s, 2, "");  // OK with an empty text still stores "0"
    EXPECT_EQ(s.Text(2), "0");
    EXPECT_EQ(s.List1.ListIndex(), -1);
}

TEST_F(SourceKeyboardTest, CancelOnTheCoolerDialogsFaultyLineKeepsItAndTheEndButtonRed) {
    Form6& s = Choose<Form6>(Apparatus::Cooler, 2, "-1");
    Press(s.Command1);
    Form14& dialog = platform.Forms().Get<Form14>();
    dialogs.QueueCancel();
    Press(dialog.Command1);
    EXPECT_EQ(s.Text(2), "-1");
    EXPECT_TRUE(s.Command3.Visible());
    EXPECT_EQ(s.Command3.BackColor(), kRed);
    EXPECT_TRUE(s.List1.HasFocus());
}

TEST_F(SourceKeyboardTest, TheErrorDialogStandsOverItsWindowAndYesGivesTheListTheFocus) {
    Form3& s = Choose<Form3>(Apparatus::Heater, 0, "-1");
    Press(s.Command1);
    Form5& dialog = platform.Forms().Get<Form5>();
    ASSERT_TRUE(dialog.Visible());
    ASSERT_NE(WidgetOf(dialog)->windowHandle(), nullptr);
    EXPECT_EQ(WidgetOf(dialog)->windowHandle()->transientParent(), WidgetOf(s)->windowHandle());
    EXPECT_TRUE(dialog.Command1.HasFocus()) << "the dialog's first button";
    Press(dialog.Command1);
    EXPECT_TRUE(s.List1.HasFocus());
}

// Every path that opens an error dialog: its "Да" and "Нет" lie clear of the button pressed.
TEST_F(SourceKeyboardTest, NoAnswerOfAnErrorDialogLiesOverTheButtonThatOpensIt) {
    const auto expectClear = [](const SourceDataForm& s, const Button& opener, const ErrorDialog& dialog,
                                const char* path) {
        ASSERT_TRUE(dialog.Visible()) << path;
        const ScreenRect button = OnScreen(s, opener);
        for (const Button* answer : {&dialog.Command1, &dialog.Command2}) {
            EXPECT_FALSE(OnScreen(dialog, *answer).Overlaps(button)) << path << ": " << answer->Caption();
        }
    };
    {
        Form10& s = Choose<Form10>(Apparatus::Evaporator, 0, "0.9");
        const ScreenRect accept = OnScreen(s, s.Command1);
        Press(s.Command1);
        Form8& dialog = platform.Forms().Get<Form8>();
        for (const Button* answer : {&dialog.Command1, &dialog.Command2}) {
            EXPECT_FALSE(OnScreen(dialog, *answer).Overlaps(accept)) << "evaporator, accept";
        }
        Press(dialog.Command1);
        Correct(s, 1, "-1");
        Press(s.Command3);
        expectClear(s, s.Command3, platform.Forms().Get<Form8>(), "evaporator, end of corrections");
    }
}

TEST_F(SourceKeyboardTest, TheHeaterAndCoolerDialogsLieClearOfBothButtons) {
    const auto expectClear = [](const SourceDataForm& s, const ScreenRect& button, const ErrorDialog& dialog,
                                const char* path) {
        ASSERT_TRUE(dialog.Visible()) << path;
        for (const Button* answer : {&dialog.Command1, &dialog.Command2}) {
            EXPECT_FALSE(OnScreen(dialog, *answer).Overlaps(button)) << path << ": " << answer->Caption();
        }
        (void)s;
    };
    Form3& heater = Choose<Form3>(Apparatus::Heater, 0, "-1");
    const ScreenRect heaterAccept = OnScreen(heater, heater.Command1);
    Press(heater.Command1);
    expectClear(heater, heaterAccept, platform.Forms().Get<Form5>(), "heater, accept");
    Press(platform.Forms().Get<Form5>().Command1);
    Correct(heater, 1, "-1");
    const ScreenRect heaterEnd = OnScreen(heater, heater.Command3);
    Press(heater.Command3);
    expectClear(heater, heaterEnd, platform.Forms().Get<Form5>(), "heater, end of corrections");

    // The offscreen screen is 800 pixels wide: the cooler's centred buttons stand over the dialog's
    // column, so only their rows keep them apart.
    Form6& cooler = Choose<Form6>(Apparatus::Cooler, 0, "-1");
    const ScreenRect coolerAccept = OnScreen(cooler, cooler.Command1);
    Press(cooler.Command1);
    expectClear(cooler, coolerAccept, platform.Forms().Get<Form14>(), "cooler, accept");
    dialogs.QueueInput("-2");
    Press(platform.Forms().Get<Form14>().Command1);
    const ScreenRect coolerEnd = OnScreen(cooler, cooler.Command3);
    Press(cooler.Command3);
    expectClear(cooler, coolerEnd, platform.Forms().Get<Form14>(), "cooler, end of corrections");
}

TEST_F(SourceKeyboardTest, TheConstructionListTakesTheFocusAndTheRunLeavesItOnAVisibleButton) {
    Form3& s = Choose<Form3>(Apparatus::Heater);
    Press(s.Command1);
    Form9& results = platform.Forms().Get<Form9>();
    dialogs.QueueInputs({"0.025", "1", "3", "13"});
    Press(results.Command7);
    ASSERT_TRUE(results.Command1.Visible());
    EXPECT_TRUE(results.Command1.HasFocus()) << "the first button after the orientation buttons went";
    Press(results.Command2);
    EXPECT_TRUE(results.List1.HasFocus());
    QTest::keyClick(WidgetOf(results.List1), Qt::Key_End);
    EXPECT_EQ(results.List1.ListIndex(), 4) << "End finds the last construction line";
    QTest::keyClick(WidgetOf(results.List1), Qt::Key_Home);
    Press(results.Command8);
    EXPECT_FALSE(results.Command8.Visible());
    EXPECT_TRUE(results.Command1.HasFocus()) << "not the hidden button just pressed";
}

TEST_F(SourceKeyboardTest, TheCoolerResultsAfterTheEndOfCorrectionsHaveTheFocusOnTheirFirstButton) {
    Form6& s = Choose<Form6>(Apparatus::Cooler);
    Press(s.Command2);
    Correct(s, 1, std::string(kCoolerReferenceTexts[1]));
    dialogs.QueueInputs(AsTexts(kCoolerReferenceConstruction));
    Press(s.Command3);
    Form13& results = platform.Forms().Get<Form13>();
    ASSERT_TRUE(results.Command1.Visible());
    EXPECT_TRUE(results.Command1.HasFocus());
    Press(results.Command2);
    EXPECT_TRUE(results.List1.HasFocus());
    dialogs.QueueInput("110");
    RunInEventLoop(platform, [&] { results.List1.SetListIndex(3); });
    Press(results.Command6);
    EXPECT_TRUE(results.Command1.HasFocus()) << "after the calculation: the first button";
}

}  // namespace
}  // namespace heatx::ui::testing
