// What a screen reader says for the results screens. The screens show the results as fixed-width
// columns under a five-line head, so that read as text the headings come first and the numbers last,
// without their units. The spoken texts give each value with its heading and unit, in the order the
// screen shows them, the numbers exactly as shown.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "ui/controls.h"
#include "ui/form.h"

namespace heatx {

// The spoken name of the head over the results.
inline constexpr std::string_view kSpokenResultsHead = "РЕЗУЛЬТАТЫ УТОЧНЁННОГО РАСЧЁТА.";

// The four results of a results line (tube side, shell side, overall coefficient, surface) with
// their headings and units.
std::string SpokenResults(std::string_view resultsLine);

// The Reynolds numbers of the cooler's line (in the tubes, in the intertube space).
std::string SpokenCoolerReynolds(std::string_view reynoldsLine);

// The heater's Reynolds number under its caption.
std::string SpokenHeaterReynolds(std::string_view reynoldsCaption);

// Has the window say its visible labels, in the order given (the screen's), each by its spoken name
// or its text.
void AnnounceLabels(ui::Form& form, std::initializer_list<const ui::Label*> labels);

}  // namespace heatx
