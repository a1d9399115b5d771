#include "ui/qt/qt_services.h"

#include <QApplication>
#include <QFont>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTranslator>
#include <cmath>
#include <cstdint>

#include "ui/number_keys.h"
#include "ui/qt/app_icon.h"
#include "ui/qt/desktop.h"
#include "ui/qt/qt_convert.h"
#include "ui/qt/startup_probe.h"
#include "ui/qt/widget_census.h"

#ifdef HEATX_WITH_XKB
#include <QGuiApplication>
#include "ui/qt/xkb_layout.h"
#endif

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

// A box for a number shows the period and comma meant where the Russian layout typed "ю" or "б".
void ReadNumberKeys(QInputDialog& dialog) {
    auto* field = dialog.findChild<QLineEdit*>();
    if (field == nullptr) {
        return;
    }
    QObject::connect(field, &QLineEdit::textEdited, field, [field](const QString& text) {
        const QString latin = ToQt(NumberKeysAsLatin(FromQt(text)));
        if (latin != text) {
            const int cursor = field->cursorPosition();
            field->setText(latin);
            field->setCursorPosition(cursor);
        }
    });
}

// The window a box belongs to: the program's window below the boxes. A box parented to it is
// transient for it, so that no compositor puts the box behind it.
QWidget* BoxOwner() {
    QWidget* owner = WindowBelowBoxes();
    return owner != nullptr && owner->isVisible() ? owner : nullptr;
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
    QPointer<QInputDialog> dialog = new QInputDialog(BoxOwner());
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    dialog->setObjectName(QStringLiteral("InputBox"));
    dialog->setInputMode(QInputDialog::TextInput);
    dialog->setWindowTitle(ToQt(title));
    dialog->setLabelText(ToQt(prompt));
    LimitInputLength(*dialog);
    if (numberEntry_) {
        ReadNumberKeys(*dialog);
    }
    dialog->setTextValue(ToQt(defaultText));
    dialog->setOkButtonText(QStringLiteral("OK"));
    dialog->setCancelButtonText(QStringLiteral("Отмена"));
    dialog->setWindowModality(Qt::ApplicationModal);
    // Moved before it is shown, the dialog keeps this place instead of being centred.
    dialog->move(ScreenPointFromTwips(xTwips, yTwips));
    std::optional<std::string> answer;
    {
        const BoxFocus focus(dialog);
        if (dialog->exec() == QDialog::Accepted && dialog != nullptr) {
            answer = FromQt(dialog->textValue());
        }
        if (dialog != nullptr) {
            dialog->hide();
        }
    }
    if (dialog != nullptr) {
        dialog->deleteLater();
    }
    return answer;
}

int QtDialogs::YesNoBox(const std::string& text, const std::string& title) {
    EnsureRussianTranslation();
    QPointer<QMessageBox> box = new QMessageBox(BoxOwner());
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
        if (box != nullptr) {
            answer = box->clickedButton() == no ? kNo : kYes;
            box->hide();
        }
    }
    if (box != nullptr) {
        box->deleteLater();
    }
    return answer;
}

void QtDialogs::Notice(const std::string& text, const std::string& title) {
    EnsureRussianTranslation();
    QPointer<QMessageBox> box = new QMessageBox(BoxOwner());
    box->setObjectName(QStringLiteral("Notice"));
    box->setIcon(QMessageBox::NoIcon);
    box->setWindowTitle(ToQt(title));
    box->setTextFormat(Qt::PlainText);
    box->setText(ToQt(text));
    QPushButton* ok = box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box->setDefaultButton(ok);
    box->setEscapeButton(ok);
    box->setWindowModality(Qt::ApplicationModal);
    {
        const BoxFocus focus(box);
        box->exec();
        if (box != nullptr) {
            box->hide();
        }
    }
    if (box != nullptr) {
        box->deleteLater();
    }
}

void QtSound::Beep() {
    QApplication::beep();
}

void QtKeyboardLayout::Activate(std::uint32_t layoutHandle) {
#ifdef _WIN32
    ::ActivateKeyboardLayout(reinterpret_cast<HKL>(static_cast<std::uintptr_t>(layoutHandle)), 0);
#elif defined(HEATX_WITH_XKB)
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return;
    }
    auto* x11 = qApp != nullptr ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 == nullptr || x11->display() == nullptr) {
        return;
    }
    LockXkbGroup(x11->display(), layoutHandle == kRussianLayout ? XkbLayout::Russian : XkbLayout::Latin);
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
