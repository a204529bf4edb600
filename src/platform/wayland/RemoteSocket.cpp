#include "platform/wayland/RemoteSocket.h"

#include <chrono>
#include <cstdlib>
#include <cstring>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace tern::platform::wayland {

namespace {

// Moves `size` bytes through `fd` in direction `write` within the time left before `deadline`.
bool transfer(int fd, void* data, std::size_t size, bool write,
              std::chrono::steady_clock::time_point deadline)
{
    auto* bytes = static_cast<char*>(data);
    std::size_t done = 0;
    while (done < size) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ready = {fd, static_cast<short>(write ? POLLOUT : POLLIN), 0};
        if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0)
            return false;
        const ssize_t step = write ? ::send(fd, bytes + done, size - done, MSG_NOSIGNAL)
                                   : ::recv(fd, bytes + done, size - done, 0);
        if (step <= 0)
            return false;
        done += static_cast<std::size_t>(step);
    }
    return true;
}

} // namespace

std::string RemoteSocketPath(const std::string& title)
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string path = runtime && *runtime == '/'
                           ? std::string(runtime) + "/" + title + ".remote"
                           : "/tmp/" + title + "-" + std::to_string(::getuid()) + ".remote";
    if (path.size() >= sizeof(sockaddr_un::sun_path))
        return {};
    return path;
}

std::optional<std::int64_t> SendThroughSocket(const std::string& title, std::uint32_t message,
                                              std::int64_t wParam, std::int64_t lParam, int timeoutMs)
{
    const std::string path = RemoteSocketPath(title);
    if (path.empty())
        return std::nullopt;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return std::nullopt;
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    std::optional<std::int64_t> answer;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        RemoteRequest request;
        request.message = message;
        request.wParam = wParam;
        request.lParam = lParam;
        std::int64_t result = 0;
        if (transfer(fd, &request, sizeof request, true, deadline) &&
            transfer(fd, &result, sizeof result, false, deadline))
            answer = result;
    }
    ::close(fd);
    return answer;
}

} // namespace tern::platform::wayland
