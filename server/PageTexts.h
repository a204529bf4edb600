#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace tern::server {

// The languages the pages are served in.
enum class PageLanguage {
    English,
    German,
};

// The language a browser asks for with its Accept-Language header: the supported language with the
// highest weight (q), the first named on a tie; English when none is supported or named.
PageLanguage PageLanguageFor(std::string_view acceptLanguage);

// The page's lang attribute: "en" or "de".
const char* HtmlLanguageCode(PageLanguage language);

// Every text the pages show, one entry each in the table of PageTexts.cpp.
enum class PageText {
    NotFound,
    NoSuchLink,
    NoPageHere,
    RequestRefused,
    RequestNotAnswered,
    ServerError,
    RequestNotCompleted,
    History,
    TooManyFailedLogins,
    WrongLogin,
    ShareGone,
    ShareDeleted,
    Help,
    SharedText,
    SharedJpeg,
    SharedPng,
    SharedItem,
    KindText,
    KindJpeg,
    KindPng,
    KindItem,
    PlainText,
    FullSize,
    SharedPicture,
    YourShares,
    OneItem,
    Items,
    NothingShared,
    Open,
    Delete,
    DeleteThisShare,
    DeleteExplained,
    DeleteForGood,
    KeepIt,
    DeleteShare,
    ForgottenPassword,
    Account,
    NoPasswordReset,
    DownloadTitle,
    NewestBuild,
    Language,
    AskForInstaller,
    Download,
    HelpIntro,
    RemoteCopy,
    RemoteCopyExplained,
    RemotePaste,
    RemotePasteExplained,
    Share,
    ShareExplained,
    HistoryExplained,
    Start,
    ServiceTitle,
    ServiceExplained,
    HowItWorks,
    OneByte,
    Bytes,
    Count, // not a text: the number of texts
};

// The text in `language`, plain (not yet escaped for HTML).
std::string_view Text(PageLanguage language, PageText text);

// `text` with "%1", "%2" and "%3" replaced by the arguments given, in one pass.
std::string FillText(std::string_view text, std::initializer_list<std::string_view> arguments);

} // namespace tern::server
