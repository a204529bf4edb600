#include "Pages.h"

#include "ServerLogo.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace tern::server {
namespace {

// The product's mark, as the program and the launcher show it (drawn with presentation attributes
// only, no inline style).
constexpr const char* kLogo = kLogoSvg;

// The kind of a share as a name ("Text", "PNG picture") and as a page title ("Shared text").
PageText kindName(int kind)
{
    switch (kind) {
    case 1:
        return PageText::KindText;
    case 2:
        return PageText::KindJpeg;
    case 3:
        return PageText::KindPng;
    default:
        return PageText::KindItem;
    }
}

PageText kindTitle(int kind)
{
    switch (kind) {
    case 1:
        return PageText::SharedText;
    case 2:
        return PageText::SharedJpeg;
    case 3:
        return PageText::SharedPng;
    default:
        return PageText::SharedItem;
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

std::string historyRow(PageLanguage language, const HistoryLogin& login, const ShareSummary& share)
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
    row += "<div class=\"share-info\"><a href=\"" + page + "\">" +
           HtmlEscape(Text(language, kindName(share.kind))) + "</a><span class=\"meta\">" +
           HtmlEscape(FormatUtc(share.created)) + " &middot; " +
           HtmlEscape(FormatSize(share.size, language)) + "</span></div>";
    row += "<div class=\"row-actions\"><a class=\"button secondary open\" href=\"" + page + "\">" +
           HtmlEscape(Text(language, PageText::Open)) + "</a>" +
           deleteForm(login, share.key, false, Text(language, PageText::Delete)) + "</div></li>\n";
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

std::string PageDocument(PageLanguage language, std::string_view title, std::string_view bodyHtml)
{
    std::string page = "<!DOCTYPE html>\n<html lang=\"" + std::string(HtmlLanguageCode(language)) +
                       "\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                       "<meta name=\"referrer\" content=\"no-referrer\">\n"
                       "<link rel=\"stylesheet\" href=\"/style.css\">\n<title>";
    page += HtmlEscape(title);
    page += " - Tern Clipboard</title>\n</head>\n<body>\n<header class=\"bar\"><div class=\"bar-inner\">"
            "<a class=\"brand\" href=\"/\">";
    page += kLogo;
    page += "<span>Tern Clipboard</span></a></div></header>\n<main>\n";
    page += bodyHtml;
    page += "</main>\n<footer class=\"foot\">Tern Clipboard &middot; <a href=\"/help/\">" +
            HtmlEscape(Text(language, PageText::Help)) + "</a></footer>\n</body>\n</html>\n";
    return page;
}

std::string MessagePage(PageLanguage language, PageText title, PageText text)
{
    const std::string_view heading = Text(language, title);
    return PageDocument(
        language, heading,
        card("<h1>" + HtmlEscape(heading) + "</h1>\n<p>" + HtmlEscape(Text(language, text)) + "</p>\n"));
}

std::string SharePage(PageLanguage language, const SharedItem& item)
{
    const auto kind = static_cast<ShareKind>(item.kind);
    const std::string raw = HtmlEscape(rawLink(item.key, kind));
    const std::string_view title = Text(language, kindTitle(item.kind));
    std::string body =
        "<article class=\"card\">\n<div class=\"card-head\">\n<div>\n<h1>" + HtmlEscape(title) + "</h1>\n";
    const std::string text = kind == ShareKind::Text ? ShareTextForDisplay(item.data) : std::string();
    // The size is the bytes stored, as the history and the account's quota count them.
    const auto size = static_cast<std::int64_t>(item.data.size());
    body += "<p class=\"meta\">" + HtmlEscape(FormatUtc(item.created)) + " &middot; " +
            HtmlEscape(FormatSize(size, language)) + "</p>\n</div>\n";
    body += "<a class=\"button\" href=\"" + raw + "\">" +
            HtmlEscape(Text(language, kind == ShareKind::Text ? PageText::PlainText : PageText::FullSize)) +
            "</a>\n</div>\n";
    if (kind == ShareKind::Text)
        body += "<pre class=\"shared-text\">" + HtmlEscape(text) + "</pre>\n";
    else
        body += "<figure class=\"shared-picture\"><img src=\"" + raw + "\" alt=\"" +
                HtmlEscape(Text(language, PageText::SharedPicture)) + "\"></figure>\n";
    body += "</article>\n";
    return PageDocument(language, title, body);
}

std::string HistoryPage(PageLanguage language, const HistoryLogin& login,
                        const std::vector<ShareSummary>& shares, std::string_view notice)
{
    const auto text = [language](PageText which) { return HtmlEscape(Text(language, which)); };
    std::string body = "<section class=\"card\">\n<div class=\"card-head\">\n<div>\n<h1>" +
                       text(PageText::YourShares) + "</h1>\n<p class=\"meta\">" + HtmlEscape(login.email) +
                       "</p>\n</div>\n";
    if (!shares.empty())
        body +=
            "<span class=\"count\">" +
            (shares.size() == 1
                 ? text(PageText::OneItem)
                 : HtmlEscape(FillText(Text(language, PageText::Items), {std::to_string(shares.size())}))) +
            "</span>\n";
    body += "</div>\n";
    if (!notice.empty())
        body += "<p class=\"notice\">" + HtmlEscape(notice) + "</p>\n";
    const std::string_view title = Text(language, PageText::History);
    if (shares.empty()) {
        body += "<p class=\"empty\">" + text(PageText::NothingShared) + "</p>\n</section>\n";
        return PageDocument(language, title, body);
    }
    body += "<ul class=\"shares\">\n";
    for (const ShareSummary& share : shares)
        body += historyRow(language, login, share);
    body += "</ul>\n</section>\n";
    return PageDocument(language, title, body);
}

std::string ConfirmDeletePage(PageLanguage language, const HistoryLogin& login, const ShareSummary& share)
{
    const std::string link = "/d/" + share.key + ".html";
    const std::string anchor = "<a href=\"" + HtmlEscape(link) + "\">" + HtmlEscape(link) + "</a>";
    // The sentence is escaped around the link, which is markup of its own.
    const std::string sentence = FillText(
        HtmlEscape(Text(language, PageText::DeleteExplained)),
        {HtmlEscape(Text(language, kindName(share.kind))), HtmlEscape(FormatUtc(share.created)), anchor});
    std::string body = "<h1>" + HtmlEscape(Text(language, PageText::DeleteThisShare)) + "</h1>\n<p>" +
                       sentence + "</p>\n<div class=\"actions\">";
    body += deleteForm(login, share.key, true, Text(language, PageText::DeleteForGood));
    body += "<form method=\"get\" action=\"/cp/history.html\">" + hiddenField("u", login.email) +
            hiddenField("p", login.passwordValue) + "<button class=\"button secondary\" type=\"submit\">" +
            HtmlEscape(Text(language, PageText::KeepIt)) + "</button></form></div>\n";
    return PageDocument(language, Text(language, PageText::DeleteShare), card(body));
}

std::string ForgotPage(PageLanguage language, std::string_view email)
{
    const std::string_view title = Text(language, PageText::ForgottenPassword);
    std::string body = "<h1>" + HtmlEscape(title) + "</h1>\n";
    if (!email.empty())
        body += "<p>" + HtmlEscape(Text(language, PageText::Account)) + " <strong>" + HtmlEscape(email) +
                "</strong></p>\n";
    body += "<p>" + HtmlEscape(Text(language, PageText::NoPasswordReset)) + "</p>\n";
    return PageDocument(language, title, card(body));
}

std::string DownloadPage(PageLanguage language, std::string_view clientLanguage, std::uint32_t latestBuild,
                         const std::vector<std::string>& message)
{
    const auto text = [language](PageText which) { return HtmlEscape(Text(language, which)); };
    std::string body =
        "<h1>" + text(PageText::DownloadTitle) + "</h1>\n<p>" +
        HtmlEscape(FillText(Text(language, PageText::NewestBuild), {std::to_string(latestBuild)})) + "</p>\n";
    for (const std::string& line : message)
        body += "<p>" + HtmlEscape(line) + "</p>\n";
    if (!clientLanguage.empty())
        body += "<p class=\"meta\">" + text(PageText::Language) + " " + HtmlEscape(clientLanguage) + "</p>\n";
    body += "<p>" + text(PageText::AskForInstaller) + "</p>\n";
    return PageDocument(language, Text(language, PageText::Download), card(body));
}

std::string HelpPage(PageLanguage language)
{
    const auto text = [language](PageText which) { return HtmlEscape(Text(language, which)); };
    const auto feature = [&text](PageText name, PageText explained) {
        return "<li><strong>" + text(name) + "</strong> " + text(explained) + "</li>\n";
    };
    return PageDocument(language, Text(language, PageText::Help),
                        card("<h1>" + text(PageText::Help) + "</h1>\n<p>" + text(PageText::HelpIntro) +
                             "</p>\n<ul class=\"features\">\n" +
                             feature(PageText::RemoteCopy, PageText::RemoteCopyExplained) +
                             feature(PageText::RemotePaste, PageText::RemotePasteExplained) +
                             feature(PageText::Share, PageText::ShareExplained) +
                             feature(PageText::History, PageText::HistoryExplained) + "</ul>\n"));
}

std::string StartPage(PageLanguage language)
{
    const auto text = [language](PageText which) { return HtmlEscape(Text(language, which)); };
    return PageDocument(
        language, Text(language, PageText::Start),
        card("<h1>" + text(PageText::ServiceTitle) + "</h1>\n<p>" + text(PageText::ServiceExplained) +
             "</p>\n<p><a class=\"button\" href=\"/help/\">" + text(PageText::HowItWorks) + "</a></p>\n"));
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

std::string FormatSize(std::int64_t bytes, PageLanguage language)
{
    if (bytes == 1)
        return std::string(Text(language, PageText::OneByte));
    if (bytes < 1000)
        return FillText(Text(language, PageText::Bytes), {std::to_string(bytes)});
    // The unit is chosen after rounding, so that 999,999 bytes read "1.0 MB" rather than "1000 kB".
    const bool mega = bytes >= 999500;
    const double value = static_cast<double>(bytes) / (mega ? 1e6 : 1e3);
    char text[32];
    std::snprintf(text, sizeof text, value < 9.95 ? "%.1f %s" : "%.0f %s", value, mega ? "MB" : "kB");
    std::string shown = text;
    // German writes the decimal comma.
    if (language == PageLanguage::German)
        std::replace(shown.begin(), shown.end(), '.', ',');
    return shown;
}

} // namespace tern::server
