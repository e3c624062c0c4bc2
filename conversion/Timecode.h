// Timecode arithmetic: timecode text to frame counts and frame counts back to text.
//
// Text in, text out, exactly as the program defines it: fields are taken at face value, the
// count uses the real rate in extended precision, the formatting the whole rate (rounded down).
// The decimal separator of the user's locale is a parameter, so this stays locale-free.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvelin {

// Reads a decimal number: optional blanks, sign, digits with the given separator, exponent,
// blanks. Throws ConversionError "'%s' ist kein gültiger Gleitkommawert" otherwise.
long double ReadNumber(std::u16string_view text, char16_t decimalSeparator);

// Writes the frame count of a timecode at the rate into result. Leaves result untouched when the
// rate reads as zero.
void TimecodeToFrames(std::u16string_view timecode, std::u16string_view rateText,
                      char16_t decimalSeparator, std::u16string& result);

// HH:MM:SS:FF at the whole rate. Throws "Division durch Null" when the whole rate is zero.
std::u16string FramesToTimecode(std::int32_t frames, double rate);

// MM:SS at the whole rate, at least "00:01". Throws "Division durch Null" when the whole rate is 0.
std::u16string FramesToMinSec(std::int32_t frames, double rate);

// Decimal text of value, padded with leading zeros to width.
std::u16string PadNumber(std::int32_t value, int width);

}  // namespace tarvelin
