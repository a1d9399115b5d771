// What a window looks like: exact button and label colours, the box gradients of the start screen
// and the menu, text printed on the window and its clearing.
#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QWidget>

#include "window_test_support.h"

namespace heatx::ui::testing {
namespace {

// The start screen's background: boxes drawn once at load, kept by the persistent picture.
class GradientAtLoad : public Form {
  public:
    explicit GradientAtLoad(Platform& platform) : Form(platform, "GradientAtLoad") { SetAutoRedraw(true); }
    void Form_Load() override {
        Move(500, 500, 12000, 9000);
        SetScaleMode(ScaleMode::Pixels);
        const int h = static_cast<int>(ScaleHeight());
        const int w = static_cast<int>(ScaleWidth());
        SetDrawStyle(DrawStyle::Invisible);
        SetFillStyle(FillStyle::Solid);
        for (int i = 0; i <= w; ++i) {
            SetFillColor(Rgb(150, 50, 255 - (255 * i) / w));
            Box(i, 0, h + 150, w);
        }
        SetScaleMode(ScaleMode::Twips);
    }
    void Form_Paint() override { ++paints; }
    int paints = 0;
};

// The menu's background: painted on every repaint.
class GradientOnPaint : public Form {
  public:
    explicit GradientOnPaint(Platform& platform) : Form(platform, "GradientOnPaint") {
        Move(0, 0, 8985, 5325);
        Command1.Move(2520, 1320, 3495, 495);
    }
    void Form_Load() override { SetAutoRedraw(false); }
    void Form_Paint() override {
        ++paints;
        SetScaleMode(ScaleMode::Pixels);
        const int h = static_cast<int>(ScaleHeight());
        const int w = static_cast<int>(ScaleWidth());
        SetDrawStyle(DrawStyle::Invisible);
        SetFillStyle(FillStyle::Solid);
        for (int i = 0; i <= h; ++i) {
            SetFillColor(Rgb(0, 150, 255 - (255 * i) / h));
            Box(-1, i - 1, w, i + 1);
        }
    }
    int paints = 0;
    Button& Command1 = AddButton("Command1");
};

class TextWindow : public Form {
  public:
    explicit TextWindow(Platform& platform) : Form(platform, "TextWindow") {
        Move(0, 0, 9000, 4000);
        SetBackColor(Rgb(255, 255, 0));
        SetFont("Courier", 9.75);
        Label1.Move(240, 120, 4455, 735);
        Label1.SetFont("MS Sans Serif", 12, true, true);
        Label1.SetBackColor(Rgb(192, 64, 0));
        Label1.SetForeColor(Rgb(128, 255, 128));
        Command1.Move(2520, 3000, 2415, 615);
        Command1.SetBackColor(Rgb(0, 255, 0));
        Command1.SetCaption("ВВОД ИСХОДНОЙ ИНФОРМАЦИИ");
    }
    Label& Label1 = AddLabel("Label1");
    Button& Command1 = AddButton("Command1");
};

QColor At(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

// Number of pixels in a rectangle that differ from the colour.
int PixelsOtherThan(const QImage& image, const QRect& area, const QColor& color) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            n += image.pixelColor(x, y) != color ? 1 : 0;
        }
    }
    return n;
}

class DrawingTest : public WindowTest {
  protected:
    void SetUp() override { platform.OverrideLogicalDpi(96, 96); }
};

TEST_F(DrawingTest, ButtonShowsItsExactBackColour) {
    TextWindow& form = platform.Forms().Get<TextWindow>();
    form.Show();
    QWidget* button = form.Command1.Widget();
    const QImage image = button->grab().toImage();
    // Above the caption, inside the border.
    EXPECT_EQ(At(image, button->width() / 2, 3), QColor(0, 255, 0));
    EXPECT_EQ(form.Command1.BackColor(), 65280u);
    EXPECT_EQ(button->accessibleName().toStdString(), "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ");
}

TEST_F(DrawingTest, LabelShowsItsColoursAndBreaksLinesAtCarriageReturns) {
    TextWindow& form = platform.Forms().Get<TextWindow>();
    form.Label1.SetCaption("                 Программа расчета\r      кожухотрубных теплообменников");
    form.Show();
    auto* label = static_cast<QLabel*>(form.Label1.Widget());
    EXPECT_EQ(label->text().count('\n'), 1);
    EXPECT_EQ(label->text().split('\n').at(1).toStdString(), "      кожухотрубных теплообменников");
    const QImage image = label->grab().toImage();
    EXPECT_EQ(At(image, 2, label->height() - 2), QColor(192, 64, 0));
    EXPECT_GT(PixelsOtherThan(image, image.rect(), QColor(192, 64, 0)), 0) << "the text is drawn";
    EXPECT_EQ(form.Label1.Caption(),
              "                 Программа расчета\r      кожухотрубных теплообменников");
}

TEST_F(DrawingTest, BoxesDrawnAtLoadMakeTheStartScreenGradient) {
    GradientAtLoad& form = platform.Forms().Get<GradientAtLoad>();
    form.Show();
    const QImage image = form.Widget()->grab().toImage();
    ASSERT_EQ(image.size(), QSize(800, 600));
    // H = 600, so boxes run from column i to column 750.
    EXPECT_EQ(At(image, 0, 300), QColor(150, 50, 255));
    EXPECT_EQ(At(image, 400, 10), QColor(150, 50, 128));
    EXPECT_EQ(At(image, 749, 599), QColor(150, 50, 255 - (255 * 749) / 800));
    EXPECT_EQ(At(image, 760, 300), QColor(150, 50, 0)) << "beyond H + 150 the last box's colour";
    EXPECT_EQ(At(image, 799, 0), QColor(150, 50, 0));
    EXPECT_EQ(form.paints, 0) << "with AutoRedraw on, the picture is kept and Form_Paint is not needed";
}

TEST_F(DrawingTest, WithoutAutoRedrawFormPaintPaintsEveryTime) {
    GradientOnPaint& form = platform.Forms().Get<GradientOnPaint>();
    form.Show();
    const QImage first = form.Widget()->grab().toImage();
    const int paintsAfterFirst = form.paints;
    const QImage second = form.Widget()->grab().toImage();
    EXPECT_GT(paintsAfterFirst, 0);
    EXPECT_GT(form.paints, paintsAfterFirst);
    // 5325 twips = 355 pixels: top RGB(0,150,255), bottom row towards RGB(0,150,0).
    EXPECT_EQ(At(second, 5, 0), QColor(0, 150, 255 - (255 * 1) / 355));
    EXPECT_EQ(At(second, 598, 200), QColor(0, 150, 255 - (255 * 201) / 355));
    EXPECT_EQ(At(second, 0, 354), QColor(0, 150, 0));
    EXPECT_EQ(form.GetScaleMode(), ScaleMode::Pixels) << "the scale stays in pixels after painting";
    // The button is drawn over the background.
    EXPECT_NE(At(second, 200, 100), At(second, 5, 100));
}

TEST_F(DrawingTest, PrintWritesRowsAtTheCurrentPositionAndClsRemovesThem) {
    TextWindow& form = platform.Forms().Get<TextWindow>();
    form.Label1.Hide();
    form.Command1.Hide();
    form.Show();
    const QColor yellow(255, 255, 0);
    const QRect rows(QPoint(35, 80), QPoint(400, 110));  // around x = 530, y = 1210 .. 1600 twips
    EXPECT_EQ(PixelsOtherThan(form.Widget()->grab().toImage(), rows, yellow), 0);

    form.SetCurrentX(530);
    form.SetCurrentY(1210);
    form.Print(" ТЕПЛОВАЯ НАГРУЗКА, ВТ      1000");
    EXPECT_DOUBLE_EQ(form.CurrentY(), 1210 + 195);
    EXPECT_DOUBLE_EQ(form.CurrentX(), 0);
    form.SetCurrentX(530);
    form.Print(" ДАВЛЕНИЕ, ПА               2");

    ASSERT_EQ(form.PrintedTexts().size(), 2u);
    EXPECT_DOUBLE_EQ(form.PrintedTexts()[1].yTwips, 1405);
    EXPECT_EQ(form.PrintedTexts()[1].text, " ДАВЛЕНИЕ, ПА               2");
    const QImage printed = form.Widget()->grab().toImage();
    EXPECT_GT(PixelsOtherThan(printed, QRect(QPoint(35, 80), QPoint(400, 92)), yellow), 20) << "first row";
    EXPECT_GT(PixelsOtherThan(printed, QRect(QPoint(35, 94), QPoint(400, 105)), yellow), 20) << "second row";
    EXPECT_EQ(PixelsOtherThan(printed, QRect(QPoint(0, 0), QPoint(34, 200)), yellow), 0)
        << "nothing left of x";

    form.Cls();
    EXPECT_TRUE(form.PrintedTexts().empty());
    EXPECT_EQ(PixelsOtherThan(form.Widget()->grab().toImage(), rows, yellow), 0) << "the background stays";
}

TEST_F(DrawingTest, ClsKeepsTheBoxBackground) {
    GradientAtLoad& form = platform.Forms().Get<GradientAtLoad>();
    form.Show();
    form.SetCurrentX(0);
    form.SetCurrentY(0);
    form.SetForeColor(Rgb(255, 255, 255));
    form.Print("ABCDEFGH");
    form.Cls();
    EXPECT_EQ(At(form.Widget()->grab().toImage(), 3, 6), QColor(150, 50, 255));
}

}  // namespace
}  // namespace heatx::ui::testing
