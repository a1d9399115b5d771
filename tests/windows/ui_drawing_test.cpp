// What a window looks like: exact button and label colours, the box gradients of the start screen
// and the menu, text printed on the window and its clearing.
#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QRegion>
#include <QWidget>
#include <algorithm>

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

// Boxes of every kind at once: corners given either way round, one pixel wide, reaching past every
// edge of the window or lying wholly outside it, outlined or not.
class ManyBoxes : public Form {
  public:
    struct Drawn {
        int x1, y1, x2, y2;
        bool outlined;
    };
    static constexpr Drawn kBoxes[] = {
        {10, 10, 60, 40, false},   {90, 70, 30, 20, false},    {5, 0, 5, 299, false},
        {-20, 100, 40, 120, true}, {380, -5, 420, 50, false},  {200, 250, 260, 330, true},
        {450, 10, 500, 20, false}, {120, 150, 121, 151, true}, {0, 0, 399, 0, false}};
    explicit ManyBoxes(Platform& platform) : Form(platform, "ManyBoxes") { SetAutoRedraw(true); }
    void Form_Load() override {
        Move(0, 0, 6000, 4500);  // 400 x 300 pixels
        SetBackColor(Rgb(10, 20, 30));
        SetScaleMode(ScaleMode::Pixels);
        SetForeColor(Rgb(250, 0, 250));
        SetFillStyle(FillStyle::Solid);
        int i = 0;
        for (const Drawn& box : kBoxes) {
            SetDrawStyle(box.outlined ? DrawStyle::Solid : DrawStyle::Invisible);
            SetFillColor(Rgb(25 * i, 255 - 20 * i, 7 * i));
            Box(box.x1, box.y1, box.x2, box.y2);
            ++i;
        }
    }
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
    QWidget* button = WidgetOf(form.Command1);
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
    auto* label = static_cast<QLabel*>(WidgetOf(form.Label1));
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
    const QImage image = WidgetOf(form)->grab().toImage();
    ASSERT_EQ(image.size(), QSize(800, 600));
    // H = 600, so boxes run from column i to column 750.
    EXPECT_EQ(At(image, 0, 300), QColor(150, 50, 255));
    EXPECT_EQ(At(image, 400, 10), QColor(150, 50, 128));
    EXPECT_EQ(At(image, 749, 599), QColor(150, 50, 255 - (255 * 749) / 800));
    EXPECT_EQ(At(image, 760, 300), QColor(150, 50, 0)) << "beyond H + 150 the last box's colour";
    EXPECT_EQ(At(image, 799, 0), QColor(150, 50, 0));
    EXPECT_EQ(form.paints, 0) << "with AutoRedraw on, the picture is kept and Form_Paint is not needed";
}

TEST_F(DrawingTest, BoxesGiveExactlyThePixelsOfAPainterFillingTheSameRectangles) {
    ManyBoxes& form = platform.Forms().Get<ManyBoxes>();
    form.Show();
    const QImage drawn = WidgetOf(form)->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(drawn.size(), QSize(400, 300));

    QImage expected(400, 300, QImage::Format_RGB32);
    expected.fill(QColor(10, 20, 30));
    QPainter painter(&expected);
    int i = 0;
    for (const ManyBoxes::Drawn& box : ManyBoxes::kBoxes) {
        const QRect rect(QPoint(std::min(box.x1, box.x2), std::min(box.y1, box.y2)),
                         QPoint(std::max(box.x1, box.x2), std::max(box.y1, box.y2)));
        painter.fillRect(rect, QColor(25 * i, 255 - 20 * i, 7 * i));
        if (box.outlined) {
            painter.setPen(QPen(QColor(250, 0, 250), 0));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(rect.adjusted(0, 0, -1, -1));
        }
        ++i;
    }
    painter.end();
    for (int y = 0; y < 300; ++y) {
        for (int x = 0; x < 400; ++x) {
            ASSERT_EQ(drawn.pixel(x, y), expected.pixel(x, y)) << "at " << x << ", " << y;
        }
    }
}

// A window is repainted through the region the system asks for, several rectangles (the window
// less its opaque controls, or what another window uncovered): each part shows the picture's
// pixels, and nothing outside the region is touched.
TEST_F(DrawingTest, ARepaintOfSeveralRectanglesShowsThePictureInEachAndNothingElse) {
    GradientAtLoad& form = platform.Forms().Get<GradientAtLoad>();
    form.Show();
    const QImage whole = WidgetOf(form)->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QRegion region;
    for (int y = 0; y < 600; y += 70) {
        for (int x = (y / 70 % 2) * 45; x < 800; x += 90) {
            region += QRect(x, y, 45 + y % 7, 35);
        }
    }
    ASSERT_GT(region.rectCount(), 40);
    const QRgb marker = qRgb(1, 2, 3);
    QImage parts(800, 600, QImage::Format_RGB32);
    parts.fill(marker);
    WidgetOf(form)->render(&parts, QPoint(), region, QWidget::DrawChildren);
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            const QRgb want = region.contains(QPoint(x, y)) ? whole.pixel(x, y) : marker;
            ASSERT_EQ(parts.pixel(x, y), want) << "at " << x << ", " << y;
        }
    }
}

TEST_F(DrawingTest, WithoutAutoRedrawFormPaintPaintsEveryTime) {
    GradientOnPaint& form = platform.Forms().Get<GradientOnPaint>();
    form.Show();
    const QImage first = WidgetOf(form)->grab().toImage();
    const int paintsAfterFirst = form.paints;
    const QImage second = WidgetOf(form)->grab().toImage();
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
    EXPECT_EQ(PixelsOtherThan(WidgetOf(form)->grab().toImage(), rows, yellow), 0);

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
    const QImage printed = WidgetOf(form)->grab().toImage();
    EXPECT_GT(PixelsOtherThan(printed, QRect(QPoint(35, 80), QPoint(400, 92)), yellow), 20) << "first row";
    EXPECT_GT(PixelsOtherThan(printed, QRect(QPoint(35, 94), QPoint(400, 105)), yellow), 20) << "second row";
    EXPECT_EQ(PixelsOtherThan(printed, QRect(QPoint(0, 0), QPoint(34, 200)), yellow), 0)
        << "nothing left of x";

    form.Cls();
    EXPECT_TRUE(form.PrintedTexts().empty());
    EXPECT_EQ(PixelsOtherThan(WidgetOf(form)->grab().toImage(), rows, yellow), 0) << "the background stays";
}

TEST_F(DrawingTest, ClsKeepsTheBoxBackground) {
    GradientAtLoad& form = platform.Forms().Get<GradientAtLoad>();
    form.Show();
    form.SetCurrentX(0);
    form.SetCurrentY(0);
    form.SetForeColor(Rgb(255, 255, 255));
    form.Print("ABCDEFGH");
    form.Cls();
    EXPECT_EQ(At(WidgetOf(form)->grab().toImage(), 3, 6), QColor(150, 50, 255));
}

}  // namespace
}  // namespace heatx::ui::testing
