#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "conversion/ConversionError.h"
#include "conversion/Text.h"
#include "export/CueListText.h"
#include "export/CueListXlsx.h"
#include "export/RowsTsv.h"
#include "tests/support/TempDir.h"

namespace tarvelin {
namespace {

namespace fs = std::filesystem;

using TempFolder = testsupport::TempDir;

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

template <typename F>
std::string failureOf(F&& f)
{
    try {
        f();
    } catch (const ConversionError& e) {
        return e.what();
    }
    return "";
}

const std::vector<CueRow> kRows = {
    {u"10:00:00:00", u"10:00:16:06", u"00:16", u"        SONG.WAV"},
    {u"10:01:00:00", u"11:41:00:00", u"100:00", u"  AB\r\nC.WAV"},
    {u"10:02:00:00", u"10:02:10:00", u"", u""},  // a row whose computation failed
};

TEST(CueListWriterTest, TextTableAlignsColumnsAndTrimsTitles)
{
    EXPECT_EQ(FormatCueListText(kRows),
              "In           Out          Länge   Music Titles\r\n"
              "10:00:00:00  10:00:16:06  00:16   SONG.WAV\r\n"
              "10:01:00:00  11:41:00:00  100:00  AB  C.WAV\r\n"
              "10:02:00:00  10:02:10:00\r\n");
    EXPECT_EQ(FormatCueListText({}), "In  Out  Länge  Music Titles\r\n");
}

TEST(CueListWriterTest, TextTablePadsByCharactersNotBytes)
{
    const std::vector<CueRow> rows = {{u"Ü\U0001D11E", u"x", u"y", u" T"}};
    EXPECT_EQ(FormatCueListText(rows),
              "In  Out  Länge  Music Titles\r\n"
              "Ü\U0001D11E  x    y      T\r\n");
}

TEST(CueListWriterTest, TextFileCarriesAByteOrderMarkAndKeepsPermissions)
{
    TempFolder folder;
    const fs::path target = folder.path() / "Liste.txt";
    writeFile(target, "old content");
    ::chmod(target.c_str(), 0640);

    WriteCueListText(target, kRows);
    EXPECT_EQ(readFile(target), "\xEF\xBB\xBF" + FormatCueListText(kRows));
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"Liste.txt"});
}

TEST(CueListWriterTest, FailedWritesNameTheFileAndLeaveNothingBehind)
{
    TempFolder folder;
    const fs::path missing = folder.path() / "fehlt" / "Liste.txt";
    const std::string missingFolder = "Die Datei " + missing.string() +
                                      " konnte nicht geschrieben werden. Das System kann die "
                                      "angegebene Datei nicht finden";
    EXPECT_EQ(failureOf([&] { WriteCueListText(missing, kRows); }), missingFolder);
    EXPECT_EQ(failureOf([&] { WriteCueListXlsx(missing, kRows); }), missingFolder);

    // A folder in the way cannot be replaced; it stays, and no temporary file is left.
    const fs::path folderInTheWay = folder.path() / "Liste.xlsx";
    fs::create_directory(folderInTheWay);
    writeFile(folderInTheWay / "inside", "x");
    EXPECT_NE(failureOf([&] { WriteCueListText(folderInTheWay, kRows); }), "");
    EXPECT_NE(failureOf([&] { WriteCueListXlsx(folderInTheWay, kRows); }), "");
    EXPECT_EQ(readFile(folderInTheWay / "inside"), "x");
    EXPECT_EQ(folder.names(), std::vector<std::string>{"Liste.xlsx"});
}

std::string runReader(const fs::path& xlsx)
{
    const std::string command = "\"" TARVELIN_PYTHON3 "\" \"" TARVELIN_TEST_DATA_DIR
                                "/../support/read_xlsx.py\" \"" +
                                xlsx.string() + "\"";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    std::string out;
    char buffer[4096];
    std::size_t n = 0;
    while (pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0) {
        out.append(buffer, n);
    }
    return out;
}

TEST(CueListWriterTest, SpreadsheetReadsBackAsTextCells)
{
    TempFolder folder;
    const fs::path target = folder.path() / "Liste.xlsx";
    writeFile(target, "old content");
    std::vector<CueRow> rows = kRows;
    rows.push_back({u"10:03:00:00", u"10:03:01:00", u"00:01", u"        MÜLLER 01.WAV"});
    WriteCueListXlsx(target, rows);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"Liste.xlsx"});

    const std::string dump = runReader(target);
    ASSERT_FALSE(dump.empty()) << "python3 with openpyxl is needed to read the workbook back";
    std::istringstream lines(dump);
    std::vector<std::string> widths;
    std::string cells;
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("width\t", 0) == 0) {
            widths.push_back(line.substr(8));
        } else {
            cells += line + "\n";
        }
    }
    EXPECT_EQ(cells,
              "sheet\tAusgang GEMA VB\n"
              "freeze\tA2\n"
              "cell\tA1\ts\t@\tbold\tIn\n"
              "cell\tB1\ts\t@\tbold\tOut\n"
              "cell\tC1\ts\t@\tbold\tLänge\n"
              "cell\tD1\ts\t@\tbold\tMusic Titles\n"
              "cell\tA2\ts\t@\tplain\t10:00:00:00\n"
              "cell\tB2\ts\t@\tplain\t10:00:16:06\n"
              "cell\tC2\ts\t@\tplain\t00:16\n"
              "cell\tD2\ts\t@\tplain\tSONG.WAV\n"
              "cell\tA3\ts\t@\tplain\t10:01:00:00\n"
              "cell\tB3\ts\t@\tplain\t11:41:00:00\n"
              "cell\tC3\ts\t@\tplain\t100:00\n"
              "cell\tD3\ts\t@\tplain\tAB\\r\\nC.WAV\n"
              "cell\tA4\ts\t@\tplain\t10:02:00:00\n"
              "cell\tB4\ts\t@\tplain\t10:02:10:00\n"
              "cell\tA5\ts\t@\tplain\t10:03:00:00\n"
              "cell\tB5\ts\t@\tplain\t10:03:01:00\n"
              "cell\tC5\ts\t@\tplain\t00:01\n"
              "cell\tD5\ts\t@\tplain\tMÜLLER 01.WAV\n");
    ASSERT_EQ(widths.size(), 4u);
    for (int column = 0; column < 3; ++column) {
        EXPECT_GE(std::stod(widths[column]), 11.0) << "column " << column;
    }
    EXPECT_GE(std::stod(widths[3]), 30.0);
}

TEST(CueListWriterTest, SpreadsheetCutsTitlesAtTheCellLimit)
{
    TempFolder folder;
    const fs::path target = folder.path() / "Lang.xlsx";
    std::u16string title(40000, u'A');
    title += u".WAV";
    WriteCueListXlsx(target, {{u"10:00:00:00", u"10:00:01:00", u"00:01", title}});
    const std::string dump = runReader(target);
    const std::string cut = "cell\tD2\ts\t@\tplain\t" + std::string(32767, 'A') + "\n";
    EXPECT_NE(dump.find(cut), std::string::npos);
}

TEST(CueListWriterTest, TsvEscapesEveryCellSeparator)
{
    const std::vector<CueRow> rows = {
        {u"10:00:00:00", u"10:00:16:06", u"00:16", u"        A\tB\\C\r\nD.WAV"},
        {u"10:01:00:00", u"10:01:10:00", u"", u""},
    };
    EXPECT_EQ(FormatRowsTsv(rows),
              "10:00:00:00\t10:00:16:06\t00:16\t        A\\tB\\\\C\\r\\nD.WAV\n"
              "10:01:00:00\t10:01:10:00\t\t\n");
    EXPECT_EQ(FormatRowsTsv({}), "");
}

TEST(CueListWriterTest, CueLineTextJoinsLinesWithCrLf)
{
    const struct {
        const char* bytes;
        const char16_t* text;
    } cases[] = {
        {"", u""},
        {"a", u"a"},
        {"\xEF\xBB\xBF"
         "a\nb\n",
         u"a\r\nb"},
        {"a\r\nb\rc\n", u"a\r\nb\r\nc"},
        {"a\n\n\r\rb", u"a\r\n\r\n\r\n\r\nb"},
        {"a\xEF\xBB\xBF", u"a\uFEFF"},  // only a leading mark is dropped
        {"\xC3\x9C\xFF", u"Ü\uFFFD"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toUtf8(CueLineTextFromUtf8(c.bytes)), toUtf8(c.text)) << c.bytes;
    }
}

TEST(CueListWriterTest, FullStopIsAppendedAsTheErrorBoxDoes)
{
    const struct {
        const char16_t* message;
        const char16_t* shown;
    } cases[] = {
        {u"Division durch Null", u"Division durch Null."},
        {u"'' ist kein gültiger Gleitkommawert", u"'' ist kein gültiger Gleitkommawert."},
        {u"Schon da.", u"Schon da."},
        {u"Endet mit -", u"Endet mit -"},
        {u"Endet mit '", u"Endet mit '"},
        {u"Endet mit /", u"Endet mit /."},
        {u"", u"."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toUtf8(WithFullStop(c.message)), toUtf8(c.shown));
    }
}

}  // namespace
}  // namespace tarvelin
