// One variant of a design task as heatx-calc computes it: the kind, the positional value texts in
// the order of that kind, the validation with the program's bounds, the method and its outcome. The
// single calls, the batch and the protocol all go through here, so that each computes alike.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "design_data/design_data.h"
#include "methods/calc.h"
#include "reports/clock.h"

namespace heatx::cli {

enum class Kind { Evaporator, Heater, Cooler };

struct VariantKind {
    Kind kind = Kind::Evaporator;
    bool horizontal = false;  // heater only
};

// A kind as a variants table names it: evaporator, heater-horizontal, heater-vertical, cooler, or the
// Russian names ("ИСПАРИТЕЛЬ", "ПОДОГРЕВАТЕЛЬ ГОРИЗОНТАЛЬНЫЙ" or "ПОДОГРЕВАТЕЛЬ ВЕРТИКАЛЬНЫЙ",
// "ХОЛОДИЛЬНИК"), in either case, words separated by blanks, "-" or "_".
std::optional<VariantKind> ParseKindName(std::string_view text);
// A heading or a kind name as compared: Latin and Cyrillic letters in upper case, "-", "_" and runs of
// blanks as one blank, trimmed.
std::string KindKey(std::string_view text);
// The English name of a kind in a variants table.
std::string_view KindName(VariantKind kind);

// Number of positional values of a kind (16 evaporator, 15 heater, 18 cooler).
std::size_t ValueCount(Kind kind);

// One positional value: its position (from 0, "T0"), the slot of Values it goes to, the label as the
// list shows it (trimmed), the unit and the accepted range in words.
struct PositionalValue {
    int position = 0;
    int slot = 0;
    std::string label;
    std::string_view unit;
    std::string range;
};
// For the heater the length position carries the height label when `horizontal` is false; with
// `orientationKnown` false both are named.
std::vector<PositionalValue> PositionalValues(VariantKind kind, bool orientationKnown = true);

enum class Outcome { Ok, Range, Method };

// The recorders handed to the method (null: none).
struct Recorders {
    EvaporatorTrace* evaporator = nullptr;
    HeaterTrace* heater = nullptr;
    CoolerTrace* cooler = nullptr;
};

struct VariantResult {
    Outcome outcome = Outcome::Ok;
    // A value out of range: its position, label, text (normalised) and accepted range.
    int position = 0;
    std::string label;
    std::string text;
    std::string range;
    // The method gives no result: the program's own reason.
    std::string reason;
};

// Stores the value texts (`values` holds ValueCount(kind) texts) in a fresh task of `data` with the
// student's name, validates them and runs the method.
VariantResult ComputeVariant(VariantKind kind, const std::vector<std::string_view>& values,
                             std::string_view student, DesignData& data, const Recorders& recorders = {});

// "параметр T3 «LABEL», введено "TEXT", допустимо RANGE".
std::string RangeDescription(const VariantResult& result);

// The lines of the printed report of one print press of a computed variant, each ended by "\n".
void AppendReport(std::string& out, VariantKind kind, DesignData& data, const Clock& clock);

// The results in their order: AlphaTube, AlphaShell, OverallK, SurfaceF, then ReTube (heater, cooler)
// and ReShell (cooler).
struct NamedResult {
    std::string_view name;
    float value;
    int decimals;  // as the results screens show the value
};
struct ResultSet {
    std::array<NamedResult, 6> items{};
    std::size_t count = 0;
    const NamedResult* begin() const { return items.data(); }
    const NamedResult* end() const { return items.data() + count; }
};
ResultSet Results(VariantKind kind, const DesignData& data);

// A number with nine significant digits (as stored in single precision).
std::string Exact(float value);

}  // namespace heatx::cli
