#include "lang/LanguageFolders.h"

#include "lang/LangModule.h"
#include "lang/LanguageTexts.h"
#include "platform/fake/FakeDesktopShell.h"
#include "support/NativePath.h"
#include "support/TempFolder.h"
#include "util/Errors.h"
#include "util/FileRoutines.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tern {
namespace {

namespace fs = std::filesystem;

// The folders join their parts with the system's delimiter; the expected paths are written with '/'.
std::string native(const std::string& path)
{
    return test::NativePath(path);
}

std::string language(const std::string& name, const std::string& ok)
{
    return "[LANG_INFO]\r\nName=" + name + "\r\nForBuild=12\r\n[GLOBAL]\r\nbOk=" + ok + "\r\n";
}

// Shipped languages in "shipped/", the user's own in "user/": the user's German hides the shipped one,
// and Klingon exists only for the user.
class LanguageFoldersTest : public ::testing::Test
{
protected:
    LanguageFoldersTest() : folders(root.file("shipped"), root.file("user"))
    {
        root.write("shipped/english.lng", language("English", "OK") + "bCancel=Cancel\r\n");
        root.write("shipped/german.lng", language("Deutsch", "Weiter"));
        root.write("shipped/french.lng", language("Francais", "Valider"));
        root.write("user/german.lng", language("Deutsch (meins)", "Los"));
        root.write("user/klingon.lng", language("tlhIngan", "luq"));
    }
    std::string shipped(const std::string& name) const { return root.file("shipped/" + name); }
    std::string user(const std::string& name) const { return root.file("user/" + name); }

    test::TempFolder root;
    LanguageFolders folders;
};

TEST_F(LanguageFoldersTest, UserFilesOverlayShippedFilesOfTheSameName)
{
    EXPECT_EQ(native(folders.readPath("german.lng")), native(user("german.lng")));
    EXPECT_EQ(native(folders.readPath("klingon.lng")), native(user("klingon.lng")));
    EXPECT_EQ(native(folders.readPath("french.lng")), native(shipped("french.lng")));
    EXPECT_EQ(native(folders.readPath("missing.lng")), native(shipped("missing.lng")));

    // Each language is listed once, under the name its read file gives it.
    TLangModule module(folders);
    std::vector<std::string> listed;
    for (const auto& entry : module.DisplayNames())
        listed.push_back(entry.name + " <" + module.FileNames()[static_cast<size_t>(entry.fileIndex)] + ">");
    EXPECT_EQ(listed, (std::vector<std::string>{"Deutsch (meins) <german.lng>", "English <english.lng>",
                                                "Francais <french.lng>", "tlhIngan <klingon.lng>"}));

    // Texts come from the user's copy, with the shipped English as the fallback.
    LanguageTexts texts(folders);
    texts.reloadCurrent("german.lng");
    EXPECT_EQ(texts.GetText("GLOBAL", "bOk"), "Los");
    EXPECT_EQ(texts.GetText("GLOBAL", "bCancel"), "Cancel");
    texts.reloadCurrent("french.lng");
    EXPECT_EQ(texts.GetText("GLOBAL", "bOk"), "Valider");

    // A user's english.lng is the fallback from then on.
    root.write("user/english.lng", language("English", "Fine") + "bCancel=Stop\r\n");
    LanguageTexts overlaid(folders);
    overlaid.reloadCurrent("french.lng");
    EXPECT_EQ(overlaid.GetText("GLOBAL", "bCancel"), "Stop");
}

// Edits go to the user's copy, made from the shipped file on the first edit; the shipped folder,
// read-only as an installed one is, never changes.
TEST_F(LanguageFoldersTest, WritesGoToTheUsersCopyOfAShippedFile)
{
    const std::string frenchBytes = *ReadFileBytes(shipped("french.lng"), 1 << 16);
    fs::remove_all(root.file("user"));
    fs::permissions(root.file("shipped"), fs::perms::owner_read | fs::perms::owner_exec);

    const std::string path = folders.prepareWrite("french.lng");
    EXPECT_EQ(native(path), native(user("french.lng")));
    EXPECT_EQ(ReadFileBytes(path, 1 << 16), frenchBytes);
    WriteFileAtomically(path, language("Francais", "Oui"), false);
    EXPECT_EQ(folders.prepareWrite("french.lng"), path); // an existing copy is kept as it is
    EXPECT_EQ(ReadFileBytes(path, 1 << 16), language("Francais", "Oui"));

    // A new language has no shipped file to copy.
    EXPECT_EQ(native(folders.prepareWrite("dutch.lng")), native(user("dutch.lng")));
    EXPECT_FALSE(FileExists(user("dutch.lng")));

    fs::permissions(root.file("shipped"), fs::perms::owner_all);
    EXPECT_EQ(ReadFileBytes(shipped("french.lng"), 1 << 16), frenchBytes);
    EXPECT_EQ(std::distance(fs::directory_iterator(root.file("shipped")), {}), 3);

    // Without a per-user folder, the shipped folder is written in place.
    const LanguageFolders single(root.file("shipped"));
    EXPECT_EQ(native(single.writeFolder()), native(root.file("shipped/")));
    EXPECT_EQ(native(single.prepareWrite("german.lng")), native(shipped("german.lng")));

    // A copy that cannot be made is reported, not replaced by an empty file.
    root.write("blocked", "a file where the user's folder should be");
    const LanguageFolders blocked(root.file("shipped"), root.file("blocked/Languages"));
    EXPECT_THROW(blocked.prepareWrite("german.lng"), FileError);
}

TEST(ProgramLanguageFolders, InstalledProgramReadsThePrefixsDataFolder)
{
    test::TempFolder root;
    platform::fake::FakeDesktopShell shell;
    shell.folders[platform::SpecialFolder::ApplicationData] = root.file("home/.local/share");

    // Run from a folder that holds its languages (a build folder): they lie beside the program.
    shell.program = root.file("build/bin/tern-clipboard");
    LanguageFolders folders = ProgramLanguageFolders(shell);
    EXPECT_EQ(native(folders.shipped), native(root.file("build/bin/Languages/")));
    EXPECT_EQ(native(folders.user), native(root.file("home/.local/share/tern-clipboard/Languages/")));

    // Installed under a prefix: the languages are in the prefix's data folder.
    fs::create_directories(root.file("usr/share/tern-clipboard/Languages"));
    shell.program = root.file("usr/bin/tern-clipboard");
    EXPECT_EQ(native(ProgramLanguageFolders(shell).shipped),
              native(root.file("usr/share/tern-clipboard/Languages/")));

    // Without a per-user data folder there is no overlay.
    shell.folders.clear();
    folders = ProgramLanguageFolders(shell);
    EXPECT_EQ(folders.user, "");
    EXPECT_EQ(native(folders.writeFolder()), native(root.file("usr/share/tern-clipboard/Languages/")));
}

} // namespace
} // namespace tern
