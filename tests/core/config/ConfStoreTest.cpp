#include "config/ConfStore.h"

#include "config/ConfStoreFields.h"
#include "lang/LangModule.h"
#include "platform/fake/FakeDesktopShell.h"
#include "platform/fake/MemorySettings.h"
#include "support/NativePath.h"
#include "support/TempFolder.h"
#include "util/FileRoutines.h"

#include <gtest/gtest.h>

namespace tern {
namespace {

class ConfStoreTest : public ::testing::Test
{
protected:
    ConfStoreTest()
    {
        languages.write("english.lng", "[LANG_INFO]\r\nName=English\r\nForBuild=12\r\n");
        languages.write("german.lng", "[LANG_INFO]\r\nName=Deutsch\r\nForBuild=12\r\n");
        shell.folders[platform::SpecialFolder::Startup] = startup.path();
    }

    // A store with its own list of languages, as the program makes them.
    std::unique_ptr<TConfStore> makeStore()
    {
        modules.push_back(std::make_unique<TLangModule>(languages.path()));
        return std::make_unique<TConfStore>(settings, shell, LanguageChoiceOf(*modules.back()));
    }
    // The list of languages of the store made last.
    TLangModule& module() { return *modules.back(); }
    std::string stored(const char* section, const char* name) { return settings.values[{section, name}]; }

    test::TempFolder languages;
    test::TempFolder startup;
    platform::fake::MemorySettings settings;
    platform::fake::FakeDesktopShell shell;
    std::vector<std::unique_ptr<TLangModule>> modules;
};

TEST_F(ConfStoreTest, EmptySettingsLoadTheDefaults)
{
    auto store = makeStore();
    EXPECT_EQ(settings.openCount, 1);
    EXPECT_EQ(store->Login, "");
    EXPECT_EQ(store->Password, "");
    EXPECT_EQ(store->MainKey, 24665);
    EXPECT_TRUE(store->CheckUpdates);
    EXPECT_FALSE(store->DisableRemote);
    EXPECT_EQ(store->CurColor, 0);
    EXPECT_EQ(store->CurFont, 1);
    EXPECT_EQ(store->CurLine, 1);
    EXPECT_EQ(store->CheckDate, 0.0);
    EXPECT_FALSE(store->StartWithWindows);
    EXPECT_EQ(module().CurrentFileName(), "english.lng");
    EXPECT_TRUE(module().Modified);
    EXPECT_EQ(store->ServiceHost, "http://127.0.0.1:8077");
    EXPECT_EQ(store->DownloadHost, "http://127.0.0.1:8077");
    EXPECT_EQ(store->CaFile, "");
}

TEST_F(ConfStoreTest, SaveWritesEveryValueAsText)
{
    auto store = makeStore();
    store->Apply({.Login = "ann@example.org"});
    store->Apply({.CheckDate = 45000.75});
    store->Save();
    EXPECT_EQ(settings.commitCount, 1);
    EXPECT_EQ(stored("Main", "Login"), "ann@example.org");
    EXPECT_EQ(stored("Main", "CheckUpdates"), "1");
    EXPECT_EQ(stored("Main", "DisableRemote"), "0");
    EXPECT_EQ(stored("HotKeys", "MainKey"), "24665");
    EXPECT_EQ(stored("Main", "CheckDate"), "45000");
    EXPECT_EQ(stored("Main", "CurFont"), "1");
    EXPECT_EQ(stored("LangModule", "CurrentLanguage"), "english.lng");
    EXPECT_EQ(stored("LangModule", "IsLangModified"), "1");
    EXPECT_EQ(stored("Main", "ServiceHost"), "http://127.0.0.1:8077");

    store->Load();
    EXPECT_EQ(store->CheckDate, 45000.0);
}

TEST_F(ConfStoreTest, StoredTextsAreReadByTheNumberRules)
{
    struct Case
    {
        const char* section;
        const char* name;
        const char* text;
        std::function<std::string(const TConfStore&)> read;
        const char* expected;
    };
    const auto mainKey = [](const TConfStore& s) { return std::to_string(s.MainKey); };
    const auto checkUpdates = [](const TConfStore& s) {
        return std::string(s.CheckUpdates ? "true" : "false");
    };
    const auto disableRemote = [](const TConfStore& s) {
        return std::string(s.DisableRemote ? "true" : "false");
    };
    const auto curFont = [](const TConfStore& s) { return std::to_string(s.CurFont); };
    const auto checkDate = [](const TConfStore& s) { return std::to_string(s.CheckDate); };
    const Case cases[] = {
        {"HotKeys", "MainKey", "90000", mainKey, "24464"}, // low 16 bits of 90000
        {"HotKeys", "MainKey", "-1", mainKey, "65535"},
        {"HotKeys", "MainKey", "Ctrl+Y", mainKey, "24665"},
        {"HotKeys", "MainKey", "", mainKey, "24665"},
        {"HotKeys", "MainKey", "99999999999", mainKey, "24665"},
        {"Main", "CheckUpdates", "0", checkUpdates, "false"},
        {"Main", "CheckUpdates", "2", checkUpdates, "true"},
        {"Main", "CheckUpdates", "true", checkUpdates, "true"}, // not a number: the default
        {"Main", "DisableRemote", "-5", disableRemote, "true"},
        {"Main", "DisableRemote", "yes", disableRemote, "false"},
        {"Main", "CurFont", " 2", curFont, "1"},
        {"Main", "CurFont", "+2", curFont, "2"},
        {"Main", "CheckDate", "45000", checkDate, "45000.000000"},
        {"Main", "CheckDate", "45000.5", checkDate, "0.000000"},
    };
    for (const Case& c : cases) {
        settings.values.clear();
        settings.values[{c.section, c.name}] = c.text;
        auto store = makeStore();
        EXPECT_EQ(c.read(*store), c.expected) << c.section << "/" << c.name << " = '" << c.text << "'";
    }
}

TEST_F(ConfStoreTest, ValuesSurviveASaveAndALoad)
{
    settings.values[{"Main", "Login"}] = "ann@example.org";
    settings.values[{"Main", "Password"}] = "0123456789abcdef0123456789abcdef";
    settings.values[{"LangModule", "CurrentLanguage"}] = "GERMAN.LNG";
    settings.values[{"LangModule", "IsLangModified"}] = "0";
    settings.values[{"Main", "ServiceHost"}] = "https://clip.example.org:8443";
    settings.values[{"Main", "CaFile"}] = "/etc/tern/ca.pem";
    {
        auto store = makeStore();
        EXPECT_EQ(module().CurrentFileName(), "german.lng");
        EXPECT_FALSE(module().Modified);
        store->Apply({.MainKey = 0x8000 | 'Q'});
        store->Apply({.CurColor = 2});
    } // the destructor saves
    auto store = makeStore();
    EXPECT_EQ(store->Login, "ann@example.org");
    EXPECT_EQ(store->Password, "0123456789abcdef0123456789abcdef");
    EXPECT_EQ(store->MainKey, 0x8000 | 'Q');
    EXPECT_EQ(store->CurColor, 2);
    EXPECT_EQ(store->ServiceHost, "https://clip.example.org:8443");
    EXPECT_EQ(store->CaFile, "/etc/tern/ca.pem");
    EXPECT_EQ(stored("LangModule", "CurrentLanguage"), "german.lng");
}

// Another program (the command-line tool) changes the settings file while the store lives: its
// changes are taken in and survive every save, except where this program changed the same value.
TEST_F(ConfStoreTest, ChangesMadeOutsideSurviveAndOwnChangesWin)
{
    settings.values[{"Main", "ServiceHost"}] = "http://a.example.org";
    settings.values[{"Main", "Login"}] = "ann@example.org";
    auto store = makeStore();
    const auto outside = [this](const char* section, const char* name, const char* value) {
        settings.values[{section, name}] = value;
    };

    outside("Main", "ServiceHost", "http://b.example.org");
    outside("Main", "CurLine", "2");
    outside("LangModule", "CurrentLanguage", "german.lng");
    outside("Main", "Login", "bob@example.org");
    store->Apply({.Login = "carol@example.org"}); // this program's change of the same value
    store->Apply({.CurColor = 2});
    store->Refresh();
    EXPECT_EQ(store->ServiceHost, "http://b.example.org");
    EXPECT_EQ(store->CurLine, 2);
    EXPECT_EQ(module().CurrentFileName(), "german.lng");
    EXPECT_EQ(store->Login, "carol@example.org");
    EXPECT_EQ(store->CurColor, 2);

    // A save without a refresh before it merges in the same way.
    outside("Main", "ServiceHost", "http://c.example.org");
    outside("Main", "DownloadHost", "http://d.example.org");
    store->Save();
    EXPECT_EQ(stored("Main", "ServiceHost"), "http://c.example.org");
    EXPECT_EQ(stored("Main", "DownloadHost"), "http://d.example.org");
    EXPECT_EQ(stored("Main", "CurLine"), "2");
    EXPECT_EQ(stored("Main", "Login"), "carol@example.org");
    EXPECT_EQ(stored("Main", "CurColor"), "2");
    EXPECT_EQ(stored("LangModule", "CurrentLanguage"), "german.lng");
    EXPECT_EQ(store->ServiceHost, "http://c.example.org");

    // After a save, the other program's next change survives the save at the end.
    outside("Main", "Login", "dan@example.org");
    store.reset();
    EXPECT_EQ(stored("Main", "Login"), "dan@example.org");
}

TEST_F(ConfStoreTest, StartupEntryIsTouchedOnlyWhenTheSettingDiffers)
{
    auto store = makeStore();
    store->Save();
    EXPECT_EQ(shell.startupEntriesWritten, 0);

    store->Apply({.StartWithWindows = true});
    store->Save();
    EXPECT_EQ(shell.startupEntriesWritten, 1);
    EXPECT_TRUE(FileExists(startup.file(test::StartupEntryFile("Tern Clipboard"))));
    store->Save();
    EXPECT_EQ(shell.startupEntriesWritten, 1);

    // Removed by hand while the setting stays on: put back at the next save.
    RemoveFile(startup.file(test::StartupEntryFile("Tern Clipboard")));
    store->Save();
    EXPECT_EQ(shell.startupEntriesWritten, 2);

    store->Apply({.StartWithWindows = false});
    store->Save();
    EXPECT_FALSE(FileExists(startup.file(test::StartupEntryFile("Tern Clipboard"))));

    // Loading reads the setting from the entry's existence.
    startup.write(test::StartupEntryFile("Tern Clipboard"), "x");
    store->Load();
    EXPECT_TRUE(store->StartWithWindows);
}

TEST_F(ConfStoreTest, StartupEntryStartsTheDesktopProgramWhoeverWritesIt)
{
    // The desktop program itself, and the command-line tool beside it.
    for (const char* writer : {"/opt/tern/tern-clipboard", "/opt/tern/tern"}) {
        SCOPED_TRACE(writer);
        shell.program = test::NativePath(writer);
        auto store = makeStore();
        store->Apply({.StartWithWindows = false});
        store->Save();
        store->Apply({.StartWithWindows = true});
        store->Save();
        EXPECT_EQ(ReadFileBytes(startup.file(test::StartupEntryFile("Tern Clipboard")), 4096),
                  test::NativePath("/opt/tern/") + platform::kDesktopProgramFile + "\n" +
                      test::NativePath("/opt/tern/\n"));
    }
}

TEST_F(ConfStoreTest, FieldTableListsEverySettingInStoredForm)
{
    auto store = makeStore();
    std::vector<std::string> names;
    for (const ConfStoreField& field : ConfStoreFields())
        names.push_back(field.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Login", "Password", "MainKey", "CheckDate", "CheckUpdates",
                                               "DisableRemote", "CurColor", "CurFont", "CurLine",
                                               "CurrentLanguage", "IsLangModified", "StartWithWindows",
                                               "ServiceHost", "DownloadHost", "CaFile", "EndToEndKey"}));
    const ConfStoreField* mainKey = FindConfStoreField("MainKey");
    ASSERT_NE(mainKey, nullptr);
    ConfChange change;
    mainKey->read(change, std::string("90000"));
    store->Apply(change);
    EXPECT_EQ(mainKey->storedForm(*store), "24464");
    EXPECT_EQ(FindConfStoreField("mainkey"), nullptr);
}

} // namespace
} // namespace tern
