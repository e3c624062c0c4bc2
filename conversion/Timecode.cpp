#include "conversion/Timecode.h"

#include <locale.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "conversion/ConversionError.h"
#include "conversion/Messages.h"
#include "conversion/Text.h"

namespace tarvelin {

namespace {

constexpr int kSignificantDigits = 15;

[[noreturn]] void failNotAFloat(std::u16string_view text)
{
    throw ConversionError(formatMessage(kNotAFloatMessage, text));
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// The "C" locale for strtold_l: the digits handed over are our own ASCII text with a ".", so
// the process locale (which a GUI sets from the environment) must not take part.
locale_t cLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

// Appends the run of decimal digits starting at i to out and returns the index after it.
std::size_t takeDigits(std::u16string_view text, std::size_t i, std::string& out)
{
    while (i < text.size() && isDigit(text[i])) {
        out += static_cast<char>(text[i]);
        ++i;
    }
    return i;
}

std::u16string decimalText(std::int64_t value)
{
    const std::string ascii = std::to_string(value);
    return std::u16string(ascii.begin(), ascii.end());
}

// Whole-rate division of a frame count: quotient and remainder, both truncated toward zero.
struct WholeRateSplit {
    std::int64_t quotient;
    std::int64_t remainder;
};

WholeRateSplit splitByWholeRate(std::int32_t frames, double rate)
{
    if (std::isnan(rate)) {
        throw ConversionError(std::u16string(kInvalidFloatOperationMessage));
    }
    const long double whole = std::floor(static_cast<long double>(rate));
    if (whole == 0) {
        throw ConversionError(std::u16string(kDivisionByZeroMessage));
    }
    // A whole rate beyond every 32-bit count leaves the count as the remainder.
    constexpr long double kBeyondCounts = 2147483648.0L;
    if (std::fabs(whole) > kBeyondCounts) {
        return {0, frames};
    }
    const auto divisor = static_cast<std::int64_t>(whole);
    return {frames / divisor, frames % divisor};
}

std::u16string padNumber(std::int64_t value, int width)
{
    std::u16string text = decimalText(value);
    if (static_cast<int>(text.size()) < width) {
        text.insert(0, static_cast<std::size_t>(width) - text.size(), u'0');
    }
    return text;
}

}  // namespace

long double ReadNumber(std::u16string_view text, char16_t decimalSeparator)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == u' ') {
        ++i;
    }
    std::string ascii;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-') {
            ascii += '-';
        }
        ++i;
    }
    std::string integerDigits;
    i = takeDigits(text, i, integerDigits);
    std::string fractionDigits;
    bool separator = false;
    if (i < text.size() && text[i] == decimalSeparator) {
        separator = true;
        i = takeDigits(text, i + 1, fractionDigits);
    }
    if (integerDigits.empty() && !separator) {
        failNotAFloat(text);
    }
    ascii += integerDigits.empty() ? "0" : integerDigits;
    ascii += '.';
    ascii += fractionDigits;
    if (i < text.size() && (text[i] == u'E' || text[i] == u'e')) {
        ascii += 'e';
        ++i;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
            ascii += static_cast<char>(text[i]);
            ++i;
        }
        const std::size_t exponentStart = i;
        i = takeDigits(text, i, ascii);
        if (i == exponentStart) {
            failNotAFloat(text);
        }
    }
    while (i < text.size() && text[i] == u' ') {
        ++i;
    }
    if (i != text.size()) {
        failNotAFloat(text);
    }
    char* end = nullptr;
    errno = 0;
    const long double value = strtold_l(ascii.c_str(), &end, cLocale());
    // Underflow reads as zero or a tiny value; only an overflow of the range is rejected.
    if (end != ascii.c_str() + ascii.size() || std::isinf(value)) {
        failNotAFloat(text);
    }
    return value;
}

double ReadRate(std::u16string_view text, char16_t decimalSeparator)
{
    const double rate = static_cast<double>(ReadNumber(text, decimalSeparator));
    if (std::isinf(rate)) {
        failNotAFloat(text);
    }
    return rate;
}

std::u16string FormatGeneral(long double value, char16_t decimalSeparator)
{
    if (std::isnan(value)) {
        return u"NAN";
    }
    if (std::isinf(value)) {
        return value > 0 ? u"INF" : u"-INF";
    }
    if (value == 0) {
        return u"0";
    }
    // Frame counts and their differences are whole numbers; below 10^15 they are written as
    // they are, without going through the decimal expansion below.
    constexpr long double kPlainLimit = 1e15L;
    if (std::fabs(value) < kPlainLimit && value == std::trunc(value)) {
        return decimalText(static_cast<std::int64_t>(value));
    }
    // 41 significant digits are exact for every integer below 10^41, so the rounding to 15
    // digits below sees the true digits of every frame count.
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%.40Le", value);
    const std::string printed(buffer);
    const bool negative = printed[0] == '-';
    const std::size_t first = negative ? 1 : 0;
    const std::size_t ePos = printed.find('e');
    std::string digits = printed.substr(first, 1) + printed.substr(first + 2, ePos - first - 2);
    int exponent = std::atoi(printed.c_str() + ePos + 1) + 1;

    const bool roundUp = digits[kSignificantDigits] >= '5';
    digits.resize(kSignificantDigits);
    if (roundUp) {
        int k = kSignificantDigits - 1;
        while (k >= 0 && digits[static_cast<std::size_t>(k)] == '9') {
            digits[static_cast<std::size_t>(k)] = '0';
            --k;
        }
        if (k < 0) {
            digits.insert(digits.begin(), '1');
            digits.pop_back();
            ++exponent;
        } else {
            ++digits[static_cast<std::size_t>(k)];
        }
    }
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }

    std::u16string out;
    if (negative) {
        out += u'-';
    }
    const auto wide = [](const std::string& s) { return std::u16string(s.begin(), s.end()); };
    if (exponent > kSignificantDigits || exponent < -3) {
        out += static_cast<char16_t>(digits[0]);
        if (digits.size() > 1) {
            out += decimalSeparator;
            out += wide(digits.substr(1));
        }
        out += u'E';
        out += decimalText(exponent - 1);
    } else if (exponent <= 0) {
        out += u'0';
        out += decimalSeparator;
        out.append(static_cast<std::size_t>(-exponent), u'0');
        out += wide(digits);
    } else if (digits.size() <= static_cast<std::size_t>(exponent)) {
        out += wide(digits);
        out.append(static_cast<std::size_t>(exponent) - digits.size(), u'0');
    } else {
        out += wide(digits.substr(0, static_cast<std::size_t>(exponent)));
        out += decimalSeparator;
        out += wide(digits.substr(static_cast<std::size_t>(exponent)));
    }
    return out;
}

std::int32_t ReadInt32(std::u16string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == u' ') {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    const std::size_t digitsStart = i;
    std::int64_t magnitude = 0;
    constexpr std::int64_t kLimit = std::int64_t{1} << 31;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        magnitude = magnitude * 10 + (text[i] - u'0');
        if (magnitude > kLimit) {
            throw ConversionError(formatMessage(kNotAnIntegerMessage, text));
        }
    }
    if (i == digitsStart || i != text.size() || (!negative && magnitude == kLimit)) {
        throw ConversionError(formatMessage(kNotAnIntegerMessage, text));
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

void TimecodeToFrames(std::u16string_view timecode, std::u16string_view rateText,
                      char16_t decimalSeparator, std::u16string& result)
{
    const double rate = ReadRate(rateText, decimalSeparator);
    if (rate == 0) {
        return;
    }
    // Each field is the text before the next colon; without a colon the field is empty and the
    // rest stays as it is. The frames are whatever remains.
    std::u16string_view rest = timecode;
    const auto takeField = [&rest]() {
        const std::size_t colon = rest.find(u':');
        if (colon == std::u16string_view::npos) {
            return std::u16string_view{};
        }
        const std::u16string_view field = rest.substr(0, colon);
        rest.remove_prefix(colon + 1);
        return field;
    };
    const std::u16string_view hoursText = takeField();
    const std::u16string_view minutesText = takeField();
    const std::u16string_view secondsText = takeField();
    const long double hours = ReadNumber(hoursText, decimalSeparator);
    const long double minutes = ReadNumber(minutesText, decimalSeparator);
    const long double seconds = ReadNumber(secondsText, decimalSeparator);
    const long double frames = ReadNumber(rest, decimalSeparator);

    // Extended precision throughout; nearbyint rounds halves to the even neighbour in the
    // default rounding mode.
    const long double exact =
        ((hours * 60 + minutes) * 60 + seconds) * static_cast<long double>(rate) + frames;
    const long double count = std::nearbyint(exact);
    constexpr long double kTwoTo63 = 9223372036854775808.0L;
    if (!(count >= -kTwoTo63 && count < kTwoTo63)) {
        throw ConversionError(formatMessage(kNotAnIntegerMessage, FormatGeneral(count, decimalSeparator)));
    }
    result = FormatGeneral(count, decimalSeparator);
}

std::u16string FramesToTimecode(std::int32_t frames, double rate)
{
    const WholeRateSplit split = splitByWholeRate(frames, rate);
    const std::int64_t seconds = split.quotient;
    return padNumber((seconds / 60) / 60, 2) + u':' + padNumber((seconds / 60) % 60, 2) + u':' +
           padNumber(seconds % 60, 2) + u':' + padNumber(split.remainder, 2);
}

std::u16string FramesToMinSec(std::int32_t frames, double rate)
{
    const std::int64_t seconds = splitByWholeRate(frames, rate).quotient;
    // The minutes are not reduced by the hours, so long durations stay readable (62:03).
    std::u16string text = padNumber(seconds / 60, 2) + u':' + padNumber(seconds % 60, 2);
    if (text == u"00:00") {
        text = u"00:01";
    }
    return text;
}

std::u16string PadNumber(std::int32_t value, int width)
{
    return padNumber(value, width);
}

}  // namespace tarvelin
