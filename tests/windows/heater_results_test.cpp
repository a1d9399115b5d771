// The heater or dephlegmator results window Form9 and the heater run: orientation and construction,
// results of the reference apparatus, refusal of laminar flow, bounds of the construction values,
// the correction list, printing and leaving the task.
#include <gtest/gtest.h>

#include <QFont>
#include <QFontInfo>
#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "design_data/design_data.h"
#include "design_data/numeric.h"
#include "navigation/start_forms.h"
#include "results/results_forms.h"
#include "source_data/source_data_forms.h"
#include "window_test_support.h"

namespace heatx::ui::testing {
namespace {

constexpr const char* kCorrectionTitle = "ИЗМЕНЕНИЕ КОНСТРУКТИВН. ОСОБЕННОСТЕЙ АППАРАТА";
constexpr const char* kVerticalResults =
    "  1128.83             5320.16           643.98           5.31      ";
constexpr const char* kHorizontalResults =
    "  1128.83             9816.18           681.78           5.02      ";
constexpr std::size_t kHeadLines = 15;  // date, name, empty line, 11 source lines, empty line
constexpr std::size_t kBlockLines = 11;

class HeaterWindowTest : public WindowTest {
  protected:
    void SetUp() override {
        DesignData& data = Data();
        WriteHeaterLabels(data);
        for (std::size_t i = 0; i < kHeaterSourceCount; ++i) {
            data.HeaterTexts[i] = std::string(kHeaterReferenceTexts[i]);
            data.Values[i] = ReadValue(data.HeaterTexts[i]);
        }
        data.StudentName = " Иванов Гр. 1";
        data.ReportHeadPending = kTrue;
        // A wrongly scripted bounded input would ask for ever: end the run instead.
        dialogs.SetResponder([this](const DialogCall&) -> std::optional<ScriptedAnswer> {
            if (dialogs.Calls().size() > 100) {
                ADD_FAILURE() << "too many dialogs";
                platform.EndProgram();
            }
            return std::nullopt;
        });
    }

    DesignData& Data() { return run.data; }
    Form9& Window() { return platform.Forms().Get<Form9>(); }
    static std::string Label(int slot) {
        return std::string(kHeaterLabelTexts[static_cast<std::size_t>(slot)]);
    }

    // The accepted source data hand over (list hidden, construction pending); the orientation is
    // chosen and the construction answered.
    void EnterConstruction(bool horizontal,
                           const std::vector<std::string>& answers = {"0.025", "1", "3", "13"}) {
        dialogs.QueueInputs(answers);
        Form9& form = Window();
        form.List1.Hide();
        Data().HeaterConstructionPending = kTrue;
        form.Show();
        ASSERT_TRUE(horizontal ? form.Command6.Press() : form.Command7.Press());
    }
    void Run(const std::function<void()>& scenario) {
        RunInEventLoop(platform, scenario);
        EXPECT_EQ(dialogs.Unexpected(), 0) << dialogs.UnexpectedReport();
    }
};

TEST_F(HeaterWindowTest, LoadsInTheOrientationChoiceWithFixedPitchLabels) {
    Form9& form = Window();
    EXPECT_TRUE(form.Label8.Visible() && form.Command6.Visible() && form.Command7.Visible());
    for (Control* c : {static_cast<Control*>(&form.Command1), static_cast<Control*>(&form.Command8),
                       static_cast<Control*>(&form.Label2), static_cast<Control*>(&form.List1),
                       static_cast<Control*>(&form.L(0))}) {
        EXPECT_FALSE(c->Visible()) << c->Name();
    }
    EXPECT_DOUBLE_EQ(form.Label2.Top(), 2500 + 1095) << "the results row stands under the head";
    EXPECT_EQ(form.Command5.BackColor(), Rgb(255, 128, 0));
    // "Courier", shown in the face that stands for it.
    EXPECT_EQ(QFontInfo(WidgetOf(form.Label2)->font()).family().toStdString(), "Liberation Mono");
    EXPECT_DOUBLE_EQ(WidgetOf(form.Label2)->font().pointSizeF(), 9.75);
}

TEST_F(HeaterWindowTest, VerticalReferenceAsksTheHeightAndShowsTheResults) {
    Run([&] { EnterConstruction(false); });
    const auto& calls = dialogs.Calls();
    ASSERT_EQ(calls.size(), 4u);
    const std::vector<int> labels = {12, 13, 16, 15}, ys = {1250, 1500, 1700, 1950};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(calls[i].prompt, Label(labels[i]));
        EXPECT_EQ(calls[i].title, "ВВОД КОНСТРУКТИВН. ОСОБЕННОСТЕЙ АППАРАТА");
        EXPECT_EQ(calls[i].xTwips, 800);
        EXPECT_EQ(calls[i].yTwips, ys[i]);
    }
    Form9& form = Window();
    EXPECT_EQ(Data().HeaterConstructionPending, kFalse);
    EXPECT_FLOAT_EQ(Data().Values[14], 3.0f) << "the height lives in the length slot";
    EXPECT_EQ(form.L(0).Caption(), Label(11) + "ВЕРТИКАЛЬНЫЙ");
    EXPECT_EQ(form.L(3).Caption(), Label(16) + "3");
    EXPECT_EQ(form.L(4).Caption(), Label(15) + "13");
    EXPECT_EQ(form.Label2.Caption(), kVerticalResults);
    EXPECT_EQ(form.Label6.Caption(), "ЧИСЛО RE В ТР.\r    8498.05");
    EXPECT_EQ(form.Label6.ForeColor(), Rgb(0, 0, 192));
    EXPECT_TRUE(form.Visible() && form.Command1.Visible() && form.Command5.Visible() &&
                form.Label1.Visible());
    EXPECT_FALSE(form.Command6.Visible() || form.Command7.Visible() || form.Label8.Visible());
}

TEST_F(HeaterWindowTest, HorizontalReferenceAndSevenTubes) {
    Run([&] { EnterConstruction(true); });
    EXPECT_EQ(dialogs.Calls()[2].prompt, Label(14));
    EXPECT_EQ(Window().L(3).Caption(), Label(14) + "3");
    EXPECT_EQ(Window().Label2.Caption(), kHorizontalResults);

    // Seven tubes lie below the entry bounds, but the calculation takes them: turbulent flow.
    Run([&] {
        Data().HeaterTexts[15] =
            std::string("7");  // (a literal assigned here trips a false -Wrestrict of GCC 12)
        Data().Values[15] = 7.0f;
        Data().HorizontalTubes = kFalse;
        Window().Command2.Press();
        ASSERT_TRUE(Window().Command8.Press());
    });
    EXPECT_EQ(Window().Label2.Caption(),
              "  2154.82             4328.22           851.70           4.01      ");
    EXPECT_EQ(Window().Label6.Caption(), "ЧИСЛО RE В ТР.\r   15782.08");
}

TEST_F(HeaterWindowTest, LaminarFlowIsRefusedWithoutPrinting) {
    Run([&] { EnterConstruction(true, {"0.025", "2", "3", "100"}); });
    Form9& form = Window();
    EXPECT_EQ(services.sound.Beeps(), 1);
    EXPECT_EQ(form.Label6.ForeColor(), Rgb(255, 0, 0));
    EXPECT_EQ(form.Label6.Caption(), "ЧИСЛО RE В ТРУБАХ  2209.49 < 2300 !");
    EXPECT_FALSE(form.Command1.Visible() || form.Label1.Visible() || form.Label2.Visible());
    EXPECT_TRUE(form.Command2.Visible() && form.Command5.Visible() && form.L(4).Visible());
}

TEST_F(HeaterWindowTest, ReynoldsNumberOfExactly2300IsRefused) {
    Data().HeaterTexts[10] = "0.26334292";  // with the reference construction: Re = 2300 exactly
    Data().Values[10] = ReadValue(Data().HeaterTexts[10]);
    Run([&] { EnterConstruction(true); });
    ASSERT_EQ(Data().ReTube, 2300.0f);
    EXPECT_EQ(Window().Label6.Caption(), "ЧИСЛО RE В ТРУБАХ  2300.00 < 2300 !");
    EXPECT_FALSE(Window().Command1.Visible());
}

TEST_F(HeaterWindowTest, ConstructionBoundsAreInclusiveInSinglePrecision) {
    dialogs.QueueInput("0.0189");
    dialogs.QueueYesNo(kYes);
    dialogs.QueueInput("0,061");
    dialogs.QueueYesNo(kYes);
    dialogs.QueueInputs({"0.019", "1", "3", "5000.1"});
    dialogs.QueueYesNo(kYes);
    dialogs.QueueCancel();
    dialogs.QueueYesNo(kYes);
    dialogs.QueueInput("9.9");
    Run([&] { EnterConstruction(false, {}); });
    const auto questions = dialogs.CallsOf(DialogKind::YesNo);
    ASSERT_EQ(questions.size(), 4u);
    EXPECT_EQ(questions[0].prompt, "ОШИБКА В ИСХОДНОЙ ИНФОРМАЦИИ    Продолжаете работу ?");
    EXPECT_EQ(questions[0].title, "ОШИБКА !");
    EXPECT_EQ(dialogs.Calls()[2].prompt, Label(12)) << "Yes asks the same value again";
    EXPECT_EQ(services.sound.Beeps(), 4);
    EXPECT_FLOAT_EQ(Data().MsgAnswer, 6.0f);
    EXPECT_EQ(Window().L(1).Caption(), Label(12) + "0.019");
    EXPECT_FLOAT_EQ(Data().Values[15], 9.9f);

    // The upper bounds are accepted too; a decimal comma is stored as a point.
    Run([&] {
        Window().Command2.Press();
        dialogs.QueueInputs({"0,06", "5000"});
        Window().List1.SetListIndex(1);
        Window().List1.SetListIndex(4);
    });
    EXPECT_EQ(dialogs.CallsOf(DialogKind::YesNo).size(), 4u);
    EXPECT_EQ(Data().HeaterTexts[12], "0.06");
    EXPECT_FLOAT_EQ(Data().Values[15], 5000.0f);
}

TEST_F(HeaterWindowTest, TypeLineTogglesTheOrientationAndCommand8Recalculates) {
    Run([&] {
        EnterConstruction(true);
        Form9& form = Window();
        form.Command2.Press();
        EXPECT_NEAR(form.Command8.Left(), (10365 - 2175) / 2.0, 15);
        EXPECT_EQ(form.List1.List(0), " ТИП ТЕПЛООБМЕННИКА                     ГОРИЗОНТАЛЬНЫЙ");
        EXPECT_EQ(form.List1.List(3), " ДЛИНА ТРУБ, М                                    3");

        form.List1.SetListIndex(0);
        EXPECT_EQ(form.List1.List(0), " ТИП ТЕПЛООБМЕННИКА                     ВЕРТИКАЛЬНЫЙ");
        EXPECT_EQ(form.List1.List(3), " ВЫСОТА ТРУБ, М                                   3");
        form.List1.SetListIndex(0);
        EXPECT_EQ(form.List1.List(3), " ДЛИНА ТРУБ, М                                    3");
        EXPECT_EQ(Data().HorizontalTubes, kTrue);
        EXPECT_EQ(form.List1.ListCount(), 5);

        form.List1.SetListIndex(0);
        ASSERT_TRUE(form.Command8.Press());
        EXPECT_FALSE(form.List1.Visible() || form.Command8.Visible());
    });
    EXPECT_EQ(dialogs.Calls().size(), 4u) << "the type line asks nothing";
    EXPECT_EQ(Window().L(3).Caption(), Label(16) + "3");
    EXPECT_EQ(Window().Label2.Caption(), kVerticalResults);
}

TEST_F(HeaterWindowTest, CorrectingTheHeightLine) {
    bool command8ShownDuringDialog = true;
    Run([&] {
        EnterConstruction(false);
        Window().Command2.Press();
        dialogs.OnOpen([&](const DialogCall&) { command8ShownDuringDialog = Window().Command8.Visible(); });
        dialogs.QueueInput("4,5");
        Window().List1.SetListIndex(3);
        dialogs.OnOpen({});
    });
    const DialogCall& call = dialogs.Calls().back();
    EXPECT_EQ(call.prompt, Label(16));
    EXPECT_EQ(call.title, std::string(" ") + kCorrectionTitle);
    EXPECT_EQ(call.xTwips, 2800);
    EXPECT_EQ(call.yTwips, 2150);
    EXPECT_FALSE(command8ShownDuringDialog);
    EXPECT_EQ(Window().List1.List(3), " ВЫСОТА ТРУБ, М                                   4.5");
    EXPECT_TRUE(Window().Command8.Visible());
    EXPECT_EQ(Window().Label2.Caption(), kVerticalResults) << "results stay until the calculation runs";
}

TEST_F(HeaterWindowTest, NoDuringTheFirstEntryEndsTheRunAtOnce) {
    dialogs.QueueInputs({"0.025", "0.5"});
    dialogs.QueueYesNo(kNo);
    Run([&] {
        EnterConstruction(false, {});
        ADD_FAILURE() << "the handler must not go on after No";
    });
    EXPECT_TRUE(platform.Ended());
    EXPECT_EQ(platform.ExitCode(), 0);
    EXPECT_EQ(Data().HeaterTexts[13], "0.5") << "the refused answer is kept as typed";
    EXPECT_EQ(Window().Label2.Caption(), "");
}

TEST_F(HeaterWindowTest, NoDuringACorrectionClosesTheWindowAndReleasesThePrintout) {
    Run([&] {
        EnterConstruction(false);
        ASSERT_TRUE(Window().Command1.Press());
        Window().Command2.Press();
        dialogs.QueueInput("0");
        dialogs.QueueYesNo(kNo);
        Window().List1.SetListIndex(1);
        ADD_FAILURE() << "the handler must not go on after No";
    });
    EXPECT_TRUE(platform.Ended());
    EXPECT_FALSE(platform.Forms().IsLoaded<Form9>());
    ASSERT_EQ(services.printer.Documents().size(), 1u);
    EXPECT_EQ(services.printer.Documents()[0].size(), kHeadLines + kBlockLines);
}

TEST_F(HeaterWindowTest, PrintingGivesOneHeadAndABlockPerPress) {
    Run([&] {
        EnterConstruction(false);
        ASSERT_TRUE(Window().Command1.Press());
        EXPECT_FALSE(Window().Command1.Visible());
        Window().Command2.Press();
        ASSERT_TRUE(Window().Command8.Press());
        ASSERT_TRUE(Window().Command1.Press());
    });
    const std::vector<std::string> lines = services.printer.Lines();
    ASSERT_EQ(lines.size(), kHeadLines + 2 * kBlockLines);
    EXPECT_NE(lines[0].find("Расчет подогревателя или дефлегматора"), std::string::npos);
    EXPECT_EQ(
        lines[kHeadLines],
        "             ТИП ТЕПЛООБМЕННИКА-ВЕРТИКАЛЬНЫЙ                     НАРУЖНЫЙ ДИАМЕТР ТРУБ  0.025 М");
    EXPECT_EQ(
        lines[kHeadLines + 1],
        "             ЧИСЛО ХОДОВ ПО ТРУБНОМУ ПРОСТРАНСТВУ 1 ШТ.          ВЫСОТА ТРУБ             3.00 М");
    EXPECT_EQ(lines[kHeadLines + 8],
              "             |    1128.83    |    5320.16    |      643.98      |      5.31       |    "
              "8498.05    |");
    EXPECT_EQ(lines[kHeadLines + kBlockLines], lines[kHeadLines]) << "the second press prints no head";
    EXPECT_TRUE(services.printer.Documents().empty()) << "the report stays open while the task goes on";
}

TEST_F(HeaterWindowTest, LeavingAfterPrintingReleasesTheDocument) {
    Run([&] {
        EnterConstruction(true);
        Window().Command1.Press();
        ASSERT_TRUE(Window().Command4.Press());
    });
    EXPECT_FALSE(platform.Ended());
    EXPECT_EQ(services.printer.Documents().size(), 1u);
    EXPECT_EQ(Data().ReportHeadPending, kFalse);
    EXPECT_TRUE(platform.Forms().Get<Form4>().Visible());
    EXPECT_FALSE(Window().Visible());
    EXPECT_TRUE(Window().Command6.Visible() && !Window().Command1.Visible()) << "back in the initial look";
}

TEST_F(HeaterWindowTest, EndButtonAndCloseButtonReleaseTheDocument) {
    for (bool closeButton : {false, true}) {
        TestPlatform fresh;
        Platform& p = fresh.platform;
        WriteHeaterLabels(fresh.run.data);
        fresh.run.data.Values = Data().Values;
        fresh.run.data.HeaterTexts = Data().HeaterTexts;
        fresh.dialogs.QueueInputs({"0.025", "1", "3", "13"});
        RunInEventLoop(p, [&] {
            Form9& form = p.Forms().Get<Form9>();
            fresh.run.data.HeaterConstructionPending = kTrue;
            form.Show();
            form.Command7.Press();
            form.Command1.Press();
            closeButton ? static_cast<void>(WidgetOf(form)->close())
                        : static_cast<void>(form.Command5.Press());
        });
        EXPECT_TRUE(p.Ended());
        EXPECT_EQ(fresh.printer.Documents().size(), 1u) << (closeButton ? "close button" : "Command5");
    }
}

TEST_F(HeaterWindowTest, PropertyDataChangeReopensTheSourceListAndStartsANewReport) {
    Run([&] {
        EnterConstruction(false);
        Window().Command1.Press();
        Data().Values[3] = 99.0f;  // a stale number, read again from its text
        ASSERT_TRUE(Window().Command3.Press());
    });
    EXPECT_EQ(Data().ReportHeadPending, kTrue);
    EXPECT_EQ(services.printer.Documents().size(), 1u) << "the printed result is released";
    EXPECT_EQ(platform.Forms().Count(), 2);
    EXPECT_FALSE(Window().Visible());
    EXPECT_TRUE(Window().Command6.Visible()) << "the heater window starts afresh";

    Form3& source = platform.Forms().Get<Form3>();
    EXPECT_TRUE(source.Visible());
    EXPECT_EQ(source.Caption(), "   ИЗМЕНЕНИЕ ИСХОДНОЙ ИНФОРМАЦИИ");
    ASSERT_EQ(source.List1.ListCount(), 11);
    EXPECT_EQ(source.List1.List(5), " ТЕПЛОПРОВОДНОСТЬ ЖИДКОСТИ В ТРУБАХ, ВТ/(М*К)                  0.458");
    EXPECT_TRUE(source.List1.Enabled());
    EXPECT_FALSE(source.Command1.Visible() || source.Command2.Visible() || source.Command3.Visible());
    EXPECT_EQ(source.Command1.BackColor(), Rgb(0, 255, 0));
    EXPECT_FLOAT_EQ(Data().Values[3], 0.000177f);

    Run([&] {
        platform.Forms().Get<Form3>().Hide();
        EnterConstruction(false);
        Window().Command1.Press();
    });
    EXPECT_EQ(services.printer.Lines().size(), kHeadLines + kBlockLines) << "a new document with its head";
}

// A mean temperature difference that passes its strict test but gives no finite surface: the error
// question of a failed calculation, no results and nothing to print; Yes keeps the correction buttons.
TEST_F(HeaterWindowTest, NoFiniteResultIsAFailureWithTheErrorQuestion) {
    Data().HeaterTexts[9] = "1e-38";
    Data().Values[9] = ReadValue(Data().HeaterTexts[9]);
    dialogs.QueueInputs({"0.025", "1", "3", "13"});
    dialogs.QueueYesNo(kYes);
    Run([&] { EnterConstruction(false, {}); });
    Form9& form = Window();
    const auto questions = dialogs.CallsOf(DialogKind::YesNo);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].prompt,
              "Исходные данные не дают конечного результата расчёта.    Продолжаете работу ?");
    EXPECT_EQ(questions[0].title, "ОШИБКА !");
    EXPECT_EQ(services.sound.Beeps(), 1);
    EXPECT_FALSE(form.Command1.Visible() || form.Label1.Visible() || form.Label2.Visible() ||
                 form.Label6.Visible());
    EXPECT_TRUE(form.Command2.Visible() && form.Command3.Visible() && form.Command4.Visible() &&
                form.Command5.Visible());
    EXPECT_EQ(form.Label2.Caption().find("inf"), std::string::npos);
    EXPECT_FALSE(platform.Ended());
}

TEST_F(HeaterWindowTest, NoAfterANonFiniteResultEndsTheRunAndReleasesThePrintout) {
    Run([&] {
        EnterConstruction(false);
        ASSERT_TRUE(Window().Command1.Press());
        Data().Values[9] = 1e-38f;
        dialogs.QueueYesNo(kNo);
        Window().Command2.Press();
        ASSERT_TRUE(Window().Command8.Press());
        ADD_FAILURE() << "the handler must not go on after No";
    });
    EXPECT_TRUE(platform.Ended());
    ASSERT_EQ(services.printer.Documents().size(), 1u);
    EXPECT_EQ(services.printer.Documents()[0].size(), kHeadLines + kBlockLines)
        << "one block, the finite one";
}

}  // namespace
}  // namespace heatx::ui::testing
