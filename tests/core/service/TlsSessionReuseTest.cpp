#include "service/HttpTransport.h"

#include "support/ServerProcess.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tern {
namespace {

using namespace std::chrono_literals;

// openssl's test server on a free loopback port with a certificate of its own; its status page says
// whether the connection resumed an earlier TLS session ("Reused, ...") or made a new one ("New, ...").
class TlsStatusServer
{
public:
    TlsStatusServer()
    {
        const std::string make =
            "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -days 2 "
            "-subj /CN=localhost -addext subjectAltName=IP:127.0.0.1 -keyout '" +
            m_folder.file("key.pem") + "' -out '" + caFile() + "' >/dev/null 2>&1";
        if (std::system(make.c_str()) != 0)
            return;
        m_process = std::make_unique<test::ServerProcess>(
            std::vector<std::string>{"s_server", "-accept", "127.0.0.1:0", "-www", "-cert", caFile(), "-key",
                                     m_folder.file("key.pem")},
            test::ServerProcess::Options{"/usr/bin/openssl", true});
        for (std::string line = m_process->readLine(); !line.empty(); line = m_process->readLine())
            if (line.rfind("ACCEPT ", 0) == 0) {
                m_address = "https://" + line.substr(7) + "/";
                break;
            }
    }

    std::string caFile() const { return m_folder.file("ca.pem"); }
    // Empty when the server did not start.
    const std::string& address() const { return m_address; }

private:
    test::TempFolder m_folder;
    std::unique_ptr<test::ServerProcess> m_process;
    std::string m_address;
};

std::string sessionOf(const HttpReply& page)
{
    if (!page)
        return "no answer";
    if (page->find("\nReused, ") != std::string::npos)
        return "Reused";
    if (page->find("\nNew, ") != std::string::npos)
        return "New";
    return "no session line";
}

// Every request has a connection of its own, but the TLS session of the first is resumed by the
// later ones, also by another transport of the program.
TEST(TlsSessionReuse, LaterConnectionsResumeTheFirstSession)
{
    const TlsStatusServer server;
    ASSERT_FALSE(server.address().empty()) << "openssl s_server did not start";
    const auto first = CreateHttpTransport(server.caFile(), 10s, 1 << 20);
    EXPECT_EQ(sessionOf(first->get(server.address())), "New");
    EXPECT_EQ(sessionOf(first->get(server.address())), "Reused");
    const auto second = CreateHttpTransport(server.caFile(), 10s, 1 << 20);
    EXPECT_EQ(sessionOf(second->get(server.address())), "Reused");
}

} // namespace
} // namespace tern
