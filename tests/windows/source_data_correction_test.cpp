// The source-data windows: correcting single lines, the colour of the end-of-corrections button, and
// the presentation of faulty data with the highlight over the faulty row.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "design_data/design_data.h"
#include "reports/text.h"
#include "results/results_forms.h"
#include "source_data_test_support.h"

namespace heatx::ui::testing {
namespace {

constexpr Color kGreen = Rgb(0, 255, 0);
constexpr Color kRed = Rgb(255, 0, 0);

class CorrectionTest : public WindowTest {
  protected:
    // The kind chosen on the menu with the reference data (valid review state), then "ИЗМЕНЯЕТЕ".
    template <class S>
    S& StartCorrecting(Apparatus kind) {
        RunInEventLoop(platform, [&] {
            ChooseOnMenu(platform, dialogs, kind, ReferenceAnswers(kind));
            ASSERT_TRUE(platform.Forms().Get<S>().Command2.Press());
        });
        EXPECT_EQ(dialogs.Unexpected(), 0) << dialogs.UnexpectedReport();
        dialogs.Reset();
        return platform.Forms().Get<S>();
    }

    // Clicks line i with the answer typed into its input box.
    void Correct(SourceDataForm& s, int i, const std::string& typed) {
        dialogs.QueueInput(typed);
        RunInEventLoop(platform, [&] { s.List1.SetListIndex(i); });
    }
};

TEST_F(CorrectionTest, StartingTheCorrectionShowsTheListAndTheInstructionOnly) {
    Form10& s = StartCorrecting<Form10>(Apparatus::Evaporator);
    EXPECT_TRUE(s.List1.Visible() && s.List1.Enabled() && s.Label3.Visible());
    EXPECT_FALSE(s.Command1.Visible() || s.Command2.Visible());
    EXPECT_FALSE(s.Command3.Visible()) << "shown only after the first corrected line";
}

TEST_F(CorrectionTest, ACorrectedLineKeepsItsPlaceAndTheOtherLinesStayAsTheyWere) {
    Form3& s = StartCorrecting<Form3>(Apparatus::Heater);
    const std::vector<std::string> before = ListLines(s.List1);

    Correct(s, 4, "0,5");

    ASSERT_EQ(dialogs.Calls().size(), 1u);
    const DialogCall& box = dialogs.Calls()[0];
    EXPECT_EQ(box.prompt, run.data.HeaterLabels[4]);
    EXPECT_EQ(box.title, "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ");
    EXPECT_EQ(box.xTwips, 2000) << "the heater's boxes stand further left";
    EXPECT_EQ(box.yTwips, (4 + 1) * 195 + 1680);

    EXPECT_EQ(run.data.HeaterTexts[4], "0.5");
    EXPECT_FLOAT_EQ(run.data.Values[4], 0.5f);
    std::vector<std::string> expected = before;
    expected[4] = std::string(kHeaterLabelTexts[4]) + PadBlanks(kHeaterLabelTexts[4], 62) + "0.5";
    EXPECT_EQ(ListLines(s.List1), expected);
    EXPECT_EQ(s.List1.ListIndex(), -1) << "no line stays selected";
    EXPECT_TRUE(s.List1.TabStop()) << "only the evaporator's list leaves the tab order";
    EXPECT_TRUE(s.Command3.Visible());
    EXPECT_FALSE(s.Label3.Visible());
}

TEST_F(CorrectionTest, TheEndButtonColourReflectsTheWholeSetAfterEveryCorrection) {
    Form6& s = StartCorrecting<Form6>(Apparatus::Cooler);

    Correct(s, 2, "-1");  // viscosity below its range
    EXPECT_EQ(s.Command3.BackColor(), kRed);
    EXPECT_EQ(run.data.BadIndex, 2);

    Correct(s, 7, "0.0009");  // a good line elsewhere: the set still fails
    EXPECT_EQ(s.Command3.BackColor(), kRed);
    EXPECT_EQ(run.data.BadIndex, 2);

    Correct(s, 2, std::string(kCoolerReferenceTexts[2]));
    EXPECT_EQ(s.Command3.BackColor(), kGreen);
    EXPECT_EQ(run.data.DataError, kFalse);
    EXPECT_EQ(dialogs.CallsOf(DialogKind::Input).back().xTwips, 4000);
}

TEST_F(CorrectionTest, TheEvaporatorListLeavesTheTabOrderAfterACorrection) {
    Form10& s = StartCorrecting<Form10>(Apparatus::Evaporator);
    Correct(s, 14, "1005000");
    EXPECT_FALSE(s.List1.TabStop());
    EXPECT_EQ(s.Command3.BackColor(), kGreen);
    EXPECT_EQ(dialogs.Calls()[0].yTwips, 15 * 195 + 1680);
}

TEST_F(CorrectionTest, ValueTextsStartInTheColumnAfterTheLabelWidthWhateverTheLabel) {
    Form6& s = StartCorrecting<Form6>(Apparatus::Cooler);
    Correct(s, 6, "0.7");  // the longest cooler label: its text follows at once
    for (int i = 0; i <= 12; ++i) {
        const std::string line = s.List1.List(i);
        const std::string& text = run.data.CoolerTexts[i];
        ASSERT_GE(line.size(), text.size());
        EXPECT_EQ(line.substr(line.size() - text.size()), text);
        EXPECT_EQ(CharLength(line) - CharLength(text), 72u) << "line " << i;
    }
}

// After a failed check the highlight label lies over the row of the first faulty parameter: on the
// list row when the list's geometry decides, on the printed line otherwise.
TEST_F(CorrectionTest, FaultyDataAtTheEndOfCorrectionsAreMarkedOverTheirRow) {
    Form6& s = StartCorrecting<Form6>(Apparatus::Cooler);
    Correct(s, 9, "-1");  // a negative flow rate
    Correct(s, 11, "5");  // also faulty, but later in the list
    ASSERT_EQ(run.data.BadIndex, 9);
    services.sound.Reset();

    RunInEventLoop(platform, [&] { ASSERT_TRUE(s.Command3.Press()); });

    EXPECT_EQ(s.Caption(), "   ПРОВЕРКА ВВОДА ИСХОДНОЙ ИНФОРМАЦИИ");
    EXPECT_EQ(services.sound.Beeps(), 1);
    EXPECT_FALSE(s.List1.Visible());
    EXPECT_FALSE(s.Command3.Visible());
    EXPECT_TRUE(s.Label2.Visible());
    EXPECT_EQ(s.Label2.Caption(), ExpectedLines(s)[9]);
    EXPECT_DOUBLE_EQ(s.Label2.Top(), 1200 + 195 * 9);
    EXPECT_DOUBLE_EQ(s.Label2.Left(), 530);
    EXPECT_DOUBLE_EQ(s.Label2.Width(), s.List1.Width());
    EXPECT_DOUBLE_EQ(s.Label2.Height(), 200);
    const auto& printed = s.PrintedTexts();
    ASSERT_EQ(printed.size(), 13u);
    EXPECT_EQ(PrintedLines(s), ExpectedLines(s));
    EXPECT_LE(std::abs(printed[9].yTwips - s.Label2.Top()), 10.0);

    ASSERT_TRUE(platform.Forms().IsLoaded<Form14>());
    Form14& dialog = platform.Forms().Get<Form14>();
    EXPECT_TRUE(dialog.Visible());
    EXPECT_DOUBLE_EQ(dialog.Left(), 500 + 1600);
    EXPECT_DOUBLE_EQ(dialog.Top(), 5000);
    EXPECT_FALSE(platform.Forms().IsLoaded<Form13>()) << "no hand-over with faulty data";
}

TEST_F(CorrectionTest, TheHeaterMarksItsFaultyLineAtTheListOnEndOfCorrectionsAndAtThePrintedLineOnAccept) {
    Form3& s = StartCorrecting<Form3>(Apparatus::Heater);
    Correct(s, 3, "1");  // viscosity far too high
    RunInEventLoop(platform, [&] { ASSERT_TRUE(s.Command3.Press()); });
    EXPECT_DOUBLE_EQ(s.Label2.Left(), 500);
    EXPECT_DOUBLE_EQ(s.Label2.Top(), 1200 + 195 * 3);
    EXPECT_DOUBLE_EQ(s.Label2.Width(), 9000);
    Form5& dialog = platform.Forms().Get<Form5>();
    EXPECT_DOUBLE_EQ(dialog.Left(), 500 + 1600);
    EXPECT_DOUBLE_EQ(dialog.Top(), 5000);

    // A new task with the same faulty value, accepted unchanged from the review state.
    TestPlatform fresh;
    std::vector<std::string> answers = ReferenceAnswers(Apparatus::Heater);
    answers[3] = "1";
    RunInEventLoop(fresh.platform, [&] {
        ChooseOnMenu(fresh.platform, fresh.dialogs, Apparatus::Heater, answers);
        ASSERT_TRUE(fresh.platform.Forms().Get<Form3>().Command1.Press());
    });
    Form3& accepted = fresh.platform.Forms().Get<Form3>();
    EXPECT_DOUBLE_EQ(accepted.Label2.Left(), 530);
    EXPECT_DOUBLE_EQ(accepted.Label2.Top(), 1200 + 195 * 3);
    EXPECT_DOUBLE_EQ(accepted.Label2.Width(), 9000);
    EXPECT_EQ(accepted.PrintedTexts().size(), 11u) << "the lines of the review state, not printed twice";
    Form5& loaded = fresh.platform.Forms().Get<Form5>();
    EXPECT_DOUBLE_EQ(loaded.Left(), (10000 - 5580) / 2.0) << "centred under the evaporator window's width";
    EXPECT_DOUBLE_EQ(loaded.Top(), 5000);
    EXPECT_FALSE(fresh.platform.Forms().IsLoaded<Form10>()) << "placing the dialog loads no other window";
}

TEST_F(CorrectionTest, TheEvaporatorPresentsFaultyDataThroughItsRun) {
    std::vector<std::string> answers = ReferenceAnswers(Apparatus::Evaporator);
    answers[6] = "99999";  // specific heat out of range
    RunInEventLoop(platform, [&] {
        ChooseOnMenu(platform, dialogs, Apparatus::Evaporator, answers);
        ASSERT_TRUE(platform.Forms().Get<Form10>().Command1.Press());
    });
    Form10& s = platform.Forms().Get<Form10>();
    ASSERT_EQ(run.data.BadIndex, 6);
    EXPECT_EQ(s.Caption(), "   ПРОВЕРКА ВВОДА ИСХОДНОЙ ИНФОРМАЦИИ");
    EXPECT_DOUBLE_EQ(s.Label2.Top(), 1200 + 195 * 6);
    EXPECT_DOUBLE_EQ(s.Label2.Left(), 530);
    EXPECT_DOUBLE_EQ(s.Label2.Width(), 9000);
    EXPECT_EQ(s.Label2.Caption(), ExpectedLines(s)[6]);
    EXPECT_EQ(PrintedLines(s), ExpectedLines(s)) << "each line once, over the review state's lines";
    EXPECT_FALSE(s.Command1.Visible());
    EXPECT_FALSE(s.Command2.Visible());
    Form8& dialog = platform.Forms().Get<Form8>();
    EXPECT_TRUE(dialog.Visible());
    EXPECT_DOUBLE_EQ(dialog.Top(), 4500);
    EXPECT_DOUBLE_EQ(dialog.Left(), (10000 - 5385) / 2.0);
    EXPECT_FALSE(platform.Forms().IsLoaded<Form11>()) << "faulty data leave no results window behind";
}

}  // namespace
}  // namespace heatx::ui::testing
