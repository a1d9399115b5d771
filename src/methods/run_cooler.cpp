#include "methods/run_cooler.h"

#include <string>

#include "design_data/design_data.h"
#include "methods/calc.h"
#include "methods/messages.h"
#include "reports/layout.h"
#include "reports/result_lines.h"
#include "results/results_forms.h"
#include "results/spoken_results.h"

namespace heatx {

void RunCooler(RunContext& run) {
    ui::Platform& platform = run.platform;
    DesignData& data = run.data;
    Form13& form = platform.Forms().Get<Form13>();

    form.List1.Hide();
    form.Command6.Hide();

    // The five construction lines: diameter, passes, mixed-flow factor, tubes, narrowest section.
    for (int i = 0; i <= 4; ++i) {
        const auto slot = static_cast<std::size_t>(13 + i);
        const std::string& label = data.CoolerLabels[slot];
        form.L(i).Show();
        form.L(i).SetCaption(label + PadBlanks(label, 75) + data.CoolerTexts[slot]);
    }

    CalcCooler(data);

    if (!ResultsFinite(data)) {
        // A result that is not a finite number: no results line, no printing, and the error question
        // as after a failed evaporator calculation.
        for (ui::Label* label : {&form.Label1, &form.Label4, &form.Label5, &form.Label6}) {
            label->Hide();
        }
        form.Command1.Hide();
        form.Command2.Show();
        form.Command3.Show();
        form.Command4.Show();
        form.Command5.Show();
        form.Hide();
        form.Show();
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

    form.Label4.SetCaption(CoolerResultsLine(data));
    form.Label6.SetCaption(CoolerReynoldsLine(data));
    form.Label1.SetAccessibleName(std::string(kSpokenResultsHead));
    form.Label4.SetAccessibleName(SpokenResults(CoolerResultsLine(data)));
    form.Label5.SetAccessibleName("Числа Рейнольдса.");
    form.Label6.SetAccessibleName(SpokenCoolerReynolds(CoolerReynoldsLine(data)));

    form.Command1.Show();
    form.Command2.Show();
    form.Command3.Show();
    form.Command4.Show();
    form.Command5.Show();
    form.Label1.Show();
    form.Label4.Show();
    form.Label5.Show();
    form.Label6.Show();

    // Hidden and shown again, so that the window comes to the front.
    form.Hide();
    form.Show();
    AnnounceLabels(form, {&form.Label1, &form.Label4, &form.Label5, &form.Label6});
}

}  // namespace heatx
