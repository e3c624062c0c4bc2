// Exact time arithmetic of the music report: timecodes as seconds at a frame rate, compared and
// rounded without floating-point error.
//
// A timecode HH:MM:SS:FF stands for H·3600 + M·60 + S + FF / rate seconds, the rate being the
// double the cue list computation read. The double's exact binary value is used (mantissa and
// power of two) and every comparison and rounding is done on 128-bit integer numerators, so that
// at 30 fps ten frames plus five seconds minus ten frames is exactly five seconds, and a row
// exactly the gap tolerance after a use's Out joins it. The gap tolerance is a decimal number of
// seconds, taken as the shortest decimal that reads back as the given double (0.3 is 3/10).
//
// It does not read rate texts or know about rows; MusicReport does.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tarvelin {

// A positive finite rate as mantissa · 2^exponent, the mantissa odd.
struct ExactRate {
    std::int64_t mantissa = 1;
    int exponent = 0;
    double value = 1;
};

// rate > 0 and finite.
ExactRate ExactRateOf(double rate);

// A gap tolerance as numerator / 10^decimals. Negative or NaN gaps count as 0; gaps are taken to
// at most 12 decimals and at most 10^6 seconds (more than any two timecodes lie apart at a
// rate of one frame per second or more).
struct ExactGap {
    std::int64_t numerator = 0;
    int decimals = 0;
};

ExactGap ExactGapOf(double gapSeconds);

// A timecode's value: wholeSeconds + frames / rate.
struct TimecodeValue {
    std::int64_t wholeSeconds = 0;
    std::int64_t frames = 0;
};

// Exactly four fields of two ASCII digits separated by colons, taken at face value; anything
// else gives nothing.
std::optional<TimecodeValue> ReadTimecodeValue(std::u16string_view text);

// -1, 0 or 1 as a is before, equal to or after b.
int CompareTimes(const TimecodeValue& a, const TimecodeValue& b, const ExactRate& rate);

// Whether a ≤ b + gap.
bool AtMostGapAfter(const TimecodeValue& a, const TimecodeValue& b, const ExactGap& gap,
                    const ExactRate& rate);

// to − from rounded up to whole seconds. Throws ConversionError when the result does not fit
// (only at absurdly small rates).
std::int64_t SecondsRoundedUp(const TimecodeValue& from, const TimecodeValue& to,
                              const ExactRate& rate);

// The nearest double to the value in seconds, for display only.
double ApproximateSeconds(const TimecodeValue& time, const ExactRate& rate);

}  // namespace tarvelin
