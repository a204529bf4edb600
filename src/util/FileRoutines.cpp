#include "util/FileRoutines.h"

#include "util/Errors.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

namespace tern {

void CreateEmptyFile(const std::string& path)
{
    std::error_code error;
    if (fs::exists(path, error))
        return;
    std::ofstream file(path, std::ios::binary | std::ios::app);
    if (!file)
        throw FileError("Cannot create file \"" + path + "\"");
}

bool FileExists(const std::string& path)
{
    std::error_code error;
    return fs::is_regular_file(path, error);
}

bool CreateFolders(const std::string& path)
{
    std::error_code error;
    fs::create_directories(path, error);
    return fs::is_directory(path, error);
}

std::optional<std::string> ReadFileBytes(const std::string& path, size_t maxBytes)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::string bytes;
    char buffer[16384];
    while (file) {
        file.read(buffer, sizeof buffer);
        const auto count = static_cast<size_t>(file.gcount());
        if (bytes.size() + count > maxBytes)
            return std::nullopt;
        bytes.append(buffer, count);
    }
    if (file.bad())
        return std::nullopt;
    return bytes;
}

void WriteFileAtomically(const std::string& path, const std::string& bytes, bool ownerOnly)
{
    std::random_device random;
    const std::string temporary = path + ".tmp" + std::to_string(random());
    std::error_code error;
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file)
            throw FileError("Cannot create file \"" + temporary + "\"");
        if (ownerOnly) {
            fs::permissions(temporary, fs::perms::owner_read | fs::perms::owner_write,
                            fs::perm_options::replace, error);
        }
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.flush();
        if (!file || error) {
            file.close();
            fs::remove(temporary, error);
            throw FileError("Cannot write file \"" + path + "\"");
        }
    }
    fs::rename(temporary, path, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw FileError("Cannot replace file \"" + path + "\": " + error.message());
    }
}

bool RemoveFile(const std::string& path)
{
    std::error_code error;
    fs::remove(path, error);
    return !error;
}

std::string ExtractFilePath(const std::string& path)
{
    const size_t delimiter = path.find_last_of("/\\:");
    return delimiter == std::string::npos ? std::string() : path.substr(0, delimiter + 1);
}

} // namespace tern
