#include "service/WinHttpTransport.h"

#include "service/WinHttpCertificates.h"

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <string>
#include <system_error>
#include <thread>

#include <windows.h>

#include <winhttp.h>

namespace tern {

using Clock = std::chrono::steady_clock;

struct WinHttpTransport::Exchange
{
    // What to send; fixed before the thread starts.
    std::string url;
    bool isPost = false;
    std::string contentType;
    std::string body;
    size_t limit = 0;
    Clock::time_point deadline;
    std::string caFile;

    // The outcome, and the caller giving up; under the mutex.
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool abandoned = false;
    HttpReply reply;

    bool givenUp()
    {
        const std::lock_guard lock(mutex);
        return abandoned;
    }
};

namespace {

struct InternetHandle
{
    HINTERNET handle = nullptr;
    explicit InternetHandle(HINTERNET opened) : handle(opened) {}
    ~InternetHandle()
    {
        if (handle)
            WinHttpCloseHandle(handle);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
};

// Addresses are 8-bit text of the program's code page; their bytes above 0x7F are percent-encoded
// before they get here, so the code page hardly matters.
std::wstring widen(const std::string& text)
{
    if (text.empty())
        return {};
    const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

// What is left of the exchange's time, in WinHTTP's units; at least 1 ms (0 means "never" to WinHTTP).
int remainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 1, 0x7fffffff));
}

bool limitTimeouts(HINTERNET handle, Clock::time_point deadline)
{
    const int left = remainingMs(deadline);
    return WinHttpSetTimeouts(handle, left, left, left, left) != FALSE;
}

std::optional<size_t> contentLength(HINTERNET request)
{
    wchar_t text[32] = {};
    DWORD size = sizeof text;
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX, text, &size,
                             WINHTTP_NO_HEADER_INDEX))
        return std::nullopt;
    wchar_t* end = nullptr;
    const unsigned long long value = std::wcstoull(text, &end, 10);
    if (end == text)
        return std::nullopt;
    return static_cast<size_t>(value);
}

// Why the WinHTTP call that just failed gave no response, in the terms the user is told.
HttpFailure lastFailure()
{
    switch (GetLastError()) {
    case ERROR_WINHTTP_TIMEOUT:
        return HttpFailure::TimedOut;
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
        return HttpFailure::CertificateRefused;
    default:
        return HttpFailure::NoConnection;
    }
}

HttpReply failed(HttpFailure failure)
{
    HttpReply reply;
    reply.failure = failure;
    return reply;
}

int statusCode(HINTERNET request)
{
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX))
        return 0;
    return static_cast<int>(status);
}

// An https peer judged against the authority file rather than the system's store. WinHTTP leaves the
// authority to us: a harmless request ("HEAD /") asks for the peer's certificate first, and a peer
// that fails the check is sent nothing else. The exchange's own request checks again when WinHTTP
// calls back with its connection made, before it sends anything, and is closed there when the peer
// fails, so that neither the address (it carries the password) nor the body leaves. (Wine sends a
// request closed there all the same; the first check keeps it from a peer that fails throughout.)
struct PeerCheck
{
    const CertificateAuthorities& authorities;
    std::wstring host;
    bool rejected = false;
};

bool peerTrusted(HINTERNET request, const PeerCheck& check)
{
    PCCERT_CONTEXT certificate = nullptr;
    DWORD size = sizeof certificate;
    const bool trusted =
        WinHttpQueryOption(request, WINHTTP_OPTION_SERVER_CERT_CONTEXT, &certificate, &size) &&
        check.authorities.trust(certificate, check.host);
    if (certificate != nullptr)
        CertFreeCertificateContext(certificate);
    return trusted;
}

bool ignoreUnknownAuthority(HINTERNET request)
{
    DWORD flags = SECURITY_FLAG_IGNORE_UNKNOWN_CA;
    return WinHttpSetOption(request, WINHTTP_OPTION_SECURITY_FLAGS, &flags, sizeof flags) != FALSE;
}

void CALLBACK checkPeerBeforeSending(HINTERNET request, DWORD_PTR context, DWORD status,
                                     LPVOID /*information*/, DWORD /*length*/)
{
    if (status != WINHTTP_CALLBACK_STATUS_SENDING_REQUEST || context == 0)
        return;
    auto& check = *reinterpret_cast<PeerCheck*>(context);
    if (!peerTrusted(request, check)) {
        check.rejected = true;
        WinHttpCloseHandle(request);
    }
}

// The first check of PeerCheck, on a request of its own over `connection`.
bool probePeer(HINTERNET connection, const PeerCheck& check, Clock::time_point deadline)
{
    InternetHandle probe(WinHttpOpenRequest(connection, L"HEAD", L"/", nullptr, WINHTTP_NO_REFERER,
                                            WINHTTP_DEFAULT_ACCEPT_TYPES, WINHTTP_FLAG_SECURE));
    return probe.handle && ignoreUnknownAuthority(probe.handle) && limitTimeouts(probe.handle, deadline) &&
           WinHttpSendRequest(probe.handle, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0,
                              0) &&
           peerTrusted(probe.handle, check);
}

// Makes an https request check its peer with `check` (see PeerCheck).
bool checkPeerWith(HINTERNET request, PeerCheck& check)
{
    auto context = reinterpret_cast<DWORD_PTR>(&check);
    return ignoreUnknownAuthority(request) &&
           WinHttpSetOption(request, WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof context) &&
           WinHttpSetStatusCallback(request, checkPeerBeforeSending, WINHTTP_CALLBACK_FLAG_SEND_REQUEST, 0) !=
               WINHTTP_INVALID_STATUS_CALLBACK;
}

// The exchange itself, on its own thread: a failure when no complete response arrived in time.
HttpReply exchangeOnce(WinHttpTransport::Exchange& exchange)
{
    const std::wstring url = widen(exchange.url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts) ||
        (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) ||
        parts.dwHostNameLength == 0)
        return failed(HttpFailure::NoConnection);
    const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
    path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (path.empty())
        path = L"/";

    const std::wstring agent = widen(HttpTransport::kUserAgent);
    InternetHandle session(WinHttpOpen(agent.c_str(), WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                       WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session.handle || !limitTimeouts(session.handle, exchange.deadline))
        return failed(lastFailure());
    InternetHandle connection(WinHttpConnect(session.handle, host.c_str(), parts.nPort, 0));
    if (!connection.handle)
        return failed(lastFailure());
    const wchar_t* acceptTypes[] = {L"*/*", nullptr};
    // The address goes out as it is: the protocol layer has encoded it already.
    InternetHandle request(WinHttpOpenRequest(connection.handle, exchange.isPost ? L"POST" : L"GET",
                                              path.c_str(), L"HTTP/1.0", WINHTTP_NO_REFERER, acceptTypes,
                                              WINHTTP_FLAG_ESCAPE_DISABLE |
                                                  WINHTTP_FLAG_ESCAPE_DISABLE_QUERY |
                                                  (secure ? WINHTTP_FLAG_SECURE : 0)));
    if (!request.handle)
        return failed(lastFailure());
    // Without an authority file WinHTTP checks the chain against the system's store and the host name.
    std::optional<CertificateAuthorities> authorities;
    std::optional<PeerCheck> check;
    if (secure && !exchange.caFile.empty()) {
        authorities.emplace(exchange.caFile);
        check.emplace(PeerCheck{*authorities, host});
        if (!probePeer(connection.handle, *check, exchange.deadline) ||
            !checkPeerWith(request.handle, *check))
            return failed(HttpFailure::CertificateRefused);
    }
    DWORD features = WINHTTP_DISABLE_REDIRECTS | WINHTTP_DISABLE_COOKIES | WINHTTP_DISABLE_AUTHENTICATION |
                     WINHTTP_DISABLE_KEEP_ALIVE;
    if (!WinHttpSetOption(request.handle, WINHTTP_OPTION_DISABLE_FEATURE, &features, sizeof features))
        return failed(lastFailure());

    std::wstring headers;
    if (exchange.isPost)
        headers = L"Content-Type: " + widen(exchange.contentType) + L"\r\n";
    const auto bodySize = static_cast<DWORD>(exchange.body.size());
    if (!limitTimeouts(request.handle, exchange.deadline))
        return failed(lastFailure());
    const BOOL sent =
        WinHttpSendRequest(request.handle, headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
                           static_cast<DWORD>(headers.size()),
                           bodySize ? const_cast<char*>(exchange.body.data()) : WINHTTP_NO_REQUEST_DATA,
                           bodySize, bodySize, reinterpret_cast<DWORD_PTR>(check ? &*check : nullptr));
    if (check && check->rejected) {
        request.handle = nullptr; // closed by the check
        return failed(HttpFailure::CertificateRefused);
    }
    if (!sent || !WinHttpReceiveResponse(request.handle, nullptr))
        return failed(lastFailure());

    // Any response counts, with its body, whatever its status.
    const std::optional<size_t> announced = contentLength(request.handle);
    if (announced && *announced > exchange.limit)
        return failed(HttpFailure::ReplyTooLarge);
    HttpReply result;
    result.failure = HttpFailure::None;
    result.status = statusCode(request.handle);
    std::string& reply = result.body;
    char buffer[65536];
    for (;;) {
        if (exchange.givenUp())
            return failed(HttpFailure::Aborted);
        if (Clock::now() >= exchange.deadline || !limitTimeouts(request.handle, exchange.deadline))
            return failed(HttpFailure::TimedOut);
        DWORD got = 0;
        if (!WinHttpReadData(request.handle, buffer, sizeof buffer, &got))
            return failed(lastFailure());
        if (got == 0)
            break;
        if (got > exchange.limit - reply.size())
            return failed(HttpFailure::ReplyTooLarge);
        reply.append(buffer, got);
    }
    // A connection closed before the announced body was complete is a broken answer.
    if (announced && reply.size() != *announced)
        return failed(HttpFailure::NoConnection);
    return result;
}

void runExchange(const std::shared_ptr<WinHttpTransport::Exchange>& exchange)
{
    HttpReply reply = exchangeOnce(*exchange);
    const std::lock_guard lock(exchange->mutex);
    exchange->reply = std::move(reply);
    exchange->done = true;
    exchange->finished.notify_all();
}

} // namespace

std::unique_ptr<HttpTransport> CreateHttpTransport(const std::string& caFile,
                                                   std::chrono::milliseconds timeout, size_t maxReplyBytes)
{
    return std::make_unique<WinHttpTransport>(timeout, maxReplyBytes, caFile);
}

WinHttpTransport::WinHttpTransport(std::chrono::milliseconds timeout, size_t maxReplyBytes,
                                   std::string caFile)
    : m_timeout(timeout), m_maxReplyBytes(maxReplyBytes), m_caFile(std::move(caFile))
{
}

WinHttpTransport::~WinHttpTransport() = default;

HttpReply WinHttpTransport::get(const std::string& url)
{
    return perform(url, nullptr, nullptr);
}

HttpReply WinHttpTransport::post(const std::string& url, const std::string& contentType,
                                 const std::string& body)
{
    return perform(url, &contentType, &body);
}

HttpReply WinHttpTransport::perform(const std::string& url, const std::string* contentType,
                                    const std::string* body)
{
    auto exchange = std::make_shared<Exchange>();
    exchange->url = url;
    exchange->isPost = body != nullptr;
    if (body) {
        exchange->contentType = *contentType;
        exchange->body = *body;
    }
    exchange->limit = m_maxReplyBytes;
    exchange->caFile = m_caFile;
    exchange->deadline = Clock::now() + m_timeout;
    {
        const std::lock_guard lock(m_mutex);
        if (m_aborted)
            return failed(HttpFailure::Aborted);
        m_running.insert(exchange);
    }
    try {
        std::thread(runExchange, exchange).detach();
    } catch (const std::system_error&) {
        exchange->abandoned = true;
    }

    HttpReply reply = failed(HttpFailure::TimedOut);
    {
        std::unique_lock lock(exchange->mutex);
        exchange->finished.wait_until(lock, exchange->deadline,
                                      [&] { return exchange->done || exchange->abandoned; });
        if (exchange->done && !exchange->abandoned)
            reply = std::move(exchange->reply);
        else if (exchange->abandoned)
            reply.failure = HttpFailure::Aborted;
        exchange->abandoned = true;
    }
    const std::lock_guard lock(m_mutex);
    m_running.erase(exchange);
    return reply;
}

void WinHttpTransport::abortTransfers()
{
    const std::lock_guard lock(m_mutex);
    m_aborted = true;
    for (const auto& exchange : m_running) {
        const std::lock_guard exchangeLock(exchange->mutex);
        exchange->abandoned = true;
        exchange->finished.notify_all();
    }
}

} // namespace tern
