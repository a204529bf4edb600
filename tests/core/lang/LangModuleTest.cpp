#include "lang/LangModule.h"

#include "platform/PathRules.h"
#include "support/TempFolder.h"
#include "util/FileRoutines.h"

#include <gtest/gtest.h>

namespace tern {
namespace {

std::string langInfo(const std::string& name, const std::string& forBuild)
{
    std::string text = "[LANG_INFO]\r\n";
    if (!name.empty())
        text += "Name=" + name + "\r\n";
    if (!forBuild.empty())
        text += "ForBuild=" + forBuild + "\r\n";
    return text;
}

std::vector<std::string> displayNames(const TLangModule& module)
{
    std::vector<std::string> names;
    for (const auto& entry : module.DisplayNames())
        names.push_back(entry.name + " <" + module.FileNames()[static_cast<size_t>(entry.fileIndex)] + ">");
    return names;
}

TEST(LangModule, ScanListsLanguageFilesSortedByDisplayName)
{
    test::TempFolder folder;
    folder.write("english.lng", langInfo("English", "12"));
    folder.write("german.LNG", langInfo("Deutsch", "0x0C"));
    folder.write("old.lng", langInfo("Old", ""));
    folder.write("nameless.lng", langInfo("", "12"));
    folder.write("notes.txt", langInfo("Text", "12"));
    folder.write(".hidden.lng", langInfo("Hidden", "12"));
    CreateFolders(folder.file("folder.lng"));

    TLangModule module(folder.path());
    EXPECT_EQ(module.Folders().shipped, folder.path() + platform::kPathDelimiter);
    EXPECT_EQ(displayNames(module),
              (std::vector<std::string>{"Deutsch <german.LNG>", "English <english.lng>",
                                        "nameless.lng <nameless.lng>", "Old - <old.lng>"}));
    EXPECT_EQ(module.CurrentIndex(), 0);
    EXPECT_TRUE(module.Modified);
}

TEST(LangModule, SelectFileFindsNamesCaseInsensitivelyAndFallsBackToEnglish)
{
    test::TempFolder folder;
    folder.write("english.lng", langInfo("English", "12"));
    folder.write("german.lng", langInfo("Deutsch", "12"));
    TLangModule module(folder.path());
    module.Modified = false;

    module.SelectFile("GERMAN.lng");
    EXPECT_EQ(module.CurrentFileName(), "german.lng");
    EXPECT_FALSE(module.Modified); // Deutsch sorts first: position 0 was already current

    module.SelectFile("deleted.lng");
    EXPECT_EQ(module.CurrentFileName(), "english.lng");
    EXPECT_TRUE(module.Modified);
}

TEST(LangModule, RescanReselectsTheCurrentLanguageByName)
{
    test::TempFolder folder;
    folder.write("english.lng", langInfo("English", "12"));
    folder.write("german.lng", langInfo("Deutsch", "12"));
    TLangModule module(folder.path());
    module.SelectFile("english.lng");
    module.Modified = false;

    folder.write("afrikaans.lng", langInfo("Afrikaans", "12"));
    module.ScanFolder();
    EXPECT_EQ(module.CurrentFileName(), "english.lng");
    EXPECT_EQ(module.CurrentIndex(), 2);
    EXPECT_FALSE(module.Modified);

    module.SelectFile("german.lng");
    RemoveFile(folder.file("german.lng"));
    module.ScanFolder();
    EXPECT_EQ(module.CurrentFileName(), "english.lng");
}

TEST(LangModule, WithoutAnyLanguageFileNothingIsCurrent)
{
    test::TempFolder folder;
    TLangModule module(folder.path());
    module.SelectFile("english.lng");
    EXPECT_EQ(module.CurrentIndex(), -1);
    EXPECT_EQ(module.CurrentFileName(), "");
}

} // namespace
} // namespace tern
