#include "ui/scripted/scripted_services.h"

#include <sstream>

namespace heatx::ui {

void ScriptedDialogs::QueueInput(std::string typed) {
    queue_.push_back(ScriptedAnswer::Input(std::move(typed)));
}

void ScriptedDialogs::QueueCancel() {
    queue_.push_back(ScriptedAnswer::Cancel());
}

void ScriptedDialogs::QueueYesNo(int answerCode) {
    queue_.push_back(ScriptedAnswer::YesNo(answerCode));
}

void ScriptedDialogs::QueueInputs(const std::vector<std::string>& typed) {
    for (const auto& text : typed) {
        QueueInput(text);
    }
}

std::vector<DialogCall> ScriptedDialogs::CallsOf(DialogKind kind) const {
    std::vector<DialogCall> result;
    for (const auto& call : calls_) {
        if (call.kind == kind) {
            result.push_back(call);
        }
    }
    return result;
}

std::string ScriptedDialogs::UnexpectedReport() const {
    std::ostringstream out;
    for (const auto& call : calls_) {
        if (!call.unexpected) {
            continue;
        }
        out << (call.kind == DialogKind::Input ? "input box" : "yes/no box") << " \"" << call.title
            << "\": \"" << call.prompt << "\"\n";
    }
    return out.str();
}

void ScriptedDialogs::Reset() {
    queue_.clear();
    calls_.clear();
    unexpected_ = 0;
}

std::size_t ScriptedDialogs::Open(DialogCall call) {
    calls_.push_back(std::move(call));
    const std::size_t index = calls_.size() - 1;
    if (onOpen_) {
        // The hook may end the run (by throwing); the call stays recorded.
        DialogCall copy = calls_[index];
        onOpen_(copy);
    }
    if (calls_[index].kind == DialogKind::Notice) {
        return index;
    }
    std::optional<ScriptedAnswer> answer;
    if (responder_) {
        DialogCall copy = calls_[index];
        answer = responder_(copy);
    }
    if (!answer && !queue_.empty() && queue_.front().kind == calls_[index].kind) {
        answer = queue_.front();
        queue_.pop_front();
    }
    DialogCall& call_ref = calls_[index];
    if (!answer || answer->kind != call_ref.kind) {
        call_ref.unexpected = true;
        ++unexpected_;
        call_ref.answerText.clear();
        call_ref.answerCode = kYes;
        return index;
    }
    call_ref.answerText = answer->text;
    call_ref.answerCode = answer->code;
    call_ref.cancelled = answer->cancelled;
    return index;
}

std::string ScriptedDialogs::InputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultText, int xTwips, int yTwips) {
    DialogCall call;
    call.kind = DialogKind::Input;
    call.prompt = prompt;
    call.title = title;
    call.defaultText = defaultText;
    call.xTwips = xTwips;
    call.yTwips = yTwips;
    return calls_[Open(std::move(call))].answerText;
}

std::optional<std::string> ScriptedDialogs::InputBoxOrCancel(const std::string& prompt,
                                                             const std::string& title,
                                                             const std::string& defaultText, int xTwips,
                                                             int yTwips) {
    DialogCall call;
    call.kind = DialogKind::Input;
    call.prompt = prompt;
    call.title = title;
    call.defaultText = defaultText;
    call.xTwips = xTwips;
    call.yTwips = yTwips;
    const DialogCall& answered = calls_[Open(std::move(call))];
    if (answered.cancelled) {
        return std::nullopt;
    }
    return answered.answerText;
}

int ScriptedDialogs::YesNoBox(const std::string& text, const std::string& title) {
    DialogCall call;
    call.kind = DialogKind::YesNo;
    call.prompt = text;
    call.title = title;
    return calls_[Open(std::move(call))].answerCode;
}

void ScriptedDialogs::Notice(const std::string& text, const std::string& title) {
    DialogCall call;
    call.kind = DialogKind::Notice;
    call.prompt = text;
    call.title = title;
    Open(std::move(call));
}

}  // namespace heatx::ui
