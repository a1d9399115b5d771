// The start screen, the description screen and the program library menu.
#include "navigation/start_forms.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "design_data/numeric.h"
#include "design_data/validation.h"
#include "reports/layout.h"
#include "reports/text.h"
#include "source_data/source_data_forms.h"
#include "ui/color.h"
#include "ui/services.h"

namespace heatx {

namespace {

constexpr ui::Color kGreen = ui::Rgb(0, 255, 0);
constexpr ui::Color kRed = ui::Rgb(255, 0, 0);
constexpr ui::Color kYellow = ui::Rgb(255, 255, 0);
constexpr ui::Color kLightRed = ui::Rgb(255, 128, 128);

// Lines of a label caption are separated by a carriage return alone.
constexpr char kCr = '\r';

int NearestInt(double value) {
    return static_cast<int>(std::lround(value));
}

}  // namespace

// ============================================================================================
// Form1: start screen
// ============================================================================================

Form1::Form1(RunContext& run) : AppForm(run, "Form1") {
    // The background painted at load stays: persistent drawing.
    SetAutoRedraw(true);

    Command1.SetCaption("ОПИСАНИЕ ПРОГРАММЫ");
    Command1.SetBackColor(kYellow);
    Command2.SetCaption("ВВОД ИСХОДНОЙ ИНФОРМАЦИИ");
    Command2.SetBackColor(kGreen);
    Command3.SetCaption("ОКОНЧАНИЕ РАБОТЫ С ПРОГРАММОЙ");
    Command3.SetBackColor(kLightRed);
    for (ui::Button* button : {&Command1, &Command2, &Command3}) {
        // A caption wider than its button is set smaller by the button itself.
        button->SetFont("MS Sans Serif", 8.25);
        button->Move(0, 0, 2415, 615);
    }

    Label1.Move(0, 1200, 5295, 735);
    Label1.SetBackColor(ui::Rgb(192, 64, 0));
    Label1.SetForeColor(ui::Rgb(128, 255, 128));
    Label1.SetFont("MS Sans Serif", 12, true, true);

    Label2.Move(0, 0, 2895, 375);
    Label2.SetBackColor(kRed);
    Label2.SetForeColor(ui::Rgb(255, 255, 192));
    Label2.SetFont("Monotype Corsiva", 14.25, false, true);

    Command1.OnClick([this] { Command1_Click(); });
    Command2.OnClick([this] { Command2_Click(); });
    Command3.OnClick([this] { Command3_Click(); });
}

void Form1::Form_Load() {
    SetTop(500);
    SetLeft(500);
    SetWidth(12000);
    SetHeight(9000);

    // The background: box i, in the colour RGB(150, 50, 255 - 255 i div W), reaches from column i to
    // column H + 150, for i = 0..W, each painting over the ones before: violet-blue at the left edge
    // fading toward brown, the band beyond H + 150 in the colour of the last box. Every column ends
    // in the colour of the last box that covers it, so the picture is painted column by column in
    // that colour: the same picture without painting most pixels hundreds of times over.
    SetScaleMode(ui::ScaleMode::Pixels);
    const int h = NearestInt(ScaleHeight());
    const int w = NearestInt(ScaleWidth());
    SetDrawStyle(ui::DrawStyle::Invisible);
    SetFillStyle(ui::FillStyle::Solid);
    if (w > 0) {
        const int edge = h + 150;
        const auto colour = [w](int i) { return ui::Rgb(150, 50, 255 - (255 * i) / w); };
        for (int x = 0; x <= std::max(w, edge); ++x) {
            // Box i covers the columns from min(i, edge) to max(i, edge).
            int last = -1;
            if (x < edge) {
                last = std::min(x, w);
            } else if (x <= w) {
                last = w;
            }
            if (last >= 0) {
                SetFillColor(colour(last));
                Box(x, 0, x, w);
            }
        }
    }
    SetCaption("НАЧАЛО РАБОТЫ С ПРОГРАММОЙ");
    SetScaleMode(ui::ScaleMode::Twips);

    Label1.SetCaption(std::string("                 Программа расчета") + kCr +
                      "      кожухотрубных теплообменников");
    Label2.SetCaption("  автор программы");
    Label1.SetLeft(Width() / 2 - Label1.Width() / 2);

    // The buttons in one row, the window's width split into four equal gaps around them.
    Command1.SetTop(6000);
    Command2.SetTop(Command1.Top());
    Command3.SetTop(Command1.Top());
    const double gapTwips = Width() / 4 - (Command1.Width() + Command2.Width() + Command3.Width()) / 4;
    const auto gap = static_cast<std::int16_t>(std::clamp(std::lrint(gapTwips), -32768L, 32767L));
    Command1.SetLeft(gap);
    Command2.SetLeft(Command1.Left() + Command1.Width() + gap);
    Command3.SetLeft(Command2.Left() + Command2.Width() + gap);

    Label2.SetTop(Command1.Top() + Command1.Height() + 500);
    Label2.SetLeft(Command3.Left() + 500);
}

void Form1::Command1_Click() {
    Hide();
    CloseOtherForms();
    Get<Form2>().Show();
}

void Form1::Command2_Click() {
    ui::Platform& p = platform();
    p.ActivateKeyboardLayout(ui::kRussianLayout);
    const std::string answer = p.InputBox("  ВВЕДИТЕ ФАМИЛИЮ И НОМЕР ГРУППЫ ", "ВВОД ФАМИЛИИ", "", 500, 300);
    Data().StudentName = StudentNameFromAnswer(answer);
    p.ActivateKeyboardLayout(ui::kUsEnglishLayout);
    Hide();
    Unload();
    CloseOtherForms();
    Get<Form4>().Show();
}

void Form1::Command3_Click() {
    platform().EndProgram();
}

// ============================================================================================
// Form2: description screen
// ============================================================================================

Form2::Form2(RunContext& run) : AppForm(run, "Form2") {
    SetCaption("Описание программы");
    Move(1500, 1000, 8820, 6960);
    SetBackColor(ui::Rgb(192, 192, 0));

    Label1.SetBackColor(ui::Rgb(0, 255, 255));
    Label1.SetForeColor(ui::Rgb(0, 0, 192));
    Label1.SetFont("Courier New", 9);
    Label2.SetBackColor(ui::Rgb(255, 128, 0));
    Label2.SetCaption("");
    Label3.SetBackColor(ui::Rgb(255, 128, 0));
    Label3.SetCaption("");

    Command1.SetCaption("ПРОДОЛЖЕНИЕ РАБОТЫ");
    Command1.Move(1920, 5640, 4095, 375);
    Command1.SetBackColor(kGreen);
    Command1.OnClick([this] { Command1_Click(); });
}

void Form2::Form_Load() {
    Label1.Move(1080, 480, 6135, 4575);
    // The two strips: a drop shadow 50 twips to the right of and below the text block.
    Label2.Move(Label1.Left() + Label1.Width(), Label1.Top() + 50, 100, Label1.Height());
    Label3.Move(Label1.Left() + 50, Label1.Top() + Label1.Height(), Label1.Width() + 60, 100);

    const char* const lines[] = {
        "",
        "       ПРОГРАММА РАСЧЁТА КОЖУХОТРУБНЫХ ТЕПЛООБМЕННИКОВ",
        "                    автор программы",
        "",
        "   ПЕРЕД НАЧАЛОМ РАБОТЫ НЕБХОДИМО ИЗУЧИТЬ МЕТОДИКУ РАСЧЁТА",
        "      ТЕПЛООБМЕННИКОВ И ПОДГОТОВИТЬ ИСХОДНУЮ ИНФОРМАЦИЮ.",
        "",
        "           см. литературу:",
        "",
        "  1. ОСНОВНЫЕ ПРОЦЕССЫ И АППАРАТЫ ХИМИЧЕСКОЙ ТЕХНОЛОГИИ.",
        "     справочное пособие по проектированию под редакцией",
        "",
        "  2. РАСЧЁТ ТЕПООБМЕННИКОВ С ПРИМЕНЕНИЕМ ЭВМ",
        "     методические указания",
        "     1979г.",
        "",
        "  3. УЧЕБНЫЙ САЙТ КАФЕДРЫ ПРОЦЕССОВ И АППАРАТОВ",
    };
    std::string caption;
    bool first = true;
    for (const char* line : lines) {
        if (!first) {
            caption += kCr;
        }
        caption += line;
        first = false;
    }
    Label1.SetCaption(caption);
}

void Form2::Command1_Click() {
    Hide();
    CloseOtherForms();
    // The hidden start screen was the oldest window: it is created afresh here and painted again.
    Get<Form1>().Show();
}

// ============================================================================================
// Form4: program library menu
// ============================================================================================

namespace {

// Steps of a new task common to the three kinds, after the kind's labels have been written.
void ResetReportFlags(DesignData& data) {
    data.ReportPrinted = kFalse;
    data.ReportHeadPending = kTrue;
    data.TableHeadPending = kTrue;
}

// The source-data window as it is filled: entry caption, buttons and labels out of the way.
void PrepareForInput(SourceDataForm& s) {
    s.SetCaption("   ВВОД ИСХОДНОЙ ИНФОРМАЦИИ");
    s.Command1.Hide();
    s.Command2.Hide();
    s.Command3.Hide();
    s.Label1.Hide();
    s.Label2.Hide();
    s.Label3.Hide();
}

// Asks every source parameter of the kind while the list grows, validates the set and leaves the
// window in its review state (valid: the list; faulty: the lines printed, Command1 red).
void AskSourceData(SourceDataForm& s) {
    ui::Platform& p = s.platform();
    DesignData& data = s.Data();
    const int last = s.Kind().lastIndex;

    s.Show();
    s.List1.SetEnabled(true);
    // A fresh window holds no lines; a window that survived must not keep the old ones.
    s.List1.Clear();
    s.Cls();
    for (int i = 0; i <= last; ++i) {
        const std::string answer = p.InputBox(
            s.Label(i), "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ",
            s.Demonstration() ? std::string(s.ReferenceText(i)) : std::string(), 4000, 1680 + 195 * i);
        std::string& text = s.Text(i);
        text = answer;
        text = NormalizeDecimal(text);
        data.Values[static_cast<std::size_t>(i)] = ReadValue(text);
        s.List1.AddItem(s.SourceLineOf(i));
    }
    s.List1.SetEnabled(false);
    s.Command1.Show();
    s.Command2.Show();
    s.Label1.Show();

    data.BadIndex = s.Validate();
    s.Command2.SetBackColor(kGreen);
    if (data.DataError != kFalse) {
        s.Command1.SetBackColor(kRed);
        s.Command1.SetTabStop(true);
        s.List1.Hide();
        for (int i = 0; i <= last; ++i) {
            s.SetCurrentX(530);
            s.SetCurrentY(1210 + 195 * i);
            s.Print(s.SourceLineOf(i));
        }
    } else {
        s.Command1.SetBackColor(kGreen);
        s.Command2.SetTabStop(true);
    }
    s.Show();
}

}  // namespace

Form4::Form4(RunContext& run) : AppForm(run, "Form4") {
    SetCaption("Form4");
    // The caption stays as the screen shows it; a screen reader says the menu's own heading.
    SetAccessibleName("БИБЛИОТЕКА ПРОГРАММ. Выбор теплообменника");
    Move(1500, 1500, 8985, 5325);

    Label1.SetCaption("   БИБЛИОТЕКА ПРОГРАММ");
    Label1.Move(2400, 480, 3735, 375);
    Label1.SetBackColor(ui::Rgb(0, 192, 192));
    Label1.SetForeColor(kYellow);
    Label1.SetFont("Microsoft Sans Serif", 12, true, true);

    Command1.SetCaption("ИСПАРИТЕЛЬ");
    Command1.Move(2520, 1320, 3495, 495);
    Command1.SetBackColor(kYellow);
    Command2.SetCaption("ПОДОГРЕВАТЕЛЬ ИЛИ ДЕФЛЕГМАТОР");
    Command2.Move(2520, 2040, 3495, 495);
    Command2.SetBackColor(kYellow);
    Command3.SetCaption("ХОЛОДИЛЬНИК");
    Command3.Move(2520, 2760, 3495, 495);
    Command3.SetBackColor(kYellow);
    Command4.SetCaption("ОКОНЧАНИЕ РАСЧЁТА");
    Command4.Move(2520, 3600, 3495, 495);
    Command4.SetBackColor(kLightRed);

    Command1.OnClick([this] { Command1_Click(); });
    Command2.OnClick([this] { Command2_Click(); });
    Command3.OnClick([this] { Command3_Click(); });
    Command4.OnClick([this] { Command4_Click(); });
}

void Form4::Form_Load() {
    // The background is painted anew by Form_Paint on every repaint.
    SetAutoRedraw(false);
}

void Form4::Form_Paint() {
    SetScaleMode(ui::ScaleMode::Pixels);
    const int h = NearestInt(ScaleHeight());
    const int w = NearestInt(ScaleWidth());
    SetDrawStyle(ui::DrawStyle::Invisible);
    SetFillStyle(ui::FillStyle::Solid);
    if (h <= 0) {
        return;
    }
    // Bands two pixels high from blue at the top to green at the bottom.
    for (int i = 0; i <= h; ++i) {
        SetFillColor(ui::Rgb(0, 150, 255 - (255 * i) / h));
        Box(-1, i - 1, w, i + 1);
    }
}

void Form4::Command1_Click() {
    WriteEvaporatorLabels(Data());
    ResetReportFlags(Data());
    Hide();
    Unload();
    CloseOtherForms();
    Form10& s = Get<Form10>();
    PrepareForInput(s);
    // The evaporator window keeps the geometry of its design and load.
    AskSourceData(s);
}

void Form4::Command2_Click() {
    WriteHeaterLabels(Data());
    ResetReportFlags(Data());
    Hide();
    Unload();
    CloseOtherForms();
    Form3& s = Get<Form3>();
    PrepareForInput(s);
    s.Move(100, 100, 12000, 8000);
    s.List1.SetHeight(2300);
    s.List1.SetTop(1200);
    s.List1.SetLeft(500);
    s.List1.SetWidth(9000);
    AskSourceData(s);
}

void Form4::Command3_Click() {
    WriteCoolerLabels(Data());
    ResetReportFlags(Data());
    Hide();
    Unload();
    CloseOtherForms();
    Form6& s = Get<Form6>();
    PrepareForInput(s);
    s.Move(0, 0, s.ScreenWidth(), s.ScreenHeight());
    s.List1.SetHeight(2700);
    s.List1.SetTop(1200);
    s.List1.SetLeft(500);
    s.List1.SetWidth(11000);
    AskSourceData(s);
}

void Form4::Command4_Click() {
    platform().EndProgram();
}

}  // namespace heatx
