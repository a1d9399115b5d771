// The program library menu: the choice of a kind asks every source parameter in its own input box
// while the list grows, validates the set and leaves the source-data window in its review state.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "design_data/design_data.h"
#include "design_data/numeric.h"
#include "reports/text.h"
#include "source_data_test_support.h"

namespace heatx::ui::testing {
namespace {

constexpr Color kGreen = Rgb(0, 255, 0);
constexpr Color kRed = Rgb(255, 0, 0);

class MenuTest : public WindowTest {
  protected:
    // Every input box of the sequence: the label as prompt, one title, stepping down the screen.
    void ExpectInputSequence(const SourceDataForm& s) {
        const auto calls = dialogs.CallsOf(DialogKind::Input);
        ASSERT_EQ(static_cast<int>(calls.size()), s.Kind().lastIndex + 1);
        for (int i = 0; i <= s.Kind().lastIndex; ++i) {
            SCOPED_TRACE("parameter " + std::to_string(i));
            EXPECT_EQ(calls[i].prompt, s.Label(i));
            EXPECT_EQ(calls[i].title, "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ");
            EXPECT_EQ(calls[i].defaultText, "");
            EXPECT_EQ(calls[i].xTwips, 4000);
            EXPECT_EQ(calls[i].yTwips, 1680 + 195 * i);
        }
    }
    void ExpectNewTaskFlags() {
        EXPECT_EQ(run.data.ReportPrinted, kFalse);
        EXPECT_EQ(run.data.ReportHeadPending, kTrue);
        EXPECT_EQ(run.data.TableHeadPending, kTrue);
    }
};

TEST_F(MenuTest, CoolerWithReferenceDataEndsInTheValidReviewState) {
    run.data.ReportPrinted = kTrue;
    run.data.CoolerLabels[3] = "overwritten by the choice";
    RunInEventLoop(platform, [&] {
        ChooseOnMenu(platform, dialogs, Apparatus::Cooler, ReferenceAnswers(Apparatus::Cooler));
    });
    ASSERT_EQ(dialogs.Unexpected(), 0) << dialogs.UnexpectedReport();
    EXPECT_FALSE(platform.Forms().IsLoaded<Form4>()) << "the menu unloads itself";
    Form6& s = platform.Forms().Get<Form6>();
    ExpectInputSequence(s);
    ExpectNewTaskFlags();
    for (int i = 0; i < kCoolerLabelCount; ++i) {
        EXPECT_EQ(run.data.CoolerLabels[i], kCoolerLabelTexts[i]);
    }

    EXPECT_EQ(s.Caption(), "   ВВОД ИСХОДНОЙ ИНФОРМАЦИИ");
    EXPECT_TRUE(s.Visible());
    EXPECT_DOUBLE_EQ(s.Left(), 0);
    EXPECT_DOUBLE_EQ(s.Width(), platform.ScreenWidthTwips());
    EXPECT_DOUBLE_EQ(s.List1.Width(), 11000);
    EXPECT_DOUBLE_EQ(s.List1.Height(), 2700);

    // 13 lines, label and blanks 72 characters, then the text as typed.
    const auto lines = ListLines(s.List1);
    ASSERT_EQ(lines.size(), 13u);
    for (int i = 0; i < 13; ++i) {
        const std::string text(kCoolerReferenceTexts[i]);
        EXPECT_EQ(lines[i], std::string(kCoolerLabelTexts[i]) + PadBlanks(kCoolerLabelTexts[i], 72) + text);
        EXPECT_EQ(CharLength(lines[i]) - CharLength(text), 72u) << "line " << i;
        EXPECT_FLOAT_EQ(run.data.Values[i], ReadValue(text));
    }

    EXPECT_EQ(run.data.DataError, kFalse);
    EXPECT_TRUE(s.List1.Visible());
    EXPECT_FALSE(s.List1.Enabled());
    EXPECT_TRUE(s.Command1.Visible());
    EXPECT_EQ(s.Command1.BackColor(), kGreen);
    EXPECT_TRUE(s.Command2.Visible());
    EXPECT_EQ(s.Command2.BackColor(), kGreen);
    EXPECT_TRUE(s.Command2.TabStop());
    EXPECT_FALSE(s.Command3.Visible());
    EXPECT_TRUE(s.Label1.Visible());
    EXPECT_FALSE(s.Label2.Visible());
    EXPECT_FALSE(s.Label3.Visible());
    EXPECT_TRUE(s.PrintedTexts().empty());
}

TEST_F(MenuTest, CancellingEveryEvaporatorBoxPrintsTheFaultyLinesWithARedAcceptButton) {
    RunInEventLoop(platform, [&] {
        for (int i = 0; i < kEvaporatorSourceCount; ++i) {
            dialogs.QueueCancel();
        }
        ChooseOnMenu(platform, dialogs, Apparatus::Evaporator, {});
    });
    ASSERT_EQ(dialogs.Unexpected(), 0) << dialogs.UnexpectedReport();
    Form10& s = platform.Forms().Get<Form10>();
    ExpectInputSequence(s);
    for (int i = 0; i < kEvaporatorSourceCount; ++i) {
        EXPECT_EQ(run.data.EvaporatorTexts[i], "0");
    }
    EXPECT_EQ(run.data.DataError, kTrue);
    EXPECT_EQ(run.data.BadIndex, 0);

    EXPECT_FALSE(s.List1.Visible());
    EXPECT_EQ(ListLines(s.List1), ExpectedLines(s)) << "the list still holds the lines";
    EXPECT_EQ(s.Command1.BackColor(), kRed);
    EXPECT_TRUE(s.Command1.TabStop());
    EXPECT_EQ(s.Command2.BackColor(), kGreen);
    EXPECT_FALSE(s.Label2.Visible()) << "the menu does not mark the faulty line";
    // The same lines printed on the window, one row per parameter.
    const auto& printed = s.PrintedTexts();
    ASSERT_EQ(printed.size(), 15u);
    for (int i = 0; i < 15; ++i) {
        EXPECT_DOUBLE_EQ(printed[i].xTwips, 530);
        EXPECT_DOUBLE_EQ(printed[i].yTwips, 1210 + 195 * i);
        EXPECT_EQ(printed[i].text, ExpectedLines(s)[i]);
    }
    EXPECT_DOUBLE_EQ(s.Width(), 10000) << "the evaporator window keeps its own geometry";
    EXPECT_DOUBLE_EQ(s.List1.Height(), 3000);
}

TEST_F(MenuTest, HeaterListsElevenLinesAndStoresADecimalCommaAsAPoint) {
    std::vector<std::string> answers = ReferenceAnswers(Apparatus::Heater);
    answers[4] = "0,173";
    RunInEventLoop(platform, [&] { ChooseOnMenu(platform, dialogs, Apparatus::Heater, answers); });
    ASSERT_EQ(dialogs.Unexpected(), 0) << dialogs.UnexpectedReport();
    Form3& s = platform.Forms().Get<Form3>();
    ExpectInputSequence(s);
    ExpectNewTaskFlags();
    EXPECT_EQ(run.data.HeaterTexts[4], "0.173");
    EXPECT_FLOAT_EQ(run.data.Values[4], 0.173f);
    EXPECT_EQ(s.List1.ListCount(), 11) << "HeaterLabels has 17 entries, 11 are listed";
    EXPECT_EQ(s.List1.List(4),
              std::string(kHeaterLabelTexts[4]) + PadBlanks(kHeaterLabelTexts[4], 62) + "0.173");
    EXPECT_EQ(s.Command1.BackColor(), kGreen);
    EXPECT_DOUBLE_EQ(s.List1.Height(), 2300);
}

TEST_F(MenuTest, AChoiceAsksEveryParameterAnewAndTheSameKindAgainStartsFromAnEmptyList) {
    std::vector<std::string> first = ReferenceAnswers(Apparatus::Cooler);
    first[0] = "-5";  // faulty: lines printed on the window
    RunInEventLoop(platform, [&] { ChooseOnMenu(platform, dialogs, Apparatus::Cooler, first); });
    ASSERT_EQ(run.data.DataError, kTrue);
    // Straight back to the menu (as from a results screen) and the same kind once more.
    RunInEventLoop(platform, [&] {
        ChooseOnMenu(platform, dialogs, Apparatus::Cooler, ReferenceAnswers(Apparatus::Cooler));
    });
    ASSERT_EQ(dialogs.Unexpected(), 0) << dialogs.UnexpectedReport();
    Form6& s = platform.Forms().Get<Form6>();
    EXPECT_EQ(s.List1.ListCount(), 13);
    EXPECT_TRUE(s.PrintedTexts().empty());
    EXPECT_EQ(run.data.CoolerTexts[0], std::string(kCoolerReferenceTexts[0]));
    EXPECT_EQ(s.Command1.BackColor(), kGreen);
}

}  // namespace
}  // namespace heatx::ui::testing
