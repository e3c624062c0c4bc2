// Shared helpers of tarvelin-cli's subcommands: option parsing, reading files, writing UTF-8.
//
// Options are long options only: "--name VALUE" or "--name=VALUE" for options that take a value,
// "--name" for flags; "--" ends the options, and everything else is a positional argument. A bad
// command line is thrown as UsageError. Nothing here knows about EDLs or cue lines.
#pragma once

#include <iosfwd>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelin::cli {

// A command line that cannot be run; main() prints the message and the usage and exits with 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct OptionSpec {
    std::string_view name;  // without the leading "--"
    bool takesValue;
};

struct ParsedArgs {
    std::vector<std::string> positional;
    std::map<std::string, std::string, std::less<>> values;
    std::set<std::string, std::less<>> flags;

    bool has(std::string_view name) const;
    std::optional<std::string> value(std::string_view name) const;
};

// Parses args against the options a command knows. Throws UsageError for an unknown option, a
// missing value, a value given to a flag, or an option given twice.
ParsedArgs ParseArgs(const std::vector<std::string>& args, std::span<const OptionSpec> options);

// "-o FILE" as the long "--output FILE" (before any "--").
std::vector<std::string> WithLongOutputOption(std::vector<std::string> args);

enum class OutputFormat { Tsv, Text, Xlsx };

// --format tsv|text|xlsx (default tsv). Throws UsageError for another name, or for xlsx without
// --output.
OutputFormat OutputFormatFrom(const ParsedArgs& parsed);

// Throws UsageError unless exactly count positional arguments were given.
void RequirePositional(const ParsedArgs& parsed, std::size_t count);

// Reads a whole file; failures are thrown as ConversionError with the German messages.
std::string ReadInputFile(const std::string& path);

// Writes text as UTF-8.
void WriteUtf8(std::ostream& out, std::u16string_view text);

// Writes each line as UTF-8 followed by LF.
void WriteLinesUtf8(std::ostream& out, const std::vector<std::u16string>& lines);

}  // namespace tarvelin::cli
