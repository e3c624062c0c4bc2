// Walks the golden folders: every cue-lines.txt with expected report files
// report-fps<RATE>[-gap<SECONDS>].tsv (decimal comma), written by the independent reference
// tests/support/reference_report.py. The rows are computed in minutes-and-seconds mode, the
// report built from those before a failing one and written as "tarvelin-cli report" does.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

#include "conversion/ConversionError.h"
#include "conversion/CueRows.h"
#include "conversion/Text.h"
#include "conversion/Timecode.h"
#include "export/MusicReportText.h"
#include "export/RowsTsv.h"

namespace tarvelin {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string reportOf(const std::u16string& cueText, const std::u16string& rate, double gap)
{
    VectorCueRowList rows;
    try {
        ComputeCueRows(cueText, rate, true, u',', rows);
    } catch (const ConversionError&) {
        rows.rows.pop_back();
    }
    return FormatMusicReportTsv(BuildMusicReport(rows.rows, rate, u',', gap));
}

int compareFolders(const fs::path& root)
{
    const std::regex reportName(R"(report-fps([0-9,]+)(?:-gap([0-9,]+))?\.tsv)");
    int compared = 0;
    for (const auto& folder : fs::directory_iterator(root)) {
        const fs::path cueLines = folder.path() / "cue-lines.txt";
        if (!fs::is_regular_file(cueLines)) {
            continue;
        }
        const std::u16string text = CueLineTextFromUtf8(readFile(cueLines));
        for (const auto& file : fs::directory_iterator(folder.path())) {
            std::smatch name;
            const std::string fileName = file.path().filename().string();
            if (!std::regex_match(fileName, name, reportName)) {
                continue;
            }
            SCOPED_TRACE(file.path().string());
            const double gap = name[2].matched ? ReadRate(fromUtf8(name[2].str()), u',')
                                               : kDefaultReportGapSeconds;
            EXPECT_EQ(reportOf(text, fromUtf8(name[1].str()), gap), readFile(file.path()));
            ++compared;
        }
    }
    return compared;
}

TEST(MusicReportGoldenTest, ReportsMatchTheReferenceForEveryCase)
{
    const fs::path data = TARVELIN_TEST_DATA_DIR;
    EXPECT_GE(compareFolders(data / "report"), 50);
    EXPECT_GE(compareFolders(data / "cases"), 50);
}

}  // namespace
}  // namespace tarvelin
