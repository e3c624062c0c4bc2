// A main() for fuzz targets in ordinary builds: runs LLVMFuzzerTestOneInput once on every file
// named on the command line, and on every file inside a named folder. It keeps the targets
// compiling without clang and replays their corpora under the sanitizers of the test build.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool replayFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cerr << "cannot read " << path << '\n';
        return false;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    std::size_t replayed = 0;
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path(argv[i]);
        if (std::filesystem::is_directory(path)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) {
                if (entry.is_regular_file()) {
                    ok = replayFile(entry.path()) && ok;
                    ++replayed;
                }
            }
        } else {
            ok = replayFile(path) && ok;
            ++replayed;
        }
    }
    std::cout << "replayed " << replayed << " inputs\n";
    return ok && replayed > 0 ? 0 : 1;
}
