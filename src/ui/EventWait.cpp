#include "ui/EventWait.h"

#include <QEventLoop>
#include <QTimer>

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
    QTimer poller;
    poller.setInterval(poll);
    QObject::connect(&poller, &QTimer::timeout, &loop, [&] {
        if (deadline.hasExpired() || holds())
            loop.quit();
    });
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
