#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <string>

namespace tern::test {

// True when main() connected to an X server and created the GUI application.
bool HaveDisplay();

// Processes events until `condition` holds or `timeoutMs` passed; returns the condition's last value.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);

// Another X client that owns the CLIPBOARD selection with one target: xclip, running in the foreground
// until it loses the selection or this object goes.
class XclipOwner
{
public:
    XclipOwner(const QString& target, const std::string& file);
    ~XclipOwner();
    XclipOwner(const XclipOwner&) = delete;
    XclipOwner& operator=(const XclipOwner&) = delete;

    bool running() const { return m_process.state() != QProcess::NotRunning; }

private:
    QProcess m_process;
};

// What another client reads from the CLIPBOARD selection for `target` (xclip -o under a 5-second
// time-out); nothing when the read fails. Our own process keeps answering selection requests meanwhile.
std::optional<QByteArray> ReadClipboardTarget(const QString& target);

// The targets another client sees on offer.
QStringList ReadClipboardTargets();

} // namespace tern::test
