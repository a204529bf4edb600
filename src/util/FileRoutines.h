#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace tern {

// Creates a file of length zero at `path` unless a file exists there. Throws FileError on failure.
void CreateEmptyFile(const std::string& path);

bool FileExists(const std::string& path);

// Creates the folder and every missing parent; returns false on failure (nothing is thrown).
bool CreateFolders(const std::string& path);

// The whole content of the file, or nothing when it cannot be read or is larger than `maxBytes`.
std::optional<std::string> ReadFileBytes(const std::string& path, size_t maxBytes);

// Replaces the file at `path` with `bytes` so that a reader sees the old or the new content, never a
// part: the bytes go to a temporary file beside it, which is flushed and renamed over the target.
// With `ownerOnly` the file is readable and writable by its owner alone. Throws FileError.
void WriteFileAtomically(const std::string& path, const std::string& bytes, bool ownerOnly);

// Removes the file; returns false when it could not be removed (a missing file counts as removed).
bool RemoveFile(const std::string& path);

// The folder part of a path including its final delimiter ("" when the path has none).
std::string ExtractFilePath(const std::string& path);

} // namespace tern
