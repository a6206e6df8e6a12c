#pragma once

#include <filesystem>
#include <fstream>
#include <stdlib.h>
#include <string>
#include <string_view>

// A fresh directory under the system's temporary folder, removed with all
// its contents when the object goes.
class TemporaryDirectory
{
public:
    TemporaryDirectory()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "quillmark-test-XXXXXX");
        if (!mkdtemp(pattern.data()))
            throw std::filesystem::filesystem_error(
                "mkdtemp", std::error_code(errno, std::generic_category()));
        path = pattern;
    }
    ~TemporaryDirectory()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    std::string FilePath(const std::string& name) const { return (path / name).string(); }

    // Writes `bytes` to a file of the directory and returns its path.
    std::string Write(const std::string& name, std::string_view bytes) const
    {
        const std::string file = FilePath(name);
        std::ofstream out(file, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file;
    }

    static std::string Read(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::filesystem::path path;
};
