#include "ui/EventWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace tern::ui {

namespace {

// The tests of the waits running now on the GUI thread, innermost last. GUI thread only.
std::vector<const std::function<void()>*>& runningWaits()
{
    static std::vector<const std::function<void()>*> waits;
    return waits;
}

// Lists a wait's test while it runs.
class RunningWait
{
public:
    explicit RunningWait(const std::function<void()>& test) : m_test(test)
    {
        runningWaits().push_back(&m_test);
    }
    ~RunningWait() { std::erase(runningWaits(), &m_test); }
    RunningWait(const RunningWait&) = delete;
    RunningWait& operator=(const RunningWait&) = delete;

private:
    const std::function<void()>& m_test;
};

} // namespace

bool waitServingEvents(QDeadlineTimer deadline, const std::function<bool()>& done,
                       std::chrono::milliseconds poll)
{
    const auto holds = [&done] { return done && done(); };
    if (holds())
        return true;
    if (deadline.hasExpired())
        return false;

    QEventLoop loop;
    const std::function<void()> test = [&] {
        if (deadline.hasExpired() || holds())
            loop.quit();
    };
    const RunningWait running(test);
    QTimer poller;
    poller.setInterval(poll);
    QObject::connect(&poller, &QTimer::timeout, &loop, test);
    QTimer end;
    end.setSingleShot(true);
    end.setTimerType(Qt::PreciseTimer);
    QObject::connect(&end, &QTimer::timeout, &loop, &QEventLoop::quit);
    if (!deadline.isForever())
        end.start(static_cast<int>(std::max<qint64>(0, deadline.remainingTime())));
    poller.start();
    loop.exec();
    return holds();
}

void wakeEventWaits()
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return;
    QMetaObject::invokeMethod(
        application,
        [] {
            // Tests only quit their loops; the list is copied all the same, and each test is looked
            // up again before it runs.
            const std::vector<const std::function<void()>*> waits = runningWaits();
            for (const std::function<void()>* test : waits) {
                if (std::find(runningWaits().begin(), runningWaits().end(), test) != runningWaits().end())
                    (*test)();
            }
        },
        Qt::QueuedConnection);
}

} // namespace tern::ui
