// The printed report of a design task: a dated page head with the student's name and the source data,
// then the results of every print press (one table row for the evaporator, a complete block with the
// construction for the heater or dephlegmator and the cooler). Every line has a left margin of twelve
// blanks; the font is "Courier New Cyr" at 9 points.
#pragma once

#include <string>
#include <string_view>

#include "design_data/design_data.h"
#include "reports/clock.h"
#include "reports/printer.h"

namespace heatx {

// The title of a report's print job: the apparatus ("Расчет испарителя"), the student and the date
// and time, e.g. "Расчет испарителя - Иванов гр. Х-1 - 2024-03-15 10:30:00".
std::string ReportJobTitle(std::string_view apparatusTitle, std::string_view studentName, const Clock& clock);

// Page head and the 15 evaporator source lines.
void PrintEvaporatorSourcePage(DesignData& data, Printer& printer, const Clock& clock);
// Page head and table head when still pending (clearing their flags), then one result row for the
// current tube height.
void PrintEvaporatorResult(DesignData& data, Printer& printer, const Clock& clock);

// Page head and the 11 heater source lines.
void PrintHeaterSourcePage(DesignData& data, Printer& printer, const Clock& clock);
// Page head when still pending (clearing its flag), then the construction and the result table.
void PrintHeaterResult(DesignData& data, Printer& printer, const Clock& clock);

// Page head and the 13 cooler source lines.
void PrintCoolerSourcePage(DesignData& data, Printer& printer, const Clock& clock);
// Page head when still pending (clearing its flag), then the construction and the result table.
void PrintCoolerResult(DesignData& data, Printer& printer, const Clock& clock);

}  // namespace heatx
