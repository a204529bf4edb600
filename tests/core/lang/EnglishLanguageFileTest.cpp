#include "lang/LngFile.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <utility>

namespace tern {
namespace {

// The shipped English file must answer every key the program asks for: a missing one would show
// "no-value" to every user of every language.
TEST(EnglishLanguageFile, HoldsEveryKeyTheProgramUses)
{
    const LngFile file = LngFile::load(std::string(TERN_SOURCE_LANGUAGES_DIR) + "/english.lng");
    ASSERT_FALSE(file.empty());
    const std::map<std::string, std::vector<std::string>> keys = {
        {"LANG_INFO", {"Name", "ForBuild", "Translator", "TranslatorEmail"}},
        {"GLOBAL",
         {"bOk",           "bCancel",       "bContinue",       "bLogin",        "bRegister",    "bRetry",
          "bChangeHotkey", "bInClipboard",  "bOpenLink",       "bDownload",     "mHotkeyBusy",  "mReupload",
          "mCopy30Sec",    "mNoDataCopied", "mSelShared",      "mUploadFailed", "mCopyFailed",  "mDataPasted",
          "mPasteFailed",  "mLinkStored",   "mDelayedCapture", "mUploading",    "mVerUpToDate", "mConProblem",
          "mVerObsolete"}},
        {"FAUTHFORM",
         {"lCaption", "lEnterLogin", "lEnterPass", "lPassRepeat", "lRelogin", "lEnterLoginPass", "lForgot",
          "mInvalidEmail", "mConnectProb", "mPasswordMis", "mPasswordShort", "mAccRegistered", "mKeyTip",
          "mLoginOk", "mLoginFailed"}},
        {"FTOOLBOX", {"lCaption", "lDrawNotes", "bUpload"}},
        {"fInit",
         {"aPaste", "aCopy", "aExit", "aLogin", "aAbout", "aSettings", "aWeb", "aShareScr", "aShareCurWin",
          "aShareArea", "aCheckUpd", "aHistory", "aHelp", "aLastLink"}},
        {"fSettings", {"lCaption", "lHotkey", "cStartup", "cCheckUpdates", "cDisableRemote", "bLogin"}},
        {"fAboutFrm", {"lCaption", "lHomePage"}},
    };
    // German translates every key that English holds.
    const LngFile german = LngFile::load(std::string(TERN_SOURCE_LANGUAGES_DIR) + "/german.lng");
    for (const auto& [section, names] : keys) {
        for (const std::string& key : names) {
            EXPECT_TRUE(file.text(section, key).has_value()) << section << "/" << key;
            EXPECT_TRUE(german.text(section, key).has_value()) << "german.lng " << section << "/" << key;
        }
    }
    EXPECT_GE(file.profileInt("LANG_INFO", "ForBuild", 0), 10);
    // The texts that name a value (the hotkey, the link, the service address, the minimum password
    // length) hold its place in both shipped languages.
    const std::pair<const char*, const char*> named[] = {{"FAUTHFORM", "mKeyTip"},
                                                         {"FAUTHFORM", "mConnectProb"},
                                                         {"FAUTHFORM", "mPasswordShort"},
                                                         {"GLOBAL", "mConProblem"},
                                                         {"GLOBAL", "mLinkStored"}};
    for (const auto& [section, key] : named) {
        EXPECT_NE(file.text(section, key).value_or("").find("%s"), std::string::npos) << key;
        EXPECT_NE(german.text(section, key).value_or("").find("%s"), std::string::npos)
            << "german.lng " << key;
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
