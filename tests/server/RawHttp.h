#pragma once

#include <string>
#include <string_view>

namespace tern::server::test {

// A reply read off the socket as it came: the status code, the header block and the body.
struct RawReply
{
    int status = 0;
    std::string headers; // the header lines, CR LF separated, without the status line
    std::string body;

    // The value of the first header named `name` (ASCII case-insensitive), or empty.
    std::string header(std::string_view name) const;
};

// Sends `request` byte for byte to 127.0.0.1:`port` and reads until the server closes the connection
// (HTTP/1.0). A reply that cannot be read gives status 0. `from` is the loopback address to send from
// (any of 127.0.0.0/8, so that tests can play several clients); empty: the system's choice.
RawReply SendRaw(int port, const std::string& request, const std::string& from = {});

// The requests exactly as the desktop client writes them: HTTP/1.0, its User-Agent, a form body, or
// one multipart file part named "data" with the file name "clpdata.gif".
std::string FormRequest(int port, const std::string& target, const std::string& body);
std::string GetRequest(int port, const std::string& target);
std::string UploadRequest(int port, const std::string& target, std::string_view payload,
                          const std::string& boundary = "1A2B3C4D_Synapse_boundary");

} // namespace tern::server::test
