#include "http/HttpConnection.h"

#include "http/AddressGroup.h"
#include "http/FormEncoding.h"
#include "util/TextRoutines.h"

#include <boost/asio/post.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/write.hpp>

namespace tern::server {
namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;

// Reply bytes, and request bytes read and dropped after a refusal, are given this long at least.
constexpr std::chrono::seconds kMinimumTransferTime{10};
// Before a connection is closed, what the client still sends is read and dropped for at most this long
// and this many bytes.
constexpr std::chrono::seconds kLingerTime{3};
constexpr std::size_t kLingerBytes = std::size_t{8} * 1024 * 1024;
// Room in the read buffer beyond the header limit, for body bytes that arrive with the header.
constexpr std::size_t kReadRoom = std::size_t{64} * 1024;

constexpr std::string_view kContinue = "HTTP/1.1 100 Continue\r\n\r\n";

std::string lowerTrimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return LowerTextAscii(text);
}

bool isParseError(beast::error_code ec)
{
    return ec.category() == http::make_error_code(http::error::bad_target).category() &&
           ec != http::error::end_of_stream && ec != http::error::partial_message &&
           ec != http::error::short_read;
}

} // namespace

HttpConnection::HttpConnection(Socket socket, ConnectionHub& hub, std::string peer, std::string group)
    : m_hub(hub), m_stream(std::move(socket)), m_buffer(hub.limits.maxHeaderBytes + kReadRoom),
      m_remoteAddress(std::move(peer))
{
    m_hub.open.add(this, std::move(group));
}

HttpConnection::~HttpConnection()
{
    releaseBody();
    m_hub.open.remove(this);
}

std::chrono::steady_clock::duration HttpConnection::timeFor(std::size_t bytes) const
{
    const std::size_t rate = std::max<std::size_t>(m_hub.limits.minBytesPerSecond, 1);
    return kMinimumTransferTime + std::chrono::seconds(bytes / rate);
}

void HttpConnection::stopUnlessAnswering()
{
    if (m_phase != Phase::Answering)
        close();
}

void HttpConnection::readHeader()
{
    m_phase = Phase::Reading;
    m_hub.open.markWaiting(this, ConnectionTable::Clock::now());
    m_parser.emplace();
    m_parser->header_limit(static_cast<std::uint32_t>(m_hub.limits.maxHeaderBytes));
    // Bodies declared larger than any route takes are refused as soon as the header says so.
    m_parser->body_limit(m_hub.service.largestBodyLimit());
    m_head = HttpRequest();
    m_head.remote_addr = m_remoteAddress;
    // The deadline covers the header now and is extended once for the body: a client that sends a
    // line now and then cannot keep a request open past it.
    m_stream.expires_after(m_hub.limits.headerTimeout);
    http::async_read_header(
        m_stream, m_buffer, *m_parser,
        [self = shared_from_this()](beast::error_code ec, std::size_t) { self->onHeader(ec); });
}

void HttpConnection::fillHead()
{
    const auto& message = m_parser->get();
    m_head.method = std::string(message.method_string());
    m_head.http10 = message.version() < 11;
    const std::string_view target(message.target().data(), message.target().size());
    const std::size_t query = target.find('?');
    m_head.path = PercentDecode(target.substr(0, query), false);
    if (query != std::string_view::npos)
        ParseFormFields(target.substr(query + 1), m_head.params);
    for (const auto& field : message)
        m_head.headers.emplace(std::string(field.name_string()), std::string(field.value()));
}

void HttpConnection::onHeader(beast::error_code ec)
{
    if (ec == http::error::header_limit || ec == http::error::buffer_overflow) {
        fillHead();
        return refuse(431);
    }
    if (ec == http::error::body_limit) {
        fillHead();
        return refuse(413);
    }
    if (isParseError(ec)) {
        fillHead();
        return refuse(400);
    }
    if (ec)
        return close(); // closed, reset, stopped or out of time: nobody to answer
    fillHead();
    const std::size_t limit = m_hub.service.bodyLimit(m_head);
    if (const int refusal = checkHead(limit); refusal != 0)
        return refuse(refusal);

    const auto declared = m_parser->content_length();
    const std::size_t bodyBytes = declared              ? static_cast<std::size_t>(*declared)
                                  : m_parser->chunked() ? limit
                                                        : 0;
    if (bodyBytes > m_hub.limits.uncheckedBodyBytes)
        return admitThenRead(bodyBytes, limit);
    startBody(bodyBytes, limit);
}

void HttpConnection::admitThenRead(std::size_t bodyBytes, std::size_t limit)
{
    // Nothing is read while the service looks at the head; a stop waits for its verdict.
    m_phase = Phase::Answering;
    m_hub.open.markBusy(this);
    m_stream.expires_never();
    asio::post(m_hub.handlers, [self = shared_from_this(), head = m_head, bodyBytes, limit,
                                work = asio::make_work_guard(m_hub.io)]() mutable {
        auto refusal = self->m_hub.service.admitBody(head);
        auto& io = self->m_hub.io;
        asio::post(io, [self = std::move(self), refusal = std::move(refusal), bodyBytes, limit]() mutable {
            if (refusal) {
                self->m_headRequest = self->m_head.method == "HEAD";
                return self->write(std::move(*refusal), AfterReply::Close);
            }
            if (self->m_hub.stopping)
                return self->close();
            self->m_phase = Phase::Reading;
            self->m_hub.open.markWaiting(self.get(), ConnectionTable::Clock::now());
            self->startBody(bodyBytes, limit);
        });
    });
}

void HttpConnection::startBody(std::size_t bodyBytes, std::size_t limit)
{
    m_bodyGroup = AddressGroup(m_hub.service.clientAddress(m_head));
    if (!reserveBody(bodyBytes))
        return refuse(503);
    m_parser->body_limit(limit);
    // The body must come at the minimum rate for what was declared (a chunked body: the path's limit).
    const std::size_t rate = std::max<std::size_t>(m_hub.limits.minBytesPerSecond, 1);
    m_stream.expires_after(m_hub.limits.headerTimeout + std::chrono::seconds(bodyBytes / rate));
    if (m_parser->is_done())
        return answer();
    if (!m_head.http10 && lowerTrimmed(m_head.get_header_value("Expect")) == "100-continue") {
        asio::async_write(m_stream, asio::buffer(kContinue.data(), kContinue.size()),
                          [self = shared_from_this()](beast::error_code writeError, std::size_t) {
                              if (writeError)
                                  return self->close();
                              self->readBody();
                          });
        return;
    }
    readBody();
}

int HttpConnection::checkHead(std::size_t bodyLimit)
{
    if (m_head.headers.size() > m_hub.limits.maxHeaderFields)
        return 431;
    // Compressed bodies are not taken: what they inflate to would escape the body limit.
    for (auto [it, end] = m_head.headers.equal_range("Content-Encoding"); it != end; ++it) {
        if (lowerTrimmed(it->second) != "identity")
            return 415;
    }
    // Chunked framing is read and counted against the body limit; no other transfer coding is known.
    for (auto [it, end] = m_head.headers.equal_range("Transfer-Encoding"); it != end; ++it) {
        if (lowerTrimmed(it->second) != "chunked")
            return 501;
    }
    const auto declared = m_parser->content_length();
    if (declared && *declared > bodyLimit)
        return 413;
    return 0;
}

void HttpConnection::readBody()
{
    http::async_read(m_stream, m_buffer, *m_parser,
                     [self = shared_from_this()](beast::error_code ec, std::size_t) { self->onBody(ec); });
}

void HttpConnection::onBody(beast::error_code ec)
{
    if (ec == http::error::body_limit)
        return refuse(413);
    if (isParseError(ec))
        return refuse(400);
    if (ec)
        return close();
    answer();
}

void HttpConnection::answer()
{
    HttpRequest req = std::move(m_head);
    auto& message = m_parser->get();
    req.body = std::move(message.body());
    if (lowerTrimmed(req.get_header_value("Content-Type")).starts_with("application/x-www-form-urlencoded"))
        ParseFormFields(req.body, req.params);
    m_keepAlive = message.keep_alive() && ++m_answered < m_hub.limits.maxRequestsPerConnection;
    m_headRequest = req.method == "HEAD";
    m_phase = Phase::Answering;
    m_hub.open.markBusy(this);
    m_stream.expires_never();
    // The handler runs on the pool; the work guard keeps the I/O loop running until its reply is back.
    asio::post(m_hub.handlers, [self = shared_from_this(), req = std::move(req),
                                work = asio::make_work_guard(m_hub.io)]() mutable {
        HttpResponse res = self->m_hub.service.answer(req);
        auto& io = self->m_hub.io;
        asio::post(io, [self = std::move(self), res = std::move(res)]() mutable {
            self->write(std::move(res), self->m_keepAlive ? AfterReply::KeepAlive : AfterReply::Close);
        });
    });
}

void HttpConnection::refuse(int status)
{
    m_headRequest = m_head.method == "HEAD";
    write(m_hub.service.refuse(m_head, status), AfterReply::Close);
}

void HttpConnection::write(HttpResponse res, AfterReply after)
{
    if (m_hub.stopping && after == AfterReply::KeepAlive)
        after = AfterReply::Close;
    m_phase = Phase::Answering; // a stop lets the reply finish
    m_hub.open.markBusy(this);
    releaseBody(); // the handler is done with the request
    m_reply.emplace();
    m_reply->version(m_head.http10 ? 10 : 11);
    m_reply->result(res.status >= 100 && res.status <= 599 ? static_cast<unsigned>(res.status) : 500U);
    for (const auto& [name, value] : res.headers)
        m_reply->insert(name, value);
    m_reply->body() = std::move(res.body);
    m_reply->keep_alive(after == AfterReply::KeepAlive);
    if (after != AfterReply::KeepAlive)
        m_reply->set(http::field::connection, "close");
    m_reply->prepare_payload();
    if (m_headRequest)
        m_reply->body().clear(); // the length of the GET reply stays in the header
    m_stream.expires_after(timeFor(m_reply->body().size()));
    http::async_write(m_stream, *m_reply,
                      [self = shared_from_this(), after](beast::error_code ec, std::size_t) {
                          self->onWritten(ec, after);
                      });
}

void HttpConnection::onWritten(beast::error_code ec, AfterReply after)
{
    m_reply.reset();
    if (ec)
        return close();
    if (after == AfterReply::KeepAlive)
        return readHeader();
    // The client may still be sending (the rest of a refused body, or a stray line end after an
    // HTTP/1.0 body): read and drop that for a while, so that closing does not reset the connection
    // before the client has read the reply.
    beast::error_code ignored;
    m_stream.socket().shutdown(asio::socket_base::shutdown_send, ignored);
    m_phase = Phase::Lingering;
    m_hub.open.markWaiting(this, ConnectionTable::Clock::now());
    m_discarded = 0;
    m_stream.expires_after(kLingerTime);
    linger();
}

void HttpConnection::linger()
{
    m_stream.async_read_some(asio::buffer(m_hub.discard),
                             [self = shared_from_this()](beast::error_code ec, std::size_t bytes) {
                                 self->m_discarded += bytes;
                                 if (ec || self->m_discarded >= kLingerBytes)
                                     return self->close();
                                 self->linger();
                             });
}

bool HttpConnection::reserveBody(std::size_t bytes)
{
    const HttpLimits& limits = m_hub.limits;
    const auto room = [](std::size_t held, std::size_t most) { return most - std::min(held, most); };
    std::size_t& byAddress = m_hub.bufferedBodyBytesByAddress[m_bodyGroup];
    if (bytes > room(m_hub.bufferedBodyBytes, limits.maxBufferedBodyBytes) ||
        bytes > room(byAddress, limits.maxBufferedBodyBytesPerAddress)) {
        if (byAddress == 0)
            m_hub.bufferedBodyBytesByAddress.erase(m_bodyGroup);
        return false;
    }
    m_hub.bufferedBodyBytes += bytes;
    byAddress += bytes;
    m_reservedBody = bytes;
    return true;
}

void HttpConnection::releaseBody()
{
    if (m_reservedBody == 0)
        return;
    m_hub.bufferedBodyBytes -= std::min(m_reservedBody, m_hub.bufferedBodyBytes);
    const auto it = m_hub.bufferedBodyBytesByAddress.find(m_bodyGroup);
    if (it != m_hub.bufferedBodyBytesByAddress.end()) {
        it->second -= std::min(m_reservedBody, it->second);
        if (it->second == 0)
            m_hub.bufferedBodyBytesByAddress.erase(it);
    }
    m_reservedBody = 0;
}

void HttpConnection::close()
{
    // A closed connection no longer takes a slot, even while its last operations finish.
    m_hub.open.remove(this);
    beast::error_code ignored;
    m_stream.socket().shutdown(asio::socket_base::shutdown_both, ignored);
    m_stream.close();
}

} // namespace tern::server
