// The platform every window lives on: the toolkit beneath the windows (ui/toolkit.h), the services
// (dialogs, beep, keyboard layout, clock, printer), the registry of loaded windows, the screen's units
// and the end of the run. It knows nothing of the design data: the windows and the run procedures
// find those beside it in the context of the run (ui/run_context.h).
//
// Handlers and the end of the run
// -------------------------------
// Every handler that the toolkit starts (a button or list click, a repaint, the window's close button) runs
// inside Guard(). EndProgram() ends the run at once: it closes what must be closed, hides every
// window, leaves the event loop and throws EndOfProgram, which unwinds the handler up to its guard.
// From then on no handler runs (guards are inert) and every modal box returns by throwing again.
// Window code therefore never catches EndOfProgram (and never uses catch (...)).
//
// Units
// -----
// Positions and sizes are in twips (1/1440 inch): pixels = round(twips * logical dpi / 1440), with the
// logical dpi of the primary screen (96 on most systems and under the offscreen platform).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "reports/clock.h"
#include "reports/printer.h"
#include "ui/forms.h"
#include "ui/services.h"
#include "ui/toolkit.h"

namespace heatx::ui {

// Thrown by EndProgram; caught only by Platform::Guard.
struct EndOfProgram {};

class Platform {
  public:
    Platform(Toolkit& toolkit, Dialogs& dialogs, Sound& sound, KeyboardLayout& keyboard, heatx::Clock& clock,
             heatx::Printer& printer);
    ~Platform();
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;

    // ---- Windows -----------------------------------------------------------------------------
    FormRegistry& Forms() { return forms_; }

    // The platform's native windows and controls (for the window model).
    Toolkit& toolkit() const { return toolkit_; }

    // ---- Services (use these, not the service objects: they honour the end of the run) ----------
    // Modal input box; see Dialogs::InputBox. Returns "" when cancelled.
    std::string InputBox(const std::string& prompt, const std::string& title, const std::string& defaultText,
                         int xTwips, int yTwips);
    // The same box; std::nullopt when it was cancelled (see Dialogs::InputBoxOrCancel).
    std::optional<std::string> InputBoxOrCancel(const std::string& prompt, const std::string& title,
                                                const std::string& defaultText, int xTwips, int yTwips);
    // Modal Yes/No box without icon; returns kYes (6) or kNo (7).
    int YesNoBox(const std::string& text, const std::string& title);
    // Modal box with an OK button.
    void Notice(const std::string& text, const std::string& title);
    void Beep();
    // The keyboard layout switch (kRussianLayout, kUsEnglishLayout); flags are always 0. From the
    // switch to the Latin layout on, the input boxes take numbers: the Russian layout's characters on
    // the Latin period and comma keys are read as the period and comma meant (ui/number_keys.h), in
    // the box as it is typed where the platform can, and in every answer.
    void ActivateKeyboardLayout(std::uint32_t layoutHandle);
    bool NumberEntry() const { return numberEntry_; }
    heatx::Clock& Clock() { return clock_; }
    heatx::Printer& Printer() { return printer_; }

    // ---- End of the run -----------------------------------------------------------------------
    // Ends the run at once: runs the before-end hooks (in the order added), ends an open printer
    // document so that nothing printed is lost, hides all windows, leaves the event loop (exit code
    // 0) and throws EndOfProgram. Called from inside a handler; the guard catches the exception.
    [[noreturn]] void EndProgram();
    // True once the run has ended (EndProgram, or a handler failed with an unexpected exception).
    bool Ended() const { return ended_; }
    // Exit code the run ended with: 0 after EndProgram, 1 after an unexpected exception.
    int ExitCode() const { return exitCode_; }
    // The messages of unexpected exceptions caught by guards (a programming fault each).
    const std::vector<std::string>& Failures() const { return failures_; }

    // Hooks run by EndProgram before anything else (e.g. a results screen closing its print job).
    // Returns an id for RemoveBeforeEndHook; remove the hook when its owner goes away.
    int AddBeforeEndHook(std::function<void()> hook);
    void RemoveBeforeEndHook(int id);

    // Runs a handler started by the toolkit. Catches EndOfProgram (and, as a last resort, any other
    // exception, which ends the run with exit code 1): nothing escapes into the toolkit. Does nothing once
    // the run has ended. When the outermost guard returns, windows unloaded meanwhile are destroyed.
    void Guard(const std::function<void()>& handler);
    // Runs a handler that the program itself raises (e.g. a list's click on setting its index):
    // inside a running handler it is called directly, so that the end of the run unwinds the caller
    // too; outside any handler it runs under Guard.
    void Raise(const std::function<void()>& handler);
    // Number of guarded handlers currently running (nested through modal boxes).
    int HandlerDepth() const { return depth_; }

    // ---- Units ----------------------------------------------------------------------------------
    double LogicalDpiX() const;
    double LogicalDpiY() const;
    // Replaces the screen's logical dpi (tests of the conversion). 0 restores the screen's value.
    void OverrideLogicalDpi(double dpiX, double dpiY);
    int TwipsToPixelsX(double twips) const;
    int TwipsToPixelsY(double twips) const;
    double PixelsToTwipsX(int pixels) const;
    double PixelsToTwipsY(int pixels) const;
    // The primary screen's size in twips.
    double ScreenWidthTwips() const;
    double ScreenHeightTwips() const;
    // The part of the screen a window may take, in pixels (Toolkit::AvailableArea).
    PixelRect AvailableArea() const;
    // Replaces the screen's size and available area (tests of large scaling: a 1920 x 1080 screen at
    // 200 % is 960 x 540 logical pixels). Zero sizes restore the screen's own.
    void OverrideScreen(int widthPixels, int heightPixels);

  private:
    // Marks the run ended, hides every window and leaves the running event loops.
    void FinishRun(int exitCode);
    // If a modal box returned because the run ended meanwhile, unwinds the handler.
    void ThrowIfEnded() const;
    // After a handler: every shown window's focus on a visible, enabled control (Form::SettleFocus).
    void SettleFocusOfShownWindows();

    Toolkit& toolkit_;
    Dialogs& dialogs_;
    Sound& sound_;
    KeyboardLayout& keyboard_;
    heatx::Clock& clock_;
    heatx::Printer& printer_;

    bool numberEntry_ = false;
    bool ended_ = false;
    int exitCode_ = 0;
    int depth_ = 0;
    std::vector<std::string> failures_;
    struct Hook {
        int id;
        std::function<void()> run;
    };
    std::vector<Hook> hooks_;
    int nextHookId_ = 1;
    double dpiOverrideX_ = 0.0;
    double dpiOverrideY_ = 0.0;
    int screenOverrideWidth_ = 0;
    int screenOverrideHeight_ = 0;

    // Last member: the windows are destroyed first.
    FormRegistry forms_;
};

}  // namespace heatx::ui
