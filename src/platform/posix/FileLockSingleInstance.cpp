#include "platform/posix/FileLockSingleInstance.h"

#include "platform/posix/XdgPaths.h"
#include "util/ProductName.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tern::platform::x11 {

namespace {

bool IsDirectory(const std::string& path)
{
    struct stat info
    {
    };
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A folder only this user can use: created with mode 0700 when missing, and accepted only when it
// is a real directory (no symbolic link) owned by this user, so that nobody else can plant the file.
bool PrivateFolder(const std::string& path)
{
    ::mkdir(path.c_str(), 0700);
    struct stat info
    {
    };
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid();
}

std::string LockFolder()
{
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && IsDirectory(runtime))
        return runtime;
    if (const std::string data = XdgDataHome(); !data.empty()) {
        std::string folder = data + "/" + kProductName;
        std::error_code ignored;
        std::filesystem::create_directories(folder, ignored);
        if (IsDirectory(folder))
            return folder;
    }
    const std::string fallback = "/tmp/tern-" + std::to_string(::getuid());
    return PrivateFolder(fallback) ? fallback : std::string();
}

} // namespace

FileLockSingleInstance::~FileLockSingleInstance()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::string FileLockSingleInstance::lockPath(const std::string& name)
{
    const std::string folder = LockFolder();
    if (folder.empty())
        return {};
    // The name becomes one file name: path separators and a leading dot are replaced.
    std::string file = name.empty() ? std::string("_") : name;
    for (char& c : file)
        if (c == '/' || c == '\0')
            c = '_';
    if (file.front() == '.')
        file.front() = '_';
    return folder + "/" + file + ".lock";
}

bool FileLockSingleInstance::acquire(const std::string& name)
{
    if (m_fd >= 0)
        return true;
    const std::string path = lockPath(name);
    if (path.empty())
        return true;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return true;
    int status;
    do {
        status = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (status != 0 && errno == EINTR);
    if (status != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(fd);
        return !held;
    }
    m_fd = fd;
    return true;
}

} // namespace tern::platform::x11
