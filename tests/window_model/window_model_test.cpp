// The window model on a platform without any windowing system (no Qt linked): what a platform is
// told for the windows' geometry, pictures and controls, how a person's click reaches a handler, and
// the windows of the program run from the context of a run.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "navigation/start_forms.h"
#include "recording_toolkit.h"
#include "reports/clock.h"
#include "reports/printer.h"
#include "ui/form.h"
#include "ui/number_keys.h"
#include "ui/platform.h"
#include "ui/run_context.h"
#include "ui/scripted/scripted_services.h"

namespace heatx::ui::testing {
namespace {

struct Model {
    RecordingToolkit toolkit;
    ScriptedDialogs dialogs;
    ScriptedSound sound;
    ScriptedKeyboard keyboard;
    heatx::FixedClock clock{heatx::LocalDateTime{2024, 3, 15, 10, 30, 0}};
    heatx::RecordingPrinter printer;
    Platform platform{toolkit, dialogs, sound, keyboard, clock, printer};
};

// Plays the person: runs the callback a native control was given (from a copy, as a platform does,
// since the handler may release the control).
void Fire(const RecordedControl& control) {
    const std::function<void()> callback = control.callback;
    ASSERT_TRUE(callback);
    callback();
}

class Sketch : public Form {
  public:
    explicit Sketch(Platform& platform) : Form(platform, "Sketch") {
        Command1.OnClick([this] { ++clicks; });
        Command2.OnClick([this] {
            Unload();
            this->platform().EndProgram();
        });
        List1.OnClick([this] { chosen.push_back(List1.ListIndex()); });
    }
    int clicks = 0;
    std::vector<int> chosen;
    Button& Command1 = AddButton("Command1");
    Button& Command2 = AddButton("Command2");
    Label& Label1 = AddLabel("Label1");
    ListBox& List1 = AddList("List1");
};

TEST(WindowModelTest, GeometryIsToldInPixelsAndReadBackInTheTwipsSet) {
    Model m;
    m.platform.OverrideScreen(1280, 1024);  // a screen the window fits: drawn as designed
    Sketch& form = m.platform.Forms().Get<Sketch>();
    form.Move(1500, 750, 15000, 11250);
    form.Command1.Move(3150, 1650, 4370, 620);
    const RecordedWindow& window = m.toolkit.Window("Sketch");
    EXPECT_EQ(window.geometry.left, 100);
    EXPECT_EQ(window.geometry.width, 1000);
    EXPECT_EQ(window.geometry.height, 750);
    const PixelRect button = m.toolkit.Control("Sketch", "Command1").geometry;
    EXPECT_EQ(button.left, 210);
    EXPECT_EQ(button.width, 291);  // 291.33
    EXPECT_EQ(button.height, 41);  // 41.33
    EXPECT_DOUBLE_EQ(form.Command1.Width(), 4370) << "the twips set, while the pixels stand";
    m.toolkit.Window("Sketch").geometry.left = 110;  // a window manager moved it
    EXPECT_DOUBLE_EQ(form.Left(), 1650);
}

TEST(WindowModelTest, PicturesAreToldAsOpaqueBoxesOutlinesAndTexts) {
    Model m;
    Sketch& form = m.platform.Forms().Get<Sketch>();
    form.SetBackColor(Rgb(255, 255, 0));
    form.SetScaleMode(ScaleMode::Pixels);
    form.SetFillStyle(FillStyle::Solid);
    form.SetFillColor(Rgb(0, 0, 255));
    form.SetForeColor(Rgb(255, 0, 0));
    form.Box(12, 10, 2, 3);  // corners in any order, both included
    form.SetDrawStyle(DrawStyle::Invisible);
    form.Box(0, 0, 0, 0);
    form.SetScaleMode(ScaleMode::Twips);
    form.SetCurrentX(150);
    form.SetCurrentY(300);
    form.Print("Текст");
    form.Print("next row");
    form.Cls();
    EXPECT_EQ(
        m.toolkit.Window("Sketch").picture,
        (std::vector<std::string>{"clear #FFFF00", "clear-texts", "fill 2,3,11,8 #0000FF",
                                  "outline 2,3,11,8 #FF0000", "fill 0,0,1,1 #0000FF",
                                  "text 10,20 #FF0000 Текст", "text 0,33 #FF0000 next row", "clear-texts"}));
    ASSERT_EQ(form.PrintedTexts().size(), 0u);
}

TEST(WindowModelTest, ControlsShowWhatTheWindowsSet) {
    Model m;
    Sketch& form = m.platform.Forms().Get<Sketch>();
    EXPECT_EQ(m.toolkit.Control("Sketch", "Command1").caption, "Command1") << "the name until a caption";
    EXPECT_EQ(m.toolkit.Control("Sketch", "Label1").backColor, 0xC0C0C0u) << "the system's window colour";
    form.Label1.SetCaption("one\r\ntwo\rthree\nfour");
    EXPECT_EQ(m.toolkit.Control("Sketch", "Label1").caption, "one\ntwo\nthree\nfour");
    form.List1.AddItem("b");
    form.List1.AddItem("a", 0);
    form.List1.AddItem("c", 99);
    form.List1.RemoveItem(7);
    EXPECT_EQ(m.toolkit.Control("Sketch", "List1").lines, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(form.List1.List(3), "");
    form.List1.SetListIndex(1);
    form.List1.RemoveItem(1);
    EXPECT_EQ(form.List1.ListIndex(), -1) << "the selected line removed, none is selected";
    EXPECT_EQ(form.chosen, (std::vector<int>{1}));
}

TEST(WindowModelTest, APersonsClickRunsGuardedAndTheEndOfTheRunReachesThePlatform) {
    Model m;
    Sketch& form = m.platform.Forms().Get<Sketch>();
    form.Show();
    Fire(m.toolkit.Control("Sketch", "Command1"));
    m.toolkit.Control("Sketch", "List1").lines = {"x", "y"};
    m.toolkit.Control("Sketch", "List1").selected = 1;
    Fire(m.toolkit.Control("Sketch", "List1"));
    EXPECT_EQ(form.clicks, 1);
    EXPECT_EQ(form.chosen, (std::vector<int>{1}));

    Fire(m.toolkit.Control("Sketch", "Command2"));  // unloads its window, then ends the run
    EXPECT_TRUE(m.platform.Ended());
    EXPECT_TRUE(m.toolkit.ended);
    EXPECT_EQ(m.toolkit.endCode, 0);
    const RecordedWindow& window = m.toolkit.Window("Sketch");
    EXPECT_TRUE(window.destroyed && window.destroyedLater) << "released once the handler has returned";
    EXPECT_EQ(m.toolkit.Control("Sketch", "Command1").callback, nullptr);
}

TEST(WindowModelTest, TheProgramsWindowsFindTheDesignDataInTheContextOfTheRun) {
    Model m;
    EXPECT_THROW(m.platform.Forms().Get<Form1>(), std::logic_error) << "no run, no window of the run";
    {
        RunContext run(m.platform);
        m.dialogs.QueueInput("фамилия гр. а-1");
        Form1& start = m.platform.Forms().Get<Form1>();
        start.Show();
        m.platform.Guard([&] { ASSERT_TRUE(start.Command2.Press()); });
        EXPECT_EQ(run.data.StudentName, " Фамилия Гр. А-1");
        EXPECT_TRUE(m.platform.Forms().Get<Form4>().Visible());
        EXPECT_EQ(m.toolkit.Window("Form4").title, m.platform.Forms().Get<Form4>().Caption());
    }
    EXPECT_EQ(m.platform.Forms().Count(), 0) << "the run's windows go with its context";
}

}  // namespace
}  // namespace heatx::ui::testing

namespace heatx::ui::testing {
namespace {

// A student still on the Russian layout types "0.683" on the Latin period key as "0ю683": once the
// program has asked for the Latin layout (the number boxes), every box reads the four characters of
// the period and comma keys as the period and comma meant; the name box, asked on the Russian
// layout, keeps them as typed.
TEST(WindowModelTest, NumberBoxesReadThePeriodAndCommaKeysOfTheRussianLayout) {
    EXPECT_EQ(NumberKeysAsLatin("0ю683 0Ю5 1б5 2Б5"), "0.683 0.5 1,5 2,5");
    EXPECT_EQ(NumberKeysAsLatin("юбилей"), ".,илей") << "only the four characters change";

    Model m;
    m.platform.ActivateKeyboardLayout(kRussianLayout);
    m.dialogs.QueueInputs({"бобров ю.", "0ю683", "1б5"});
    EXPECT_EQ(m.platform.InputBox("  ВВЕДИТЕ ФАМИЛИЮ И НОМЕР ГРУППЫ ", "ВВОД ФАМИЛИИ", "", 0, 0),
              "бобров ю.");
    m.platform.ActivateKeyboardLayout(kUsEnglishLayout);
    EXPECT_EQ(m.keyboard.Handles(), (std::vector<std::uint32_t>{kRussianLayout, kUsEnglishLayout}));
    EXPECT_EQ(m.platform.InputBox("value", "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ", "", 0, 0), "0.683");
    EXPECT_EQ(m.platform.InputBoxOrCancel("value", "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ", "", 0, 0), "1,5");
}

}  // namespace
}  // namespace heatx::ui::testing
