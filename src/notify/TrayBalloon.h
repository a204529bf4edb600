#pragma once

#include "notify/BalloonKind.h"
#include "notify/Notifier.h"

#include <QRect>

#include <string>

namespace tern {

class TBalloon;

// The place of the tray icon, at which the process's balloon points. GUI thread only.
class TrayBalloon
{
public:
    // Cancels a balloon that waits for this tray's icon.
    virtual ~TrayBalloon();

    // Where the tray icon is on screen; an empty rectangle when that is not known.
    virtual QRect trayIconRect() const = 0;
    // Whether the tray has taken the icon but not yet shown it, so that trayIconRect() is not yet
    // its place on screen; a balloon asked for meanwhile waits for it (bounded).
    virtual bool trayIconPending() const { return false; }

    // Shows the balloon (GetBalloon, so without buttons) at the tray icon with the product's title.
    // Both forms may put the showing off until the icon is in its place (TBalloon::ShowNearTray).
    void showTrayBalloon(const std::string& text, int seconds, BalloonKind kind) const;
    // Shows `balloon`, whose buttons the caller has set, at the tray icon with the product's title.
    void showTrayBalloon(TBalloon& balloon, const std::string& text, int seconds, BalloonKind kind) const;
};

// A tray whose icon's place is not known: its balloons show near the corner of the primary monitor.
class NoTrayBalloon : public TrayBalloon
{
public:
    QRect trayIconRect() const override { return {}; }
};

// The program's notices in the process's balloon, pointing at the icon of the tray given with
// setTray (until then, and without a tray, near the corner of the primary monitor).
class BalloonNotifier final : public Notifier
{
public:
    void notify(const std::string& text, int seconds, BalloonKind kind,
                std::vector<NoticeButton> buttons = {}, const std::string& timeLeftFormat = {}) override;
    void hideNotice() override;
    // The tray must outlive its use here, or be replaced (nullptr: no tray) before it goes.
    void setTray(const TrayBalloon* tray) { m_tray = tray; }

private:
    const TrayBalloon* m_tray = nullptr;
    NoTrayBalloon m_noTray;
};

} // namespace tern
