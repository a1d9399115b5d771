// The three thermal calculations against their worked examples, their failure paths and guards.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "design_data/design_data.h"
#include "design_data/numeric.h"
#include "methods/calc.h"

namespace heatx {
namespace {

template <std::size_t N>
void Load(DesignData& data, const std::array<std::string_view, N>& texts, int first = 0) {
    for (std::size_t i = 0; i < N; ++i) {
        data.Values[first + i] = ReadValue(texts[i]);
    }
}

DesignData Evaporator(float height) {
    DesignData data;
    Load(data, kEvaporatorReferenceTexts);
    data.Values[kTubeHeightSlot] = height;
    return data;
}

DesignData Heater(float d, float z, float length, float tubes, bool horizontal) {
    DesignData data;
    Load(data, kHeaterReferenceTexts);
    data.Values[12] = d;
    data.Values[13] = z;
    data.Values[14] = length;
    data.Values[15] = tubes;
    data.HorizontalTubes = horizontal ? kTrue : kFalse;
    return data;
}

DesignData Cooler(float z, float tubes, float section, float factor = 1.0f) {
    DesignData data;
    Load(data, kCoolerReferenceTexts);
    data.Values[13] = 0.025f;
    data.Values[14] = z;
    data.Values[15] = factor;
    data.Values[16] = tubes;
    data.Values[17] = section;
    return data;
}

TEST(CalcEvaporator, ReferenceExampleTracesTheIteration) {
    DesignData data = Evaporator(4.0f);
    EvaporatorTrace trace;
    int beeps = 0;
    CalcEvaporator(
        data, [&] { ++beeps; }, &trace);
    EXPECT_EQ(beeps, 0);
    EXPECT_EQ(data.DataError, kFalse);
    EXPECT_NEAR(trace.B, 12.212, 0.001);
    EXPECT_NEAR(trace.A, 238160, 1);
    EXPECT_NEAR(trace.qcr, 1232392, 1);
    EXPECT_NEAR(trace.yStart, 107.21, 0.01);
    const std::pair<double, double> expected[] = {
        {6.046, 77.53}, {16.09, 57.49}, {30.85, 46.23}, {40.55, 42.36}, {41.911, 41.932}};
    ASSERT_EQ(trace.points.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_NEAR(trace.points[i].first, expected[i].first, 0.006) << i;
        EXPECT_NEAR(trace.points[i].second, expected[i].second, 0.006) << i;
    }
    EXPECT_NEAR(trace.m, 41.921, 0.001);
    EXPECT_NEAR(trace.q, 73673, 1);
    EXPECT_NEAR(data.AlphaTube, 10166.39, 0.01);
    EXPECT_NEAR(data.AlphaShell, 5681.11, 0.01);
    EXPECT_NEAR(data.OverallK, 1325.06, 0.01);
    EXPECT_NEAR(data.SurfaceF, 13.64, 0.005);
    // Every stored step is rounded to single precision: the results are pinned to the bit.
    EXPECT_EQ(data.AlphaTube, 10166.3936f);
    EXPECT_EQ(data.AlphaShell, 5681.11035f);
    EXPECT_EQ(data.OverallK, 1325.05676f);
    EXPECT_EQ(data.SurfaceF, 13.6413326f);
}

TEST(CalcEvaporator, TallerTubesLowerTheCondensationCoefficient) {
    DesignData low = Evaporator(1.0f);
    CalcEvaporator(low);
    EXPECT_NEAR(low.AlphaTube, 10752, 1);
    EXPECT_NEAR(low.AlphaShell, 8742, 1);
    EXPECT_NEAR(low.OverallK, 1455, 1);
    EXPECT_NEAR(low.SurfaceF, 12.43, 0.01);
    DesignData high = Evaporator(10.0f);
    CalcEvaporator(high);
    EXPECT_NEAR(high.AlphaTube, 9696.3, 0.1);
    EXPECT_NEAR(high.AlphaShell, 4297.4, 0.1);
    EXPECT_NEAR(high.OverallK, 1224.5, 0.1);
    EXPECT_NEAR(high.SurfaceF, 14.76, 0.01);
    EXPECT_EQ(high.SurfaceF, 14.7613211f);
}

TEST(CalcEvaporator, BalancePositiveAtTheLowerStartFails) {
    DesignData data = Evaporator(4.0f);
    data.Values[12] = 0.01f;  // the film drops alone exceed the temperature difference at s = 1
    int beeps = 0;
    CalcEvaporator(data, [&] { ++beeps; });
    EXPECT_EQ(data.DataError, kTrue);
    EXPECT_EQ(beeps, 1);
}

TEST(CalcEvaporator, FluxAboveTheCriticalFluxFails) {
    DesignData data = Evaporator(4.0f);
    data.Values[8] = 0.001f;  // small surface tension and vapour density: low critical flux
    data.Values[9] = 0.01f;
    EvaporatorTrace trace;
    CalcEvaporator(data, {}, &trace);
    ASSERT_EQ(trace.points.size(), 1u);
    EXPECT_LT(trace.points[0].second, trace.points[0].first);
    EXPECT_EQ(data.DataError, kTrue);
}

TEST(CalcEvaporator, ALaterSuccessClearsAnEarlierFailure) {
    DesignData data = Evaporator(4.0f);
    data.Values[12] = 0.01f;
    CalcEvaporator(data);
    ASSERT_EQ(data.DataError, kTrue);
    data.Values[12] = ReadValue("55.6");
    CalcEvaporator(data);
    EXPECT_EQ(data.DataError, kFalse);
    EXPECT_EQ(data.SurfaceF, 13.6413326f);
}

TEST(CalcEvaporator, FailureLeavesTheResultsUntouched) {
    DesignData data = Evaporator(4.0f);
    CalcEvaporator(data);
    const float surface = data.SurfaceF;
    data.Values[12] = 0.01f;
    CalcEvaporator(data);
    EXPECT_EQ(data.SurfaceF, surface);
}

TEST(CalcEvaporator, IterationGuardEndsWithFailure) {
    DesignData data = Evaporator(4.0f);
    int beeps = 0;
    CalcEvaporator(
        data, [&] { ++beeps; }, nullptr, 3);  // the example needs five iterations
    EXPECT_EQ(data.DataError, kTrue);
    EXPECT_EQ(beeps, 1);
}

TEST(CalcEvaporator, ArithmeticFaultsCountAsFailure) {
    // Unvalidated values that divide by zero or take the logarithm of zero must not produce results.
    for (int slot : {0, 3, 5, 7, 8, 9, 10, 11, 12, 15}) {
        DesignData data = Evaporator(4.0f);
        data.Values[slot] = 0.0f;
        CalcEvaporator(data);
        EXPECT_EQ(data.DataError, kTrue) << slot;
    }
    for (float bad : {std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()}) {
        DesignData data = Evaporator(4.0f);
        data.Values[14] = bad;
        CalcEvaporator(data);
        EXPECT_EQ(data.DataError, kTrue) << bad;
    }
}

TEST(CalcHeater, ReferenceVerticalAndHorizontal) {
    DesignData vertical = Heater(0.025f, 1, 3, 13, false);
    CalcHeater(vertical);
    EXPECT_EQ(vertical.DataError, kFalse);
    EXPECT_NEAR(vertical.ReTube, 8498, 0.5);
    EXPECT_NEAR(vertical.AlphaTube, 1128.8, 0.05);
    EXPECT_NEAR(vertical.AlphaShell, 5320, 0.5);
    EXPECT_NEAR(vertical.OverallK, 644.0, 0.05);
    EXPECT_NEAR(vertical.SurfaceF, 5.31, 0.005);
    EXPECT_EQ(vertical.SurfaceF, 5.30945826f);

    DesignData horizontal = Heater(0.025f, 1, 3, 13, true);
    CalcHeater(horizontal);
    EXPECT_EQ(horizontal.AlphaTube, vertical.AlphaTube);
    EXPECT_NEAR(horizontal.AlphaShell, 9816, 0.5);
    EXPECT_NEAR(horizontal.OverallK, 681.8, 0.05);
    EXPECT_NEAR(horizontal.SurfaceF, 5.02, 0.005);
    EXPECT_EQ(horizontal.AlphaShell, 9816.17871f);
}

TEST(CalcHeater, TurbulentWithFewerTubes) {
    DesignData data = Heater(0.025f, 1, 3, 7, false);
    CalcHeater(data);
    EXPECT_NEAR(data.ReTube, 15782, 0.5);
    EXPECT_NEAR(data.AlphaTube, 2154.8, 0.05);
}

TEST(CalcHeater, LaminarFlowIsRefusedWithoutOtherOutputs) {
    DesignData data = Heater(0.025f, 2, 3, 100, false);
    data.AlphaTube = 1.0f;
    data.SurfaceF = 2.0f;
    CalcHeater(data);
    EXPECT_EQ(data.DataError, kTrue);
    EXPECT_NEAR(data.ReTube, 2209.5, 0.05);
    EXPECT_EQ(data.AlphaTube, 1.0f);
    EXPECT_EQ(data.SurfaceF, 2.0f);
    // The next successful calculation clears the refusal.
    data.Values[15] = 13.0f;
    data.Values[13] = 1.0f;
    CalcHeater(data);
    EXPECT_EQ(data.DataError, kFalse);
}

// Finds a liquid flow rate that makes the tube Reynolds number exactly the given single value.
float FlowForReynolds(DesignData data, float target) {
    float flow = static_cast<float>(target * (data.Values[12] - 0.004) * data.Values[6] * 3.14159265358979 *
                                    data.Values[15] / (4 * data.Values[13]));
    for (int i = 0; i < 1000; ++i) {
        data.Values[10] = flow;
        CalcHeater(data);
        if (data.ReTube == target) {
            return flow;
        }
        flow = std::nextafter(flow, data.ReTube < target ? 1e9f : 0.0f);
    }
    return flow;
}

TEST(CalcHeater, ReynoldsThresholds) {
    DesignData data = Heater(0.025f, 1, 3, 13, false);
    data.Values[10] = FlowForReynolds(data, 2300.0f);
    CalcHeater(data);
    ASSERT_EQ(data.ReTube, 2300.0f);
    EXPECT_EQ(data.DataError, kTrue);

    data.Values[10] = FlowForReynolds(data, 10000.0f);
    CalcHeater(data);
    ASSERT_EQ(data.ReTube, 10000.0f);
    EXPECT_EQ(data.DataError, kFalse);
    const double di = 0.025f - 0.004;
    const double turbulent =
        std::pow(10000.0, static_cast<double>(0.8f)) * (data.Values[5] / di * 0.023f) *
        std::pow(static_cast<double>(data.Values[7]) * data.Values[6] / data.Values[5], 0.43);
    EXPECT_NEAR(data.AlphaTube, turbulent, turbulent * 1e-6);
}

TEST(CalcHeater, BundleFactorOnlyForHorizontalTubesAboveHundred) {
    DesignData h100 = Heater(0.025f, 4, 3, 100, true);
    DesignData h101 = Heater(0.025f, 4, 3, 101, true);
    CalcHeater(h100);
    CalcHeater(h101);
    ASSERT_EQ(h100.DataError, kFalse);
    ASSERT_EQ(h101.DataError, kFalse);
    // alpha_shell ~ epsilon * n^(1/3): the step from 0.7 to 0.6 outweighs the extra tube.
    const double ratio = h101.AlphaShell / h100.AlphaShell;
    EXPECT_NEAR(ratio, 0.6 / 0.7 * std::cbrt(101.0 / 100.0), 1e-5);
    DesignData v100 = Heater(0.025f, 4, 3, 100, false);
    DesignData v101 = Heater(0.025f, 4, 3, 101, false);
    CalcHeater(v100);
    CalcHeater(v101);
    EXPECT_NEAR(v101.AlphaShell / v100.AlphaShell, std::cbrt(101.0 / 100.0), 1e-5);
}

TEST(CalcCooler, TransitionalWithoutRefinement) {
    DesignData data = Cooler(2, 100, 0.02f);
    EXPECT_EQ(CalcCooler(data), 0);
    EXPECT_NEAR(data.ReTube, 2784.5, 0.05);
    EXPECT_NEAR(data.ReShell, 6412, 0.5);
    EXPECT_NEAR(data.AlphaShell, 2279.6, 0.05);
    EXPECT_NEAR(data.AlphaTube, 538.9, 0.05);
    EXPECT_NEAR(data.OverallK, 368.4, 0.05);
    EXPECT_NEAR(data.SurfaceF, 43.06, 0.005);
    EXPECT_EQ(data.SurfaceF, 43.0630722f);
}

TEST(CalcCooler, LaminarRefinementRunsTwice) {
    DesignData data = Cooler(1, 100, 0.02f);
    EXPECT_EQ(CalcCooler(data), 2);
    EXPECT_NEAR(data.ReTube, 1392.3, 0.05);
    EXPECT_NEAR(data.AlphaTube, 385.4, 0.05);
    EXPECT_NEAR(data.OverallK, 289.6, 0.05);
    EXPECT_NEAR(data.SurfaceF, 54.79, 0.005);
    EXPECT_EQ(data.SurfaceF, 54.7886467f);
}

TEST(CalcCooler, RefinementGuardKeepsTheLastValue) {
    DesignData once = Cooler(1, 100, 0.02f);
    EXPECT_EQ(CalcCooler(once, 1), 1);
    DesignData twice = Cooler(1, 100, 0.02f);
    CalcCooler(twice);
    EXPECT_GT(once.AlphaTube, twice.AlphaTube);  // one pass overshoots, the second settles back
    EXPECT_NEAR(once.AlphaTube, 388.0, 0.1);
    EXPECT_NEAR(once.SurfaceF, once.Values[12] / (static_cast<double>(once.Values[10]) * once.OverallK),
                1e-4);
}

TEST(CalcCooler, TurbulentExample) {
    DesignData data = Cooler(6, 40, 0.05f);
    EXPECT_EQ(CalcCooler(data), 0);
    EXPECT_NEAR(data.ReTube, 20884, 0.5);
    EXPECT_NEAR(data.ReShell, 2565, 0.5);
    EXPECT_NEAR(data.AlphaTube, 3513, 0.5);
    EXPECT_NEAR(data.AlphaShell, 1315, 0.5);
    EXPECT_NEAR(data.OverallK, 682.7, 0.05);
    EXPECT_NEAR(data.SurfaceF, 23.24, 0.005);
}

TEST(CalcCooler, ShellReynoldsOfExactlyThousandUsesTheSquareRootLaw) {
    DesignData data = Cooler(2, 100, 0.02f);
    // Re_shell = d * G2 / (S * mu2): with S = d and exact binary values it is exactly 1000.
    data.Values[17] = data.Values[13];
    data.Values[7] = 0.0009765625f;
    data.Values[9] = 0.9765625f;
    CalcCooler(data);
    ASSERT_EQ(data.ReShell, 1000.0f);
    const double pr2 =
        static_cast<float>(static_cast<double>(data.Values[8]) * data.Values[7] / data.Values[6]);
    const double root = 0.336 * (data.Values[6] / 0.025f) * std::sqrt(1000.0) * std::pow(pr2, 0.36);
    EXPECT_NEAR(data.AlphaShell, root, root * 1e-6);
}

TEST(CalcCooler, MixedFlowFactorRaisesTheSurfaceInInverseProportion) {
    DesignData full = Cooler(2, 100, 0.02f, 1.0f);
    DesignData half = Cooler(2, 100, 0.02f, 0.5f);
    CalcCooler(full);
    CalcCooler(half);
    EXPECT_NEAR(half.SurfaceF / full.SurfaceF, 2.0, 1e-6);
}

TEST(CalcCooler, NeverTouchesTheDataErrorFlag) {
    DesignData data = Cooler(2, 100, 0.02f);
    data.DataError = kTrue;
    CalcCooler(data);
    EXPECT_EQ(data.DataError, kTrue);
}

// A mean temperature difference that passes the strict "> 0" test but leaves no finite surface.
TEST(NonFiniteResults, TinyTemperatureDifferenceFailsEveryMethod) {
    DesignData evaporator = Evaporator(4.0f);
    evaporator.Values[12] = 1e-38f;
    CalcEvaporator(evaporator);
    EXPECT_EQ(evaporator.DataError, kTrue);

    for (bool horizontal : {false, true}) {
        DesignData heater = Heater(0.025f, 1, 3, 13, horizontal);
        heater.Values[9] = 1e-38f;
        CalcHeater(heater);
        EXPECT_EQ(heater.DataError, kTrue);
        EXPECT_FALSE(HeaterFlowRefused(heater));  // not the laminar refusal
        EXPECT_FALSE(ResultsFinite(heater));
    }
    for (float passes : {1.0f, 2.0f}) {  // with and without the laminar refinement
        DesignData cooler = Cooler(passes, 100, 0.02f);
        cooler.Values[10] = 1e-38f;
        CalcCooler(cooler);
        EXPECT_EQ(cooler.DataError, kTrue) << passes;
        EXPECT_FALSE(ResultsFinite(cooler));
    }
}

TEST(NonFiniteResults, AFiniteHeaterResultAfterAFailureClearsTheError) {
    DesignData heater = Heater(0.025f, 1, 3, 13, false);
    heater.Values[9] = 1e-38f;
    CalcHeater(heater);
    ASSERT_EQ(heater.DataError, kTrue);
    heater.Values[9] = 106.0f;
    CalcHeater(heater);
    EXPECT_EQ(heater.DataError, kFalse);
    EXPECT_TRUE(ResultsFinite(heater));
}

}  // namespace
}  // namespace heatx
