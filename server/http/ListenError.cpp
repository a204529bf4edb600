#include "http/ListenError.h"

#include <cerrno>
#include <cstring>

namespace tern::server {

std::string ListenErrorText(const std::string& where, int error)
{
    const bool unixSocket = where.starts_with("unix:");
    std::string text = "cannot listen on " + where + ": ";
    switch (error) {
    case EADDRINUSE:
        return text + (unixSocket ? "another server listens on that socket already. Stop it, or name "
                                    "another socket with --listen unix:PATH."
                                  : "the port is in use by another program (perhaps another tern-server). "
                                    "Stop that program, or choose another port with --listen HOST:PORT "
                                    "(port 0 picks a free one).");
    case EACCES:
    case EPERM:
        return text + (unixSocket ? "permission denied: this user may not create the socket in that "
                                    "folder. Name a folder it may write to, or run it as that folder's owner."
                                  : "permission denied: ports below 1024 need root or the capability "
                                    "CAP_NET_BIND_SERVICE. Choose a port from 1024 up with --listen "
                                    "HOST:PORT, or grant the capability (systemd: "
                                    "AmbientCapabilities=CAP_NET_BIND_SERVICE).");
    case EADDRNOTAVAIL:
        return text + "that address belongs to no network interface of this computer. Name one of its "
                      "addresses with --listen HOST:PORT (127.0.0.1 serves this computer only).";
    case ENOENT:
    case ENOTDIR:
        return text + "the folder of the socket does not exist. Create it first.";
    default:
        return text + std::strerror(error) + ".";
    }
}

} // namespace tern::server
