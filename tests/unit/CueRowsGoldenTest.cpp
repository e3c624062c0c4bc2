// Walks the golden case folders: every folder with a cue-lines.txt and expected rows files
// rows-<fps>-<minsec|timecode>.tsv, written by an independent reference implementation
// (tests/support/reference_rows.py). The rows are computed and written exactly as
// "tarvelin-cli rows" does and compared byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "conversion/CueRows.h"
#include "conversion/Text.h"
#include "export/RowsTsv.h"

namespace tarvelin {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Returns how many expected files were compared below root.
int compareFolders(const fs::path& root)
{
    if (!fs::is_directory(root)) {
        return 0;
    }
    const std::regex rowsName(R"(rows-([0-9]+)-(minsec|timecode)\.tsv)");
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
            if (!std::regex_match(fileName, name, rowsName)) {
                continue;
            }
            SCOPED_TRACE(file.path().string());
            VectorCueRowList rows;
            ComputeCueRows(text, fromUtf8(name[1].str()), name[2] == "minsec", u',', rows);
            EXPECT_EQ(FormatRowsTsv(rows.rows), readFile(file.path()));
            ++compared;
        }
    }
    return compared;
}

TEST(CueRowsGoldenTest, RowsMatchTheReferenceForEveryCase)
{
    const fs::path data = TARVELIN_TEST_DATA_DIR;
    EXPECT_GE(compareFolders(data / "cue-lines"), 18);
    compareFolders(data / "cases");
}

}  // namespace
}  // namespace tarvelin
