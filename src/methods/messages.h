// Texts of the error questions shown by the run procedures and the results screens.
#pragma once

#include <string_view>

namespace heatx {

inline constexpr std::string_view kErrorTitle = "ОШИБКА !";
inline constexpr std::string_view kContinueQuestion = "    Продолжаете работу ?";
// The evaporator's root search failed.
inline constexpr std::string_view kEvaporatorFailureMessage =
    "Ошибка в исходной информации(см.массив физсвойств.)";
// The heater's or the cooler's calculation gives a result that is not a finite number.
inline constexpr std::string_view kNoFiniteResultMessage =
    "Исходные данные не дают конечного результата расчёта.";
// The tube height lies outside 1..10 m.
inline constexpr std::string_view kTubeHeightMessage = "Высота труб от 1 до 10 метров.";
// A construction value lies outside its bounds.
inline constexpr std::string_view kConstructionErrorMessage = "ОШИБКА В ИСХОДНОЙ ИНФОРМАЦИИ";

}  // namespace heatx
