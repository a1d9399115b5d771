#include "results/spoken_results.h"

#include <array>
#include <sstream>
#include <vector>

namespace heatx {

namespace {

std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    for (const char c : text) {
        if (c == ' ' || c == '\r' || c == '\n' || c == '\t') {
            if (!word.empty()) {
                words.push_back(word);
                word.clear();
            }
        } else {
            word.push_back(c);
        }
    }
    if (!word.empty()) {
        words.push_back(word);
    }
    return words;
}

constexpr std::string_view kCoefficientUnit = "ватт на квадратный метр-кельвин";

}  // namespace

std::string SpokenResults(std::string_view resultsLine) {
    static constexpr std::array<std::string_view, 4> kHeadings = {
        "Коэффициент теплоотдачи в трубном пространстве",
        "коэффициент теплоотдачи в межтрубном пространстве",
        "коэффициент теплопередачи",
        "поверхность теплообмена",
    };
    static constexpr std::array<std::string_view, 4> kUnits = {kCoefficientUnit, kCoefficientUnit,
                                                               kCoefficientUnit, "квадратных метра"};
    const std::vector<std::string> values = Words(resultsLine);
    std::string spoken;
    for (std::size_t i = 0; i < kHeadings.size() && i < values.size(); ++i) {
        spoken += std::string(kHeadings[i]) + " " + values[i] + " " + std::string(kUnits[i]);
        spoken += i + 1 < kHeadings.size() && i + 1 < values.size() ? "; " : ".";
    }
    return spoken;
}

std::string SpokenCoolerReynolds(std::string_view reynoldsLine) {
    const std::vector<std::string> values = Words(reynoldsLine);
    if (values.size() < 2) {
        return std::string(reynoldsLine);
    }
    return "Число Рейнольдса в трубах " + values[0] + "; в межтрубном пространстве " + values[1] + ".";
}

std::string SpokenHeaterReynolds(std::string_view reynoldsCaption) {
    const std::vector<std::string> words = Words(reynoldsCaption);
    if (words.empty()) {
        return std::string(reynoldsCaption);
    }
    return "Число Рейнольдса в трубах " + words.back() + ".";
}

void AnnounceLabels(ui::Form& form, std::initializer_list<const ui::Label*> labels) {
    std::string text;
    for (const ui::Label* label : labels) {
        if (!label->Visible()) {
            continue;
        }
        std::string said = label->AccessibleName().empty() ? label->Caption() : label->AccessibleName();
        for (char& c : said) {
            if (c == '\r' || c == '\n') {
                c = ' ';
            }
        }
        if (said.find_first_not_of(' ') == std::string::npos) {
            continue;
        }
        if (!text.empty()) {
            text += ' ';
        }
        text += said;
    }
    form.Announce(text);
}

}  // namespace heatx
