#include "notify/TrayBalloon.h"

#include "notify/Balloon.h"
#include "util/ProductName.h"

namespace tern {

TrayBalloon::~TrayBalloon()
{
    ForgetBalloonTray(this);
}

void TrayBalloon::showTrayBalloon(const std::string& text, int seconds, BalloonKind kind) const
{
    showTrayBalloon(GetBalloon(), text, seconds, kind);
}

void TrayBalloon::showTrayBalloon(TBalloon& balloon, const std::string& text, int seconds,
                                  BalloonKind kind) const
{
    balloon.ShowNearTray(*this, QString::fromUtf8(kProductName), seconds, kind, QString::fromStdString(text));
}

void BalloonNotifier::notify(const std::string& text, int seconds, BalloonKind kind,
                             std::vector<NoticeButton> buttons, const std::string& timeLeftFormat)
{
    TBalloon& balloon = GetBalloon(); // hidden and reset: the notice replaces whatever showed
    if (!buttons.empty()) {
        balloon.SetButton1Caption(QString::fromStdString(buttons[0].caption));
        balloon.SetButton1Click(std::move(buttons[0].click));
    }
    if (buttons.size() > 1) {
        balloon.SetButton2Caption(QString::fromStdString(buttons[1].caption));
        balloon.SetButton2Click(std::move(buttons[1].click));
    }
    if (!timeLeftFormat.empty())
        balloon.SetTimeLeftText(QString::fromStdString(timeLeftFormat));
    (m_tray ? *m_tray : m_noTray).showTrayBalloon(balloon, text, seconds, kind);
}

void BalloonNotifier::hideNotice()
{
    HideBalloon();
}

} // namespace tern
