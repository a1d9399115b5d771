// Form11: the evaporator results window. It shows the tube height and the results of the last
// calculation, prints them as one row of the report, varies the tube height, returns to the property
// data, leads to another apparatus or ends the run.
#include <initializer_list>
#include <string>

#include "methods/calc.h"
#include "methods/run_evaporator.h"
#include "navigation/start_forms.h"
#include "reports/layout.h"
#include "reports/report_pages.h"
#include "reports/result_lines.h"
#include "results/results_forms.h"
#include "results/spoken_results.h"
#include "source_data/source_data_forms.h"

namespace heatx {

namespace {

constexpr ui::Color kYellow = ui::Rgb(255, 255, 0);
constexpr ui::Color kGreen = ui::Rgb(0, 255, 0);
constexpr ui::Color kCyan = ui::Rgb(0, 255, 255);
constexpr ui::Color kOrange = ui::Rgb(255, 192, 128);
constexpr ui::Color kSalmon = ui::Rgb(255, 128, 128);

constexpr const char* kResultsFont = "Courier";
constexpr double kResultsFontPoints = 9.75;

// Length of the signature rule that closes the evaporator report: as wide as its table.
constexpr int kSignatureRuleLength = 66;

constexpr double kButtonLeft = 2520;
constexpr double kButtonWidth = 5175;
constexpr double kButtonHeight = 375;

}  // namespace

Form11::Form11(RunContext& run) : AppForm(run, "Form11") {
    SetBackColor(kYellow);

    Label1.Move(0, 120, 4455, 375);
    Label1.SetFont(kResultsFont, kResultsFontPoints);
    Label1.SetForeColor(ui::Rgb(128, 0, 0));
    Label1.SetBackColor(kYellow);
    Label1.SetCaption("");

    Label2.Move(240, 1440, 8295, 1455);
    Label2.SetFont(kResultsFont, kResultsFontPoints);
    Label2.SetForeColor(ui::Rgb(0, 0, 192));
    Label2.SetBackColor(kYellow);
    Label2.SetCaption("");

    Command1.SetCaption("ПЕЧАТЬ РЕУЛЬТАТА ( F расч. < F норм. )");
    Command1.Move(kButtonLeft, 4200, kButtonWidth, kButtonHeight);
    Command1.SetBackColor(kGreen);
    Command1.OnClick([this] { Command1_Click(); });

    Command2.SetCaption("ИЗМЕНЕНИЕ ВЫСОТЫ ТРУБ");
    Command2.Move(kButtonLeft, 4680, kButtonWidth, kButtonHeight);
    Command2.SetBackColor(kCyan);
    Command2.OnClick([this] { Command2_Click(); });

    Command3.SetCaption("ИЗМЕНЕНИЕ МАССИВА ФИЗСВОЙСТВ");
    Command3.Move(kButtonLeft, 5160, kButtonWidth, kButtonHeight);
    Command3.SetBackColor(kCyan);
    Command3.OnClick([this] { Command3_Click(); });

    Command4.SetCaption("ПЕРЕХОД К РАСЧЁТУ ДРУГОГО ТЕПЛООБМЕННИКА");
    Command4.Move(kButtonLeft, 5640, kButtonWidth, kButtonHeight);
    Command4.SetBackColor(kOrange);
    Command4.OnClick([this] { Command4_Click(); });

    Command5.SetCaption("ОКОНЧАНИЕ РАБОТЫ С ПРОГРАММОЙ");
    Command5.Move(kButtonLeft, 6240, kButtonWidth, kButtonHeight);
    Command5.SetBackColor(kSalmon);
    Command5.OnClick([this] { Command5_Click(); });
}

void Form11::Form_Load() {
    SetCaption("РАСЧЁТ ИСПАРИТЕЛЕЙ");
    Move(100, 100, 12000, 8000);
}

// Print the result of the current tube height: the page and table heads when still pending, then
// one row. The button comes back only with the next successful calculation.
void Form11::Command1_Click() {
    Data().ReportPrinted = kTrue;
    Command1.Hide();
    PrintEvaporatorResult(Data(), platform().Printer(), platform().Clock());
    // What the student must know about his report now (where it goes; that it is not safe) is told
    // once the button is gone.
    platform().Printer().EndOfPress();
}

// Another tube height: the method runs again on the same source data.
void Form11::Command2_Click() {
    DesignData& data = Data();
    SetResultsVisible(false);

    TubeHeightDialog(Run());
    ui::Platform& p = platform();
    CalcEvaporator(data, [&p] { p.Beep(); });

    if (data.DataError != kFalse) {
        // Label1 keeps the height of the last shown result.
        Label1.Show();
        EvaporatorFailureQuestion(Run());
        Command2.Show();
        Command3.Show();
        Command4.Show();
        Command5.Show();
        return;
    }

    SetResultsVisible(true);
    Label1.SetCaption(TubeHeightCaption(data.EvaporatorTexts[kTubeHeightSlot]));
    Label2.SetCaption(EvaporatorResultsCaption(data, true));
    Label2.SetAccessibleName(std::string(kSpokenResultsHead) + " " +
                             SpokenResults(EvaporatorResultsLineAfterHeightChange(data)));
    AnnounceLabels(*this, {&Label1, &Label2});
}

// Back to the property data: the source-data window lists the current data for correction. The
// report stays open; the next print starts with a new page head and table head.
void Form11::Command3_Click() {
    DesignData& data = Data();
    ui::FormRegistry& forms = Forms();
    Unload();
    forms.Get<Form11>().Hide();
    forms.CloseOtherForms();

    Form10& source = forms.Get<Form10>();
    source.List1.Show();
    source.Label3.Show();
    source.Command1.Hide();
    source.Command2.Hide();
    source.Command3.Hide();
    source.List1.SetEnabled(true);
    source.List1.Clear();
    for (int i = 0; i < kEvaporatorSourceCount; ++i) {
        const auto slot = static_cast<std::size_t>(i);
        source.List1.AddItem(SourceLine(data.EvaporatorLabels[slot], data.EvaporatorTexts[slot], 62));
    }
    source.Show();
    // Every button is hidden: the list is the place to act.
    source.List1.SetFocus();

    data.ReportHeadPending = kTrue;
    data.TableHeadPending = kTrue;
}

// Another apparatus: the report of this task is closed with the signature rule.
void Form11::Command4_Click() {
    DesignData& data = Data();
    Hide();
    CloseOtherForms();
    data.ReportHeadPending = kFalse;
    data.TableHeadPending = kTrue;
    CloseReport();
    Get<Form4>().Show();
}

// End of work: the report is closed first when something was printed.
void Form11::Command5_Click() {
    CloseReport();
    platform().EndProgram();
}

// The window manager's close button ends the run like the end button, so that the report is
// closed with its signature rule too.
void Form11::OnCloseButton() {
    Command5_Click();
}

void Form11::SetResultsVisible(bool visible) {
    for (ui::Control* control : std::initializer_list<ui::Control*>{&Command1, &Command2, &Command3,
                                                                    &Command4, &Command5, &Label1, &Label2}) {
        control->SetVisible(visible);
    }
}

void Form11::CloseReport() {
    if (Data().ReportPrinted != kFalse) {
        Printer& printer = platform().Printer();
        PrintSignatureRule(printer, kSignatureRuleLength);
        printer.EndDoc();
    }
}

}  // namespace heatx
