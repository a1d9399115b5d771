#include "protocol.h"

#include <cmath>
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
constexpr int kUnitWidth = 11;
constexpr int kColumnWidth = 17;

void Line(std::string& out, std::string_view text = {}) {
    out += text;
    out += '\n';
}

void Padded(std::string& out, std::string_view text, int width) {
    out += text;
    out += PadBlanks(text, width);
}

// "  SYMBOL   = VALUE            UNIT        MEANING"
void Value(std::string& out, std::string_view symbol, float value, std::string_view unit,
           std::string_view meaning) {
    out += "  ";
    Padded(out, symbol, kSymbolWidth);
    out += " = ";
    Padded(out, Exact(value), kValueWidth);
    out += ' ';
    Padded(out, unit, kUnitWidth);
    out += ' ';
    out += meaning;
    while (out.back() == ' ') {
        out.pop_back();
    }
    out += '\n';
}

void Heading(std::string& out, std::string_view text) {
    Line(out);
    Line(out, text);
}

void Title(std::string& out, std::string_view title) {
    Line(out, title);
    Line(out, "Значения записаны так, как они хранятся в расчёте (одинарная точность, 9 значащих цифр).");
}

template <std::size_t N, std::size_t M>
void Source(std::string& out, const DesignData& data, const std::array<ParameterInfo, N>& info,
            const std::array<std::string, M>& labels, int from, int to) {
    for (int slot = from; slot <= to; ++slot) {
        const auto s = static_cast<std::size_t>(slot);
        Value(out, info[s].symbol, data.Values[s], info[s].unit, TrimBlanks(labels[s]));
    }
}

void Results(std::string& out, float alphaTube, float alphaShell, float overallK, float surface) {
    Heading(out, "Результаты");
    Value(out, "αтр", alphaTube, "Вт/(м²·К)", "AlphaTube: коэффициент теплоотдачи в трубном пространстве");
    Value(out, "αмтр", alphaShell, "Вт/(м²·К)",
          "AlphaShell: коэффициент теплоотдачи в межтрубном пространстве");
    Value(out, "K", overallK, "Вт/(м²·К)", "OverallK: коэффициент теплопередачи");
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
    Cell(out, Exact(value));
}

void EndRow(std::string& out) {
    while (!out.empty() && out.back() == ' ') {
        out.pop_back();
    }
    out += '\n';
}

}  // namespace

void AppendEvaporatorProtocol(std::string& out, const DesignData& data, const EvaporatorTrace& t) {
    Title(out, "ПРОТОКОЛ РАСЧЁТА ИСПАРИТЕЛЯ");
    Heading(out, "Исходные данные");
    Source(out, data, kEvaporatorParameters, data.EvaporatorLabels, 0, kEvaporatorSourceCount - 1);
    Value(out, "H", data.Values[kTubeHeightSlot], "м", "высота труб");

    Heading(out, "1. Коэффициент B теплоотдачи при кипении (αкип = B·q^0,6)");
    Value(out, "T1", t.T1, "", "λ^1,3·780·√(ρ/σ)");
    Value(out, "T2", t.T2, "", "ρп^0,06·T1/r^0,6");
    Value(out, "B", t.B, "", "T2/(ρп0^0,66·(μ·c)^0,3)");
    Heading(out, "2. Коэффициент A теплоотдачи при конденсации (αконд = A·q^(−1/3))");
    Value(out, "z", t.z, "", "ρк·9,81·ρк·rк/(H·μк)");
    Value(out, "L", t.lnZ, "", "ln z");
    Value(out, "A", t.A, "", "λк·1,21·exp(L/3)");
    Heading(out, "3. Критическая плотность теплового потока");
    Value(out, "P", t.P, "", "√√(ρ·9,81·σ)·√ρп");
    Value(out, "qкр", t.qcr, "Вт/м²", "P·0,14·r");
    Heading(out, "4. Начальные точки (неизвестное s — кубический корень плотности теплового потока)");
    Value(out, "x", 1.0f, "", "нижняя точка");
    Value(out, "y", t.yStart, "", "верхняя точка, qкр^(1/3)");

    Heading(out, "5. Итерации: хорда сдвигает нижнюю точку x, касательная — верхнюю y,");
    Line(out, "   f(s) = s^1,2/B + s^4/A + Σr·s³ − Δt, f′(s) = 1,2·s^0,2/B + 3·Σr·s² + 4·s³/A;");
    Line(out, "   в строке — точки после итерации с номером строки и значения в них для следующей итерации");
    out += "  ";
    for (std::string_view head : {"№", "x", "y", "f(x)", "f(y)", "f′(y)", "y − x"}) {
        Cell(out, head);
    }
    EndRow(out);
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
    out += "  ";
    for (std::string_view head : {"№", "x³", "y²", "y³", "y⁴"}) {
        Cell(out, head);
    }
    EndRow(out);
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
        } else {
            Line(out, "Итерации не сошлись, расчёт невозможен.");
        }
        Line(out, std::string(kEvaporatorFailureMessage));
        return;
    }
    Heading(out, "6. Средняя точка и плотность теплового потока");
    Value(out, "m", t.m, "", "(x + y)/2");
    Value(out, "q", t.q, "Вт/м²", "m³");
    Results(out, t.AlphaTube, t.AlphaShell, t.OverallK, t.SurfaceF);
    Line(out, "   αтр = q^0,6·B; αмтр = q^(−1/3)·A; K = q/Δt; F = Q/q.");
    if (data.DataError != 0) {
        NotFinite(out);
    }
}

void AppendHeaterProtocol(std::string& out, const DesignData& data, const HeaterTrace& t) {
    const bool horizontal = data.HorizontalTubes != 0;
    Title(out, horizontal ? "ПРОТОКОЛ РАСЧЁТА ПОДОГРЕВАТЕЛЯ (ДЕФЛЕГМАТОРА), ТРУБЫ ГОРИЗОНТАЛЬНЫЕ"
                          : "ПРОТОКОЛ РАСЧЁТА ПОДОГРЕВАТЕЛЯ (ДЕФЛЕГМАТОРА), ТРУБЫ ВЕРТИКАЛЬНЫЕ");
    Heading(out, "Исходные данные");
    Source(out, data, kHeaterParameters, data.HeaterLabels, 0, kHeaterSourceCount - 1);
    Source(out, data, kHeaterParameters, data.HeaterLabels, 12, 13);
    if (horizontal) {
        Source(out, data, kHeaterParameters, data.HeaterLabels, 14, 14);
    } else {
        Value(out, "H", data.Values[14], "м", TrimBlanks(data.HeaterLabels[16]));
    }
    Source(out, data, kHeaterParameters, data.HeaterLabels, 15, 15);

    Heading(out, "1. Коэффициент ε пучка (только для горизонтальных труб)");
    Value(out, "ε", t.epsilon, "—",
          data.Values[15] > 100 ? "0,6: труб больше 100" : "0,7: труб не больше 100");
    Heading(out, "2. Число Рейнольдса в трубах, di = d − 0,004");
    Value(out, "Re", t.ReTube, "—", "ReTube: G·4·z/(di·μ·π·n)");
    Heading(out, "3. Проверка режима: Re > 2300?");
    if (t.laminar) {
        Line(out, "   Нет: ламинарное течение в трубах, расчёт невозможен.");
        Line(out, HeaterLaminarLine(data));
        return;
    }
    Line(out, t.ReTube < 10000.0f ? "   Да: переходная область (Re < 10000)"
                                  : "   Да: турбулентное течение (Re ≥ 10000)");
    Heading(out, "4. Постоянные формулы теплоотдачи в трубах (α = C·(λ/di)·Re^m·Pr^0,43)");
    Value(out, "C", t.C, "—", "постоянная");
    Value(out, "m", t.mExp, "—", "показатель степени числа Re");
    Heading(out, "5. Теплоотдача в трубах");
    Value(out, "α′", t.alphaStage, "Вт/(м²·К)", "Re^m·(λ/di·C)");
    Value(out, "αтр", t.AlphaTube, "Вт/(м²·К)", "(c·μ/λ)^0,43·α′");
    Heading(out, horizontal ? "6. Конденсация на горизонтальных трубах: E = ε·2,02, S = L"
                            : "6. Конденсация на вертикальных трубах: E = 3,78, S = d");
    Value(out, "E", t.E, "—", "коэффициент формулы конденсации");
    Value(out, "S", t.size, "м", horizontal ? "длина труб" : "наружный диаметр труб");
    Value(out, "αмтр", t.AlphaShell, "Вт/(м²·К)", "(ρк·ρк·n·S/(Gп·μк))^(1/3)·(E·λк)");
    Heading(out, "7. Теплопередача и поверхность");
    Value(out, "K", t.OverallK, "Вт/(м²·К)", "1/(1/αтр + Σr + 1/αмтр)");
    Value(out, "F", t.SurfaceF, "м²", "Gп·rк/(K·Δt)");
    Results(out, t.AlphaTube, t.AlphaShell, t.OverallK, t.SurfaceF);
    Value(out, "Re", t.ReTube, "—", "ReTube: число Рейнольдса в трубах");
    if (data.DataError != 0) {
        NotFinite(out);
    }
}

void AppendCoolerProtocol(std::string& out, const DesignData& data, const CoolerTrace& t) {
    Title(out, "ПРОТОКОЛ РАСЧЁТА ХОЛОДИЛЬНИКА");
    Heading(out, "Исходные данные");
    Source(out, data, kCoolerParameters, data.CoolerLabels, 0, kCoolerLabelCount - 1);

    Heading(out, "1. Трубное пространство: числа Рейнольдса, Прандтля и Грасгофа (без разности температур)");
    Value(out, "di", t.di, "м", "d − 0,004");
    Value(out, "T", t.T, "", "n·π·μ1·di");
    Value(out, "Re1", t.ReTube, "—", "ReTube: G1·4·z/T");
    Value(out, "Pr1", t.Pr1, "—", "c1·μ1/λ1");
    Value(out, "di³", t.di3, "м³", "di·di·di");
    Value(out, "ρ1²", t.rho1Sq, "", "ρ1·ρ1");
    Value(out, "μ1²", t.mu1Sq, "", "μ1·μ1");
    Value(out, "Gr′", t.Gr, "", "di³·9,81·ρ1²·β/μ1²");
    Value(out, "ln Re1", t.lnRe, "", "");
    Value(out, "ln Pr1", t.lnPr, "", "");
    switch (t.tubeLaw) {
        case CoolerTubeLaw::Laminar:
            Heading(out, "2. Re1 < 2300: ламинарный режим, α0 = (λ1/di·0,15)·Re1^0,33·Pr1^0,43·Gr′^0,1");
            break;
        case CoolerTubeLaw::Transitional:
            Heading(out, "2. 2300 ≤ Re1 < 10000: переходный режим, α0 = (λ1/di·0,008)·Re1^0,9·Pr1^0,43");
            break;
        case CoolerTubeLaw::Turbulent:
            Heading(out, "2. Re1 ≥ 10000: турбулентный режим, α0 = (λ1/di·0,023)·Re1^0,8·Pr1^0,43");
            break;
    }
    Value(out, "f", t.factor, "Вт/(м²·К)", "первый множитель, λ1/di·постоянная");
    Value(out, "α0", t.alpha0, "Вт/(м²·К)", "коэффициент теплоотдачи в трубах до уточнения");
    Heading(out, "3. Межтрубное пространство (по наружному диаметру)");
    Value(out, "Re2", t.ReShell, "—", "ReShell: d·G2/(S·μ2)");
    Value(out, "Pr2", t.Pr2, "—", "c2·μ2/λ2");
    Line(out, t.shellLaw == CoolerShellLaw::SquareRoot
                  ? "   Re2 ≤ 1000: закон квадратного корня, αмтр = 0,336·(λ2/d)·√Re2·Pr2^0,36"
                  : "   Re2 > 1000: αмтр = Pr2^0,36·(Re2^0,6·(λ2/d·0,24))");
    Value(out, "αмтр", t.AlphaShell, "Вт/(м²·К)", "коэффициент теплоотдачи в межтрубном пространстве");
    Heading(out, "4. Разность температур и теплопередача");
    Value(out, "Δt", t.dt, "°C", "εΔt·Δtлог");
    Value(out, "K", t.OverallK0, "Вт/(м²·К)", "1/((1/αмтр + Σr) + 1/α0)");
    if (t.tubeLaw == CoolerTubeLaw::Laminar) {
        Heading(out, "5. Уточнение при ламинарном режиме: Δtпл = Δt·K/αтр, w = Δtпл^0,1, αтр = w·α0,");
        Line(out, "   K = 1/((1/αмтр + Σr) + 1/αтр), δ = (K − Kстар)/K; повтор, пока δ > 0,1");
        out += "  ";
        for (std::string_view head : {"№", "Kстар", "Δtпл", "w", "αтр", "K", "δ"}) {
            Cell(out, head);
        }
        EndRow(out);
        for (std::size_t k = 0; k < t.passes.size(); ++k) {
            const CoolerRefinementPass& p = t.passes[k];
            out += "  ";
            Cell(out, std::to_string(k + 1));
            for (float v : {p.kOld, p.drop, p.w, p.AlphaTube, p.OverallK, p.delta}) {
                CellValue(out, v);
            }
            EndRow(out);
        }
    } else {
        Heading(out, "5. Уточнение не нужно: течение в трубах не ламинарное");
    }
    Heading(out, "6. Поверхность теплообмена");
    Value(out, "F", t.SurfaceF, "м²", "Q/(Δt·K)");
    Results(out, t.AlphaTube, t.AlphaShell, t.OverallK, t.SurfaceF);
    Value(out, "Re1", t.ReTube, "—", "ReTube: число Рейнольдса в трубах");
    Value(out, "Re2", t.ReShell, "—", "ReShell: число Рейнольдса в межтрубном пространстве");
    if (data.DataError != 0) {
        NotFinite(out);
    }
}

}  // namespace heatx::cli
