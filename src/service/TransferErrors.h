#pragma once

#include "service/HttpTransport.h"
#include "util/Errors.h"

#include <string>
#include <string_view>

namespace tern {

// An exchange with the service that gave nothing usable. The message is the connection-problem text
// with the type name in parentheses, ready to be shown; address() is the request's address without
// its query (which carries the password value), and describe() says the same in words for a
// command line.
class TransferError : public NetworkError
{
public:
    TransferError(const std::string& connectionProblemText, std::string address, std::string detail);
    const std::string& address() const noexcept { return m_address; }
    // For example "no connection could be made to the service at http://host/storage/read.html".
    std::string describe() const;

protected:
    // What went wrong, in words.
    virtual const char* words() const noexcept = 0;

private:
    std::string m_address;
    std::string m_detail;
};

// No connection could be made, or it broke before a complete response.
class NoConnectionError final : public TransferError
{
public:
    static constexpr const char* kName = "NoConnection";
    using TransferError::TransferError;
    const char* typeName() const noexcept override { return kName; }

private:
    const char* words() const noexcept override { return "no connection could be made"; }
};

class TimedOutError final : public TransferError
{
public:
    static constexpr const char* kName = "TimedOut";
    using TransferError::TransferError;
    const char* typeName() const noexcept override { return kName; }

private:
    const char* words() const noexcept override { return "the service did not answer in time"; }
};

class CertificateRefusedError final : public TransferError
{
public:
    static constexpr const char* kName = "CertificateRefused";
    using TransferError::TransferError;
    const char* typeName() const noexcept override { return kName; }

private:
    const char* words() const noexcept override { return "the service's certificate was refused"; }
};

class ReplyTooLargeError final : public TransferError
{
public:
    static constexpr const char* kName = "ReplyTooLarge";
    using TransferError::TransferError;
    const char* typeName() const noexcept override { return kName; }

private:
    const char* words() const noexcept override { return "the reply was larger than any the service sends"; }
};

// A response came, but not one the service gives when it works: an error status without a usable
// body, or no answer in a reply that needs one.
class ServiceError final : public TransferError
{
public:
    static constexpr const char* kName = "ServiceError";
    using TransferError::TransferError;
    const char* typeName() const noexcept override { return kName; }

private:
    const char* words() const noexcept override { return "the service answered with an error"; }
};

// `url` without its query and fragment: the form of an address that may be shown, printed or logged.
std::string AddressWithoutQuery(std::string_view url);

// The type name of the error that `reply` makes (a failed exchange, or an error status): NoConnection,
// TimedOut, CertificateRefused, ReplyTooLarge or ServiceError.
const char* TransferFailureName(const HttpReply& reply) noexcept;

// Throws that error (for an error status, ServiceError naming the status).
[[noreturn]] void ThrowTransferFailure(const HttpReply& reply, const std::string& connectionProblemText,
                                       const std::string& url);

// Throws ServiceError for a response whose status is not of the 2xx class, naming the status.
[[noreturn]] void ThrowServiceError(const HttpReply& reply, const std::string& connectionProblemText,
                                    const std::string& url);

} // namespace tern
