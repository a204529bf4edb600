#include "notify/TrayBalloon.h"

#include "notify/Balloon.h"
#include "util/ProductName.h"

namespace tern {

TrayBalloon::~TrayBalloon()
{
    ForgetBalloonTray(this);
}

void TrayBalloon::showTrayBalloon(const std::string& text, int seconds, BalloonKind kind)
{
    showTrayBalloon(GetBalloon(), text, seconds, kind);
}

void TrayBalloon::showTrayBalloon(TBalloon& balloon, const std::string& text, int seconds, BalloonKind kind)
{
    balloon.ShowNearTray(*this, QString::fromUtf8(kProductName), seconds, kind, QString::fromStdString(text));
}

} // namespace tern
