#pragma once

#include "util/TextRoutines.h"

#include <string>
#include <string_view>

namespace tern {

// A text of the language files: its section and its key.
struct TextKey
{
    const char* section;
    const char* key;
};

// The text of `key` from `texts`, anything with GetText(section, key) (the language texts, the
// contexts that the forms and commands are given).
template <typename Texts> std::string TextOf(const Texts& texts, const TextKey& key)
{
    return texts.GetText(key.section, key.key);
}

// The texts that the program asks for by key. (Forms and menu items are translated by their object
// names instead.)
namespace text {

inline constexpr const char* kInfoSection = "LANG_INFO";
inline constexpr TextKey kLanguageName{kInfoSection, "Name"};
inline constexpr TextKey kForBuild{kInfoSection, "ForBuild"};

inline constexpr const char* kGlobal = "GLOBAL";
inline constexpr TextKey kCancelButton{kGlobal, "bCancel"};
inline constexpr TextKey kChangeHotkeyButton{kGlobal, "bChangeHotkey"};
inline constexpr TextKey kContinueButton{kGlobal, "bContinue"};
inline constexpr TextKey kDownloadButton{kGlobal, "bDownload"};
inline constexpr TextKey kInClipboardButton{kGlobal, "bInClipboard"};
inline constexpr TextKey kLoginButton{kGlobal, "bLogin"};
inline constexpr TextKey kOpenLinkButton{kGlobal, "bOpenLink"};
inline constexpr TextKey kRegisterButton{kGlobal, "bRegister"};
inline constexpr TextKey kRetryButton{kGlobal, "bRetry"};
inline constexpr TextKey kConnectionProblem{kGlobal, "mConProblem"};
inline constexpr TextKey kCopy30Sec{kGlobal, "mCopy30Sec"};
inline constexpr TextKey kCopyFailed{kGlobal, "mCopyFailed"};
inline constexpr TextKey kDataPasted{kGlobal, "mDataPasted"};
inline constexpr TextKey kDelayedCapture{kGlobal, "mDelayedCapture"};
inline constexpr TextKey kHotkeyBusy{kGlobal, "mHotkeyBusy"};
inline constexpr TextKey kKeyNeeded{kGlobal, "mKeyNeeded"};
inline constexpr TextKey kLinkStored{kGlobal, "mLinkStored"};
inline constexpr TextKey kNoDataCopied{kGlobal, "mNoDataCopied"};
inline constexpr TextKey kNoTray{kGlobal, "mNoTray"};
inline constexpr TextKey kPasteFailed{kGlobal, "mPasteFailed"};
inline constexpr TextKey kReupload{kGlobal, "mReupload"};
inline constexpr TextKey kSelectionShared{kGlobal, "mSelShared"};
inline constexpr TextKey kUploadFailed{kGlobal, "mUploadFailed"};
inline constexpr TextKey kUploading{kGlobal, "mUploading"};
inline constexpr TextKey kVersionObsolete{kGlobal, "mVerObsolete"};
inline constexpr TextKey kVersionUpToDate{kGlobal, "mVerUpToDate"};

inline constexpr const char* kAuthForm = "FAUTHFORM";
inline constexpr TextKey kAccountRegistered{kAuthForm, "mAccRegistered"};
inline constexpr TextKey kConnectProblem{kAuthForm, "mConnectProb"};
inline constexpr TextKey kInvalidEmail{kAuthForm, "mInvalidEmail"};
inline constexpr TextKey kKeyTip{kAuthForm, "mKeyTip"};
inline constexpr TextKey kLoginFailed{kAuthForm, "mLoginFailed"};
inline constexpr TextKey kLoginOk{kAuthForm, "mLoginOk"};
inline constexpr TextKey kPasswordMismatch{kAuthForm, "mPasswordMis"};
inline constexpr TextKey kPasswordShort{kAuthForm, "mPasswordShort"};
inline constexpr TextKey kSignedIn{kAuthForm, "lSignedIn"};

inline constexpr const char* kEndToEndKeyForm = "fEndToEndKey";
inline constexpr TextKey kKeysDiffer{kEndToEndKeyForm, "mKeysDiffer"};
inline constexpr TextKey kKeyShort{kEndToEndKeyForm, "mKeyShort"};

inline constexpr const char* kToolBox = "FTOOLBOX";
inline constexpr TextKey kDrawNotes{kToolBox, "lDrawNotes"};
inline constexpr TextKey kUploadButton{kToolBox, "bUpload"};

// Every key above; the shipped languages are tested to hold each of them.
inline constexpr TextKey kAll[] = {
    kLanguageName,    kForBuild,          kCancelButton,      kChangeHotkeyButton, kContinueButton,
    kDownloadButton,  kInClipboardButton, kLoginButton,       kOpenLinkButton,     kRegisterButton,
    kRetryButton,     kConnectionProblem, kCopy30Sec,         kCopyFailed,         kDataPasted,
    kDelayedCapture,  kHotkeyBusy,        kLinkStored,        kNoDataCopied,       kNoTray,
    kPasteFailed,     kReupload,          kSelectionShared,   kUploadFailed,       kUploading,
    kVersionObsolete, kVersionUpToDate,   kAccountRegistered, kConnectProblem,     kInvalidEmail,
    kKeyTip,          kLoginFailed,       kLoginOk,           kPasswordMismatch,   kPasswordShort,
    kSignedIn,        kDrawNotes,         kUploadButton,      kKeyNeeded,          kKeysDiffer,
    kKeyShort,
};

} // namespace text

// The connection-problem text with `serviceHost` named in it, as every transfer failure starts.
template <typename Texts> std::string ConnectionProblemText(const Texts& texts, std::string_view serviceHost)
{
    return SubstituteArgument(TextOf(texts, text::kConnectProblem), serviceHost);
}

} // namespace tern
