// The evaporator run: from the accepted source data through the tube height and the calculation to
// the results window Form11.
#include "methods/run_evaporator.h"

#include <string>
#include <string_view>

#include "design_data/numeric.h"
#include "design_data/validation.h"
#include "methods/calc.h"
#include "methods/messages.h"
#include "navigation/app_form.h"
#include "reports/result_lines.h"
#include "results/results_forms.h"
#include "results/spoken_results.h"
#include "source_data/source_data_forms.h"

namespace heatx {

namespace {

constexpr const char* kTubeHeightPrompt = "  ВВЕДИТЕ ВЫСОТУ ТРУБ, М ";
constexpr const char* kTubeHeightTitle = "ВВОД ВЫСОТЫ ТРУБ";
constexpr int kTubeHeightBoxX = 2000;
constexpr int kTubeHeightBoxY = 1000;

// The error question: the message, the continuation question, Yes and No without icon.
int AskToContinue(RunContext& run, std::string_view message) {
    ui::Platform& platform = run.platform;
    const int answer =
        platform.YesNoBox(std::string(message) + std::string(kContinueQuestion), std::string(kErrorTitle));
    run.data.MsgAnswer = static_cast<float>(answer);
    return answer;
}

// A No answer: the source-data window is closed (unloaded, then hidden), the other windows go, and
// the run ends. An open report is ended by the end of the run itself.
[[noreturn]] void CloseAndEnd(ui::Platform& platform) {
    platform.Forms().Unload<Form10>();
    platform.Forms().Get<Form10>().Hide();
    CloseOtherForms(platform);
    platform.EndProgram();
}

}  // namespace

void TubeHeightDialog(RunContext& run) {
    ui::Platform& platform = run.platform;
    DesignData& data = run.data;
    std::string& heightText = data.EvaporatorTexts[kTubeHeightSlot];
    for (;;) {
        heightText =
            platform.InputBox(kTubeHeightPrompt, kTubeHeightTitle,
                              run.demonstration ? std::string(kEvaporatorReferenceHeight) : std::string(),
                              kTubeHeightBoxX, kTubeHeightBoxY);
        heightText = NormalizeDecimal(heightText);
        data.Values[kTubeHeightSlot] = ReadValue(heightText);
        if (TubeHeightAccepted(data.Values[kTubeHeightSlot])) {
            return;
        }
        platform.Beep();
        if (AskToContinue(run, kTubeHeightMessage) == kAnswerNo) {
            CloseAndEnd(platform);
        }
    }
}

void EvaporatorFailureQuestion(RunContext& run) {
    ui::Platform& platform = run.platform;
    platform.Beep();
    if (AskToContinue(run, kEvaporatorFailureMessage) == kAnswerNo) {
        CloseAndEnd(platform);
    }
}

void RunEvaporator(RunContext& run) {
    ui::Platform& platform = run.platform;
    DesignData& data = run.data;
    data.BadIndex = ValidateEvaporatorData(data);
    if (data.DataError != kFalse) {
        // The faulty line is shown on the source-data window, and the error dialog decides what next.
        platform.Forms().Get<Form10>().PresentSourceDataError();
        platform.Forms().Get<Form8>().Show();
        return;
    }

    platform.Forms().Unload<Form10>();
    platform.Forms().Get<Form10>().Hide();
    CloseOtherForms(platform);

    {
        Form11& results = platform.Forms().Get<Form11>();
        results.SetResultsVisible(false);
        results.Show();
    }

    TubeHeightDialog(run);

    {
        Form11& results = platform.Forms().Get<Form11>();
        results.Label1.SetCaption(TubeHeightCaption(data.EvaporatorTexts[kTubeHeightSlot]));
        results.SetResultsVisible(true);
    }

    CalcEvaporator(data, [&platform] { platform.Beep(); });

    Form11& results = platform.Forms().Get<Form11>();
    if (data.DataError != kFalse) {
        results.SetResultsVisible(false);
        results.Label1.Show();
        EvaporatorFailureQuestion(run);
        // No results to print: the print button stays hidden.
        results.Command2.Show();
        results.Command3.Show();
        results.Command4.Show();
        results.Command5.Show();
        return;
    }
    results.Label2.SetCaption(EvaporatorResultsCaption(data, false));
    results.Label2.SetAccessibleName(std::string(kSpokenResultsHead) + " " +
                                     SpokenResults(EvaporatorResultsLine(data)));
    AnnounceLabels(results, {&results.Label1, &results.Label2});
}

}  // namespace heatx
