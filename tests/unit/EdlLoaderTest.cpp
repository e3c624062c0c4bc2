// Loading an EDL: line breaks, Windows-1252, byte-order marks, RTF, and the failures of opening,
// reading and capacity.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "conversion/ConversionError.h"
#include "conversion/EdlLoader.h"
#include "conversion/EdlNormalizer.h"
#include "conversion/RtfText.h"
#include "conversion/Text.h"
#include "conversion/Windows1252.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestSeed.h"

namespace tarvelin {
namespace {

namespace fs = std::filesystem;

using Lines = std::vector<std::u16string>;

using testsupport::TempDir;

std::u16string messageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const ConversionError& error) {
        return error.message();
    }
    ADD_FAILURE() << "no ConversionError thrown";
    return {};
}

TEST(EdlLoaderTest, EveryLineBreakFormEndsOneLine)
{
    struct Row {
        const char* tag;
        std::string bytes;
        Lines lines;
    };
    const std::vector<Row> rows = {
        {"empty_file", "", {}},
        {"crlf", "A\r\nB\r\n", {u"A", u"B"}},
        {"lf_cr", "A\n\rB\n\r", {u"A", u"B"}},
        {"lone_cr", "A\rB\r", {u"A", u"B"}},
        {"lone_lf", "A\nB\n", {u"A", u"B"}},
        {"no_final_break", "A\r\nB", {u"A", u"B"}},
        {"only_a_break", "\r\n", {u""}},
        {"further_breaks_add_empty_lines", "A\r\n\r\n\n", {u"A", u"", u""}},
        {"cr_cr_lf", "A\r\r\nB", {u"A", u"", u"B"}},
        {"lf_lf_cr", "A\n\n\rB", {u"A", u"", u"B"}},
        {"crlf_then_lf_cr", "A\r\n\n\rB", {u"A", u"", u"B"}},
        {"blank_lines_keep_blanks", "  \r\nA ", {u"  ", u"A "}},
        {"crlf_then_lone_cr_at_end", "A\r\nB\r", {u"A", u"B"}},
        {"lone_lf_first", "\nA\r\n", {u"", u"A"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.tag);
        const Lines lines = DecodeEdlBytes(row.bytes);
        EXPECT_EQ(lines, row.lines);
        EXPECT_EQ(DecodeEdlText(row.bytes), JoinLinesCrLf(lines));
    }
}

// Random 8-bit lists, mostly ASCII with every kind of line break and the odd high byte, decoded
// byte by byte and split by the line rule written out plainly: the loader's wide path (sixteen
// bytes at a time, breaks checked on the way) must give the same buffer text.
TEST(EdlLoaderTest, EightBitTextAgreesWithBytewiseDecoding)
{
    const auto plainBufferText = [](const std::string& bytes) {
        std::u16string text;
        std::u16string line;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const char c = bytes[i];
            if (c != '\r' && c != '\n') {
                line += Windows1252ToUnicode(static_cast<unsigned char>(c));
                continue;
            }
            text += line + u"\r\n";
            line.clear();
            const char pair = c == '\r' ? '\n' : '\r';
            if (i + 1 < bytes.size() && bytes[i + 1] == pair) ++i;
        }
        if (!line.empty()) text += line + u"\r\n";
        return text;
    };
    const std::string alphabet = "AB 1:*\r\n\r\n\r\n\x80\xC4\xFF\x9D";
    std::mt19937_64 random(testsupport::TestSeed(1252));
    for (int round = 0; round < 300; ++round) {
        std::string bytes;
        const std::size_t length = random() % 200;
        const bool crLfOnly = round % 3 == 0;
        while (bytes.size() < length) {
            const char c = alphabet[random() % alphabet.size()];
            if (crLfOnly && (c == '\r' || c == '\n')) {
                bytes += "\r\n";
            } else if (c < 0 || random() % 8 == 0) {
                bytes += c;
            } else {
                bytes += static_cast<char>('A' + random() % 26);
            }
        }
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_EQ(DecodeEdlText(bytes), plainBufferText(bytes));
    }
}

// An 8-bit list whose breaks are all CR LF is its buffer text byte for byte, a missing final
// break added; every other list is left to the decoding.
TEST(EdlLoaderTest, EightBitListWithCrLfBreaksIsTakenAsItsBytes)
{
    struct Row {
        const char* tag;
        std::string bytes;
        bool taken;
        std::string after;
    };
    const std::vector<Row> rows = {
        {"empty_file", "", true, ""},
        {"one_byte", "A", true, "A\r\n"},
        {"crlf_throughout", "A\r\nB\r\n", true, "A\r\nB\r\n"},
        {"final_break_missing", "A\r\n\xC4", true, "A\r\n\xC4\r\n"},
        {"crlf_across_sixteen_bytes", std::string(15, 'x') + "\r\n" + std::string(15, 'y'), true,
         std::string(15, 'x') + "\r\n" + std::string(15, 'y') + "\r\n"},
        {"lone_lf", "A\r\nB\n", false, "A\r\nB\n"},
        {"lone_cr_at_end", "A\r", false, "A\r"},
        {"lf_cr", std::string(20, 'x') + "\n\r", false, std::string(20, 'x') + "\n\r"},
        {"cr_cr_lf", "A\r\r\nB", false, "A\r\r\nB"},
        {"utf8_mark", "\xEF\xBB\xBFX\r\n", false, "\xEF\xBB\xBFX\r\n"},
        {"utf16_mark", "\xFF\xFEX", false, "\xFF\xFEX"},
        {"rtf", "{\\rtf1 A}", false, "{\\rtf1 A}"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.tag);
        std::string bytes = row.bytes;
        EXPECT_EQ(CompleteEightBitBufferText(bytes), row.taken);
        EXPECT_EQ(bytes, row.after);
        if (row.taken) {
            EXPECT_EQ(DecodeWindows1252(bytes), DecodeEdlText(row.bytes));
        }
    }

    std::string atCapacity(kTextCapacity, 'A');
    atCapacity[100] = '\r';
    atCapacity[101] = '\n';
    EXPECT_TRUE(CompleteEightBitBufferText(atCapacity));
    EXPECT_EQ(atCapacity.size(), kTextCapacity + 2);
    std::string overCapacity(kTextCapacity + 1, 'A');
    EXPECT_EQ(messageOf([&] { CompleteEightBitBufferText(overCapacity); }), kTooLargeMessage);
}

TEST(EdlLoaderTest, BytesAreWindows1252)
{
    struct Row {
        const char* tag;
        std::string bytes;
        std::u16string text;
    };
    const std::vector<Row> rows = {
        {"umlauts", "\xC4\xD6\xDC\xE4\xF6\xFC\xDF", u"ÄÖÜäöüß"},
        {"accents", "CAF\xC9 caf\xE9", u"CAFÉ café"},
        {"euro_and_quotes", "\x80\x84\x93\x94\x96\x97", u"€„“”–—"},
        {"high_range_ends", "\x9F\xA0\xFF", u"\u0178\u00A0\u00FF"},
        {"undefined_bytes_keep_their_code_point", "\x81\x8D\x8F\x90\x9D",
         u"\u0081\u008D\u008F\u0090\u009D"},
        {"utf8_without_mark_is_not_utf8", "\xC3\x84", u"\u00C3\u201E"},
        {"nul_is_a_character", std::string("A\0B", 3), std::u16string(u"A\0B", 3)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.tag);
        EXPECT_EQ(DecodeEdlBytes(row.bytes), Lines{row.text});
    }
}

TEST(EdlLoaderTest, ByteOrderMarkSelectsEncodingAndIsDropped)
{
    struct Row {
        const char* tag;
        std::string bytes;
        Lines lines;
    };
    const std::vector<Row> rows = {
        {"utf8", "\xEF\xBB\xBF\xC3\x84X\r\n\xE2\x82\xAC", {u"ÄX", u"€"}},
        {"utf8_only_mark", "\xEF\xBB\xBF", {}},
        {"utf8_malformed_byte",
         "\xEF\xBB\xBF"
         "A\xFF"
         "B",
         {u"A\uFFFDB"}},
        {"utf16_le", std::string("\xFF\xFE\xC4\x00\r\x00\n\x00Z\x00", 10), {u"Ä", u"Z"}},
        {"utf16_be", std::string("\xFE\xFF\x00\xC4\x00\n\x20\xAC", 8), {u"Ä", u"€"}},
        {"utf16_odd_last_byte",
         std::string("\xFF\xFE"
                     "A\x00"
                     "B",
                     5),
         {u"A\uFFFD"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.tag);
        EXPECT_EQ(DecodeEdlBytes(row.bytes), row.lines);
    }
}

TEST(EdlLoaderTest, RtfDocumentGivesItsPlainText)
{
    struct Row {
        const char* tag;
        std::string rtf;
        std::u16string text;
    };
    const std::vector<Row> rows = {
        {"paragraphs", R"({\rtf1\ansi A\par B\par})", u"A\nB\n"},
        {"line_and_tab", R"({\rtf1 A\line B\tab C})", u"A\nB\tC"},
        {"source_line_breaks_ignored", "{\\rtf1 A\r\nB\\par\r\n}", u"AB\n"},
        {"hex_bytes_are_windows_1252", R"({\rtf1 M\'c4DCHEN \'80})", u"MÄDCHEN €"},
        {"unicode_with_fallback", R"({\rtf1 \u196?X\uc2\u8364??Y})", u"ÄX€Y"},
        {"unicode_negative", R"({\rtf1\uc0 \u-3913 })", u"\uF0B7"},
        {"fallback_ends_at_group", R"({\rtf1 {\u196}X})", u"ÄX"},
        {"escaped_symbols", R"({\rtf1 \{a\}\\b\~c})", u"{a}\\b\u00A0c"},
        {"tables_skipped",
         R"({\rtf1{\fonttbl{\f0 Arial;}}{\colortbl;\red0\green0\blue0;}{\stylesheet{\s0 Normal;}})"
         R"({\info{\title T}}A})",
         u"A"},
        {"starred_destination_skipped", R"({\rtf1{\*\generator Riched20;}{\*\x y}A})", u"A"},
        {"picture_skipped", R"({\rtf1 A{\pict\pngblip 89504e47}B})", u"AB"},
        {"binary_data_skipped", "{\\rtf1 A{\\object\\bin3 }}}}B}", u"AB"},
        {"field_result_kept", R"({\rtf1{\field{\*\fldinst HYPERLINK x}{\fldrslt LINK}}})", u"LINK"},
        {"text_after_document_ignored", R"({\rtf1 A}B)", u"A"},
        {"control_word_delimiter_blank_eaten", R"({\rtf1\b A\b0  B})", u"A B"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.tag);
        EXPECT_TRUE(IsRtfDocument(row.rtf));
        EXPECT_EQ(toUtf8(RtfToText(row.rtf)), toUtf8(row.text));
    }
    EXPECT_EQ(DecodeEdlBytes(R"({\rtf1 A\par B\par})"), (Lines{u"A", u"B"}));
    EXPECT_EQ(DecodeEdlBytes(" {\\rtf1 A}"), Lines{u" {\\rtf1 A}"});
}

TEST(EdlLoaderTest, MalformedRtfNeverFails)
{
    const std::vector<std::string> documents = {
        "{\\rtf",
        "{\\rtf1 A\\",
        "{\\rtf1 \\'",
        "{\\rtf1 \\'4",
        "{\\rtf1 \\'zz}",
        "{\\rtf1 }}}}A",
        "{\\rtf1 \\u",
        "{\\rtf1 \\u-99999999999999999999 }",
        "{\\rtf1 \\uc99999999999 \\u65 ABC}",
        "{\\rtf1 \\bin99999999999",
        "{\\rtf1 \\bin-5 A}",
        "{\\rtf1 \\" + std::string(200, 'a') + "1 B}",
        "{\\rtf1 " + std::string(100000, '{') + "A",
        "{\\rtf1 " + std::string(100000, '{') + "A" + std::string(200000, '}'),
    };
    for (const std::string& document : documents) {
        SCOPED_TRACE(document.substr(0, 40));
        const std::u16string text = RtfToText(document);
        EXPECT_LE(text.size(), document.size());
    }
    EXPECT_EQ(RtfToText("{\\rtf1 " + std::string(10000, '{') + "A" + std::string(10000, '}')),
              u"A");
}

TEST(EdlLoaderTest, LoadsFileAsTextAndLines)
{
    const TempDir dir;
    const std::string path = dir.write("liste.edl", "001 \xC4\r\n* FROM CLIP NAME:  X.MP3\n\r");
    EXPECT_EQ(LoadEdlFile(path), (Lines{u"001 Ä", u"* FROM CLIP NAME:  X.MP3"}));
    EXPECT_EQ(LoadEdlText(path), u"001 Ä\r\n* FROM CLIP NAME:  X.MP3\r\n");
}

TEST(EdlLoaderTest, SameListInEveryEncodingGivesSameLines)
{
    const fs::path fixtures = fs::path(TARVELIN_TEST_DATA_DIR) / "fixtures";
    const Lines reference = LoadEdlFile((fixtures / "musik-crlf-cp1252.edl").string());
    ASSERT_GT(reference.size(), 10u);
    for (const char* name : {"musik-cr-only.edl", "musik-lf-cr.edl", "musik-utf8-bom.edl",
                             "musik-utf16le-bom.edl", "musik-utf16be-bom.edl", "musik-rtf.edl"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(LoadEdlFile((fixtures / name).string()), reference);
    }
}

TEST(EdlLoaderTest, FileThatCannotBeOpenedNamesFileAndReason)
{
    const TempDir dir;
    const std::string missing = (dir.path() / "fehlt.edl").string();
    EXPECT_EQ(toUtf8(messageOf([&] { LoadEdlFile(missing); })),
              "Datei " + missing +
                  " kann nicht geöffnet werden. Das System kann die angegebene Datei nicht finden");

    const std::string inMissingDir = (dir.path() / "ordner" / "x.edl").string();
    EXPECT_EQ(toUtf8(messageOf([&] { LoadEdlFile(inMissingDir); })),
              "Datei " + inMissingDir +
                  " kann nicht geöffnet werden. Das System kann die angegebene Datei nicht finden");

    const std::string directory = dir.path().string();
    EXPECT_EQ(
        toUtf8(messageOf([&] { LoadEdlFile(directory); })),
        "Datei " + directory +
            " kann nicht geöffnet werden. Der angegebene Name ist ein Ordner und keine Datei");
}

TEST(EdlLoaderTest, RelativeNameIsShownInFull)
{
    const TempDir dir;
    const fs::path previous = fs::current_path();
    fs::current_path(dir.path());
    const std::u16string message = messageOf([] { LoadEdlFile("./ordner/../%s fehlt.edl"); });
    fs::current_path(previous);
    EXPECT_EQ(toUtf8(message), "Datei " + (dir.path() / "%s fehlt.edl").string() +
                                   " kann nicht geöffnet werden. Das System kann die angegebene "
                                   "Datei nicht finden");
}

// The loader's message for path, computed in a child process that has given up root's right to
// read every file. Empty when the child could not drop that right.
std::string messageAsUnprivilegedUser(const std::string& path)
{
    int channel[2];
    if (::pipe(channel) != 0) {
        return {};
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        std::string message;
        if (::setgid(65534) == 0 && ::setuid(65534) == 0) {
            try {
                LoadEdlFile(path);
                message = "geladen";
            } catch (const ConversionError& error) {
                message = error.what();
            }
        }
        const ssize_t written = ::write(channel[1], message.data(), message.size());
        ::_exit(written == static_cast<ssize_t>(message.size()) ? 0 : 1);
    }
    ::close(channel[1]);
    std::string message;
    char buffer[512];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;) {
        message.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return message;
}

TEST(EdlLoaderTest, FileWithoutReadPermission)
{
    const TempDir dir;
    fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::others_exec);
    const std::string path = dir.write("gesperrt.edl", "A\r\n");
    fs::permissions(path, fs::perms::none);
    const std::string expected =
        "Datei " + path + " kann nicht geöffnet werden. Zugriff verweigert";
    const int probe = ::open(path.c_str(), O_RDONLY);
    if (probe < 0) {
        EXPECT_EQ(toUtf8(messageOf([&] { LoadEdlFile(path); })), expected);
        return;
    }
    ::close(probe);
    // Root reads any file; an unprivileged child shows what a user sees.
    const std::string message = messageAsUnprivilegedUser(path);
    if (message.empty()) {
        GTEST_SKIP() << "running with rights that read any file, and they cannot be dropped";
    }
    EXPECT_EQ(message, expected);
}

TEST(EdlLoaderTest, FileLockedByWriterCannotBeOpened)
{
    const TempDir dir;
    const std::string path = dir.write("in-arbeit.edl", "A\r\n");
    const int writer = ::open(path.c_str(), O_RDWR);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::flock(writer, LOCK_EX), 0);
    EXPECT_EQ(toUtf8(messageOf([&] { LoadEdlFile(path); })),
              "Datei " + path +
                  " kann nicht geöffnet werden. Der Prozess kann nicht auf die Datei zugreifen, da "
                  "sie von einem anderen Prozess verwendet wird");
    ::close(writer);
    EXPECT_EQ(LoadEdlFile(path), Lines{u"A"});
}

TEST(EdlLoaderTest, ReadFailureAfterOpening)
{
    // Opens like a file, but reading its first byte fails (nothing is mapped at address 0).
    EXPECT_EQ(toUtf8(messageOf([] { LoadEdlFile("/proc/self/mem"); })),
              "Stream konnte nicht geladen werden");
}

TEST(EdlLoaderTest, CapacityIsEnforced)
{
    const TempDir dir;
    std::string bytes(kTextCapacity, 'A');
    bytes[100] = '\n';
    const std::string atCapacity = dir.write("voll.edl", bytes);
    const Lines lines = LoadEdlFile(atCapacity);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size() + lines[1].size() + 1, kTextCapacity);

    bytes += 'A';
    const std::string overCapacity = dir.write("zu-gross.edl", bytes);
    EXPECT_EQ(messageOf([&] { LoadEdlFile(overCapacity); }), kTooLargeMessage);
    EXPECT_EQ(messageOf([&] { LoadEdlText(overCapacity); }), kTooLargeMessage);

    // The mark does not count; the characters do, whatever bytes they take.
    std::string utf16(2 + 2 * kTextCapacity, '\0');
    utf16[0] = '\xFF';
    utf16[1] = '\xFE';
    EXPECT_EQ(DecodeEdlBytes(utf16).size(), 1u);
    utf16 += std::string(2, '\0');
    EXPECT_EQ(messageOf([&] { DecodeEdlBytes(utf16); }), kTooLargeMessage);

    // Far too large to be read at all.
    const std::string huge = (dir.path() / "riesig.edl").string();
    {
        std::ofstream(huge, std::ios::binary) << "A";
    }
    fs::resize_file(huge, 8 * kTextCapacity);
    EXPECT_EQ(messageOf([&] { LoadEdlFile(huge); }), kTooLargeMessage);
}

}  // namespace
}  // namespace tarvelin
