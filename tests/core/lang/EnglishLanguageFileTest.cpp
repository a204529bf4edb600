#include "lang/LngFile.h"

#include <gtest/gtest.h>

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
    for (const auto& [section, names] : keys) {
        for (const std::string& key : names)
            EXPECT_TRUE(file.text(section, key).has_value()) << section << "/" << key;
    }
    EXPECT_GE(file.profileInt("LANG_INFO", "ForBuild", 0), 10);
    EXPECT_NE(file.text("FAUTHFORM", "mKeyTip")->find("%s"), std::string::npos);
}

} // namespace
} // namespace tern
