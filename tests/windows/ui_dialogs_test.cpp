// The modal boxes: the real Qt ones (placed in twips, Russian buttons, Yes/No codes) and the
// scripted ones the window tests answer with.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>

#include "ui/qt/qt_services.h"
#include "window_test_support.h"

namespace heatx::ui::testing {
namespace {

// Waits for the modal box that the code under test opens, then acts on it.
class ModalDriver {
  public:
    explicit ModalDriver(std::function<void(QWidget*)> act) : act_(std::move(act)) {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                poll_.stop();
                act_(modal);
            }
        });
        poll_.start(10);
    }

  private:
    std::function<void(QWidget*)> act_;
    QTimer poll_;
};

QPushButton* ButtonWithText(QWidget* box, const QString& text) {
    for (QPushButton* button : box->findChildren<QPushButton*>()) {
        if (button->text() == text) {
            return button;
        }
    }
    return nullptr;
}

class QtDialogsTest : public ::testing::Test {
  protected:
    QtDialogs dialogs;
};

TEST_F(QtDialogsTest, InputBoxIsPlacedInTwipsAndReturnsTheTypedText) {
    QPoint position;
    QString title;
    QString prompt;
    QString cancelText;
    QString qtOwnText;
    ModalDriver driver([&](QWidget* box) {
        position = box->pos();
        title = box->windowTitle();
        prompt = box->findChild<QLabel*>()->text();
        cancelText = ButtonWithText(box, "Отмена") != nullptr ? "Отмена" : "";
        // Qt's own texts of the box (its text field's menu) are Russian by the time it is shown.
        qtOwnText = QCoreApplication::translate("QLineEdit", "&Undo");
        box->findChild<QLineEdit*>()->setText("фамилия гр. а-1");
        QTest::mouseClick(ButtonWithText(box, "OK"), Qt::LeftButton);
    });

    const std::string answer =
        dialogs.InputBox("  ВВЕДИТЕ ФАМИЛИЮ И НОМЕР ГРУППЫ ", "ВВОД ФАМИЛИИ", "", 500, 300);

    EXPECT_EQ(answer, "фамилия гр. а-1");
    const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchX();
    EXPECT_EQ(position, QPoint(qRound(500 * dpi / 1440), qRound(300 * dpi / 1440)));
    EXPECT_EQ(title.toStdString(), "ВВОД ФАМИЛИИ");
    EXPECT_EQ(prompt.toStdString(), "  ВВЕДИТЕ ФАМИЛИЮ И НОМЕР ГРУППЫ ");
    EXPECT_EQ(cancelText.toStdString(), "Отмена");
    EXPECT_NE(qtOwnText.toStdString(), "&Undo");
}

TEST_F(QtDialogsTest, CancelledInputBoxGivesAnEmptyTextWhateverWasTyped) {
    ModalDriver driver([](QWidget* box) {
        box->findChild<QLineEdit*>()->setText("12");
        QTest::mouseClick(ButtonWithText(box, "Отмена"), Qt::LeftButton);
    });
    EXPECT_EQ(dialogs.InputBox("prompt", "title", "default", 4000, 1680), "");
}

TEST_F(QtDialogsTest, InputBoxOffersTheDefaultText) {
    ModalDriver driver([](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); });
    EXPECT_EQ(dialogs.InputBox("prompt", "title", "4", 0, 0), "4");
}

TEST_F(QtDialogsTest, YesNoBoxHasRussianButtonsNoIconAndReturnsTheCodes) {
    bool hasIcon = true;
    int buttons = 0;
    QString text;
    ModalDriver no([&](QWidget* box) {
        auto* messageBox = static_cast<QMessageBox*>(box);
        hasIcon = messageBox->icon() != QMessageBox::NoIcon;
        buttons = static_cast<int>(messageBox->buttons().size());
        text = messageBox->text();
        QTest::mouseClick(ButtonWithText(box, "Нет"), Qt::LeftButton);
    });
    EXPECT_EQ(dialogs.YesNoBox("ОШИБКА В ИСХОДНОЙ ИНФОРМАЦИИ    Продолжаете работу ?", "ОШИБКА !"), kNo);
    EXPECT_FALSE(hasIcon);
    EXPECT_EQ(buttons, 2);
    EXPECT_EQ(text.toStdString(), "ОШИБКА В ИСХОДНОЙ ИНФОРМАЦИИ    Продолжаете работу ?");

    ModalDriver yes([](QWidget* box) { QTest::mouseClick(ButtonWithText(box, "Да"), Qt::LeftButton); });
    EXPECT_EQ(dialogs.YesNoBox("text", "ОШИБКА !"), kYes);
}

TEST_F(QtDialogsTest, EscapeOnAYesNoBoxCountsAsYes) {
    ModalDriver escape([](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); });
    EXPECT_EQ(dialogs.YesNoBox("text", "ОШИБКА !"), kYes);
}

TEST(ScriptedDialogsTest, AnswersInOrderAndLogsEveryBox) {
    ScriptedDialogs dialogs;
    dialogs.QueueInput("1000");
    dialogs.QueueCancel();
    dialogs.QueueYesNo(kNo);
    EXPECT_EQ(dialogs.InputBox(" ТЕПЛОВАЯ НАГРУЗКА, ВТ", "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ", "", 4000, 1680), "1000");
    EXPECT_EQ(dialogs.InputBox(" ДАВЛЕНИЕ", "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ", "", 4000, 1875), "");
    dialogs.Notice("printer", "ПЕЧАТЬ");
    EXPECT_EQ(dialogs.YesNoBox("text", "ОШИБКА !"), kNo);

    ASSERT_EQ(dialogs.Calls().size(), 4u);
    EXPECT_EQ(dialogs.Calls()[1].yTwips, 1875);
    EXPECT_EQ(dialogs.Calls()[1].prompt, " ДАВЛЕНИЕ");
    EXPECT_EQ(dialogs.CallsOf(DialogKind::Notice).size(), 1u);
    EXPECT_EQ(dialogs.Unexpected(), 0);
    EXPECT_EQ(dialogs.Pending(), 0u);
}

TEST(ScriptedDialogsTest, AMissingOrWrongAnswerDoesNotBlockButIsCounted) {
    ScriptedDialogs dialogs;
    dialogs.QueueYesNo(kNo);
    EXPECT_EQ(dialogs.InputBox("prompt", "title", "", 0, 0), "")
        << "a Yes/No answer does not fit an input box";
    EXPECT_EQ(dialogs.Pending(), 1u);
    EXPECT_EQ(dialogs.YesNoBox("text", "title"), kNo);
    EXPECT_EQ(dialogs.YesNoBox("again", "title"), kYes) << "nothing queued: Yes, so no run ends by accident";
    EXPECT_EQ(dialogs.Unexpected(), 2);
    EXPECT_NE(dialogs.UnexpectedReport().find("again"), std::string::npos);
}

TEST(ScriptedDialogsTest, ResponderAndOpenHookSeeTheBox) {
    ScriptedDialogs dialogs;
    int opened = 0;
    dialogs.OnOpen([&](const DialogCall& call) {
        ++opened;
        EXPECT_EQ(call.title, "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ");
    });
    dialogs.SetResponder([](const DialogCall& call) -> std::optional<ScriptedAnswer> {
        return ScriptedAnswer::Input("y=" + std::to_string(call.yTwips));
    });
    EXPECT_EQ(dialogs.InputBox("p", "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ", "", 4000, 2070), "y=2070");
    EXPECT_EQ(opened, 1);
}

TEST(ScriptedServicesTest, BeepsAndLayoutsAreRecordedThroughThePlatform) {
    TestPlatform t;
    t.platform.Beep();
    t.platform.ActivateKeyboardLayout(kRussianLayout);
    t.platform.ActivateKeyboardLayout(kUsEnglishLayout);
    EXPECT_EQ(t.sound.Beeps(), 1);
    EXPECT_EQ(t.keyboard.Handles(), (std::vector<std::uint32_t>{0x04190419u, 0x04090409u}));
}

}  // namespace
}  // namespace heatx::ui::testing
