#pragma once

#include "notify/Notifier.h"

#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class QDBusInterface;
class QTimer;

namespace tern {

// The program's notices as desktop notifications (org.freedesktop.Notifications on the session bus),
// for sessions where a window cannot be placed by the tray icon (Wayland): the product's title, the
// text, an icon by kind, the display time, and the buttons as actions whose invocation runs the
// button's handler. One notice at a time: a new one replaces the one shown. A count-down line is kept
// current by replacing the notice each second. The service is never waited for: its answers arrive
// on the event loop. A notice the notification service does not take goes to `fallback` instead, so
// the user still sees it. GUI thread only.
class DesktopNotifier final : public QObject, public Notifier
{
    Q_OBJECT

public:
    // Whether the session bus has a notification service.
    static bool available();

    explicit DesktopNotifier(Notifier& fallback);
    ~DesktopNotifier() override;

    void notify(const std::string& text, int seconds, BalloonKind kind,
                std::vector<NoticeButton> buttons = {}, const std::string& timeLeftFormat = {}) override;
    void hideNotice() override;

    // The service's number of the notice shown; 0 when none is or its answer has not come yet.
    unsigned int shownId() const noexcept { return m_id; }

    // How long a call to the notification service may take.
    static constexpr int kCallTimeoutMs = 2000;

private slots:
    // The service's signals, for every notice of every program: only ours count.
    void onActionInvoked(uint id, const QString& key);
    void onClosed(uint id, uint reason);

private:
    // Sends the notice as it stands now, replacing the one shown; `first` for a new notice, which the
    // balloon shows when the service does not take it.
    void send(bool first);
    void showAsBalloon();

    Notifier& m_fallback;
    std::unique_ptr<QDBusInterface> m_service;
    QTimer* m_countdown = nullptr;
    unsigned int m_id = 0;
    // Counts the notices shown and hidden: an answer for an older one is not this notice's.
    std::uint64_t m_generation = 0;
    QString m_text;
    QString m_timeLeftFormat;
    BalloonKind m_kind = BalloonKind::Information;
    qint64 m_hideAtMs = 0;
    std::array<NoticeButton, 2> m_buttons;
    std::size_t m_buttonCount = 0;
};

} // namespace tern
