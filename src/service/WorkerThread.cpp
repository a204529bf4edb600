#include "service/WorkerThread.h"

#include <utility>

namespace tern {

namespace {

// Marks the work done when it ends, also by an exception.
class DoneOnExit
{
public:
    explicit DoneOnExit(std::function<void()> markDone) : m_markDone(std::move(markDone)) {}
    ~DoneOnExit() { m_markDone(); }
    DoneOnExit(const DoneOnExit&) = delete;
    DoneOnExit& operator=(const DoneOnExit&) = delete;

private:
    std::function<void()> m_markDone;
};

} // namespace

WorkerThread::~WorkerThread()
{
    if (m_thread.joinable())
        m_thread.join();
}

void WorkerThread::start(std::function<void()> work, std::function<void()> onDone)
{
    m_thread = std::thread([this, work = std::move(work), onDone = std::move(onDone)] {
        {
            const DoneOnExit done([this] { markDone(); });
            work();
        }
        if (onDone)
            onDone();
    });
}

void WorkerThread::markDone()
{
    {
        const std::lock_guard lock(m_doneMutex);
        m_done.store(true, std::memory_order_release);
    }
    m_doneChanged.notify_all();
}

bool WorkerThread::waitDone(std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_doneMutex);
    return m_doneChanged.wait_for(lock, timeout, [this] { return done(); });
}

} // namespace tern
