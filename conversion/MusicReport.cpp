#include "conversion/MusicReport.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>

#include "conversion/AudioExtensions.h"
#include "conversion/ConversionError.h"
#include "conversion/Messages.h"
#include "conversion/ReportTime.h"
#include "conversion/Text.h"
#include "conversion/Timecode.h"

namespace tarvelin {

namespace {

constexpr std::u16string_view kDissolveDebris = u" TO CLIP NAME:";
constexpr std::array<std::u16string_view, 3> kCopySuffixWords = {u"SUB", u"COPY", u"NEW"};

char16_t upper(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

bool equalIgnoringCase(std::u16string_view text, std::u16string_view upperCaseWord)
{
    return text.size() == upperCaseWord.size() &&
           std::equal(text.begin(), text.end(), upperCaseWord.begin(),
                      [](char16_t a, char16_t b) { return upper(a) == b; });
}

std::size_t findIgnoringCase(std::u16string_view text, std::u16string_view upperCaseWord)
{
    for (std::size_t at = 0; at + upperCaseWord.size() <= text.size(); ++at) {
        if (equalIgnoringCase(text.substr(at, upperCaseWord.size()), upperCaseWord)) {
            return at;
        }
    }
    return std::u16string_view::npos;
}

std::u16string_view trimBlanks(std::u16string_view text)
{
    const std::size_t first = text.find_first_not_of(u' ');
    if (first == std::u16string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(u' ') - first + 1);
}

// The length of the text before a copy suffix ".SUB.01" that ends it, if one does.
std::optional<std::size_t> copySuffixStart(std::u16string_view name)
{
    std::size_t digits = 0;
    while (digits < name.size() && name[name.size() - 1 - digits] >= u'0' &&
           name[name.size() - 1 - digits] <= u'9') {
        ++digits;
    }
    if (digits == 0 || digits + 1 > name.size() || name[name.size() - 1 - digits] != u'.') {
        return std::nullopt;
    }
    const std::u16string_view front = name.substr(0, name.size() - 1 - digits);
    for (const std::u16string_view word : kCopySuffixWords) {
        if (front.size() > word.size() && front[front.size() - word.size() - 1] == u'.' &&
            equalIgnoringCase(front.substr(front.size() - word.size()), word)) {
            return front.size() - word.size() - 1;
        }
    }
    return std::nullopt;
}

struct TimedRow {
    std::size_t index;
    std::u16string fileName;
    TimecodeValue in;
    TimecodeValue out;
    const CueRow* row;
};

struct OpenUse {
    const TimedRow* first;
    const TimedRow* latest;  // the row with the largest Out so far
};

std::int64_t checkedSum(std::int64_t a, std::int64_t b)
{
    std::int64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum)) {
        throw ConversionError(std::u16string(kReportTooLongMessage));
    }
    return sum;
}

}  // namespace

std::u16string ReportFileName(std::u16string_view title)
{
    std::u16string_view name = trimBlanks(title);
    const std::size_t debris = findIgnoringCase(name, kDissolveDebris);
    if (debris != std::u16string_view::npos) {
        name = trimBlanks(name.substr(0, debris));
    }
    while (const auto start = copySuffixStart(name)) {
        const std::u16string_view rest = trimBlanks(name.substr(0, *start));
        if (rest.empty()) {
            break;
        }
        name = rest;
    }
    return std::u16string(name);
}

std::u16string ReportWorkTitle(std::u16string_view fileName)
{
    const std::size_t dot = fileName.rfind(u'.');
    if (dot == std::u16string_view::npos) {
        return std::u16string(fileName);
    }
    const std::u16string_view rest = trimBlanks(fileName.substr(0, dot));
    // A work title drops the extension of an audio clip, in any letter case.
    const std::u16string_view extension = fileName.substr(dot + 1);
    const bool audio = std::any_of(
        kAudioExtensions.begin(), kAudioExtensions.end(),
        [extension](std::u16string_view known) { return equalIgnoringCase(extension, known); });
    return std::u16string(audio && !rest.empty() ? rest : fileName);
}

std::u16string SkippedRowsNote(std::size_t count)
{
    const std::string number = std::to_string(count);
    return std::u16string(number.begin(), number.end()) +
           (count == 1 ? u" Zeile übersprungen" : u" Zeilen übersprungen") +
           u": Out liegt nicht nach In.";
}

std::u16string FormatReportDuration(std::int64_t seconds)
{
    const bool negative = seconds < 0;
    const std::uint64_t whole =
        negative ? 0 - static_cast<std::uint64_t>(seconds) : static_cast<std::uint64_t>(seconds);
    const auto twoDigits = [](std::uint64_t value) {
        const std::string text = std::to_string(value);
        return std::u16string(text.size() < 2 ? 1 : 0, u'0') +
               std::u16string(text.begin(), text.end());
    };
    return (negative ? u"-" : u"") + twoDigits(whole / 60) + u':' + twoDigits(whole % 60);
}

MusicReport BuildMusicReport(const std::vector<CueRow>& rows, std::u16string_view rateText,
                             char16_t decimalSeparator, double gapSeconds)
{
    const double rateValue = ReadRate(rateText, decimalSeparator);
    if (!(rateValue > 0)) {
        throw ConversionError(formatMessage(kReportRateNotAboveZeroMessage, rateText));
    }
    const ExactRate rate = ExactRateOf(rateValue);
    const ExactGap gap = ExactGapOf(gapSeconds);
    MusicReport report;

    std::vector<TimedRow> timed;
    timed.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto in = ReadTimecodeValue(rows[i].in);
        const auto out = ReadTimecodeValue(rows[i].out);
        if (!in || !out || CompareTimes(*out, *in, rate) <= 0) {
            ++report.skippedRows;
            continue;
        }
        timed.push_back({i, ReportFileName(rows[i].title), *in, *out, &rows[i]});
    }

    // Rows of one file name in order of In, then Out; the list order breaks remaining ties.
    std::sort(timed.begin(), timed.end(), [&rate](const TimedRow& a, const TimedRow& b) {
        if (a.fileName != b.fileName) {
            return a.fileName < b.fileName;
        }
        if (const int byIn = CompareTimes(a.in, b.in, rate); byIn != 0) {
            return byIn < 0;
        }
        if (const int byOut = CompareTimes(a.out, b.out, rate); byOut != 0) {
            return byOut < 0;
        }
        return a.index < b.index;
    });

    // A row joins the open use of its file name while it starts at most the gap after the
    // largest Out so far; otherwise it opens the next use.
    std::vector<OpenUse> uses;
    for (const TimedRow& row : timed) {
        OpenUse* current = uses.empty() ? nullptr : &uses.back();
        if (current != nullptr && current->first->fileName == row.fileName &&
            AtMostGapAfter(row.in, current->latest->out, gap, rate)) {
            if (CompareTimes(row.out, current->latest->out, rate) > 0) {
                current->latest = &row;
            }
        } else {
            uses.push_back({&row, &row});
        }
    }

    std::sort(uses.begin(), uses.end(), [&rate](const OpenUse& a, const OpenUse& b) {
        if (const int byIn = CompareTimes(a.first->in, b.first->in, rate); byIn != 0) {
            return byIn < 0;
        }
        return a.first->fileName < b.first->fileName;
    });

    std::map<std::u16string, std::size_t> totalOf;
    for (const OpenUse& use : uses) {
        ReportUse entry;
        entry.number = static_cast<int>(report.uses.size()) + 1;
        entry.fileName = use.first->fileName;
        entry.title = ReportWorkTitle(entry.fileName);
        entry.in = use.first->row->in;
        entry.out = use.latest->row->out;
        entry.inSeconds = ApproximateSeconds(use.first->in, rate);
        entry.outSeconds = ApproximateSeconds(use.latest->out, rate);
        entry.seconds = SecondsRoundedUp(use.first->in, use.latest->out, rate);

        const auto [slot, added] = totalOf.try_emplace(entry.fileName, report.totals.size());
        if (added) {
            report.totals.push_back({entry.title, entry.fileName, 0, 0});
        }
        ReportTotal& total = report.totals[slot->second];
        ++total.uses;
        total.seconds = checkedSum(total.seconds, entry.seconds);
        report.totalSeconds = checkedSum(report.totalSeconds, entry.seconds);
        report.uses.push_back(std::move(entry));
    }
    report.totalUses = static_cast<int>(report.uses.size());
    return report;
}

}  // namespace tarvelin
