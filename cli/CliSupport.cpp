#include "cli/CliSupport.h"

#include <ostream>

#include "conversion/EdlLoader.h"
#include "conversion/FileBytes.h"
#include "conversion/Text.h"

namespace tarvelin::cli {

namespace {

const OptionSpec* findOption(std::span<const OptionSpec> options, std::string_view name)
{
    for (const OptionSpec& option : options) {
        if (option.name == name) {
            return &option;
        }
    }
    return nullptr;
}

}  // namespace

bool ParsedArgs::has(std::string_view name) const
{
    return flags.find(name) != flags.end() || values.find(name) != values.end();
}

std::optional<std::string> ParsedArgs::value(std::string_view name) const
{
    const auto it = values.find(name);
    if (it == values.end()) {
        return std::nullopt;
    }
    return it->second;
}

ParsedArgs ParseArgs(const std::vector<std::string>& args, std::span<const OptionSpec> options)
{
    ParsedArgs parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg == "-" || !arg.starts_with("-")) {
            parsed.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (!arg.starts_with("--")) {
            throw UsageError("Unbekannte Option: " + arg);
        }
        const std::size_t equals = arg.find('=');
        const std::string name =
            arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        const OptionSpec* option = findOption(options, name);
        if (option == nullptr) {
            throw UsageError("Unbekannte Option: --" + name);
        }
        if (parsed.has(name)) {
            throw UsageError("Option mehrfach angegeben: --" + name);
        }
        if (!option->takesValue) {
            if (equals != std::string::npos) {
                throw UsageError("Option --" + name + " nimmt keinen Wert");
            }
            parsed.flags.insert(name);
            continue;
        }
        if (equals != std::string::npos) {
            parsed.values.emplace(name, arg.substr(equals + 1));
        } else if (i + 1 < args.size()) {
            parsed.values.emplace(name, args[++i]);
        } else {
            throw UsageError("Option --" + name + " braucht einen Wert");
        }
    }
    return parsed;
}

std::vector<std::string> WithLongOutputOption(std::vector<std::string> args)
{
    for (std::string& arg : args) {
        if (arg == "--") {
            break;
        }
        if (arg == "-o") {
            arg = "--output";
        }
    }
    return args;
}

OutputFormat OutputFormatFrom(const ParsedArgs& parsed)
{
    const std::string name = parsed.value("format").value_or("tsv");
    OutputFormat format = OutputFormat::Tsv;
    if (name == "text") {
        format = OutputFormat::Text;
    } else if (name == "xlsx") {
        format = OutputFormat::Xlsx;
    } else if (name != "tsv") {
        throw UsageError("Unbekanntes Format: " + name + " (tsv, text oder xlsx)");
    }
    if (format == OutputFormat::Xlsx && !parsed.has("output")) {
        throw UsageError("--format xlsx braucht -o DATEI");
    }
    return format;
}

void RequirePositional(const ParsedArgs& parsed, std::size_t count)
{
    if (parsed.positional.size() < count) {
        throw UsageError("Zu wenige Argumente");
    }
    if (parsed.positional.size() > count) {
        throw UsageError("Zu viele Argumente: " + parsed.positional[count]);
    }
}

std::string ReadInputFile(const std::string& path)
{
    return ReadFileBytes(path, 4 * kTextCapacity, std::u16string(kTooLargeMessage));
}

void WriteUtf8(std::ostream& out, std::u16string_view text)
{
    out << toUtf8(text);
}

void WriteLinesUtf8(std::ostream& out, const std::vector<std::u16string>& lines)
{
    // Lines are written in blocks: a stream write per line costs more than converting it, and
    // one text of all lines would be that much fresh memory.
    constexpr std::size_t kBlock = 1 << 16;
    std::string block;
    block.reserve(kBlock + 256);
    for (const auto& line : lines) {
        appendUtf8(block, line);
        block += '\n';
        if (block.size() >= kBlock) {
            out << block;
            block.clear();
        }
    }
    out << block;
}

}  // namespace tarvelin::cli
