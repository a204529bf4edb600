#pragma once

#include "Database.h"
#include "SharedItems.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tern::server {

// Escapes the five characters that are special in HTML text and attribute values.
std::string HtmlEscape(std::string_view text);

// A complete page: `title` is escaped here, `bodyHtml` must be markup built from escaped parts.
std::string PageDocument(std::string_view title, std::string_view bodyHtml);

// The one stylesheet every page links (served at "/style.css", so no inline style is needed).
std::string_view StyleSheet();

// A page with a heading and one paragraph of plain text.
std::string MessagePage(std::string_view title, std::string_view text);

// The public page of a shared item: the text in a <pre> block or the image, and the raw link.
std::string SharePage(const SharedItem& item);

// The credentials the history page was opened with; its delete buttons send them again.
struct HistoryLogin
{
    std::string email;
    std::string passwordValue;
};

// The account's shares, newest first, each with a delete button; `notice` (if any) above them.
std::string HistoryPage(const HistoryLogin& login, const std::vector<ShareSummary>& shares,
                        std::string_view notice = {});

// Asks whether the share should really be deleted.
std::string ConfirmDeletePage(const HistoryLogin& login, const ShareSummary& share);

std::string ForgotPage(std::string_view email);
std::string DownloadPage(std::string_view language, std::uint32_t latestBuild,
                         const std::vector<std::string>& message);
std::string HelpPage();
std::string StartPage();

// "YYYY-MM-DD HH:MM UTC" for seconds since the Unix epoch.
std::string FormatUtc(std::int64_t seconds);

} // namespace tern::server
