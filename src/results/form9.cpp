// The heater or dephlegmator results window: the choice of the tube orientation, the first entry of
// the construction, the results of the calculation, the correction of the construction, printing,
// the way back to the property data, another apparatus or the end of the run.
#include <array>
#include <string>

#include "design_data/numeric.h"
#include "design_data/validation.h"
#include "methods/run_heater.h"
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
constexpr ui::Color kOrange = ui::Rgb(255, 128, 0);

constexpr const char* kFixedFont = "Courier";
constexpr double kFixedFontPoints = 9.75;

constexpr const char* kEntryTitle = "ВВОД КОНСТРУКТИВН. ОСОБЕННОСТЕЙ АППАРАТА";
constexpr const char* kCorrectionTitle = "ИЗМЕНЕНИЕ КОНСТРУКТИВН. ОСОБЕННОСТЕЙ АППАРАТА";
constexpr const char* kHorizontal = "ГОРИЗОНТАЛЬНЫЙ";
constexpr const char* kVertical = "ВЕРТИКАЛЬНЫЙ";

// Width of the construction list lines: label and blanks, then the value text.
constexpr int kConstructionListWidth = 50;

// Slot 14 holds the tube length of horizontal tubes and the tube height of vertical ones; the
// height is shown under label 16.
std::size_t LabelSlotOf(int slot, const DesignData& data) {
    if (slot == 14 && data.HorizontalTubes == 0) {
        return 16;
    }
    return static_cast<std::size_t>(slot);
}

const std::string& LabelOf(int slot, const DesignData& data) {
    return data.HeaterLabels[LabelSlotOf(slot, data)];
}

std::string OrientationText(const DesignData& data) {
    return data.HorizontalTubes != 0 ? kHorizontal : kVertical;
}

std::string HeaterConstructionLine(int slot, const DesignData& data) {
    return ConstructionLine(LabelOf(slot, data), data.HeaterTexts[static_cast<std::size_t>(slot)],
                            kConstructionListWidth);
}

void SetFixedLabel(ui::Label& label, ui::Color foreColor, bool bold = false) {
    label.SetFont(kFixedFont, kFixedFontPoints, bold);
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

Form9::Form9(RunContext& run) : AppForm(run, "Form9") {
    SetCaption("");
    // The title stays blank; a screen reader names the window.
    SetAccessibleName("РАСЧЁТ ПОДОГРЕВАТЕЛЕЙ И ДЕФЛЕГМАТОРОВ");
    SetBackColor(kYellow);
    SetWidth(10365);
    SetHeight(9675);

    Label8.SetCaption("ВЫБЕРИТЕ ТИП ТЕПЛООБМЕННИКА");
    SetFixedLabel(Label8, kDarkBlue, true);
    Label8.Move(2000, 800, 4095, 255);

    SetButton(Command6, kHorizontal, kCyan, 1000, 1200, 2055, 375);
    SetButton(Command7, kVertical, kCyan, 4000, 1200, 2055, 375);

    for (int i = 0; i <= 4; ++i) {
        L(i).SetCaption("");
        SetFixedLabel(L(i), kDarkRed);
        L(i).Move(100, 600 + 240 * i, 7215, 255);
    }

    List1.SetFont(kFixedFont, kFixedFontPoints);
    List1.Move(0, 1000, 7000, 1200);
    List1.Hide();  // shown only while the construction is corrected

    SetButton(Command8, "ПЕРЕХОД К РАСЧЕТУ", kGreen, 0, 0, 2175, 375);

    SetFixedLabel(Label1, kDarkBlue);
    Label1.Move(200, 2500, 9255, 1095);
    SetFixedLabel(Label2, kDarkBlue);
    Label2.Move(200, 3595, 9255, 255);
    SetFixedLabel(Label6, kDarkBlue);
    Label6.Move(200, 4000, 4935, 375);

    SetButton(Command1, "ПЕЧАТЬ РЕУЛЬТАТА ( F расч. < F норм. )", kGreen, 1920, 4440, 5175, 375);
    SetButton(Command2, "ИЗМЕНЕНИЕ КОНСТРУКТИВНЫХ ПАРАМЕТРОВ АППАРАТА", kCyan, 1920, 4920, 5175, 375);
    SetButton(Command3, "ИЗМЕНЕНИЕ МАССИВА ФИЗСВОЙСТВ", kCyan, 1920, 5400, 5175, 375);
    SetButton(Command4, "ПЕРЕХОД К РАСЧЁТУ ДРУГОГО ТЕПЛООБМЕННИКА", kLightOrange, 1920, 5880, 5175, 375);
    SetButton(Command5, "ОКОНЧАНИЕ РАБОТЫ С ПРОГРАММОЙ", kOrange, 1920, 6720, 5175, 375);

    Command1.OnClick([this] { Command1_Click(); });
    Command2.OnClick([this] { Command2_Click(); });
    Command3.OnClick([this] { Command3_Click(); });
    Command4.OnClick([this] { Command4_Click(); });
    Command5.OnClick([this] { Command5_Click(); });
    Command6.OnClick([this] { Command6_Click(); });
    Command7.OnClick([this] { Command7_Click(); });
    Command8.OnClick([this] { Command8_Click(); });
    List1.OnClick([this] { List1_Click(); });
}

void Form9::Form_Load() {
    SetTop(100);
    SetLeft(100);

    Command1.Hide();
    Command2.Hide();
    Command3.Hide();
    Command4.Hide();
    Command5.Hide();
    Command8.Hide();
    Label1.Hide();
    Label2.Hide();
    Label6.Hide();
    Label8.Show();
    Command6.Show();
    Command7.Show();
    for (int i = 0; i <= 4; ++i) {
        L(i).Hide();
    }

    Label1.Move(200, 2500, 9255, 1095);
    Label2.Move(200, Label1.Top() + Label1.Height(), Label1.Width(), 255);
    Label6.Move(200, 4000, 4935, 375);
    Label8.Move(2000, 800, 4095, 255);
    Command6.Move(1000, 1200, 2055, 375);
    Command7.Move(4000, 1200, 2055, 375);
    for (int i = 0; i <= 4; ++i) {
        L(i).Move(100, 600 + 240 * i, 7215, 255);
    }
    List1.SetTop(1000);
    List1.SetWidth(7000);
    List1.SetHeight(1200);
    List1.SetLeft((ScaleWidth() - List1.Width()) / 2);
    Label1.SetCaption(ResultsTableHead());
}

// ---- Orientation and first entry of the construction ------------------------------------------

void Form9::Command6_Click() {
    ChooseOrientation(true);
}

void Form9::Command7_Click() {
    ChooseOrientation(false);
}

// The orientation is set; with new source data accepted, the construction is asked and calculated.
void Form9::ChooseOrientation(bool horizontal) {
    Data().HorizontalTubes = horizontal ? kTrue : kFalse;
    if (Data().HeaterConstructionPending == 0) {
        return;
    }
    EnterHeaterConstruction();
    Data().HeaterConstructionPending = kFalse;
    Show();
    Command6.Hide();
    Command7.Hide();
}

void Form9::EnterHeaterConstruction() {
    DesignData& data = Data();
    Command6.Hide();
    Command7.Hide();
    Label8.Hide();
    L(0).SetCaption(data.HeaterLabels[11] + OrientationText(data));
    L(0).Show();

    // Diameter, passes, length (or height), number of tubes; a refused value is asked again, No ends
    // the run.
    constexpr std::array<int, 4> kDialogY = {1250, 1500, 1700, 1950};
    for (int slot = 12; slot <= 15; ++slot) {
        const std::string prompt = LabelOf(slot, data);
        const SingleBounds bounds = HeaterCorrectionBounds(slot);
        std::string& text = data.HeaterTexts[static_cast<std::size_t>(slot)];
        const std::string demo =
            Demonstration() ? std::string(kHeaterReferenceConstruction[static_cast<std::size_t>(slot - 12)])
                            : std::string();
        ReadBoundedValue(Run(), slot, text, prompt, kEntryTitle, 800,
                         kDialogY[static_cast<std::size_t>(slot - 12)], bounds.lower, bounds.upper, {}, demo);
        ui::Label& line = L(slot - 11);
        line.SetCaption(prompt + text);
        line.Show();
    }

    RunHeater(Run());
}

// ---- Results --------------------------------------------------------------------------------------

void Form9::Command1_Click() {
    DesignData& data = Data();
    data.ReportPrinted = kTrue;
    PrintHeaterResult(data, platform().Printer(), platform().Clock());
    Command1.Hide();
    // What the student must know about his report now is told once the button is gone.
    platform().Printer().EndOfPress();
}

void Form9::Command2_Click() {
    Command8.Show();
    Command8.SetLeft((ScaleWidth() - Command8.Width()) / 2);
    Command8.SetTop(List1.Top() + List1.Height() + 200);

    List1.Show();
    List1.Clear();
    for (int i = 0; i <= 4; ++i) {
        L(i).Hide();
    }
    Command1.Hide();
    Command2.Hide();
    Command3.Hide();
    Command4.Hide();
    Command5.Hide();
    Command6.Hide();
    Command7.Hide();
    Label1.Hide();
    Label2.Hide();
    Label6.Hide();
    Label8.Hide();

    const DesignData& data = Data();
    List1.AddItem(HeaterTypeLine(data.HorizontalTubes != 0));
    for (int slot = 12; slot <= 15; ++slot) {
        List1.AddItem(HeaterConstructionLine(slot, data));
    }
    // The construction is corrected on the list: the keyboard is there.
    List1.SetFocus();
}

void Form9::List1_Click() {
    List1.SetTop(1000);
    const int k = List1.ListIndex();
    if (k < 0 || k > 4) {
        return;
    }
    DesignData& data = Data();

    if (k == 0) {
        // The type line toggles the orientation; line 3 then carries the other label.
        List1.Clear();
        Command8.Hide();
        data.HorizontalTubes = data.HorizontalTubes != 0 ? kFalse : kTrue;
        List1.AddItem(HeaterTypeLine(data.HorizontalTubes != 0), 0);
        List1.Show();
        for (int slot = 12; slot <= 15; ++slot) {
            List1.AddItem(HeaterConstructionLine(slot, data));
        }
        Command8.Show();
        return;
    }

    Command8.Hide();
    const int slot = 11 + k;
    constexpr std::array<int, 4> kDialogY = {1750, 1950, 2150, 2350};
    const std::string prompt = LabelOf(slot, data);
    const std::string title = k == 3 ? std::string(" ") + kCorrectionTitle : std::string(kCorrectionTitle);
    const SingleBounds bounds = HeaterCorrectionBounds(slot);
    ReadBoundedValue(Run(), slot, data.HeaterTexts[static_cast<std::size_t>(slot)], prompt, title, 2800,
                     kDialogY[static_cast<std::size_t>(k - 1)], bounds.lower, bounds.upper, [this] {
                         Hide();
                         Unload();
                     });
    List1.RemoveItem(k);
    List1.AddItem(HeaterConstructionLine(slot, data), k);
    Command8.Show();
}

void Form9::Command8_Click() {
    Command6.Hide();
    Command7.Hide();
    List1.Hide();
    Command8.Hide();
    RunHeater(Run());
}

// ---- Leaving the task -----------------------------------------------------------------------------

void Form9::Command3_Click() {
    ui::Platform& p = platform();
    DesignData& data = Data();
    // The next print starts a new document with a page head showing the corrected data.
    data.ReportHeadPending = kTrue;
    if (data.ReportPrinted != 0) {
        p.Printer().EndDoc();
    }

    // Back to the initial state: unloaded and created again, hidden.
    Unload();
    p.Forms().Get<Form9>().Hide();
    p.Forms().CloseOtherForms();

    p.Forms().Get<Form3>().OpenForPropertyChange(2300, 9000, 500, false);
}

void Form9::Command4_Click() {
    ui::Platform& p = platform();
    DesignData& data = Data();
    if (data.ReportPrinted != 0) {
        p.Printer().EndDoc();
    }
    data.ReportHeadPending = kFalse;

    Command1.Hide();
    Command2.Hide();
    Command3.Hide();
    Command4.Hide();
    Command5.Hide();
    Label1.Hide();
    Label2.Hide();
    Label6.Hide();
    for (int i = 0; i <= 4; ++i) {
        L(i).Hide();
    }
    Label8.Show();
    Command6.Show();
    Command7.Show();

    Hide();
    p.Forms().CloseOtherForms();
    p.Forms().Get<Form4>().Show();
}

void Form9::Command5_Click() {
    ui::Platform& p = platform();
    if (Data().ReportPrinted != 0) {
        p.Printer().EndDoc();
    }
    p.EndProgram();
}

}  // namespace heatx
