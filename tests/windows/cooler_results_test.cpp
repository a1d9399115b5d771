// The cooler results window Form13 and the cooler run: construction lines and results of the
// reference cooler with laminar, transitional and turbulent tube flow, the correction list with its
// bounds, printing, the change of the property data and leaving the task.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "design_data/design_data.h"
#include "design_data/numeric.h"
#include "methods/run_cooler.h"
#include "navigation/start_forms.h"
#include "results/results_forms.h"
#include "source_data/source_data_forms.h"
#include "window_test_support.h"

namespace heatx::ui::testing {
namespace {

constexpr const char* kCorrectionTitle = "ИЗМЕНЕНИЕ КОНСТРУКТИВН. ОСОБЕННОСТЕЙ АППАРАТА";
constexpr const char* kTransitionalResults =
    "   538.91             2279.56          368.42           43.06      ";
constexpr std::size_t kHeadLines = 17;  // date, name, empty line, 13 source lines, empty line
constexpr std::size_t kBlockLines = 11;

class CoolerWindowTest : public WindowTest {
  protected:
    void SetUp() override {
        DesignData& data = Data();
        WriteCoolerLabels(data);
        for (std::size_t i = 0; i < kCoolerSourceCount; ++i) {
            data.CoolerTexts[i] = std::string(kCoolerReferenceTexts[i]);
            data.Values[i] = ReadValue(data.CoolerTexts[i]);
        }
        SetConstruction({"0.025", "2", "1", "100", "0.02"});
        data.StudentName = " Петров Гр. 2";
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

    void SetConstruction(const std::vector<std::string>& texts) {
        for (std::size_t k = 0; k < 5; ++k) {
            Data().CoolerTexts[13 + k] = texts[k];
            Data().Values[13 + k] = ReadValue(texts[k]);
        }
    }
    DesignData& Data() { return run.data; }
    Form13& Window() { return platform.Forms().Get<Form13>(); }
    static std::string Label(int slot) {
        return std::string(kCoolerLabelTexts[static_cast<std::size_t>(slot)]);
    }

    // The results as the accepted source data leave them, then the scenario.
    void Run(const std::function<void()>& scenario) {
        RunInEventLoop(platform, [&] {
            RunCooler(run);
            scenario();
        });
        EXPECT_EQ(dialogs.Unexpected(), 0) << dialogs.UnexpectedReport();
    }
    std::size_t Titles(const std::vector<std::string>& lines) {
        std::size_t n = 0;
        for (const auto& line : lines) {
            n += line.find("Расчет холодильника") != std::string::npos ? 1 : 0;
        }
        return n;
    }
};

TEST_F(CoolerWindowTest, TransitionalReferenceWithItsConstructionLines) {
    Run([] {});
    Form13& form = Window();
    EXPECT_EQ(form.Caption(), "РАСЧЁТ ХОЛОДИЛЬНИКОВ");
    EXPECT_EQ(form.L(0).Caption(),
              " НАРУЖНЫЙ ДИАМЕТР ТРУБ, М                                                  0.025");
    EXPECT_EQ(form.L(2).Caption(),
              " КОЭФФИЦИЕНТ,УЧИТЫВАЮЩИЙ СНИЖЕНИЕ СРЕДН.ДВИЖ.СИЛЫ ПРИ СМЕШ.ТОКЕ(БЕЗРАЗМ)   1");
    EXPECT_EQ(form.L(3).Caption(),
              " ЧИСЛО ТРУБ, ШТ.                                                           100");
    EXPECT_EQ(form.Label4.Caption(), kTransitionalResults);
    EXPECT_EQ(form.Label5.Caption(), "ЧИСЛО RE В ТР.    ЧИСЛО RE В МТР.ПР-ВЕ");
    EXPECT_EQ(form.Label6.Caption(), "   2784.5                 6411.8        ");
    EXPECT_DOUBLE_EQ(form.Label6.Top(), 3905 + 500 - 250);
    // "Courier", shown in the face that stands for it.
    EXPECT_EQ(QFontInfo(WidgetOf(form.Label4)->font()).family().toStdString(), "Liberation Mono");
    EXPECT_TRUE(form.Visible() && form.Command1.Visible() && form.Command5.Visible() && form.L(4).Visible());
    EXPECT_FALSE(form.List1.Visible() || form.Command6.Visible());
    EXPECT_EQ(form.Command5.BackColor(), Rgb(255, 128, 128));
    EXPECT_TRUE(dialogs.Calls().empty());
}

TEST_F(CoolerWindowTest, LaminarFlowIsRefinedAndTurbulentFlowCalculated) {
    SetConstruction({"0.025", "1", "1", "100", "0.02"});
    Run([] {});
    EXPECT_EQ(Window().Label4.Caption(),
              "   385.41             2279.56          289.57           54.79      ");
    EXPECT_EQ(Window().Label6.Caption(), "   1392.3                 6411.8        ");
    EXPECT_TRUE(Window().Command1.Visible()) << "laminar flow is not refused in the cooler";

    SetConstruction({"0.025", "6", "1", "40", "0.05"});
    Run([] {});
    EXPECT_EQ(Window().Label4.Caption(),
              "  3513.40             1315.49          682.69           23.24      ");
    EXPECT_EQ(Window().Label6.Caption(), "  20883.8                 2564.7        ");
}

TEST_F(CoolerWindowTest, CorrectionListDialogsAndRecalculation) {
    bool command6ShownDuringDialog = true;
    Run([&] {
        Form13& form = Window();
        ASSERT_TRUE(form.Command2.Press());
        EXPECT_EQ(form.List1.List(2),
                  " КОЭФФИЦИЕНТ,УЧИТЫВАЮЩИЙ СНИЖЕНИЕ СРЕДН.ДВИЖ.СИЛЫ ПРИ СМЕШ.ТОКЕ(БЕЗРАЗМ)        1");
        EXPECT_NEAR(form.Command6.Left(), (12000 - 2055) / 2.0, 15);
        EXPECT_DOUBLE_EQ(form.Command6.Top(), 1000 + 1200 + 200);
        EXPECT_FALSE(form.Command1.Visible() || form.Label4.Visible() || form.L(0).Visible());

        dialogs.OnOpen([&](const DialogCall&) { command6ShownDuringDialog = Window().Command6.Visible(); });
        dialogs.QueueInputs({"0.025", "2", "0,9 ", "100", "0.02"});
        for (int k = 0; k <= 4; ++k) {
            form.List1.SetListIndex(k);
        }
        dialogs.OnOpen({});
        EXPECT_EQ(form.List1.List(2),
                  " КОЭФФИЦИЕНТ,УЧИТЫВАЮЩИЙ СНИЖЕНИЕ СРЕДН.ДВИЖ.СИЛЫ ПРИ СМЕШ.ТОКЕ(БЕЗРАЗМ)        0.9 ");
        EXPECT_EQ(form.Label4.Caption(), kTransitionalResults) << "results stay until the calculation runs";
        ASSERT_TRUE(form.Command6.Press());
        EXPECT_FALSE(form.List1.Visible() || form.Command6.Visible());
        EXPECT_TRUE(form.Command1.Visible() && form.Label4.Visible());
    });
    EXPECT_FALSE(command6ShownDuringDialog);
    const auto& calls = dialogs.Calls();
    ASSERT_EQ(calls.size(), 5u);
    const std::vector<int> ys = {1680, 1870, 2070, 2270, 2460};
    for (std::size_t k = 0; k < 5; ++k) {
        EXPECT_EQ(calls[k].prompt, Label(13 + static_cast<int>(k)));
        EXPECT_EQ(calls[k].title,
                  k == 2 ? std::string(" ") + kCorrectionTitle : std::string(kCorrectionTitle));
        EXPECT_EQ(calls[k].xTwips, 2800);
        EXPECT_EQ(calls[k].yTwips, ys[k]);
    }
    // A mixed-flow factor of 0.9 raises the surface in inverse proportion.
    EXPECT_EQ(Window().Label4.Caption(),
              "   538.91             2279.56          368.42           47.85      ");
}

TEST_F(CoolerWindowTest, ConstructionBounds) {
    Run([&] {
        Window().Command2.Press();
        const std::vector<std::pair<int, std::vector<std::string>>> script = {{2, {"0.0009", "1"}},
                                                                              {3, {"9.99", "5000.1", "5000"}},
                                                                              {0, {"0.019"}},
                                                                              {0, {"0.06"}},
                                                                              {1, {"10.5", "10"}}};
        for (const auto& [line, answers] : script) {
            for (std::size_t i = 0; i < answers.size(); ++i) {
                dialogs.QueueInput(answers[i]);
                if (i + 1 < answers.size()) {
                    dialogs.QueueYesNo(kYes);
                }
            }
            Window().List1.SetListIndex(line);
        }
    });
    const auto questions = dialogs.CallsOf(DialogKind::YesNo);
    ASSERT_EQ(questions.size(), 4u);
    EXPECT_EQ(questions[0].prompt, "ОШИБКА В ИСХОДНОЙ ИНФОРМАЦИИ    Продолжаете работу ?");
    EXPECT_EQ(services.sound.Beeps(), 4);
    EXPECT_EQ(Data().Values[15], 1.0f);
    EXPECT_EQ(Data().Values[16], 5000.0f);
    EXPECT_EQ(Data().Values[13], 0.06f);
    EXPECT_EQ(Data().Values[14], 10.0f);
    EXPECT_FALSE(platform.Ended());
}

TEST_F(CoolerWindowTest, NoDuringACorrectionClosesTheWindowAndReleasesThePrintout) {
    Run([&] {
        ASSERT_TRUE(Window().Command1.Press());
        Window().Command2.Press();
        dialogs.QueueCancel();
        dialogs.QueueYesNo(kNo);
        Window().List1.SetListIndex(3);
        ADD_FAILURE() << "the handler must not go on after No";
    });
    EXPECT_TRUE(platform.Ended());
    EXPECT_FLOAT_EQ(Data().MsgAnswer, 7.0f);
    EXPECT_EQ(Data().CoolerTexts[16], "0") << "a cancelled box counts as 0";
    EXPECT_FALSE(platform.Forms().IsLoaded<Form13>());
    ASSERT_EQ(services.printer.Documents().size(), 1u);
    EXPECT_EQ(services.printer.Documents()[0].size(), kHeadLines + kBlockLines);
}

TEST_F(CoolerWindowTest, PrintingGivesOneHeadAndABlockPerPress) {
    Run([&] {
        ASSERT_TRUE(Window().Command1.Press());
        EXPECT_FALSE(Window().Command1.Visible());
        EXPECT_EQ(Data().ReportPrinted, kTrue);
        Window().Command2.Press();
        ASSERT_TRUE(Window().Command6.Press());
        ASSERT_TRUE(Window().Command1.Press());
    });
    const std::vector<std::string> lines = services.printer.Lines();
    ASSERT_EQ(lines.size(), kHeadLines + 2 * kBlockLines);
    EXPECT_EQ(Titles(lines), 1u);
    EXPECT_EQ(
        lines[kHeadLines + 8],
        "             |   538.91    |   2279.56   |   368.42    |    43.06    |  2784.51   |  6411.77   |");
    EXPECT_TRUE(services.printer.Documents().empty());
}

TEST_F(CoolerWindowTest, PropertyDataChangeStartsTheNextPrintWithANewHead) {
    Run([&] {
        ASSERT_TRUE(Window().Command1.Press());
        Data().Values[2] = 1.0f;  // a stale number, read again from its text
        ASSERT_TRUE(Window().Command3.Press());
    });
    EXPECT_EQ(Data().ReportHeadPending, kTrue);
    EXPECT_TRUE(services.printer.HasOpenDocument()) << "the print job stays open";
    EXPECT_EQ(platform.Forms().Count(), 2);
    EXPECT_FALSE(Window().Visible());
    EXPECT_EQ(Window().Label4.Caption(), "") << "the results window starts afresh";

    Form6& source = platform.Forms().Get<Form6>();
    EXPECT_TRUE(source.Visible() && source.Label1.Visible() && source.List1.Enabled());
    EXPECT_EQ(source.Caption(), "   ИЗМЕНЕНИЕ ИСХОДНОЙ ИНФОРМАЦИИ");
    ASSERT_EQ(source.List1.ListCount(), 13);
    EXPECT_EQ(source.List1.List(2),
              " ВЯЗКОСТЬ ТЕПЛОНОСИТЕЛЯ В ТРУБАХ, ПА*С                                  .00054");
    EXPECT_FALSE(source.Command1.Visible() || source.Command2.Visible() || source.Command3.Visible());
    EXPECT_EQ(source.Command1.BackColor(), Rgb(0, 255, 0));
    EXPECT_DOUBLE_EQ(source.List1.Width(), 10000);
    EXPECT_FLOAT_EQ(Data().Values[2], 0.00054f);

    // The corrected data accepted: the next print stands under a head with the corrected data.
    Data().CoolerTexts[10] = "30";
    Data().Values[10] = 30.0f;
    Run([&] {
        platform.Forms().Get<Form6>().Hide();
        ASSERT_TRUE(Window().Command1.Press());
    });
    const std::vector<std::string> lines = services.printer.Lines();
    ASSERT_EQ(lines.size(), 2 * (kHeadLines + kBlockLines));
    EXPECT_EQ(Titles(lines), 2u);
    const std::string& temperatureLine = lines[kHeadLines + kBlockLines + 3 + 10];
    EXPECT_EQ(temperatureLine.substr(temperatureLine.size() - 3), " 30");
}

TEST_F(CoolerWindowTest, LeavingAfterPrintingReleasesTheDocument) {
    Run([&] {
        Window().Command1.Press();
        ASSERT_TRUE(Window().Command4.Press());
    });
    EXPECT_FALSE(platform.Ended());
    EXPECT_EQ(services.printer.Documents().size(), 1u);
    EXPECT_TRUE(platform.Forms().Get<Form4>().Visible());
}

TEST_F(CoolerWindowTest, EndButtonReleasesTheDocument) {
    Run([&] {
        Window().Command1.Press();
        ASSERT_TRUE(Window().Command5.Press());
        ADD_FAILURE() << "the run ends at once";
    });
    EXPECT_TRUE(platform.Ended());
    EXPECT_EQ(services.printer.Documents().size(), 1u);
}

TEST_F(CoolerWindowTest, CloseButtonEndsTheRunAndReleasesTheDocument) {
    Run([&] {
        Window().Command1.Press();
        WidgetOf(Window())->close();
    });
    EXPECT_TRUE(platform.Ended());
    EXPECT_EQ(services.printer.Documents().size(), 1u);
}

// A logarithmic mean temperature difference that passes its strict test but gives no finite surface.
TEST_F(CoolerWindowTest, NoFiniteResultIsAFailureWithTheErrorQuestion) {
    for (const char* passes : {"2", "1"}) {  // without and with the laminar refinement
        SetConstruction({"0.025", passes, "1", "100", "0.02"});
        Data().CoolerTexts[10] = "1e-38";
        Data().Values[10] = ReadValue(Data().CoolerTexts[10]);
        dialogs.QueueYesNo(kYes);
        Run([] {});
        Form13& form = Window();
        const auto questions = dialogs.CallsOf(DialogKind::YesNo);
        ASSERT_FALSE(questions.empty());
        EXPECT_EQ(questions.back().prompt,
                  "Исходные данные не дают конечного результата расчёта.    Продолжаете работу ?");
        EXPECT_EQ(questions.back().title, "ОШИБКА !");
        EXPECT_FALSE(form.Command1.Visible() || form.Label4.Visible() || form.Label6.Visible()) << passes;
        EXPECT_TRUE(form.Visible() && form.Command2.Visible() && form.Command5.Visible());
        EXPECT_FALSE(platform.Ended());
    }
}

TEST_F(CoolerWindowTest, NoAfterANonFiniteResultEndsTheRun) {
    Data().Values[10] = 1e-38f;
    dialogs.QueueYesNo(kNo);
    Run([] { ADD_FAILURE() << "the run must end at No"; });
    EXPECT_TRUE(platform.Ended());
    EXPECT_EQ(platform.ExitCode(), 0);
    EXPECT_TRUE(services.printer.Documents().empty());
}

}  // namespace
}  // namespace heatx::ui::testing
