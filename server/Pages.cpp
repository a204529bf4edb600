#include "Pages.h"

#include <ctime>

namespace tern::server {
namespace {

std::string_view kindName(int kind)
{
    switch (kind) {
    case 1:
        return "text";
    case 2:
        return "JPEG image";
    case 3:
        return "PNG image";
    default:
        return "item";
    }
}

std::string rawLink(const std::string& key, ShareKind kind)
{
    return "/d/" + key + "." + std::string(RawExtension(kind));
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
    return form + "<button type=\"submit\">" + HtmlEscape(caption) + "</button></form>";
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
    page += " - Tern Clipboard</title>\n</head>\n<body>\n<header><a href=\"/\">Tern Clipboard</a></header>\n"
            "<main>\n";
    page += bodyHtml;
    page += "</main>\n</body>\n</html>\n";
    return page;
}

std::string_view StyleSheet()
{
    return "body{font-family:sans-serif;margin:0;color:#222;background:#fafafa}\n"
           "header{background:#24527a;padding:.6em 1em}header "
           "a{color:#fff;text-decoration:none;font-weight:bold}\n"
           "main{max-width:60em;margin:1em auto;padding:0 1em}\n"
           "pre{white-space:pre-wrap;word-wrap:break-word;background:#fff;border:1px solid "
           "#ccc;padding:1em}\n"
           "img{max-width:100%;border:1px solid #ccc}\n"
           "table{border-collapse:collapse}td,th{padding:.3em .8em;border-bottom:1px solid "
           "#ddd;text-align:left}\n"
           ".muted{color:#666;font-size:90%}\n"
           "form{display:inline;margin:0}.notice{background:#eef5ea;border:1px solid #9c9;padding:.5em "
           "1em}\n";
}

std::string MessagePage(std::string_view title, std::string_view text)
{
    return PageDocument(title, "<h1>" + HtmlEscape(title) + "</h1>\n<p>" + HtmlEscape(text) + "</p>\n");
}

std::string SharePage(const SharedItem& item)
{
    const auto kind = static_cast<ShareKind>(item.kind);
    const std::string raw = rawLink(item.key, kind);
    std::string body = "<h1>Shared " + std::string(kindName(item.kind)) + "</h1>\n";
    body += "<p class=\"muted\">Shared " + HtmlEscape(FormatUtc(item.created)) + "</p>\n";
    if (kind == ShareKind::Text)
        body += "<pre>" + HtmlEscape(ShareTextForDisplay(item.data)) + "</pre>\n";
    else
        body += "<p><img src=\"" + HtmlEscape(raw) + "\" alt=\"Shared image\"></p>\n";
    body += "<p><a href=\"" + HtmlEscape(raw) + "\">Open the raw " + std::string(kindName(item.kind)) +
            "</a></p>\n";
    return PageDocument("Shared " + std::string(kindName(item.kind)), body);
}

std::string HistoryPage(const HistoryLogin& login, const std::vector<ShareSummary>& shares,
                        std::string_view notice)
{
    std::string body =
        "<h1>Your shares</h1>\n<p class=\"muted\">Account " + HtmlEscape(login.email) + "</p>\n";
    if (!notice.empty())
        body += "<p class=\"notice\">" + HtmlEscape(notice) + "</p>\n";
    if (shares.empty()) {
        body += "<p>Nothing shared yet.</p>\n";
        return PageDocument("History", body);
    }
    body += "<table>\n<tr><th>Shared</th><th>Kind</th><th>Size</th><th>Link</th><th></th></tr>\n";
    for (const ShareSummary& share : shares) {
        const std::string link = "/d/" + share.key + ".html";
        body += "<tr><td>" + HtmlEscape(FormatUtc(share.created)) + "</td><td>" +
                std::string(kindName(share.kind)) + "</td><td>" + std::to_string(share.size) +
                " bytes</td><td><a href=\"" + HtmlEscape(link) + "\">" + HtmlEscape(link) + "</a></td><td>" +
                deleteForm(login, share.key, false, "Delete") + "</td></tr>\n";
    }
    body += "</table>\n";
    return PageDocument("History", body);
}

std::string ConfirmDeletePage(const HistoryLogin& login, const ShareSummary& share)
{
    const std::string link = "/d/" + share.key + ".html";
    std::string body = "<h1>Delete this share?</h1>\n<p>The " + std::string(kindName(share.kind)) +
                       " shared " + HtmlEscape(FormatUtc(share.created)) + " at <a href=\"" +
                       HtmlEscape(link) + "\">" + HtmlEscape(link) +
                       "</a> is deleted for good, and its link stops working.</p>\n";
    body += deleteForm(login, share.key, true, "Delete for good");
    body += "<form method=\"get\" action=\"/cp/history.html\">" + hiddenField("u", login.email) +
            hiddenField("p", login.passwordValue) + "<button type=\"submit\">Keep it</button></form>\n";
    return PageDocument("Delete share", body);
}

std::string ForgotPage(std::string_view email)
{
    std::string body = "<h1>Forgotten password</h1>\n";
    if (!email.empty())
        body += "<p>Account: <strong>" + HtmlEscape(email) + "</strong></p>\n";
    body += "<p>This service sends no e-mail, so it cannot reset a password by itself. Ask the "
            "administrator of this service to remove the account, then register it again.</p>\n";
    return PageDocument("Forgotten password", body);
}

std::string DownloadPage(std::string_view language, std::uint32_t latestBuild,
                         const std::vector<std::string>& message)
{
    std::string body =
        "<h1>Download Tern Clipboard</h1>\n<p>The newest build is " + std::to_string(latestBuild) + ".</p>\n";
    for (const std::string& line : message)
        body += "<p>" + HtmlEscape(line) + "</p>\n";
    if (!language.empty())
        body += "<p class=\"muted\">Language: " + HtmlEscape(language) + "</p>\n";
    body += "<p>Ask the administrator of this service for the installer of that build.</p>\n";
    return PageDocument("Download", body);
}

std::string HelpPage()
{
    return PageDocument(
        "Help",
        "<h1>Help</h1>\n"
        "<p>Tern Clipboard moves the clipboard between your computers and publishes clipboard contents "
        "and screenshots as links.</p>\n<ul>\n"
        "<li><strong>Remote Copy</strong> copies the selection and stores the whole clipboard in your "
        "account.</li>\n"
        "<li><strong>Remote Paste</strong> puts the stored clipboard back and pastes it, on any of your "
        "computers.</li>\n"
        "<li><strong>Share</strong> publishes the clipboard, the screen, a window or an annotated area; "
        "the link replaces the clipboard.</li>\n"
        "<li><strong>History</strong> lists everything you shared, newest first.</li>\n</ul>\n");
}

std::string StartPage()
{
    return PageDocument("Start", "<h1>Tern Clipboard service</h1>\n"
                                 "<p>This service stores clipboards and shared items for the Tern Clipboard "
                                 "program.</p>\n<p><a href=\"/help/\">Help</a></p>\n");
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

} // namespace tern::server
