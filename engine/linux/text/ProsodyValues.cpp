#include "ProsodyValues.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

#include "engine/linux/types/TextHelpers.h"

namespace prosody {

namespace {

using text::Lower;
using text::Trimmed;

/// A number at the start of `text`, with what follows it; nullopt when there is none.
std::optional<double> LeadingNumber(std::string_view text, std::string_view* rest) {
    text = Trimmed(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || !std::isfinite(value)) return std::nullopt;
    *rest = Trimmed(text.substr(static_cast<size_t>(end - text.data())));
    return value;
}

struct Label {
    const char* name;
    double value;
};

// SSML's named values, as factors of the voice's own setting.
constexpr Label kRateLabels[] = {{"x-slow", 0.5}, {"slow", 0.75}, {"medium", 1.0}, {"fast", 1.5}, {"x-fast", 2.0}, {"default", 1.0}};
constexpr Label kPitchLabels[] = {{"x-low", 0.75}, {"low", 0.87}, {"medium", 1.0}, {"high", 1.15}, {"x-high", 1.33}, {"default", 1.0}};
constexpr Label kVolumeLabels[] = {{"silent", 0.0}, {"x-soft", 0.25}, {"soft", 0.5},   {"medium", 1.0},
                                   {"loud", 1.5},   {"x-loud", 2.0},  {"default", 1.0}};

template <size_t N>
std::optional<double> FindLabel(const Label (&labels)[N], std::string_view name) {
    for (const Label& label : labels)
        if (name == label.name) return label.value;
    return std::nullopt;
}

std::optional<double> LabelValue(std::string_view name, Quantity quantity) {
    switch (quantity) {
        case Quantity::Rate: return FindLabel(kRateLabels, name);
        case Quantity::Pitch: return FindLabel(kPitchLabels, name);
        case Quantity::Volume: return FindLabel(kVolumeLabels, name);
    }
    return std::nullopt;
}

}  // namespace

std::optional<double> Factor(std::string_view text, double current, Quantity quantity) {
    text = Trimmed(text);
    if (std::optional<double> label = LabelValue(Lower(text), quantity)) return label;
    bool relative = !text.empty() && (text.front() == '+' || text.front() == '-');
    std::string_view unit;
    std::optional<double> value = LeadingNumber(text, &unit);
    if (!value) return std::nullopt;
    std::string lowerUnit = Lower(unit);
    if (lowerUnit == "%") return current * (relative ? 1.0 + *value / 100.0 : *value / 100.0);
    if (quantity == Quantity::Pitch && lowerUnit == "st") return current * std::pow(2.0, *value / 12.0);
    if (quantity == Quantity::Volume && lowerUnit == "db") return current * std::pow(10.0, *value / 20.0);
    if (!lowerUnit.empty()) return std::nullopt;
    if (quantity == Quantity::Rate && !relative) return current * *value;
    if (quantity == Quantity::Volume) return relative ? current + *value / 100.0 : *value / 100.0;
    return std::nullopt;
}

std::optional<double> Number(std::string_view text) {
    std::string_view rest;
    std::optional<double> value = LeadingNumber(text, &rest);
    if (!value || !rest.empty()) return std::nullopt;
    return value;
}

std::optional<unsigned> Milliseconds(std::string_view text) {
    std::string_view unit;
    std::optional<double> value = LeadingNumber(text, &unit);
    if (!value || *value < 0) return std::nullopt;
    double milliseconds;
    if (unit == "s") milliseconds = *value * 1000;
    else if (unit == "ms" || unit.empty()) milliseconds = *value;
    else return std::nullopt;
    return static_cast<unsigned>(std::lround(std::min(milliseconds, 4.0e9)));
}

}  // namespace prosody
