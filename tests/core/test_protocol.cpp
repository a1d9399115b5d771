// The calculation protocol of the reference data of each kind against the intermediate values of the
// worked examples, and its results against the method's own, bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "design_data/design_data.h"
#include "protocol.h"
#include "variant.h"

namespace heatx::cli {
namespace {

std::vector<std::string_view> Values(VariantKind kind, const std::vector<std::string_view>& changes = {}) {
    std::vector<std::string_view> v;
    switch (kind.kind) {
        case Kind::Evaporator:
            v.assign(kEvaporatorReferenceTexts.begin(), kEvaporatorReferenceTexts.end());
            v.push_back(kEvaporatorReferenceHeight);
            break;
        case Kind::Heater:
            v.assign(kHeaterReferenceTexts.begin(), kHeaterReferenceTexts.end());
            v.insert(v.end(), kHeaterReferenceConstruction.begin(), kHeaterReferenceConstruction.end());
            break;
        case Kind::Cooler:
            v.assign(kCoolerReferenceTexts.begin(), kCoolerReferenceTexts.end());
            v.insert(v.end(), kCoolerReferenceConstruction.begin(), kCoolerReferenceConstruction.end());
            break;
    }
    for (std::size_t i = 0; i < changes.size(); ++i) {
        if (!changes[i].empty()) {
            v[i] = changes[i];
        }
    }
    return v;
}

// A number as the protocol writes it ("2,39326895·10^16") read back.
double ReadWritten(std::string text) {
    const std::size_t comma = text.find(',');
    if (comma != std::string::npos) {
        text[comma] = '.';
    }
    const std::size_t power = text.find("·10^");
    if (power != std::string::npos) {
        text = text.substr(0, power) + "e" + text.substr(power + std::string_view("·10^").size());
    }
    return std::strtod(text.c_str(), nullptr);
}

// The value text on the protocol line whose symbol is `symbol` ("" when there is none).
std::string ValueOf(const std::string& protocol, const std::string& symbol) {
    std::size_t at = 0;
    while ((at = protocol.find("\n  " + symbol + " ", at)) != std::string::npos) {
        const std::size_t eq = protocol.find_first_not_of(' ', at + 3 + symbol.size());
        if (protocol.compare(eq, 2, "= ") == 0) {
            return protocol.substr(eq + 2, protocol.find(' ', eq + 2) - eq - 2);
        }
        ++at;
    }
    return "";
}

// The value the protocol prints on the line that names `name` ("AlphaTube:" and so on).
float Printed(const std::string& protocol, const std::string& name) {
    const std::size_t at = protocol.find(name + ":");
    EXPECT_NE(at, std::string::npos) << name;
    const std::size_t lineStart = protocol.rfind('\n', at) + 1;
    const std::size_t eq = protocol.find("= ", lineStart);
    return static_cast<float>(ReadWritten(protocol.substr(eq + 2, protocol.find(' ', eq + 2) - eq - 2)));
}

// Every "SYMBOL = VALUE UNIT MEANING" line names a unit: the value is followed by one, not by the
// blanks of an empty unit column or by the end of the line.
void ExpectEveryValueHasAUnit(const std::string& protocol) {
    std::size_t start = 0;
    while (start < protocol.size()) {
        const std::size_t end = protocol.find('\n', start);
        const std::string line = protocol.substr(start, end - start);
        start = end + 1;
        const std::size_t eq = line.find(" = ");
        if (line.rfind("  ", 0) != 0 || line[2] == ' ' || eq == std::string::npos) {
            continue;
        }
        const std::size_t valueEnd = line.find(' ', eq + 3);
        ASSERT_NE(valueEnd, std::string::npos) << line;
        const std::size_t unit = line.find_first_not_of(' ', valueEnd);
        EXPECT_LT(unit - valueEnd, 18u) << line;
    }
}

void ExpectResultsBitForBit(const std::string& protocol, const DesignData& data) {
    EXPECT_EQ(Printed(protocol, "AlphaTube"), data.AlphaTube);
    EXPECT_EQ(Printed(protocol, "AlphaShell"), data.AlphaShell);
    EXPECT_EQ(Printed(protocol, "OverallK"), data.OverallK);
    EXPECT_EQ(Printed(protocol, "SurfaceF"), data.SurfaceF);
}

TEST(Protocol, EvaporatorStagesPointsAndResults) {
    EvaporatorTrace t;
    DesignData data;
    const VariantKind kind{Kind::Evaporator, false};
    ASSERT_EQ(ComputeVariant(kind, Values(kind), "", data, {&t, nullptr, nullptr}).outcome, Outcome::Ok);
    EXPECT_NEAR(t.B, 12.212, 0.001);
    EXPECT_NEAR(t.T2 / (std::pow(0.65, 0.66) * std::pow(0.00024 * 4190, 0.3)), t.B, 1e-4);
    EXPECT_NEAR(t.A, 238160, 1);
    EXPECT_NEAR(t.qcr, 1232392, 1);
    EXPECT_NEAR(t.P * 0.14 * 2253900, t.qcr, 1);
    EXPECT_NEAR(t.yStart, 107.21, 0.01);
    const std::pair<double, double> points[] = {
        {6.046, 77.53}, {16.09, 57.49}, {30.85, 46.23}, {40.55, 42.36}, {41.911, 41.932}};
    ASSERT_EQ(t.iterations.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_NEAR(t.iterations[i].xNew, points[i].first, 0.006) << i;
        EXPECT_NEAR(t.iterations[i].yNew, points[i].second, 0.006) << i;
        EXPECT_TRUE(t.iterations[i].dStored);
        // Each iteration starts from the points the one before ended with.
        if (i > 0) {
            EXPECT_EQ(t.iterations[i].x, t.iterations[i - 1].xNew);
            EXPECT_EQ(t.iterations[i].y, t.iterations[i - 1].yNew);
        }
    }
    EXPECT_EQ(t.iterations[0].x, 1.0f);
    EXPECT_LT(t.iterations[0].fx, 0.0f);  // the balance is negative at the lower start point
    EXPECT_GT(t.iterations[0].fy, 0.0f);  // and positive at the upper one
    EXPECT_NEAR(t.iterations[4].d, 0.021, 0.001);
    EXPECT_NEAR(t.m, 41.921, 0.001);
    EXPECT_NEAR(t.q, 73673, 1);
    EXPECT_EQ(t.SurfaceF, data.SurfaceF);

    std::string protocol;
    AppendEvaporatorProtocol(protocol, data, t);
    ExpectResultsBitForBit(protocol, data);
    EXPECT_NE(protocol.find("  B        = 12,2118464"), std::string::npos);
    EXPECT_NE(protocol.find("  qкр      = 1232392"), std::string::npos);
    EXPECT_NE(protocol.find("  5                41,9110527       41,9318733"), std::string::npos);
    EXPECT_NE(protocol.find("ТЕПЛОВАЯ НАГРУЗКА, ВТ"), std::string::npos);
}

TEST(Protocol, EvaporatorFailureEndsWhereTheRootSearchLeftItsBracket) {
    EvaporatorTrace t;
    DesignData data;
    const VariantKind kind{Kind::Evaporator, false};
    const auto result =
        ComputeVariant(kind, Values(kind, {"", "", "", "", "", "", "", "", "", "", "", "", "0.01"}), "", data,
                       {&t, nullptr, nullptr});
    ASSERT_EQ(result.outcome, Outcome::Method);
    std::string protocol;
    AppendEvaporatorProtocol(protocol, data, t);
    EXPECT_NE(protocol.find("Нижняя точка меньше 1"), std::string::npos);
    EXPECT_EQ(protocol.find("Результаты"), std::string::npos);
}

TEST(Protocol, HeaterConstantsCoefficientsAndSurface) {
    for (bool horizontal : {false, true}) {
        HeaterTrace t;
        DesignData data;
        const VariantKind kind{Kind::Heater, horizontal};
        ASSERT_EQ(ComputeVariant(kind, Values(kind), "", data, {nullptr, &t, nullptr}).outcome, Outcome::Ok);
        EXPECT_NEAR(t.ReTube, 8498, 1);
        EXPECT_EQ(t.C, 0.008f);  // transitional
        EXPECT_EQ(t.mExp, 0.9f);
        EXPECT_EQ(t.epsilon, 0.7f);
        EXPECT_NEAR(t.AlphaTube, 1128.8, 0.1);
        EXPECT_NEAR(t.AlphaShell, horizontal ? 9816 : 5320, 1);
        EXPECT_NEAR(t.OverallK, horizontal ? 681.8 : 644.0, 0.1);
        EXPECT_EQ(t.size, horizontal ? 3.0f : 0.025f);
        std::string protocol;
        AppendHeaterProtocol(protocol, data, t);
        ExpectResultsBitForBit(protocol, data);
        EXPECT_EQ(Printed(protocol, "ReTube"), data.ReTube);
        EXPECT_NE(protocol.find("переходная область"), std::string::npos);
    }
    // Laminar flow: the protocol ends at the check.
    HeaterTrace t;
    DesignData data;
    const VariantKind kind{Kind::Heater, false};
    auto v = Values(kind);
    v[12] = "2";
    v[14] = "100";
    ASSERT_EQ(ComputeVariant(kind, v, "", data, {nullptr, &t, nullptr}).outcome, Outcome::Method);
    EXPECT_TRUE(t.laminar);
    std::string protocol;
    AppendHeaterProtocol(protocol, data, t);
    EXPECT_NE(protocol.find("ламинарное течение"), std::string::npos);
    EXPECT_EQ(protocol.find("Результаты"), std::string::npos);
}

TEST(Protocol, CoolerLawsAndEveryRefinementPass) {
    CoolerTrace t;
    DesignData data;
    const VariantKind kind{Kind::Cooler, false};
    auto laminar = Values(kind);
    laminar[14] = "1";
    ASSERT_EQ(ComputeVariant(kind, laminar, "", data, {nullptr, nullptr, &t}).outcome, Outcome::Ok);
    EXPECT_EQ(t.tubeLaw, CoolerTubeLaw::Laminar);
    EXPECT_EQ(t.shellLaw, CoolerShellLaw::Power);
    EXPECT_NEAR(t.ReTube, 1392.3, 0.1);
    EXPECT_NEAR(t.ReShell, 6412, 1);
    EXPECT_NEAR(t.Pr1, 3.418, 0.001);
    EXPECT_NEAR(t.Pr2, 5.2375, 0.0001);
    EXPECT_NEAR(t.Gr, 145390, 1);
    EXPECT_NEAR(t.AlphaShell, 2279.6, 0.1);
    EXPECT_NEAR(t.alpha0, 287.0, 0.1);
    ASSERT_EQ(t.passes.size(), 2u);
    EXPECT_EQ(t.passes[0].kOld, t.OverallK0);
    EXPECT_EQ(t.passes[1].kOld, t.passes[0].OverallK);
    EXPECT_GT(t.passes[0].delta, 0.1f);
    EXPECT_FALSE(t.passes[1].delta > 0.1f);
    EXPECT_NEAR(t.AlphaTube, 385.4, 0.1);
    EXPECT_NEAR(t.SurfaceF, 54.79, 0.01);
    std::string protocol;
    AppendCoolerProtocol(protocol, data, t);
    ExpectResultsBitForBit(protocol, data);
    EXPECT_EQ(Printed(protocol, "ReShell"), data.ReShell);
    EXPECT_NE(protocol.find("ламинарный режим"), std::string::npos);

    auto turbulent = Values(kind);
    turbulent[14] = "6";
    turbulent[16] = "40";
    turbulent[17] = "0.05";
    ASSERT_EQ(ComputeVariant(kind, turbulent, "", data, {nullptr, nullptr, &t}).outcome, Outcome::Ok);
    EXPECT_EQ(t.tubeLaw, CoolerTubeLaw::Turbulent);
    EXPECT_TRUE(t.passes.empty());
    EXPECT_NEAR(t.ReShell, 2565, 1);
    EXPECT_NEAR(t.AlphaTube, 3513, 1);
    EXPECT_EQ(CoolerTubeLaw::Transitional, [&] {
        CoolerTrace reference;
        DesignData d;
        ComputeVariant(kind, Values(kind), "", d, {nullptr, nullptr, &reference});
        return reference.tubeLaw;
    }());
}

TEST(Protocol, RecordersDoNotChangeTheResults) {
    for (VariantKind kind : {VariantKind{Kind::Evaporator, false}, VariantKind{Kind::Heater, true},
                             VariantKind{Kind::Cooler, false}}) {
        EvaporatorTrace e;
        HeaterTrace h;
        CoolerTrace c;
        DesignData with;
        DesignData without;
        ComputeVariant(kind, Values(kind), "", with, {&e, &h, &c});
        ComputeVariant(kind, Values(kind), "", without);
        EXPECT_EQ(with.AlphaTube, without.AlphaTube);
        EXPECT_EQ(with.AlphaShell, without.AlphaShell);
        EXPECT_EQ(with.OverallK, without.OverallK);
        EXPECT_EQ(with.SurfaceF, without.SurfaceF);
    }
}

std::string ProtocolOf(VariantKind kind, const std::vector<std::string_view>& values, DesignData& data) {
    EvaporatorTrace e;
    HeaterTrace h;
    CoolerTrace c;
    EXPECT_EQ(ComputeVariant(kind, values, "", data, {&e, &h, &c}).outcome, Outcome::Ok);
    std::string protocol;
    switch (kind.kind) {
        case Kind::Evaporator:
            AppendEvaporatorProtocol(protocol, data, e);
            break;
        case Kind::Heater:
            AppendHeaterProtocol(protocol, data, h);
            break;
        case Kind::Cooler:
            AppendCoolerProtocol(protocol, data, c);
            break;
    }
    return protocol;
}

// The line of the protocol that holds `text` (empty when none does).
std::string LineWith(const std::string& protocol, const std::string& text) {
    const std::size_t at = protocol.find(text);
    if (at == std::string::npos) {
        return "";
    }
    const std::size_t start = protocol.rfind('\n', at) + 1;
    return protocol.substr(start, protocol.find('\n', at) - start);
}

TEST(Protocol, SourceValuesAsTypedAndEveryValueWithItsUnit) {
    DesignData data;
    const VariantKind evaporator{Kind::Evaporator, false};
    const std::string protocol = ProtocolOf(
        evaporator, Values(evaporator, {"0,683", "", "2 095 000", "", "", "", "", ".00024"}), data);
    EXPECT_EQ(ValueOf(protocol, "λк"), "0,683");  // not the stored 0,683000028
    EXPECT_EQ(ValueOf(protocol, "rк"), "2095000");
    EXPECT_EQ(ValueOf(protocol, "μ"), "0,00024");
    EXPECT_EQ(ValueOf(protocol, "z"), "2,39326895·10^16");  // the method's values with a comma too
    ExpectEveryValueHasAUnit(protocol);

    // A text that is more than a number: the value read, and the text beside it.
    const VariantKind cooler{Kind::Cooler, false};
    auto values = Values(cooler);
    values[12] = "402980 Вт";
    const std::string withText = ProtocolOf(cooler, values, data);
    EXPECT_EQ(ValueOf(withText, "Q"), "402980");
    EXPECT_NE(LineWith(withText, "  Q  ").find("введено «402980 Вт»"), std::string::npos);
    ExpectEveryValueHasAUnit(withText);
    values[14] = "1";  // laminar: the refinement table and its units
    ExpectEveryValueHasAUnit(ProtocolOf(cooler, values, data));
    for (bool horizontal : {false, true}) {
        ExpectEveryValueHasAUnit(
            ProtocolOf({Kind::Heater, horizontal}, Values({Kind::Heater, horizontal}), data));
    }
}

TEST(Protocol, EvaporatorFluxCheckedAgainstTheCriticalFluxOnItsOwnLine) {
    DesignData data;
    const VariantKind kind{Kind::Evaporator, false};
    const std::string protocol = ProtocolOf(kind, Values(kind), data);
    const std::string check = LineWith(protocol, "Проверка q < qкр");
    EXPECT_NE(check.find("73673,1562 < 1232392 Вт/м²"), std::string::npos) << check;
    EXPECT_NE(check.find("q/qкр = 0,0598"), std::string::npos) << check;
    EXPECT_NE(check.find("ниже критической"), std::string::npos) << check;

    // A flux above the critical one is what stops the root search: said so, on a line of its own.
    EvaporatorTrace t;
    const auto above = Values(kind, {"", "", "", "", "", "", "", "", "", "", "", "60000", "99"});
    ASSERT_EQ(ComputeVariant(kind, above, "", data, {&t, nullptr, nullptr}).outcome, Outcome::Method);
    std::string failed;
    AppendEvaporatorProtocol(failed, data, t);
    EXPECT_NE(LineWith(failed, "выше критической").rfind("f(y) < 0", 0), std::string::npos) << failed;
}

TEST(Protocol, HeaterShowsPrandtlHeatLoadNusseltAndOnlyTheStepsOfItsTubes) {
    for (bool horizontal : {false, true}) {
        DesignData data;
        const VariantKind kind{Kind::Heater, horizontal};
        const std::string protocol = ProtocolOf(kind, Values(kind), data);
        // The bundle factor belongs to horizontal tubes only; the steps stay numbered 1, 2, 3...
        EXPECT_EQ(protocol.find(horizontal ? "\n  ε " : "ε") != std::string::npos, horizontal);
        EXPECT_NE(protocol.find(horizontal ? "\n1. Коэффициент ε" : "\n1. Число Рейнольдса"),
                  std::string::npos);
        EXPECT_NE(protocol.find(horizontal ? "\n7. Теплопередача" : "\n6. Теплопередача"), std::string::npos);
        const double di = 0.025 - 0.004;
        EXPECT_NEAR(ReadWritten(ValueOf(protocol, "Pr")), 3730 * 0.000534 / 0.458, 1e-4);
        EXPECT_NEAR(ReadWritten(ValueOf(protocol, "Q")), 0.173 * 2095000, 1);
        EXPECT_NEAR(ReadWritten(ValueOf(protocol, "Nu")), data.AlphaTube * di / 0.458, 1e-3);
        EXPECT_NE(LineWith(protocol, "  Nu ").find("производное"), std::string::npos);
        EXPECT_NE(LineWith(protocol, "  Q ").find("производное"), std::string::npos);
    }
}

TEST(Protocol, CoolerShowsTheVelocityInTheTubesAndTheNusseltNumbersOfBothSides) {
    DesignData data;
    const VariantKind kind{Kind::Cooler, false};
    const std::string protocol = ProtocolOf(kind, Values(kind), data);  // z = 2, transitional
    const double di = 0.021;
    EXPECT_NEAR(ReadWritten(ValueOf(protocol, "w1")), 4 * 1.24 * 2 / (986 * M_PI * di * di * 100), 1e-4);
    EXPECT_NEAR(ReadWritten(ValueOf(protocol, "Nu1")), data.AlphaTube * di / 0.662, 1e-2);
    EXPECT_NEAR(ReadWritten(ValueOf(protocol, "Nu2")), data.AlphaShell * 0.025 / 0.68, 1e-2);
    for (const char* symbol : {"  w1 ", "  Nu1 ", "  Nu2 "}) {
        EXPECT_NE(LineWith(protocol, symbol).find("производное"), std::string::npos) << symbol;
    }
    EXPECT_EQ(protocol.find("Уточнение"), std::string::npos);  // no refinement outside laminar flow
}

}  // namespace
}  // namespace heatx::cli
