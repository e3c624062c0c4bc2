// Whatever a user hands the program must end in a result or a clear German message, never in a
// crash, a hang or a lost file. Each table runs the core the way the main window and the
// command-line tool do: load → normalise → extract for "Öffnen EDL", ComputeCueRows for
// "Rechnen TC", the cue-list writers for saving and exporting.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "conversion/ConversionError.h"
#include "conversion/CueLineExtraction.h"
#include "conversion/CueRows.h"
#include "conversion/EdlLoader.h"
#include "conversion/EdlNormalizer.h"
#include "conversion/EdlPipeline.h"
#include "conversion/Messages.h"
#include "conversion/Text.h"
#include "export/CueListText.h"
#include "export/CueListXlsx.h"
#include "tests/support/FullDisk.h"
#include "tests/support/TempDir.h"

namespace tarvelin {
namespace {

namespace fs = std::filesystem;

using Lines = std::vector<std::u16string>;

using testsupport::TempDir;

void writeBytes(const std::string& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs fn with the file-system rights of an ordinary user when the test runs as root, so that
// permission bits count; a no-op for everyone else.
template <typename Fn>
void asOrdinaryUser(Fn&& fn)
{
    const bool root = ::geteuid() == 0;
    if (root) {
        ::setfsuid(65534);
        ::setfsgid(65534);
    }
    try {
        fn();
    } catch (...) {
        if (root) {
            ::setfsuid(0);
            ::setfsgid(0);
        }
        throw;
    }
    if (root) {
        ::setfsuid(0);
        ::setfsgid(0);
    }
}

// The message a call fails with, or "(no failure)".
std::string failureOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const ConversionError& error) {
        return error.what();
    }
    return "(no failure)";
}

// "Öffnen EDL" after the dialog: load into the buffer, normalise it, extract the cue lines. A
// failed extraction counts as a failure here.
Lines openEdl(const std::string& path)
{
    const OpenedEdl opened = OpenEdlFile(path);
    if (opened.cues.extractionFailed)
        throw ConversionError(std::u16string(kExtractionFailedMessage));
    return opened.cues.cueLines;
}

// Two music events in Windows-1252; the second name holds Ü (byte 0xDC).
constexpr std::string_view kEdl =
    "TITLE: BAD INPUT\r\nFCM: NON-DROP FRAME\r\n\r\n"
    "001  A001     A     C        01:00:00:00 01:00:10:00 10:00:00:00 10:00:10:00\r\n"
    "*FROM CLIP NAME:  SONG ONE.MP3\r\n"
    "002  A002     A     C        01:00:00:00 01:00:05:00 10:00:10:00 10:00:15:00\r\n"
    "*FROM CLIP NAME:  M\xDCLLER.WAV\r\n";

const Lines kEdlCueLines = {
    u"10:00:00:00      10:00:10:00         SONG ONE.MP3",
    u"10:00:10:00      10:00:15:00         M\u00DCLLER.WAV",
};

std::string utf16WithBom(std::u16string_view text, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t c : text) {
        const char high = static_cast<char>(c >> 8);
        const char low = static_cast<char>(c & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

// Each byte as the character of the same number (Windows-1252 and Latin-1 agree on ÄÖÜ).
std::u16string latin1(std::string_view bytes)
{
    std::u16string text;
    for (const char byte : bytes) {
        text += static_cast<char16_t>(static_cast<unsigned char>(byte));
    }
    return text;
}

std::string openFailure(const std::string& path, const std::string& reason)
{
    return "Datei " + path + " kann nicht geöffnet werden. " + reason;
}

const std::string kTooLarge = toUtf8(kTooLargeMessage);

struct RefusedFile {
    const char* name;
    // Creates the input in dir and returns the path to open.
    std::function<std::string(const TempDir& dir)> make;
    // The expected message for that path.
    std::function<std::string(const std::string& path)> message;
    bool ordinaryUser = false;
};

TEST(BadInputTest, FilesThatCannotBeLoadedFailWithTheirMessage)
{
    const std::vector<RefusedFile> table = {
        {"missing_file", [](const TempDir& d) { return d.file("fehlt.edl"); },
         [](const std::string& p) {
             return openFailure(p, "Das System kann die angegebene Datei nicht finden");
         }},
        {"missing_file_named_with_percent_s", [](const TempDir& d) { return d.file("%s.edl"); },
         [](const std::string& p) {
             return openFailure(p, "Das System kann die angegebene Datei nicht finden");
         }},
        {"missing_folder", [](const TempDir& d) { return d.file("kein-ordner/liste.edl"); },
         [](const std::string& p) {
             return openFailure(p, "Das System kann die angegebene Datei nicht finden");
         }},
        {"directory",
         [](const TempDir& d) {
             fs::create_directory(d.file("ordner.edl"));
             return d.file("ordner.edl");
         },
         [](const std::string& p) {
             return openFailure(p, "Der angegebene Name ist ein Ordner und keine Datei");
         }},
        {"no_read_permission",
         [](const TempDir& d) {
             writeBytes(d.file("gesperrt.edl"), kEdl);
             fs::permissions(d.file("gesperrt.edl"), fs::perms::none);
             return d.file("gesperrt.edl");
         },
         [](const std::string& p) { return openFailure(p, "Zugriff verweigert"); }, true},
        {"file_200_mb_refused_unread",
         [](const TempDir& d) {
             const std::string path = d.file("log.edl");
             writeBytes(path, "");
             fs::resize_file(path, 200u << 20);
             return path;
         },
         [](const std::string&) { return kTooLarge; }},
        {"one_character_over_capacity",
         [](const TempDir& d) {
             writeBytes(d.file("voll.edl"), std::string(kTextCapacity + 1, 'A'));
             return d.file("voll.edl");
         },
         [](const std::string&) { return kTooLarge; }},
        {"utf16_over_capacity",
         [](const TempDir& d) {
             writeBytes(d.file("voll16.edl"),
                        utf16WithBom(std::u16string(kTextCapacity + 1, u'A'), false));
             return d.file("voll16.edl");
         },
         [](const std::string&) { return kTooLarge; }},
        {"endless_device", [](const TempDir&) { return std::string("/dev/zero"); },
         [](const std::string&) { return kTooLarge; }},
    };
    for (const RefusedFile& row : table) {
        SCOPED_TRACE(row.name);
        const TempDir dir;
        const std::string path = row.make(dir);
        std::string message;
        const auto load = [&] { message = failureOf([&] { openEdl(path); }); };
        if (row.ordinaryUser) {
            asOrdinaryUser(load);
        } else {
            load();
        }
        EXPECT_EQ(message, row.message(path));
        // The command-line tool reads through the text form; it must agree.
        if (!row.ordinaryUser) {
            EXPECT_EQ(failureOf([&] { LoadEdlText(path); }), row.message(path));
        }
    }
}

TEST(BadInputTest, FileLockedByAWriterIsRefused)
{
    const TempDir dir;
    const std::string path = dir.file("offen.edl");
    writeBytes(path, kEdl);
    const int writer = ::open(path.c_str(), O_RDWR);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::flock(writer, LOCK_EX), 0);
    EXPECT_EQ(failureOf([&] { openEdl(path); }),
              openFailure(path,
                          "Der Prozess kann nicht auf die Datei zugreifen, da sie von "
                          "einem anderen Prozess verwendet wird"));
    ::close(writer);
    EXPECT_EQ(openEdl(path), kEdlCueLines);
}

struct OddFile {
    const char* name;
    std::string bytes;
    Lines cueLines;
};

TEST(BadInputTest, OddFilesLoadWithoutFailure)
{
    std::string binary =
        "\x7F"
        "ELF\x02\x01\x01";
    for (int i = 0; i < 4096; ++i) {
        binary += static_cast<char>((i * 131) & 0xFF);
    }
    std::string withNul(kEdl);
    withNul.insert(withNul.find("002"), std::string("\0\0", 2));
    std::string atCapacity(kEdl);
    atCapacity += std::string(kTextCapacity - atCapacity.size(), ' ');

    const std::vector<OddFile> table = {
        {"empty_file", "", {}},
        {"only_line_breaks", "\r\n\n\r\r", {}},
        {"binary_file", binary, {}},
        {"windows_1252", std::string(kEdl), kEdlCueLines},
        {"utf16_le_with_bom", utf16WithBom(latin1(kEdl), false), kEdlCueLines},
        {"utf16_be_with_bom", utf16WithBom(latin1(kEdl), true), kEdlCueLines},
        {"utf16_odd_byte_count", utf16WithBom(latin1(kEdl), false) + "X", kEdlCueLines},
        {"utf8_with_bom", "\xEF\xBB\xBF" + toUtf8(latin1(kEdl)), kEdlCueLines},
        {"rtf_document",
         "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Courier;}}\\f0 "
         "001  A001     A     C        01:00:00:00 01:00:10:00 10:00:00:00 10:00:10:00\\par\n"
         "*FROM CLIP NAME:  SONG ONE.MP3\\par\n"
         "002  A002     A     C        01:00:00:00 01:00:05:00 10:00:10:00 10:00:15:00\\par\n"
         "*FROM CLIP NAME:  M\\'dcLLER.WAV\\par\n}",
         kEdlCueLines},
        {"truncated_rtf", "{\\rtf1\\ansi{\\fonttbl{\\f0", {}},
        // The search ends at the first NUL: the events behind it give no cue line.
        {"nul_bytes", withNul, {kEdlCueLines[0]}},
        {"exactly_at_capacity", atCapacity, kEdlCueLines},
    };
    for (const OddFile& row : table) {
        SCOPED_TRACE(row.name);
        const TempDir dir;
        const std::string path = dir.file("liste.edl");
        writeBytes(path, row.bytes);
        Lines cueLines;
        EXPECT_NO_THROW(cueLines = openEdl(path));
        EXPECT_EQ(cueLines, row.cueLines);
    }
}

TEST(BadInputTest, PipeWithoutWriterLoadsEmptyInsteadOfWaiting)
{
    const TempDir dir;
    const std::string path = dir.file("rohr.edl");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    EXPECT_EQ(openEdl(path), Lines{});
}

struct BadRate {
    const char* name;
    std::u16string rate;
    std::u16string message;
};

TEST(BadInputTest, BadFrameRatesFailTheFirstRowWithTheirMessage)
{
    const std::u16string cueText =
        u"10:00:00:00      10:00:16:06         SONG.MP3\r\n"
        u"10:01:00:00      10:01:10:00         SONG.WAV\r\n";
    const auto notAFloat = [](std::u16string_view rate) {
        return formatMessage(u"'%s' ist kein gültiger Gleitkommawert", rate);
    };
    const auto notAnInteger = [](std::u16string_view count) {
        return formatMessage(u"'%s' ist kein gültiger Integerwert", count);
    };
    const std::u16string longText(10'000, u'x');
    const std::u16string longDigits(10'000, u'9');
    const std::vector<BadRate> table = {
        {"ten_thousand_letters", longText, notAFloat(longText)},
        {"ten_thousand_digits_beyond_double", longDigits, notAFloat(longDigits)},
        {"exponent_beyond_double", u"1E400", notAFloat(u"1E400")},
        {"negative_exponent_beyond_double", u"-1E400", notAFloat(u"-1E400")},
        {"exponent_beyond_extended", u"1E5000", notAFloat(u"1E5000")},
        {"infinity_word", u"INF", notAFloat(u"INF")},
        {"nan_word", u"NAN", notAFloat(u"NAN")},
        {"empty", u"", notAFloat(u"")},
        {"zero", u"0", notAFloat(u"")},
        {"below_one", u"0,5", u"Division durch Null"},
        // 10:00:16:06 at 10^300 frames per second is far beyond a 64-bit count.
        {"count_beyond_64_bit", u"1E300", notAnInteger(u"3,6016E304")},
        {"count_beyond_64_bit_negative", u"-1E300", notAnInteger(u"-3,6016E304")},
        // The counts fit in 64 bits, their difference of 16 s and 6 frames not in 32.
        {"duration_beyond_32_bit", u"1E10", notAnInteger(u"160000000006")},
    };
    for (const BadRate& row : table) {
        SCOPED_TRACE(row.name);
        VectorCueRowList rows;
        std::u16string message;
        try {
            ComputeCueRows(cueText, row.rate, true, u',', rows);
        } catch (const ConversionError& error) {
            message = error.message();
        }
        EXPECT_EQ(toUtf8(message), toUtf8(row.message));
        const std::vector<CueRow> expected = {{u"10:00:00:00", u"10:00:16:06", u"", u""}};
        EXPECT_EQ(rows.rows, expected);
    }
}

TEST(BadInputTest, RateTextsThatStillReadAsNumbers)
{
    const std::u16string padded = std::u16string(5'000, u' ') + u"25" + std::u16string(5'000, u' ');
    for (const std::u16string& rate : {padded, std::u16string(u"+25"), std::u16string(u"2,5E1")}) {
        SCOPED_TRACE(toUtf8(rate).substr(0, 40));
        VectorCueRowList rows;
        ComputeCueRows(u"10:00:00:00      10:00:16:06         SONG.MP3", rate, false, u',', rows);
        ASSERT_EQ(rows.rows.size(), 1u);
        EXPECT_EQ(rows.rows[0].length, u"00:00:16:06");
    }
}

// The cue-line area at its capacity: every line counted, in time linear in its length.
TEST(BadInputTest, CueLineAreaAtCapacityIsComputedInFull)
{
    const std::u16string line = u"10:00:00:00      10:00:16:06         SONG.MP3\r\n";
    const std::size_t count = kTextCapacity / line.size();
    std::u16string regular;
    regular.reserve(kTextCapacity);
    for (std::size_t i = 0; i < count; ++i) {
        regular += line;
    }
    VectorCueRowList rows;
    ComputeCueRows(regular, u"25", true, u',', rows);
    ASSERT_EQ(rows.rows.size(), count);
    EXPECT_EQ(rows.rows.back(),
              (CueRow{u"10:00:00:00", u"10:00:16:06", u"00:16", u"         SONG.MP3"}));

    // Timecode pairs whose names never give a title: every gap runs to the end of the text.
    const std::u16string untitled = u"10:00:00:00      10:00:16:06         song.mp3\r\n";
    std::u16string hopeless;
    hopeless.reserve(kTextCapacity);
    while (hopeless.size() + untitled.size() <= kTextCapacity) {
        hopeless += untitled;
    }
    VectorCueRowList none;
    ComputeCueRows(hopeless, u"25", true, u',', none);
    EXPECT_TRUE(none.rows.empty());
}

struct BadTarget {
    const char* name;
    // Prepares dir and target (which holds "OLD" when it exists) for the failure.
    std::function<void(const TempDir& dir, const std::string& target)> prepare;
    // The system's reason the message gives after naming the file.
    std::string reason;
    bool fullDisk = false;
    bool ordinaryUser = false;
};

TEST(BadInputTest, FailedSaveKeepsTheFileOnDisk)
{
    const std::vector<CueRow> rows(
        200, CueRow{u"10:00:00:00", u"10:00:16:06", u"00:16", u"         SONG.MP3"});
    const std::vector<BadTarget> targets = {
        {"read_only_file",
         [](const TempDir&, const std::string& t) {
             fs::permissions(
                 t, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
         },
         "Zugriff verweigert"},
        {"read_only_folder",
         [](const TempDir& d, const std::string&) {
             fs::permissions(d.path(), fs::perms::owner_read | fs::perms::owner_exec |
                                           fs::perms::others_read | fs::perms::others_exec);
         },
         "Zugriff verweigert", false, true},
        {"full_disk", [](const TempDir&, const std::string&) {},
         "Die Datei ist für den Datenträger zu groß", true},
        {"target_is_a_folder",
         [](const TempDir&, const std::string& t) {
             fs::remove(t);
             fs::create_directory(t);
         },
         "Der angegebene Name ist ein Ordner und keine Datei"},
    };
    using Writer = std::function<void(const fs::path&)>;
    const std::vector<std::pair<const char*, Writer>> writers = {
        {"text", [&](const fs::path& p) { WriteCueListText(p, rows); }},
        {"xlsx", [&](const fs::path& p) { WriteCueListXlsx(p, rows); }},
    };
    for (const auto& writer : writers) {
        const Writer& write = writer.second;
        for (const BadTarget& row : targets) {
            SCOPED_TRACE(std::string(writer.first) + " " + row.name);
            const TempDir dir;
            const std::string target = dir.file("liste.out");
            writeBytes(target, "OLD");
            row.prepare(dir, target);
            std::string message;
            const auto save = [&] {
                if (row.fullDisk) {
                    const testsupport::FullDisk full;
                    message = failureOf([&] { write(target); });
                } else {
                    message = failureOf([&] { write(target); });
                }
            };
            if (row.ordinaryUser) {
                asOrdinaryUser(save);
            } else {
                save();
            }
            EXPECT_EQ(message,
                      "Die Datei " + target + " konnte nicht geschrieben werden. " + row.reason);
            if (fs::is_regular_file(target)) {
                EXPECT_TRUE(readBytes(target) == "OLD") << "the old file was replaced";
            }
            fs::permissions(dir.path(), fs::perms::owner_all);
            std::vector<std::string> left;
            for (const auto& entry : fs::directory_iterator(dir.path())) {
                left.push_back(entry.path().filename().string());
            }
            EXPECT_EQ(left, std::vector<std::string>{"liste.out"}) << "no temporary file stays";
        }
    }
}

}  // namespace
}  // namespace tarvelin
