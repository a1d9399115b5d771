// A button with a back colour: its exact flat face, the bevel raised and sunk while pressed, the
// caption on the face in black, grey when the button is disabled.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPushButton>
#include <algorithm>

#include "window_test_support.h"

namespace heatx::ui::testing {
namespace {

class FaceWindow : public Form {
  public:
    explicit FaceWindow(Platform& platform) : Form(platform, "FaceWindow") {
        Move(0, 0, 6000, 3000);
        Command1.SetCaption("ВВОД");
        Command1.Move(300, 300, 2415, 615);
        Command1.SetBackColor(Rgb(255, 255, 0));
    }
    Button& Command1 = AddButton("Command1");
};

class ButtonFaceTest : public WindowTest {
  protected:
    void SetUp() override {
        platform.OverrideLogicalDpi(96, 96);
        form = &platform.Forms().Get<FaceWindow>();
        form->Show();
        button = static_cast<QPushButton*>(WidgetOf(form->Command1));
    }
    QImage Drawn() const { return button->grab().toImage(); }
    FaceWindow* form = nullptr;
    QPushButton* button = nullptr;
};

// The darkest pixel of the middle band of the face, where the caption is.
int DarkestInCaption(const QImage& image) {
    int darkest = 255;
    for (int y = image.height() / 3; y < 2 * image.height() / 3; ++y) {
        for (int x = image.width() / 4; x < 3 * image.width() / 4; ++x) {
            darkest = std::min(darkest, qGray(image.pixel(x, y)));
        }
    }
    return darkest;
}

TEST_F(ButtonFaceTest, FlatFaceRaisedBevelAndBlackCaption) {
    const QImage image = Drawn();
    const int w = image.width();
    const int h = image.height();
    EXPECT_EQ(image.pixelColor(w / 2, 4), QColor(255, 255, 0));
    // Lit above and left (the shadow half as bright again), the shadow below and right.
    EXPECT_EQ(image.pixelColor(w / 2, 0), QColor(190, 190, 0));
    EXPECT_EQ(image.pixelColor(1, h / 2), QColor(190, 190, 0));
    EXPECT_EQ(image.pixelColor(w / 2, h - 1), QColor(127, 127, 0));
    EXPECT_EQ(image.pixelColor(w - 2, h / 2), QColor(127, 127, 0));
    EXPECT_LT(DarkestInCaption(image), 60);
}

TEST_F(ButtonFaceTest, PressedTheBevelSinks) {
    button->setDown(true);
    const QImage image = Drawn();
    EXPECT_EQ(image.pixelColor(image.width() / 2, 0), QColor(127, 127, 0));
    EXPECT_EQ(image.pixelColor(image.width() / 2, image.height() - 1), QColor(190, 190, 0));
    EXPECT_EQ(image.pixelColor(image.width() / 2, 4), QColor(255, 255, 0));
}

TEST_F(ButtonFaceTest, DisabledTheCaptionIsGreyOnTheSameFace) {
    const int enabledDarkest = DarkestInCaption(Drawn());
    form->Command1.SetEnabled(false);
    const QImage image = Drawn();
    EXPECT_EQ(image.pixelColor(image.width() / 2, 4), QColor(255, 255, 0));
    EXPECT_GT(DarkestInCaption(image), enabledDarkest + 40);
}

}  // namespace
}  // namespace heatx::ui::testing
