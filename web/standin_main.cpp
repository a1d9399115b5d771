// The entry of the browser edition until the web platform brings the program's own: it shows the
// version in the page, and proves the page's build settings by waiting on the browser (Asyncify) and
// then ending the wait with a C++ exception caught further up, as a modal box and the end of a run do.
#include <emscripten.h>

#include <stdexcept>
#include <string>

#include "heatx_version.h"
#include "reports/layout.h"

namespace {

// Waits until the browser has run its pending tasks, then returns to the C++ stack that called it.
// (A function expression, not an arrow: clang-format would split "=>".)
EM_ASYNC_JS(void, WaitForTheBrowser, (),
            { await new Promise(function(resolve) { setTimeout(resolve, 0); }); });

EM_JS(void, ShowText, (const char* text), {
    const line = document.createElement("p");
    line.textContent = UTF8ToString(text);
    document.body.appendChild(line);
});

void WaitThenEnd() {
    WaitForTheBrowser();
    throw std::runtime_error("end of the run");
}

}  // namespace

int main() {
    std::string state = "ожидание не завершилось";
    try {
        WaitThenEnd();
    } catch (const std::runtime_error&) {
        state = "ожидание и исключение: работают";
    }
    ShowText(
        ("heatx " + std::string(heatx::kVersion) + ": браузерная версия, окна ещё не подключены").c_str());
    ShowText(("проверка: " + state + ", " + heatx::FormatFixed(2.5f, 4, 1)).c_str());
    return 0;
}
