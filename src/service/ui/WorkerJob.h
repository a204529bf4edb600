#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <utility>

namespace tern {

// Carries a worker's end from the worker's thread to the thread that owns this object. GUI thread
// only, except for the function that done() returns.
class WorkerSignal : public QObject
{
    Q_OBJECT

public:
    explicit WorkerSignal(std::function<void()> onDone) : m_onDone(std::move(onDone)) {}

    // For the worker's done callback: runs on the worker's thread and has `onDone` run from this
    // object's event loop. A call posted to a destroyed signal is dropped.
    std::function<void()> done()
    {
        return [this] {
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (m_onDone)
                        m_onDone();
                },
                Qt::QueuedConnection);
        };
    }

private:
    std::function<void()> m_onDone;
};

// One service exchange on a worker (TDownloadThread, TUploadThread, TReadThread) whose end is
// reported from the event loop: `onDone` runs on the GUI thread once the worker has ended, and the
// worker's reply fields can then be read. Destroying the job waits for the worker's thread, so abort
// the transport first when the exchange may hang. Never destroy a job from its own `onDone`: keep it
// until the next step, or let its owner go with deleteLater().
template <typename Worker> class WorkerJob
{
public:
    template <typename... Args>
    explicit WorkerJob(std::function<void(Worker&)> onDone, Args&&... workerArgs)
        : m_onDone(std::move(onDone)), m_signal([this] { m_onDone(*m_worker); }),
          m_worker(std::make_unique<Worker>(std::forward<Args>(workerArgs)..., m_signal.done()))
    {
    }
    WorkerJob(const WorkerJob&) = delete;
    WorkerJob& operator=(const WorkerJob&) = delete;
    ~WorkerJob() { m_worker.reset(); }

    Worker& worker() noexcept { return *m_worker; }

private:
    std::function<void(Worker&)> m_onDone;
    WorkerSignal m_signal;
    std::unique_ptr<Worker> m_worker; // last: its thread is joined before the signal goes
};

} // namespace tern
