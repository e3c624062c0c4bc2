// Option parsing of tarvelin-cli: "--opt VALUE", "--opt=VALUE", flags, "--", and the command
// lines that must be refused.

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "cli/CliSupport.h"

namespace tarvelin::cli {
namespace {

constexpr std::array<OptionSpec, 3> kOptions = {{
    {"fps", true},
    {"timecode", false},
    {"format", true},
}};

TEST(CliSupportTest, ParsesOptionsAndPositionals)
{
    const ParsedArgs parsed = ParseArgs(
        {"--fps", "24", "a.edl", "--timecode", "--format=xlsx", "-", "--", "--fps"}, kOptions);
    EXPECT_EQ(parsed.value("fps"), "24");
    EXPECT_EQ(parsed.value("format"), "xlsx");
    EXPECT_TRUE(parsed.has("timecode"));
    EXPECT_FALSE(parsed.value("timecode").has_value());
    EXPECT_EQ(parsed.positional, (std::vector<std::string>{"a.edl", "-", "--fps"}));
}

TEST(CliSupportTest, ValuesMayLookLikeAnything)
{
    EXPECT_EQ(ParseArgs({"--fps", "--timecode"}, kOptions).value("fps"), "--timecode");
    EXPECT_EQ(ParseArgs({"--fps="}, kOptions).value("fps"), "");
    EXPECT_EQ(ParseArgs({"--format=a=b"}, kOptions).value("format"), "a=b");
    EXPECT_FALSE(ParseArgs({"a.edl"}, kOptions).has("fps"));
}

TEST(CliSupportTest, RefusesBadCommandLines)
{
    const std::vector<std::vector<std::string>> rows = {
        {"--schnell"},
        {"-f", "24"},
        {"--fps"},
        {"--timecode=ja"},
        {"--fps", "24", "--fps=25"},
        {"--timecode", "--timecode"},
    };
    for (const auto& args : rows) {
        SCOPED_TRACE(args.front());
        EXPECT_THROW(ParseArgs(args, kOptions), UsageError);
    }
}

TEST(CliSupportTest, RequirePositionalCountsExactly)
{
    const ParsedArgs one = ParseArgs({"a.edl"}, kOptions);
    EXPECT_NO_THROW(RequirePositional(one, 1));
    EXPECT_THROW(RequirePositional(one, 2), UsageError);
    EXPECT_THROW(RequirePositional(one, 0), UsageError);
}

}  // namespace
}  // namespace tarvelin::cli
