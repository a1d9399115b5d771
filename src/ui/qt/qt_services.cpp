#include "ui/qt/qt_services.h"

#include <QApplication>
#include <QFont>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTranslator>
#include <cmath>
#include <cstdint>

#include "ui/qt/app_icon.h"
#include "ui/qt/desktop.h"
#include "ui/qt/qt_convert.h"
#include "ui/qt/startup_probe.h"
#include "ui/qt/widget_census.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace heatx::ui {

namespace {

QPoint ScreenPointFromTwips(int xTwips, int yTwips) {
    QScreen* screen = QGuiApplication::primaryScreen();
    const QPoint origin = screen != nullptr ? screen->geometry().topLeft() : QPoint(0, 0);
    const double dpiX = screen != nullptr ? screen->logicalDotsPerInchX() : 96.0;
    const double dpiY = screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
    const int x = static_cast<int>(std::lround(xTwips * dpiX / 1440.0));
    const int y = static_cast<int>(std::lround(yTwips * dpiY / 1440.0));
    return origin + QPoint(x, y);
}

// The text field of an input box takes at most kInputBoxMaxLength characters.
void LimitInputLength(QInputDialog& dialog) {
    if (auto* field = dialog.findChild<QLineEdit*>()) {
        field->setMaxLength(kInputBoxMaxLength);
    }
}

}  // namespace

std::string QtDialogs::InputBox(const std::string& prompt, const std::string& title,
                                const std::string& defaultText, int xTwips, int yTwips) {
    return InputBoxOrCancel(prompt, title, defaultText, xTwips, yTwips).value_or(std::string());
}

std::optional<std::string> QtDialogs::InputBoxOrCancel(const std::string& prompt, const std::string& title,
                                                       const std::string& defaultText, int xTwips,
                                                       int yTwips) {
    EnsureRussianTranslation();
    // Each box is a new object, released only after the next events: accessibility tools then never
    // see a new box in the place of the one just closed.
    auto* dialog = new QInputDialog;
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    dialog->setObjectName(QStringLiteral("InputBox"));
    dialog->setInputMode(QInputDialog::TextInput);
    dialog->setWindowTitle(ToQt(title));
    dialog->setLabelText(ToQt(prompt));
    LimitInputLength(*dialog);
    dialog->setTextValue(ToQt(defaultText));
    dialog->setOkButtonText(QStringLiteral("OK"));
    dialog->setCancelButtonText(QStringLiteral("Отмена"));
    dialog->setWindowModality(Qt::ApplicationModal);
    // Moved before it is shown, the dialog keeps this place instead of being centred.
    dialog->move(ScreenPointFromTwips(xTwips, yTwips));
    std::optional<std::string> answer;
    {
        const BoxFocus focus(dialog);
        if (dialog->exec() == QDialog::Accepted) {
            answer = FromQt(dialog->textValue());
        }
        dialog->hide();
    }
    dialog->deleteLater();
    return answer;
}

int QtDialogs::YesNoBox(const std::string& text, const std::string& title) {
    EnsureRussianTranslation();
    auto* box = new QMessageBox;
    box->setObjectName(QStringLiteral("YesNoBox"));
    box->setIcon(QMessageBox::NoIcon);
    box->setWindowTitle(ToQt(title));
    box->setTextFormat(Qt::PlainText);
    box->setText(ToQt(text));
    QPushButton* yes = box->addButton(QStringLiteral("Да"), QMessageBox::YesRole);
    QPushButton* no = box->addButton(QStringLiteral("Нет"), QMessageBox::NoRole);
    box->setDefaultButton(yes);
    // Escape and the close button answer "Да": the caller asks again; only "Нет" ends the run.
    box->setEscapeButton(yes);
    box->setWindowModality(Qt::ApplicationModal);
    int answer = kYes;
    {
        const BoxFocus focus(box);
        box->exec();
        answer = box->clickedButton() == no ? kNo : kYes;
        box->hide();
    }
    box->deleteLater();
    return answer;
}

void QtDialogs::Notice(const std::string& text, const std::string& title) {
    EnsureRussianTranslation();
    QMessageBox box;
    box.setObjectName(QStringLiteral("Notice"));
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(ToQt(title));
    box.setTextFormat(Qt::PlainText);
    box.setText(ToQt(text));
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.setWindowModality(Qt::ApplicationModal);
    const BoxFocus focus(&box);
    box.exec();
    box.hide();
}

void QtSound::Beep() {
    QApplication::beep();
}

void QtKeyboardLayout::Activate(std::uint32_t layoutHandle) {
#ifdef _WIN32
    ::ActivateKeyboardLayout(reinterpret_cast<HKL>(static_cast<std::uintptr_t>(layoutHandle)), 0);
#else
    (void)layoutHandle;
#endif
}

void InstallFontSubstitutions() {
    const QString sans = QStringLiteral("Liberation Sans");
    const QString mono = QStringLiteral("Liberation Mono");
    const QString serif = QStringLiteral("Liberation Serif");
    // The old screen font "MS Sans Serif" is narrow: its button captions fit only a narrow face.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans Narrow"));
    QFont::insertSubstitution(QStringLiteral("Microsoft Sans Serif"), sans);
    QFont::insertSubstitution(QStringLiteral("Courier"), mono);
    QFont::insertSubstitution(QStringLiteral("Courier New"), mono);
    QFont::insertSubstitution(QStringLiteral("Courier New Cyr"), mono);
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), serif);
    QFont::insertSubstitution(QStringLiteral("Monotype Corsiva"), serif);
}

bool InstallRussianTranslation(QApplication& app) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QApplication::installTranslator(translator);
    return true;
}

void EnsureRussianTranslation() {
    static bool installed = false;
    if (!installed && qApp != nullptr) {
        installed = true;
        InstallRussianTranslation(*qApp);
    }
}

void ConfigureApplication(QApplication& app) {
    InstallFontSubstitutions();
    InstallDesktopBehaviour(app);
    QApplication::setQuitOnLastWindowClosed(false);
    QGuiApplication::setDesktopFileName(QStringLiteral("heatx"));
    // The icon is drawn from its SVG only after the start screen's first picture.
    AfterFirstPaint(InstallApplicationIcon);
    InstallWidgetCensus();
}

}  // namespace heatx::ui
