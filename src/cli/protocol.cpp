#include "protocol.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string_view>

#include "design_data/parameters.h"
#include "methods/messages.h"
#include "reports/layout.h"
#include "reports/result_lines.h"
#include "reports/text.h"
#include "variant.h"

namespace heatx::cli {

namespace {

constexpr int kSymbolWidth = 8;
constexpr int kValueWidth = 17;
constexpr int kUnitWidth = 20;
constexpr int kColumnWidth = 17;

constexpr std::string_view kRoot = "(Вт/м²)^(1/3)";  // the unit of the cube root of a heat flux
constexpr std::string_view kAlpha = "Вт/(м²·К)";

void Line(std::string& out, std::string_view text = {}) {
    out += text;
    out += '\n';
}

void Padded(std::string& out, std::string_view text, int width) {
    out += text;
    out += PadBlanks(text, width);
}

// A number written as in the formulas: a decimal comma, and a power of ten as "·10^N".
std::string Written(std::string text) {
    const std::size_t e = text.find_first_of("eE");
    std::string exponent;
    if (e != std::string::npos) {
        std::string_view digits = std::string_view(text).substr(e + 1);
        const bool negative = !digits.empty() && digits[0] == '-';
        if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) {
            digits.remove_prefix(1);
        }
        while (digits.size() > 1 && digits[0] == '0') {
            digits.remove_prefix(1);
        }
        exponent = std::string("·10^") + (negative ? "-" : "") + std::string(digits);
        text.resize(e);
    }
    const std::size_t point = text.find('.');
    if (point != std::string::npos) {
        text[point] = ',';
    }
    return text + exponent;
}

std::string Stored(float value) {
    return Written(Exact(value));
}

std::string WrittenDouble(double value, int digits) {
    std::array<char, 64> buffer{};
    const int n = std::snprintf(buffer.data(), buffer.size(), "%.*g", digits, value);
    return Written(std::string(buffer.data(), static_cast<std::size_t>(n)));
}

// A source value as the student typed it: the text itself when it is wholly one number (blanks
// removed, as the reading removes them; a decimal comma), otherwise the value read from its beginning
// with the text named in a note, so that no value in the protocol is one nobody typed.
struct TypedValue {
    std::string value;
    std::string note;  // empty, or "введено «TEXT»" when the text is more than one number
};

TypedValue Typed(std::string_view text, float stored) {
    std::string s;
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n') {
            s.push_back(c);
        }
    }
    std::size_t i = 0;
    std::string sign;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        sign = s[i] == '-' ? "-" : "";
        ++i;
    }
    const auto digitsFrom = [&](std::size_t from) {
        std::size_t to = from;
        while (to < s.size() && s[to] >= '0' && s[to] <= '9') {
            ++to;
        }
        return to;
    };
    std::size_t end = digitsFrom(i);
    std::string whole = s.substr(i, end - i);
    std::string fraction;
    if (end < s.size() && s[end] == '.') {
        const std::size_t to = digitsFrom(end + 1);
        fraction = s.substr(end + 1, to - end - 1);
        end = to;
    }
    std::string exponent;
    bool plain = !whole.empty() || !fraction.empty();
    if (plain && end < s.size() && std::string_view("eEdD").find(s[end]) != std::string_view::npos) {
        std::size_t j = end + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            ++j;
        }
        const std::size_t to = digitsFrom(j);
        plain = to > j;
        exponent = "e";
        exponent.append(s, end + 1, to - end - 1);
        end = to;
    }
    if (plain && end == s.size()) {
        std::string number = sign;
        number += whole.empty() ? std::string_view("0") : std::string_view(whole);
        if (!fraction.empty()) {
            number += '.';
            number += fraction;
        }
        return {Written(number + exponent), {}};
    }
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), stored);
    return {Written(std::string(buffer.data(), result.ptr)),
            "введено «" + TrimBlanks(text) + "», прочитано начало"};
}

// "  SYMBOL   = VALUE            UNIT                MEANING"
void Named(std::string& out, std::string_view symbol, std::string_view value, std::string_view unit,
           std::string_view meaning) {
    out += "  ";
    Padded(out, symbol, kSymbolWidth);
    out += " = ";
    Padded(out, value, kValueWidth);
    out += ' ';
    Padded(out, unit, kUnitWidth);
    out += ' ';
    out += meaning;
    while (out.back() == ' ') {
        out.pop_back();
    }
    out += '\n';
}

void Value(std::string& out, std::string_view symbol, float value, std::string_view unit,
           std::string_view meaning) {
    Named(out, symbol, Stored(value), unit, meaning);
}

// A value the method does not keep (it is part of a longer expression there, or not needed at all),
// computed here in double precision from the stored values for the comparison with a hand calculation.
void Derived(std::string& out, std::string_view symbol, double value, std::string_view unit,
             std::string_view formula) {
    Named(out, symbol, WrittenDouble(value, 6), unit, std::string("производное: ") + std::string(formula));
}

void Heading(std::string& out, std::string_view text) {
    Line(out);
    Line(out, text);
}

// Numbered steps: a step that does not apply to the apparatus is left out, and the numbers stay
// consecutive.
class Steps {
  public:
    explicit Steps(std::string& out) : out_(out) {}
    void Next(std::string_view text) { Heading(out_, std::to_string(++number_) + ". " + std::string(text)); }

  private:
    std::string& out_;
    int number_ = 0;
};

void Title(std::string& out, std::string_view title) {
    Line(out, title);
    Line(out, "Исходные данные — так, как они введены; остальные значения — так, как они хранятся в расчёте");
    Line(out, "(одинарная точность, 9 значащих цифр); «производное» — величина, которую расчёт не хранит:");
    Line(out, "она вычислена для протокола из хранимых значений.");
}

void SourceValue(std::string& out, std::string_view symbol, std::string_view text, float stored,
                 std::string_view unit, const std::string& label) {
    const TypedValue typed = Typed(text, stored);
    Named(out, symbol, typed.value, unit, typed.note.empty() ? label : label + " (" + typed.note + ")");
}

template <std::size_t N, std::size_t M, std::size_t K>
void Source(std::string& out, const DesignData& data, const std::array<ParameterInfo, N>& info,
            const std::array<std::string, M>& labels, const std::array<std::string, K>& texts, int from,
            int to) {
    for (int slot = from; slot <= to; ++slot) {
        const auto s = static_cast<std::size_t>(slot);
        SourceValue(out, info[s].symbol, texts[s], data.Values[s], info[s].unit, TrimBlanks(labels[s]));
    }
}

void Results(std::string& out, float alphaTube, float alphaShell, float overallK, float surface) {
    Heading(out, "Результаты");
    Value(out, "αтр", alphaTube, kAlpha, "AlphaTube: коэффициент теплоотдачи в трубном пространстве");
    Value(out, "αмтр", alphaShell, kAlpha, "AlphaShell: коэффициент теплоотдачи в межтрубном пространстве");
    Value(out, "K", overallK, kAlpha, "OverallK: коэффициент теплопередачи");
    Value(out, "F", surface, "м²", "SurfaceF: поверхность теплообмена");
}

void NotFinite(std::string& out) {
    Line(out);
    Line(out, std::string("Расчёт невозможен: ") + std::string(kNoFiniteResultMessage));
}

void Cell(std::string& out, std::string_view text) {
    Padded(out, text, kColumnWidth);
}

void CellValue(std::string& out, float value) {
    Cell(out, Stored(value));
}

void EndRow(std::string& out) {
    while (!out.empty() && out.back() == ' ') {
        out.pop_back();
    }
    out += '\n';
}

// A table's head: the names of its columns, then their units.
void TableHead(std::string& out, std::initializer_list<std::string_view> names,
               std::initializer_list<std::string_view> units) {
    for (const auto& row : {names, units}) {
        out += "  ";
        for (std::string_view text : row) {
            Cell(out, text);
        }
        EndRow(out);
    }
}

}  // namespace

void AppendEvaporatorProtocol(std::string& out, const DesignData& data, const EvaporatorTrace& t) {
    const auto& v = data.Values;
    Title(out, "ПРОТОКОЛ РАСЧЁТА ИСПАРИТЕЛЯ");
    Heading(out, "Исходные данные");
    Source(out, data, kEvaporatorParameters, data.EvaporatorLabels, data.EvaporatorTexts, 0,
           kEvaporatorSourceCount - 1);
    SourceValue(out, "H", data.EvaporatorTexts[kTubeHeightSlot], v[kTubeHeightSlot], "м", "высота труб");

    Steps step(out);
    step.Next("Коэффициент B теплоотдачи при кипении (αкип = B·q^0,6)");
    Value(out, "T1", t.T1, "(часть B)", "λ^1,3·780·√(ρ/σ)");
    Value(out, "T2", t.T2, "(часть B)", "ρп^0,06·T1/r^0,6");
    Value(out, "B", t.B, "Вт^0,4/(м^0,8·К)", "T2/(ρп0^0,66·(μ·c)^0,3)");
    Line(out, "   T1 и T2 — части эмпирической формулы B (исходные величины в единицах СИ); единица B");
    Line(out, "   следует из αкип = B·q^0,6.");
    step.Next("Коэффициент A теплоотдачи при конденсации (αконд = A·q^(−1/3))");
    Value(out, "z", t.z, "Вт/м⁵", "ρк·9,81·ρк·rк/(H·μк)");
    Value(out, "L", t.lnZ, "—", "ln z (z в Вт/м⁵)");
    Value(out, "A", t.A, "Вт^(4/3)/(м^(8/3)·К)", "λк·1,21·exp(L/3)");
    step.Next("Критическая плотность теплового потока");
    Value(out, "P", t.P, "кг/(м²·с)", "√√(ρ·9,81·σ)·√ρп");
    Value(out, "qкр", t.qcr, "Вт/м²", "P·0,14·r");
    step.Next("Начальные точки (неизвестное s — кубический корень плотности теплового потока)");
    Value(out, "x", 1.0f, kRoot, "нижняя точка");
    Value(out, "y", t.yStart, kRoot, "верхняя точка, qкр^(1/3)");

    step.Next("Итерации: хорда сдвигает нижнюю точку x, касательная — верхнюю y,");
    Line(out, "   f(s) = s^1,2/B + s^4/A + Σr·s³ − Δt, f′(s) = 1,2·s^0,2/B + 3·Σr·s² + 4·s³/A;");
    Line(out, "   в строке — точки после итерации с номером строки и значения в них для следующей итерации");
    TableHead(out, {"№", "x", "y", "f(x)", "f(y)", "f′(y)", "y − x"},
              {"", kRoot, kRoot, "°C", "°C", "°C/(Вт/м²)^(1/3)", kRoot});
    const std::size_t count = t.iterations.size();
    for (std::size_t k = 0; k <= count; ++k) {
        out += "  ";
        Cell(out, std::to_string(k));
        const float x = k == 0 ? 1.0f : t.iterations[k - 1].xNew;
        const float y = k == 0 ? t.yStart : t.iterations[k - 1].yNew;
        CellValue(out, x);
        CellValue(out, y);
        if (k < count) {
            CellValue(out, t.iterations[k].fx);
            CellValue(out, t.iterations[k].fy);
            CellValue(out, t.iterations[k].dfy);
        } else {
            for (int i = 0; i < 3; ++i) {
                Cell(out, "");
            }
        }
        if (k > 0 && t.iterations[k - 1].dStored) {
            CellValue(out, t.iterations[k - 1].d);
        }
        EndRow(out);
    }
    if (t.converged) {
        Line(out, "   Разность точек не больше 0,1: итерации закончены.");
    }
    Line(out);
    Line(out, "   Степени в итерациях (при точках строки с тем же номером в таблице выше)");
    TableHead(out, {"№", "x³", "y²", "y³", "y⁴"}, {"", "Вт/м²", "(Вт/м²)^(2/3)", "Вт/м²", "(Вт/м²)^(4/3)"});
    for (std::size_t k = 0; k < count; ++k) {
        const EvaporatorIteration& it = t.iterations[k];
        out += "  ";
        Cell(out, std::to_string(k));
        CellValue(out, it.x3);
        CellValue(out, it.y2);
        CellValue(out, it.y3);
        CellValue(out, it.y4);
        EndRow(out);
    }

    if (!t.converged) {
        Line(out);
        if (count > 0 && !(t.iterations.back().xNew >= 1.0f)) {
            Line(out, "Нижняя точка меньше 1: корень вне интервала, расчёт невозможен.");
        } else if (count > 0 && !(t.iterations.back().yNew >= t.iterations.back().xNew)) {
            Line(out, "Верхняя точка ниже нижней: корень вне интервала, расчёт невозможен.");
            if (t.iterations.front().fy < 0.0f) {
                Line(out,
                     "f(y) < 0 в верхней начальной точке: требуемая плотность теплового потока выше "
                     "критической qкр.");
            }
        } else {
            Line(out, "Итерации не сошлись, расчёт невозможен.");
        }
        Line(out, std::string(kEvaporatorFailureMessage));
        return;
    }
    step.Next("Средняя точка и плотность теплового потока");
    Value(out, "m", t.m, kRoot, "(x + y)/2");
    Value(out, "q", t.q, "Вт/м²", "m³");
    // The flux found must stay below the critical flux of boiling: the check a hand calculation makes.
    const bool below = t.q < t.qcr;
    Line(out, std::string("   Проверка q < qкр: ") + Stored(t.q) + (below ? " < " : " ≥ ") + Stored(t.qcr) +
                  " Вт/м², q/qкр = " + WrittenDouble(static_cast<double>(t.q) / t.qcr, 3) +
                  (below ? ": плотность теплового потока ниже критической."
                         : ": плотность теплового потока НЕ ниже критической!"));
    Results(out, t.AlphaTube, t.AlphaShell, t.OverallK, t.SurfaceF);
    Line(out, "   αтр = q^0,6·B; αмтр = q^(−1/3)·A; K = q/Δt; F = Q/q.");
    if (data.DataError != 0) {
        NotFinite(out);
    }
}

void AppendHeaterProtocol(std::string& out, const DesignData& data, const HeaterTrace& t) {
    const bool horizontal = data.HorizontalTubes != 0;
    const auto& v = data.Values;
    Title(out, horizontal ? "ПРОТОКОЛ РАСЧЁТА ПОДОГРЕВАТЕЛЯ (ДЕФЛЕГМАТОРА), ТРУБЫ ГОРИЗОНТАЛЬНЫЕ"
                          : "ПРОТОКОЛ РАСЧЁТА ПОДОГРЕВАТЕЛЯ (ДЕФЛЕГМАТОРА), ТРУБЫ ВЕРТИКАЛЬНЫЕ");
    Heading(out, "Исходные данные");
    Source(out, data, kHeaterParameters, data.HeaterLabels, data.HeaterTexts, 0, kHeaterSourceCount - 1);
    Source(out, data, kHeaterParameters, data.HeaterLabels, data.HeaterTexts, 12, 13);
    if (horizontal) {
        Source(out, data, kHeaterParameters, data.HeaterLabels, data.HeaterTexts, 14, 14);
    } else {
        SourceValue(out, "H", data.HeaterTexts[14], v[14], "м", TrimBlanks(data.HeaterLabels[16]));
    }
    Source(out, data, kHeaterParameters, data.HeaterLabels, data.HeaterTexts, 15, 15);

    const double di = static_cast<double>(v[12]) - 0.004;
    Steps step(out);
    if (horizontal) {
        step.Next("Коэффициент ε пучка горизонтальных труб");
        Value(out, "ε", t.epsilon, "—", v[15] > 100 ? "0,6: труб больше 100" : "0,7: труб не больше 100");
    }
    step.Next("Число Рейнольдса в трубах");
    Derived(out, "di", di, "м", "d − 0,004, внутренний диаметр труб");
    Value(out, "Re", t.ReTube, "—", "ReTube: G·4·z/(di·μ·π·n)");
    step.Next("Проверка режима: Re > 2300?");
    if (t.laminar) {
        Line(out, "   Нет: ламинарное течение в трубах, расчёт невозможен.");
        Line(out, HeaterLaminarLine(data));
        return;
    }
    Line(out, t.ReTube < 10000.0f ? "   Да: переходная область (Re < 10000)"
                                  : "   Да: турбулентное течение (Re ≥ 10000)");
    step.Next("Постоянные формулы теплоотдачи в трубах (α = C·(λ/di)·Re^m·Pr^0,43)");
    Value(out, "C", t.C, "—", "постоянная");
    Value(out, "m", t.mExp, "—", "показатель степени числа Re");
    step.Next("Теплоотдача в трубах");
    Value(out, "α′", t.alphaStage, kAlpha, "Re^m·(λ/di·C)");
    Derived(out, "Pr", static_cast<double>(v[7]) * v[6] / v[5], "—", "c·μ/λ, число Прандтля в трубах");
    Value(out, "αтр", t.AlphaTube, kAlpha, "Pr^0,43·α′");
    Derived(out, "Nu", static_cast<double>(t.AlphaTube) * di / v[5], "—",
            "αтр·di/λ, число Нуссельта в трубах (= C·Re^m·Pr^0,43)");
    step.Next(horizontal ? "Конденсация на горизонтальных трубах: E = ε·2,02, S = L"
                         : "Конденсация на вертикальных трубах: E = 3,78, S = d");
    Value(out, "E", t.E, "м^(1/3)/с^(2/3)", "коэффициент формулы конденсации (включает g^(1/3))");
    Value(out, "S", t.size, "м", horizontal ? "длина труб" : "наружный диаметр труб");
    Value(out, "αмтр", t.AlphaShell, kAlpha, "(ρк·ρк·n·S/(Gп·μк))^(1/3)·(E·λк)");
    step.Next("Теплопередача и поверхность");
    Value(out, "K", t.OverallK, kAlpha, "1/(1/αтр + Σr + 1/αмтр)");
    Derived(out, "Q", static_cast<double>(v[4]) * v[2], "Вт", "Gп·rк, тепловая нагрузка");
    Value(out, "F", t.SurfaceF, "м²", "Q/(K·Δt)");
    Results(out, t.AlphaTube, t.AlphaShell, t.OverallK, t.SurfaceF);
    Value(out, "Re", t.ReTube, "—", "ReTube: число Рейнольдса в трубах");
    if (data.DataError != 0) {
        NotFinite(out);
    }
}

void AppendCoolerProtocol(std::string& out, const DesignData& data, const CoolerTrace& t) {
    const auto& v = data.Values;
    const bool laminar = t.tubeLaw == CoolerTubeLaw::Laminar;
    Title(out, "ПРОТОКОЛ РАСЧЁТА ХОЛОДИЛЬНИКА");
    Heading(out, "Исходные данные");
    Source(out, data, kCoolerParameters, data.CoolerLabels, data.CoolerTexts, 0, kCoolerLabelCount - 1);

    Steps step(out);
    step.Next("Трубное пространство: числа Рейнольдса, Прандтля и Грасгофа (без разности температур)");
    Value(out, "di", t.di, "м", "d − 0,004");
    Value(out, "T", t.T, "кг/с", "n·π·μ1·di");
    Value(out, "Re1", t.ReTube, "—", "ReTube: G1·4·z/T");
    const double di = t.di;
    Derived(out, "w1", 4.0 * v[5] * v[14] / (static_cast<double>(v[1]) * M_PI * di * di * v[16]), "м/с",
            "4·G1·z/(ρ1·π·di²·n), скорость в трубах");
    Value(out, "Pr1", t.Pr1, "—", "c1·μ1/λ1");
    Value(out, "di³", t.di3, "м³", "di·di·di");
    Value(out, "ρ1²", t.rho1Sq, "(кг/м³)²", "ρ1·ρ1");
    Value(out, "μ1²", t.mu1Sq, "(Па·с)²", "μ1·μ1");
    Value(out, "Gr′", t.Gr, "1/К", "di³·9,81·ρ1²·β/μ1²");
    Value(out, "ln Re1", t.lnRe, "—", "");
    Value(out, "ln Pr1", t.lnPr, "—", "");
    switch (t.tubeLaw) {
        case CoolerTubeLaw::Laminar:
            step.Next("Re1 < 2300: ламинарный режим, α0 = (λ1/di·0,15)·Re1^0,33·Pr1^0,43·Gr′^0,1");
            break;
        case CoolerTubeLaw::Transitional:
            step.Next("2300 ≤ Re1 < 10000: переходный режим, α0 = (λ1/di·0,008)·Re1^0,9·Pr1^0,43");
            break;
        case CoolerTubeLaw::Turbulent:
            step.Next("Re1 ≥ 10000: турбулентный режим, α0 = (λ1/di·0,023)·Re1^0,8·Pr1^0,43");
            break;
    }
    const auto nusseltTube = [&] {
        Derived(out, "Nu1", static_cast<double>(t.AlphaTube) * di / v[0], "—",
                "αтр·di/λ1, число Нуссельта в трубах");
    };
    Value(out, "f", t.factor, kAlpha, "первый множитель, λ1/di·постоянная");
    if (laminar) {
        Value(out, "α0", t.alpha0, "Вт/(м²·К^1,1)", "коэффициент теплоотдачи в трубах до уточнения");
        Line(out,
             "   α0 ещё без множителя Δtпл^0,1 (Gr = Gr′·Δtпл), отсюда его единица; первое приближение K");
        Line(out, "   ниже берёт α0 за αтр.");
    } else {
        Value(out, "α0", t.alpha0, kAlpha, "коэффициент теплоотдачи в трубах (αтр)");
        nusseltTube();
    }
    step.Next("Межтрубное пространство (по наружному диаметру)");
    Value(out, "Re2", t.ReShell, "—", "ReShell: d·G2/(S·μ2)");
    Value(out, "Pr2", t.Pr2, "—", "c2·μ2/λ2");
    Line(out, t.shellLaw == CoolerShellLaw::SquareRoot
                  ? "   Re2 ≤ 1000: закон квадратного корня, αмтр = 0,336·(λ2/d)·√Re2·Pr2^0,36"
                  : "   Re2 > 1000: αмтр = Pr2^0,36·(Re2^0,6·(λ2/d·0,24))");
    Value(out, "αмтр", t.AlphaShell, kAlpha, "коэффициент теплоотдачи в межтрубном пространстве");
    Derived(out, "Nu2", static_cast<double>(t.AlphaShell) * v[13] / v[6], "—",
            "αмтр·d/λ2, число Нуссельта в межтрубном пространстве");
    step.Next("Разность температур и теплопередача");
    Value(out, "Δt", t.dt, "°C", "εΔt·Δtлог");
    Value(out, "K", t.OverallK0, kAlpha,
          laminar ? "1/((1/αмтр + Σr) + 1/α0), первое приближение" : "1/((1/αмтр + Σr) + 1/α0)");
    if (laminar) {
        step.Next("Уточнение при ламинарном режиме: Δtпл = Δt·K/αтр, w = Δtпл^0,1, αтр = w·α0,");
        Line(out, "   K = 1/((1/αмтр + Σr) + 1/αтр), δ = (K − Kстар)/K; повтор, пока δ > 0,1");
        TableHead(out, {"№", "Kстар", "Δtпл", "w", "αтр", "K", "δ"},
                  {"", kAlpha, "°C", "К^0,1", kAlpha, kAlpha, "—"});
        for (std::size_t k = 0; k < t.passes.size(); ++k) {
            const CoolerRefinementPass& p = t.passes[k];
            out += "  ";
            Cell(out, std::to_string(k + 1));
            for (float value : {p.kOld, p.drop, p.w, p.AlphaTube, p.OverallK, p.delta}) {
                CellValue(out, value);
            }
            EndRow(out);
        }
        nusseltTube();
    }
    step.Next("Поверхность теплообмена");
    Value(out, "F", t.SurfaceF, "м²", "Q/(Δt·K)");
    Results(out, t.AlphaTube, t.AlphaShell, t.OverallK, t.SurfaceF);
    Value(out, "Re1", t.ReTube, "—", "ReTube: число Рейнольдса в трубах");
    Value(out, "Re2", t.ReShell, "—", "ReShell: число Рейнольдса в межтрубном пространстве");
    if (data.DataError != 0) {
        NotFinite(out);
    }
}

void AppendProtocol(std::string& out, Kind kind, const DesignData& data, const Recorders& traces) {
    switch (kind) {
        case Kind::Evaporator:
            AppendEvaporatorProtocol(out, data, *traces.evaporator);
            break;
        case Kind::Heater:
            AppendHeaterProtocol(out, data, *traces.heater);
            break;
        case Kind::Cooler:
            AppendCoolerProtocol(out, data, *traces.cooler);
            break;
    }
}

}  // namespace heatx::cli
