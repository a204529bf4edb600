#include "util/FileRoutines.h"

#include "support/TempFolder.h"
#include "util/Errors.h"

#include <filesystem>

#include <gtest/gtest.h>

namespace tern {
namespace {

TEST(FileRoutines, CreateEmptyFileLeavesAnExistingFileAlone)
{
    test::TempFolder folder;
    const std::string fresh = folder.file("fresh.lng");
    CreateEmptyFile(fresh);
    EXPECT_EQ(std::filesystem::file_size(fresh), 0u);

    const std::string existing = folder.write("existing.lng", "[GLOBAL]\r\n");
    CreateEmptyFile(existing);
    EXPECT_EQ(ReadFileBytes(existing, 100), "[GLOBAL]\r\n");

    EXPECT_THROW(CreateEmptyFile(folder.file("missing/folder/x.lng")), FileError);
}

TEST(FileRoutines, AtomicWriteReplacesContentAndCanRestrictToOwner)
{
    test::TempFolder folder;
    const std::string path = folder.file("settings.ini");
    WriteFileAtomically(path, "first", true);
    WriteFileAtomically(path, "second", true);
    EXPECT_EQ(ReadFileBytes(path, 100), "second");
#ifndef _WIN32
    // Windows files carry no POSIX mode: there the user's profile folder keeps them private.
    const auto perms = std::filesystem::status(path).permissions();
    EXPECT_EQ(perms & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
#endif
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
    EXPECT_THROW(WriteFileAtomically(folder.file("no/such/dir/x"), "x", false), FileError);
}

TEST(FileRoutines, ReadRefusesFilesOverTheLimit)
{
    test::TempFolder folder;
    const std::string path = folder.write("big", std::string(1000, 'x'));
    EXPECT_EQ(ReadFileBytes(path, 1000)->size(), 1000u);
    EXPECT_FALSE(ReadFileBytes(path, 999));
    EXPECT_FALSE(ReadFileBytes(folder.file("missing"), 1000));
}

TEST(FileRoutines, ExtractFilePathKeepsTheDelimiter)
{
    EXPECT_EQ(ExtractFilePath("/opt/tern/tern-clipboard"), "/opt/tern/");
    EXPECT_EQ(ExtractFilePath("C:\\Tern\\tern.exe"), "C:\\Tern\\");
    EXPECT_EQ(ExtractFilePath("tern"), "");
}

} // namespace
} // namespace tern
