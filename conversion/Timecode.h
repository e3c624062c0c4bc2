// Timecode arithmetic: timecode text to frame counts and frame counts back to text.
//
// Text in, text out, exactly as the program defines it: fields are taken at face value, the
// count uses the real rate in extended precision (long double, the 80-bit format on x86-64)
// rounded half to even, the formatting the whole rate (rounded down). All divisions truncate
// toward zero, so negative counts print field by field with their signs.
//
// The decimal separator of the user's locale is a parameter, so this unit stays locale-free and
// never consults the process locale. It does not check that a timecode is well formed: the
// cue-line pattern only lets two-digit fields through.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvelin {

// The one number-reading rule, for rate texts, timecode fields and frame-count texts alike:
// blanks (U+0020), an optional sign, digits with an optional decimal separator and more digits
// (at least one digit or the separator), an optional exponent ("E"/"e", optional sign, at
// least one digit), blanks, nothing else. A value beyond the extended range is rejected.
// Throws ConversionError "'%s' ist kein gültiger Gleitkommawert" with the text unchanged.
long double ReadNumber(std::u16string_view text, char16_t decimalSeparator);

// ReadNumber rounded to a double. A value beyond the double range fails the same way.
double ReadRate(std::u16string_view text, char16_t decimalSeparator);

// The general number format with 15 significant digits: below 10^15 in magnitude the plain
// decimal (fixed notation); from there on (and below 10^-4) exponent notation: the mantissa
// with the decimal separator and no trailing zeros, "E", a "-" for negative exponents only, the
// exponent without leading zeros ("1E15", "1,23456789012346E18"). The 15th digit is rounded
// half away from zero. Infinities and NaN write "INF", "-INF" and "NAN".
std::u16string FormatGeneral(long double value, char16_t decimalSeparator);

// The decimal integer conversion: blanks (U+0020), an optional sign, at least one digit, nothing
// else, and a value inside the 32-bit signed range. Throws ConversionError
// "'%s' ist kein gültiger Integerwert" otherwise.
std::int32_t ReadInt32(std::u16string_view text);

// Writes the frame count of a timecode at the rate into result (general number format). Leaves
// result untouched when the rate reads as zero. A count beyond the 64-bit range fails with the
// integer message, the count in general format standing for %s.
void TimecodeToFrames(std::u16string_view timecode, std::u16string_view rateText,
                      char16_t decimalSeparator, std::u16string& result);

// The frame count TimecodeToFrames writes, as a number: the fields at the rate in extended
// precision, rounded half to even. The caller reads the fields and the rate.
long double FrameCount(long double hours, long double minutes, long double seconds,
                       long double frames, double rate);

// HH:MM:SS:FF at the whole rate. Throws "Division durch Null" when the whole rate is zero.
std::u16string FramesToTimecode(std::int32_t frames, double rate);

// MM:SS at the whole rate, never "00:00" (that becomes "00:01"). An hour or more keeps counting
// the minutes: one hour, two minutes and three seconds read "62:03". Throws
// "Division durch Null" when the whole rate is zero.
std::u16string FramesToMinSec(std::int32_t frames, double rate);

// Decimal text of value, zeros put in front while shorter than width ("-5" stays "-5").
std::u16string PadNumber(std::int32_t value, int width);

}  // namespace tarvelin
