// Walks golden case folders: each folder below a root that holds a cue-lines.txt, and in it each
// expected file whose name matches a pattern. The expected files come from the independent
// Python references; the tests compute the same output and compare byte for byte.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

#include "export/RowsTsv.h"

namespace tarvelin::testsupport {

inline std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Calls check(cueText, nameMatch, expectedFile) for every expected file below root whose name
// matches expectedName; returns how many there were (0 when root does not exist).
template <typename Check>
int forEachGoldenFile(const std::filesystem::path& root, const std::regex& expectedName,
                      Check check)
{
    namespace fs = std::filesystem;
    if (!fs::is_directory(root)) {
        return 0;
    }
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
            if (!std::regex_match(fileName, name, expectedName)) {
                continue;
            }
            check(text, name, file.path());
            ++compared;
        }
    }
    return compared;
}

}  // namespace tarvelin::testsupport
