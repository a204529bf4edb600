#pragma once

#include "support/TempFolder.h"

#include <string>

#include <sys/types.h>

namespace tern::test {

// The reference service, tern-server, run as a child process on a free loopback port with its own
// data folder. It is killed when the object goes (or by stop(), to test an unreachable service).
class ServiceProcess
{
public:
    ServiceProcess();
    ~ServiceProcess();
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

    // "http://127.0.0.1:PORT"; empty when the service did not start.
    const std::string& address() const noexcept { return m_address; }
    void stop();

private:
    TempFolder m_folder;
    pid_t m_pid = -1;
    std::string m_address;
};

} // namespace tern::test
