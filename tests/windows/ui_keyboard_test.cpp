// The platform layer at the keyboard and the mouse: the focus mark of a coloured button, Enter and
// Space on buttons and lists, the focus passed on from a hidden control, the readable disabled list,
// and the pointer presses that a newly shown window or box ignores.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <vector>

#include "ui/qt/desktop.h"
#include "ui/qt/qt_services.h"
#include "window_test_support.h"

namespace heatx::ui::testing {
namespace {

class KeyWindow : public Form {
  public:
    explicit KeyWindow(Platform& platform) : Form(platform, "KeyWindow") {
        Move(100, 100, 10000, 8000);
        SetFont("Courier", 9.75);
        List1.Move(500, 200, 9000, 2000);
        for (int i = 0; i < 20; ++i) {
            List1.AddItem(" line " + std::to_string(i));
        }
        List1.OnClick([this] { chosen.push_back(List1.ListIndex()); });
        Command1.Move(500, 3000, 4695, 495);
        Command1.SetCaption("ПЕРВАЯ");
        Command1.SetBackColor(Rgb(0, 255, 0));
        Command1.OnClick([this] { ++presses1; });
        Command2.Move(500, 3700, 4695, 495);
        Command2.SetCaption("ВТОРАЯ");
        Command2.SetBackColor(Rgb(0, 255, 255));
        Command2.OnClick([this] { ++presses2; });
        Command3.Move(500, 4400, 4695, 495);
        Command3.SetCaption("ТРЕТЬЯ");
        Command3.SetBackColor(Rgb(255, 255, 0));
    }
    ListBox& List1 = AddList("List1");
    Button& Command1 = AddButton("Command1");
    Button& Command2 = AddButton("Command2");
    Button& Command3 = AddButton("Command3");
    std::vector<int> chosen;
    int presses1 = 0;
    int presses2 = 0;
};

class KeyboardTest : public WindowTest {
  protected:
    void SetUp() override {
        platform.OverrideLogicalDpi(96, 96);
        form = &platform.Forms().Get<KeyWindow>();
        form->Show();
        WidgetOf(*form)->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(WidgetOf(*form)));
    }
    static void Key(Control& control, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(WidgetOf(control), key, modifiers);
    }
    KeyWindow* form = nullptr;
};

TEST_F(KeyboardTest, TheFocusMarkIsDottedAndLeavesTheExactColourEverywhereElse) {
    form->Command2.SetFocus();
    const QImage plain = WidgetOf(form->Command1)->grab().toImage();
    form->Command1.SetFocus();
    ASSERT_TRUE(WidgetOf(form->Command1)->hasFocus());
    const QImage marked = WidgetOf(form->Command1)->grab().toImage();
    ASSERT_EQ(plain.size(), marked.size());

    int changed = 0;
    int black = 0;
    for (int y = 0; y < plain.height(); ++y) {
        for (int x = 0; x < plain.width(); ++x) {
            if (plain.pixel(x, y) == marked.pixel(x, y)) {
                continue;
            }
            ++changed;
            // Every changed pixel lies on the mark: the rectangle 3 px inside the border.
            const bool onMark = ((x == 3 || x == plain.width() - 4) && y >= 3 && y <= plain.height() - 4) ||
                                ((y == 3 || y == plain.height() - 4) && x >= 3 && x <= plain.width() - 4);
            EXPECT_TRUE(onMark) << "pixel " << x << "," << y << " changed off the mark";
            black += marked.pixelColor(x, y) == QColor(0, 0, 0) ? 1 : 0;
        }
    }
    EXPECT_GT(changed, 100) << "the mark is visible";
    EXPECT_EQ(black, changed) << "black dots on a light face";
    // The face keeps its exact colour next to the mark, inside and out.
    EXPECT_EQ(marked.pixelColor(2, plain.height() / 2), QColor(0, 255, 0));
    EXPECT_EQ(marked.pixelColor(5, plain.height() / 2), QColor(0, 255, 0));
}

TEST_F(KeyboardTest, EnterKeypadEnterAndSpacePressTheFocusedButton) {
    form->Command1.SetFocus();
    Key(form->Command1, Qt::Key_Return);
    Key(form->Command1, Qt::Key_Enter, Qt::KeypadModifier);
    Key(form->Command1, Qt::Key_Space);
    EXPECT_EQ(form->presses1, 3);
    EXPECT_EQ(form->presses2, 0);
    Key(form->Command1, Qt::Key_Tab);
    EXPECT_TRUE(form->Command2.HasFocus());
    Key(form->Command2, Qt::Key_Return);
    EXPECT_EQ(form->presses2, 1);
}

TEST_F(KeyboardTest, ListKeysMoveTheHighlightAndEnterOrSpaceDoWhatAClickDoes) {
    form->List1.SetFocus();
    ListBox& list = form->List1;
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_End, Qt::Key_Home, Qt::Key_PageDown,
                        Qt::Key_PageUp, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up}) {
        Key(list, key);
    }
    EXPECT_TRUE(form->chosen.empty()) << "moving the highlight runs nothing";
    EXPECT_EQ(list.ListIndex(), 1);
    Key(list, Qt::Key_End);
    EXPECT_EQ(list.ListIndex(), 19);
    Key(list, Qt::Key_Return);
    Key(list, Qt::Key_Home);
    Key(list, Qt::Key_Space);
    Key(list, Qt::Key_Down);
    Key(list, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(form->chosen, (std::vector<int>{19, 0, 1}));
}

TEST_F(KeyboardTest, AfterTheProgramClearsTheSelectionTheKeyboardGoesOnFromTheChosenLine) {
    ListBox& list = form->List1;
    list.OnClick([&] {
        form->chosen.push_back(list.ListIndex());
        const int i = list.ListIndex();
        list.RemoveItem(i);
        list.AddItem(" corrected", i);
        list.SetListIndex(-1);
    });
    list.SetFocus();  // the keyboard's place is line 0
    for (int i = 0; i < 7; ++i) {
        Key(list, Qt::Key_Down);
    }
    Key(list, Qt::Key_Return);
    ASSERT_EQ(form->chosen, (std::vector<int>{7}));
    EXPECT_EQ(list.ListIndex(), -1) << "no line stays selected";
    Key(list, Qt::Key_Down);
    EXPECT_EQ(list.ListIndex(), 8);
}

TEST_F(KeyboardTest, AHiddenOrDisabledFocusControlPassesTheFocusToTheFirstUsableOne) {
    form->Command3.SetFocus();
    form->Command3.Hide();
    EXPECT_TRUE(form->List1.HasFocus()) << "the first visible, enabled control in the tab order";

    form->List1.SetEnabled(false);
    EXPECT_TRUE(form->Command1.HasFocus());

    // While another window is active (a box is open), the window's focus control is passed on too.
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    form->Command1.Hide();
    EXPECT_TRUE(form->Command2.HasFocus());

    // With nothing usable left the focus rests on the window, not on a hidden control.
    form->Command2.Hide();
    form->Command3.Hide();
    EXPECT_FALSE(form->Command2.HasFocus() || form->Command3.HasFocus());
}

TEST_F(KeyboardTest, AfterAHandlerAWindowWithoutAFocusControlGivesItToItsFirstControl) {
    form->Command1.Hide();
    form->Command2.Hide();
    form->Command3.Hide();
    form->List1.Hide();
    RunInEventLoop(platform, [&] { form->Command2.Show(); });
    EXPECT_TRUE(form->Command2.HasFocus());
}

TEST_F(KeyboardTest, ADisabledListIsReadableAndTakesNoInput) {
    ListBox& list = form->List1;
    list.SetEnabled(false);
    const QImage image = WidgetOf(list)->grab().toImage();
    const QPalette palette = QApplication::palette(WidgetOf(list));
    const QColor text = palette.color(QPalette::Active, QPalette::Text);
    const QColor base = palette.color(QPalette::Active, QPalette::Base);
    // The darkest pixel of the first line is the text colour, the middle of the list is the base.
    const int row = platform.TwipsToPixelsY(ListBox::kRowTwips);
    QColor darkest = base;
    for (int y = 2; y < row; ++y) {
        for (int x = 2; x < 120; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qGray(c.rgb()) < qGray(darkest.rgb())) {
                darkest = c;
            }
        }
    }
    EXPECT_EQ(darkest, text);
    EXPECT_EQ(image.pixelColor(image.width() - 40, row / 2), base);
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) {
            v /= 255.0;
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
    };
    const double high = std::max(luminance(text), luminance(base));
    const double low = std::min(luminance(text), luminance(base));
    EXPECT_GE((high + 0.05) / (low + 0.05), 7.0);

    auto* widget = static_cast<QListWidget*>(WidgetOf(list));
    QTest::mouseClick(widget->viewport(), Qt::LeftButton, Qt::NoModifier,
                      widget->visualItemRect(widget->item(2)).center());
    QTest::keyClick(widget, Qt::Key_Return);
    EXPECT_TRUE(form->chosen.empty());
}

class PressGuardTest : public KeyboardTest {
  protected:
    void SetUp() override {
        SetNewWindowPressGuard(true);
        KeyboardTest::SetUp();
    }
    void TearDown() override { SetNewWindowPressGuard(false); }
};

TEST_F(PressGuardTest, ANewWindowIgnoresPressesForTheDoubleClickInterval) {
    // Shown again: a window that has just appeared.
    form->Hide();
    form->Show();
    QTest::mouseClick(WidgetOf(form->Command1), Qt::LeftButton);
    EXPECT_EQ(form->presses1, 0) << "the second click of a double click";
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QTest::mouseClick(WidgetOf(form->Command1), Qt::LeftButton);
    EXPECT_EQ(form->presses1, 1);
}

TEST_F(PressGuardTest, AMessageBoxIgnoresAClickRightAfterItOpens) {
    QtDialogs real;
    bool earlyClickSeen = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        QPushButton* no = nullptr;
        QPushButton* yes = nullptr;
        for (QAbstractButton* button : box->buttons()) {
            (button->text() == "Нет" ? no : yes) = static_cast<QPushButton*>(button);
        }
        if (!earlyClickSeen) {
            // At once: would answer the box with the second click of a double click.
            earlyClickSeen = true;
            QTest::mouseClick(no, Qt::LeftButton);
            return;
        }
        poll.stop();
        QTimer::singleShot(QApplication::doubleClickInterval() + 50,
                           [yes] { QTest::mouseClick(yes, Qt::LeftButton); });
    });
    poll.start();
    EXPECT_EQ(real.YesNoBox("Вопрос", "ОШИБКА !"), kYes);
    EXPECT_TRUE(earlyClickSeen);
}

}  // namespace
}  // namespace heatx::ui::testing
