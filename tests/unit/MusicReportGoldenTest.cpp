// Walks the golden folders: every cue-lines.txt with expected report files
// report-fps<RATE>[-gap<SECONDS>].tsv (decimal comma), written by the independent reference
// tests/support/reference_report.py. The rows are computed in minutes-and-seconds mode, the
// report built from those before a failing one and written as "tarvelin-cli report" does.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

#include "conversion/ConversionError.h"
#include "conversion/CueRows.h"
#include "conversion/Text.h"
#include "conversion/Timecode.h"
#include "export/MusicReportText.h"
#include "export/RowsTsv.h"
#include "tests/support/GoldenFolders.h"

namespace tarvelin {
namespace {

namespace fs = std::filesystem;

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
    return testsupport::forEachGoldenFile(
        root, reportName,
        [](const std::u16string& text, const std::smatch& name, const fs::path& expected) {
            SCOPED_TRACE(expected.string());
            const double gap = name[2].matched ? ReadRate(fromUtf8(name[2].str()), u',')
                                               : kDefaultReportGapSeconds;
            EXPECT_EQ(reportOf(text, fromUtf8(name[1].str()), gap),
                      testsupport::readFile(expected));
        });
}

TEST(MusicReportGoldenTest, ReportsMatchTheReferenceForEveryCase)
{
    const fs::path data = TARVELIN_TEST_DATA_DIR;
    EXPECT_GE(compareFolders(data / "report"), 50);
    EXPECT_GE(compareFolders(data / "cases"), 50);
}

}  // namespace
}  // namespace tarvelin
