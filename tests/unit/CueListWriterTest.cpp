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
#include "export/MusicReportText.h"
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

std::string runReader(const fs::path& xlsx, const std::string& options = "")
{
    const std::string command = "\"" TARVELIN_PYTHON3 "\" \"" TARVELIN_TEST_DATA_DIR
                                "/../support/read_xlsx.py\" " +
                                options + " \"" + xlsx.string() + "\"";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    std::string out;
    char buffer[4096];
    std::size_t n = 0;
    while (pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0) {
        out.append(buffer, n);
    }
    return out;
}

std::string runReaderOnAllSheets(const fs::path& xlsx)
{
    return runReader(xlsx, "--all");
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

// Two rows of one song back to back, a row whose Out is not after its In, and a use of over an
// hour that ends one frame past a whole second.
const std::vector<CueRow> kReportRows = {
    {u"10:00:00:00", u"10:00:16:06", u"00:16", u"        SONG.WAV"},
    {u"10:00:16:06", u"10:00:20:00", u"00:03", u"        SONG.WAV"},
    {u"10:01:00:00", u"10:01:00:00", u"00:01", u"        NULL.MP3"},
    {u"10:02:00:00", u"11:04:03:01", u"62:03", u"        LANG.MP3"},
};

TEST(CueListWriterTest, TextFileCarriesTheMusicReportAfterTheList)
{
    const MusicReportOutcome report = TryBuildMusicReport(kReportRows, u"25", u',');
    EXPECT_EQ(FormatCueListText(kReportRows, report),
              FormatCueListText(kReportRows) +
                  "\r\n"
                  "Nr  Titel  In           Out          Dauer\r\n"
                  " 1  SONG   10:00:00:00  10:00:20:00  00:20\r\n"
                  " 2  LANG   10:02:00:00  11:04:03:01  62:04\r\n"
                  "1 Zeile übersprungen: Out liegt nicht nach In.\r\n"
                  "\r\n"
                  "Titel   Einsätze  Gesamtdauer\r\n"
                  "SONG           1        00:20\r\n"
                  "LANG           1        62:04\r\n"
                  "Gesamt         2        62:24\r\n");

    const MusicReportOutcome none = TryBuildMusicReport(kReportRows, u"-25", u',');
    EXPECT_FALSE(none.report.has_value());
    EXPECT_EQ(FormatCueListText(kReportRows, none),
              FormatCueListText(kReportRows) +
                  "\r\nKeine Musikfolge: Die Bildrate '-25' ist nicht größer als null\r\n");
}

TEST(CueListWriterTest, ReportTsvIsTheCommandLineForm)
{
    const MusicReportOutcome report = TryBuildMusicReport(kReportRows, u"25", u',');
    ASSERT_TRUE(report.report.has_value());
    EXPECT_EQ(FormatMusicReportTsv(*report.report),
              "Nr\tTitel\tDatei\tIn\tOut\tDauer\tSekunden\n"
              "1\tSONG\tSONG.WAV\t10:00:00:00\t10:00:20:00\t00:20\t20\n"
              "2\tLANG\tLANG.MP3\t10:02:00:00\t11:04:03:01\t62:04\t3724\n"
              "\n"
              "Titel\tDatei\tEinsätze\tGesamtdauer\tSekunden\n"
              "SONG\tSONG.WAV\t1\t00:20\t20\n"
              "LANG\tLANG.MP3\t1\t62:04\t3724\n"
              "Gesamt\t\t2\t62:24\t3744\n");
    const MusicReportOutcome empty = TryBuildMusicReport({}, u"25", u',');
    EXPECT_EQ(FormatMusicReportTsv(*empty.report),
              "Nr\tTitel\tDatei\tIn\tOut\tDauer\tSekunden\n\n"
              "Titel\tDatei\tEinsätze\tGesamtdauer\tSekunden\n"
              "Gesamt\t\t0\t00:00\t0\n");
}

TEST(CueListWriterTest, WorkbookCarriesTheReportSheets)
{
    TempFolder folder;
    const fs::path target = folder.path() / "Liste.xlsx";
    WriteCueListXlsx(target, kReportRows, TryBuildMusicReport(kReportRows, u"25", u','));
    const std::string dump = runReaderOnAllSheets(target);
    ASSERT_FALSE(dump.empty()) << "python3 with openpyxl is needed to read the workbook back";
    const auto has = [&dump](const std::string& line) {
        return dump.find(line + "\n") != std::string::npos;
    };
    // The cue list's sheet comes first and stays as it was.
    EXPECT_EQ(dump.rfind("sheet\tAusgang GEMA VB\n", 0), 0u);
    const std::size_t uses = dump.find("sheet\tMusikfolge\n");
    const std::size_t totals = dump.find("sheet\tSummen\n");
    ASSERT_NE(uses, std::string::npos);
    ASSERT_NE(totals, std::string::npos);
    EXPECT_LT(uses, totals);
    const char* usesHeader[] = {"Nr",         "Titel",  "Datei",      "In",
                                "Out",        "Dauer",  "Komponist",  "Textdichter",
                                "Bearbeiter", "Verlag", "Archiv-Nr.", "Nutzungsart"};
    for (int column = 0; column < 12; ++column) {
        const std::string cell = std::string(1, static_cast<char>('A' + column)) + "1";
        EXPECT_TRUE(has("cell\t" + cell + "\ts\t@\tbold\t" + usesHeader[column])) << cell;
    }
    for (const char* line : {
             "cell\tA2\tn\t0\tplain\t1",
             "cell\tB2\ts\t@\tplain\tSONG",
             "cell\tC2\ts\t@\tplain\tSONG.WAV",
             "cell\tD2\ts\t@\tplain\t10:00:00:00",
             "cell\tE2\ts\t@\tplain\t10:00:20:00",
             "cell\tF2\td\t[mm]:ss\tplain\t20s",
             "cell\tF3\td\t[mm]:ss\tplain\t3724s",
             "cell\tA5\ts\tGeneral\tplain\t1 Zeile übersprungen: Out liegt nicht nach In.",
             "cell\tA1\ts\t@\tbold\tTitel",
             "cell\tD1\ts\t@\tbold\tGesamtdauer",
             "cell\tA3\ts\t@\tplain\tLANG",
             "cell\tC3\tn\t0\tplain\t1",
             "cell\tA4\ts\t@\tbold\tGesamt",
             "cell\tC4\tn\t0\tbold\t2",
             "cell\tD4\td\t[mm]:ss\tbold\t3744s",
         }) {
        EXPECT_TRUE(has(line)) << line;
    }
    EXPECT_EQ(dump.find("cell\tG2"), std::string::npos);  // the details are left to the user
    EXPECT_EQ(dump.find("freeze\tnone"), std::string::npos);

    WriteCueListXlsx(target, kReportRows, TryBuildMusicReport(kReportRows, u"0", u','));
    const std::string without = runReaderOnAllSheets(target);
    EXPECT_NE(without.find("cell\tA2\ts\tGeneral\tplain\tKeine Musikfolge: Die Bildrate '0' ist "
                           "nicht größer als null\nsheet\tSummen"),
              std::string::npos);
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
