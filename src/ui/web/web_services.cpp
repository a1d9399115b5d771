#include "ui/web/web_services.h"

#include <emscripten.h>

#include <cmath>
#include <vector>

#include "ui/web/web_toolkit.h"

namespace heatx::ui::web {

// clang-format off
// The answer of an input box is written into the buffer given (UTF-8, at most `size` bytes with the
// terminating zero). Returns 1 when answered, 0 when cancelled.
EM_ASYNC_JS(int, hx_input_box, (const char* prompt, const char* title, const char* defaultText, int x, int y,
                                char* answer, int size), {
    var text = await heatx.inputBox(UTF8ToString(prompt), UTF8ToString(title), UTF8ToString(defaultText), x, y);
    if (text === null) {
        return 0;
    }
    stringToUTF8(text, answer, size);
    return 1;
});
// Returns the index of the button pressed; Escape answers with the button escapeIndex.
EM_ASYNC_JS(int, hx_message_box, (const char* text, const char* title, int buttons, int escapeIndex), {
    var captions = buttons === 2 ? ["Да", "Нет"] : ["OK"];
    return await heatx.messageBox(UTF8ToString(text), UTF8ToString(title), captions, escapeIndex);
});
EM_JS(void, hx_beep, (), { heatx.beep(); });
EM_JS(void, hx_number_entry, (int on), { heatx.setNumberEntry(!!on); });
// clang-format on

namespace {

// The page's pixels at 100 %: 15 twips a pixel.
int Pixels(int twips) {
    return static_cast<int>(std::lround(twips / 15.0));
}

}  // namespace

std::string WebDialogs::InputBox(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText, int xTwips, int yTwips) {
    return InputBoxOrCancel(prompt, title, defaultText, xTwips, yTwips).value_or(std::string());
}

std::optional<std::string> WebDialogs::InputBoxOrCancel(const std::string& prompt, const std::string& title,
                                                        const std::string& defaultText, int xTwips,
                                                        int yTwips) {
    // The windows below show what the handler has drawn so far.
    toolkit_.Settle();
    // At most kInputBoxMaxLength characters of at most four bytes each.
    std::vector<char> answer(static_cast<std::size_t>(kInputBoxMaxLength) * 4 + 1, '\0');
    const int answered = hx_input_box(prompt.c_str(), title.c_str(), defaultText.c_str(), Pixels(xTwips),
                                      Pixels(yTwips), answer.data(), static_cast<int>(answer.size()));
    if (answered == 0) {
        return std::nullopt;
    }
    return std::string(answer.data());
}

int WebDialogs::YesNoBox(const std::string& text, const std::string& title) {
    toolkit_.Settle();
    // Escape answers "Да": nothing is lost, the caller asks again; only "Нет" ends the run.
    return hx_message_box(text.c_str(), title.c_str(), 2, 0) == 1 ? kNo : kYes;
}

void WebDialogs::Notice(const std::string& text, const std::string& title) {
    toolkit_.Settle();
    hx_message_box(text.c_str(), title.c_str(), 1, 0);
}

void WebDialogs::SetNumberEntry(bool on) {
    hx_number_entry(on ? 1 : 0);
}

void WebSound::Beep() {
    hx_beep();
}

}  // namespace heatx::ui::web
