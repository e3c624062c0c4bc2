// A fresh temporary folder for one test, removed with everything in it afterwards.
//
// Other users may enter it (but not list or write it), so tests that drop to an ordinary user's
// rights can still reach files inside. The destructor gives the owner full rights back first, so
// a test that made the folder read-only still leaves nothing behind.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace tarvelin::testsupport {

class TempDir {
public:
    explicit TempDir(std::string_view prefix = "tarvelin-test")
    {
        namespace fs = std::filesystem;
        std::string pattern =
            (fs::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
        m_path = ::mkdtemp(pattern.data());
        fs::permissions(m_path,
                        fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // The full name of a file in the folder.
    std::string file(const std::string& name) const { return (m_path / name).string(); }
    // Writes bytes to a file in the folder and returns its full name.
    std::string write(const std::string& name, std::string_view bytes) const
    {
        const std::string full = file(name);
        std::ofstream(full, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return full;
    }
    // The names of the entries in the folder, in directory order.
    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(m_path)) {
            out.push_back(entry.path().filename().string());
        }
        return out;
    }

private:
    std::filesystem::path m_path;
};

}  // namespace tarvelin::testsupport
