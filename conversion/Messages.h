// The German texts of the conversion core, each stated once, and the full-stop rule of the
// error box.
//
// A failure of loading, computing or extracting carries one of these texts in its
// ConversionError (with "%s" put in place where the text has one). The window, the command-line
// tool and the browser show them as they stand; only the error box and the command-line tool's
// failure report add the full stop (WithFullStop). Texts of the windows live in ui/.
#pragma once

#include <string>
#include <string_view>

namespace tarvelin {

// Loading: the full file name, then the system's reason (SystemErrorText).
inline constexpr std::u16string_view kCannotOpenMessage =
    u"Datei %s kann nicht geöffnet werden. %s";
inline constexpr std::u16string_view kCannotLoadMessage = u"Stream konnte nicht geladen werden";
// A file with more characters than the raw-text buffer holds.
inline constexpr std::u16string_view kTooLargeMessage =
    u"Die Datei ist zu groß: höchstens 16.777.215 Zeichen";

// Extraction: any failure while the cue lines are searched.
inline constexpr std::u16string_view kExtractionFailedMessage = u"Error: Falsche Format";

// Number reading and timecode arithmetic; %s is the text that could not be read.
inline constexpr std::u16string_view kNotAFloatMessage = u"'%s' ist kein gültiger Gleitkommawert";
inline constexpr std::u16string_view kNotAnIntegerMessage = u"'%s' ist kein gültiger Integerwert";
inline constexpr std::u16string_view kDivisionByZeroMessage = u"Division durch Null";
inline constexpr std::u16string_view kInvalidFloatOperationMessage =
    u"Ungültige Gleitkommaoperation";

// The music report: a rate not above zero (%s the rate text), a rate too small for the exact
// arithmetic, and a total beyond the 64-bit range of seconds.
inline constexpr std::u16string_view kReportRateNotAboveZeroMessage =
    u"Keine Musikfolge: Die Bildrate '%s' ist nicht größer als null";
inline constexpr std::u16string_view kReportRateTooSmallMessage =
    u"Die Musikfolge kann bei dieser Bildrate nicht berechnet werden";
inline constexpr std::u16string_view kReportTooLongMessage =
    u"Die Gesamtdauer der Musikfolge ist zu groß";

// The message as the error box shows it: a full stop is appended unless the message already
// ends in a character at or below "." in code order (an empty message gets one).
inline std::u16string WithFullStop(std::u16string message)
{
    if (message.empty() || message.back() > u'.') message += u'.';
    return message;
}

}  // namespace tarvelin
