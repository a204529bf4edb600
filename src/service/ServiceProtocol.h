#pragma once

#include "service/HttpTransport.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tern {

// The wire contract with the web service: addresses, bodies, value encodings, reply reading and the
// outcome of every reply. Shared by the service client, the command-line tool and the tests.

inline constexpr const char* kFormContentType = "application/x-www-form-urlencoded";
inline constexpr size_t kMaxSnapshotBytes = 1000000;
inline constexpr size_t kMaxSharePayloadBytes = 5000000;

// Fixed English texts of the service operations.
inline constexpr const char* kCopyFailedPrefix = "Copy operation failed with error: ";
inline constexpr const char* kRegistrationFailedText = "Registration Failed. Please check your connection";

// The plain error of data over the limit of `limitBytes` before it is sent; it names the limit.
std::string TooLargeText(size_t limitBytes);

// Account request paths below "/index.php/".
inline constexpr const char* kValidatePath = "auth/validate";
inline constexpr const char* kCheckPath = "auth/check";
inline constexpr const char* kRegisterPath = "auth/register";

// ---- encodings

// Percent-encodes (upper-case hex) bytes 0x00-0x20, 0x7F-0xFF and " # % & + / : ; < = > ? @ [ \ ] ^ _ `
// { | } ~; copies every other byte. A password value (lower-case hex) passes unchanged.
std::string EncodeFormValue(std::string_view value);

// The e-mail in the forgotten-password address: what EscapeLinkValue escapes, and also the bytes that
// would end or split the query value there (% & + # ? =).
std::string EscapeQueryLinkValue(std::string_view value);

// ---- addresses (host = ServiceHost or DownloadHost; a trailing "/" of the host is dropped)

std::string AuthServiceUrl(std::string_view host, std::string_view path);
std::string ValidateBody(std::string_view email);
std::string CredentialsBody(std::string_view email, std::string_view passwordValue);
std::string SaveUrl(std::string_view host, std::string_view login, std::string_view passwordValue);
std::string ShareUrl(std::string_view host, std::string_view login, std::string_view passwordValue, int kind);
std::string ReadUrl(std::string_view host, std::string_view login, std::string_view passwordValue);
std::string UpdateCheckUrl(std::string_view host, unsigned buildNumber);
// The account's history page; e-mail and password value are form-value encoded so that an e-mail
// holding "+", "&" or "#" reaches its own account.
std::string HistoryUrl(std::string_view host, std::string_view login, std::string_view passwordValue);
std::string forgotPasswordUrl(std::string_view host, std::string_view email);
std::string downloadPageUrl(std::string_view downloadHost, std::string_view languageFileName);
std::string shareLinkUrl(std::string_view host, std::string_view accessKey);

// ---- multipart upload

struct MultipartBody
{
    std::string boundary;
    std::string contentType; // "multipart/form-data; boundary=" + boundary
    std::string body;
};

// Eight upper-case hex digits of `number` followed by "_Synapse_boundary".
std::string MultipartBoundary(std::uint32_t number);

// One file part named "data" with the file name "clpdata.gif" holding `payload`. The boundary number
// (0 to 2147483646) comes from `random`; it is drawn again while the boundary occurs in the payload.
MultipartBody BuildMultipartBody(std::string_view payload, const std::function<std::uint32_t()>& random);
MultipartBody BuildMultipartBody(std::string_view payload);

// ---- replies

// The body read as text lines (ended by CR LF, LF or CR; a final line needs no ending).
std::vector<std::string> SplitTextLines(std::string_view text);
// Every line followed by CR LF.
std::string JoinLinesCrLf(const std::vector<std::string>& lines);
// JoinLinesCrLf(SplitTextLines(text)) without a string per line: a reply of many short lines costs
// at most twice its size.
std::string LinesJoinedCrLf(std::string_view text);

// Deepest nesting of objects and arrays a reply may have.
inline constexpr int kMaxReplyNesting = 64;

// Parses a reply that must be one JSON object. Throws JsonError for an empty text, text that is not
// JSON, JSON that is not an object, nested deeper than kMaxReplyNesting, or holding more values than
// its size explains (about one for every 32 bytes), so a reply costs at most a few times its size.
nlohmann::json ParseReplyObject(std::string_view text);

// The text of a key's value (a string's content, any other value's JSON text), nothing when absent.
std::optional<std::string> ReplyText(const nlohmann::json& reply, const std::string& key);
// As ReplyText, but a missing key throws JsonError.
std::string RequireReplyText(const nlohmann::json& reply, const std::string& key);
// "status" of a reply object; empty without a reply or without the key.
std::string ReplyStatus(const std::optional<nlohmann::json>& reply);

// ---- outcome rules

enum class ValidateOutcome {
    Registered,   // "validated": go on to login
    Unregistered, // "unregistered": go on to registration
    Invalid,      // "notvalidated": not an acceptable e-mail
    NoConnection, // empty status
    Other,        // any other word: no reaction
};
ValidateOutcome ValidateOutcomeOf(std::string_view status);

// auth/check: only "ok" accepts the login.
bool LoginAccepted(std::string_view status);

// auth/register: nothing when the account was created, else the text to show. "error" with a
// missing "message" throws JsonError.
std::optional<std::string> RegistrationError(const std::optional<nlohmann::json>& reply);

// storage/save.html: true for "ok", false without "status"; any other status throws
// Error(kCopyFailedPrefix + status).
bool SaveSucceeded(const nlohmann::json& reply);

// True for 1 to 128 bytes of letters, digits, "-" and "_": a key that can stand in a path unescaped.
bool IsAccessKeyToken(std::string_view key);

// storage/share.html: the access key of "ok". Any other status throws Error(kCopyFailedPrefix +
// status); "ok" without "accesskey" throws JsonError; no "status", an empty key or a key that is not
// a plain token throws Error(uploadFailedText).
std::string ShareAccessKey(const nlohmann::json& reply, const std::string& uploadFailedText);

// ---- update check

inline constexpr int kUpdateNoAnswer = 0;
inline constexpr int kUpdateUpToDate = 1;
inline constexpr int kUpdateOutdated = 2;

struct UpdateCheckResult
{
    int outcome = kUpdateNoAnswer;
    std::string statusLine;
    std::string message;                     // the further lines, each followed by CR LF
    HttpFailure failure = HttpFailure::None; // why no response came, when none did
    int status = 0;                          // the HTTP status of the response that came
};

// The outcome of the version check's reply body (nothing = no response).
UpdateCheckResult ParseUpdateReply(const std::optional<std::string>& body);

} // namespace tern
