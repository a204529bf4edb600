#include "PageTexts.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <optional>
#include <vector>

namespace tern::server {
namespace {

struct Translations
{
    PageText text;
    const char* english;
    const char* german;
};

// One row per text, in the order of PageText.
constexpr std::array<Translations, static_cast<std::size_t>(PageText::Count)> kTexts = {{
    {PageText::NotFound, "Not found", "Nicht gefunden"},
    {PageText::NoSuchLink, "This link does not exist.", "Diesen Link gibt es nicht."},
    {PageText::NoPageHere, "There is no page at this address.", "Unter dieser Adresse gibt es keine Seite."},
    {PageText::RequestRefused, "Request refused", "Anfrage abgelehnt"},
    {PageText::RequestNotAnswered, "The request could not be answered.",
     "Die Anfrage konnte nicht beantwortet werden."},
    {PageText::ServerError, "Server error", "Serverfehler"},
    {PageText::RequestNotCompleted, "The request could not be completed.",
     "Die Anfrage konnte nicht ausgeführt werden."},
    {PageText::History, "History", "Verlauf"},
    {PageText::TooManyFailedLogins, "Too many failed logins. Please try again later.",
     "Zu viele fehlgeschlagene Anmeldungen. Bitte versuchen Sie es später erneut."},
    {PageText::WrongLogin, "Wrong e-mail address or password.", "E-Mail-Adresse oder Passwort ist falsch."},
    {PageText::ShareGone, "That share does not exist any more.", "Diese Freigabe gibt es nicht mehr."},
    {PageText::ShareDeleted, "The share was deleted; its link no longer works.",
     "Die Freigabe wurde gelöscht; ihr Link funktioniert nicht mehr."},
    {PageText::Help, "Help", "Hilfe"},
    {PageText::SharedText, "Shared text", "Geteilter Text"},
    {PageText::SharedJpeg, "Shared JPEG picture", "Geteiltes JPEG-Bild"},
    {PageText::SharedPng, "Shared PNG picture", "Geteiltes PNG-Bild"},
    {PageText::SharedItem, "Shared item", "Geteiltes Element"},
    {PageText::KindText, "Text", "Text"},
    {PageText::KindJpeg, "JPEG picture", "JPEG-Bild"},
    {PageText::KindPng, "PNG picture", "PNG-Bild"},
    {PageText::KindItem, "Item", "Element"},
    {PageText::PlainText, "Plain text", "Nur Text"},
    {PageText::FullSize, "Full size", "Volle Größe"},
    {PageText::SharedPicture, "Shared picture", "Geteiltes Bild"},
    {PageText::YourShares, "Your shares", "Ihre Freigaben"},
    {PageText::OneItem, "1 item", "1 Eintrag"},
    {PageText::Items, "%1 items", "%1 Einträge"},
    {PageText::NothingShared,
     "Nothing shared yet. What you share from Tern Clipboard appears here, newest first.",
     "Noch nichts geteilt. Was Sie mit Tern Clipboard teilen, erscheint hier, das Neueste zuerst."},
    {PageText::Open, "Open", "Öffnen"},
    {PageText::Delete, "Delete", "Löschen"},
    {PageText::DeleteThisShare, "Delete this share?", "Diese Freigabe löschen?"},
    {PageText::DeleteExplained, "The share of %2 (%1) at %3 is deleted for good, and its link stops working.",
     "Die Freigabe vom %2 (%1) unter %3 wird endgültig gelöscht, und ihr Link funktioniert dann nicht mehr."},
    {PageText::DeleteForGood, "Delete for good", "Endgültig löschen"},
    {PageText::KeepIt, "Keep it", "Behalten"},
    {PageText::DeleteShare, "Delete share", "Freigabe löschen"},
    {PageText::ForgottenPassword, "Forgotten password", "Passwort vergessen"},
    {PageText::Account, "Account:", "Konto:"},
    {PageText::NoPasswordReset,
     "This service sends no e-mail, so it cannot reset a password by itself. Ask the administrator of this "
     "service to remove the account, then register it again.",
     "Dieser Dienst versendet keine E-Mails und kann ein Passwort daher nicht selbst zurücksetzen. Bitten "
     "Sie die Verwaltung dieses Dienstes, das Konto zu entfernen, und registrieren Sie es dann neu."},
    {PageText::DownloadTitle, "Download Tern Clipboard", "Tern Clipboard herunterladen"},
    {PageText::NewestBuild, "The newest build is %1.", "Der neueste Build ist %1."},
    {PageText::Language, "Language:", "Sprache:"},
    {PageText::AskForInstaller, "Ask the administrator of this service for the installer of that build.",
     "Das Installationsprogramm dieses Builds erhalten Sie von der Verwaltung dieses Dienstes."},
    {PageText::Download, "Download", "Herunterladen"},
    {PageText::HelpIntro,
     "Tern Clipboard moves the clipboard between your computers and publishes clipboard contents and "
     "screenshots as links.",
     "Tern Clipboard bringt die Zwischenablage von einem Ihrer Computer zum anderen und veröffentlicht "
     "Inhalte der Zwischenablage und Bildschirmfotos als Links."},
    {PageText::RemoteCopy, "Remote Copy", "Entferntes Kopieren"},
    {PageText::RemoteCopyExplained, "copies the selection and stores the whole clipboard in your account.",
     "kopiert die Auswahl und speichert die ganze Zwischenablage in Ihrem Konto."},
    {PageText::RemotePaste, "Remote Paste", "Entferntes Einfügen"},
    {PageText::RemotePasteExplained,
     "puts the stored clipboard back and pastes it, on any of your computers.",
     "stellt die gespeicherte Zwischenablage wieder her und fügt sie ein, auf jedem Ihrer Computer."},
    {PageText::Share, "Share", "Teilen"},
    {PageText::ShareExplained,
     "publishes the clipboard, the screen, a window or an annotated area; the link replaces the clipboard.",
     "veröffentlicht die Zwischenablage, den Bildschirm, ein Fenster oder einen beschrifteten Bereich; der "
     "Link ersetzt die Zwischenablage."},
    {PageText::HistoryExplained, "lists everything you shared, newest first.",
     "listet alles auf, was Sie geteilt haben, das Neueste zuerst."},
    {PageText::Start, "Start", "Start"},
    {PageText::ServiceTitle, "Tern Clipboard service", "Tern-Clipboard-Dienst"},
    {PageText::ServiceExplained,
     "This service stores clipboards and shared items for the Tern Clipboard program.",
     "Dieser Dienst speichert Zwischenablagen und Freigaben für das Programm Tern Clipboard."},
    {PageText::HowItWorks, "How it works", "So funktioniert es"},
    {PageText::OneByte, "1 byte", "1 Byte"},
    {PageText::Bytes, "%1 bytes", "%1 Bytes"},
}};

// Every row sits at its own text's place: a row added out of order fails to compile.
constexpr bool rowsInOrder()
{
    for (std::size_t i = 0; i < kTexts.size(); ++i)
        if (static_cast<std::size_t>(kTexts[i].text) != i)
            return false;
    return true;
}
static_assert(rowsInOrder(), "kTexts must list the texts in the order of PageText");

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

bool sameAscii(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The weight of one range's parameters ("q=0.5"); 1 without one, 0 for an unreadable one.
double weightOf(std::string_view parameters)
{
    for (std::size_t start = 0; start <= parameters.size();) {
        const std::size_t end = std::min(parameters.find(';', start), parameters.size());
        const std::string_view parameter = trimmed(parameters.substr(start, end - start));
        if (parameter.size() > 2 && (parameter[0] == 'q' || parameter[0] == 'Q') && parameter[1] == '=') {
            const std::string value(parameter.substr(2));
            char* rest = nullptr;
            const double weight = std::strtod(value.c_str(), &rest);
            return rest && *rest == '\0' && weight >= 0 && weight <= 1 ? weight : 0;
        }
        start = end + 1;
    }
    return 1;
}

} // namespace

PageLanguage PageLanguageFor(std::string_view acceptLanguage)
{
    PageLanguage best = PageLanguage::English;
    double bestWeight = 0;
    for (std::size_t start = 0; start <= acceptLanguage.size();) {
        const std::size_t end = std::min(acceptLanguage.find(',', start), acceptLanguage.size());
        const std::string_view range = acceptLanguage.substr(start, end - start);
        start = end + 1;
        const std::size_t semicolon = std::min(range.find(';'), range.size());
        const std::string_view tag = trimmed(range.substr(0, semicolon));
        const std::string_view primary = tag.substr(0, std::min(tag.find('-'), tag.size()));
        const double weight = semicolon < range.size() ? weightOf(range.substr(semicolon + 1)) : 1;
        std::optional<PageLanguage> language;
        if (sameAscii(primary, "de"))
            language = PageLanguage::German;
        else if (sameAscii(primary, "en"))
            language = PageLanguage::English;
        if (language && weight > bestWeight) {
            best = *language;
            bestWeight = weight;
        }
    }
    return best;
}

const char* HtmlLanguageCode(PageLanguage language)
{
    return language == PageLanguage::German ? "de" : "en";
}

std::string_view Text(PageLanguage language, PageText text)
{
    const Translations& row = kTexts[static_cast<std::size_t>(text)];
    return language == PageLanguage::German ? row.german : row.english;
}

std::string FillText(std::string_view text, std::initializer_list<std::string_view> arguments)
{
    const std::vector<std::string_view> values(arguments);
    std::string filled;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '%' && at + 1 < text.size() && text[at + 1] >= '1' && text[at + 1] <= '9') {
            const std::size_t index = static_cast<std::size_t>(text[at + 1] - '1');
            if (index < values.size()) {
                filled += values[index];
                ++at;
                continue;
            }
        }
        filled += text[at];
    }
    return filled;
}

} // namespace tern::server
