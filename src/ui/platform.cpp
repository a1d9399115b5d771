#include "ui/platform.h"

#include <cmath>
#include <exception>
#include <iostream>

#include "ui/form.h"
#include "ui/number_keys.h"

namespace heatx::ui {

namespace {

constexpr double kTwipsPerInch = 1440.0;

// At most kInputBoxMaxLength characters (not bytes) of an answer: a longer text is cut.
std::string LimitedAnswer(std::string answer) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < answer.size(); ++i) {
        const auto byte = static_cast<unsigned char>(answer[i]);
        if ((byte & 0xC0) != 0x80 && ++characters > static_cast<std::size_t>(kInputBoxMaxLength)) {
            answer.resize(i);
            break;
        }
    }
    return answer;
}

}  // namespace

Platform::Platform(Toolkit& toolkit, Dialogs& dialogs, Sound& sound, KeyboardLayout& keyboard,
                   heatx::Clock& clock, heatx::Printer& printer)
    : toolkit_(toolkit),
      dialogs_(dialogs),
      sound_(sound),
      keyboard_(keyboard),
      clock_(clock),
      printer_(printer),
      forms_(*this) {}

Platform::~Platform() = default;

// ---- Services ---------------------------------------------------------------------------------

std::string Platform::InputBox(const std::string& prompt, const std::string& title,
                               const std::string& defaultText, int xTwips, int yTwips) {
    ThrowIfEnded();
    std::string answer = dialogs_.InputBox(prompt, title, defaultText, xTwips, yTwips);
    ThrowIfEnded();
    if (numberEntry_) {
        answer = NumberKeysAsLatin(answer);
    }
    return LimitedAnswer(std::move(answer));
}

std::optional<std::string> Platform::InputBoxOrCancel(const std::string& prompt, const std::string& title,
                                                      const std::string& defaultText, int xTwips,
                                                      int yTwips) {
    ThrowIfEnded();
    std::optional<std::string> answer = dialogs_.InputBoxOrCancel(prompt, title, defaultText, xTwips, yTwips);
    ThrowIfEnded();
    if (answer && numberEntry_) {
        *answer = NumberKeysAsLatin(*answer);
    }
    return answer;
}

int Platform::YesNoBox(const std::string& text, const std::string& title) {
    ThrowIfEnded();
    const int answer = dialogs_.YesNoBox(text, title);
    ThrowIfEnded();
    return answer == kNo ? kNo : kYes;
}

void Platform::Notice(const std::string& text, const std::string& title) {
    ThrowIfEnded();
    dialogs_.Notice(text, title);
    ThrowIfEnded();
}

void Platform::Beep() {
    sound_.Beep();
}

void Platform::ActivateKeyboardLayout(std::uint32_t layoutHandle) {
    keyboard_.Activate(layoutHandle);
    numberEntry_ = layoutHandle == kUsEnglishLayout;
    dialogs_.SetNumberEntry(numberEntry_);
}

void Platform::ThrowIfEnded() const {
    if (ended_) {
        throw EndOfProgram{};
    }
}

// ---- End of the run ---------------------------------------------------------------------------

void Platform::EndProgram() {
    if (!ended_) {
        // Marked first: a hook cannot start a second end, and any modal box it tried would return.
        ended_ = true;
        exitCode_ = 0;
        const std::vector<Hook> hooks = hooks_;
        for (const auto& hook : hooks) {
            try {
                hook.run();
            } catch (const EndOfProgram&) {
                // Already ending.
            } catch (const std::exception& e) {
                failures_.emplace_back(e.what());
            }
        }
        if (printer_.HasOpenDocument()) {
            printer_.EndDoc();
        }
        FinishRun(0);
    }
    throw EndOfProgram{};
}

int Platform::AddBeforeEndHook(std::function<void()> hook) {
    const int id = nextHookId_++;
    hooks_.push_back(Hook{id, std::move(hook)});
    return id;
}

void Platform::RemoveBeforeEndHook(int id) {
    std::erase_if(hooks_, [id](const Hook& hook) { return hook.id == id; });
}

void Platform::FinishRun(int exitCode) {
    if (!ended_) {
        ended_ = true;
        exitCode_ = exitCode;
    }
    toolkit_.EndRun(exitCode_);
}

void Platform::Guard(const std::function<void()>& handler) {
    if (ended_) {
        return;
    }
    ++depth_;
    try {
        handler();
    } catch (const EndOfProgram&) {
        FinishRun(0);
    } catch (const std::exception& e) {
        failures_.emplace_back(e.what());
        std::cerr << "heatx: unexpected failure in a window handler: " << e.what() << '\n';
        FinishRun(1);
    } catch (...) {
        failures_.emplace_back("unknown exception");
        std::cerr << "heatx: unexpected failure in a window handler\n";
        FinishRun(1);
    }
    --depth_;
    if (depth_ == 0) {
        if (!ended_) {
            SettleFocusOfShownWindows();
        }
        forms_.CollectUnloadedLater();
    }
}

void Platform::SettleFocusOfShownWindows() {
    // The handler may have hidden the focus control of a window while it was not active (a box
    // was open), or shown the first controls of a window that had none.
    for (int i = 0; i < forms_.Count(); ++i) {
        Form& form = forms_.At(i);
        if (form.Visible()) {
            form.SettleFocus();
        }
    }
}

void Platform::Raise(const std::function<void()>& handler) {
    if (depth_ > 0) {
        handler();
    } else {
        Guard(handler);
    }
}

// ---- Units ------------------------------------------------------------------------------------

double Platform::LogicalDpiX() const {
    if (dpiOverrideX_ > 0.0) {
        return dpiOverrideX_;
    }
    return toolkit_.LogicalDpiX();
}

double Platform::LogicalDpiY() const {
    if (dpiOverrideY_ > 0.0) {
        return dpiOverrideY_;
    }
    return toolkit_.LogicalDpiY();
}

void Platform::OverrideLogicalDpi(double dpiX, double dpiY) {
    dpiOverrideX_ = dpiX;
    dpiOverrideY_ = dpiY;
}

int Platform::TwipsToPixelsX(double twips) const {
    return static_cast<int>(std::lround(twips * LogicalDpiX() / kTwipsPerInch));
}

int Platform::TwipsToPixelsY(double twips) const {
    return static_cast<int>(std::lround(twips * LogicalDpiY() / kTwipsPerInch));
}

double Platform::PixelsToTwipsX(int pixels) const {
    return pixels * kTwipsPerInch / LogicalDpiX();
}

double Platform::PixelsToTwipsY(int pixels) const {
    return pixels * kTwipsPerInch / LogicalDpiY();
}

double Platform::ScreenWidthTwips() const {
    return PixelsToTwipsX(screenOverrideWidth_ > 0 ? screenOverrideWidth_ : toolkit_.ScreenWidthPixels());
}

double Platform::ScreenHeightTwips() const {
    return PixelsToTwipsY(screenOverrideHeight_ > 0 ? screenOverrideHeight_ : toolkit_.ScreenHeightPixels());
}

PixelRect Platform::AvailableArea() const {
    if (screenOverrideWidth_ > 0 && screenOverrideHeight_ > 0) {
        return PixelRect{0, 0, screenOverrideWidth_, screenOverrideHeight_};
    }
    return toolkit_.AvailableArea();
}

void Platform::OverrideScreen(int widthPixels, int heightPixels) {
    screenOverrideWidth_ = widthPixels;
    screenOverrideHeight_ = heightPixels;
}

}  // namespace heatx::ui
