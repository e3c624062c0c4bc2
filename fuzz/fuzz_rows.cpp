// Fuzz target: the cue list computation ("Rechnen TC") on any cue-line text and any frame-rate
// text, the number routines it is built from, and the music report of the completed rows.
//
// Input layout: the first byte chooses the display mode, the decimal separator and the report's
// gap (bit 2: 0 s, else 1 s); the text up to the first LF is the frame-rate text; the rest is
// the cue-line area. Bytes are taken as Latin-1 characters so that ÄÖÜ and line breaks reach
// the pattern.
//
// Every run must end normally or with a ConversionError, and the rows must have the shape the
// window shows: complete rows, then at most one failing row holding only In and Out. The report
// either fails for the rate alone or accounts for every completed row: numbered uses of at least
// one second each, and totals that add up.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/ConversionError.h"
#include "conversion/CueRows.h"
#include "conversion/MusicReport.h"
#include "conversion/Timecode.h"

namespace {

std::u16string latin1(std::string_view bytes)
{
    std::u16string text;
    for (const char byte : bytes) {
        text += static_cast<char16_t>(static_cast<unsigned char>(byte));
    }
    return text;
}

bool isComplete(const tarvelin::CueRow& row)
{
    return row.in.size() == 11 && row.out.size() == 11 && !row.length.empty() && !row.title.empty();
}

// The number routines on their own: each either gives a value or a ConversionError.
void exerciseNumbers(std::u16string_view text, char16_t separator)
{
    try {
        (void)tarvelin::ReadNumber(text, separator);
    } catch (const tarvelin::ConversionError&) {
    }
    try {
        (void)tarvelin::ReadInt32(text);
    } catch (const tarvelin::ConversionError&) {
    }
    try {
        const double rate = tarvelin::ReadRate(text, separator);
        std::u16string frames;
        tarvelin::TimecodeToFrames(u"99:99:99:99", text, separator, frames);
        (void)tarvelin::FormatGeneral(static_cast<long double>(rate), separator);
        (void)tarvelin::FramesToTimecode(INT32_MIN, rate);
        (void)tarvelin::FramesToMinSec(INT32_MAX, rate);
    } catch (const tarvelin::ConversionError&) {
    }
}

void checkReport(const std::vector<tarvelin::CueRow>& rows, std::u16string_view rateText,
                 char16_t separator, double gap)
{
    tarvelin::MusicReport report;
    try {
        report = tarvelin::BuildMusicReport(rows, rateText, separator, gap);
    } catch (const tarvelin::ConversionError&) {
        return;
    }
    std::int64_t seconds = 0;
    for (std::size_t i = 0; i < report.uses.size(); ++i) {
        const tarvelin::ReportUse& use = report.uses[i];
        if (use.number != static_cast<int>(i) + 1 || use.seconds < 1 ||
            (i > 0 && use.inSeconds < report.uses[i - 1].inSeconds - 1e-6)) {
            std::abort();
        }
        seconds += use.seconds;
    }
    int uses = 0;
    std::int64_t totalSeconds = 0;
    for (const tarvelin::ReportTotal& total : report.totals) {
        uses += total.uses;
        totalSeconds += total.seconds;
    }
    if (uses != report.totalUses || report.totalUses != static_cast<int>(report.uses.size()) ||
        seconds != report.totalSeconds || totalSeconds != seconds ||
        report.uses.size() + report.skippedRows > rows.size() ||
        (rows.size() > report.skippedRows && report.uses.empty())) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    const bool minutesAndSeconds = (data[0] & 1) != 0;
    const char16_t separator = (data[0] & 2) != 0 ? u'.' : u',';
    const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t newline = rest.find('\n');
    const std::u16string rateText = latin1(rest.substr(0, newline));
    const std::u16string cueText =
        newline == std::string_view::npos ? std::u16string() : latin1(rest.substr(newline + 1));

    exerciseNumbers(rateText, separator);

    tarvelin::VectorCueRowList rows;
    bool failed = false;
    try {
        tarvelin::ComputeCueRows(cueText, rateText, minutesAndSeconds, separator, rows);
    } catch (const tarvelin::ConversionError&) {
        failed = true;
    }
    const std::size_t complete = failed ? rows.rows.size() - 1 : rows.rows.size();
    // A failure always belongs to a row; the rates the box offers never fail.
    const bool offeredRate = rateText == u"24" || rateText == u"25" || rateText == u"30";
    if (failed && (rows.rows.empty() || offeredRate)) {
        std::abort();
    }
    for (std::size_t i = 0; i < complete; ++i) {
        if (!isComplete(rows.rows[i])) {
            std::abort();
        }
    }
    if (failed) {
        const tarvelin::CueRow& last = rows.rows.back();
        if (last.in.size() != 11 || last.out.size() != 11 || !last.length.empty() ||
            !last.title.empty()) {
            std::abort();
        }
    }
    rows.rows.resize(complete);
    checkReport(rows.rows, rateText, separator, (data[0] & 4) != 0 ? 0.0 : 1.0);
    return 0;
}
