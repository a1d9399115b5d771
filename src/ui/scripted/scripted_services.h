// Scripted services for the window tests: dialogs answered from a queue (or by a callback), a beep
// counter and a log of keyboard layout switches. Nothing here waits for a person.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/services.h"

namespace heatx::ui {

enum class DialogKind { Input, YesNo, Notice };

// One dialog opened by the program, as the test sees it.
struct DialogCall {
    DialogKind kind = DialogKind::Input;
    std::string prompt;  // the prompt of an input box, the text of a message box
    std::string title;
    std::string defaultText;  // input boxes only
    int xTwips = 0;           // input boxes only
    int yTwips = 0;
    // What the dialog returned: the text of an input box, the code of a Yes/No box.
    std::string answerText;
    int answerCode = 0;
    bool cancelled = false;   // an input box answered with Cancel
    bool unexpected = false;  // no fitting answer was queued
};

// An answer for the next dialog.
struct ScriptedAnswer {
    DialogKind kind = DialogKind::Input;
    std::string text;
    int code = kYes;
    bool cancelled = false;

    static ScriptedAnswer Input(std::string typed) { return {DialogKind::Input, std::move(typed), 0, false}; }
    // Cancel (or Escape): an input box returns the empty text, InputBoxOrCancel no text at all.
    static ScriptedAnswer Cancel() { return {DialogKind::Input, "", 0, true}; }
    static ScriptedAnswer YesNo(int answerCode) { return {DialogKind::YesNo, "", answerCode, false}; }
};

class ScriptedDialogs : public Dialogs {
  public:
    // Answers, used first in first out. An input box takes the next Input/Cancel answer, a Yes/No
    // box the next YesNo answer; notices take none.
    void QueueInput(std::string typed);
    void QueueCancel();
    void QueueYesNo(int answerCode);
    void QueueInputs(const std::vector<std::string>& typed);
    std::size_t Pending() const { return queue_.size(); }

    // Runs when a dialog opens, before it is answered, while the "modal" box is on screen: a test
    // can look at the windows behind it, or end the run from here.
    void OnOpen(std::function<void(const DialogCall&)> hook) { onOpen_ = std::move(hook); }

    // Answers dialogs dynamically. When it returns an answer, the queue is not consulted.
    void SetResponder(std::function<std::optional<ScriptedAnswer>(const DialogCall&)> responder) {
        responder_ = std::move(responder);
    }

    // Every dialog opened, in order, with the answer it returned.
    const std::vector<DialogCall>& Calls() const { return calls_; }
    std::vector<DialogCall> CallsOf(DialogKind kind) const;

    // Dialogs that found no fitting answer. They do not block: an input box returns "", a Yes/No
    // box returns kYes. A test that ends with Unexpected() > 0 has scripted the wrong dialogs.
    int Unexpected() const { return unexpected_; }
    // A readable list of the unexpected dialogs, for failure messages.
    std::string UnexpectedReport() const;

    // Forgets the calls, the queue and the unexpected count (hooks stay).
    void Reset();

    std::string InputBox(const std::string& prompt, const std::string& title, const std::string& defaultText,
                         int xTwips, int yTwips) override;
    std::optional<std::string> InputBoxOrCancel(const std::string& prompt, const std::string& title,
                                                const std::string& defaultText, int xTwips,
                                                int yTwips) override;
    int YesNoBox(const std::string& text, const std::string& title) override;
    void Notice(const std::string& text, const std::string& title) override;

  private:
    // Records the call, runs the hooks and finds the answer; returns the index of the call.
    std::size_t Open(DialogCall call);

    std::deque<ScriptedAnswer> queue_;
    std::vector<DialogCall> calls_;
    std::function<void(const DialogCall&)> onOpen_;
    std::function<std::optional<ScriptedAnswer>(const DialogCall&)> responder_;
    int unexpected_ = 0;
};

class ScriptedSound : public Sound {
  public:
    void Beep() override { ++beeps_; }
    int Beeps() const { return beeps_; }
    void Reset() { beeps_ = 0; }

  private:
    int beeps_ = 0;
};

class ScriptedKeyboard : public KeyboardLayout {
  public:
    void Activate(std::uint32_t layoutHandle) override { handles_.push_back(layoutHandle); }
    const std::vector<std::uint32_t>& Handles() const { return handles_; }
    void Reset() { handles_.clear(); }

  private:
    std::vector<std::uint32_t> handles_;
};

}  // namespace heatx::ui
