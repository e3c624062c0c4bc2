// The page's core: the main window's conversion steps behind a small C interface for the worker.
//
// The worker script (web/worker.js) calls these functions and nothing else. The module keeps
// what the window keeps between presses: the raw-text buffer with the normalised text of the
// last loaded list, and the rows of the last computation for saving and exporting. Results are
// handed back in two UTF-16 slots, a text (cue lines or row cells) and a message (the German
// failure text as the error box shows it), which the worker reads straight from memory.
// Nothing here touches the page; the files it writes live in the module's own memory.

#include <cstddef>
#include <exception>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "conversion/ConversionError.h"
#include "conversion/CueRows.h"
#include "conversion/EdlLoader.h"
#include "conversion/EdlPipeline.h"
#include "conversion/Messages.h"
#include "conversion/Text.h"
#include "export/CueListText.h"
#include "export/CueListXlsx.h"
#include "export/MusicReportText.h"

namespace {

using tarvelin::ConversionError;

// Outcomes of the calls below.
constexpr int kDone = 0;
constexpr int kFailed = 1;      // the message slot holds the failure
constexpr int kLoadFailed = 2;  // loading failed; buffer and cue lines are as they were
constexpr int kWarned = 3;      // done, and the message slot holds a warning

// Most bytes a list may have before it is refused unread, as the program refuses it.
constexpr double kMaxFileBytes = 4.0 * static_cast<double>(tarvelin::kTextCapacity);

// The frame rate reads with a decimal comma, as in a German locale.
constexpr char16_t kDecimalSeparator = u',';

// Separates the cells of the row slot; no cell can hold it, since matching stops at U+0000.
constexpr char16_t kCellSeparator = u'\0';

std::u16string g_buffer;  // RichEdit1: every line followed by CR LF
std::vector<tarvelin::CueRow> g_rows;
std::size_t g_completedRows = 0;  // rows before a failing one, which the report covers
std::u16string g_rateText;        // the rate the last computation read, for the report
std::u16string g_text;
std::u16string g_message;
std::size_t g_count = 0;

std::u16string messageOf(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(std::move(failure));
    } catch (const ConversionError& error) {
        return tarvelin::WithFullStop(error.message());
    } catch (const std::bad_alloc&) {
        return u"Nicht genügend Arbeitsspeicher.";
    } catch (const std::exception& error) {
        return tarvelin::WithFullStop(tarvelin::fromUtf8(error.what()));
    } catch (...) {
        return u"Unbekannter Fehler.";
    }
}

// Keeps the opened list's normalised text as the buffer and puts its cue lines into the text
// slot, joined by LF as the cue-line area shows them. A failed extraction keeps the lines found
// before it and says so.
int fillCueLines(tarvelin::OpenedEdl opened)
{
    g_buffer = std::move(opened.workText);
    g_count = opened.cues.cueLines.size();
    g_text = tarvelin::JoinLines(opened.cues.cueLines, u"\n");
    if (!opened.cues.extractionFailed) {
        return kDone;
    }
    g_message = std::u16string(tarvelin::kExtractionFailedMessage);
    return kFailed;
}

void appendCells(const tarvelin::CueRow& row)
{
    for (const std::u16string* cell : {&row.in, &row.out, &row.length, &row.title}) {
        g_text += *cell;
        g_text += kCellSeparator;
    }
}

// Writes the rows with the music report of the completed ones. Without a report (a rate not
// above zero) the rows are still written, the file says why, and so does the warning.
template <typename Write>
int writeRows(const char* path, Write write)
{
    try {
        const std::vector<tarvelin::CueRow> completed(
            g_rows.begin(), g_rows.begin() + static_cast<std::ptrdiff_t>(g_completedRows));
        const tarvelin::MusicReportOutcome report =
            tarvelin::TryBuildMusicReport(completed, g_rateText, kDecimalSeparator);
        write(std::string(path), g_rows, report);
        if (report.report) {
            return kDone;
        }
        g_message = u"Die Cue-Liste wurde ohne Musikfolge gespeichert. " + report.reason + u".";
        return kWarned;
    } catch (...) {
        g_message = messageOf(std::current_exception());
        return kFailed;
    }
}

}  // namespace

extern "C" {

// Refuses a file of this many bytes before it is read, with the capacity message.
int tv_check_size(double bytes)
{
    if (bytes <= kMaxFileBytes) {
        return kDone;
    }
    g_message = tarvelin::WithFullStop(std::u16string(tarvelin::kTooLargeMessage));
    return kLoadFailed;
}

// "Öffnen EDL" with a chosen file: the bytes replace the buffer, then normalisation and
// extraction run. On a load failure nothing changes.
int tv_open_edl(const unsigned char* bytes, std::size_t size)
{
    tarvelin::OpenedEdl opened;
    try {
        opened =
            tarvelin::OpenEdlBytes(std::string_view(reinterpret_cast<const char*>(bytes), size));
    } catch (...) {
        g_message = messageOf(std::current_exception());
        return kLoadFailed;
    }
    return fillCueLines(std::move(opened));
}

// A file the browser could not read: the window's message with its name and the reason.
int tv_open_failed(const char16_t* name, std::size_t nameLength, const char16_t* reason,
                   std::size_t reasonLength)
{
    g_message = tarvelin::WithFullStop(tarvelin::formatMessage(
        tarvelin::kCannotOpenMessage,
        {std::u16string_view(name, nameLength), std::u16string_view(reason, reasonLength)}));
    return kLoadFailed;
}

// "Öffnen EDL" with the dialog cancelled: the buffer is normalised again and extracted.
int tv_reopen_edl()
{
    try {
        return fillCueLines(tarvelin::OpenEdlText(std::move(g_buffer)));
    } catch (...) {
        g_message = messageOf(std::current_exception());
        return kFailed;
    }
}

// "Rechnen TC": rows of the cue-line text (line breaks CR LF) at the rate, four cells per row in
// the text slot. A failure keeps the rows before it and the failing row's In and Out.
int tv_compute(const char16_t* cueText, std::size_t cueLength, const char16_t* rateText,
               std::size_t rateLength, int minutesAndSeconds)
{
    tarvelin::VectorCueRowList list;
    int result = kDone;
    try {
        tarvelin::ComputeCueRows(std::u16string_view(cueText, cueLength),
                                 std::u16string_view(rateText, rateLength), minutesAndSeconds != 0,
                                 kDecimalSeparator, list);
    } catch (...) {
        g_message = messageOf(std::current_exception());
        result = kFailed;
    }
    g_rows = std::move(list.rows);
    g_count = g_rows.size();
    g_rateText.assign(rateText, rateLength);
    // The failing row is the last one; the report keeps to the rows before it.
    g_completedRows = result == kDone || g_rows.empty() ? g_rows.size() : g_rows.size() - 1;
    g_text.clear();
    for (const tarvelin::CueRow& row : g_rows) {
        appendCells(row);
    }
    return result;
}

// "Speichern als Text" and "Nach Excel exportieren": the rows of the last computation written
// to path in the module's file system with the music report, exactly as the window writes them.
int tv_save_text(const char* path)
{
    return writeRows(path, [](const std::string& target, const auto& rows, const auto& report) {
        tarvelin::WriteCueListText(target, rows, report);
    });
}

int tv_export_xlsx(const char* path)
{
    return writeRows(path, [](const std::string& target, const auto& rows, const auto& report) {
        tarvelin::WriteCueListXlsx(target, rows, report);
    });
}

const char16_t* tv_text()
{
    return g_text.data();
}
std::size_t tv_text_length()
{
    return g_text.size();
}
const char16_t* tv_message()
{
    return g_message.data();
}
std::size_t tv_message_length()
{
    return g_message.size();
}
std::size_t tv_count()
{
    return g_count;
}

}  // extern "C"
