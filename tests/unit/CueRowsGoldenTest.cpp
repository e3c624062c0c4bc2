// Walks the golden case folders: every folder with a cue-lines.txt and expected rows files
// rows-<fps>-<minsec|timecode>.tsv, written by an independent reference implementation
// (tests/support/reference_rows.py). The rows are computed and written exactly as
// "tarvelin-cli rows" does and compared byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

#include "conversion/CueRows.h"
#include "conversion/Text.h"
#include "export/RowsTsv.h"
#include "tests/support/GoldenFolders.h"

namespace tarvelin {
namespace {

namespace fs = std::filesystem;

// Returns how many expected files were compared below root.
int compareFolders(const fs::path& root)
{
    const std::regex rowsName(R"(rows-([0-9]+)-(minsec|timecode)\.tsv)");
    return testsupport::forEachGoldenFile(
        root, rowsName,
        [](const std::u16string& text, const std::smatch& name, const fs::path& expected) {
            SCOPED_TRACE(expected.string());
            VectorCueRowList rows;
            ComputeCueRows(text, fromUtf8(name[1].str()), name[2] == "minsec", u',', rows);
            EXPECT_EQ(FormatRowsTsv(rows.rows), testsupport::readFile(expected));
        });
}

TEST(CueRowsGoldenTest, RowsMatchTheReferenceForEveryCase)
{
    const fs::path data = TARVELIN_TEST_DATA_DIR;
    EXPECT_GE(compareFolders(data / "cue-lines"), 18);
    compareFolders(data / "cases");
}

}  // namespace
}  // namespace tarvelin
