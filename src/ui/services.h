// The services a window needs besides drawing itself: modal input and message boxes, the system
// beep and the keyboard layout switch. Each is an interface with a Qt implementation for the
// program (ui/qt/qt_services.h) and a scripted one for the tests (ui/scripted/scripted_services.h).
//
// Windows do not call these interfaces directly: they go through Platform (platform.h), which
// also stops the handler at once when the run has ended while a modal box was open.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace heatx::ui {

// Answer codes of a Yes/No message box.
inline constexpr int kYes = 6;
inline constexpr int kNo = 7;

// An input box takes at most this many characters (a longer value is no number a student types, and
// would only make lists and reports unreadable).
inline constexpr int kInputBoxMaxLength = 255;

// Keyboard layout handles: Russian while the student's name is asked, US English afterwards.
inline constexpr std::uint32_t kRussianLayout = 0x04190419;
inline constexpr std::uint32_t kUsEnglishLayout = 0x04090409;

class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // Modal input box with a prompt, a title and a default text, its top-left corner xTwips and
    // yTwips (1/1440 inch) from the top-left corner of the screen. Returns the text typed (at most
    // kInputBoxMaxLength characters), or an empty text when the box is cancelled.
    virtual std::string InputBox(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText, int xTwips, int yTwips) = 0;

    // The same input box, telling a cancelled box (Cancel, Escape, the close button) from an answer:
    // std::nullopt when cancelled. Without an override a cancelled box reads as an empty answer.
    virtual std::optional<std::string> InputBoxOrCancel(const std::string& prompt, const std::string& title,
                                                        const std::string& defaultText, int xTwips,
                                                        int yTwips) {
        return InputBox(prompt, title, defaultText, xTwips, yTwips);
    }

    // Modal message box without icon with the buttons "Да" and "Нет". Returns kYes (6) or kNo (7).
    // Escape or the window's close button count as "Да": nothing is lost, the student is asked
    // again by the caller's loop, whereas "Нет" ends the run.
    virtual int YesNoBox(const std::string& text, const std::string& title) = 0;

    // Modal message box with one "OK" button (e.g. a printing failure).
    virtual void Notice(const std::string& text, const std::string& title) = 0;

    // From now on the input boxes take numbers (on) or a name (off): a box for numbers shows the
    // Russian layout's characters on the Latin period and comma keys as the period and comma meant.
    virtual void SetNumberEntry(bool on) { (void)on; }
};

class Sound {
  public:
    virtual ~Sound() = default;
    virtual void Beep() = 0;
};

class KeyboardLayout {
  public:
    virtual ~KeyboardLayout() = default;
    // Switches the keyboard to the layout with this handle (kRussianLayout, kUsEnglishLayout).
    // Does nothing on systems without such layouts.
    virtual void Activate(std::uint32_t layoutHandle) = 0;
};

}  // namespace heatx::ui
