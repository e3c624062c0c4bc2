// The cue list computation: cue-line text in, cue rows (In, Out, Länge, Music Titles) out.
//
// The cue lines are searched with the cue-line pattern; each match becomes a row, filled cell by
// cell, with its duration computed at the frame rate in the chosen display mode. The first
// failure ends the run: rows before it stay complete, the failing row keeps In and Out only.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvelin {

struct CueRow {
    std::u16string in;
    std::u16string out;
    std::u16string length;
    std::u16string title;

    friend bool operator==(const CueRow&, const CueRow&) = default;
};

enum class CueColumn { In, Out, Length, Title };

// Where the rows go: the window's list model, or a plain vector.
class CueRowList {
public:
    virtual ~CueRowList() = default;
    // Appends an empty row at the end.
    virtual void AppendRow() = 0;
    // Sets one cell of the last row.
    virtual void SetLastRowCell(CueColumn column, std::u16string text) = 0;
    // The run of ComputeCueRows has ended (also by a failure): a list that reports its rows in
    // batches reports the rest now.
    virtual void EndRows() {}
};

class VectorCueRowList : public CueRowList {
public:
    void AppendRow() override { rows.emplace_back(); }
    void SetLastRowCell(CueColumn column, std::u16string text) override;

    std::vector<CueRow> rows;
};

// The cue-line pattern (two timecodes six blanks apart, a lazy gap within the line, one title
// alternative per audio extension).
extern const std::u16string_view kCueLinePattern;

// Appends one row per match of the cue-line pattern in cueText.
void ComputeCueRows(std::u16string_view cueText, std::u16string_view rateText,
                    bool minutesAndSeconds, char16_t decimalSeparator, CueRowList& rows);

}  // namespace tarvelin
