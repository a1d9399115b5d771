#include "results/construction.h"

#include "design_data/numeric.h"
#include "design_data/validation.h"
#include "methods/messages.h"

namespace heatx {

int ContinueQuestion(ui::Platform& platform) {
    return platform.YesNoBox(std::string(kConstructionErrorMessage) + std::string(kContinueQuestion),
                             std::string(kErrorTitle));
}

void ReadBoundedValue(RunContext& run, int slot, std::string& valueText, const std::string& prompt,
                      const std::string& title, int xTwips, int yTwips, float lower, float upper,
                      const std::function<void()>& closingAction, const std::string& defaultText) {
    ui::Platform& platform = run.platform;
    DesignData& data = run.data;
    float& value = data.Values.at(static_cast<std::size_t>(slot));
    for (;;) {
        // Every answer is kept as typed (normalised), even one that is then refused.
        valueText = platform.InputBox(prompt, title, defaultText, xTwips, yTwips);
        valueText = NormalizeDecimal(valueText);
        value = ReadValue(valueText);
        if (WithinSingleBounds(value, SingleBounds{lower, upper})) {
            return;
        }
        platform.Beep();
        const int answer = ContinueQuestion(platform);
        data.MsgAnswer = static_cast<float>(answer);
        if (answer == ui::kNo) {
            if (closingAction) {
                closingAction();
            }
            platform.EndProgram();
        }
    }
}

}  // namespace heatx
