#include "methods/run_cooler.h"

#include <string>

#include "design_data/design_data.h"
#include "methods/calc.h"
#include "reports/layout.h"
#include "reports/result_lines.h"
#include "results/results_forms.h"

namespace heatx {

void RunCooler(ui::Platform& platform) {
    DesignData& data = platform.Data();
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

    form.Label4.SetCaption(CoolerResultsLine(data));
    form.Label6.SetCaption(CoolerReynoldsLine(data));

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
}

}  // namespace heatx
