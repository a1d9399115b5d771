// The cooler results window: the construction lines, the results of the calculation with both
// Reynolds numbers, the correction of the construction, printing, the way back to the property
// data, another apparatus or the end of the run.
#include <array>
#include <string>

#include "design_data/numeric.h"
#include "design_data/validation.h"
#include "methods/run_cooler.h"
#include "navigation/start_forms.h"
#include "reports/layout.h"
#include "reports/report_pages.h"
#include "reports/result_lines.h"
#include "results/construction.h"
#include "results/results_forms.h"
#include "source_data/source_data_forms.h"
#include "ui/color.h"

namespace heatx {

namespace {

constexpr ui::Color kYellow = ui::Rgb(255, 255, 0);
constexpr ui::Color kDarkBlue = ui::Rgb(0, 0, 192);
constexpr ui::Color kDarkRed = ui::Rgb(128, 0, 0);
constexpr ui::Color kCyan = ui::Rgb(0, 255, 255);
constexpr ui::Color kGreen = ui::Rgb(0, 255, 0);
constexpr ui::Color kLightOrange = ui::Rgb(255, 192, 128);
constexpr ui::Color kLightRed = ui::Rgb(255, 128, 128);

constexpr const char* kFixedFont = "Courier";
constexpr double kFixedFontPoints = 9.75;

constexpr const char* kCorrectionTitle = "ИЗМЕНЕНИЕ КОНСТРУКТИВН. ОСОБЕННОСТЕЙ АППАРАТА";

// Width of the construction list lines: label and blanks, then the value text.
constexpr int kConstructionListWidth = 80;

std::string CoolerConstructionLine(int slot, const DesignData& data) {
    const auto i = static_cast<std::size_t>(slot);
    return ConstructionLine(data.CoolerLabels[i], data.CoolerTexts[i], kConstructionListWidth);
}

void SetFixedLabel(ui::Label& label, ui::Color foreColor) {
    label.SetFont(kFixedFont, kFixedFontPoints);
    label.SetForeColor(foreColor);
    label.SetBackColor(kYellow);
}

void SetButton(ui::Button& button, const std::string& caption, ui::Color color, double left, double top,
               double width, double height) {
    button.SetCaption(caption);
    button.SetBackColor(color);
    button.Move(left, top, width, height);
}

}  // namespace

Form13::Form13(RunContext& run) : AppForm(run, "Form13") {
    SetBackColor(kYellow);

    for (int i = 0; i <= 4; ++i) {
        L(i).SetCaption("");
        SetFixedLabel(L(i), kDarkRed);
        L(i).Move(600, 120 + 240 * i, 10095, 255);
    }

    List1.SetFont(kFixedFont, kFixedFontPoints);
    List1.Move(0, 1000, 11000, 1200);
    List1.Hide();  // shown only while the construction is corrected

    SetButton(Command6, "ПЕРЕХОД К РАСЧЕТУ", kGreen, 0, 0, 2055, 375);
    Command6.Hide();

    SetFixedLabel(Label1, kDarkBlue);
    Label1.Move(1200, 2500, 9015, 1000);
    SetFixedLabel(Label4, kDarkBlue);
    Label4.Move(1200, 3550, 9015, 255);
    SetFixedLabel(Label5, kDarkBlue);
    Label5.SetCaption(std::string(kCoolerReynoldsHeading));
    Label5.Move(1200, 3905, 5295, 500);
    SetFixedLabel(Label6, kDarkBlue);
    Label6.Move(1200, 4155, 9255, 255);

    SetButton(Command1, "ПЕЧАТЬ РЕУЛЬТАТА ( F расч. < F норм. )", kGreen, 2760, 4680, 5175, 375);
    SetButton(Command2, "ИЗМЕНЕНИЕ КОНСТРУКТИВНЫХ ПАРАМЕТРОВ АППАРАТА", kCyan, 2760, 5160, 5175, 375);
    SetButton(Command3, "ИЗМЕНЕНИЕ МАССИВА ФИЗСВОЙСТВ", kCyan, 2760, 5640, 5175, 375);
    SetButton(Command4, "ПЕРЕХОД К РАСЧЁТУ ДРУГОГО ТЕПЛООБМЕННИКА", kLightOrange, 2760, 6120, 5175, 375);
    SetButton(Command5, "ОКОНЧАНИЕ РАБОТЫ С ПРОГРАММОЙ", kLightRed, 2760, 6720, 5175, 375);

    Command1.OnClick([this] { Command1_Click(); });
    Command2.OnClick([this] { Command2_Click(); });
    Command3.OnClick([this] { Command3_Click(); });
    Command4.OnClick([this] { Command4_Click(); });
    Command5.OnClick([this] { Command5_Click(); });
    Command6.OnClick([this] { Command6_Click(); });
    List1.OnClick([this] { List1_Click(); });
}

void Form13::Form_Load() {
    SetCaption("РАСЧЁТ ХОЛОДИЛЬНИКОВ");
    Move(100, 100, 12000, 8000);

    // Each later position builds on the earlier ones.
    Label1.SetLeft(1200);
    Label1.SetTop(2500);
    Label1.SetHeight(1000);
    List1.SetTop(1000);
    List1.SetWidth(11000);
    List1.SetHeight(1200);
    List1.SetLeft((ScaleWidth() - List1.Width()) / 2);
    Label4.Move(1200, Label1.Top() + Label1.Height() + 50, Label1.Width(), 255);
    Label5.SetLeft(1200);
    Label5.SetTop(Label4.Top() + Label4.Height() + 100);
    Label5.SetHeight(500);
    Label6.SetLeft(Label1.Left());
    Label6.SetTop(Label5.Top() + Label5.Height() - 250);

    Label1.Show();
    Label4.Show();
    Label5.Show();
    Label6.Show();
    Label1.SetCaption(ResultsTableHead());
}

// ---- Results --------------------------------------------------------------------------------------

void Form13::Command1_Click() {
    DesignData& data = Data();
    data.ReportPrinted = kTrue;
    PrintCoolerResult(data, platform().Printer(), platform().Clock());
    Command1.Hide();
    // What the student must know about his report now is told once the button is gone.
    platform().Printer().EndOfPress();
}

void Form13::Command2_Click() {
    Command6.Show();
    Command6.SetLeft((ScaleWidth() - Command6.Width()) / 2);
    Command6.SetTop(List1.Top() + List1.Height() + 200);

    for (int i = 0; i <= 4; ++i) {
        L(i).Hide();
    }
    Command1.Hide();
    Command2.Hide();
    Command3.Hide();
    Command4.Hide();
    Command5.Hide();
    Label1.Hide();
    Label4.Hide();
    Label5.Hide();
    Label6.Hide();

    List1.SetEnabled(true);
    List1.Show();
    List1.Clear();
    List1.SetTop(1000);

    const DesignData& data = Data();
    for (int slot = 13; slot <= 17; ++slot) {
        List1.AddItem(CoolerConstructionLine(slot, data));
    }
    // The construction is corrected on the list: the keyboard is there.
    List1.SetFocus();
}

void Form13::List1_Click() {
    const int k = List1.ListIndex();
    if (k < 0 || k > 4) {
        return;
    }
    DesignData& data = Data();

    Command6.Hide();
    const int slot = 13 + k;
    constexpr std::array<int, 5> kDialogY = {1680, 1870, 2070, 2270, 2460};
    const auto i = static_cast<std::size_t>(slot);
    const std::string title = k == 2 ? std::string(" ") + kCorrectionTitle : std::string(kCorrectionTitle);
    const SingleBounds bounds = CoolerCorrectionBounds(slot);
    ReadBoundedValue(Run(), slot, data.CoolerTexts[i], data.CoolerLabels[i], title, 2800,
                     kDialogY[static_cast<std::size_t>(k)], bounds.lower, bounds.upper, [this] {
                         Hide();
                         Unload();
                     });
    List1.RemoveItem(k);
    List1.AddItem(CoolerConstructionLine(slot, data), k);
    Command6.Show();
}

void Form13::Command6_Click() {
    List1.Hide();
    Command6.Hide();
    RunCooler(Run());
}

// ---- Leaving the task -----------------------------------------------------------------------------

void Form13::Command3_Click() {
    ui::Platform& p = platform();
    DesignData& data = Data();
    // The print job stays open, but the next print starts with a page head showing the corrected
    // data, so that no result stands under source data it was not computed from.
    data.ReportHeadPending = kTrue;

    // Back to the initial state: unloaded and created again, hidden.
    Unload();
    p.Forms().Get<Form13>().Hide();
    p.Forms().CloseOtherForms();

    p.Forms().Get<Form6>().OpenForPropertyChange(2600, 10000, std::nullopt, true);
}

void Form13::Command4_Click() {
    ui::Platform& p = platform();
    Hide();
    p.Forms().CloseOtherForms();
    p.Forms().Get<Form4>().Show();
    if (Data().ReportPrinted != 0) {
        p.Printer().EndDoc();
    }
}

void Form13::Command5_Click() {
    ui::Platform& p = platform();
    if (Data().ReportPrinted != 0) {
        p.Printer().EndDoc();
    }
    p.EndProgram();
}

}  // namespace heatx
