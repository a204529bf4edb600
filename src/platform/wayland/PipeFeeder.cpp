#include "platform/wayland/PipeFeeder.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <ctime>

#include <fcntl.h>
#include <unistd.h>

namespace tern::platform::wayland {

namespace {

// Holds SIGPIPE back for this thread while it writes, and takes back the one a closed pipe raised, so
// that a reader that went away costs an error code and not the process.
class HeldBrokenPipe
{
public:
    HeldBrokenPipe()
    {
        sigemptyset(&m_pipe);
        sigaddset(&m_pipe, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &m_pipe, &m_previous);
    }
    ~HeldBrokenPipe()
    {
        if (m_raised) {
            const timespec none = {0, 0};
            while (sigtimedwait(&m_pipe, nullptr, &none) > 0) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
    }
    HeldBrokenPipe(const HeldBrokenPipe&) = delete;
    HeldBrokenPipe& operator=(const HeldBrokenPipe&) = delete;
    void raised() { m_raised = true; }

private:
    sigset_t m_pipe = {};
    sigset_t m_previous = {};
    bool m_raised = false;
};

} // namespace

PipeFeeder::PipeFeeder() = default;

PipeFeeder::~PipeFeeder()
{
    for (const auto& pipe : m_pipes) {
        pipe->notifier.reset();
        if (!pipe->finished)
            ::close(pipe->fd);
    }
}

void PipeFeeder::feed(int fd, QByteArray bytes)
{
    dropFinished();
    auto pipe = std::make_unique<Pipe>();
    pipe->fd = fd;
    pipe->bytes = std::move(bytes);
    pipe->lastProgress.start();
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    writeSome(*pipe);
    if (!pipe->finished) {
        pipe->notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
        Pipe* fed = pipe.get();
        QObject::connect(fed->notifier.get(), &QSocketNotifier::activated, [fed] { writeSome(*fed); });
    }
    m_pipes.push_back(std::move(pipe));
}

std::size_t PipeFeeder::pending()
{
    dropFinished();
    return m_pipes.size();
}

void PipeFeeder::writeSome(Pipe& pipe)
{
    if (pipe.finished)
        return;
    HeldBrokenPipe held;
    bool failed = false;
    while (pipe.written < pipe.bytes.size()) {
        const ssize_t step = ::write(pipe.fd, pipe.bytes.constData() + pipe.written,
                                     static_cast<std::size_t>(pipe.bytes.size() - pipe.written));
        if (step > 0) {
            pipe.written += step;
            pipe.lastProgress.restart();
            continue;
        }
        if (step < 0 && errno == EINTR)
            continue;
        if (step < 0 && errno == EPIPE)
            held.raised();
        failed = step == 0 || errno != EAGAIN;
        break;
    }
    if (failed || pipe.written == pipe.bytes.size()) {
        if (pipe.notifier)
            pipe.notifier->setEnabled(false);
        ::close(pipe.fd);
        pipe.finished = true;
    }
}

void PipeFeeder::dropFinished()
{
    std::erase_if(m_pipes, [](const std::unique_ptr<Pipe>& pipe) {
        if (!pipe->finished && pipe->lastProgress.elapsed() > kStallMs) {
            pipe->notifier.reset();
            ::close(pipe->fd);
            pipe->finished = true;
        }
        return pipe->finished;
    });
}

} // namespace tern::platform::wayland
