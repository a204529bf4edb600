#pragma once

#include <QByteArray>
#include <QElapsedTimer>

#include <memory>
#include <vector>

class QSocketNotifier;

namespace tern::platform::wayland {

// Writes the clipboard data other clients asked for into their pipes from the event loop, a piece
// whenever a pipe takes more, so that a slow or stuck reader never holds up the GUI thread. A pipe is
// closed when all is written, when its reader has gone (no SIGPIPE reaches the process), or when it
// took nothing for kStallMs. GUI thread only.
class PipeFeeder
{
public:
    PipeFeeder();
    ~PipeFeeder();
    PipeFeeder(const PipeFeeder&) = delete;
    PipeFeeder& operator=(const PipeFeeder&) = delete;

    // Takes over `fd` (closed by the feeder) and starts writing `bytes` into it.
    void feed(int fd, QByteArray bytes);
    // The pipes still being written.
    std::size_t pending();

    static constexpr int kStallMs = 10000;

private:
    struct Pipe
    {
        int fd = -1;
        QByteArray bytes;
        qsizetype written = 0;
        bool finished = false;
        QElapsedTimer lastProgress;
        std::unique_ptr<QSocketNotifier> notifier;
    };
    static void writeSome(Pipe& pipe);
    void dropFinished();

    std::vector<std::unique_ptr<Pipe>> m_pipes;
};

} // namespace tern::platform::wayland
