// Range validation of the source data and the bounds of the construction values.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "design_data/design_data.h"
#include "design_data/numeric.h"
#include "design_data/validation.h"

namespace heatx {
namespace {

template <std::size_t N>
DesignData WithTexts(const std::array<std::string_view, N>& texts) {
    DesignData data;
    for (std::size_t i = 0; i < N; ++i) {
        data.Values[i] = ReadValue(NormalizeDecimal(texts[i]));
    }
    return data;
}

DesignData Evaporator() {
    return WithTexts(kEvaporatorReferenceTexts);
}
DesignData Heater() {
    return WithTexts(kHeaterReferenceTexts);
}
DesignData Cooler() {
    return WithTexts(kCoolerReferenceTexts);
}

TEST(ParameterTables, LabelsHaveTheirExactLengths) {
    auto chars = [](std::string_view s) {
        std::size_t n = 0;
        for (unsigned char c : s) {
            n += (c & 0xC0) != 0x80;
        }
        return n;
    };
    const std::size_t evaporator[] = {46, 46, 46, 46, 46, 46, 46, 46, 46, 59, 53, 50, 46, 59, 46};
    const std::size_t heater[] = {46, 46, 46, 46, 46, 46, 45, 46, 59, 45, 45, 22, 44, 44, 44, 44, 44};
    const std::size_t cooler[] = {58, 58, 58, 58, 58, 58, 67, 59, 65, 63, 59, 59, 24, 44, 44, 72, 38, 58};
    for (std::size_t i = 0; i < 15; ++i) {
        EXPECT_EQ(chars(kEvaporatorLabelTexts[i]), evaporator[i]) << i;
    }
    for (std::size_t i = 0; i < 17; ++i) {
        EXPECT_EQ(chars(kHeaterLabelTexts[i]), heater[i]) << i;
    }
    for (std::size_t i = 0; i < 18; ++i) {
        EXPECT_EQ(chars(kCoolerLabelTexts[i]), cooler[i]) << i;
    }
    // Shared texts.
    EXPECT_EQ(kEvaporatorLabelTexts[13], kHeaterLabelTexts[8]);
    EXPECT_EQ(kEvaporatorLabelTexts[13], kCoolerLabelTexts[11]);
    EXPECT_EQ(kHeaterLabelTexts[12], kCoolerLabelTexts[13]);
    EXPECT_EQ(kHeaterLabelTexts[13], kCoolerLabelTexts[14]);
    // The intertube conductivity label has a Latin M and "Вт" in mixed case.
    EXPECT_NE(kCoolerLabelTexts[6].find("Вт/(M*К)"), std::string_view::npos);
}

TEST(ParameterTables, WritingLabelsFillsEveryEntry) {
    DesignData data;
    WriteCoolerLabels(data);
    EXPECT_EQ(data.CoolerLabels[17], kCoolerLabelTexts[17]);
    EXPECT_TRUE(data.EvaporatorLabels[0].empty());
    WriteHeaterLabels(data);
    EXPECT_EQ(data.HeaterLabels[16], " ВЫСОТА ТРУБ, М                             ");
}

TEST(Validation, ReferenceSetsPass) {
    DesignData e = Evaporator();
    EXPECT_EQ(ValidateEvaporatorData(e), 0);
    EXPECT_EQ(e.DataError, kFalse);
    DesignData h = Heater();
    EXPECT_EQ(ValidateHeaterData(h), 0);
    EXPECT_EQ(h.DataError, kFalse);
    DesignData c = Cooler();
    EXPECT_EQ(ValidateCoolerData(c), 0);
    EXPECT_EQ(c.DataError, kFalse);
}

TEST(Validation, FailureOfParameterZeroIsToldByTheFlag) {
    DesignData e = Evaporator();
    e.Values[0] = ReadValue("0.9");
    EXPECT_EQ(ValidateEvaporatorData(e), 0);
    EXPECT_EQ(e.DataError, kTrue);
}

TEST(Validation, LowerBoundsTypedExactlyDependOnTheirSingleValue) {
    // Single values at or above the decimal bound are accepted.
    EXPECT_TRUE(PassesInclusive(ReadValue("0.05"), 0.05, 1.0f));
    EXPECT_TRUE(PassesInclusive(ReadValue("0.001"), 0.001, 0.2f));
    EXPECT_TRUE(PassesInclusive(ReadValue("0.1"), 0.1, 10.0f));
    EXPECT_TRUE(PassesInclusive(ReadValue("300"), 300.0, 2000.0f));
    EXPECT_TRUE(PassesInclusive(ReadValue("500"), 500.0, 4500.0f));
    EXPECT_TRUE(PassesInclusive(ReadValue("800"), 800.0, 1100.0f));
    EXPECT_TRUE(PassesInclusive(ReadValue("50000"), 50000.0, 2500000.0f));
    // Single values just below the decimal bound are refused.
    EXPECT_FALSE(PassesInclusive(ReadValue("0.04"), 0.04, 0.8f));
    EXPECT_FALSE(PassesInclusive(ReadValue("0.00001"), 0.00001, 0.0015f));
    EXPECT_FALSE(PassesInclusive(ReadValue("0.00005"), 0.00005, 0.1f));
    EXPECT_FALSE(PassesInclusive(ReadValue("0.01"), 0.01, 100.0f));
    EXPECT_FALSE(PassesInclusive(ReadValue("0.0001"), 0.0001, 0.015f));
}

TEST(Validation, UpperBoundsTypedExactlyAreAccepted) {
    DesignData e = Evaporator();
    e.Values[0] = ReadValue("0.8");
    e.Values[3] = ReadValue("0.0015");
    e.Values[14] = ReadValue("50000000");
    EXPECT_EQ(ValidateEvaporatorData(e), 0);
    EXPECT_EQ(e.DataError, kFalse);
    e.Values[14] = ReadValue("50000004");  // the next single value
    EXPECT_EQ(ValidateEvaporatorData(e), 14);
    EXPECT_EQ(e.DataError, kTrue);
}

TEST(Validation, EvaporatorReportsStrictTestsAfterAllInclusiveOnes) {
    DesignData e = Evaporator();
    e.Values[12] = 0.0f;
    EXPECT_EQ(ValidateEvaporatorData(e), 12);
    EXPECT_EQ(e.DataError, kTrue);
    e.Values[13] = 0.5f;
    EXPECT_EQ(ValidateEvaporatorData(e), 13);
    e = Evaporator();
    e.Values[12] = 100.0f;
    EXPECT_EQ(ValidateEvaporatorData(e), 0);
    EXPECT_EQ(e.DataError, kFalse);
    e.Values[12] = 100.5f;
    EXPECT_EQ(ValidateEvaporatorData(e), 12);
    e = Evaporator();
    e.Values[14] = 0.0f;
    e.Values[12] = 0.0f;
    EXPECT_EQ(ValidateEvaporatorData(e), 12);
    e.Values[12] = 50.0f;
    EXPECT_EQ(ValidateEvaporatorData(e), 14);
}

TEST(Validation, HeaterTestsRunInIndexOrder) {
    DesignData h = Heater();
    h.Values[10] = 0.0f;
    EXPECT_EQ(ValidateHeaterData(h), 10);
    EXPECT_EQ(h.DataError, kTrue);
    h.Values[4] = ReadValue("0.005");
    EXPECT_EQ(ValidateHeaterData(h), 4);
    h = Heater();
    h.Values[9] = 0.0f;
    h.Values[10] = 600.0f;
    EXPECT_EQ(ValidateHeaterData(h), 9);
    h = Heater();
    h.Values[9] = 150.0f;
    h.Values[10] = 500.0f;
    EXPECT_EQ(ValidateHeaterData(h), 0);
    EXPECT_EQ(h.DataError, kFalse);
}

TEST(Validation, CoolerStrictOrder) {
    DesignData c = Cooler();
    c.Values[5] = 0.0f;
    c.Values[9] = 0.0f;
    EXPECT_EQ(ValidateCoolerData(c), 5);
    c = Cooler();
    c.Values[12] = 0.0f;
    c.Values[10] = 0.0f;
    EXPECT_EQ(ValidateCoolerData(c), 10);
    c = Cooler();
    c.Values[12] = 0.0f;
    c.Values[11] = 1.0f;  // an inclusive failure is reported before a strict one
    EXPECT_EQ(ValidateCoolerData(c), 11);
}

TEST(Validation, NegativeValuesOfStrictParametersFailTheInclusiveTest) {
    DesignData h = Heater();
    h.Values[9] = -1.0f;
    EXPECT_EQ(ValidateHeaterData(h), 9);
    DesignData e = Evaporator();
    e.Values[14] = -1.0f;
    e.Values[13] = 0.001f;
    EXPECT_EQ(ValidateEvaporatorData(e), 14);
}

TEST(Validation, InfiniteAndNotANumberNeverPass) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (std::size_t i = 0; i < 15; ++i) {
        for (float bad : {inf, -inf, nan}) {
            DesignData e = Evaporator();
            e.Values[i] = bad;
            EXPECT_EQ(ValidateEvaporatorData(e), i);
            EXPECT_EQ(e.DataError, kTrue);
        }
    }
    DesignData c = Cooler();
    c.Values[12] = ReadValue("1e39");
    EXPECT_EQ(ValidateCoolerData(c), 12);
    DesignData h = Heater();
    h.Values[10] = nan;
    EXPECT_EQ(ValidateHeaterData(h), 10);
}

TEST(Validation, ClearsAnEarlierError) {
    DesignData e = Evaporator();
    e.DataError = kTrue;
    EXPECT_EQ(ValidateEvaporatorData(e), 0);
    EXPECT_EQ(e.DataError, kFalse);
}

TEST(ConstructionBounds, CoolerEntryHoldsLowerBoundsInDouble) {
    EXPECT_FALSE(CoolerConstructionAccepted(13, ReadValue("0.019")));
    EXPECT_TRUE(CoolerConstructionAccepted(13, ReadValue("0.02")));
    EXPECT_TRUE(CoolerConstructionAccepted(13, ReadValue("0.06")));
    EXPECT_FALSE(CoolerConstructionAccepted(13, ReadValue("0.07")));
    EXPECT_TRUE(CoolerConstructionAccepted(14, ReadValue("1")));
    EXPECT_TRUE(CoolerConstructionAccepted(14, ReadValue("10")));
    EXPECT_FALSE(CoolerConstructionAccepted(15, ReadValue("0.0001")));
    EXPECT_TRUE(CoolerConstructionAccepted(15, ReadValue("1")));
    EXPECT_TRUE(CoolerConstructionAccepted(16, ReadValue("10")));
    EXPECT_TRUE(CoolerConstructionAccepted(16, ReadValue("5000")));
    EXPECT_FALSE(CoolerConstructionAccepted(16, ReadValue("9.99")));
    EXPECT_TRUE(CoolerConstructionAccepted(17, ReadValue("0.001")));
    EXPECT_TRUE(CoolerConstructionAccepted(17, ReadValue("0.4")));
    EXPECT_FALSE(CoolerConstructionAccepted(17, ReadValue("0.41")));
    EXPECT_FALSE(CoolerConstructionAccepted(17, std::numeric_limits<float>::quiet_NaN()));
}

TEST(ConstructionBounds, CorrectionHoldsBothBoundsInSingle) {
    auto heater = [](int slot, const char* text) {
        return WithinSingleBounds(ReadValue(NormalizeDecimal(text)), HeaterCorrectionBounds(slot));
    };
    EXPECT_TRUE(heater(12, "0.019"));
    EXPECT_TRUE(heater(12, "0.06"));
    EXPECT_TRUE(heater(12, "0,05"));
    EXPECT_FALSE(heater(12, "0.0189"));
    EXPECT_FALSE(heater(12, "0,061"));
    EXPECT_TRUE(heater(13, "0.99"));
    EXPECT_TRUE(heater(14, "10.01"));
    EXPECT_FALSE(heater(14, "10.02"));
    EXPECT_TRUE(heater(15, "9.9"));
    EXPECT_TRUE(heater(15, "5000"));
    EXPECT_FALSE(heater(15, "5000.1"));
    EXPECT_FALSE(heater(15, ""));
    auto cooler = [](int slot, const char* text) {
        return WithinSingleBounds(ReadValue(NormalizeDecimal(text)), CoolerCorrectionBounds(slot));
    };
    EXPECT_TRUE(cooler(13, "0.019"));
    EXPECT_FALSE(cooler(16, "9.99"));
    EXPECT_TRUE(cooler(16, "5000"));
    EXPECT_FALSE(cooler(16, "5000.1"));
    EXPECT_TRUE(cooler(15, "1"));
    EXPECT_FALSE(cooler(15, "0.0009"));
}

TEST(ConstructionBounds, TubeHeight) {
    EXPECT_TRUE(TubeHeightAccepted(ReadValue("1")));
    EXPECT_TRUE(TubeHeightAccepted(ReadValue("10")));
    EXPECT_TRUE(TubeHeightAccepted(ReadValue(NormalizeDecimal("2,5"))));
    EXPECT_TRUE(TubeHeightAccepted(ReadValue("3 м")));
    EXPECT_FALSE(TubeHeightAccepted(ReadValue("0.99")));
    EXPECT_FALSE(TubeHeightAccepted(ReadValue("10.01")));
    EXPECT_FALSE(TubeHeightAccepted(ReadValue(NormalizeDecimal(""))));
    EXPECT_FALSE(TubeHeightAccepted(std::numeric_limits<float>::quiet_NaN()));
}

}  // namespace
}  // namespace heatx
