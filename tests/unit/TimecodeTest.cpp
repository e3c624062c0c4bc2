#include "conversion/Timecode.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "conversion/ConversionError.h"
#include "conversion/Text.h"

namespace tarvelin {
namespace {

std::u16string notAFloat(std::u16string_view text)
{
    return formatMessage(u"'%s' ist kein gültiger Gleitkommawert", text);
}

std::u16string notAnInteger(std::u16string_view text)
{
    return formatMessage(u"'%s' ist kein gültiger Integerwert", text);
}

// Runs f and returns the message of the ConversionError it throws ("" when it throws none).
template <typename F>
std::u16string failureOf(F&& f)
{
    try {
        f();
    } catch (const ConversionError& e) {
        return e.message();
    }
    return u"";
}

struct CountCase {
    const char16_t* timecode;
    const char16_t* rate;
    char16_t separator;
    const char16_t* expected;
};

TEST(TimecodeTest, CountsFramesAtTheRealRate)
{
    const CountCase cases[] = {
        {u"00:00:00:00", u"25", u',', u"0"},
        {u"10:00:16:06", u"25", u',', u"900406"},
        {u"10:00:16:06", u"24", u',', u"864390"},
        {u"10:00:16:06", u"30", u',', u"1080486"},
        // Halves go to the even neighbour: 12.5 -> 12, 37.5 -> 38.
        {u"00:00:01:00", u"12,5", u',', u"12"},
        {u"00:00:03:00", u"12,5", u',', u"38"},
        {u"00:00:05:00", u"12,5", u',', u"62"},
        {u"00:10:00:00", u"29,97", u',', u"17982"},
        {u"00:10:00:00", u"29.97", u'.', u"17982"},
        // Fields count at face value, beyond their usual ranges.
        {u"00:00:00:30", u"25", u',', u"30"},
        {u"00:99:99:99", u"25", u',', u"151074"},
        {u"01:00:00:00", u"0,5", u',', u"1800"},
        // The rate's written forms.
        {u"10:00:16:06", u"  25  ", u',', u"900406"},
        {u"10:00:16:06", u"+25", u',', u"900406"},
        {u"10:00:16:06", u"25,", u',', u"900406"},
        {u"10:00:16:06", u"2,5E1", u',', u"900406"},
        {u"10:00:16:06", u"250e-1", u',', u"900406"},
        {u"00:00:01:00", u",5E2", u',', u"50"},
        {u"00:00:01:00", u"-25", u',', u"-25"},
        // Large counts: plain up to 15 digits, exponent notation from 10^15 on.
        {u"00:00:01:00", u"999999999999999", u',', u"999999999999999"},
        {u"00:00:01:00", u"1E15", u',', u"1E15"},
        {u"00:00:01:00", u"-1E15", u',', u"-1E15"},
        {u"00:00:01:00", u"1234567890123456789", u',', u"1,23456789012346E18"},
        {u"00:00:01:00", u"1234567890123456789", u'.', u"1.23456789012346E18"},
        // The edges of the 64-bit count.
        {u"00:00:00:9223372036854775807", u"1", u',', u"9,22337203685478E18"},
        {u"00:00:00:-9223372036854775808", u"1", u',', u"-9,22337203685478E18"},
    };
    for (const CountCase& c : cases) {
        SCOPED_TRACE(toUtf8(c.timecode) + " @ " + toUtf8(c.rate));
        std::u16string result = u"previous";
        TimecodeToFrames(c.timecode, c.rate, c.separator, result);
        EXPECT_EQ(toUtf8(result), toUtf8(c.expected));
    }
}

TEST(TimecodeTest, RateZeroLeavesTheResultAsItWas)
{
    for (const char16_t* rate : {u"0", u"-0", u"0,0", u" 0E7 ", u",", u"1E-5000"}) {
        SCOPED_TRACE(toUtf8(rate));
        std::u16string result = u"previous";
        TimecodeToFrames(u"10:00:16:06", rate, u',', result);
        EXPECT_EQ(toUtf8(result), "previous");
    }
}

TEST(TimecodeTest, RejectsRatesThatAreNotNumbers)
{
    const char16_t* rates[] = {
        u"29.97",  // the point is not the German separator
        u"",       u" ",   u"abc", u"25fps", u"2 5", u"1.000", u"1,2,3", u"+",
        u"-",      u"+-5", u"E5",  u"1E",    u"1E+", u"\t25",  u"25\t",  u"\u00A025",
        u"1E400",   // inside the extended range, but no double
        u"1E5000",  // beyond the extended range
    };
    for (const char16_t* rate : rates) {
        SCOPED_TRACE(toUtf8(rate));
        std::u16string result = u"previous";
        EXPECT_EQ(failureOf([&] { TimecodeToFrames(u"10:00:16:06", rate, u',', result); }),
                  notAFloat(rate));
        EXPECT_EQ(toUtf8(result), "previous");
    }
    EXPECT_EQ(failureOf([] { ReadRate(u"29,97", u'.'); }), notAFloat(u"29,97"));
}

TEST(TimecodeTest, RejectsFieldsThatAreNotNumbers)
{
    struct {
        const char16_t* timecode;
        const char16_t* field;
    } cases[] = {
        {u"aa:00:00:00", u"aa"},
        {u"00:00:00:", u""},
        {u"10", u""},  // no colon: the hours field is empty
        {u"00:0x:00:00", u"0x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(toUtf8(c.timecode));
        std::u16string result;
        EXPECT_EQ(failureOf([&] { TimecodeToFrames(c.timecode, u"25", u',', result); }),
                  notAFloat(c.field));
    }
}

TEST(TimecodeTest, CountsBeyondSixtyFourBitsFailCleanly)
{
    struct {
        const char16_t* timecode;
        const char16_t* rate;
        const char16_t* shown;
    } cases[] = {
        {u"00:00:01:00", u"1E300", u"1E300"},
        {u"00:00:00:9223372036854775808", u"1", u"9,22337203685478E18"},
        {u"00:00:00:-9223372036854775809", u"1", u"-9,22337203685478E18"},
        {u"1E4000:00:00:00", u"25", u"9E4004"},
        {u"1E4931:00:00:00", u"25", u"INF"},  // the product leaves the extended range
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(toUtf8(c.timecode) + " @ " + toUtf8(c.rate));
        std::u16string result = u"previous";
        EXPECT_EQ(failureOf([&] { TimecodeToFrames(c.timecode, c.rate, u',', result); }),
                  notAnInteger(c.shown));
        EXPECT_EQ(toUtf8(result), "previous");
    }
}

TEST(TimecodeTest, LongRateTextsReadOrFailCleanly)
{
    std::u16string longFraction = u"25,";
    longFraction.append(9997, u'0');
    std::u16string result;
    TimecodeToFrames(u"10:00:16:06", longFraction, u',', result);
    EXPECT_EQ(toUtf8(result), "900406");

    const std::u16string longInteger(10000, u'9');
    EXPECT_EQ(failureOf([&] { TimecodeToFrames(u"10:00:16:06", longInteger, u',', result); }),
              notAFloat(longInteger));

    std::u16string longExponent = u"25E";
    longExponent.append(9997, u'0');
    TimecodeToFrames(u"10:00:16:06", longExponent, u',', result);
    EXPECT_EQ(toUtf8(result), "900406");
}

struct FormatCase {
    std::int32_t frames;
    double rate;
    const char16_t* timecode;
    const char16_t* minSec;
};

TEST(TimecodeTest, FormatsCountsAtTheWholeRate)
{
    const FormatCase cases[] = {
        {406, 25, u"00:00:16:06", u"00:16"},
        {0, 25, u"00:00:00:00", u"00:01"},
        {24, 25, u"00:00:00:24", u"00:01"},
        {25, 25, u"00:00:01:00", u"00:01"},
        {1500, 25, u"00:01:00:00", u"01:00"},
        {17982, 29.97, u"00:10:20:02", u"10:20"},
        // Negative counts keep their signs field by field; under a second reads 00:01.
        {-250, 25, u"00:00:-10:00", u"00:-10"},
        {-1, 25, u"00:00:00:-1", u"00:01"},
        {-10, 25, u"00:00:00:-10", u"00:01"},
        {-93075, 25, u"-1:-2:-3:00", u"-62:-3"},
        // An hour and more: full timecode counts hours, minutes and seconds keep the minutes.
        {90000, 25, u"01:00:00:00", u"60:00"},
        {93075, 25, u"01:02:03:00", u"62:03"},
        {150000, 25, u"01:40:00:00", u"100:00"},
        {9061074, 25, u"100:40:42:24", u"6040:42"},
        {90000, 25.9, u"01:00:00:00", u"60:00"},
        // Negative rates round down, huge ones leave the whole count in the frames.
        {100, -0.5, u"00:-1:-40:00", u"-1:-40"},
        {INT32_MIN, -1, u"596523:14:08:00", u"35791394:08"},
        {INT32_MAX, 1e10, u"00:00:00:2147483647", u"00:01"},
        {12, std::numeric_limits<double>::infinity(), u"00:00:00:12", u"00:01"},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.frames) + " @ " + std::to_string(c.rate));
        EXPECT_EQ(toUtf8(FramesToTimecode(c.frames, c.rate)), toUtf8(c.timecode));
        EXPECT_EQ(toUtf8(FramesToMinSec(c.frames, c.rate)), toUtf8(c.minSec));
    }
}

TEST(TimecodeTest, WholeRateZeroIsADivisionByZero)
{
    for (double rate : {0.0, -0.0, 0.5, 0.999}) {
        SCOPED_TRACE(rate);
        EXPECT_EQ(failureOf([&] { FramesToTimecode(100, rate); }), u"Division durch Null");
        EXPECT_EQ(failureOf([&] { FramesToMinSec(100, rate); }), u"Division durch Null");
    }
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(failureOf([&] { FramesToTimecode(100, nan); }), u"Ungültige Gleitkommaoperation");
}

TEST(TimecodeTest, RateZeroCommaFiveCountsButCannotFormat)
{
    std::u16string count;
    TimecodeToFrames(u"01:00:00:00", u"0,5", u',', count);
    ASSERT_EQ(toUtf8(count), "1800");
    const double rate = ReadRate(u"0,5", u',');
    EXPECT_EQ(failureOf([&] { FramesToMinSec(ReadInt32(count), rate); }), u"Division durch Null");
}

TEST(TimecodeTest, PadNumberFillsWithZerosUpToTheWidth)
{
    const struct {
        std::int32_t value;
        const char16_t* expected;
    } cases[] = {{7, u"07"}, {0, u"00"}, {123, u"123"}, {-5, u"-5"}, {INT32_MIN, u"-2147483648"}};
    for (const auto& c : cases) {
        EXPECT_EQ(toUtf8(PadNumber(c.value, 2)), toUtf8(c.expected)) << c.value;
    }
}

TEST(TimecodeTest, GeneralFormatUsesFifteenSignificantDigits)
{
    const struct {
        long double value;
        const char16_t* expected;
    } cases[] = {
        {0.0L, u"0"},
        {900406.0L, u"900406"},
        {-17982.0L, u"-17982"},
        {100.0L, u"100"},
        {999999999999999.0L, u"999999999999999"},
        {999999999999999.5L, u"1E15"},
        {1e15L, u"1E15"},
        {1000000000000005.0L, u"1,00000000000001E15"},  // the 15th digit rounds half up
        {1234567890123456789.0L, u"1,23456789012346E18"},
        {0.5L, u"0,5"},
        {0.0001L, u"0,0001"},
        {0.00001L, u"1E-5"},
        {-2.5e-7L, u"-2,5E-7"},
        {std::numeric_limits<long double>::infinity(), u"INF"},
        {-std::numeric_limits<long double>::infinity(), u"-INF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toUtf8(FormatGeneral(c.value, u',')), toUtf8(c.expected));
    }
}

TEST(TimecodeTest, ReadsThirtyTwoBitIntegers)
{
    const struct {
        const char16_t* text;
        std::int32_t value;
    } accepted[] = {{u"0", 0},
                    {u"  42", 42},
                    {u"+7", 7},
                    {u"-17982", -17982},
                    {u"2147483647", INT32_MAX},
                    {u"-2147483648", INT32_MIN}};
    for (const auto& c : accepted) {
        EXPECT_EQ(ReadInt32(c.text), c.value) << toUtf8(c.text);
    }
    for (const char16_t* text : {u"2147483648", u"-2147483649", u"99999999999999999999", u"", u" ",
                                 u"-", u"1E15", u"12 ", u"1,5", u"0x10"}) {
        EXPECT_EQ(failureOf([&] { ReadInt32(text); }), notAnInteger(text)) << toUtf8(text);
    }
}

}  // namespace
}  // namespace tarvelin
