#include "service/TransferErrors.h"

#include <exception>

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

// The error of one kind. Its message is what every kind carries: the connection-problem text, a space,
// the type name in parentheses.
template <typename Kind>
std::exception_ptr errorOf(const std::string& connectionProblemText, const std::string& url,
                           std::string detail)
{
    return std::make_exception_ptr(
        Kind(connectionProblemText + " (" + Kind::kName + ")", AddressWithoutQuery(url), std::move(detail)));
}

struct FailureKind
{
    const char* name;
    std::exception_ptr (*error)(const std::string& connectionProblemText, const std::string& url,
                                std::string detail);
};

template <typename Kind> constexpr FailureKind kKind{Kind::kName, &errorOf<Kind>};

// The kind of error each failure of an exchange makes; an error status (no failure) is the service's.
FailureKind kindOf(HttpFailure failure) noexcept
{
    switch (failure) {
    case HttpFailure::TimedOut:
        return kKind<TimedOutError>;
    case HttpFailure::CertificateRefused:
        return kKind<CertificateRefusedError>;
    case HttpFailure::ReplyTooLarge:
        return kKind<ReplyTooLargeError>;
    case HttpFailure::None:
        return kKind<ServiceError>;
    case HttpFailure::NoConnection:
    case HttpFailure::Aborted:
        break;
    }
    return kKind<NoConnectionError>;
}

} // namespace

const char* TransferFailureName(const HttpReply& reply) noexcept
{
    return kindOf(reply.failure).name;
}

void ThrowTransferFailure(const HttpReply& reply, const std::string& connectionProblemText,
                          const std::string& url)
{
    std::string detail =
        reply.failure == HttpFailure::None ? "HTTP " + std::to_string(reply.status) : std::string();
    std::rethrow_exception(kindOf(reply.failure).error(connectionProblemText, url, std::move(detail)));
}

void ThrowServiceError(const HttpReply& reply, const std::string& connectionProblemText,
                       const std::string& url)
{
    std::rethrow_exception(
        errorOf<ServiceError>(connectionProblemText, url,
                              reply.status != 0 ? "HTTP " + std::to_string(reply.status) : std::string()));
}

} // namespace tern
