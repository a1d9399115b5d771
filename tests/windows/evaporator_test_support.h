// Shared set-up of the evaporator window tests: the reference task as the library menu leaves it,
// the expected results texts, and a look at the loaded windows.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "design_data/design_data.h"
#include "design_data/numeric.h"
#include "methods/messages.h"
#include "methods/run_evaporator.h"
#include "reports/result_lines.h"
#include "results/results_forms.h"
#include "source_data/source_data_forms.h"
#include "window_test_support.h"

namespace heatx::ui::testing {

inline constexpr const char* kTubeHeightQuestion = "Высота труб от 1 до 10 метров.    Продолжаете работу ?";
inline constexpr const char* kFailureQuestion =
    "Ошибка в исходной информации(см.массив физсвойств.)    Продолжаете работу ?";

// The results lines of the reference data: after the first run (height 4) and after a change of the
// height (height 10), to the character.
inline constexpr const char* kResultsLineHeight4 =
    "  10166.39            5681.11          1325.06          13.64          ";
inline constexpr const char* kResultsLineHeight10AfterChange =
    "   9696.29            4297.44           1224.52          14.76          ";

// The report rows of the same two results under the 66-character table head.
inline constexpr const char* kReportRowHeight4 =
    "            |   4    |  10166.39   |   5681.11   |   1325.06   |    13.64    |";
inline constexpr const char* kReportRowHeight10 =
    "            |   10   |   9696.29   |   4297.44   |   1224.52   |    14.76    |";
inline constexpr const char* kReportTableTop =
    "            __________________________________________________________________";
inline constexpr const char* kReportTitle = "Расчет испарителя";
inline const std::string kSignatureRule = std::string(12, ' ') + std::string(66, '_');

// The evaporator task as the library menu starts it: labels, reference values, a new report.
inline void StartReferenceTask(DesignData& data) {
    WriteEvaporatorLabels(data);
    for (int i = 0; i < kEvaporatorSourceCount; ++i) {
        const auto slot = static_cast<std::size_t>(i);
        data.EvaporatorTexts[slot] = std::string(kEvaporatorReferenceTexts[slot]);
        data.Values[slot] = ReadValue(data.EvaporatorTexts[slot]);
    }
    data.StudentName = " Студент Группы Т-1";
    data.ReportHeadPending = kTrue;
    data.TableHeadPending = kTrue;
    data.ReportPrinted = kFalse;
}

inline std::vector<std::string> LoadedWindowNames(Platform& platform) {
    std::vector<std::string> names;
    for (int i = 0; i < platform.Forms().Count(); ++i) {
        names.push_back(platform.Forms().At(i).Name());
    }
    return names;
}

inline int CountLinesContaining(const std::vector<std::string>& lines, const std::string& part) {
    int n = 0;
    for (const auto& line : lines) {
        n += line.find(part) != std::string::npos ? 1 : 0;
    }
    return n;
}

// Fixture: the reference task, run inside the event loop.
class EvaporatorTest : public WindowTest {
  protected:
    void SetUp() override { StartReferenceTask(run.data); }

    DesignData& data() { return run.data; }
    RecordingPrinter& printer() { return services.printer; }
    int Beeps() const { return services.sound.Beeps(); }

    // Runs the scenario as one handler; returns the event loop's exit code.
    int Run(const std::function<void()>& scenario) { return RunInEventLoop(platform, scenario); }

    // The reference task run to its results with the given tube height.
    void RunToResults(const std::string& height) {
        dialogs.QueueInput(height);
        Run([this] { RunEvaporator(run); });
        ASSERT_FALSE(platform.Ended());
        ASSERT_EQ(dialogs.Unexpected(), 0) << dialogs.UnexpectedReport();
    }

    Form11& Results() { return platform.Forms().Get<Form11>(); }

    // Presses a button of the results window inside the event loop, as the student would.
    void Press(ui::Button& (*which)(Form11&)) {
        Run([this, which] { ASSERT_TRUE(which(Results()).Press()); });
    }

    // True when the document ended last closes with the signature rule and three empty lines.
    static bool EndsWithSignature(const std::vector<std::string>& lines) {
        const std::size_t n = lines.size();
        return n >= 4 && lines[n - 4] == kSignatureRule && lines[n - 3].empty() && lines[n - 2].empty() &&
               lines[n - 1].empty();
    }
};

inline ui::Button& PrintButton(Form11& f) {
    return f.Command1;
}
inline ui::Button& HeightButton(Form11& f) {
    return f.Command2;
}
inline ui::Button& PropertiesButton(Form11& f) {
    return f.Command3;
}
inline ui::Button& OtherKindButton(Form11& f) {
    return f.Command4;
}
inline ui::Button& EndButton(Form11& f) {
    return f.Command5;
}

}  // namespace heatx::ui::testing
