#pragma once

#include "Database.h"
#include "PageTexts.h"
#include "SharedItems.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tern::server {

// Escapes the five characters that are special in HTML text and attribute values.
std::string HtmlEscape(std::string_view text);

// Every page is written in `language` (PageLanguageFor the browser's Accept-Language), its texts taken
// from the one table of PageTexts.

// A complete page: `title` is escaped here, `bodyHtml` must be markup built from escaped parts.
std::string PageDocument(PageLanguage language, std::string_view title, std::string_view bodyHtml);

// A page with a heading and one paragraph of text.
std::string MessagePage(PageLanguage language, PageText title, PageText text);

// The public page of a shared item: when and how much was shared, the text in a <pre> block or the
// picture, and a button to the raw item.
std::string SharePage(PageLanguage language, const SharedItem& item);

// The credentials the history page was opened with; its delete buttons send them again.
struct HistoryLogin
{
    std::string email;
    std::string passwordValue;
};

// The account's shares, newest first: a picture's own thumbnail or a text badge, when, how much, the
// way to its page and a delete button; `notice` (if any) above them.
std::string HistoryPage(PageLanguage language, const HistoryLogin& login,
                        const std::vector<ShareSummary>& shares, std::string_view notice = {});

// Asks whether the share should really be deleted.
std::string ConfirmDeletePage(PageLanguage language, const HistoryLogin& login, const ShareSummary& share);

std::string ForgotPage(PageLanguage language, std::string_view email);
// `clientLanguage` is the language the client program names (its "lang" parameter).
std::string DownloadPage(PageLanguage language, std::string_view clientLanguage, std::uint32_t latestBuild,
                         const std::vector<std::string>& message);
std::string HelpPage(PageLanguage language);
std::string StartPage(PageLanguage language);

// "YYYY-MM-DD HH:MM UTC" for seconds since the Unix epoch.
std::string FormatUtc(std::int64_t seconds);

// A byte count for people: "512 bytes", "3.4 kB", "120 kB", "1.0 MB" (decimal units, three digits
// at most; in German "512 Bytes", "3,4 kB").
std::string FormatSize(std::int64_t bytes, PageLanguage language = PageLanguage::English);

} // namespace tern::server
