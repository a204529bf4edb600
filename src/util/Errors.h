#pragma once

#include <stdexcept>
#include <string>

namespace tern {

// The general error: its message is already fit for the user and is shown unchanged.
// Specific failures derive from it; the dispatcher tells them apart with isPlainError() and shows
// their typeName() after the connection-problem text.
class Error : public std::runtime_error
{
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
    virtual const char* typeName() const noexcept { return "Error"; }
};

// The network layer failed: no connection, time-out, refused, reset.
class NetworkError : public Error
{
public:
    using Error::Error;
    const char* typeName() const noexcept override { return "NetworkError"; }
};

// A byte stream ended early or held a value that cannot be read.
class StreamReadError : public Error
{
public:
    using Error::Error;
    const char* typeName() const noexcept override { return "StreamReadError"; }
};

// A reply could not be parsed as the JSON object it must be.
class JsonError : public Error
{
public:
    using Error::Error;
    const char* typeName() const noexcept override { return "JsonError"; }
};

// A file could not be created, read, written, renamed or removed.
class FileError : public Error
{
public:
    using Error::Error;
    const char* typeName() const noexcept override { return "FileError"; }
};

// True when the error is of the general kind itself, not of a more specific one.
inline bool isPlainError(const Error& error) noexcept
{
    return typeid(error) == typeid(Error);
}

} // namespace tern
