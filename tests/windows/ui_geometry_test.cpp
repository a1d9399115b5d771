// Twips and pixels: windows and controls are placed in twips, converted with the screen's logical
// dpi, and read back as set.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "window_test_support.h"

namespace heatx::ui::testing {
namespace {

class Plain : public Form {
  public:
    explicit Plain(Platform& platform) : Form(platform, "Plain") {}
    Button& Command1 = AddButton("Command1");
    ListBox& List1 = AddList("List1");
};

class GeometryTest : public WindowTest {};

TEST_F(GeometryTest, ConversionUsesTheScreensLogicalDpi) {
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_DOUBLE_EQ(platform.LogicalDpiX(), screen->logicalDotsPerInchX());
    EXPECT_EQ(platform.TwipsToPixelsX(1440), static_cast<int>(screen->logicalDotsPerInchX()));

    platform.OverrideLogicalDpi(120, 144);
    EXPECT_EQ(platform.TwipsToPixelsX(1440), 120);
    EXPECT_EQ(platform.TwipsToPixelsY(1440), 144);
    EXPECT_EQ(platform.TwipsToPixelsX(4455), 371) << "rounded to the nearest pixel (371.25)";
    EXPECT_EQ(platform.TwipsToPixelsX(6), 1) << "0.5 pixels round up";
    EXPECT_DOUBLE_EQ(platform.PixelsToTwipsX(120), 1440);
    platform.OverrideScreen(0, 0);
    EXPECT_DOUBLE_EQ(platform.ScreenWidthTwips(), screen->geometry().width() * 1440.0 / 120.0);
}

TEST_F(GeometryTest, WindowAndControlsArePlacedInPixelsOfTheLogicalDpi) {
    platform.OverrideLogicalDpi(120, 120);  // 12 twips per pixel
    Plain& form = platform.Forms().Get<Plain>();
    form.Move(1200, 600, 12000, 9000);
    form.Command1.Move(2520, 1320, 3495, 495);

    EXPECT_EQ(WidgetOf(form)->pos(), QPoint(100, 50));
    EXPECT_EQ(WidgetOf(form)->size(), QSize(1000, 750)) << "Width and Height are the inner area";
    EXPECT_EQ(WidgetOf(form.Command1)->geometry(), QRect(210, 110, 291, 41));  // 291.25, 41.25
    // Read back as set, although 3495 twips are not a whole number of pixels.
    EXPECT_DOUBLE_EQ(form.Command1.Width(), 3495);
    EXPECT_DOUBLE_EQ(form.Width(), 12000);
}

TEST_F(GeometryTest, ComputedPositionsKeepTheirFractions) {
    Plain& form = platform.Forms().Get<Plain>();
    form.SetWidth(12000);
    form.Command1.SetWidth(5295);
    form.Command1.SetLeft(form.Width() / 2 - form.Command1.Width() / 2);
    EXPECT_DOUBLE_EQ(form.Command1.Left(), 3352.5);
}

TEST_F(GeometryTest, SizeChangedOutsideTheProgramIsReadFromThePixels) {
    Plain& form = platform.Forms().Get<Plain>();
    form.Move(0, 0, 4800, 3600);
    WidgetOf(form)->resize(WidgetOf(form)->width() + 10, WidgetOf(form)->height());
    EXPECT_DOUBLE_EQ(form.Width(), 4800 + platform.PixelsToTwipsX(10));
    EXPECT_DOUBLE_EQ(form.Height(), 3600);
}

TEST_F(GeometryTest, ScaleSizesFollowTheDrawingScale) {
    platform.OverrideLogicalDpi(96, 96);
    Plain& form = platform.Forms().Get<Plain>();
    form.Move(500, 500, 12000, 9000);
    EXPECT_DOUBLE_EQ(form.ScaleWidth(), 12000);
    form.SetScaleMode(ScaleMode::Pixels);
    EXPECT_DOUBLE_EQ(form.ScaleWidth(), 800);
    EXPECT_DOUBLE_EQ(form.ScaleHeight(), 600);
    form.SetCurrentY(13);
    form.SetScaleMode(ScaleMode::Twips);
    EXPECT_DOUBLE_EQ(form.CurrentY(), 195);
}

TEST_F(GeometryTest, ControlStateIsKeptWhileTheWindowIsHidden) {
    Plain& form = platform.Forms().Get<Plain>();
    EXPECT_TRUE(form.Command1.Visible()) << "controls are visible by design";
    form.Command1.Hide();
    form.Show();
    EXPECT_FALSE(WidgetOf(form.Command1)->isVisible());
    EXPECT_TRUE(WidgetOf(form.List1)->isVisible());
    form.Hide();
    EXPECT_TRUE(form.List1.Visible());
    form.List1.SetEnabled(false);
    form.Show();
    EXPECT_FALSE(form.List1.Enabled());
    EXPECT_TRUE(WidgetOf(form.List1)->property("heatxReviewOnly").toBool())
        << "a disabled list is one under review: read from the keyboard, choosing nothing";
    EXPECT_EQ(WidgetOf(form.Command1)->objectName().toStdString(), "Command1");
}

TEST_F(GeometryTest, TabStopDecidesWhetherTheControlTakesFocusFromTheKeyboard) {
    Plain& form = platform.Forms().Get<Plain>();
    form.Command1.SetTabStop(false);
    EXPECT_FALSE(WidgetOf(form.Command1)->focusPolicy() & Qt::TabFocus);
    form.Command1.SetTabStop(true);
    EXPECT_TRUE(WidgetOf(form.Command1)->focusPolicy() & Qt::TabFocus);
}

}  // namespace
}  // namespace heatx::ui::testing
