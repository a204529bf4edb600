#include "service/ServiceProtocol.h"

#include "service/SecureRandom.h"
#include "util/Errors.h"
#include "util/TextRoutines.h"

#include <cstdio>

namespace tern {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void appendPercent(std::string& out, unsigned char byte)
{
    out += '%';
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
}

bool formValueNeedsEscape(unsigned char byte)
{
    if (byte <= 0x20 || byte >= 0x7F)
        return true;
    if (byte >= 0x5B && byte <= 0x60)
        return true;
    if (byte >= 0x7B && byte <= 0x7E)
        return true;
    switch (byte) {
    case '"':
    case '#':
    case '%':
    case '&':
    case '+':
    case '/':
    case ':':
    case ';':
    case '<':
    case '=':
    case '>':
    case '?':
    case '@':
        return true;
    default:
        return false;
    }
}

std::string_view baseOf(std::string_view host)
{
    while (!host.empty() && host.back() == '/')
        host.remove_suffix(1);
    return host;
}

std::string concat(std::initializer_list<std::string_view> parts)
{
    std::string result;
    for (const std::string_view part : parts)
        result += part;
    return result;
}

std::string credentialsQuery(std::string_view login, std::string_view passwordValue)
{
    return concat({"email=", EncodeFormValue(login), "&pass=", EncodeFormValue(passwordValue)});
}

} // namespace

std::string EncodeFormValue(std::string_view value)
{
    std::string result;
    result.reserve(value.size());
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (formValueNeedsEscape(byte))
            appendPercent(result, byte);
        else
            result += c;
    }
    return result;
}

std::string EscapeQueryLinkValue(std::string_view value)
{
    std::string result;
    for (const char c : value) {
        switch (c) {
        case '%':
        case '&':
        case '+':
        case '#':
        case '?':
        case '=':
            appendPercent(result, static_cast<unsigned char>(c));
            break;
        default:
            result += EscapeLinkValue(std::string_view(&c, 1));
        }
    }
    return result;
}

std::string TooLargeText(size_t limitBytes)
{
    return "The selected data is too large to send: the limit is " + GroupedDigits(limitBytes) + " bytes.";
}

std::string AuthServiceUrl(std::string_view host, std::string_view path)
{
    return concat({baseOf(host), "/index.php/", path});
}

std::string ValidateBody(std::string_view email)
{
    return "email=" + EncodeFormValue(email);
}

std::string CredentialsBody(std::string_view email, std::string_view passwordValue)
{
    return credentialsQuery(email, passwordValue);
}

std::string SaveUrl(std::string_view host, std::string_view login, std::string_view passwordValue)
{
    return concat({baseOf(host), "/storage/save.html?", credentialsQuery(login, passwordValue)});
}

std::string ShareUrl(std::string_view host, std::string_view login, std::string_view passwordValue, int kind)
{
    return concat({baseOf(host), "/storage/share.html?", credentialsQuery(login, passwordValue),
                   "&tp=", std::to_string(kind)});
}

std::string ReadUrl(std::string_view host, std::string_view login, std::string_view passwordValue)
{
    return concat({baseOf(host), "/storage/read.html?", credentialsQuery(login, passwordValue)});
}

std::string UpdateCheckUrl(std::string_view host, unsigned buildNumber)
{
    return concat({baseOf(host), "/start/check.html?v=", std::to_string(buildNumber & 0xFFFFu)});
}

std::string HistoryUrl(std::string_view host, std::string_view login, std::string_view passwordValue)
{
    return concat(
        {baseOf(host), "/cp/history.html?u=", EncodeFormValue(login), "&p=", EncodeFormValue(passwordValue)});
}

std::string forgotPasswordUrl(std::string_view host, std::string_view email)
{
    return concat({baseOf(host), "/start/forgot.html?email=", EscapeQueryLinkValue(email)});
}

std::string downloadPageUrl(std::string_view downloadHost, std::string_view languageFileName)
{
    return concat({baseOf(downloadHost), "/start/download.html?lang=", languageFileName});
}

std::string shareLinkUrl(std::string_view host, std::string_view accessKey)
{
    return concat({baseOf(host), "/d/", accessKey, ".html"});
}

std::string MultipartBoundary(std::uint32_t number)
{
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08X", static_cast<unsigned>(number));
    return std::string(digits) + "_Synapse_boundary";
}

MultipartBody BuildMultipartBody(std::string_view payload, const std::function<std::uint32_t()>& random)
{
    std::string boundary;
    do {
        std::uint32_t number = 0;
        do
            number = random() & 0x7FFFFFFFu;
        while (number == 0x7FFFFFFFu);
        boundary = MultipartBoundary(number);
    } while (payload.find(boundary) != std::string_view::npos);

    MultipartBody result;
    result.contentType = "multipart/form-data; boundary=" + boundary;
    result.body =
        concat({"--", boundary, "\r\n",
                "content-disposition: form-data; name=\"data\"; filename=\"clpdata.gif\"\r\n",
                "Content-Type: Application/octet-string\r\n", "\r\n", payload, "\r\n--", boundary, "--\r\n"});
    result.boundary = std::move(boundary);
    return result;
}

MultipartBody BuildMultipartBody(std::string_view payload)
{
    return BuildMultipartBody(payload, &SecureRandomUint32);
}

std::vector<std::string> SplitTextLines(std::string_view text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        const char c = text[pos];
        if (c != '\r' && c != '\n') {
            ++pos;
            continue;
        }
        lines.emplace_back(text.substr(start, pos - start));
        pos += (c == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
        start = pos;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

std::string LinesJoinedCrLf(std::string_view text)
{
    std::string result;
    result.reserve(text.size() + 2);
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char c = text[pos];
        if (c != '\r' && c != '\n') {
            result += c;
            ++pos;
            continue;
        }
        result += "\r\n";
        pos += (c == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
    }
    if (!text.empty() && text.back() != '\r' && text.back() != '\n')
        result += "\r\n";
    return result;
}

std::string JoinLinesCrLf(const std::vector<std::string>& lines)
{
    std::string result;
    for (const std::string& line : lines) {
        result += line;
        result += "\r\n";
    }
    return result;
}

nlohmann::json ParseReplyObject(std::string_view text)
{
    // Bounds what a reply can cost: nesting (the parsed tree is freed recursively) and the number of
    // values kept, about one for every 32 bytes of text, so that the tree takes at most a few times
    // the text's size. A top-level value other than an object is refused at its first byte.
    const std::size_t maxValues = text.size() / 32 + 4096;
    std::size_t values = 0;
    const nlohmann::json::parser_callback_t limits = [&](int depth, nlohmann::json::parse_event_t event,
                                                         nlohmann::json&) {
        using Event = nlohmann::json::parse_event_t;
        if (event == Event::array_start && depth == 0)
            throw JsonError("The reply is not a JSON object");
        if ((event == Event::object_start || event == Event::array_start) && depth >= kMaxReplyNesting)
            throw JsonError("The reply is nested too deeply");
        if ((event == Event::value || event == Event::object_start || event == Event::array_start) &&
            ++values > maxValues)
            throw JsonError("The reply holds too many values");
        return true;
    };
    nlohmann::json reply;
    try {
        reply = nlohmann::json::parse(text, limits);
    } catch (const nlohmann::json::exception& error) {
        throw JsonError(text.empty() ? std::string("Empty reply") : std::string(error.what()));
    }
    if (!reply.is_object())
        throw JsonError("The reply is not a JSON object");
    return reply;
}

std::optional<std::string> ReplyText(const nlohmann::json& reply, const std::string& key)
{
    const auto found = reply.find(key);
    if (found == reply.end())
        return std::nullopt;
    if (found->is_string())
        return found->get<std::string>();
    try {
        return found->dump();
    } catch (const nlohmann::json::exception& error) {
        throw JsonError(error.what());
    }
}

std::string RequireReplyText(const nlohmann::json& reply, const std::string& key)
{
    std::optional<std::string> text = ReplyText(reply, key);
    if (!text)
        throw JsonError("The reply has no \"" + key + "\"");
    return std::move(*text);
}

std::string ReplyStatus(const std::optional<nlohmann::json>& reply)
{
    if (!reply)
        return {};
    return ReplyText(*reply, "status").value_or(std::string());
}

ValidateOutcome ValidateOutcomeOf(std::string_view status)
{
    if (status == "validated")
        return ValidateOutcome::Registered;
    if (status == "unregistered")
        return ValidateOutcome::Unregistered;
    if (status == "notvalidated")
        return ValidateOutcome::Invalid;
    if (status.empty())
        return ValidateOutcome::NoConnection;
    return ValidateOutcome::Other;
}

bool LoginAccepted(std::string_view status)
{
    return status == "ok";
}

std::optional<std::string> RegistrationError(const std::optional<nlohmann::json>& reply)
{
    const std::string status = ReplyStatus(reply);
    if (status == "ok")
        return std::nullopt;
    if (status == "error") {
        std::string reason = RequireReplyText(*reply, "message");
        if (!reason.empty())
            return reason;
    }
    return std::string(kRegistrationFailedText);
}

bool SaveSucceeded(const nlohmann::json& reply)
{
    const std::optional<std::string> status = ReplyText(reply, "status");
    if (!status)
        return false;
    if (*status != "ok")
        throw Error(kCopyFailedPrefix + *status);
    return true;
}

bool IsAccessKeyToken(std::string_view key)
{
    if (key.empty() || key.size() > 128)
        return false;
    for (const char c : key) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '-' || c == '_';
        if (!plain)
            return false;
    }
    return true;
}

std::string ShareAccessKey(const nlohmann::json& reply, const std::string& uploadFailedText)
{
    const std::optional<std::string> status = ReplyText(reply, "status");
    if (!status)
        throw Error(uploadFailedText);
    if (*status != "ok")
        throw Error(kCopyFailedPrefix + *status);
    std::string key = RequireReplyText(reply, "accesskey");
    if (!IsAccessKeyToken(key))
        throw Error(uploadFailedText);
    return key;
}

UpdateCheckResult ParseUpdateReply(const std::optional<std::string>& body)
{
    UpdateCheckResult result;
    if (!body)
        return result;
    const std::string_view text = *body;
    const std::size_t lineEnd = text.find_first_of("\r\n");
    if (!text.empty()) {
        result.statusLine = std::string(text.substr(0, lineEnd));
        if (lineEnd != std::string_view::npos) {
            const std::size_t next =
                lineEnd +
                ((text[lineEnd] == '\r' && lineEnd + 1 < text.size() && text[lineEnd + 1] == '\n') ? 2 : 1);
            result.message = LinesJoinedCrLf(text.substr(next));
        }
    }
    const std::string word = DelimitedField(0, result.statusLine, ';');
    if (word == "uptodate")
        result.outcome = kUpdateUpToDate;
    else if (word == "outdated")
        result.outcome = kUpdateOutdated;
    return result;
}

} // namespace tern
