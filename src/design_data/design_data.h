// The one in-memory record of the current design task and the parameter tables of the three
// apparatus kinds (evaporator, heater or dephlegmator, cooler).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace heatx {

// Flags are 16-bit integers: -1 for true, 0 for false.
using Flag = std::int16_t;
inline constexpr Flag kTrue = -1;
inline constexpr Flag kFalse = 0;

// Answer codes of a Yes/No message box.
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

inline constexpr int kEvaporatorLabelCount = 15;
inline constexpr int kHeaterLabelCount = 17;
inline constexpr int kCoolerLabelCount = 18;
inline constexpr int kValueCount = 18;

// Number of source (property) parameters listed on each kind's source-data screen.
inline constexpr int kEvaporatorSourceCount = 15;  // 0..14
inline constexpr int kHeaterSourceCount = 11;      // 0..10
inline constexpr int kCoolerSourceCount = 13;      // 0..12

// Slot of the evaporator's tube height in EvaporatorTexts and Values.
inline constexpr int kTubeHeightSlot = 15;

struct DesignData {
    std::array<std::string, kEvaporatorLabelCount> EvaporatorLabels{};
    std::array<std::string, kHeaterLabelCount> HeaterLabels{};
    std::array<std::string, kCoolerLabelCount> CoolerLabels{};

    std::array<std::string, 16> EvaporatorTexts{};  // 0..14 source data, 15 tube height
    std::array<std::string, 16> HeaterTexts{};      // 0..10 source data, 12..15 construction
    std::array<std::string, 18> CoolerTexts{};      // 0..12 source data, 13..17 construction

    // Numeric value of every parameter of the kind being worked on, in single precision.
    std::array<float, kValueCount> Values{};

    std::string StudentName;

    std::uint8_t BadIndex = 0;
    Flag DataError = kFalse;

    Flag ReportHeadPending = kFalse;
    Flag TableHeadPending = kFalse;
    Flag ReportPrinted = kFalse;
    Flag HeaterConstructionPending = kFalse;
    Flag HorizontalTubes = kFalse;

    float MsgAnswer = 0.0f;

    float AlphaTube = 0.0f;
    float AlphaShell = 0.0f;
    float OverallK = 0.0f;
    float SurfaceF = 0.0f;
    float ReTube = 0.0f;
    float ReShell = 0.0f;
};

// The label texts of each kind, exactly as the lists and reports show them (leading and trailing
// blanks are part of the texts).
extern const std::array<std::string_view, kEvaporatorLabelCount> kEvaporatorLabelTexts;
extern const std::array<std::string_view, kHeaterLabelCount> kHeaterLabelTexts;
extern const std::array<std::string_view, kCoolerLabelCount> kCoolerLabelTexts;

// Writes every entry of the kind's label array (done each time the kind is chosen on the menu).
void WriteEvaporatorLabels(DesignData& data);
void WriteHeaterLabels(DesignData& data);
void WriteCoolerLabels(DesignData& data);

// Range of one source parameter: the lower bound is held in double precision, the upper bound in
// single precision. A strict lower bound (always 0) excludes the bound itself.
struct SourceBounds {
    double lower;
    float upper;
    bool strictLower;
};

extern const std::array<SourceBounds, kEvaporatorSourceCount> kEvaporatorBounds;
extern const std::array<SourceBounds, kHeaterSourceCount> kHeaterBounds;
extern const std::array<SourceBounds, kCoolerSourceCount> kCoolerBounds;

// Reference data sets: complete sets of value texts that pass validation (known-good data for tests
// and for the demonstration mode).
extern const std::array<std::string_view, kEvaporatorSourceCount> kEvaporatorReferenceTexts;
extern const std::array<std::string_view, kHeaterSourceCount> kHeaterReferenceTexts;
extern const std::array<std::string_view, kCoolerSourceCount> kCoolerReferenceTexts;

// Reference construction of the worked examples: evaporator tube height; heater diameter, passes,
// length (or height) and tubes (slots 12..15); cooler diameter, passes, mixed-flow factor, tubes and
// narrowest section (slots 13..17).
inline constexpr std::string_view kEvaporatorReferenceHeight = "4";
extern const std::array<std::string_view, 4> kHeaterReferenceConstruction;
extern const std::array<std::string_view, 5> kCoolerReferenceConstruction;

}  // namespace heatx
