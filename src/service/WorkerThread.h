#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace tern {

// The thread of one short-lived worker and its done flag. The flag is set as the work's last step,
// also when it ends by an exception; destroying the object waits for the thread to end, so an owner
// declares it as its last member, and the work may use every other member until then.
class WorkerThread
{
public:
    WorkerThread() = default;
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Runs `work` on a new thread; call once. `onDone`, when set, runs on that thread right after the
    // done flag is set (an owner uses it to wake a wait on another thread); it must not throw.
    void start(std::function<void()> work, std::function<void()> onDone = {});
    // True once start() was called.
    bool started() const noexcept { return m_thread.joinable(); }
    // True once the work has ended; what it wrote is then visible to the caller.
    bool done() const noexcept { return m_done.load(std::memory_order_acquire); }
    // Blocks the calling thread until the work has ended or `timeout` has passed; returns done().
    bool waitDone(std::chrono::milliseconds timeout) const;

private:
    void markDone();

    std::atomic<bool> m_done{false};
    mutable std::mutex m_doneMutex;
    mutable std::condition_variable m_doneChanged;
    std::thread m_thread;
};

} // namespace tern
