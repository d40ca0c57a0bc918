#pragma once
// The values markup writes for pace, pitch, loudness and time, read as numbers.
#include <optional>
#include <string_view>

namespace prosody {

// The factors markup may set, of the voice's own pace, pitch and loudness.
constexpr double kSlowestRate = 1.0 / 3.0, kFastestRate = 3.0;
constexpr double kLowestPitch = 0.5, kHighestPitch = 2.0;
constexpr double kLoudestVolume = 2.0;

/// What an SSML <prosody> attribute sets.
enum class Quantity { Rate, Pitch, Volume };

/// An SSML prosody value of `quantity` whose current factor is `current`: a label, a
/// percentage of the current value ("+20%", "-10%", "150%"), a number of times the current
/// value for the rate, semitones for the pitch ("+2st"), decibels for the volume ("-6dB"),
/// or the old 0-100 volume scale. Hertz are not understood (the voice's own frequency is
/// not known here): nullopt, and the value stays. Not yet kept within the bounds above.
std::optional<double> Factor(std::string_view text, double current, Quantity quantity);

/// A number and nothing else ("-3", "50", "+2.5").
std::optional<double> Number(std::string_view text);

/// A duration as SSML writes it ("1s", "250ms", "1.5s"; a bare number is milliseconds).
std::optional<unsigned> Milliseconds(std::string_view text);

}  // namespace prosody
