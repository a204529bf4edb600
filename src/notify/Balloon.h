#pragma once

#include "notify/BalloonKind.h"
#include "notify/BalloonLayout.h"

#include <QDeadlineTimer>
#include <QRegion>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

class QLabel;
class QPushButton;
class QTimer;

namespace tern {

class TrayBalloon;

// The one notification window of the process: a borderless, always-on-top speech balloon with an
// icon, a title, a message and up to two buttons, whose tail points at the tray icon. It is shown
// without taking the keyboard focus and never gets a taskbar button. GUI thread only.
//
// Calling pattern: GetBalloon() (which resets it), optionally the button setters, then ShowNearTray.
class TBalloon : public QWidget
{
    Q_OBJECT

public:
    using Handler = std::function<void()>;

    TBalloon();
    ~TBalloon() override;

    // Clears both captions and handlers, puts the parts back at their home positions, stops the
    // display timer and hides the window.
    void HideBalloon();

    // The right-hand button; a handler runs on a click and leaves the balloon open.
    void SetButton1Caption(const QString& caption);
    void SetButton1Click(Handler handler);
    // The button left of button 1.
    void SetButton2Caption(const QString& caption);
    void SetButton2Click(Handler handler);

    // Adds a line under the message that counts down the seconds until the balloon hides: `format`
    // with "%s" for the number ("%s seconds left."). Reset, as the buttons are, by GetBalloon and
    // HideBalloon; without it no line is shown.
    void SetTimeLeftText(const QString& format);

    // Shows the balloon with its tail at the tray icon whose screen rectangle is `trayIconRect`; an
    // empty or invalid rectangle means the icon's place is unknown, and the balloon shows without a
    // tail near the bottom-right corner of the primary monitor's work area. Either way the whole
    // balloon lies inside the work area of the monitor it shows on. `seconds` <= 0 keeps it shown
    // until it is clicked or hidden.
    void ShowNearTray(const QRect& trayIconRect, const QString& title, int seconds, BalloonKind kind,
                      const QString& text);

    // Shows the balloon at the icon of `tray` as above. While the tray has the icon but has not yet
    // put it in its place, the showing waits for that, serving events, for up to kTrayIconWaitMs and
    // then shows at the work area's corner. Hiding or resetting the balloon meanwhile cancels it;
    // `tray` must outlive the wait (a TrayBalloon cancels it when it goes).
    void ShowNearTray(const TrayBalloon& tray, const QString& title, int seconds, BalloonKind kind,
                      const QString& text);
    static constexpr int kTrayIconWaitMs = 3000;
    // Whether a showing waits for the tray icon's place.
    bool waitsForTrayIcon() const noexcept { return m_waiting.has_value(); }
    // Cancels a showing that waits for the icon of `tray`.
    void forgetTray(const TrayBalloon* tray);

    // Lays out, shapes and shows the balloon so that the tip of `tail` lands on (x, y) in screen
    // coordinates. Line breaks in `text` (CR LF, LF or CR) start new lines.
    void ShowAt(int x, int y, int tail, int seconds, BalloonKind kind, const QString& text,
                const QString& title);

    // The screen point of the tray icon's button (its top-left corner), or (-1, -1) when the icon's
    // place is unknown.
    static QPoint FindTrayIcon(const QRect& trayIconRect);

    // The last layout, for inspection.
    int tail() const noexcept { return m_tail; }
    const BalloonLayout& balloonLayout() const noexcept { return m_layout; }
    const QRegion& windowRegion() const noexcept { return m_region; }
    QLabel* IconImage() const noexcept { return m_icon; }
    QLabel* TitleLabel() const noexcept { return m_title; }
    QLabel* TextLabel() const noexcept { return m_text; }
    QLabel* TimeLeftLabel() const noexcept { return m_timeLeft; }
    QPushButton* Button1() const noexcept { return m_button1; }
    QPushButton* Button2() const noexcept { return m_button2; }
    QTimer* HideTimer() const noexcept { return m_hideTimer; }
    QString IconName() const { return m_iconName; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // A showing put off until the tray icon has its place.
    struct WaitingShow
    {
        const TrayBalloon* tray = nullptr;
        QString title;
        int seconds = 0;
        BalloonKind kind = BalloonKind::Information;
        QString text;
        QDeadlineTimer deadline;
    };

    void resetParts();
    void showWaiting();
    // Drops a showing that waits for the tray icon.
    void stopWaiting();
    // ShowAt, with the window moved inside `workArea` when that is not empty.
    void showAt(QPoint point, int tail, int seconds, BalloonKind kind, const QString& text,
                const QString& title, const QRect& workArea);
    void placeButton(QPushButton* button, const std::optional<QRect>& place, const QString& caption);
    void runHandler(int button);
    // Writes the seconds left into the time-left line.
    void showTimeLeft();

    QLabel* m_icon;
    QLabel* m_title;
    QLabel* m_text;
    QLabel* m_timeLeft;
    QPushButton* m_button1;
    QPushButton* m_button2;
    QTimer* m_hideTimer;
    QTimer* m_trayWait;
    QTimer* m_countdown;
    QString m_timeLeftFormat;
    QDeadlineTimer m_hideAt;
    std::optional<WaitingShow> m_waiting;
    QString m_caption1;
    QString m_caption2;
    Handler m_click1;
    Handler m_click2;
    int m_tail = TailNone;
    BalloonLayout m_layout;
    QRegion m_region;
    QString m_iconName;
};

// Creates the process's balloon; call once after the QApplication exists.
void CreateBalloon();
// Frees the balloon; call before the QApplication goes. Never from a balloon button's handler.
void DestroyBalloon();
// Hides and resets the balloon (creating it when CreateBalloon was not called) and returns it.
TBalloon& GetBalloon();
// Hides and resets the balloon when it exists.
void HideBalloon();
// Cancels a showing of the balloon that waits for the icon of `tray`, when the balloon exists.
void ForgetBalloonTray(const TrayBalloon* tray);

} // namespace tern
