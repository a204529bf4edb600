#include "service/TransferErrors.h"

namespace tern {

TransferError::TransferError(const std::string& connectionProblemText, std::string address,
                             std::string detail)
    : NetworkError(connectionProblemText), m_address(std::move(address)), m_detail(std::move(detail))
{
}

std::string TransferError::describe() const
{
    std::string text = std::string(words()) + " (" + typeName() + "): " + m_address;
    if (!m_detail.empty())
        text += " (" + m_detail + ")";
    return text;
}

std::string AddressWithoutQuery(std::string_view url)
{
    return std::string(url.substr(0, url.find_first_of("?#")));
}

namespace {

// The message every kind carries: the connection-problem text, a space, the type name in parentheses.
template <typename Kind>
[[noreturn]] void throwKind(const std::string& connectionProblemText, const std::string& url,
                            std::string detail = {})
{
    throw Kind(connectionProblemText + " (" + Kind::kName + ")", AddressWithoutQuery(url), std::move(detail));
}

} // namespace

const char* TransferFailureName(const HttpReply& reply) noexcept
{
    switch (reply.failure) {
    case HttpFailure::TimedOut:
        return TimedOutError::kName;
    case HttpFailure::CertificateRefused:
        return CertificateRefusedError::kName;
    case HttpFailure::ReplyTooLarge:
        return ReplyTooLargeError::kName;
    case HttpFailure::None:
        return ServiceError::kName;
    case HttpFailure::NoConnection:
    case HttpFailure::Aborted:
        break;
    }
    return NoConnectionError::kName;
}

void ThrowTransferFailure(const HttpReply& reply, const std::string& connectionProblemText,
                          const std::string& url)
{
    switch (reply.failure) {
    case HttpFailure::TimedOut:
        throwKind<TimedOutError>(connectionProblemText, url);
    case HttpFailure::CertificateRefused:
        throwKind<CertificateRefusedError>(connectionProblemText, url);
    case HttpFailure::ReplyTooLarge:
        throwKind<ReplyTooLargeError>(connectionProblemText, url);
    case HttpFailure::None:
        throwKind<ServiceError>(connectionProblemText, url, "HTTP " + std::to_string(reply.status));
    case HttpFailure::NoConnection:
    case HttpFailure::Aborted:
        break;
    }
    throwKind<NoConnectionError>(connectionProblemText, url);
}

void ThrowServiceError(const HttpReply& reply, const std::string& connectionProblemText,
                       const std::string& url)
{
    throwKind<ServiceError>(connectionProblemText, url,
                            reply.status != 0 ? "HTTP " + std::to_string(reply.status) : std::string());
}

} // namespace tern
