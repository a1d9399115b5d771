// The services of the browser platform: modal input and message boxes as the page's dialogs (the
// handler that opens one waits for the answer, its stack suspended), the beep through Web Audio and the
// keyboard layout switch, which a page cannot make.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ui/services.h"

namespace heatx::ui::web {

class WebToolkit;

class WebDialogs : public Dialogs {
  public:
    explicit WebDialogs(WebToolkit& toolkit) : toolkit_(toolkit) {}

    std::string InputBox(const std::string& prompt, const std::string& title, const std::string& defaultText,
                         int xTwips, int yTwips) override;
    std::optional<std::string> InputBoxOrCancel(const std::string& prompt, const std::string& title,
                                                const std::string& defaultText, int xTwips,
                                                int yTwips) override;
    int YesNoBox(const std::string& text, const std::string& title) override;
    void Notice(const std::string& text, const std::string& title) override;
    void SetNumberEntry(bool on) override;

  private:
    WebToolkit& toolkit_;
};

class WebSound : public Sound {
  public:
    void Beep() override;
};

class WebKeyboardLayout : public KeyboardLayout {
  public:
    void Activate(std::uint32_t layoutHandle) override { (void)layoutHandle; }
};

}  // namespace heatx::ui::web
