#include "ui/EventWait.h"

#include <QEventLoop>
#include <QTimer>

#include <algorithm>

namespace tern::ui {

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

} // namespace tern::ui
