#include "methods/run_heater.h"

#include <string>

#include "design_data/design_data.h"
#include "methods/calc.h"
#include "methods/messages.h"
#include "reports/result_lines.h"
#include "results/results_forms.h"
#include "results/spoken_results.h"
#include "ui/color.h"

namespace heatx {

namespace {
constexpr ui::Color kRed = ui::Rgb(255, 0, 0);
constexpr ui::Color kDarkBlue = ui::Rgb(0, 0, 192);
}  // namespace

void RunHeater(RunContext& run) {
    ui::Platform& platform = run.platform;
    DesignData& data = run.data;
    Form9& form = platform.Forms().Get<Form9>();

    CalcHeater(data);

    // Construction lines: the type, then diameter, passes, length (or height) and tubes.
    form.L(0).SetCaption(data.HeaterLabels[11] +
                         (data.HorizontalTubes != 0 ? "ГОРИЗОНТАЛЬНЫЙ" : "ВЕРТИКАЛЬНЫЙ"));
    for (int i = 1; i <= 4; ++i) {
        const auto slot = static_cast<std::size_t>(11 + i);
        form.L(i).SetCaption(data.HeaterLabels[slot] + data.HeaterTexts[slot]);
    }
    if (data.HorizontalTubes == 0) {
        // Vertical tubes: slot 14 holds the tube height.
        form.L(3).SetCaption(data.HeaterLabels[16] + data.HeaterTexts[14]);
    }
    for (int i = 0; i <= 4; ++i) {
        form.L(i).Show();
    }
    form.Command1.Show();
    form.Command2.Show();
    form.Command3.Show();
    form.Command4.Show();
    form.Command5.Show();
    form.Label2.Show();

    if (data.DataError != 0 && !HeaterFlowRefused(data)) {
        // A result that is not a finite number: no result and no printing, and the error question
        // as after a failed evaporator calculation.
        form.Command1.Hide();
        form.Label1.Hide();
        form.Label2.Hide();
        form.Label6.Hide();
        platform.Beep();
        const int answer = platform.YesNoBox(
            std::string(kNoFiniteResultMessage) + std::string(kContinueQuestion), std::string(kErrorTitle));
        data.MsgAnswer = static_cast<float>(answer);
        if (answer == kAnswerNo) {
            if (data.ReportPrinted != 0) {
                platform.Printer().EndDoc();
            }
            platform.EndProgram();
        }
        return;
    }
    if (data.DataError != 0) {
        // Laminar flow in the tubes: no result, no printing.
        platform.Beep();
        form.Label6.Show();
        form.Label6.SetForeColor(kRed);
        form.Label6.SetCaption(HeaterLaminarLine(data));
        form.Label6.SetAccessibleName("");
        AnnounceLabels(form, {&form.Label6});
        form.Command1.Hide();
        form.Label1.Hide();
        form.Label2.Hide();
        return;
    }

    form.Label1.Show();
    form.Label2.Show();
    form.Label2.SetCaption(HeaterResultsLine(data));
    form.Label6.SetForeColor(kDarkBlue);
    form.Label1.Show();
    form.Label6.Show();
    form.Label6.SetCaption(HeaterReynoldsCaption(data));
    form.Label1.SetAccessibleName(std::string(kSpokenResultsHead));
    form.Label2.SetAccessibleName(SpokenResults(HeaterResultsLine(data)));
    form.Label6.SetAccessibleName(SpokenHeaterReynolds(HeaterReynoldsCaption(data)));
    form.Show();
    AnnounceLabels(form, {&form.Label1, &form.Label2, &form.Label6});
}

}  // namespace heatx
