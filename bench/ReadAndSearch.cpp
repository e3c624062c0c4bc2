// The reference process of the extraction benchmark: it reads an EDL file and searches its bytes
// for every match of the extraction pattern with one established engine, and nothing else.
//
//   bench_read_and_search pcre2|re2 FILE
//
// Prints the number of matches. The text is searched as the 8-bit bytes it is stored in (the
// pattern's Ä, Ö and Ü as their Latin-1 bytes), so this process does less than tarvelin-cli,
// which decodes, normalises and writes the cue lines too.
#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>
#include <re2/re2.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>

#include "conversion/CueLineExtraction.h"

namespace {

std::string latin1Pattern()
{
    std::string pattern;
    for (char16_t c : tarvelin::kExtractionPattern) pattern += static_cast<char>(c & 0xFF);
    return pattern;
}

long searchPcre2(const std::string& pattern, std::string_view subject)
{
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                                     PCRE2_DOTALL, &error, &offset, nullptr);
    if (code == nullptr || pcre2_jit_compile(code, PCRE2_JIT_COMPLETE) != 0) return -1;
    pcre2_match_data* match = pcre2_match_data_create_from_pattern(code, nullptr);
    pcre2_jit_stack* stack = pcre2_jit_stack_create(32 * 1024, 64 * 1024 * 1024, nullptr);
    pcre2_match_context* context = pcre2_match_context_create(nullptr);
    pcre2_jit_stack_assign(context, nullptr, stack);
    long count = 0;
    PCRE2_SIZE start = 0;
    while (pcre2_jit_match(code, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(),
                           start, 0, match, context) > 0) {
        ++count;
        const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(match);
        start = ovector[1] > ovector[0] ? ovector[1] : ovector[0] + 1;
    }
    pcre2_match_context_free(context);
    pcre2_jit_stack_free(stack);
    pcre2_match_data_free(match);
    pcre2_code_free(code);
    return count;
}

long searchRe2(const std::string& pattern, std::string_view subject)
{
    RE2::Options options;
    options.set_encoding(RE2::Options::EncodingLatin1);
    options.set_dot_nl(true);
    options.set_max_mem(256 << 20);
    const RE2 re(pattern, options);
    if (!re.ok()) return -1;
    long count = 0;
    re2::StringPiece group[5];
    re2::StringPiece rest(subject.data(), subject.size());
    while (RE2::FindAndConsume(&rest, re, &group[0], &group[1], &group[2], &group[3], &group[4]))
        ++count;
    return count;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: bench_read_and_search pcre2|re2 FILE\n", stderr);
        return 2;
    }
    // One read of the whole file into a buffer of its size.
    std::ifstream file(argv[2], std::ios::binary | std::ios::ate);
    std::string bytes(static_cast<std::size_t>(file.tellg()), '\0');
    file.seekg(0);
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    const std::string engine = argv[1];
    const long count = engine == "re2" ? searchRe2(latin1Pattern(), bytes)
                                       : searchPcre2(latin1Pattern(), bytes);
    std::printf("%ld\n", count);
    return count < 0 ? 1 : 0;
}
