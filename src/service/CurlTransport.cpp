#include "service/CurlTransport.h"

#include "service/CurlHandles.h"
#include "util/Errors.h"

#include <memory>
#include <mutex>
#include <utility>

#include <curl/curl.h>

namespace tern {

namespace {

struct CurlEasyDeleter
{
    void operator()(CURL* handle) const noexcept { curl_easy_cleanup(handle); }
};

struct CurlListDeleter
{
    void operator()(curl_slist* list) const noexcept { curl_slist_free_all(list); }
};

struct ReplySink
{
    std::string body;
    size_t limit = 0;
    bool tooLarge = false;
};

// The longest single wait for network activity; an abort wakes the wait earlier.
constexpr int kPollMs = 1000;

// Collects the body; returning less than offered makes libcurl abort the transfer, which is how an
// oversized body ends as no response.
size_t collectBody(char* data, size_t size, size_t count, void* context)
{
    auto* sink = static_cast<ReplySink*>(context);
    const size_t bytes = size * count;
    if (bytes > sink->limit - sink->body.size()) {
        sink->tooLarge = true;
        return 0;
    }
    sink->body.append(data, bytes);
    return bytes;
}

template <typename Value> bool setOption(CURL* curl, CURLoption option, Value value)
{
    return curl_easy_setopt(curl, option, value) == CURLE_OK;
}

// What a failed exchange's result code says went wrong, in the terms the user is told.
HttpFailure failureOf(CURLcode result)
{
    switch (result) {
    case CURLE_FILESIZE_EXCEEDED:
        return HttpFailure::ReplyTooLarge;
    case CURLE_OPERATION_TIMEDOUT:
        return HttpFailure::TimedOut;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
        return HttpFailure::CertificateRefused;
    default:
        return HttpFailure::NoConnection;
    }
}

void initialiseCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] {
        if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK)
            throw NetworkError("The HTTP library could not be initialised");
    });
}

} // namespace

std::unique_ptr<HttpTransport> CreateHttpTransport(const std::string& caFile,
                                                   std::chrono::milliseconds timeout, size_t maxReplyBytes)
{
    return std::make_unique<CurlTransport>(timeout, maxReplyBytes, caFile);
}

CurlTransport::CurlTransport(std::chrono::milliseconds timeout, size_t maxReplyBytes, std::string caFile)
    : m_timeout(timeout), m_maxReplyBytes(maxReplyBytes), m_caFile(std::move(caFile)),
      m_multis(std::make_unique<CurlMultiPool>())
{
    initialiseCurlOnce();
}

CurlTransport::~CurlTransport() = default;

HttpReply CurlTransport::get(const std::string& url)
{
    return perform(url, nullptr, nullptr);
}

HttpReply CurlTransport::post(const std::string& url, const std::string& contentType, const std::string& body)
{
    return perform(url, &contentType, &body);
}

HttpReply CurlTransport::perform(const std::string& url, const std::string* contentType,
                                 const std::string* body)
{
    HttpReply reply;
    std::unique_ptr<CURL, CurlEasyDeleter> handle(curl_easy_init());
    if (!handle)
        return reply;
    CURL* curl = handle.get();

    ReplySink sink;
    sink.limit = m_maxReplyBytes;

    bool ok = setOption(curl, CURLOPT_URL, url.c_str());
    ok = ok && setOption(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    // Certificates are always checked: chain and host name.
    ok = ok && setOption(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    ok = ok && setOption(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    // One file of authorities, the named one or the system's bundle, is what a multi handle keeps
    // loaded from one exchange to the next (a folder of them is read again each time).
    const std::string& caFile = m_caFile.empty() ? SystemCaBundle() : m_caFile;
    if (!caFile.empty()) {
        ok = ok && setOption(curl, CURLOPT_CAINFO, caFile.c_str());
        ok = ok && setOption(curl, CURLOPT_CAPATH, static_cast<const char*>(nullptr));
    }
    // TLS sessions and host names come from the process's cache; the connection itself is never kept.
    if (CURLSH* share = ProcessCurlShare())
        ok = ok && setOption(curl, CURLOPT_SHARE, share);
    ok = ok && setOption(curl, CURLOPT_FORBID_REUSE, 1L);
    ok = ok && setOption(curl, CURLOPT_HTTP_VERSION, long{CURL_HTTP_VERSION_1_0});
    ok = ok && setOption(curl, CURLOPT_USERAGENT, kUserAgent);
    // An empty proxy and "*" for no-proxy keep both a configured and an environment proxy away.
    ok = ok && setOption(curl, CURLOPT_PROXY, "");
    ok = ok && setOption(curl, CURLOPT_NOPROXY, "*");
    ok = ok && setOption(curl, CURLOPT_FOLLOWLOCATION, 0L);
    ok = ok && setOption(curl, CURLOPT_NOSIGNAL, 1L);
    ok = ok && setOption(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_timeout.count()));
    ok = ok && setOption(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(m_timeout.count()));
    ok = ok && setOption(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(m_maxReplyBytes));
    ok = ok && setOption(curl, CURLOPT_WRITEFUNCTION, &collectBody);
    ok = ok && setOption(curl, CURLOPT_WRITEDATA, &sink);

    std::unique_ptr<curl_slist, CurlListDeleter> headers;
    if (body) {
        const std::string typeHeader = "Content-Type: " + *contentType;
        headers.reset(curl_slist_append(nullptr, typeHeader.c_str()));
        ok = ok && headers;
        ok = ok && setOption(curl, CURLOPT_HTTPHEADER, headers.get());
        ok = ok && setOption(curl, CURLOPT_POST, 1L);
        ok = ok && setOption(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body->size()));
        ok = ok && setOption(curl, CURLOPT_POSTFIELDS, body->data());
    }
    if (!ok)
        return reply;
    reply.failure = run(curl);
    // The collector's refusal ends the exchange as a write error.
    if (reply.failure == HttpFailure::NoConnection && sink.tooLarge)
        reply.failure = HttpFailure::ReplyTooLarge;
    if (!reply.arrived())
        return reply;
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    reply.status = static_cast<int>(status);
    reply.body = std::move(sink.body);
    return reply;
}

HttpFailure CurlTransport::run(void* easy)
{
    if (m_aborted.load())
        return HttpFailure::Aborted;
    CURLM* multi = m_multis->take();
    if (!multi)
        return HttpFailure::NoConnection;
    if (curl_multi_add_handle(multi, easy) != CURLM_OK) {
        m_multis->give(multi);
        return HttpFailure::NoConnection;
    }
    {
        const std::lock_guard lock(m_runningMutex);
        m_running.insert(multi);
    }
    int running = 1;
    // An abort sets the flag before it wakes the poll, so one that comes between the test and the
    // poll still ends the poll at once.
    while (!m_aborted.load()) {
        if (curl_multi_perform(multi, &running) != CURLM_OK || running == 0)
            break;
        if (curl_multi_poll(multi, nullptr, 0, kPollMs, nullptr) != CURLM_OK)
            break;
    }
    {
        const std::lock_guard lock(m_runningMutex);
        m_running.erase(multi);
    }
    HttpFailure failure = m_aborted.load() ? HttpFailure::Aborted : HttpFailure::NoConnection;
    if (running == 0 && !m_aborted.load()) {
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == easy)
                failure =
                    message->data.result == CURLE_OK ? HttpFailure::None : failureOf(message->data.result);
        }
    }
    curl_multi_remove_handle(multi, easy);
    m_multis->give(multi);
    return failure;
}

void CurlTransport::abortTransfers()
{
    m_aborted.store(true);
    const std::lock_guard lock(m_runningMutex);
    for (void* multi : m_running)
        curl_multi_wakeup(multi);
}

} // namespace tern
