// Shared steps of the navigation and source-data tests: starting a task of a kind on the menu with
// scripted answers, and reading the state of a window's controls.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "design_data/design_data.h"
#include "navigation/start_forms.h"
#include "reports/layout.h"
#include "source_data/source_data_forms.h"
#include "window_test_support.h"

namespace heatx::ui::testing {

enum class Apparatus { Evaporator = 1, Heater = 2, Cooler = 3 };

template <std::size_t N>
std::vector<std::string> AsTexts(const std::array<std::string_view, N>& texts) {
    return std::vector<std::string>(texts.begin(), texts.end());
}

inline std::vector<std::string> ReferenceAnswers(Apparatus kind) {
    switch (kind) {
        case Apparatus::Evaporator:
            return AsTexts(kEvaporatorReferenceTexts);
        case Apparatus::Heater:
            return AsTexts(kHeaterReferenceTexts);
        default:
            return AsTexts(kCoolerReferenceTexts);
    }
}

// Presses the kind's button on the menu with the answers of its input boxes queued. Call inside a
// scenario of RunInEventLoop.
inline void ChooseOnMenu(Platform& platform, ScriptedDialogs& dialogs, Apparatus kind,
                         const std::vector<std::string>& answers) {
    dialogs.QueueInputs(answers);
    Form4& menu = platform.Forms().Get<Form4>();
    menu.Show();
    Button& button = kind == Apparatus::Evaporator ? menu.Command1
                     : kind == Apparatus::Heater   ? menu.Command2
                                                   : menu.Command3;
    ASSERT_TRUE(button.Press());
}

// The list lines of a source-data window.
inline std::vector<std::string> ListLines(const ListBox& list) {
    std::vector<std::string> lines;
    for (int i = 0; i < list.ListCount(); ++i) {
        lines.push_back(list.List(i));
    }
    return lines;
}

// The texts printed on a window, in order.
inline std::vector<std::string> PrintedLines(const Form& form) {
    std::vector<std::string> lines;
    for (const auto& printed : form.PrintedTexts()) {
        lines.push_back(printed.text);
    }
    return lines;
}

// The SourceLines the window should show for the current data.
inline std::vector<std::string> ExpectedLines(const SourceDataForm& s) {
    std::vector<std::string> lines;
    for (int i = 0; i <= s.Kind().lastIndex; ++i) {
        lines.push_back(SourceLine(s.Label(i), s.Text(i), s.Kind().labelWidth));
    }
    return lines;
}

}  // namespace heatx::ui::testing
