#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

namespace tern::test {

// Runs `action` from inside the event loop of the next modal window of class T, as soon as it is
// shown; the action must close it. Should the window not open within a few seconds, the wait ends
// with a test failure; should it stay open after the action, it is rejected so that no test hangs.
template <typename T> void OnModal(std::function<void(T&)> action)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(5);
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action, deadline] {
        auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!modal || !modal->isVisible()) {
            if (Clock::now() > deadline) {
                timer->deleteLater();
                timer->stop();
                ADD_FAILURE() << "no modal " << T::staticMetaObject.className() << " opened";
            }
            return;
        }
        timer->stop();
        timer->deleteLater();
        action(*modal);
        if (modal->isVisible()) {
            ADD_FAILURE() << "the modal window stayed open";
            modal->reject();
        }
    });
    timer->start();
}

} // namespace tern::test
