#pragma once
// A fresh folder for one test, removed with everything in it afterwards.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class TTempDir {
  public:
    TTempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "riffscope-XXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        Path = mkdtemp(name.data());
    }
    ~TTempDir() {
        std::error_code ignored;
        std::filesystem::permissions(Path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(Path, ignored);
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    std::string File(const std::string& name) const { return (Path / name).string(); }

    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        std::string path = File(name);
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path;
    }

    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::filesystem::path Path;
};
