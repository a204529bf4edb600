#include "service/WorkerThread.h"

#include <utility>

namespace tern {

namespace {

// Sets the done flag when the work ends, also by an exception.
class DoneOnExit
{
public:
    explicit DoneOnExit(std::atomic<bool>& flag) : m_flag(flag) {}
    ~DoneOnExit() { m_flag.store(true, std::memory_order_release); }
    DoneOnExit(const DoneOnExit&) = delete;
    DoneOnExit& operator=(const DoneOnExit&) = delete;

private:
    std::atomic<bool>& m_flag;
};

} // namespace

WorkerThread::~WorkerThread()
{
    if (m_thread.joinable())
        m_thread.join();
}

void WorkerThread::start(std::function<void()> work)
{
    m_thread = std::thread([this, work = std::move(work)] {
        const DoneOnExit done(m_done);
        work();
    });
}

} // namespace tern
