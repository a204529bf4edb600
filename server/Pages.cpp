#include "Pages.h"

#include <cstdio>
#include <ctime>

namespace tern::server {
namespace {

// The brand mark: a tern in flight, drawn with presentation attributes only (no inline style).
constexpr const char* kLogo =
    "<svg class=\"logo\" viewBox=\"0 0 32 32\" aria-hidden=\"true\">"
    "<circle cx=\"16\" cy=\"16\" r=\"16\" fill=\"#ffffff\" fill-opacity=\"0.16\"/>"
    "<path fill=\"#ffffff\" d=\"M3 15.5c4.6-2.4 8.6-2.6 12.2.4 2.7-4.6 7.3-7.4 13.8-8.4-4.4 2.6-7.4 "
    "5.9-8.8 10.4-.5 1.6-1.9 2.7-3.6 2.7-1.2 0-2.3-.6-3-1.5C11.5 17 7.8 16 3 15.5z\"/>"
    "<path fill=\"#f2b33d\" d=\"M21 19.6l4.2 1.4-4.6.5z\"/></svg>";

std::string_view kindName(int kind)
{
    switch (kind) {
    case 1:
        return "text";
    case 2:
        return "JPEG picture";
    case 3:
        return "PNG picture";
    default:
        return "item";
    }
}

// The short label of the kind badges on the history page.
std::string_view kindBadge(int kind)
{
    switch (kind) {
    case 1:
        return "TXT";
    case 2:
        return "JPG";
    case 3:
        return "PNG";
    default:
        return "?";
    }
}

std::string rawLink(const std::string& key, ShareKind kind)
{
    return "/d/" + key + "." + std::string(RawExtension(kind));
}

std::string card(std::string_view innerHtml)
{
    return "<section class=\"card narrow\">\n" + std::string(innerHtml) + "</section>\n";
}

std::string hiddenField(std::string_view name, std::string_view value)
{
    return "<input type=\"hidden\" name=\"" + std::string(name) + "\" value=\"" + HtmlEscape(value) + "\">";
}

// A button that posts the credentials and the share's key to the delete address; `confirmed` marks
// the second, final press.
std::string deleteForm(const HistoryLogin& login, const std::string& key, bool confirmed,
                       std::string_view caption)
{
    std::string form = "<form method=\"post\" action=\"/cp/delete.html\">" + hiddenField("u", login.email) +
                       hiddenField("p", login.passwordValue) + hiddenField("key", key);
    if (confirmed)
        form += hiddenField("confirm", "yes");
    return form + "<button class=\"button danger\" type=\"submit\">" + HtmlEscape(caption) +
           "</button></form>";
}

std::string historyRow(const HistoryLogin& login, const ShareSummary& share)
{
    const auto kind = static_cast<ShareKind>(share.kind);
    const std::string page = HtmlEscape("/d/" + share.key + ".html");
    std::string row = "<li class=\"share-row\">";
    // Pictures show themselves; text gets a badge.
    if (kind == ShareKind::Jpeg || kind == ShareKind::Png)
        row += "<a class=\"thumb\" href=\"" + page + "\"><img src=\"" + HtmlEscape(rawLink(share.key, kind)) +
               "\" alt=\"\" loading=\"lazy\"></a>";
    else
        row +=
            "<a class=\"thumb badge\" href=\"" + page + "\">" + std::string(kindBadge(share.kind)) + "</a>";
    std::string name(kindName(share.kind));
    if (name[0] >= 'a' && name[0] <= 'z')
        name[0] = static_cast<char>(name[0] - 'a' + 'A');
    row += "<div class=\"share-info\"><a href=\"" + page + "\">" + name + "</a><span class=\"meta\">" +
           HtmlEscape(FormatUtc(share.created)) + " &middot; " + FormatSize(share.size) + "</span></div>";
    row += "<div class=\"row-actions\"><a class=\"button secondary open\" href=\"" + page + "\">Open</a>" +
           deleteForm(login, share.key, false, "Delete") + "</div></li>\n";
    return row;
}

} // namespace

std::string HtmlEscape(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            result += "&amp;";
            break;
        case '<':
            result += "&lt;";
            break;
        case '>':
            result += "&gt;";
            break;
        case '"':
            result += "&quot;";
            break;
        case '\'':
            result += "&#39;";
            break;
        default:
            result += c;
        }
    }
    return result;
}

std::string PageDocument(std::string_view title, std::string_view bodyHtml)
{
    std::string page = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                       "<meta name=\"referrer\" content=\"no-referrer\">\n"
                       "<link rel=\"stylesheet\" href=\"/style.css\">\n<title>";
    page += HtmlEscape(title);
    page += " - Tern Clipboard</title>\n</head>\n<body>\n<header class=\"bar\"><div class=\"bar-inner\">"
            "<a class=\"brand\" href=\"/\">";
    page += kLogo;
    page += "<span>Tern Clipboard</span></a></div></header>\n<main>\n";
    page += bodyHtml;
    page += "</main>\n<footer class=\"foot\">Tern Clipboard &middot; <a href=\"/help/\">Help</a></footer>\n"
            "</body>\n</html>\n";
    return page;
}

std::string MessagePage(std::string_view title, std::string_view text)
{
    return PageDocument(title, card("<h1>" + HtmlEscape(title) + "</h1>\n<p>" + HtmlEscape(text) + "</p>\n"));
}

std::string SharePage(const SharedItem& item)
{
    const auto kind = static_cast<ShareKind>(item.kind);
    const std::string raw = HtmlEscape(rawLink(item.key, kind));
    const std::string title = "Shared " + std::string(kindName(item.kind));
    std::string body = "<article class=\"card\">\n<div class=\"card-head\">\n<div>\n<h1>" + title + "</h1>\n";
    // A text is measured as it is shown, without the clipboard's terminator.
    const std::string text = kind == ShareKind::Text ? ShareTextForDisplay(item.data) : std::string();
    const size_t size = kind == ShareKind::Text ? text.size() : item.data.size();
    body += "<p class=\"meta\">" + HtmlEscape(FormatUtc(item.created)) + " &middot; " +
            FormatSize(static_cast<std::int64_t>(size)) + "</p>\n</div>\n";
    body += "<a class=\"button\" href=\"" + raw + "\">" +
            std::string(kind == ShareKind::Text ? "Plain text" : "Full size") + "</a>\n</div>\n";
    if (kind == ShareKind::Text)
        body += "<pre class=\"shared-text\">" + HtmlEscape(text) + "</pre>\n";
    else
        body +=
            "<figure class=\"shared-picture\"><img src=\"" + raw + "\" alt=\"Shared picture\"></figure>\n";
    body += "</article>\n";
    return PageDocument(title, body);
}

std::string HistoryPage(const HistoryLogin& login, const std::vector<ShareSummary>& shares,
                        std::string_view notice)
{
    std::string body = "<section class=\"card\">\n<div class=\"card-head\">\n<div>\n<h1>Your shares</h1>\n"
                       "<p class=\"meta\">" +
                       HtmlEscape(login.email) + "</p>\n</div>\n";
    if (!shares.empty())
        body += "<span class=\"count\">" + std::to_string(shares.size()) +
                (shares.size() == 1 ? " item" : " items") + "</span>\n";
    body += "</div>\n";
    if (!notice.empty())
        body += "<p class=\"notice\">" + HtmlEscape(notice) + "</p>\n";
    if (shares.empty()) {
        body += "<p class=\"empty\">Nothing shared yet. What you share from Tern Clipboard appears here, "
                "newest first.</p>\n</section>\n";
        return PageDocument("History", body);
    }
    body += "<ul class=\"shares\">\n";
    for (const ShareSummary& share : shares)
        body += historyRow(login, share);
    body += "</ul>\n</section>\n";
    return PageDocument("History", body);
}

std::string ConfirmDeletePage(const HistoryLogin& login, const ShareSummary& share)
{
    const std::string link = HtmlEscape("/d/" + share.key + ".html");
    std::string body = "<h1>Delete this share?</h1>\n<p>The " + std::string(kindName(share.kind)) +
                       " shared " + HtmlEscape(FormatUtc(share.created)) + " at <a href=\"" + link + "\">" +
                       link +
                       "</a> is deleted for good, and its link stops working.</p>\n<div class=\"actions\">";
    body += deleteForm(login, share.key, true, "Delete for good");
    body += "<form method=\"get\" action=\"/cp/history.html\">" + hiddenField("u", login.email) +
            hiddenField("p", login.passwordValue) +
            "<button class=\"button secondary\" type=\"submit\">Keep it</button></form></div>\n";
    return PageDocument("Delete share", card(body));
}

std::string ForgotPage(std::string_view email)
{
    std::string body = "<h1>Forgotten password</h1>\n";
    if (!email.empty())
        body += "<p>Account: <strong>" + HtmlEscape(email) + "</strong></p>\n";
    body += "<p>This service sends no e-mail, so it cannot reset a password by itself. Ask the "
            "administrator of this service to remove the account, then register it again.</p>\n";
    return PageDocument("Forgotten password", card(body));
}

std::string DownloadPage(std::string_view language, std::uint32_t latestBuild,
                         const std::vector<std::string>& message)
{
    std::string body =
        "<h1>Download Tern Clipboard</h1>\n<p>The newest build is " + std::to_string(latestBuild) + ".</p>\n";
    for (const std::string& line : message)
        body += "<p>" + HtmlEscape(line) + "</p>\n";
    if (!language.empty())
        body += "<p class=\"meta\">Language: " + HtmlEscape(language) + "</p>\n";
    body += "<p>Ask the administrator of this service for the installer of that build.</p>\n";
    return PageDocument("Download", card(body));
}

std::string HelpPage()
{
    return PageDocument(
        "Help",
        card("<h1>Help</h1>\n"
             "<p>Tern Clipboard moves the clipboard between your computers and publishes clipboard contents "
             "and screenshots as links.</p>\n<ul class=\"features\">\n"
             "<li><strong>Remote Copy</strong> copies the selection and stores the whole clipboard in your "
             "account.</li>\n"
             "<li><strong>Remote Paste</strong> puts the stored clipboard back and pastes it, on any of your "
             "computers.</li>\n"
             "<li><strong>Share</strong> publishes the clipboard, the screen, a window or an annotated area; "
             "the link replaces the clipboard.</li>\n"
             "<li><strong>History</strong> lists everything you shared, newest first.</li>\n</ul>\n"));
}

std::string StartPage()
{
    return PageDocument("Start", card("<h1>Tern Clipboard service</h1>\n"
                                      "<p>This service stores clipboards and shared items for the Tern "
                                      "Clipboard program.</p>\n<p><a class=\"button\" href=\"/help/\">How it "
                                      "works</a></p>\n"));
}

std::string FormatUtc(std::int64_t seconds)
{
    const auto time = static_cast<std::time_t>(seconds);
    std::tm parts{};
    if (gmtime_r(&time, &parts) == nullptr)
        return "?";
    char text[32];
    if (std::strftime(text, sizeof text, "%Y-%m-%d %H:%M UTC", &parts) == 0)
        return "?";
    return text;
}

std::string FormatSize(std::int64_t bytes)
{
    if (bytes < 1000)
        return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    // The unit is chosen after rounding, so that 999,999 bytes read "1.0 MB" rather than "1000 kB".
    const bool mega = bytes >= 999500;
    const double value = static_cast<double>(bytes) / (mega ? 1e6 : 1e3);
    char text[32];
    std::snprintf(text, sizeof text, value < 9.95 ? "%.1f %s" : "%.0f %s", value, mega ? "MB" : "kB");
    return text;
}

} // namespace tern::server
