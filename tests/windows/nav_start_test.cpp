// The start screen, the description screen and the menu's own window: the order in which the
// windows replace one another, the student's name, the keyboard switch, the end of the run and the
// painted backgrounds.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QWidget>
#include <string>
#include <vector>

#include "navigation/start_forms.h"
#include "source_data_test_support.h"
#include "window_test_support.h"

namespace heatx::ui::testing {
namespace {

std::vector<std::string> LoadedNames(Platform& platform) {
    std::vector<std::string> names;
    for (int i = 0; i < platform.Forms().Count(); ++i) {
        names.push_back(platform.Forms().At(i).Name());
    }
    return names;
}

class StartScreenTest : public WindowTest {
  protected:
    Form1& start() { return platform.Forms().Get<Form1>(); }
};

TEST_F(StartScreenTest, LoadSplitsTheWindowWidthIntoFourEqualGapsAroundTheButtons) {
    Form1& form = start();
    EXPECT_EQ(form.GetScaleMode(), ScaleMode::Twips) << "the scale is back in twips after the painting";
    // 12000 / 4 - 3 * 2415 / 4 = 1188.75, held as a whole number: 1189.
    EXPECT_DOUBLE_EQ(form.Command1.Left(), 1189);
    EXPECT_DOUBLE_EQ(form.Command2.Left(), 1189 + 2415 + 1189);
    EXPECT_DOUBLE_EQ(form.Command3.Left(), 1189 * 3 + 2415 * 2);
    EXPECT_DOUBLE_EQ(form.Label1.Left(), 6000 - 5295 / 2.0);
    EXPECT_DOUBLE_EQ(form.Label2.Top(), 6000 + 615 + 500);
    EXPECT_EQ(form.Label2.Caption().rfind("  автор", 0), 0u);
}

TEST_F(StartScreenTest, DescriptionAndBackRecreateTheStartScreenAndKeepTheDescriptionLoaded) {
    start().Show();
    RunInEventLoop(platform, [&] {
        start().SetCaption("changed since the load");
        ASSERT_TRUE(start().Command1.Press());
        EXPECT_EQ(LoadedNames(platform), (std::vector<std::string>{"Form1", "Form2"}));
        EXPECT_FALSE(platform.Forms().At(0).Visible()) << "the start screen stays loaded, hidden";
        Form2& description = platform.Forms().Get<Form2>();
        EXPECT_TRUE(description.Visible());

        ASSERT_TRUE(description.Command1.Press());
    });
    // The start screen was the oldest window: unloaded and created afresh, its Form_Load run again.
    EXPECT_EQ(LoadedNames(platform), (std::vector<std::string>{"Form2", "Form1"}));
    EXPECT_EQ(start().Caption(), "НАЧАЛО РАБОТЫ С ПРОГРАММОЙ");
    EXPECT_TRUE(start().Visible());
    EXPECT_FALSE(platform.Forms().At(0).Visible());

    // The next visit of the description finds the old one the oldest window and builds it anew.
    RunInEventLoop(platform, [&] { ASSERT_TRUE(start().Command1.Press()); });
    EXPECT_EQ(LoadedNames(platform), (std::vector<std::string>{"Form1", "Form2"}));
    EXPECT_TRUE(platform.Forms().Get<Form2>().Visible());
}

TEST_F(StartScreenTest, TheNameIsStoredInProperCaseUnderTheRussianKeyboard) {
    std::vector<std::uint32_t> layoutWhileAsked;
    dialogs.OnOpen([&](const DialogCall&) { layoutWhileAsked = services.keyboard.Handles(); });
    dialogs.QueueInput("фамилия гр. а-1");
    start().Show();

    RunInEventLoop(platform, [&] { ASSERT_TRUE(start().Command2.Press()); });

    EXPECT_EQ(run.data.StudentName, " Фамилия Гр. А-1");
    ASSERT_EQ(dialogs.Calls().size(), 1u);
    const DialogCall& box = dialogs.Calls()[0];
    EXPECT_EQ(box.prompt, "  ВВЕДИТЕ ФАМИЛИЮ И НОМЕР ГРУППЫ ");
    EXPECT_EQ(box.title, "ВВОД ФАМИЛИИ");
    EXPECT_EQ(box.defaultText, "");
    EXPECT_EQ(box.xTwips, 500);
    EXPECT_EQ(box.yTwips, 300);
    EXPECT_EQ(layoutWhileAsked, (std::vector<std::uint32_t>{0x04190419}));
    EXPECT_EQ(services.keyboard.Handles(), (std::vector<std::uint32_t>{0x04190419, 0x04090409}));
    // The start screen is gone for good; the menu is the only window.
    EXPECT_EQ(LoadedNames(platform), (std::vector<std::string>{"Form4"}));
    EXPECT_TRUE(platform.Forms().Get<Form4>().Visible());
    EXPECT_FALSE(platform.Ended());
}

TEST_F(StartScreenTest, ACancelledNameIsOneBlankAndTheMenuStillOpens) {
    dialogs.QueueCancel();
    start().Show();
    RunInEventLoop(platform, [&] { ASSERT_TRUE(start().Command2.Press()); });
    EXPECT_EQ(run.data.StudentName, " ");
    EXPECT_TRUE(platform.Forms().Get<Form4>().Visible());
    EXPECT_EQ(services.keyboard.Handles().back(), kUsEnglishLayout);
}

TEST_F(StartScreenTest, TheNameAfterAVisitOfTheDescriptionLeavesTheDescriptionLoadedHidden) {
    dialogs.QueueInput("петров");
    start().Show();
    RunInEventLoop(platform, [&] {
        ASSERT_TRUE(start().Command1.Press());
        ASSERT_TRUE(platform.Forms().Get<Form2>().Command1.Press());
        ASSERT_TRUE(start().Command2.Press());
    });
    EXPECT_EQ(LoadedNames(platform), (std::vector<std::string>{"Form2", "Form4"}));
    EXPECT_FALSE(platform.Forms().Get<Form2>().Visible());
    EXPECT_EQ(run.data.StudentName, " Петров");
}

TEST_F(StartScreenTest, TheEndButtonsEndTheRunAtOnce) {
    start().Show();
    RunInEventLoop(platform, [&] { start().Command3.Press(); });
    EXPECT_TRUE(platform.Ended());
    EXPECT_TRUE(dialogs.Calls().empty());

    TestPlatform other;
    Form4& menu = other.platform.Forms().Get<Form4>();
    menu.Show();
    RunInEventLoop(other.platform, [&] { menu.Command4.Press(); });
    EXPECT_TRUE(other.platform.Ended());
}

// The background of the start screen: the box of column i reaches to x = H + 150, so each column left
// of it keeps the colour of its own box and everything beyond it the colour of the last one.
TEST_F(StartScreenTest, TheGradientIsPaintedOnceAtLoadColumnByColumn) {
    QWidget* widget = WidgetOf(start());
    const QImage picture = widget->grab().toImage();
    const int w = widget->width();
    const int h = widget->height();
    ASSERT_GT(w, 0);
    const int row = 3;  // above every control
    for (int column : {0, 1, 100, w / 2, h + 149, h + 150, h + 151, w - 1}) {
        if (column >= w) {
            continue;
        }
        const QColor pixel = picture.pixelColor(column, row);
        const int blue = column < h + 150 ? 255 - (255 * column) / w : 0;
        EXPECT_EQ(pixel.red(), 150) << "column " << column;
        EXPECT_EQ(pixel.green(), 50) << "column " << column;
        EXPECT_EQ(pixel.blue(), blue) << "column " << column;
    }
    // Persistent drawing: a later rendering shows the same picture without a paint handler.
    EXPECT_EQ(PixelOf(widget, 100, row), picture.pixelColor(100, row));
}

// The menu's background is painted on every repaint in bands two pixels high: row r is last covered
// by the band of r + 1.
TEST_F(StartScreenTest, TheMenuPaintsItsVerticalGradientOnEachRepaint) {
    Form4& menu = platform.Forms().Get<Form4>();
    EXPECT_FALSE(menu.AutoRedraw());
    EXPECT_EQ(menu.Caption(), "Form4");
    QWidget* widget = WidgetOf(menu);
    const QImage picture = widget->grab().toImage();
    const int h = widget->height();
    ASSERT_GT(h, 2);
    const int column = 5;  // left of every control
    for (int row : {0, 1, 100, h / 2, h - 2, h - 1}) {
        const int band = std::min(row + 1, h);
        const QColor pixel = picture.pixelColor(column, row);
        EXPECT_EQ(pixel.red(), 0) << "row " << row;
        EXPECT_EQ(pixel.green(), 150) << "row " << row;
        EXPECT_EQ(pixel.blue(), 255 - (255 * band) / h) << "row " << row;
    }
    EXPECT_EQ(menu.GetScaleMode(), ScaleMode::Pixels) << "the paint handler leaves the scale in pixels";
}

}  // namespace
}  // namespace heatx::ui::testing
