#include "lang/LngFile.h"
#include "lang/TextKeys.h"

#include <gtest/gtest.h>

#include <cctype>
#include <iterator>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace tern {
namespace {

// The shipped English file must answer every key the program asks for: a missing one would show
// "no-value" to every user of every language.
TEST(EnglishLanguageFile, HoldsEveryKeyTheProgramUses)
{
    const LngFile file = LngFile::load(std::string(TERN_SOURCE_LANGUAGES_DIR) + "/english.lng");
    ASSERT_FALSE(file.empty());
    // German translates every key that English holds: the keys the program asks for, and the object
    // names of the forms and menu items that the languages translate.
    const LngFile german = LngFile::load(std::string(TERN_SOURCE_LANGUAGES_DIR) + "/german.lng");
    std::vector<TextKey> keys(std::begin(text::kAll), std::end(text::kAll));
    const std::map<const char*, std::vector<const char*>> objectNames = {
        {"LANG_INFO", {"Translator", "TranslatorEmail"}},
        {"fInit",
         {"aPaste", "aCopy", "aExit", "aLogin", "aAbout", "aSettings", "aWeb", "aShareScr", "aShareCurWin",
          "aShareArea", "aCheckUpd", "aHistory", "aHelp", "aLastLink", "aKey"}},
        {"fSettings",
         {"lCaption", "lHotkey", "cStartup", "cCheckUpdates", "cDisableRemote", "bLogin", "bKey"}},
        {"fEndToEndKey",
         {"lCaption", "lExplain", "lNoKey", "lKeySet", "lNewKey", "lRepeatKey", "bSet", "bClear"}},
        {"fAboutFrm", {"lCaption", "lHomePage"}},
        {"FAUTHFORM",
         {"lCaption", "lEnterLogin", "lEnterPass", "lPassRepeat", "lRelogin", "lEnterLoginPass", "lForgot"}},
        {"FTOOLBOX", {"lCaption"}},
        {"GLOBAL", {"bOk"}},
    };
    for (const auto& [section, names] : objectNames) {
        for (const char* name : names)
            keys.push_back({section, name});
    }
    for (const TextKey& key : keys) {
        EXPECT_TRUE(file.text(key.section, key.key).has_value()) << key.section << "/" << key.key;
        EXPECT_TRUE(german.text(key.section, key.key).has_value())
            << "german.lng " << key.section << "/" << key.key;
    }
    EXPECT_GE(file.profileInt("LANG_INFO", "ForBuild", 0), 10);
    // The texts that name a value (the hotkey, the link, the service address, the minimum password
    // length) hold its place in both shipped languages.
    for (const TextKey& key : {text::kKeyTip, text::kConnectProblem, text::kPasswordShort,
                               text::kConnectionProblem, text::kLinkStored, text::kNoTray, text::kSignedIn}) {
        EXPECT_NE(file.text(key.section, key.key).value_or("").find("%s"), std::string::npos) << key.key;
        EXPECT_NE(german.text(key.section, key.key).value_or("").find("%s"), std::string::npos)
            << "german.lng " << key.key;
    }

    // The command captions carry their accelerator letters in both languages, one letter each and
    // no two alike within a language.
    for (const LngFile* language : {&file, &german}) {
        std::set<char> letters;
        for (const char* key : {"aCopy", "aPaste", "aWeb", "aShareScr", "aShareCurWin", "aShareArea"}) {
            const std::string caption = language->text("fInit", key).value_or("");
            std::string accelerators;
            for (size_t at = 0; at + 1 < caption.size(); ++at) {
                if (caption[at] == '&' && caption[at + 1] == '&')
                    ++at;
                else if (caption[at] == '&')
                    accelerators +=
                        static_cast<char>(std::tolower(static_cast<unsigned char>(caption[at + 1])));
            }
            EXPECT_EQ(accelerators.size(), 1u) << caption;
            if (!accelerators.empty()) {
                EXPECT_TRUE(letters.insert(accelerators[0]).second) << caption;
            }
        }
    }
    EXPECT_EQ(file.text("fInit", "aShareScr"), "Share Scr&een");
}

} // namespace
} // namespace tern
