// The source-data windows of the three apparatus kinds: review of the listed source data, correction
// line by line, the check of the whole set and the step to the kind's calculation.
#include "source_data/source_data_forms.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <utility>

#include "design_data/numeric.h"
#include "design_data/validation.h"
#include "methods/messages.h"
#include "methods/run_cooler.h"
#include "methods/run_evaporator.h"
#include "reports/layout.h"
#include "results/results_forms.h"
#include "ui/color.h"
#include "ui/services.h"

namespace heatx {

namespace {
// What a screen reader says after a faulty line's text.
constexpr std::string_view kFaultyLineNote = "Ошибка: значение вне допустимых пределов.";
}  // namespace

namespace {

constexpr ui::Color kGreen = ui::Rgb(0, 255, 0);
constexpr ui::Color kRed = ui::Rgb(255, 0, 0);

constexpr const char* kInputTitle = "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ";
constexpr const char* kCheckCaption = "   ПРОВЕРКА ВВОДА ИСХОДНОЙ ИНФОРМАЦИИ";
constexpr const char* kConstructionTitle = "ВВОД КОНСТРУКТИВНЫХ ОСОБЕННОСТЕЙ АППАРАТА";

// Printed source lines and the highlight over the faulty one.
constexpr double kPrintedLineX = 530;
constexpr double kPrintedLineY = 1210;
constexpr double kHighlightY = 1200;
constexpr double kHighlightWidth = 9000;
constexpr double kHighlightHeight = 200;
constexpr double kRow = 195;

// Buttons of the source-data windows.
constexpr double kButtonWidth = 4695;
constexpr double kButtonHeight = 495;

// Geometry of a source-data window: window, list, instruction and buttons.
//
// The rows of buttons lie clear of the rows where the kind's error dialog shows its "Да" and "Нет"
// (Form8 at screen top 4500, Form5 and Form14 at 5000, their buttons 850 to 1225 below), so that the
// second click of a double click on a button that opens the dialog never meets one of its answers.
struct WindowGeometry {
    double left, top, width, height;
    double listLeft, listTop, listWidth, listHeight;
    double instructionTop;
    double firstButtonTop;   // Command1
    double secondButtonTop;  // Command2 and Command3
};

void ApplyDesign(SourceDataForm& s, const WindowGeometry& g) {
    s.Move(g.left, g.top, g.width, g.height);
    s.List1.Move(g.listLeft, g.listTop, g.listWidth, g.listHeight);
    s.Label3.SetTop(g.instructionTop);
    s.Command1.SetTop(g.firstButtonTop);
    s.Command2.SetTop(g.secondButtonTop);
    // Command3 and Command2 are never shown together: the same place.
    s.Command3.SetTop(g.secondButtonTop);
}

// The value of a value text as every value of the record is stored.
void StoreValue(DesignData& data, int i, const std::string& text) {
    data.Values[static_cast<std::size_t>(i)] = ReadValue(text);
}

}  // namespace

// ============================================================================================
// The pattern
// ============================================================================================

SourceDataForm::SourceDataForm(RunContext& run, std::string name, SourceDataKind kind)
    : AppForm(run, std::move(name)), kind_(kind) {
    // A fixed-pitch window font, inherited by the list, the highlight and the printed lines, so that
    // the padded lines form columns.
    SetFont("Courier", 9);

    Label1.SetCaption("   ИСХОДНАЯ ИНФОРМАЦИЯ");
    Label1.Move(500, 600, 4500, 375);
    Label1.SetTransparent(true);

    Label2.SetCaption("");
    Label2.SetBackColor(ui::Rgb(255, 255, 0));
    Label2.SetForeColor(kRed);
    Label2.SetHeight(kHighlightHeight);

    Label3.SetCaption(
        " Подведите указатель мыши к   строке, информацию которой   Вы будете исправлять и  щёлкните левой "
        "кнопкой");
    Label3.SetFont("Times New Roman", 12);
    Label3.SetWordWrap(true);
    Label3.Move(0, 0, 4200, 900);

    Command2.SetCaption("ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ");
    for (ui::Button* button : {&Command1, &Command2, &Command3}) {
        button->Move(0, 0, kButtonWidth, kButtonHeight);
    }

    Command1.OnClick([this] { Command1_Click(); });
    Command2.OnClick([this] { Command2_Click(); });
    Command3.OnClick([this] { Command3_Click(); });
    List1.OnClick([this] { List1_Click(); });
}

void SourceDataForm::Form_Load() {
    Label2.Hide();
    Command1.SetLeft((Width() - Command1.Width()) / 2);
    Command2.SetLeft((Width() - Command2.Width()) / 2);
    Label3.SetLeft((Width() - Label3.Width()) / 2);
    Command3.SetLeft((Width() - Command2.Width()) / 2);
}

std::string SourceDataForm::SourceLineOf(int i) const {
    return SourceLine(Label(i), Text(i), kind_.labelWidth);
}

void SourceDataForm::List1_Click() {
    const int i = List1.ListIndex();
    if (i < 0 || i > kind_.lastIndex) {
        return;
    }
    HideErrorDialog();
    const bool instructionShown = Label3.Visible();
    const bool endButtonShown = Command3.Visible();
    Label3.Hide();
    Command3.Hide();

    const std::optional<std::string> answer = platform().InputBoxOrCancel(
        Label(i), kInputTitle, "", kind_.lineClickInputX, static_cast<int>((i + 1) * kRow + 1680));
    if (!answer) {
        // Cancel or Escape: the student only looked at the line. Its text, its value, the last
        // validation and the button colours stay; the window is as it was before the click.
        List1.SetListIndex(-1);
        Label3.SetVisible(instructionShown);
        Command3.SetVisible(endButtonShown);
        return;
    }
    std::string& text = Text(i);
    text = *answer;
    text = NormalizeDecimal(text);
    // The corrected line keeps its place; no line stays selected.
    List1.RemoveItem(i);
    List1.AddItem(SourceLineOf(i), i);
    List1.SetListIndex(-1);
    StoreValue(Data(), i, text);

    Data().BadIndex = Validate();
    Command3.Show();
    Command3.SetBackColor(Data().DataError != kFalse ? kRed : kGreen);
    if (kind_.lineClickDropsTabStop) {
        List1.SetTabStop(false);
    }
}

void SourceDataForm::Command2_Click() {
    List1.SetEnabled(true);
    Command1.Hide();
    Command2.Hide();
    Label3.Show();
    List1.Show();
    // The list is the place to act now: the keyboard is there.
    List1.SetFocus();
}

namespace {

// Prints every listed source line on the window, one row per parameter.
void PrintSourceLines(SourceDataForm& s) {
    for (int i = 0; i <= s.Kind().lastIndex; ++i) {
        s.SetCurrentX(kPrintedLineX);
        s.SetCurrentY(kPrintedLineY + kRow * i);
        s.Print(s.SourceLineOf(i));
    }
}

// Lays the copy of the faulty line over its row.
void ShowHighlight(SourceDataForm& s, double left, double top, double width) {
    s.Label2.SetCaption(s.SourceLineOf(s.Data().BadIndex));
    s.Label2.Move(left, top, width, kHighlightHeight);
    s.Label2.Show();
}

}  // namespace

// ============================================================================================
// Form10: evaporator
// ============================================================================================

Form10::Form10(RunContext& run)
    : SourceDataForm(run, "Form10", SourceDataKind{kEvaporatorSourceCount - 1, 62, 4000, true}) {
    Command1.SetCaption("НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ");
    Command3.SetCaption("Конец изменений");
    ApplyDesign(*this, {100, 100, 10000, 8000, 500, 1200, 9000, 3000, 4500, 5700, 6400});
}

void Form10::Form_Load() {
    Move(100, 100, 10000, 8000);
    List1.Move(500, 1200, 9000, 3000);
    Label3.SetTop(4500);
    SourceDataForm::Form_Load();
}

std::string& Form10::Label(int i) const {
    return Data().EvaporatorLabels.at(static_cast<std::size_t>(i));
}
std::string& Form10::Text(int i) const {
    return Data().EvaporatorTexts.at(static_cast<std::size_t>(i));
}
std::uint8_t Form10::Validate() const {
    return ValidateEvaporatorData(Data());
}

void Form10::Command1_Click() {
    SetCaption(kCheckCaption);
    // The evaporator run validates, presents faulty data here, or goes on to the results.
    RunEvaporator(Run());
}

void Form10::Command3_Click() {
    SetCaption(kCheckCaption);
    RunEvaporator(Run());
    // After a correction the results window offers the way back to the property data. Faulty data
    // left no results window to change.
    if (Forms().IsLoaded<Form11>()) {
        Get<Form11>().Command3.Show();
    }
}

void Form10::PresentSourceDataError() {
    // Lines printed before (the review state of faulty data) are replaced, not overprinted.
    Cls();
    PrintSourceLines(*this);
    platform().Beep();
    List1.Hide();
    Command1.Hide();
    Command2.Hide();
    ShowHighlight(*this, kPrintedLineX, kHighlightY + kRow * Data().BadIndex, kHighlightWidth);
    Get<Form8>().ShowOver(*this);
}

// ============================================================================================
// Form3: heater or dephlegmator
// ============================================================================================

Form3::Form3(RunContext& run)
    : SourceDataForm(run, "Form3", SourceDataKind{kHeaterSourceCount - 1, 62, 2000, false}) {
    Command1.SetCaption("НЕ ИЗМЕНЯЕТУ ИСХОДНУЮ ИНФОРМАЦИЮ");
    Command3.SetCaption("КОНЕЦ ИСПРАВЛЕНИЙ");
    ApplyDesign(*this, {100, 100, 12000, 8000, 500, 1200, 9000, 2300, 4000, 5200, 6200});
}

void Form3::Form_Load() {
    Label3.SetTop(4000);
    SourceDataForm::Form_Load();
}

std::string& Form3::Label(int i) const {
    return Data().HeaterLabels.at(static_cast<std::size_t>(i));
}
std::string& Form3::Text(int i) const {
    return Data().HeaterTexts.at(static_cast<std::size_t>(i));
}
std::uint8_t Form3::Validate() const {
    return ValidateHeaterData(Data());
}

void Form3::HideErrorDialog() {
    if (Forms().IsLoaded<Form5>()) {
        Get<Form5>().Hide();
    }
}

namespace {

// The heater's accepted data: on to the results window, where the orientation of the tubes starts
// the construction input and the calculation.
void HandOverToHeaterResults(Form3& form, bool endOfCorrections) {
    ui::FormRegistry& forms = form.Forms();
    DesignData& data = form.Data();
    form.Unload();
    forms.Get<Form3>().Hide();
    forms.CloseOtherForms();
    Form9& results = forms.Get<Form9>();
    results.List1.Hide();
    if (endOfCorrections) {
        results.Command1.Hide();
        results.Command2.Hide();
        results.Command3.Hide();
        results.Command4.Hide();
        results.Command5.Hide();
        results.Label1.Hide();
    }
    data.HeaterConstructionPending = kTrue;
    results.Show();
    // The question stands above the two answers; a screen reader says it with the window.
    if (results.Label8.Visible()) {
        results.Announce(results.Label8.Caption());
    }
}

}  // namespace

void Form3::Command1_Click() {
    SetCaption(kCheckCaption);
    Data().BadIndex = Validate();
    if (Data().DataError != kFalse) {
        PresentSourceDataError(false);
        return;
    }
    HandOverToHeaterResults(*this, false);
}

void Form3::Command3_Click() {
    SetCaption(kCheckCaption);
    Data().BadIndex = Validate();
    if (Data().DataError != kFalse) {
        PresentSourceDataError(true);
        return;
    }
    HandOverToHeaterResults(*this, true);
}

void Form3::PresentSourceDataError(bool endOfCorrections) {
    platform().Beep();
    Command1.Hide();
    Command2.Hide();
    const int bad = Data().BadIndex;
    if (endOfCorrections) {
        Command3.Hide();
        List1.Hide();
        Cls();
        PrintSourceLines(*this);
        ShowHighlight(*this, List1.Left(), List1.Top() + kRow * bad, List1.Width());
        Form5& dialog = Get<Form5>();
        dialog.Move(List1.Left() + 1600, 5000);
        dialog.ShowOver(*this);
    } else {
        // Opened with faulty data: the lines are printed already.
        ShowHighlight(*this, kPrintedLineX, kHighlightY + kRow * bad, kHighlightWidth);
        Form5& dialog = Get<Form5>();
        dialog.SetTop(5000);
        dialog.ShowOver(*this);
    }
}

// ============================================================================================
// Form6: cooler
// ============================================================================================

Form6::Form6(RunContext& run)
    : SourceDataForm(run, "Form6", SourceDataKind{kCoolerSourceCount - 1, 72, 4000, false}) {
    Command1.SetCaption("НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ");
    Command3.SetCaption("КОНЕЦ ИСПРАВЛЕНИЙ");
    ApplyDesign(*this, {0, 0, ScreenWidth(), ScreenHeight(), 500, 1200, 11000, 2700, 4300, 5300, 6300});
}

void Form6::Form_Load() {
    SourceDataForm::Form_Load();
}

std::string& Form6::Label(int i) const {
    return Data().CoolerLabels.at(static_cast<std::size_t>(i));
}
std::string& Form6::Text(int i) const {
    return Data().CoolerTexts.at(static_cast<std::size_t>(i));
}
std::uint8_t Form6::Validate() const {
    return ValidateCoolerData(Data());
}

void Form6::HideErrorDialog() {
    if (Forms().IsLoaded<Form14>()) {
        Get<Form14>().Hide();
    }
}

void Form6::AskConstructionParameter(int index, double lower, float upper) {
    ui::Platform& p = platform();
    DesignData& data = Data();
    const auto slot = static_cast<std::size_t>(index);
    for (;;) {
        const std::string demo =
            Demonstration() ? std::string(kCoolerReferenceConstruction.at(slot - 13)) : std::string();
        const std::string answer = p.InputBox(data.CoolerLabels.at(slot), kConstructionTitle, demo, 800,
                                              static_cast<int>((index - 13) * kRow + 700));
        data.CoolerTexts.at(slot) = NormalizeDecimal(answer);
        StoreValue(data, index, data.CoolerTexts[slot]);
        if (PassesInclusive(data.Values[slot], lower, upper)) {
            break;
        }
        p.Beep();
        const int reply = p.YesNoBox(std::string(kConstructionErrorMessage) + std::string(kContinueQuestion),
                                     std::string(kErrorTitle));
        data.MsgAnswer = static_cast<float>(reply);
        if (reply == ui::kNo) {
            Forms().Unload<Form6>();
            CloseOtherForms();
            p.EndProgram();
        }
    }
    ui::Label& line = Get<Form13>().L(index - 13);
    line.SetCaption(data.CoolerLabels[slot] + data.CoolerTexts[slot]);
    line.Show();
}

namespace {

// The five construction values in the order asked, each within its bounds.
void AskConstruction(Form6& form, bool printOnWindow) {
    DesignData& data = form.Data();
    for (int index = 13; index <= 17; ++index) {
        const ConstructionBounds bounds = CoolerConstructionBounds(index);
        form.AskConstructionParameter(index, bounds.lower, bounds.upper);
        if (printOnWindow) {
            const auto slot = static_cast<std::size_t>(index);
            form.SetCurrentX(100);
            form.SetCurrentY((index - 12) * 200);
            form.Print(data.CoolerLabels[slot] + data.CoolerTexts[slot]);
        }
    }
}

}  // namespace

void Form6::Command1_Click() {
    SetCaption(kCheckCaption);
    Data().BadIndex = Validate();
    if (Data().DataError != kFalse) {
        PresentSourceDataError(false);
        return;
    }
    // The construction is asked on this window, then the results window takes over.
    Cls();
    List1.Hide();
    Label1.Hide();
    Command1.Hide();
    Command2.Hide();
    AskConstruction(*this, true);
    ui::Platform& p = platform();
    Unload();
    Forms().Get<Form6>().Hide();
    CloseOtherForms();
    RunCooler(Run());
    p.Forms().Get<Form13>().Show();
}

void Form6::Command3_Click() {
    SetCaption(kCheckCaption);
    Data().BadIndex = Validate();
    if (Data().DataError != kFalse) {
        PresentSourceDataError(true);
        return;
    }
    // The construction is asked over the emptied results window, each value shown there at once.
    ui::Platform& p = platform();
    Unload();
    Forms().Get<Form6>().Hide();
    CloseOtherForms();
    {
        Form13& results = p.Forms().Get<Form13>();
        results.Cls();
        for (ui::Button* button : {&results.Command1, &results.Command2, &results.Command3, &results.Command4,
                                   &results.Command5, &results.Command6}) {
            button->Hide();
        }
        results.List1.Hide();
        results.Label1.Hide();
        results.Label4.Hide();
        results.Label5.Hide();
        for (int i = 0; i < 5; ++i) {
            results.L(i).Hide();
        }
        results.Show();
    }
    AskConstruction(*this, false);
    RunCooler(Run());
    p.Forms().Get<Form13>().Show();
}

void Form6::PresentSourceDataError(bool endOfCorrections) {
    platform().Beep();
    Command1.Hide();
    Command2.Hide();
    const int bad = Data().BadIndex;
    if (endOfCorrections) {
        Command3.Hide();
        List1.Hide();
        Cls();
        PrintSourceLines(*this);
        ShowHighlight(*this, kPrintedLineX, List1.Top() + kRow * bad, List1.Width());
    } else {
        ShowHighlight(*this, kPrintedLineX, kHighlightY + kRow * bad, kHighlightWidth);
    }
    Form14& dialog = Get<Form14>();
    dialog.Move(List1.Left() + 1600, 5000);
    dialog.ShowOver(*this);
}

// ============================================================================================
// Error dialogs
// ============================================================================================

namespace {
// Width of the evaporator's source-data window after its load, where the dialogs are centred.
constexpr double kEvaporatorWindowWidth = 10000;
}  // namespace

ErrorDialog::ErrorDialog(RunContext& run, std::string name, double designWidth, double designHeight)
    : AppForm(run, std::move(name)) {
    // A dialog over its source-data window (PresentSourceDataError shows it so).
    MakeDialogWindow();
    // An alert: a screen reader reads its message as it opens.
    SetAccessibleRole(ui::WindowRole::Alert);
    SetCaption("Внимание !");
    Move(2000, 2000, designWidth, designHeight);
    Label1.SetCaption("Ошибка в исходной информации.");
    Label2.SetCaption("Изменяете исходную информацию?");
    for (ui::Label* label : {&Label1, &Label2}) {
        label->SetFont("Courier", 9);
        label->Move(0, 0, 3495, 255);
        label->SetTransparent(true);
    }
    Command1.SetCaption("Да");
    Command2.SetCaption("Нет");
    Command1.Move(0, 0, 1215, 375);
    Command2.Move(0, 0, 1215, 375);
    Command1.OnClick([this] { Command1_Click(); });
    Command2.OnClick([this] { Command2_Click(); });
}

void ErrorDialog::Form_Load() {
    SetWidth(4800);
    SetHeight(1800);
    Command1.SetTabStop(true);
    // Halves go to the even neighbour.
    const double gap = static_cast<double>(std::lrint((Width() - Command1.Width() - Command2.Width()) / 3));
    Label1.SetLeft((Width() - Label1.Width()) / 2);
    Label2.SetLeft((Width() - Label2.Width()) / 2);
    Command1.SetLeft(gap);
    Command2.SetLeft(Command1.Left() + Command1.Width() + gap);
    Label1.SetTop(180);
    Label2.SetTop(480);
    Command1.SetTop(850);
    Command2.SetTop(Command1.Top());
}

namespace {

// Centred under the evaporator window's width, with the dialog's design width.
void PlaceUnderEvaporatorWindow(ErrorDialog& dialog) {
    ui::FormRegistry& forms = dialog.Forms();
    const double sourceWidth =
        forms.IsLoaded<Form10>() ? forms.Get<Form10>().Width() : kEvaporatorWindowWidth;
    dialog.SetTop(4500);
    dialog.SetLeft((sourceWidth - dialog.Width()) / 2);
}

// "Да" of the evaporator and heater dialogs: back to the correction of the list.
void ReturnToCorrection(SourceDataForm& s) {
    s.Label3.Show();
    s.Show();
    s.List1.SetEnabled(true);
    s.Cls();
    s.List1.Show();
    s.Label2.Hide();
    s.Command3.Hide();
    s.Show();
    s.List1.SetFocus();
    // The keyboard's place is the faulty line, which a screen reader reads with its fault (the
    // screen marks it by colour only).
    const int bad = s.Data().BadIndex;
    s.List1.SetLineNote(bad, std::string(kFaultyLineNote));
    s.List1.SetKeyboardLine(bad);
}

// "Нет" of every dialog: both windows closed, then the end of the run.
template <class Source, class Dialog>
[[noreturn]] void EndFromDialog(Dialog& dialog) {
    ui::FormRegistry& forms = dialog.Forms();
    ui::Platform& p = dialog.platform();
    forms.Unload<Source>();
    dialog.Unload();
    forms.Get<Source>().Hide();
    forms.Get<Dialog>().Hide();
    forms.CloseOtherForms();
    p.EndProgram();
}

}  // namespace

Form8::Form8(RunContext& run) : ErrorDialog(run, "Form8", 5385, 1515) {}

void Form8::Form_Load() {
    PlaceUnderEvaporatorWindow(*this);
    ErrorDialog::Form_Load();
}

void Form8::Command1_Click() {
    Hide();
    Unload();
    ReturnToCorrection(Get<Form10>());
}

void Form8::Command2_Click() {
    EndFromDialog<Form10>(*this);
}

Form5::Form5(RunContext& run) : ErrorDialog(run, "Form5", 5580, 1755) {}

void Form5::Form_Load() {
    PlaceUnderEvaporatorWindow(*this);
    ErrorDialog::Form_Load();
}

void Form5::Command1_Click() {
    Hide();
    Unload();
    ReturnToCorrection(Get<Form3>());
}

void Form5::Command2_Click() {
    EndFromDialog<Form3>(*this);
}

Form14::Form14(RunContext& run) : ErrorDialog(run, "Form14", 5385, 1725) {}

void Form14::Command1_Click() {
    Form6& s = Get<Form6>();
    s.Show();
    s.List1.SetEnabled(true);
    s.Cls();
    s.List1.Show();
    s.Label2.Hide();
    s.Command3.Show();
    s.List1.SetFocus();
    // Selecting the faulty line corrects it at once: its input box opens without a further click.
    s.List1.SetListIndex(Data().BadIndex);
    Form6& again = Get<Form6>();
    again.Command3.SetBackColor(Data().DataError != kFalse ? kRed : kGreen);
    Hide();
    Unload();
    again.Show();
}

void Form14::Command2_Click() {
    EndFromDialog<Form6>(*this);
}

std::string_view Form10::ReferenceText(int i) const {
    return kEvaporatorReferenceTexts.at(static_cast<std::size_t>(i));
}
std::string_view Form3::ReferenceText(int i) const {
    return kHeaterReferenceTexts.at(static_cast<std::size_t>(i));
}
std::string_view Form6::ReferenceText(int i) const {
    return kCoolerReferenceTexts.at(static_cast<std::size_t>(i));
}

void SourceDataForm::OpenForPropertyChange(double listHeight, double listWidth,
                                           std::optional<double> listLeft, bool showHeading) {
    DesignData& data = Data();
    SetCaption("   ИЗМЕНЕНИЕ ИСХОДНОЙ ИНФОРМАЦИИ");
    Command1.Hide();
    Command2.Hide();
    Command3.Hide();
    Label1.Hide();
    Label2.Hide();
    Move(100, 100, 12000, 8000);
    List1.SetHeight(listHeight);
    List1.SetTop(1200);
    List1.SetWidth(listWidth);
    List1.SetLeft(listLeft.value_or((ScaleWidth() - List1.Width()) / 2));
    Show();
    List1.SetEnabled(true);

    List1.Clear();
    for (int i = 0; i <= kind_.lastIndex; ++i) {
        data.Values[static_cast<std::size_t>(i)] = ReadValue(Text(i));
        List1.AddItem(SourceLineOf(i));
    }
    if (showHeading) {
        List1.SetEnabled(false);
        Label1.Show();
        List1.SetEnabled(true);
    }

    // The data were accepted before, so they pass; should they not, the accept button says so.
    data.BadIndex = Validate();
    Command2.SetBackColor(kGreen);
    Command1.SetBackColor(data.DataError != 0 ? kRed : kGreen);
    Command2.SetTabStop(true);
    Show();
    // Every button is hidden: the list is the place to act.
    List1.SetFocus();
}

}  // namespace heatx
