#include "design_data/validation.h"

#include <cmath>

namespace heatx {

bool PassesInclusive(float value, double lower, float upper) {
    if (std::isnan(value)) {
        return false;
    }
    return !(static_cast<double>(value) < lower || value > upper);
}

bool PassesStrict(float value, double lower, float upper) {
    if (std::isnan(value)) {
        return false;
    }
    return !(static_cast<double>(value) <= lower || value > upper);
}

namespace {

template <std::size_t N>
bool FailsInclusive(const DesignData& data, const std::array<SourceBounds, N>& bounds, std::size_t i) {
    return !PassesInclusive(data.Values[i], bounds[i].lower, bounds[i].upper);
}

template <std::size_t N>
bool FailsStrict(const DesignData& data, const std::array<SourceBounds, N>& bounds, std::size_t i) {
    return !PassesStrict(data.Values[i], bounds[i].lower, bounds[i].upper);
}

std::uint8_t Fail(DesignData& data, std::size_t index) {
    data.DataError = kTrue;
    return static_cast<std::uint8_t>(index);
}

}  // namespace

std::uint8_t ValidateEvaporatorData(DesignData& data) {
    data.DataError = kFalse;
    for (std::size_t i = 0; i <= 14; ++i) {
        if (FailsInclusive(data, kEvaporatorBounds, i)) {
            return Fail(data, i);
        }
    }
    // The excluded zero of the temperature difference and of the heat load is tested only when every
    // parameter is within its range.
    for (std::size_t i : {12u, 14u}) {
        if (FailsStrict(data, kEvaporatorBounds, i)) {
            return Fail(data, i);
        }
    }
    return 0;
}

std::uint8_t ValidateHeaterData(DesignData& data) {
    data.DataError = kFalse;
    for (std::size_t i = 0; i <= 8; ++i) {
        if (FailsInclusive(data, kHeaterBounds, i)) {
            return Fail(data, i);
        }
    }
    for (std::size_t i = 9; i <= 10; ++i) {
        if (FailsStrict(data, kHeaterBounds, i)) {
            return Fail(data, i);
        }
    }
    return 0;
}

std::uint8_t ValidateCoolerData(DesignData& data) {
    data.DataError = kFalse;
    for (std::size_t i = 0; i <= 12; ++i) {
        if (FailsInclusive(data, kCoolerBounds, i)) {
            return Fail(data, i);
        }
    }
    for (std::size_t i : {5u, 9u, 10u, 12u}) {
        if (FailsStrict(data, kCoolerBounds, i)) {
            return Fail(data, i);
        }
    }
    return 0;
}

ConstructionBounds CoolerConstructionBounds(int slot) {
    switch (slot) {
        case 13:
            return {0.019, 0.06f};
        case 14:
            return {1.0, 10.0f};
        case 15:
            return {0.0001, 1.0f};
        case 16:
            return {10.0, 5000.0f};
        default:
            return {0.001, 0.4f};
    }
}

bool CoolerConstructionAccepted(int slot, float value) {
    const ConstructionBounds b = CoolerConstructionBounds(slot);
    return PassesInclusive(value, b.lower, b.upper);
}

SingleBounds HeaterCorrectionBounds(int slot) {
    switch (slot) {
        case 12:
            return {0.019f, 0.06f};
        case 13:
        case 14:
            return {0.99f, 10.01f};
        default:
            return {9.9f, 5000.0f};
    }
}

SingleBounds CoolerCorrectionBounds(int slot) {
    switch (slot) {
        case 13:
            return {0.019f, 0.06f};
        case 14:
            return {1.0f, 10.0f};
        case 15:
            return {0.001f, 1.0f};
        case 16:
            return {10.0f, 5000.0f};
        default:
            return {0.001f, 0.4f};
    }
}

bool WithinSingleBounds(float value, SingleBounds bounds) {
    return value >= bounds.lower && value <= bounds.upper;
}

bool TubeHeightAccepted(float height) {
    return height >= 1.0f && height <= 10.0f;
}

}  // namespace heatx
