// The road from an edit decision list to its cue lines, the first half of the conversion, as
// one function for every front end: the window ("Öffnen EDL"), tarvelin-cli (extract, convert)
// and the browser build.
//
// Loading gives the raw-text buffer's text: the list's lines, each followed by CR LF
// (EdlLoader). Normalisation cuts the eight removals out of that text in place and keeps its
// form (EdlNormalizer), so the buffer's lines after it, joined with CR LF again, are the very
// same text: it is the normalised scratch text and the extraction's subject at once, and no
// front end splits or joins it. The extraction then writes one cue line per music event.
//
// A usual list from a file or from bytes (8-bit, CR LF breaks throughout) is normalised in its
// bytes and decoded afterwards, which gives the same text at half the memory traffic.
//
// Loading failures are thrown (ConversionError) before anything else happens. A failure of the
// extraction is no exception here: the lines found before it are kept and the result says so,
// for the front end to show kExtractionFailedMessage. Standard library only.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvelin {

struct CueLineResult {
    std::vector<std::u16string> cueLines;  // one per music event, in the order of the list
    bool extractionFailed = false;         // the search stopped at a failure
};

struct OpenedEdl {
    std::u16string workText;  // the normalised buffer text, every line followed by CR LF
    CueLineResult cues;
};

// Searches the normalised buffer text for its cue lines (the extraction).
CueLineResult ExtractCueLinesFrom(std::u16string_view workText);

// Normalises a loaded buffer text and extracts its cue lines.
OpenedEdl OpenEdlText(std::u16string bufferText);

// Decodes a file's bytes (the browser hands them over) or reads a file, then as OpenEdlText.
OpenedEdl OpenEdlBytes(std::string_view bytes);
OpenedEdl OpenEdlFile(const std::string& path);

}  // namespace tarvelin
