#include "conversion/ReportTime.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "conversion/ConversionError.h"
#include "conversion/Messages.h"

namespace tarvelin {

namespace {

__extension__ typedef __int128 Int128;
__extension__ typedef unsigned __int128 UInt128;

constexpr int kMaxGapDecimals = 12;
constexpr double kMaxGapSeconds = 1e6;

int signOf(Int128 value)
{
    return (value > 0) - (value < 0);
}

UInt128 magnitude(Int128 value)
{
    return value < 0 ? UInt128(0) - static_cast<UInt128>(value) : static_cast<UInt128>(value);
}

int bitLength(UInt128 value)
{
    int bits = 0;
    while (value != 0) {
        value >>= 1;
        ++bits;
    }
    return bits;
}

Int128 powerOfTen(int exponent)
{
    Int128 result = 1;
    for (int i = 0; i < exponent; ++i) {
        result *= 10;
    }
    return result;
}

// The sign of x · 2^shift + y, exactly, for |x| and |y| below 2^126 and any shift.
int signOfScaledSum(Int128 x, int shift, Int128 y)
{
    if (x == 0 || signOf(x) == signOf(y)) {
        return x == 0 ? signOf(y) : signOf(x);
    }
    if (y == 0) {
        return signOf(x);
    }
    // Opposite signs: compare |x| · 2^shift with |y|. A side that would need more than 127
    // bits is larger than the other, which has fewer than 127.
    UInt128 left = magnitude(x);
    UInt128 right = magnitude(y);
    if (shift >= 0) {
        if (bitLength(left) + shift > 127) {
            return signOf(x);
        }
        left <<= shift;
    } else {
        if (bitLength(right) - shift > 127) {
            return signOf(y);
        }
        right <<= -shift;
    }
    return left > right ? signOf(x) : left < right ? signOf(y) : 0;
}

// The sign of (a − b − gap) in seconds. With gap = g / 10^k and rate = M · 2^E, multiplying by
// 10^k · rate gives ((ΔW · 10^k − g) · M) · 2^E + ΔF · 10^k, whose terms stay below 2^115:
// |ΔW| < 2^19, 10^k ≤ 10^12, g ≤ 10^18, M < 2^53, |ΔF| < 2^7.
int signOfDifference(const TimecodeValue& a, const TimecodeValue& b, const ExactGap& gap,
                     const ExactRate& rate)
{
    const Int128 scale = powerOfTen(gap.decimals);
    const Int128 whole =
        (Int128(a.wholeSeconds - b.wholeSeconds) * scale - gap.numerator) * Int128(rate.mantissa);
    const Int128 frames = Int128(a.frames - b.frames) * scale;
    return signOfScaledSum(whole, rate.exponent, frames);
}

// The smallest integer at or above a / b, for b > 0.
Int128 ceilDivide(Int128 a, Int128 b)
{
    const Int128 quotient = a / b;
    return (a % b != 0 && a > 0) ? quotient + 1 : quotient;
}

}  // namespace

ExactRate ExactRateOf(double rate)
{
    int exponent = 0;
    const double fraction = std::frexp(rate, &exponent);
    ExactRate exact;
    exact.value = rate;
    exact.mantissa = static_cast<std::int64_t>(std::ldexp(fraction, 53));
    exact.exponent = exponent - 53;
    while (exact.mantissa % 2 == 0) {
        exact.mantissa /= 2;
        ++exact.exponent;
    }
    return exact;
}

ExactGap ExactGapOf(double gapSeconds)
{
    if (!(gapSeconds > 0)) {
        return {};
    }
    gapSeconds = std::fmin(gapSeconds, kMaxGapSeconds);
    // The shortest decimal that reads back as the double: what the user typed, not its binary
    // neighbour (0.3 stays 3/10).
    char buffer[64];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, gapSeconds, std::chars_format::scientific);
    const std::string text(buffer, written.ptr);
    const std::size_t e = text.find('e');
    std::string digits = text.substr(0, e);
    if (digits.size() > 1) {
        digits.erase(1, 1);  // the decimal point after the first digit
    }
    const int decimalExponent = std::atoi(text.c_str() + e + 1);
    Int128 numerator = 0;
    for (const char digit : digits) {
        numerator = numerator * 10 + (digit - '0');
    }
    int decimals = static_cast<int>(digits.size()) - 1 - decimalExponent;
    if (decimals < 0) {
        numerator *= powerOfTen(-decimals);
        decimals = 0;
    } else if (decimals > kMaxGapDecimals) {
        const int dropped = decimals - kMaxGapDecimals;
        if (dropped > 30) {
            numerator = 0;
        } else {
            const Int128 divisor = powerOfTen(dropped);
            numerator = (numerator + divisor / 2) / divisor;
        }
        decimals = kMaxGapDecimals;
    }
    return {static_cast<std::int64_t>(numerator), decimals};
}

std::optional<TimecodeValue> ReadTimecodeValue(std::u16string_view text)
{
    if (text.size() != 11) {
        return std::nullopt;
    }
    std::int64_t fields[4] = {};
    for (std::size_t field = 0; field < 4; ++field) {
        const std::size_t at = field * 3;
        const char16_t tens = text[at];
        const char16_t ones = text[at + 1];
        if (tens < u'0' || tens > u'9' || ones < u'0' || ones > u'9' ||
            (field < 3 && text[at + 2] != u':')) {
            return std::nullopt;
        }
        fields[field] = (tens - u'0') * 10 + (ones - u'0');
    }
    return TimecodeValue{fields[0] * 3600 + fields[1] * 60 + fields[2], fields[3]};
}

int CompareTimes(const TimecodeValue& a, const TimecodeValue& b, const ExactRate& rate)
{
    return signOfDifference(a, b, ExactGap{}, rate);
}

bool AtMostGapAfter(const TimecodeValue& a, const TimecodeValue& b, const ExactGap& gap,
                    const ExactRate& rate)
{
    return signOfDifference(a, b, gap, rate) <= 0;
}

std::int64_t SecondsRoundedUp(const TimecodeValue& from, const TimecodeValue& to,
                              const ExactRate& rate)
{
    // to − from = ΔW + ΔF / rate, and ΔW is whole, so only ΔF / rate is rounded up.
    const Int128 frames = to.frames - from.frames;
    Int128 fromFrames = 0;
    if (frames != 0) {
        if (rate.exponent >= 64) {
            fromFrames = frames > 0 ? 1 : 0;  // the rate exceeds every frame count
        } else if (rate.exponent >= 0) {
            fromFrames = ceilDivide(frames, Int128(rate.mantissa) << rate.exponent);
        } else if (rate.exponent >= -100) {
            fromFrames = ceilDivide(frames * (Int128(1) << -rate.exponent), rate.mantissa);
        } else {
            throw ConversionError(std::u16string(kReportRateTooSmallMessage));
        }
    }
    const Int128 seconds = Int128(to.wholeSeconds - from.wholeSeconds) + fromFrames;
    if (seconds > std::numeric_limits<std::int64_t>::max() ||
        seconds < std::numeric_limits<std::int64_t>::min()) {
        throw ConversionError(std::u16string(kReportRateTooSmallMessage));
    }
    return static_cast<std::int64_t>(seconds);
}

double ApproximateSeconds(const TimecodeValue& time, const ExactRate& rate)
{
    return static_cast<double>(static_cast<long double>(time.wholeSeconds) +
                               static_cast<long double>(time.frames) /
                                   static_cast<long double>(rate.value));
}

}  // namespace tarvelin
