// The services of the real program: Qt dialogs, the system beep, the keyboard layout switch, and
// the set-up of the application (Russian texts of Qt's own dialogs, font substitutions).
#pragma once

#include <cstdint>
#include <string>

#include "reports/clock.h"
#include "reports/printer.h"
#include "ui/platform.h"
#include "ui/qt/qt_toolkit.h"
#include "ui/services.h"

class QApplication;

namespace heatx::ui {

// Input boxes (QInputDialog) and message boxes (QMessageBox) with Russian buttons. An input box is
// placed with its top-left corner at the given twips from the top-left corner of the primary
// screen; message boxes are centred on the screen.
class QtDialogs : public Dialogs {
  public:
    std::string InputBox(const std::string& prompt, const std::string& title, const std::string& defaultText,
                         int xTwips, int yTwips) override;
    std::optional<std::string> InputBoxOrCancel(const std::string& prompt, const std::string& title,
                                                const std::string& defaultText, int xTwips,
                                                int yTwips) override;
    int YesNoBox(const std::string& text, const std::string& title) override;
    void Notice(const std::string& text, const std::string& title) override;
    // Number boxes read "ю", "б" (and capitals) typed on the Russian layout as "." and ",".
    void SetNumberEntry(bool on) override { numberEntry_ = on; }

  private:
    bool numberEntry_ = false;
};

class QtSound : public Sound {
  public:
    void Beep() override;
};

// ActivateKeyboardLayout of user32 on Windows. On X11 the XKB group of the session's keyboard is
// locked to the Russian or the Latin layout when the session has it among its groups (no layout is
// added); elsewhere (Wayland, where a client cannot switch) nothing happens and the number boxes read
// the Russian characters of the period and comma keys (ui/number_keys.h).
class QtKeyboardLayout : public KeyboardLayout {
  public:
    void Activate(std::uint32_t layoutHandle) override;
};

// The platform of the real program: Qt windows and services and the system clock around the given
// printer.
class DesktopPlatform {
  public:
    explicit DesktopPlatform(heatx::Printer& printer)
        : platform_(toolkit_, dialogs_, sound_, keyboard_, clock_, printer) {}
    Platform& Get() { return platform_; }

  private:
    QtToolkit toolkit_;
    QtDialogs dialogs_;
    QtSound sound_;
    QtKeyboardLayout keyboard_;
    heatx::SystemClock clock_;
    Platform platform_;
};

// Fonts of the windows mapped to fonts present on the system: "MS Sans Serif" and "Microsoft Sans
// Serif" to Liberation Sans, "Courier", "Courier New" and "Courier New Cyr" to Liberation Mono,
// "Times New Roman" to Liberation Serif, "Monotype Corsiva" to Liberation Serif (the windows ask
// for it in italic).
void InstallFontSubstitutions();

// Loads Qt's own Russian texts (qtbase_ru), so that every standard button is Russian. Returns
// whether the translation was found.
bool InstallRussianTranslation(QApplication& app);

// Loads the Russian texts above once, when the first box is about to be shown: the start screen
// shows none of Qt's own texts, so the start does not wait for them.
void EnsureRussianTranslation();

// Everything the application needs before the first window: the font substitutions, the window icon
// (ui/app_icon.h), and the application does not quit by itself when its last window is hidden or a
// dialog closes (the run ends only by Platform::EndProgram). The Russian texts follow with the first
// box.
void ConfigureApplication(QApplication& app);

}  // namespace heatx::ui
